#include "settings/allgtreiber.h"

#include "core/app/host.h"
#include "core/engine/bonprinter.h"
#include "core/engine/printerlogos.h"
#include "core/format/deviceformats.h"
#include "core/format/pagesetup.h"
#include "core/format/printercapabilities.h"
#include "core/model/textfunctions.h"
#include "core/output/escpos.h"
#include "core/store/recordbinding.h"
#include "settings/workstationheadline.h"
#include "widgets/controlvalues.h"
#include "widgets/historywindow.h"
#include "widgets/mainwindowcontext.h"
#include "widgets/radiogroup.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <stdexcept>

namespace {

const QStringList BaudRates = {"110",   "300",   "600",    "1200",   "2400",
                               "4800",  "9600",  "14400",  "19200",  "38400",
                               "56000", "57600", "115200", "128000", "256000"};

// Field lengths of the edits, by name or name prefix; the first match wins.
const QList<QPair<QString, int>> FieldLengths = {
        {QStringLiteral("edtESCOpenSequenzCOM"), 50},
        {QStringLiteral("edtCtrl"), 1},
        {QStringLiteral("edtESC"), 20},
        {QStringLiteral("edtNameFont"), 15},
        {QStringLiteral("edtNormal"), 2},
        {QStringLiteral("edtGross"), 2},
        {QStringLiteral("edtNameControlFont"), 20},
        {QStringLiteral("edtKD"), 20},
        {QStringLiteral("edtCodepages"), 40},
        {QStringLiteral("edtAufloesung"), 5},
        {QStringLiteral("edtZeichenbreite"), 2},
};

QLineEdit *newEdit(QWidget *parent, const QString &name, int width = 0)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    for (const auto &[prefix, length] : FieldLengths) {
        if (name.startsWith(prefix)) {
            edit->setMaxLength(length);
            break;
        }
    }
    if (width > 0)
        edit->setFixedWidth(width);
    return edit;
}

// Why the printer cannot read what a field with a format holds, read as the outputs read it;
// empty when it can (an empty field sends nothing and is always right).
QString formatProblem(const QString &field, const QString &text)
{
    const QString value = text.trimmed();
    if (value.isEmpty())
        return {};
    QByteArray bytes;
    const bool hex = EscPosEncoder::hexBytes(value, &bytes);
    if (field.startsWith(QLatin1String("edtNormal"))
        || field.startsWith(QLatin1String("edtGross"))) {
        if (hex && bytes.size() == 1)
            return {};
        return QCoreApplication::translate(
                       "TfrmAllgTreiber",
                       "„%1“ ist kein ESC-Code: erwartet wird ein Byte als zwei Hex-Ziffern "
                       "(0-9, A-F), z. B. 01.")
                .arg(value);
    }
    if (field.startsWith(QLatin1String("edtESC")) || field.startsWith(QLatin1String("edtKD"))) {
        if (hex)
            return {};
        return QCoreApplication::translate(
                       "TfrmAllgTreiber",
                       "„%1“ ist keine Bytefolge in Hex: erwartet werden Paare von Hex-Ziffern "
                       "(0-9, A-F) ohne Leerzeichen, z. B. 1B7000.")
                .arg(value);
    }
    return {};
}

QComboBox *newCombo(QWidget *parent, const QString &name, const QStringList &items)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->addItems(items);
    combo->setMinimumWidth(120);
    return combo;
}

} // namespace

TfrmAllgTreiber::TfrmAllgTreiber(QWidget *parent)
    : TOVOForm(parent)
    , KASTFile(frmKassotypHaupt().host().store())
{
    OVOFormInit(QStringLiteral("frmAllgTreiber"), true);
    KASTFile.OpenNew(-1);
    Store &store = frmKassotypHaupt().host().store();
    m_printerPresets = std::make_unique<StoreFormStore>(store, QStringLiteral("ALLGTREIBER"),
                                                        printerFormPresets());
    m_displayPresets = std::make_unique<StoreFormStore>(store, QStringLiteral("KUNDENANZEIGE"),
                                                        displayFormPresets());

    setWindowTitle(tr("Drucker, Kassenlade, Kundenanzeige"));
    setUpDialogFrame({940, 700});

    auto *main = new QVBoxLayout(this);
    m_headline = createHeadline();
    main->addWidget(m_headline);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pgcGeraete"));
    m_pageNames = {tr("Drucker"), tr("Kassenlade"), tr("Kundenanzeige")};
    const QStringList pageObjects = {QStringLiteral("tabDrucker"), QStringLiteral("tabKassenlade"),
                                     QStringLiteral("tabKundenanzeige")};
    using Builder = void (TfrmAllgTreiber::*)(QWidget *);
    const Builder builders[] = {&TfrmAllgTreiber::buildPrinterPage,
                                &TfrmAllgTreiber::buildDrawerPage,
                                &TfrmAllgTreiber::buildDisplayPage};
    for (int i = 0; i < m_pageNames.size(); ++i) {
        auto *page = new QWidget(m_pages);
        page->setObjectName(pageObjects.at(i));
        (this->*builders[i])(page);
        m_pages->addTab(page, m_pageNames.at(i));
    }
    main->addWidget(m_pages, 1);
    // Says which field holds what the printer cannot read, before anything is saved.
    m_formatNote = new QLabel(this);
    m_formatNote->setObjectName(QStringLiteral("lblEingabefehler"));
    m_formatNote->setWordWrap(true);
    m_formatNote->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_formatNote->hide();
    main->addWidget(m_formatNote);
    for (QLineEdit *edit : findChildren<QLineEdit *>()) {
        if (edit->accessibleName().isEmpty())
            continue;
        m_formatFields << edit;
        connect(edit, &QLineEdit::editingFinished, this, [this, edit] { markFormat(edit); });
        // A mark goes as soon as the field is right; a new one waits until the field is left.
        connect(edit, &QLineEdit::textChanged, this, [this, edit] {
            if (edit->property("formatProblem").toBool())
                markFormat(edit);
        });
    }

    addSaveButtons(main, tr("Einstellungen speichern"), [this] { btnBuchenClick(); },
                   {QString(), QString(), tr("Zurück, ohne die Einstellungen zu übernehmen")});
    addNextPageKey(m_pages, QStringLiteral("actNaechsteSeite"),
                   QStringLiteral("actNaechsteSeiteExecute"));
    connectGuarded(m_pages, &QTabWidget::currentChanged, "pgcGeraeteChange",
                   &TfrmAllgTreiber::pgcGeraeteChange);

    fillPresetList();
    m_formStoreButton->setVisible(frmKassotypHaupt().startMode() == 2);
    pgcGeraeteChange();
}

TfrmAllgTreiber::~TfrmAllgTreiber()
{
    guard(
            QStringLiteral("FormDestroy"), [this] { KASTFile.Close(); }, false);
}

int TfrmAllgTreiber::RNr() const
{
    return frmKassotypHaupt().workstationNumber();
}

void TfrmAllgTreiber::buildPrinterPage(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);

    auto *top = new QHBoxLayout;
    auto *mode = new TRadioGroup(tr(" Druckermodus "),
                                 {tr("Textmodus (sofortige Druckausgabe)"),
                                  tr("Grafikmodus (Druckausgabe am Ende)"),
                                  tr("Testmodus (keine Druckausgabe)")},
                                 1, page);
    mode->setObjectName(QStringLiteral("rgpDruckermodus"));
    top->addWidget(mode);

    auto *presetBox = new QVBoxLayout;
    auto *presetRow = new QHBoxLayout;
    m_presetList = new QComboBox(page);
    m_presetList->setObjectName(QStringLiteral("ddcEinstellung"));
    m_presetList->setEditable(true);
    m_presetList->setInsertPolicy(QComboBox::NoInsert);
    m_presetList->lineEdit()->setMaxLength(10);
    m_presetList->setMinimumWidth(140);
    auto *presetLabel = new QLabel(tr("Einstellung"), page);
    presetLabel->setBuddy(m_presetList);
    m_formStoreButton = new QToolButton(page);
    m_formStoreButton->setObjectName(QStringLiteral("spbFormStoreDlg"));
    m_formStoreButton->setText(QStringLiteral("..."));
    m_formStoreButton->setToolTip(tr("Gespeicherte Einstellung laden"));
    presetRow->addWidget(presetLabel);
    presetRow->addWidget(m_presetList);
    presetRow->addWidget(m_formStoreButton);
    presetRow->addStretch();
    presetBox->addLayout(presetRow);
    auto *forceInit = new QCheckBox(tr("Initialisierung vor jedem Druckauftrag durchführen"), page);
    forceInit->setObjectName(QStringLiteral("chbForcePrinterInit"));
    presetBox->addWidget(forceInit);
    presetBox->addStretch();
    top->addLayout(presetBox, 1);
    layout->addLayout(top);

    auto *middle = new QHBoxLayout;
    auto *fontColumn = new QVBoxLayout;
    auto *fonts = new QGridLayout;
    fonts->addWidget(boldLabel(tr("ESC"), page), 0, 2);
    m_columnsCaption = boldLabel(tr("Spalten"), page);
    fonts->addWidget(m_columnsCaption, 0, 4);
    for (int n = 1; n <= 4; ++n) {
        const QString number = QString::number(n);
        auto *name = newEdit(page, QStringLiteral("edtNameFont") + number, 130);
        auto *label = new QLabel(tr("&%1. Druckerschriftart").arg(n), page);
        label->setBuddy(name);
        fonts->addWidget(label, n, 0);
        fonts->addWidget(name, n, 1);
        auto *code = newEdit(page, QStringLiteral("edtNormal") + number, 40);
        code->setAccessibleName(tr("ESC-Code der %1. Druckerschriftart").arg(n));
        fonts->addWidget(code, n, 2);
        auto *second = newEdit(page, QStringLiteral("edtGross") + number, 40);
        second->setAccessibleName(tr("zweiter ESC-Code der %1. Druckerschriftart").arg(n));
        fonts->addWidget(second, n, 3);
        // What the font holds across the till's paper, as the printer sets it.
        auto *columns = new QLabel(page);
        columns->setObjectName(QStringLiteral("lblSpalten") + number);
        columns->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        fonts->addWidget(columns, n, 4);
        connect(code, &QLineEdit::textChanged, this, &TfrmAllgTreiber::showColumns);
    }
    auto *controlFont = newEdit(page, QStringLiteral("edtNameControlFont"), 130);
    auto *controlLabel = new QLabel(tr("Name des &Controlfonts"), page);
    controlLabel->setBuddy(controlFont);
    fonts->addWidget(controlLabel, 5, 0);
    fonts->addWidget(controlFont, 5, 1);
    fontColumn->addLayout(fonts);

    auto *direct = new QGridLayout;
    auto *port = newCombo(page, QStringLiteral("cmbComPortTextmDirekt"),
                          {tr("aus"), "COM1", "COM2", "COM3", "COM4"});
    auto *portLabel = new QLabel(tr("COM-Port für direkten Textm."), page);
    portLabel->setBuddy(port);
    auto *baud = newCombo(page, QStringLiteral("cmbTextmDirektBaudrate"),
                          QStringList{QString()} + BaudRates);
    baud->setToolTip(tr("Baudrate für direkten Textmodus"));
    const QString directHint =
            tr("Für einen Drucker, der im Textmodus ohne Treiber direkt über eine serielle "
               "Schnittstelle angesteuert wird.");
    port->setToolTip(directHint);
    portLabel->setToolTip(directHint);
    direct->addWidget(portLabel, 0, 0);
    direct->addWidget(port, 0, 1);
    direct->addWidget(baud, 0, 2);
    fontColumn->addSpacing(12);
    fontColumn->addLayout(direct);
    fontColumn->addStretch();
    middle->addLayout(fontColumn);

    m_functionList = new QScrollArea(page);
    m_functionList->setObjectName(QStringLiteral("scbFunktionen"));
    m_functionList->setWidgetResizable(true);
    auto *table = new QWidget;
    auto *grid = new QGridLayout(table);
    grid->addWidget(boldLabel(tr("Funktionen"), table), 0, 0);
    grid->addWidget(boldLabel(tr("Controlfont"), table), 0, 1);
    grid->addWidget(boldLabel(tr("ESC (10 x HEX)"), table), 0, 2);
    int row = 1;
    for (const PrinterFunction &function : printerFunctions()) {
        const QString suffix = QString::fromLatin1(function.suffix);
        auto *caption = new QLabel(tr(function.caption), table);
        auto *sequence = newEdit(table, QStringLiteral("edtESC") + suffix, 190);
        sequence->setAccessibleName(tr("Bytefolge „%1“").arg(caption->text()));
        caption->setBuddy(sequence);
        grid->addWidget(caption, row, 0);
        grid->addWidget(newEdit(table, QStringLiteral("edtCtrl") + suffix, 40), row, 1);
        grid->addWidget(sequence, row, 2);
        ++row;
    }
    grid->setRowStretch(row, 1);
    m_functionList->setWidget(table);
    // Only the list scrolls down; its columns are always seen whole.
    m_functionList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_functionList->setMinimumWidth(table->sizeHint().width()
                                    + m_functionList->verticalScrollBar()->sizeHint().width()
                                    + 2 * m_functionList->frameWidth());
    middle->addWidget(m_functionList, 1);
    layout->addLayout(middle, 1);
    layout->addWidget(buildCapabilities(page));

    connect(m_presetList, &QComboBox::textActivated, this, [this](const QString &name) {
        guard(QStringLiteral("ddcEinstellungClick"), [&] { ddcEinstellungClick(name); });
    });
    connectGuarded(m_formStoreButton, &QToolButton::clicked, "spbFormStoreDlgClick",
                   &TfrmAllgTreiber::spbFormStoreDlgClick);
}

QWidget *TfrmAllgTreiber::buildCapabilities(QWidget *page)
{
    auto *box = new QGroupBox(tr(" Fähigkeiten des Druckers "), page);
    box->setObjectName(QStringLiteral("grpFaehigkeiten"));
    auto *rows = new QVBoxLayout(box);
    auto *switches = new QHBoxLayout;
    const std::pair<QString, QString> captions[] = {
            {PrinterCapability::Raster, tr("Rastergrafik (Logos)")},
            {PrinterCapability::GraphicsMemory, tr("Grafikspeicher")},
            {PrinterCapability::Barcodes, tr("Barcodes (eigene Befehle)")},
            {PrinterCapability::QrCodes, tr("QR-Codes (eigene Befehle)")}};
    for (const auto &[name, caption] : captions) {
        auto *check = new QCheckBox(caption, box);
        check->setObjectName(name);
        switches->addWidget(check);
    }
    switches->addStretch();
    rows->addLayout(switches);

    // A control after its caption, both explaining it, in a row of such controls.
    const auto labelled = [box](QHBoxLayout *row, QWidget *control, const QString &caption,
                                const QString &hint) {
        auto *label = new QLabel(caption, box);
        label->setBuddy(control);
        control->setToolTip(hint);
        label->setToolTip(hint);
        row->addWidget(label);
        row->addWidget(control);
        row->addSpacing(12);
    };
    auto *fields = new QHBoxLayout;
    const auto field = [&](const QString &name, const QString &caption, int width,
                           const QString &hint) {
        auto *edit = newEdit(box, name, width);
        labelled(fields, edit, caption, hint);
        return edit;
    };
    field(PrinterCapability::CodePageList, tr("Codepages (ESC t)"), 120,
          tr("Die Nummern n von ESC t n der Codepages, die der Drucker kennt, durch Kommas "
             "getrennt, z. B. 0,2,16,19"));
    auto *resolution = field(PrinterCapability::DotsPerMm, tr("Auflösung (Punkte je mm)"), 50,
                             tr("8 bei 203 dpi"));
    const QString cellHint = tr("Punkte eines Zeichens der Schriften A und B in einfacher Breite");
    auto *fontA = field(PrinterCapability::FontADots, tr("Zeichenbreite Schrift A"), 36, cellHint);
    auto *fontB = field(PrinterCapability::FontBDots, tr("B"), 36, cellHint);
    fields->addStretch();
    rows->addLayout(fields);

    // How QR codes print, by the printer's own command or as a picture.
    auto *qr = new QHBoxLayout;
    labelled(qr, newEdit(box, PrinterCapability::QrModuleDots, 36), tr("QR-Code: Punkte je Modul"),
             tr("1 bis 16 Punkte je Modul; leer: %1 (0,5 mm bei 203 dpi), lesbar auf 58 und 80 mm "
                "Papier")
                     .arg(QrCode::DefaultModuleDots));
    auto *level = newCombo(box, PrinterCapability::QrErrorCorrection, {"L", "M", "Q", "H"});
    level->setMinimumWidth(60);
    labelled(qr, level, tr("Fehlerkorrektur"),
             tr("L 7 %, M 15 %, Q 25 %, H 30 % des Codes dürfen unlesbar sein; leer: M. Höhere "
                "Stufen machen den Code größer."));
    qr->addStretch();
    rows->addLayout(qr);
    for (QLineEdit *edit : {resolution, fontA, fontB})
        connect(edit, &QLineEdit::textChanged, this, &TfrmAllgTreiber::showColumns);
    rows->addLayout(buildPrinterMemory(box));
    return box;
}

QLayout *TfrmAllgTreiber::buildPrinterMemory(QWidget *box)
{
    // Logos kept in the printer, its cutter and whether it answers.
    auto *row = new QHBoxLayout;
    auto *memory = newCombo(box, PrinterCapability::MemoryCommands,
                            {tr("keine"), QStringLiteral("GS(L"), QStringLiteral("FSq")});
    memory->setMinimumWidth(80);
    auto *memoryLabel = new QLabel(tr("Befehle des Grafikspeichers"), box);
    memoryLabel->setBuddy(memory);
    const QString memoryHint = tr("GS(L: Logos unter einem Schlüssel aus zwei Zeichen (GS ( L); "
                                  "FSq: ältere Drucker, alle Logos auf einmal (FS q / FS p)");
    memory->setToolTip(memoryHint);
    memoryLabel->setToolTip(memoryHint);
    row->addWidget(memoryLabel);
    row->addWidget(memory);
    m_loadLogos = new QPushButton(tr("Logos in den Drucker laden"), box);
    m_loadLogos->setObjectName(QStringLiteral("btnLogosLaden"));
    m_loadLogos->setToolTip(tr("Sendet die Logos der gespeicherten Layouts dieses Rechners in "
                               "den Grafikspeicher des Druckers; danach druckt jeder Beleg sie "
                               "mit wenigen Bytes."));
    row->addWidget(m_loadLogos);
    row->addSpacing(12);
    auto *cut = new QCheckBox(tr("Schneidet an seiner Schneideposition, Vorschub"), box);
    cut->setObjectName(PrinterCapability::CutToPosition);
    cut->setToolTip(tr("GS V 66 n: der Drucker schiebt bis zu seinem Messer und n Punkte "
                       "weiter vor und schneidet"));
    row->addWidget(cut);
    auto *feed = newEdit(box, PrinterCapability::CutFeedDots, 36);
    feed->setToolTip(tr("Punkte, die der Drucker nach seiner Schneideposition noch vorschiebt "
                        "(0 bis 255)"));
    row->addWidget(feed);
    row->addSpacing(12);
    auto *twoWay = new QCheckBox(tr("Statusabfrage"), box);
    twoWay->setObjectName(PrinterCapability::TwoWay);
    twoWay->setToolTip(tr("Der Drucker antwortet über seine Schnittstelle (seriell oder "
                          "Netzwerk) auf die Statusabfrage: Testdruck und Schubladentest melden "
                          "Papierende, offenen Deckel und Fehler."));
    row->addWidget(twoWay);
    row->addStretch();
    auto *graphicsMemory = box->findChild<QCheckBox *>(PrinterCapability::GraphicsMemory);
    connect(graphicsMemory, &QCheckBox::toggled, this, &TfrmAllgTreiber::showLogoLoading);
    connect(memory, &QComboBox::currentTextChanged, this, &TfrmAllgTreiber::showLogoLoading);
    if (auto *mode = findChild<TRadioGroup *>(QStringLiteral("rgpDruckermodus")))
        connect(mode, &TRadioGroup::itemIndexChanged, this, &TfrmAllgTreiber::showLogoLoading);
    connectGuarded(m_loadLogos, &QPushButton::clicked, "btnLogosLadenClick",
                   &TfrmAllgTreiber::btnLogosLadenClick);
    showLogoLoading();
    return row;
}

void TfrmAllgTreiber::showLogoLoading()
{
    // Only text mode sends the printer's own commands; in graphic mode the system's driver
    // prints the logos.
    const QString commands = ControlValues::read(this, PrinterCapability::MemoryCommands);
    m_loadLogos->setEnabled(
            ControlValues::read(this, QStringLiteral("rgpDruckermodus")) == QLatin1String("0")
            && ControlValues::read(this, PrinterCapability::GraphicsMemory) == QLatin1String("1")
            && (commands == QLatin1String("GS(L") || commands == QLatin1String("FSq")));
}

void TfrmAllgTreiber::btnLogosLadenClick()
{
    MainWindowContext &main = frmKassotypHaupt();
    Host &host = main.host();
    TBonPrinter &engine = main.engine();
    // What is stored decides what the printer gets, as for every document it prints.
    engine.Refresh();
    const OutputResult result = host.audit().trackOutput(
            {AuditAction::DeviceTest, RNr(), tr("Logos in den Drucker laden")},
            [&] { return PrinterLogos::load(engine); });
    host.info().ShowText(result.ok ? MessageKind::Information : MessageKind::Warning,
                         result.ok ? result.warning : result.error);
}

void TfrmAllgTreiber::showColumns()
{
    FieldValues values;
    for (const FormatField &field : printerRecordFormat().fields)
        values.insert(field.control, ControlValues::read(this, field.control));
    const PrinterCapabilities printer = capabilitiesOf(values);
    const PageGeometry page = pageGeometry(frmKassotypHaupt().engine()._Get_PrinterPageSetup());
    const int dots = printer.dotsAcross(page.printableWidthCm());
    m_columnsCaption->setText(
            tr("Spalten bei\n%1 cm").arg(FloatToStr_FSKRT(page.printableWidthCm())));
    for (int n = 1; n <= 4; ++n) {
        if (auto *label = findChild<QLabel *>(QStringLiteral("lblSpalten%1").arg(n)))
            label->setText(QString::number(printer.columnsFor(n, dots)));
    }
}

void TfrmAllgTreiber::buildDrawerPage(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(tr("Kassenschublade"),
                 newCombo(page, QStringLiteral("cmbDrawer"),
                          {tr("Drucker"), tr("kein"), "COM1", "COM2", "COM3", "COM4"}));
    layout->addLayout(form);

    auto *explanation = new QLabel(
            tr("Benötigt eine direkt an den COM Port angeschlossene Kassenlade eine spezielle "
               "Bytesequenz zum Öffnen, ist diese hier in Hex zu definieren. Wird eine solche "
               "nicht benötigt ist dieses Feld leer zu lassen."),
            page);
    explanation->setWordWrap(true);
    layout->addSpacing(12);
    layout->addWidget(explanation);
    m_serialSequence = newEdit(page, QStringLiteral("edtESCOpenSequenzCOM"), 420);
    m_serialSequence->setAccessibleName(tr("Bytesequenz der Kassenlade am COM-Port"));
    layout->addWidget(m_serialSequence);
    auto *baudRow = new QFormLayout;
    baudRow->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    baudRow->addRow(tr("Baudrate:"), newCombo(page, QStringLiteral("cmbKLBaudrate"), BaudRates));
    layout->addLayout(baudRow);
    layout->addStretch();

    connectGuarded(m_serialSequence, &QLineEdit::editingFinished, "edtESCOpenSequenzCOMExit",
                   &TfrmAllgTreiber::edtESCOpenSequenzCOMExit);
}

void TfrmAllgTreiber::buildDisplayPage(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    auto *type =
            newCombo(page, QStringLiteral("cmbKundenanzeige"), {tr("kein"), "DSP8000", "DM-D106"});
    form->addRow(tr("Kundenanzeige"), type);
    QStringList ports;
    for (int n = 1; n <= 8; ++n)
        ports << QStringLiteral("COM%1").arg(n);
    for (int n = 1; n <= 8; ++n)
        ports << tr("Drucker (COM%1)").arg(n);
    form->addRow(tr("Anschluss"), newCombo(page, QStringLiteral("cmbKDAnschluss"), ports));
    form->addRow(tr("Baudrate"), newCombo(page, QStringLiteral("cmbKDBaudrate"), BaudRates));
    form->addRow(tr("Parität"), newCombo(page, QStringLiteral("cmbKDParitaet"),
                                         {"None", "Odd", "Even", "Mark", "Space"}));
    const std::pair<const char *, QString> commands[] = {
            {"edtKDClear", tr("Befehl „Anzeige löschen“")},
            {"edtKDLine1", tr("Befehl vor Zeile 1")},
            {"edtKDLine2", tr("Befehl vor Zeile 2")}};
    for (const auto &[name, caption] : commands) {
        auto *command = newEdit(page, QString::fromLatin1(name), 190);
        command->setAccessibleName(caption);
        command->setToolTip(tr("Bytefolge in Hex, z. B. 0C"));
        form->addRow(caption, command);
    }
    layout->addLayout(form);
    layout->addStretch();

    connect(type, &QComboBox::textActivated, this, [this](const QString &text) {
        guard(QStringLiteral("cmbKundenanzeigeChange"), [&] { cmbKundenanzeigeChange(text); });
    });
}

void TfrmAllgTreiber::showEvent(QShowEvent *event)
{
    TOVOForm::showEvent(event);
    if (!event->spontaneous())
        guard(QStringLiteral("FormShow"), [this] { FormShow(); });
}

void TfrmAllgTreiber::FormShow()
{
    m_inPresetChange = false;
    m_pages->setCurrentIndex(0);
    pgcGeraeteChange();
    ControlValues::write(this, QStringLiteral("cmbKundenanzeige"), tr("kein"));
    for (const char *name : {"cmbKDAnschluss", "cmbKDBaudrate", "cmbKDParitaet", "cmbKLBaudrate"})
        ControlValues::writeIndex(this, QString::fromLatin1(name), -1);
    for (const char *name : {"edtKDClear", "edtKDLine1", "edtKDLine2"})
        ControlValues::write(this, QString::fromLatin1(name), QString());
    m_functionList->verticalScrollBar()->setValue(0);
    m_headline->setText(workstationHeadline(RNr(), &frmKassotypHaupt().engine()));

    // The two records are independent: a damaged printer record must not hide the display's.
    guard(QStringLiteral("FormShow.Druckereinstellung_Laden"),
          [this] { Druckereinstellung_Laden(RNr(), ActivePrinterKey); });
    guard(QStringLiteral("FormShow.Kundenanzeige_Laden"), [this] { Kundenanzeige_Laden(RNr()); });
    showColumns();
    markFormats();
    rememberInputs();
}

void TfrmAllgTreiber::markFormat(QLineEdit *edit)
{
    const QString problem = formatProblem(edit->objectName(), edit->text());
    edit->setProperty("formatProblem", !problem.isEmpty());
    if (problem.isEmpty()) {
        edit->setPalette(QPalette());
        if (edit->property("plainToolTip").isValid())
            edit->setToolTip(edit->property("plainToolTip").toString());
    } else {
        if (!edit->property("plainToolTip").isValid())
            edit->setProperty("plainToolTip", edit->toolTip());
        QPalette marked = edit->palette();
        marked.setColor(QPalette::Base, QColor(255, 222, 222));
        edit->setPalette(marked);
        edit->setToolTip(problem);
    }
    QStringList problems;
    for (const QLineEdit *field : std::as_const(m_formatFields)) {
        if (field->property("formatProblem").toBool())
            problems << field->accessibleName() + QStringLiteral(": ") + field->toolTip();
    }
    m_formatNote->setVisible(!problems.isEmpty());
    m_formatNote->setText(problems.size() <= 1 ? problems.value(0)
                                               : tr("%1 (und %2 weitere markierte Felder)")
                                                         .arg(problems.first())
                                                         .arg(problems.size() - 1));
}

void TfrmAllgTreiber::markFormats()
{
    for (QLineEdit *edit : std::as_const(m_formatFields))
        markFormat(edit);
}

bool TfrmAllgTreiber::formatsReadable()
{
    markFormats();
    QStringList problems;
    QLineEdit *first = nullptr;
    for (QLineEdit *edit : std::as_const(m_formatFields)) {
        if (!edit->property("formatProblem").toBool())
            continue;
        problems << QStringLiteral("• ") + edit->accessibleName() + QStringLiteral(": ")
                            + edit->toolTip();
        if (!first)
            first = edit;
    }
    if (!first)
        return true;
    for (int i = 0; i < m_pages->count(); ++i) {
        if (m_pages->widget(i)->isAncestorOf(first))
            m_pages->setCurrentIndex(i);
    }
    first->setFocus();
    first->selectAll();
    frmKassotypHaupt().host().info().ShowText(
            MessageKind::Warning,
            tr("Nicht gebucht: Diese Angaben kann der Drucker nicht lesen.\n\n%1\n\nBitte "
               "berichtigen oder leeren Sie die markierten Felder.")
                    .arg(problems.join(u'\n')));
    return false;
}

bool TfrmAllgTreiber::lookUp(const QString &kennung, int rnr, const QString &printerKey)
{
    return RecordBinding(KASTFile).find({kennung, rnr, printerKey});
}

void TfrmAllgTreiber::Druckereinstellung_Laden(int rnr, const QString &printerKey)
{
    // System mode (start mode 2) edits the template itself: no dummy printer behind it.
    const bool withDummy = frmKassotypHaupt().startMode() != 2;
    if (!RecordBinding(KASTFile).find(
                Fallback::device(PrinterRecordKennung, rnr, printerKey, withDummy)))
        return;
    QMap<QString, QString> values =
            decodePrinterRecord(KASTFile.currentKey(), KASTFile.ReadSettingsList());
    // A record from before the printer's capabilities were kept shows what its preset knows.
    if (!values.contains(PrinterCapability::Raster))
        values.insert(capabilitiesOf(values).storedValues());
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        // While a preset is being chosen, the chosen name stays whatever its record says.
        if (m_inPresetChange && it.key() == m_presetList->objectName())
            continue;
        ControlValues::write(this, it.key(), it.value());
    }
}

void TfrmAllgTreiber::Kundenanzeige_Laden(int rnr)
{
    if (!lookUp(DisplayRecordKennung, rnr, DisplayRecordKennung))
        return;
    ControlValues::applyAll(this, displayRecordFormat().decode(KASTFile.ReadSettingsList()));
}

void TfrmAllgTreiber::ddcEinstellungClick(const QString &name)
{
    m_inPresetChange = true;
    const auto reset = qScopeGuard([this] { m_inPresetChange = false; });
    Druckereinstellung_Laden(RNr(), name);
    markFormats();
}

void TfrmAllgTreiber::cmbKundenanzeigeChange(const QString &type)
{
    for (const QString &name : m_displayPresets->GetStoredForms()) {
        if (name.compare(type, Qt::CaseInsensitive) != 0)
            continue;
        if (const std::optional<FormPreset> preset = m_displayPresets->preset(name))
            ControlValues::applyAll(this, preset->properties);
        return;
    }
}

void TfrmAllgTreiber::edtESCOpenSequenzCOMExit()
{
    // What is not a hex sequence stays as typed and is marked, instead of vanishing unseen.
    const QString normal = normalisedHexSequence(m_serialSequence->text());
    if (!normal.isEmpty() || m_serialSequence->text().trimmed().isEmpty())
        m_serialSequence->setText(normal);
}

void TfrmAllgTreiber::spbFormStoreDlgClick()
{
    const QStringList names = m_printerPresets->GetStoredForms();
    QInputDialog chooser(this);
    chooser.setObjectName(QStringLiteral("dlgFormStore"));
    chooser.setWindowTitle(tr("Gespeicherte Einstellungen"));
    chooser.setLabelText(tr("Einstellung"));
    chooser.setComboBoxItems(names);
    chooser.setComboBoxEditable(false);
    if (chooser.exec() != QDialog::Accepted)
        return;
    if (const std::optional<FormPreset> preset = m_printerPresets->preset(chooser.textValue()))
        ControlValues::applyAll(this, preset->properties);
    markFormats();
}

void TfrmAllgTreiber::pgcGeraeteChange()
{
    const int next = (m_pages->currentIndex() + 1) % m_pages->count();
    for (int i = 0; i < m_pages->count(); ++i)
        m_pages->setTabText(i, i == next ? QString(m_pageNames.at(i) + QStringLiteral(" - F4"))
                                         : m_pageNames.at(i));
}

void TfrmAllgTreiber::fillPresetList()
{
    const QString shown = m_presetList->currentText();
    m_presetList->clear();
    m_presetList->addItems(m_printerPresets->GetStoredForms());
    ControlValues::setComboText(m_presetList, shown);
}

QStringList TfrmAllgTreiber::readList(const LayoutFormat &format) const
{
    return ControlValues::readList(this, format.fields);
}

void TfrmAllgTreiber::book(const QString &kennung, int rnr, const QString &printerKey,
                           const QStringList &list)
{
    RecordBinding(KASTFile).book({kennung, rnr, printerKey}, list);
}

QString TfrmAllgTreiber::savedPrinterKey() const
{
    return RNr() == 0 ? m_presetList->currentText() : ActivePrinterKey;
}

std::optional<AuditEvent> TfrmAllgTreiber::auditedSave() const
{
    std::optional<AuditEvent> event = TOVOForm::auditedSave();
    event->detail = QStringLiteral("%1 %2, %3")
                            .arg(PrinterRecordKennung, savedPrinterKey(), DisplayRecordKennung);
    return event;
}

QList<EditedRecord> TfrmAllgTreiber::editedRecords()
{
    const QString printerKey = savedPrinterKey();
    QList<EditedRecord> records;
    if (!printerKey.trimmed().isEmpty())
        records << EditedRecord{tr("Drucker"), layoutRef({PrinterRecordKennung, RNr(), printerKey}),
                                &printerRecordFormat()};
    records << EditedRecord{tr("Kundenanzeige"),
                            layoutRef({DisplayRecordKennung, RNr(), DisplayRecordKennung}),
                            &displayRecordFormat()};
    return records;
}

void TfrmAllgTreiber::showVersion(const EditedRecord &record, const QStringList &list)
{
    TOVOForm::showVersion(record, list);
    showColumns();
    markFormats();
}

void TfrmAllgTreiber::btnBuchenClick()
{
    // F5 leaves the focus in the field, so its exit handler may not have run yet.
    edtESCOpenSequenzCOMExit();
    if (!formatsReadable())
        return;
    const int rnr = RNr();
    // A code page without a table here could not be encoded: the record would promise the
    // editors characters that never print.
    if (const QString problem =
                codePagesProblem(ControlValues::read(this, PrinterCapability::CodePageList));
        !problem.isEmpty())
        throw std::runtime_error(problem.toStdString());
    if (const QString problem =
                qrModuleProblem(ControlValues::read(this, PrinterCapability::QrModuleDots));
        !problem.isEmpty())
        throw std::runtime_error(problem.toStdString());
    const QStringList printer = readList(printerRecordFormat());
    const QStringList display = readList(displayRecordFormat());
    const QString printerKey = savedPrinterKey();
    if (printerKey.trimmed().isEmpty())
        throw std::runtime_error(tr("Für den Vorlagenrechner 0 muss eine Einstellung gewählt "
                                    "sein, unter deren Namen die Druckereinstellung gespeichert "
                                    "wird.")
                                         .toStdString());

    // All records or none: a template saved under its preset name but not as active printer
    // would leave the tills printing with settings nobody sees in this window.
    frmKassotypHaupt().host().store().write([&] {
        book(PrinterRecordKennung, rnr, printerKey, printer);
        if (rnr == 0)
            book(PrinterRecordKennung, 0, ActivePrinterKey, printer);
        book(DisplayRecordKennung, rnr, DisplayRecordKennung, display);
    });
    fillPresetList();
    accept();
}
