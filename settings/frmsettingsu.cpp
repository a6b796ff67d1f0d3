#include "settings/frmsettingsu.h"

#include "core/app/host.h"
#include "core/engine/bonprinter.h"
#include "settings/workstationheadline.h"
#include "widgets/fieldlabels.h"
#include "widgets/historywindow.h"
#include "widgets/mainwindowcontext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString BonsKey = QStringLiteral("BONSBONA");
const QString ReturnKey = QStringLiteral("BORUBONA");
const QString ZvtKey = QStringLiteral("ZVTTRDRU");

using Choices = QList<TfrmSettings::Choice>;

// Digits are shown as they are stored.
Choices counts(int from, int to = 5)
{
    Choices c;
    for (int n = from; n <= to; ++n)
        c.append({QString::number(n), nullptr});
    return c;
}

// Whether a stored parameter text means the choice with this code.
bool storedMeans(const TfrmSettings::Option &option, const QString &code, const QString &stored)
{
    return option.signpad() ? stored.left(1) == code : stored.toUpper() == code;
}

} // namespace

QString TfrmSettings::Option::controlName() const
{
    return (signpad() ? QStringLiteral("cmb") : QStringLiteral("ddc")) + key;
}

const QList<TfrmSettings::Option> &TfrmSettings::options()
{
    using P = Place;
    static const Choices yesNo = {{QStringLiteral("J"), QT_TR_NOOP("Ja")},
                                  {QStringLiteral("N"), QT_TR_NOOP("Nein")}};
    static const Choices signTwo = {{QStringLiteral("N"), QT_TR_NOOP("Nein")},
                                    {QStringLiteral("B"), QT_TR_NOOP("Ja - MIT Druck des Bons")}};
    static const Choices signThree =
            signTwo + Choices{{QStringLiteral("J"), QT_TR_NOOP("Ja - OHNE Druck des Bons")}};
    static const QList<Option> list = {
            {QStringLiteral("ANZABONA"), QT_TR_NOOP("Anzahl Anzahlung:"), counts(1), 0,
             P::CopiesLeft},
            {QStringLiteral("AULIBONA"), QT_TR_NOOP("Anzahl Aufgabenlisten:"), counts(1), 0,
             P::CopiesLeft},
            {QStringLiteral("BELEBONA"), QT_TR_NOOP("Anzahl Belege:"), counts(1), 0, P::CopiesLeft},
            {QStringLiteral("BELIBONA"), QT_TR_NOOP("Anzahl Beleglisten:"), counts(1), 0,
             P::CopiesLeft},
            {BonsKey, QT_TR_NOOP("Anzahl Bons (normaler Verkauf):"), counts(1), 0, P::CopiesLeft},
            {ReturnKey, QT_TR_NOOP("Anzahl Bons (bei Rücknahme):"), counts(1), 0, P::CopiesLeft},
            {QStringLiteral("ENTNBONA"), QT_TR_NOOP("Anzahl Entnahme:"), counts(1), 0,
             P::CopiesLeft},
            {QStringLiteral("FILABONA"), QT_TR_NOOP("Anzahl Filialaustausch:"), counts(1), 0,
             P::CopiesLeft},
            {QStringLiteral("GUTSBONA"), QT_TR_NOOP("Anzahl Gutscheine/Gutschriften:"), counts(1),
             0, P::CopiesLeft},
            {QStringLiteral("ERHOBONA"), QT_TR_NOOP("Anzahl Kassenbestandserhöhung:"), counts(0), 1,
             P::CopiesLeft},
            {QStringLiteral("QUITBONA"), QT_TR_NOOP("Anzahl Quittungen:"), counts(1), 0,
             P::CopiesLeft},
            {QStringLiteral("AUSWBONA"), QT_TR_NOOP("Anzahl Reservierung/Auswahl:"), counts(1), 0,
             P::CopiesLeft},
            {QStringLiteral("REKLBONA"), QT_TR_NOOP("Anzahl Reklamationen:"), counts(1), 0,
             P::CopiesLeft},
            {QStringLiteral("RECHBONA"), QT_TR_NOOP("Anzahl Rechnung:"), counts(1), 0,
             P::CopiesLeft},
            {QStringLiteral("ECZABONA"), QT_TR_NOOP("ec-Zahlung:"), counts(1), 0, P::CopiesRight},
            {QStringLiteral("ECSTBONA"), QT_TR_NOOP("ec-Storno:"), counts(1), 0, P::CopiesRight},
            {QStringLiteral("KKZABONA"), QT_TR_NOOP("Kreditkarte Zahlung:"), counts(1), 0,
             P::CopiesRight},
            {QStringLiteral("KKSTBONA"), QT_TR_NOOP("Kreditkarte Storno:"), counts(1), 0,
             P::CopiesRight},
            {QStringLiteral("KKGSBONA"), QT_TR_NOOP("Kreditkarte Erstattung:"), counts(1), 0,
             P::CopiesRight},
            {QStringLiteral("PRGEUEBE"),
             QT_TR_NOOP("Gegenüberstellung der Währungen:"),
             {{QStringLiteral("A"), QT_TR_NOOP("alle Preise")},
              {QStringLiteral("G"), QT_TR_NOOP("Gesammtsummen")},
              {QStringLiteral("K"), QT_TR_NOOP("keine")}},
             -1,
             P::General},
            {QStringLiteral("BONWGTXT"), QT_TR_NOOP("Stelligkeit der Warengruppen:"), counts(1, 6),
             2, P::General},
            {QStringLiteral("BDVKNANR"), QT_TR_NOOP("Anrede bei Vkn drucken:"), yesNo, 0,
             P::General},
            {QStringLiteral("BDVKNVOR"),
             QT_TR_NOOP("Vorname vor/hinter dem Namen:"),
             {{QStringLiteral("V"), QT_TR_NOOP("vor")},
              {QStringLiteral("H"), QT_TR_NOOP("hinter")}},
             0,
             P::General},
            {QStringLiteral("TESTBON"), QT_TR_NOOP("Testbon beim Programmstart:"), yesNo, 0,
             P::General},
            {QStringLiteral("BONKOPIE"), QT_TR_NOOP("\"Kopie\" auf nachgedruckte Belege?"), yesNo,
             1, P::General},
            {QStringLiteral("SPRUECKU"), QT_TR_NOOP("Rückgabe / Umtausch"), signTwo, -1,
             P::Signpad},
            {QStringLiteral("SPRUEUKU"), QT_TR_NOOP("Rückgabe / Umtausch Kunde"), signTwo, -1,
             P::Signpad},
            {QStringLiteral("SPRESAUS"), QT_TR_NOOP("Reservierung / Auswahl "), signTwo, -1,
             P::Signpad},
            {QStringLiteral("SPRESAUK"), QT_TR_NOOP("Reservierung / Auswahl Kunde"), signTwo, -1,
             P::Signpad},
            {QStringLiteral("SPBONSTO"), QT_TR_NOOP("Bonstorno"), signThree, -1, P::Signpad},
            {QStringLiteral("SPEINNAH"), QT_TR_NOOP("Einnahmen"), signThree, -1, P::Signpad},
            {QStringLiteral("SPAUSGAB"), QT_TR_NOOP("Ausgaben"), signThree, -1, P::Signpad},
            {QStringLiteral("SPKASBER"), QT_TR_NOOP("Kassenbericht"), signThree, -1, P::Signpad},
            {QStringLiteral("SPNULLBO"), QT_TR_NOOP("Nullbon"), signThree, -1, P::Signpad},
    };
    return list;
}

TfrmSettings::TfrmSettings(QWidget *parent)
    : TOVOForm(parent)
{
    OVOFormInit(QStringLiteral("frmSettings"), true);
    buildWindow();
    guard(QStringLiteral("FormCreate"), [this] { FormCreate(); });
}

TfrmSettings::~TfrmSettings() = default;

void TfrmSettings::buildWindow()
{
    setWindowTitle(tr("Lokale Einstellungen"));
    setModal(true);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pgcEinstellungen"));
    auto *copies = new QWidget;
    copies->setObjectName(QStringLiteral("tshBeleganzahl"));
    auto *general = new QWidget;
    general->setObjectName(QStringLiteral("tshAllgemein"));
    auto *signpad = new QWidget;
    signpad->setObjectName(QStringLiteral("tshSignpad"));
    m_pages->addTab(copies, tr("Beleganzahl"));
    m_pages->addTab(general, tr("Allgemein"));
    m_pages->addTab(signpad, tr("Beleg Signpad"));

    auto *copyGrid = new QGridLayout(copies);
    copyGrid->setColumnMinimumWidth(2, 24);
    copyGrid->setColumnStretch(5, 1);
    auto *generalGrid = new QGridLayout(general);
    generalGrid->setColumnStretch(2, 1);
    auto *signGrid = new QGridLayout(signpad);
    signGrid->setColumnStretch(2, 1);
    auto *signHead =
            new QLabel(tr("Geben Sie hier an, ob Belege auf dem Signpad unterschrieben werden "
                          "sollen"),
                       signpad);
    signHead->setObjectName(QStringLiteral("lblSignpad"));
    signHead->setWordWrap(true);
    signGrid->addWidget(signHead, 0, 0, 1, 3);
    signGrid->setRowMinimumHeight(0, signHead->sizeHint().height() + 12);

    int rows[4] = {0, 0, 0, 1};
    for (const Option &option : options()) {
        auto *combo = new QComboBox;
        combo->setObjectName(option.controlName());
        for (const Choice &choice : option.choices)
            combo->addItem(choice.text ? tr(choice.text) : choice.code, choice.code);
        combo->setCurrentIndex(option.preselected);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        auto *label = new QLabel(tr(option.label));
        label->setObjectName(QStringLiteral("lbl") + option.key);
        label->setBuddy(combo);

        const int place = int(option.place);
        const int row = rows[place]++;
        switch (option.place) {
        case Place::CopiesLeft:
        case Place::CopiesRight: {
            const int column = option.place == Place::CopiesLeft ? 0 : 3;
            copyGrid->addWidget(label, row, column);
            copyGrid->addWidget(combo, row, column + 1);
            break;
        }
        case Place::General:
            generalGrid->addWidget(label, row, 0);
            generalGrid->addWidget(combo, row, 1);
            break;
        case Place::Signpad:
            signGrid->addWidget(label, row, 0);
            signGrid->addWidget(combo, row, 1);
            break;
        }
    }
    copyGrid->setRowStretch(rows[int(Place::CopiesLeft)], 1);

    m_chbZvt = new QCheckBox(
            tr("TerminalID/TraceID bei ZVT Kartenzahlungen auf den Beleg drucken (Nur Kasse 1.5)"),
            general);
    m_chbZvt->setObjectName(QStringLiteral("chb") + ZvtKey);
    const int zvtRow = rows[int(Place::General)];
    generalGrid->addWidget(m_chbZvt, zvtRow, 0, 1, 3);
    generalGrid->setRowStretch(zvtRow + 1, 1);
    signGrid->setRowStretch(rows[int(Place::Signpad)], 1);

    auto *btnOk = new QPushButton(tr("OK"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setToolTip(tr("Speichern und schließen (F5)"));
    btnOk->setAutoDefault(false);
    auto *btnCancel = new QPushButton(tr("Abbrechen"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setToolTip(tr("Schließen, ohne zu speichern (Esc)"));
    btnCancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);

    auto *layout = new QVBoxLayout(this);
    m_headline = createHeadline();
    m_headline->setWordWrap(true);
    layout->addWidget(m_headline);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);

    connectSave(btnOk, QStringLiteral("actF5"), QStringLiteral("actF5Execute"),
                [this] { actF5Execute(); });
    connectGuarded(btnCancel, &QPushButton::clicked, "actESCExecute", &TfrmSettings::actESCExecute);
    addGuardedAction(QStringLiteral("actESC"), QKeySequence(Qt::Key_Escape),
                     QStringLiteral("actESCExecute"), [this] { actESCExecute(); });
    addNextPageKey(m_pages, QStringLiteral("actF4"), QStringLiteral("pgcEinstellungenNextPage"));
}

QComboBox *TfrmSettings::list(const Option &option) const
{
    return findChild<QComboBox *>(option.controlName());
}

QComboBox *TfrmSettings::list(const QString &key) const
{
    for (const Option &option : options()) {
        if (option.key == key)
            return list(option);
    }
    return nullptr;
}

int TfrmSettings::copyCount(const QString &key) const
{
    const QComboBox *combo = list(key);
    bool ok = false;
    const int n =
            combo && combo->currentIndex() >= 0 ? combo->currentData().toString().toInt(&ok) : 0;
    return ok ? n : 0;
}

void TfrmSettings::FormCreate()
{
    MainWindowContext &main = frmKassotypHaupt();
    m_rnr = main.workstationNumber();
    m_headline->setText(workstationHeadline(m_rnr, &main.engine()));
    const OVOParameter &parameters = main.host().parameters();
    for (const Option &option : options()) {
        const QString stored = parameters.StringParamRead(option.key, m_rnr, false);
        QComboBox *combo = list(option);
        for (int i = 0; i < combo->count(); ++i) {
            if (storedMeans(option, combo->itemData(i).toString(), stored)) {
                combo->setCurrentIndex(i);
                break;
            }
        }
    }
    // The till prints at least as many receipts for a return as for a normal sale.
    if (copyCount(ReturnKey) < copyCount(BonsKey)) {
        QComboBox *returns = list(ReturnKey);
        returns->setCurrentIndex(returns->findData(list(BonsKey)->currentData()));
    }
    m_chbZvt->setChecked(parameters.GetBooleanValueByName(ZvtKey));
    rememberInputs();
}

void TfrmSettings::actF5Execute()
{
    MainWindowContext &main = frmKassotypHaupt();
    Host &host = main.host();
    if (copyCount(ReturnKey) < copyCount(BonsKey)) {
        host.info().ShowMeldung(1040, KassotypProgramKey);
        return;
    }
    OVOParameter &parameters = host.parameters();
    // All or nothing: a refused write leaves every option as it was and the window open.
    host.store().write([&] {
        for (const Option &option : options()) {
            const QComboBox *combo = list(option);
            // An option with nothing chosen keeps whatever is stored.
            if (combo->currentIndex() < 0)
                continue;
            const QString code = combo->currentData().toString();
            if (!storedMeans(option, code, parameters.StringParamRead(option.key, m_rnr, false)))
                parameters.StringParamWrite(option.key, code, m_rnr);
        }
        parameters.SetBooleanValueByName(ZvtKey, m_chbZvt->isChecked());
    });
    main.engine().ReadPrGeUebe();
    accept();
}

QList<EditedRecord> TfrmSettings::editedRecords()
{
    // An option's list shows its stored code as an item.
    static const QMap<QString, LayoutFormat> formats = [] {
        QMap<QString, LayoutFormat> byKey;
        for (const Option &option : options())
            byKey[option.key].fields << FormatField{option.controlName(), FieldEncoding::ItemIndex};
        return byKey;
    }();
    const FieldLabeller labels = windowFieldLabels(this);
    QList<EditedRecord> records;
    for (const Option &option : options()) {
        const QPointer<QComboBox> combo = list(option);
        const auto itemOf = [option, combo](const QStringList &stored) {
            for (int i = 0; combo && i < combo->count(); ++i) {
                if (storedMeans(option, combo->itemData(i).toString(), stored.value(0)))
                    return QStringList{QString::number(i)};
            }
            return QStringList{QStringLiteral("-1")};
        };
        records << EditedRecord{labels(option.controlName()).caption,
                                parameterRef(option.key, m_rnr), &*formats.constFind(option.key),
                                itemOf};
    }
    return records;
}

void TfrmSettings::actESCExecute()
{
    reject();
}
