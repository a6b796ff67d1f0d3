#include "editors/LayBonkopf.h"

#include "core/app/host.h"
#include "core/engine/bonprinter.h"
#include "core/model/hosttables.h"
#include "core/sections/sectionregistry.h"
#include "core/store/history.h"
#include "core/store/recordbinding.h"
#include "core/store/settingslistcodec.h"
#include "settings/frmBuchenAlleU.h"
#include "widgets/logoanzeige.h"
#include "widgets/radiogroup.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <stdexcept>

namespace {

const QString TwoDigits = QStringLiteral("[0-9]{0,2}");

} // namespace

TfrmLayBonkopf::TfrmLayBonkopf(QWidget *parent)
    : LayoutEditor(QStringLiteral("frmLayBonkopf"), parent)
{
    OVOFormInit(QStringLiteral("frmLayBonkopf"), true);
    setMaske(QStringLiteral("LAYKOPF"));

    const QString filler(150, u'x');
    for (int i = 1; i <= HeaderLineCount; ++i) {
        LineGroup::Initial initial;
        initial.text = filler;
        initial.alignment = i <= 4 ? QStringLiteral("mitte") : QStringLiteral("links");
        addLine(initial);
    }
    createPreviewLabels(HeaderLineCount);
    buildControls();
    m_logo->createPreviewPicture(previewLabel(1)->parentWidget());

    connectGuarded(m_logo->chbLogo, &QCheckBox::toggled, "chbLogoClick",
                   &TfrmLayBonkopf::chbLogoClick);
    connectGuarded(m_logo->spbLogo, &QPushButton::clicked, "spbLogoClick",
                   &TfrmLayBonkopf::spbLogoClick);
    connectGuarded(m_logo->LogoAnzeige, &Tlogoanzeige::neuesBild, "LogoAnzeigeNeuesBild",
                   &TfrmLayBonkopf::LogoAnzeigeNeuesBild);
    connectGuarded(m_logo->rgpLogoPosition, &TRadioGroup::itemIndexChanged, "rgpLogoPositionClick",
                   &TfrmLayBonkopf::rgpLogoPositionClick);
    connectGuarded(m_logo->edtLogoBreite, &QLineEdit::textChanged, "edtLogoBreiteChange",
                   &TfrmLayBonkopf::edtLogoBreiteChange);
    connectGuarded(m_logo->edtLogoHoehe, &QLineEdit::textChanged, "edtLogoHoeheChange",
                   &TfrmLayBonkopf::edtLogoHoeheChange);
    for (QLineEdit *count : {m_above, m_beside, m_below}) {
        connectGuarded(count, &QLineEdit::textChanged, "edtAnzZeilenChange",
                       &TfrmLayBonkopf::edtAnzZeilenChange);
    }
    connectGuarded(m_lineCount, &LineCountField::countChanged, "edtTextAnzahlZeilenChange",
                   &TfrmLayBonkopf::edtTextAnzahlZeilenChange);
    buchenButton()->installEventFilter(this);

    m_lineCount->setText(QStringLiteral("0"));
    rgpLogoPositionClick();
}

TfrmLayBonkopf::~TfrmLayBonkopf()
{
    // Closing moves the focus and disables buttons; a half-destroyed window must not react.
    buchenButton()->removeEventFilter(this);
}

void TfrmLayBonkopf::buildControls()
{
    auto *row = new QHBoxLayout;

    auto *logoBox = new QGroupBox(tr("Logo"), this);
    auto *logoLayout = new QVBoxLayout(logoBox);
    m_logo = new LogoBlock(logoBox);
    logoLayout->addWidget(m_logo);
    row->addWidget(logoBox);

    auto *textBox = new QGroupBox(tr("Text"), this);
    auto *grid = new QGridLayout(textBox);
    m_text = new QCheckBox(tr("&Text"), textBox);
    m_text->setObjectName(QStringLiteral("chbText"));
    m_text->setToolTip(tr("im Text- und Graphikmodus verfügbar"));
    grid->addWidget(m_text, 0, 0, 1, 2);
    m_lineCount = new LineCountField(0, HeaderLineCount, textBox);
    m_lineCount->setToolTip(tr("Kopfzeilen: Anzahl von 0 bis 10 "));
    auto *countLabel = new QLabel(tr("Anzahl Zeilen:"), textBox);
    countLabel->setBuddy(m_lineCount);
    grid->addWidget(countLabel, 1, 0);
    grid->addWidget(m_lineCount, 1, 1);
    m_above = addLabelledField(grid, 2, QStringLiteral("edtAnzZeilenUber"),
                               tr("Anzahl Textzeilen über Logo"), TwoDigits, 2, 50)
                      .edit;
    m_beside = addLabelledField(grid, 3, QStringLiteral("edtAnzZeilenNeben"),
                                tr("Anzahl Textzeilen neben Logo"), TwoDigits, 2, 50)
                       .edit;
    m_below = addLabelledField(grid, 4, QStringLiteral("edtAnzZeilenUnter"),
                               tr("Anzahl Textzeilen unter Logo"), TwoDigits, 2, 50)
                      .edit;
    for (QLineEdit *count : {m_above, m_beside, m_below})
        count->setText(QStringLiteral("0"));
    grid->setRowStretch(5, 1);
    row->addWidget(textBox);
    row->addStretch();
    qobject_cast<QBoxLayout *>(headerArea()->layout())->addLayout(row);

    m_buchenAlle = new QPushButton(tr("Alle Buchen"), this);
    m_buchenAlle->setObjectName(QStringLiteral("btnBuchenAlle"));
    m_buchenAlle->setAutoDefault(false);
    connectGuarded(m_buchenAlle, &QPushButton::clicked, "btnBuchenAlleClick",
                   &TfrmLayBonkopf::btnBuchenAlleClick);
    // Beside the save button, in the row of the window's buttons.
    for (int i = 0; i < layout()->count(); ++i) {
        auto *buttons = qobject_cast<QBoxLayout *>(layout()->itemAt(i)->layout());
        if (buttons && buttons->indexOf(buchenButton()) >= 0) {
            buttons->insertWidget(buttons->indexOf(buchenButton()), m_buchenAlle);
            break;
        }
    }
}

const LayoutFormat &TfrmLayBonkopf::format() const
{
    return bonKopfFormat();
}

bool TfrmLayBonkopf::logoUnavailable() const
{
    // The engine's rule: what it would leave out of the print is not offered here.
    return !engine().logoPrints();
}

int TfrmLayBonkopf::lineCount() const
{
    return m_lineCount->count();
}

void TfrmLayBonkopf::applySection()
{
    if (m_type < 1 || m_type > DocumentTypeCount)
        throw std::invalid_argument(tr("Den Belegtyp %1 gibt es nicht.").arg(m_type).toStdString());
    lineScrollArea()->verticalScrollBar()->setValue(0);
    const QString name = headerTitle(m_type);
    setWindowTitle(tr("Gestaltung des %1").arg(name));
    headline()->setText(windowTitle());
    elementTitle()->setText(tr("Elemente des %1").arg(name));
    editSection(*SectionRegistry::header(m_type));

    const bool available = !logoUnavailable();
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_logo->chbLogo, m_logo->spbLogo, m_logo->edtLogoBreite,
                                          m_logo->edtLogoHoehe, m_logo->rgpLogoPosition})
        w->setEnabled(available);
    const bool countsEnabled = available && !engine().TextModusDirektVerwendet();
    QScopedValueRollback<bool> quiet(m_distributing, true);
    for (QLineEdit *count : {m_above, m_beside, m_below}) {
        count->setEnabled(countsEnabled);
        if (!available)
            count->clear();
    }
}

void TfrmLayBonkopf::Einstellungen_Laden()
{
    const QString printerKey = engine().Kasso_Typ_Get_LayoutPrinterKey();
    // The type's own header, another type's header of this workstation, then the template's.
    QList<LayoutKey> chain = {{Kennung(), RNr(), printerKey}};
    for (const QString &fallback : SectionRegistry::headerFallbacks())
        chain.append({fallback, RNr(), printerKey});
    chain.append({Kennung(), 0, templatePrinterKey(printerKey)});
    RecordBinding record(KASTFile);
    int readRnr = RNr();
    if (record.find(chain)) {
        Einstellungen_MaskeSchreiben(record.list());
        readRnr = record.key().rnr;
    }
    if (m_logo->chbLogo->isChecked()) {
        m_logo->load(Kennung(), readRnr);
        edtLogoBreiteChange();
        edtLogoHoeheChange();
    }
    if (logoUnavailable())
        m_logo->chbLogo->setChecked(false);
}

void TfrmLayBonkopf::Einstellungen_MaskeSchreiben(const QStringList &list)
{
    if (format().applicableLength(list.size()) == 0)
        return;
    LayoutEditor::Einstellungen_MaskeSchreiben(list);
    chbLogoClick();
}

void TfrmLayBonkopf::Einstellungen_MaskeLesen(QStringList &list)
{
    m_logo->showLogoName();
    LayoutEditor::Einstellungen_MaskeLesen(list);
}

void TfrmLayBonkopf::Einstellungen_Speichern()
{
    Einstellungen_Speichern(m_type, false);
}

void TfrmLayBonkopf::Einstellungen_Speichern(int type, bool forceLogo)
{
    const QString kennung = CBelegTyp_2_KennungKopf(type);
    if (kennung.isEmpty())
        throw std::invalid_argument(tr("Den Belegtyp %1 gibt es nicht.").arg(type).toStdString());
    const QString printerKey = printerKeyForSaving();
    QStringList list;
    Einstellungen_MaskeLesen(list);
    // A header saved here is the user's own, no longer one that a set-up wrote.
    RecordBinding(KASTFile).book({kennung, RNr(), printerKey}, list, QString());
    m_logo->saveIfDue(kennung, RNr(), forceLogo, host().booking());
}

bool TfrmLayBonkopf::CheckLogoSettings() const
{
    return m_logo->CheckLogoSettings();
}

void TfrmLayBonkopf::refuseInvalidLogo()
{
    setResult(0);
    host().info().ShowMeldung(1029, KassotypProgramKey);
    m_logo->edtLogoBreite->setFocus();
}

void TfrmLayBonkopf::btnBuchenClick()
{
    if (!buchenButton()->isEnabled())
        return;
    if (!CheckLogoSettings()) {
        refuseInvalidLogo();
        return;
    }
    Einstellungen_Speichern(m_type, false);
    accept();
}

void TfrmLayBonkopf::btnBuchenAlleClick()
{
    if (!buchenButton()->isEnabled())
        return;
    if (!CheckLogoSettings()) {
        refuseInvalidLogo();
        return;
    }
    TfrmBuchenAlle choice(this);
    choice.setDocumentType(m_type);
    // A cancelled choice returns to the edits; closing would throw them away unsaved.
    if (choice.exec() != QDialog::Accepted)
        return;
    // All chosen types or none: a failure on the way takes back what was written before it.
    const QList<int> types = choice.result();
    AuditEvent event = auditEvent(AuditAction::SavedForAllTypes);
    QStringList names;
    for (int type : types)
        names << QStringLiteral("%1 %2").arg(type).arg(CBelegName(type));
    event.detail += QStringLiteral("; Belegtypen: ") + names.join(QStringLiteral(", "));
    host().audit().track(event, [this, &types] {
        host().store().write([this, &types] {
            const ChangeSet changeSet(host().store(), QStringLiteral("Alle Buchen"));
            for (int type : types)
                Einstellungen_Speichern(type, true);
        });
    });
    accept();
}

void TfrmLayBonkopf::btnVorgabeLadenClick()
{
    FormStore.LayOutListe.clear();
    FormStore.SetMaske(Maske());
    FormStore.restore(QString::number(RNr()), presetFlag());
    if (format().applicableLength(FormStore.LayOutListe.size()) > 0) {
        m_logo->lblLogoName->setText(FormStore.LayOutListe.at(1));
        FormStoreRestoreEnd();
    }
    Einstellungen_MaskeSchreiben(FormStore.LayOutListe);
    btnPreviewClick();
}

void TfrmLayBonkopf::FormStoreRestoreEnd()
{
    // Kennung1\Kennung2\number names the section's current logo, Kennung1\Kennung2\name\number
    // any other; anything else names none.
    const QStringList pieces = m_logo->lblLogoName->text().split(u'\\');
    Tlogoanzeige *component = m_logo->LogoAnzeige;
    component->Reset();
    if (pieces.size() >= 3 && !pieces.at(0).isEmpty()) {
        component->SetKennung1(pieces.at(0));
        component->SetKennung2(pieces.at(1));
        component->SetLogoName(pieces.size() >= 4 ? pieces.at(2) : CurrentLogoName);
        component->SetFil_Rech(qint16(pieces.at(pieces.size() >= 4 ? 3 : 2).toInt()));
        component->LoadFromlogofile();
    }
    component->update();
    edtLogoBreiteChange();
    edtLogoHoeheChange();
}

void TfrmLayBonkopf::chbLogoClick()
{
    const bool on = m_logo->chbLogo->isChecked();
    m_logo->setDetailsEnabled(on);
    const bool countsEnabled = on && !engine().TextModusDirektVerwendet();
    for (QLineEdit *count : {m_above, m_beside, m_below})
        count->setEnabled(countsEnabled);
    if (!on)
        m_logo->setSizeCm(0, 0);
    m_logo->lblLogoName->clear();
}

void TfrmLayBonkopf::edtAnzZeilenChange()
{
    if (m_distributing)
        return;
    QScopedValueRollback<bool> busy(m_distributing, true);
    const int n = lineCount();
    int a = qMin(countValue(m_above), HeaderLineCount);
    int b = qMin(countValue(m_beside), m_besideMaximum);
    int u = qMin(countValue(m_below), HeaderLineCount);
    const QString mode = engine().Kasso_Typ_Get_Modus();
    const bool graphic = mode == QString(TBonPrinter::GraphicMode);
    const bool text = mode == QString(TBonPrinter::TextMode);
    const int s = a + b + u;
    if (graphic && s > n) {
        if (a > n) {
            a = n;
            b = 0;
            u = 0;
        } else if (a + b > n) {
            b = n - a;
            u = 0;
        } else {
            u = n - a - b;
        }
    } else if ((graphic || text) && s < n) {
        u += n - s;
    }
    setCountValue(m_above, a);
    setCountValue(m_beside, b);
    setCountValue(m_below, u);
}

void TfrmLayBonkopf::edtTextAnzahlZeilenChange()
{
    edtAnzZeilenChange();
    const int n = lineCount();
    for (LineGroup *group : lineGroups())
        group->setVisible(group->number() == 1 || group->number() <= n);
}

void TfrmLayBonkopf::rgpLogoPositionClick()
{
    // A centred logo leaves no room beside it.
    if (m_logo->rgpLogoPosition->itemIndex() == 1) {
        m_besideMaximum = 0;
        setCountValue(m_beside, 0);
    } else {
        m_besideMaximum = HeaderLineCount;
    }
}

void TfrmLayBonkopf::edtLogoBreiteChange()
{
    m_logo->sizePictureWidth(pixelsPerInch());
}

void TfrmLayBonkopf::edtLogoHoeheChange()
{
    m_logo->sizePictureHeight(pixelsPerInch());
}

void TfrmLayBonkopf::spbLogoClick()
{
    m_logo->LogoAnzeige->lamitFileImportClick();
    m_logo->showLogoName();
}

void TfrmLayBonkopf::LogoAnzeigeNeuesBild()
{
    takeImportedLogo(*m_logo);
}

void TfrmLayBonkopf::drawPreview(int width)
{
    m_logo->hidePreviewPicture();
    if (!CheckLogoSettings()) {
        host().info().ShowMeldung(1029, KassotypProgramKey);
        m_logo->chbLogo->setChecked(false);
    }
    const bool text = m_text->isChecked();
    const bool logo = m_logo->chbLogo->isChecked();
    const bool wh2 = engine().ReplWH2(false);
    const int a = countValue(m_above);
    const int b = countValue(m_beside);
    const int u = countValue(m_below);
    auto draw = [&](int from, int to, int &top, int lineWidth, int left) {
        for (int n = from; text && n <= to; ++n) {
            if (line(n) && previewLabel(n))
                writePreviewLine(previewLabel(n), line(n), top, lineWidth, wh2, false, left);
        }
    };
    int y = 10;
    draw(1, a, y, width, 10);
    int z = y;
    if (logo)
        m_logo->placePreview(y, width, pixelsPerInch());
    const int pictureWidth = logo ? m_logo->bmpPreview->width() : 0;
    const bool right = m_logo->rgpLogoPosition->itemIndex() == 2;
    draw(a + 1, a + b, z, width - pictureWidth, right ? 10 : pictureWidth + 10);
    // Lines below start under the picture and under the lines beside it.
    y = qMax(y, z);
    draw(a + b + 1, a + b + u, y, width, 10);
}

void TfrmLayBonkopf::scbPreviewClick()
{
    m_logo->showFullScreenPreview(*this);
}

bool TfrmLayBonkopf::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == buchenButton() && event->type() == QEvent::EnabledChange) {
        // Saving for other types needs a printer as much as saving for the own one.
        m_buchenAlle->setEnabled(buchenButton()->isEnabled());
    }
    return LayoutEditor::eventFilter(watched, event);
}
