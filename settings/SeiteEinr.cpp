#include "settings/SeiteEinr.h"

#include "core/app/host.h"
#include "core/engine/bonprinter.h"
#include "core/format/deviceformats.h"
#include "core/model/textfunctions.h"
#include "core/output/systemprinter.h"
#include "core/store/recordbinding.h"
#include "settings/workstationheadline.h"
#include "widgets/controlvalues.h"
#include "widgets/historywindow.h"
#include "widgets/mainwindowcontext.h"

#include <QAction>
#include <QComboBox>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <stdexcept>

namespace {

const QString Kennung = QStringLiteral("SEITEEIN");
const QString &PresetControl = PrinterRecord::PresetName;

// Where the page setup keeps the printer preset; the numbers come before it.
int presetPosition()
{
    return pageSetupFormat().positionOf(PresetControl);
}

// Centimetres with two decimals, 0 to 99,99 and at most five characters.
// The length is checked here rather than by the field's maximum length, which would cut a
// longer stored value short on showing it.
class CentimetreValidator : public QDoubleValidator
{
public:
    explicit CentimetreValidator(QObject *parent)
        : QDoubleValidator(0.0, 99.99, 2, parent)
    {
        QLocale german(QLocale::German, QLocale::Germany);
        german.setNumberOptions(QLocale::RejectGroupSeparator);
        setLocale(german);
        setNotation(QDoubleValidator::StandardNotation);
    }
    // Either separator may be typed: a point is read as the comma it stands for.
    State validate(QString &input, int &pos) const override
    {
        if (input.size() > TfrmBreiteRaender::NumberMaxLength)
            return Invalid;
        QString asComma = input;
        asComma.replace(u'.', u',');
        return QDoubleValidator::validate(asComma, pos);
    }
};

// Typing is limited to eight characters; the longer names of known presets ("TM-U300PBT")
// stay intact, and so does a longer name while it is shortened at its end.
class PresetNameValidator : public QValidator
{
public:
    PresetNameValidator(const QComboBox *combo, QObject *parent)
        : QValidator(parent)
        , m_combo(combo)
    {
    }
    State validate(QString &input, int &) const override
    {
        if (input.size() <= TfrmBreiteRaender::PresetNameMaxLength)
            return Acceptable;
        for (int i = 0; i < m_combo->count(); ++i) {
            if (m_combo->itemText(i).startsWith(input))
                return Acceptable;
        }
        return Invalid;
    }

private:
    const QComboBox *m_combo;
};

struct NumberField
{
    const char *control;
    const char *label;
    int row;
    int column;
    bool receiptOnly; // used by the engine for receipts only
};

// On screen width and height, then the margins in pairs; stored in the order of the format.
const NumberField numberFields[] = {
        {"edtPapierbreite", QT_TRANSLATE_NOOP("TfrmBreiteRaender", "Papierbreite in cm"), 0, 0,
         false},
        {"edtPapierHoehe", QT_TRANSLATE_NOOP("TfrmBreiteRaender", "Papierhöhe in cm"), 0, 1, true},
        {"edtRandOben", QT_TRANSLATE_NOOP("TfrmBreiteRaender", "Rand oben in cm"), 1, 0, false},
        {"edtRandUnten", QT_TRANSLATE_NOOP("TfrmBreiteRaender", "Rand unten in cm"), 1, 1, true},
        {"edtRandLinks", QT_TRANSLATE_NOOP("TfrmBreiteRaender", "Rand links in cm"), 2, 0, false},
        {"edtRandRechts", QT_TRANSLATE_NOOP("TfrmBreiteRaender", "Rand rechts in cm"), 2, 1, false},
};

} // namespace

TfrmBreiteRaender::TfrmBreiteRaender(QWidget *parent)
    : TOVOForm(parent)
    , KASTFile(frmKassotypHaupt().host().store())
{
    OVOFormInit(QStringLiteral("frmBreiteRaender"), true);
    KASTFile.OpenNew(-1);
    buildWindow();
    for (const NumberField &f : numberFields)
        ControlValues::write(this, QString::fromLatin1(f.control), QStringLiteral("0,00"));
    m_rememberedPrinter.clear();
    fillPresetList();
    m_spbFormStoreDlg->setVisible(frmKassotypHaupt().startMode() == 2);
}

TfrmBreiteRaender::~TfrmBreiteRaender()
{
    guard(
            QStringLiteral("FormDestroy"), [this] { KASTFile.Close(); }, false);
}

void TfrmBreiteRaender::buildWindow()
{
    setWindowTitle(tr("Einstellungen der Papierbreite und der Ränder"));
    setUpDialogFrame();
    // Wide enough that a title bar shows the whole title beside its icon and buttons.
    setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + 160);

    auto *main = new QVBoxLayout(this);
    m_heading = createHeadline();
    m_heading->setWordWrap(true);
    main->addWidget(m_heading);

    auto *presetRow = new QHBoxLayout;
    auto *presetLabel = new QLabel(tr("Einstellung"), this);
    m_ddcEinstellung = new QComboBox(this);
    m_ddcEinstellung->setObjectName(PresetControl);
    m_ddcEinstellung->setEditable(true);
    m_ddcEinstellung->setInsertPolicy(QComboBox::NoInsert);
    m_ddcEinstellung->lineEdit()->setValidator(
            new PresetNameValidator(m_ddcEinstellung, m_ddcEinstellung));
    m_ddcEinstellung->setMinimumContentsLength(12);
    presetLabel->setBuddy(m_ddcEinstellung);
    m_spbFormStoreDlg = new QToolButton(this);
    m_spbFormStoreDlg->setObjectName(QStringLiteral("spbFormStoreDlg"));
    m_spbFormStoreDlg->setText(QStringLiteral("..."));
    m_spbFormStoreDlg->setToolTip(tr("Vorgaben"));
    presetRow->addWidget(presetLabel);
    presetRow->addWidget(m_ddcEinstellung, 1);
    presetRow->addWidget(m_spbFormStoreDlg);
    main->addLayout(presetRow);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    for (const NumberField &f : numberFields) {
        auto *label = new QLabel(tr(f.label), this);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(f.control));
        edit->setValidator(new CentimetreValidator(edit));
        edit->setAlignment(Qt::AlignRight);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("000,000")) + 12);
        label->setBuddy(edit);
        if (f.receiptOnly) {
            const QString hint = tr("wird nur beim Belegdruck berücksichtigt");
            label->setToolTip(hint);
            edit->setToolTip(hint);
        }
        auto *cell = new QHBoxLayout;
        cell->addWidget(edit);
        if (f.row == 0 && f.column == 0) {
            auto *sbt = new QToolButton(this);
            sbt->setObjectName(QStringLiteral("sbtAktPaperWidth"));
            sbt->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
            sbt->setToolTip(tr("Breite des aktuellen Druckers"));
            connectGuarded(sbt, &QToolButton::clicked, "sbtAktPaperWidthClick",
                           &TfrmBreiteRaender::sbtAktPaperWidthClick);
            cell->addWidget(sbt);
        }
        cell->addStretch();
        grid->addWidget(label, f.row, 2 * f.column);
        grid->addLayout(cell, f.row, 2 * f.column + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    main->addLayout(grid);
    main->addStretch();

    addSaveButtons(main, tr("Einstellung als aktuelle Einstellung speichern"),
                   [this] { btnBuchenClick(); },
                   {QStringLiteral("btnSchliessen"), tr("Schließen"), QString()});
    // activated comes from the user only, so loading a record never re-enters loading.
    connectGuarded(m_ddcEinstellung, &QComboBox::activated, "ddcEinstellungClick",
                   &TfrmBreiteRaender::ddcEinstellungClick);
    connectGuarded(m_spbFormStoreDlg, &QToolButton::clicked, "spbFormStoreDlgClick",
                   &TfrmBreiteRaender::spbFormStoreDlgClick);
}

StoreFormStore TfrmBreiteRaender::presets() const
{
    return StoreFormStore(frmKassotypHaupt().host().store(), Kennung, pageFormPresets());
}

void TfrmBreiteRaender::fillPresetList()
{
    const QString shown = m_ddcEinstellung->currentText();
    const bool chosen = m_ddcEinstellung->currentIndex() >= 0 || !shown.isEmpty();
    m_ddcEinstellung->clear();
    m_ddcEinstellung->addItems(presets().GetStoredForms());
    if (chosen)
        ControlValues::setComboText(m_ddcEinstellung, shown);
    else
        m_ddcEinstellung->setCurrentIndex(-1); // filling an empty list would choose the first
}

void TfrmBreiteRaender::showEvent(QShowEvent *event)
{
    TOVOForm::showEvent(event);
    guard(QStringLiteral("FormShow"), [this] { FormShow(); });
}

void TfrmBreiteRaender::FormShow()
{
    TBonPrinter &engine = frmKassotypHaupt().engine();
    m_heading->setText(workstationHeadline(frmKassotypHaupt().workstationNumber(), &engine));
    const QString key = engine.Kasso_Typ_Get_LayoutPrinterKey();
    load(templatePrinterKey(key), frmKassotypHaupt().workstationNumber());
    rememberInputs();
}

void TfrmBreiteRaender::load(const QString &presetName, int rnr)
{
    RecordBinding record(KASTFile);
    if (record.find(Fallback::device(Kennung, rnr, presetName, false)))
        applyList(record.list());
}

QList<EditedRecord> TfrmBreiteRaender::editedRecords()
{
    const QString presetName = settingsList().at(presetPosition());
    if (presetName.isEmpty())
        return {};
    return {{tr("Papierbreite und Ränder %1").arg(presetName),
             layoutRef({Kennung, frmKassotypHaupt().workstationNumber(), presetName}),
             &pageSetupFormat()}};
}

QStringList TfrmBreiteRaender::shownVersion(const EditedRecord &)
{
    return settingsList();
}

void TfrmBreiteRaender::showVersion(const EditedRecord &, const QStringList &list)
{
    applyList(list);
}

void TfrmBreiteRaender::applyList(const QStringList &list)
{
    const LayoutFormat &format = pageSetupFormat();
    if (format.applicableLength(list.size()) < format.size())
        return;
    ControlValues::writeList(this, format.fields.mid(0, presetPosition()), list);
    m_ddcEinstellung->setCurrentIndex(-1);
    m_ddcEinstellung->setEditText(QString());
    const int exact = m_ddcEinstellung->findText(list.at(presetPosition()),
                                                 Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (exact >= 0)
        m_ddcEinstellung->setCurrentIndex(exact);
    else
        selectPresetIgnoringCase(m_rememberedPrinter);
}

void TfrmBreiteRaender::selectPresetIgnoringCase(const QString &name)
{
    if (name.isEmpty())
        return;
    const int i = m_ddcEinstellung->findText(name, Qt::MatchFixedString); // ignores case
    if (i >= 0)
        m_ddcEinstellung->setCurrentIndex(i);
}

void TfrmBreiteRaender::SetPrinterIfNotSet(const QString &printerName)
{
    if (printerName == m_rememberedPrinter)
        return;
    m_rememberedPrinter = printerName;
    if (m_ddcEinstellung->currentIndex() < 0 && m_ddcEinstellung->currentText().isEmpty())
        selectPresetIgnoringCase(printerName);
}

void TfrmBreiteRaender::ddcEinstellungClick()
{
    load(m_ddcEinstellung->currentText(), frmKassotypHaupt().workstationNumber());
}

QStringList TfrmBreiteRaender::settingsList() const
{
    QStringList list = ControlValues::readList(this, pageSetupFormat().fields);
    for (QString &entry : list)
        entry = entry.trimmed();
    return list;
}

void TfrmBreiteRaender::btnBuchenClick()
{
    const QStringList list = settingsList();
    const QString presetName = list.at(presetPosition());
    // A page setup without a printer name would be stored where no printer ever looks.
    if (presetName.isEmpty())
        throw std::invalid_argument(
                tr("Bitte wählen Sie die Einstellung (den Drucker), für die Papierbreite und "
                   "Ränder gelten sollen.")
                        .toStdString());
    RecordBinding(KASTFile).book({Kennung, frmKassotypHaupt().workstationNumber(), presetName},
                                 list);
    frmKassotypHaupt().engine().Refresh();
    fillPresetList();
}

std::optional<AuditEvent> TfrmBreiteRaender::auditedSave() const
{
    std::optional<AuditEvent> event = TOVOForm::auditedSave();
    const QString printer = settingsList().at(presetPosition());
    // Names the record, here and in the status line that says what a save wrote.
    event->section = tr("Papierbreite und Ränder des Druckers %1").arg(printer);
    event->detail = QStringLiteral("%1 %2").arg(Kennung, printer);
    return event;
}

void TfrmBreiteRaender::takePaperWidth(int pageWidthDots, int dotsPerInch)
{
    QLineEdit *width = findChild<QLineEdit *>(QStringLiteral("edtPapierbreite"));
    if (pageWidthDots <= 0 || dotsPerInch <= 0) {
        width->clear();
        return;
    }
    // Shown as the user writes numbers; either separator is stored with a comma.
    QLocale shown;
    shown.setNumberOptions(QLocale::OmitGroupSeparator);
    width->setText(shown.toString(double(pageWidthDots) / dotsPerInch * 2.54, 'f', 2));
}

void TfrmBreiteRaender::sbtAktPaperWidthClick()
{
    int dots = 0;
    int dpi = 0;
    QString problem;
    if (SystemPrinter::defaultPrintableWidth(&dots, &dpi, &problem)) {
        takePaperWidth(dots, dpi);
        return;
    }
    takePaperWidth(0, 0);
    if (!problem.isEmpty())
        throw std::runtime_error(problem.toStdString());
}

void TfrmBreiteRaender::spbFormStoreDlgClick()
{
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("mnuVorgaben"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const QString &name : presets().GetStoredForms()) {
        QAction *restore = menu->addAction(name);
        restore->setObjectName(QStringLiteral("actVorgabe_") + name);
        connect(restore, &QAction::triggered, this, [this, name] {
            guard(QStringLiteral("spbFormStoreDlgClick"), [this, name] { restorePreset(name); });
        });
    }
    menu->addSeparator();
    QAction *keep = menu->addAction(tr("Werte als Vorgabe speichern"));
    keep->setObjectName(QStringLiteral("actVorgabeSpeichern"));
    keep->setEnabled(!m_ddcEinstellung->currentText().trimmed().isEmpty());
    connect(keep, &QAction::triggered, this,
            [this] { guard(QStringLiteral("spbFormStoreDlgClick"), [this] { storePreset(); }); });
    menu->popup(m_spbFormStoreDlg->mapToGlobal(QPoint(0, m_spbFormStoreDlg->height())));
}

void TfrmBreiteRaender::restorePreset(const QString &name)
{
    if (const std::optional<FormPreset> preset = presets().preset(name))
        ControlValues::applyAll(this, preset->properties);
}

void TfrmBreiteRaender::storePreset()
{
    const QString name = m_ddcEinstellung->currentText().trimmed();
    if (name.isEmpty())
        return;
    StoreFormStore store = presets();
    const QStringList list = settingsList();
    FormPreset preset{name, store.preset(name).value_or(FormPreset{}).remark, {}, false};
    for (int pos = 0; pos < presetPosition(); ++pos)
        preset.properties.insert(pageSetupFormat().fields.at(pos).control, list.at(pos));
    AuditEvent event = *TOVOForm::auditedSave();
    event.action = AuditAction::PresetSaved;
    event.detail = QStringLiteral("Vorgabe %1").arg(name);
    frmKassotypHaupt().host().audit().track(event, [&] { store.storePreset(preset); });
    fillPresetList();
}
