#include "editors/layEASYU.h"

#include "core/app/host.h"
#include "core/engine/bonprinter.h"
#include "core/model/textfunctions.h"
#include "core/output/printoutput.h"
#include "core/sections/cardformat.h"
#include "core/sections/sectionregistry.h"
#include "core/store/recordbinding.h"
#include "core/store/settingslistcodec.h"
#include "widgets/controlvalues.h"
#include "widgets/historywindow.h"
#include "widgets/mainwindowcontext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <stdexcept>

namespace {

// What a test print of each card section sends: the transaction kind, the card number and the
// engine's operation for the section.
struct CardTestPrint
{
    MenuEntry cardAndOperation;
    const char16_t *kind;
    const char16_t *cardNumber;
    void (TBonPrinter::*print)(const QStringList &, bool);
};

constexpr CardTestPrint CardTestPrints[] = {
        {{0, 0}, u"Zahlung", u"999999", &TBonPrinter::KT_PrintECBu},
        {{0, 1}, u"Storno", u"999999", &TBonPrinter::KT_PrintECSto},
        {{1, 0}, u"Zahlung", u"999999", &TBonPrinter::KT_PrintKKBu},
        {{1, 1}, u"Storno", u"9999999999999999", &TBonPrinter::KT_PrintKKSto},
        {{1, 2}, u"Erstattung", u"9999999999999999", &TBonPrinter::KT_PrintKKGut},
};

const CardTestPrint &cardTestPrint(const QString &kennung)
{
    const SectionInfo *section = SectionRegistry::find(kennung);
    for (const CardTestPrint &c : CardTestPrints) {
        if (section && section->kind == SectionKind::Card && section->menu == c.cardAndOperation)
            return c;
    }
    throw std::invalid_argument(
            QStringLiteral("%1 ist kein Kartenzahlungsbeleg.").arg(kennung).toStdString());
}

QComboBox *makeCombo(const QString &name, QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    // Editable: a stored value that is not in the list stays shown and is saved back unchanged.
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    return c;
}

// New items for a selector; the text it showed stays shown.
void refill(QComboBox *combo, const QStringList &items)
{
    const QString shown = combo->currentText();
    combo->clear();
    combo->addItems(items);
    ControlValues::setComboText(combo, shown);
}

} // namespace

TLayEASY::TLayEASY(QWidget *parent)
    : TOVOForm(parent)
    , KASTFile(frmKassotypHaupt().host().store())
    , m_sizes([] {
        QStringList sizes;
        for (int s = 4; s <= 20; ++s)
            sizes << QString::number(s);
        return sizes;
    }())
{
    OVOFormInit(QStringLiteral("LayEASY"), true);
    KASTFile.OpenNew(-1);
    setUpDialogFrame({620, 520});

    auto *main = new QVBoxLayout(this);
    m_headline = createHeadline();
    main->addWidget(m_headline);

    m_chbBonKopf = new QCheckBox(tr("Bonkopf als Belegkopf verwenden"), this);
    m_chbBonKopf->setObjectName(QStringLiteral("chbBonKopf"));
    main->addWidget(m_chbBonKopf);

    auto *fonts = new QGridLayout;
    m_font = makeCombo(QStringLiteral("cmbSchriftArt"), this);
    m_size = makeCombo(QStringLiteral("cmbSchriftGroesse"), this);
    m_style = makeCombo(QStringLiteral("cmbSchriftStil"), this);
    m_style->addItems({QStringLiteral("normal"), QStringLiteral("fett"), QStringLiteral("kursiv"),
                       QStringLiteral("fett/kursiv")});
    ControlValues::setComboText(m_style, QStringLiteral("normal"));
    m_alignment = makeCombo(QStringLiteral("cmbAusrichtung"), this);
    m_alignment->addItems(
            {QStringLiteral("links"), QStringLiteral("mitte"), QStringLiteral("rechts")});
    ControlValues::setComboText(m_alignment, QStringLiteral("mitte"));
    const std::pair<QString, QComboBox *> selectors[] = {{tr("Schriftart"), m_font},
                                                         {tr("Größe"), m_size},
                                                         {tr("Stil"), m_style},
                                                         {tr("Ausrichtung"), m_alignment}};
    int column = 0;
    for (const auto &[caption, combo] : selectors) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(combo);
        fonts->addWidget(label, 0, column);
        fonts->addWidget(combo, 1, column);
        ++column;
    }
    fonts->setColumnStretch(0, 3);
    fonts->setColumnStretch(2, 1);
    fonts->setColumnStretch(3, 1);
    main->addLayout(fonts);

    auto *textLabel = new QLabel(tr("Text"), this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("memText"));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    textLabel->setBuddy(m_text);
    main->addWidget(textLabel);
    main->addWidget(m_text, 1);

    auto *buttons = new QHBoxLayout;
    auto *btnTest = new QPushButton(tr("Testdruck"), this);
    btnTest->setObjectName(QStringLiteral("btnTest"));
    auto *btnOK = new QPushButton(tr("Buchen"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setToolTip(tr("Einstellung als aktuelle Einstellung speichern"));
    auto *btnAbbrechen = new QPushButton(tr("Abbrechen"), this);
    btnAbbrechen->setObjectName(QStringLiteral("btnAbbrechen"));
    for (QPushButton *b : {btnTest, btnOK, btnAbbrechen})
        b->setAutoDefault(false);
    buttons->addWidget(btnTest);
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnAbbrechen);
    main->addLayout(buttons);

    connectSave(btnOK, QStringLiteral("actF5"), QStringLiteral("btnOKClick"),
                [this] { btnOKClick(); });
    addGuardedAction(QStringLiteral("actESC"), QKeySequence(Qt::Key_Escape),
                     QStringLiteral("actESCExecute"), [this] { reject(); });
    connectGuarded(btnTest, &QPushButton::clicked, "btnTestClick", &TLayEASY::btnTestClick);
    connect(btnAbbrechen, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_text, &QPlainTextEdit::textChanged, this, [this] { m_textChanged = true; });
}

TLayEASY::~TLayEASY()
{
    guard(
            QStringLiteral("FormDestroy"), [this] { KASTFile.Close(); }, false);
}

Host &TLayEASY::host() const
{
    return frmKassotypHaupt().host();
}

TBonPrinter &TLayEASY::engine() const
{
    return frmKassotypHaupt().engine();
}

void TLayEASY::setSection(const QString &kennung, const QString &caption)
{
    m_kennung = kennung;
    setAuditSection(caption);
    setWindowTitle(caption);
    m_headline->setText(caption);
}

void TLayEASY::showEvent(QShowEvent *event)
{
    TOVOForm::showEvent(event);
    // A window shown again after being minimised keeps what the user typed.
    if (!event->spontaneous())
        guard(QStringLiteral("FormShow"), [this] { FormShow(); });
}

void TLayEASY::FormShow()
{
    m_text->clear();
    const bool graphic = engine().Kasso_Typ_Get_Modus() == QString(TBonPrinter::GraphicMode);
    QStringList fonts = graphic ? QFontDatabase::families() : engine().Kasso_Typ_Get_PrinterFonts();
    fonts.sort(Qt::CaseInsensitive);
    refill(m_font, fonts);
    refill(m_size, graphic ? m_sizes : QStringList());
    m_size->setEnabled(graphic);
    m_style->setEnabled(graphic);
    // Only this workstation's own record: a card receipt has no template to fall back on.
    if (lookUp())
        applyList(KASTFile.ReadSettingsList());
    m_textChanged = false;
    rememberInputs();
}

bool TLayEASY::lookUp()
{
    return RecordBinding(KASTFile).find({m_kennung, frmKassotypHaupt().workstationNumber(),
                                         engine().Kasso_Typ_Get_LayoutPrinterKey()});
}

QList<EditedRecord> TLayEASY::editedRecords()
{
    return {{tr("Layout"),
             layoutRef({m_kennung, frmKassotypHaupt().workstationNumber(),
                        engine().Kasso_Typ_Get_LayoutPrinterKey()}),
             &cardFormat()}};
}

QStringList TLayEASY::shownVersion(const EditedRecord &)
{
    return readList();
}

void TLayEASY::showVersion(const EditedRecord &, const QStringList &list)
{
    applyList(list);
}

void TLayEASY::applyList(const QStringList &list)
{
    if (!cardListApplies(list.size()))
        return;
    ControlValues::writeList(this, cardFormat().fields.mid(0, CardHeadLength), list);
    m_text->setPlainText(list.mid(CardHeadLength).join(u'\n'));
}

QStringList TLayEASY::readList() const
{
    QStringList list = ControlValues::readList(this, cardFormat().fields.mid(0, CardHeadLength));
    // One entry per line of the block; a final line break starts no line of its own.
    const QString text = m_text->toPlainText();
    if (!text.isEmpty()) {
        QStringList lines = text.split(u'\n');
        if (lines.size() > 1 && lines.last().isEmpty())
            lines.removeLast();
        list += lines;
    }
    return list;
}

void TLayEASY::btnOKClick()
{
    const QStringList list = readList();
    // Other programs of the installation read these records in Windows-1252, so that stays
    // the form whenever it can hold the text. A character it lacks would be lost there;
    // such a list is written as UTF-8 with byte-order mark, which every reader takes.
    const QByteArray blob = SettingsListCodec::fitsWindows1252(list)
                                    ? SettingsListCodec::encodeWindows1252(list)
                                    : SettingsListCodec::encodeUtf8(list);
    if (lookUp()) {
        KASTFile.StartStreamBuchung(wrdonUpdate, false)->write(blob);
    } else {
        KASTFile.NewRecord();
        KASTFile.TakeOverKeyValues();
        KASTFile.StartStreamBuchung(wrdonInsert, false)->write(blob);
    }
    KASTFile.EndStreamBuchung();
    m_textChanged = false;
    accept();
}

QStringList TLayEASY::sampleCardData(const QString &kennung)
{
    const CardTestPrint &c = cardTestPrint(kennung);
    const QDateTime now = ovo_Now();
    return {QStringLiteral("12345678"),
            ovo_DateToStr(now.date()),
            ovo_TimeToStr(now.time()),
            QStringLiteral("1000002"),
            QStringLiteral("0002"),
            QStringLiteral("1000001"),
            QStringLiteral("Musterkarte"),
            QString::fromUtf16(c.kind),
            QStringLiteral("EUR"),
            QStringLiteral("50,00"),
            QStringLiteral("88888888"),
            QString::fromUtf16(c.cardNumber),
            QStringLiteral("0003"),
            QStringLiteral("09/03"),
            QStringLiteral("00000000"),
            QStringLiteral("000000000000000000"),
            QStringLiteral("00000000"),
            QStringLiteral("Genemigt: 00000000400"),
            QString()};
}

void TLayEASY::btnTestClick()
{
    // The engine prints from the stored record: text not yet saved would not be on the print.
    if (m_textChanged) {
        host().info().ShowMeldung(1028, KassotypProgramKey);
        return;
    }
    const CardTestPrint &c = cardTestPrint(m_kennung);
    const QStringList data = sampleCardData(m_kennung);
    TBonPrinter &printer = engine();
    const AuditEvent event{AuditAction::TestPrint, frmKassotypHaupt().workstationNumber(),
                           auditedSection(m_kennung)};
    host().audit().trackOutput(event, [&] {
        printer.KT_DocBegin();
        (printer.*c.print)(data, true);
        printer.KT_DocEnd(false);
        return printer.lastOutput();
    });
}

std::optional<AuditEvent> TLayEASY::auditedSave() const
{
    return AuditEvent{AuditAction::SectionSaved, frmKassotypHaupt().workstationNumber(),
                      auditedSection(m_kennung)};
}
