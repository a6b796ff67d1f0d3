#include "core/engine/bonprinter.h"

#include "core/engine/printerlogos.h"

#include "core/format/pagesetup.h"

#include "core/format/deviceformats.h"
#include "core/format/devicepresets.h"

#include "core/app/host.h"
#include "core/model/hosttables.h"
#include "core/model/placeholdervalues.h"
#include "core/model/textfunctions.h"
#include "core/sections/bonkopfformat.h"
#include "core/sections/sectionprinters.h"
#include "core/sections/sectionregistry.h"
#include "core/store/layoutstore.h"
#include <QFontDatabase>

#include <QGuiApplication>
#include <algorithm>

namespace {
const QString Location = QStringLiteral("TBonPrinter.Refresh");
}

TBonPrinter::TBonPrinter(Host &host, const QSet<int> &documentTypes, int)
    : m_host(host)
    , m_documentTypes(documentTypes)
    , m_workstation(host.program().GetRId())
    , m_output(host.config())
{
    // A logo the printer holds prints by its key.
    m_output.setHeldPictures(
            [this](const QString &target) { return PrinterLogos::held(*this, target); });
    Refresh();
}

void TBonPrinter::fail(int number, const QStringList &args)
{
    // The first failure of a refresh is its cause; a missing page setup of a missing
    // printer must not hide that the printer is missing.
    if (m_refreshFailed)
        return;
    m_refreshFailed = true;
    m_host.info().SetError(number, Location, args);
}

void TBonPrinter::Refresh()
{
    m_printerRecord.clear();
    m_printerRecordRnr = -1;
    m_mode.clear();
    m_printerKey.clear();
    m_printerFonts.clear();
    m_baseFont.clear();
    m_pageSetup.clear();
    m_textPort.clear();
    m_refreshFailed = false;
    readPrinterRecord();
    readPageSetup();
    ReadPrGeUebe();
}

void TBonPrinter::readPrinterRecord()
{
    const LayoutStore &layouts = m_host.layouts();
    const QString ws = QString::number(m_workstation);
    // The workstation's own record, then the template's active one, then the dummy printer.
    QStringList list;
    LayoutKey foundKey;
    try {
        if (const auto found = layouts.readFirst(
                    Fallback::device(PrinterRecordKennung, m_workstation, ActivePrinterKey)))
            std::tie(foundKey, list) = *found;
    } catch (const StoreError &e) {
        fail(1005, {ws, e.text()});
        return;
    }
    if (foundKey.kennung.isEmpty()) {
        fail(1001, {ws});
        return;
    }
    // Read through the printer record's one description, as the settings window writes it.
    QMap<QString, QString> values;
    try {
        values = decodePrinterRecord(foundKey, list);
    } catch (const DamagedRecordError &) {
        fail(1003, {ws, list.value(0)});
        return;
    }
    if (values.isEmpty()) {
        fail(1004, {ws});
        return;
    }
    const int mode = values.value(QStringLiteral("rgpDruckermodus")).trimmed().toInt();
    if (mode < 0 || mode > 2) {
        fail(1003, {ws, values.value(QStringLiteral("rgpDruckermodus"))});
        return;
    }
    m_printerRecordRnr = foundKey.rnr;
    m_printerRecord = list;
    m_mode = QString(mode == 1 ? GraphicMode : mode == 0 ? TextMode : TestMode);
    m_printerKey = values.value(QStringLiteral("ddcEinstellung")).trimmed();
    for (int f = 1; f <= 4; ++f) {
        const QString font = values.value(PrinterRecord::fontName(f));
        if (!font.isEmpty())
            m_printerFonts << font;
    }
    m_baseFont = values.value(PrinterRecord::fontName(PrinterRecord::baseFont(values)));
    m_textPort = values.value(QStringLiteral("cmbComPortTextmDirekt"));
}

void TBonPrinter::readPageSetup()
{
    const QString key = templatePrinterKey(m_printerKey);
    try {
        if (const auto found =
                    m_host.layouts().readFirst(Fallback::pageSetup(m_workstation, m_printerKey))) {
            m_pageSetup = found->second;
            return;
        }
    } catch (const StoreError &e) {
        fail(1006, {key, e.text()});
        return;
    }
    fail(1002, {key});
}

QString TBonPrinter::Kasso_Typ_Get_PrinterName() const
{
    if (const auto preset = findPreset(printerPresets(), m_printerKey))
        return preset->remark;
    return m_printerKey;
}

bool TBonPrinter::TextModusDirektVerwendet() const
{
    return m_mode == QString(TextMode) && m_textPort.startsWith(QLatin1String("COM"));
}

bool TBonPrinter::logoPrints() const
{
    return ::logoPrints(m_mode, TextModusDirektVerwendet(), capabilities());
}

void TBonPrinter::ReadPrGeUebe()
{
    try {
        m_prGeUebe = m_host.parameters().StringParamRead(QStringLiteral("PRGEUEBE"), m_workstation);
    } catch (const StoreError &e) {
        m_prGeUebe.clear();
        fail(1007, {QStringLiteral("PRGEUEBE"), e.text()});
    }
}

bool TBonPrinter::ReplWH2(bool sumSection) const
{
    const QString option = m_prGeUebe.trimmed().left(1).toUpper();
    if (option == QLatin1String("A"))
        return true;
    if (option == QLatin1String("K"))
        return false;
    return sumSection;
}

QString TBonPrinter::Replace_All(const QString &text, bool secondCurrency, bool) const
{
    return replacePlaceholders(text, m_document, secondCurrency);
}

KTFontInfo TBonPrinter::GetKTFontInfosForKennung(const QString &) const
{
    if (m_mode == QString(GraphicMode)) {
        // The font database needs a GUI application; the print command may run without one.
        const bool gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
        return {gui ? QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()
                    : QStringLiteral("Sans Serif"),
                QStringLiteral("10")};
    }
    return {m_baseFont, QString()};
}

// ---- printing documents ------------------------------------------------------------------

namespace {

const QStringList &cardFieldNames()
{
    static const QStringList names = {QStringLiteral("Terminal-ID"),
                                      QStringLiteral("Datum"),
                                      QStringLiteral("Uhrzeit"),
                                      QStringLiteral("Beleg-Nr."),
                                      QStringLiteral("Trace-Nr."),
                                      QStringLiteral("Kassen-Nr."),
                                      QStringLiteral("Karte"),
                                      QStringLiteral("Vorgang"),
                                      QStringLiteral("Währung"),
                                      QStringLiteral("Betrag"),
                                      QStringLiteral("Händler-Nr."),
                                      QStringLiteral("Karten-Nr."),
                                      QStringLiteral("Folge-Nr."),
                                      QStringLiteral("Gültig bis"),
                                      QStringLiteral("AID"),
                                      QStringLiteral("Kontrollnr."),
                                      QStringLiteral("Autorisierung"),
                                      QStringLiteral("Status"),
                                      QString()};
    return names;
}

} // namespace

QString TBonPrinter::sectionOfOperation(const QString &operation)
{
    const SectionInfo *section = SectionRegistry::byOperation(operation);
    return section ? section->kennung : QString();
}

PrintJob TBonPrinter::newJob() const
{
    PrintJob job;
    job.printerKey = m_printerKey;
    job.mode = m_mode;
    const PageGeometry page = pageGeometry(m_pageSetup);
    job.paperWidthCm = page.paperWidthCm;
    job.leftMarginCm = page.leftMarginCm;
    job.rightMarginCm = page.rightMarginCm;
    if (m_mode == QString(TextMode)) {
        // The one geometry of the till: its page setup at its printer's resolution.
        const PrinterCapabilities printer = capabilities();
        job.text.dots = textModeDots(page, printer, m_host.config().dotWidth);
        job.text.fontADots = printer.fontDots(false);
        job.text.fontBDots = printer.fontDots(true);
    }
    return job;
}

void TBonPrinter::KT_DocBegin()
{
    m_calls << QStringLiteral("KT_DocBegin");
    if (m_documentOpen)
        m_host.info().SetError(1016, QStringLiteral("TBonPrinter.KT_DocBegin"));
    m_job = newJob();
    m_documentOpen = true;
}

void TBonPrinter::ensureDocument()
{
    if (m_documentOpen)
        return;
    // Printing outside a document still keeps what was printed, in a document of its own.
    m_host.info().SetError(1017, QStringLiteral("TBonPrinter.KT_Print"));
    m_job = newJob();
    m_documentOpen = true;
}

void TBonPrinter::KT_DocEnd(bool keepOpen)
{
    m_calls << QStringLiteral("KT_DocEnd");
    if (!m_documentOpen)
        return;
    if (keepOpen)
        return;
    JobItem cut;
    cut.kind = JobItem::Kind::Cut;
    m_job.items.append(cut);
    m_job.title = QStringLiteral("%1 Rechner %2")
                          .arg(m_document.text(QStringLiteral("BelegArt")))
                          .arg(m_workstation)
                          .trimmed();
    m_lastJob = m_job;
    m_job = PrintJob();
    m_documentOpen = false;
    m_lastOutput = m_outputEnabled ? m_output.print(m_lastJob, m_printerRecord) : OutputResult{};
    if (m_outputEnabled && !m_lastOutput.ok)
        m_host.info().SetError(1009, QStringLiteral("TBonPrinter.KT_DocEnd"), {m_lastOutput.error});
}

bool TBonPrinter::KT_Print(const QString &operation)
{
    m_calls << operation;
    const QString kennung = sectionOfOperation(operation);
    if (kennung.isEmpty()) {
        m_host.info().SetError(1018, QStringLiteral("TBonPrinter.KT_Print"), {operation});
        return false;
    }
    return printSection(kennung);
}

bool TBonPrinter::printSection(const QString &kennung)
{
    ensureDocument();
    const SectionPrinter *printer = sectionPrinterFor(kennung);
    if (!printer)
        return false;
    QStringList list;
    try {
        if (const auto found = m_host.layouts().readFirst(
                    Fallback::section(kennung, m_workstation, m_printerKey))) {
            list = found->second;
        } else {
            const TKRT_LayBonDefaultDesign design(
                    [this](const QString &k) { return GetKTFontInfosForKennung(k); });
            if (!design.GetDefaultDesignForKennung(kennung, list))
                return false;
        }
    } catch (const StoreError &e) {
        m_host.info().SetError(1007, QStringLiteral("TBonPrinter.KT_Print"), {kennung, e.text()});
        return false;
    }
    const SectionPrintContext context = printContext(kennung);
    const qsizetype first = m_job.items.size();
    printer->print(printer->format(kennung).decode(list), context, m_job);
    fitToPaper(first);
    return true;
}

SectionPrintContext TBonPrinter::printContext(const QString &kennung) const
{
    const std::optional<HeadingSection> heading = headingSectionByKennung(kennung);
    SectionPrintContext context;
    context.document = &m_document;
    context.kennung = kennung;
    context.lineKind = m_lineKind;
    context.mode = m_mode;
    context.workstation = m_workstation;
    context.secondCurrency = ReplWH2(heading && isSumSection(heading->code));
    context.secondCurrencyInSums = ReplWH2(true);
    context.logoPrints = logoPrints();
    context.qr = capabilities().qrOptions();
    context.logo = [this](const QString &section) {
        const auto found = m_host.logos().loadFirst(
                Fallback::logo({KassotypProgramKey, section, CurrentLogoName, m_workstation}));
        return found ? found->second.picture : QByteArray();
    };
    return context;
}

void TBonPrinter::fitToPaper(qsizetype first)
{
    QList<JobItem> fitted;
    for (qsizetype i = first; i < m_job.items.size(); ++i)
        fitted += fitToWidth(m_job.items.at(i), m_job.printableWidthCm(), measuresLines());
    if (m_job.text.dots > 0) {
        // Each line knows the columns the printer sets it in, so that every output of the till
        // breaks it where the printer does.
        const EscPosEncoder printer(m_printerRecord, m_output.escPosSettings(m_job));
        for (JobItem &item : fitted) {
            if (item.kind == JobItem::Kind::Text)
                item.columns = printer.textStyle(item).columns(m_job.text.dots);
        }
    }
    m_job.items.remove(first, m_job.items.size() - first);
    m_job.items += fitted;
}

bool TBonPrinter::measuresLines() const
{
    // Only a graphic printer needs the lines measured; a text-mode printer breaks them at its
    // columns itself. Fonts can be measured only with a window system (offscreen is enough).
    return m_mode == QString(GraphicMode)
           && qobject_cast<QGuiApplication *>(QCoreApplication::instance());
}

LinePreview TBonPrinter::previewLine(const LineValues &line, const QString &kennung,
                                     bool secondCurrency, double share) const
{
    SectionPrintContext context = printContext(kennung);
    context.secondCurrency = secondCurrency;
    PrintJob job = newJob();
    // Lines beside a logo have a share of the printable width.
    share = qBound(0.0, share, 1.0);
    const double widthCm = job.printableWidthCm() * share;
    // Why a QR code prints as its text, asked before the line is fitted to the paper, which
    // makes it text.
    QString qrProblem;
    for (const JobItem &item : textLineItem(line, context)) {
        if (item.kind == JobItem::Kind::QrCode)
            qrProblem = QrCode::problem(item.text, item.qr, item.qr.dotsAcross(widthCm));
        job.items += fitToWidth(item, widthCm, measuresLines());
    }
    if (m_mode != QString(TextMode)) {
        LinePreview preview = graphicLinePreview(job.items, widthCm);
        preview.notice = qrProblem;
        return preview;
    }
    EscPosSettings settings = m_output.escPosSettings(job);
    settings.dotWidth = qMax(1, int(settings.dotWidth * share));
    LinePreview preview = textModeLinePreview(job.items, m_printerRecord, settings);
    const PrinterCapabilities printer = capabilities();
    const bool qr = std::any_of(job.items.cbegin(), job.items.cend(),
                                [](const JobItem &i) { return i.kind == JobItem::Kind::QrCode; });
    if (!qrProblem.isEmpty())
        preview.notice = qrProblem;
    else if (qr && !printer.canQrCode() && !printer.canRaster())
        preview.notice = QStringLiteral("Dieser Drucker kann weder QR-Codes noch Bilder drucken; "
                                        "er druckt den Inhalt des QR-Codes als Text.");
    const bool barcode = std::any_of(job.items.cbegin(), job.items.cend(), [](const JobItem &i) {
        return i.kind == JobItem::Kind::Barcode;
    });
    if (barcode && !capabilities().canBarcode())
        preview.notice = QStringLiteral("Dieser Drucker kann keine Barcodes drucken; er druckt "
                                        "die Ziffern des Barcodes.");
    return preview;
}

void TBonPrinter::KT_PrintLine(const QString &text, const QString &alignment, int)
{
    m_calls << QStringLiteral("KT_PrintLine");
    ensureDocument();
    JobItem item;
    item.text = text;
    item.alignment = alignmentFromText(alignment);
    item.fontName = GetKTFontInfosForKennung(QString()).fontName;
    // A free line is running text: the host does not know the paper's width.
    item.wrap = true;
    const qsizetype first = m_job.items.size();
    m_job.items.append(item);
    fitToPaper(first);
}

void TBonPrinter::KT_PrintNewLine(int count)
{
    m_calls << QStringLiteral("KT_PrintNewLine");
    ensureDocument();
    JobItem item;
    item.kind = JobItem::Kind::Feed;
    item.lines = qMax(1, count);
    m_job.items.append(item);
}

void TBonPrinter::printCard(const QString &operation, int cardType, int cardOperation,
                            const QStringList &data)
{
    m_calls << operation;
    const QString kennung = SectionRegistry::card(cardType, cardOperation)->kennung;
    printSection(kennung);
    const qsizetype first = m_job.items.size();
    const QStringList &names = cardFieldNames();
    for (int i = 0; i < data.size(); ++i) {
        if (data.at(i).isEmpty())
            continue;
        JobItem item;
        item.section = kennung;
        item.fontName = GetKTFontInfosForKennung(kennung).fontName;
        const QString name = names.value(i);
        item.text = name.isEmpty() ? data.at(i) : name + QStringLiteral(": ") + data.at(i);
        m_job.items.append(item);
    }
    fitToPaper(first);
}

void TBonPrinter::KT_PrintECBu(const QStringList &d, bool)
{
    printCard(QStringLiteral("KT_PrintECBu"), 0, 0, d);
}

void TBonPrinter::KT_PrintECSto(const QStringList &d, bool)
{
    printCard(QStringLiteral("KT_PrintECSto"), 0, 1, d);
}

void TBonPrinter::KT_PrintKKBu(const QStringList &d, bool)
{
    printCard(QStringLiteral("KT_PrintKKBu"), 1, 0, d);
}

void TBonPrinter::KT_PrintKKSto(const QStringList &d, bool)
{
    printCard(QStringLiteral("KT_PrintKKSto"), 1, 1, d);
}

void TBonPrinter::KT_PrintKKGut(const QStringList &d, bool)
{
    printCard(QStringLiteral("KT_PrintKKGut"), 1, 2, d);
}

// ---- cash drawer and customer display ----------------------------------------------------

OutputResult TBonPrinter::KT_DrawerOpen()
{
    m_calls << QStringLiteral("KT_DrawerOpen");
    OutputResult r = m_output.openDrawer(m_printerRecord);
    if (!r.ok)
        m_host.info().SetError(1010, QStringLiteral("TBonPrinter.KT_DrawerOpen"), {r.error});
    return r;
}

void TBonPrinter::KD_Init()
{
    m_calls << QStringLiteral("KD_Init");
    m_displayRecord.clear();
    try {
        if (const auto found = m_host.layouts().readFirst(Fallback::device(
                    DisplayRecordKennung, m_workstation, DisplayRecordKennung, false)))
            m_displayRecord = found->second;
    } catch (const StoreError &e) {
        m_host.info().SetError(1011, QStringLiteral("TBonPrinter.KD_Init"), {e.text()});
    }
}

OutputResult TBonPrinter::KD_Clear()
{
    m_calls << QStringLiteral("KD_Clear");
    return KD_Print(QString(), QString());
}

OutputResult TBonPrinter::KD_Print(const QString &line1, const QString &line2)
{
    m_calls << QStringLiteral("KD_Print");
    OutputResult r = m_output.showOnDisplay(m_displayRecord, line1, line2);
    if (!r.ok)
        m_host.info().SetError(1011, QStringLiteral("TBonPrinter.KD_Print"), {r.error});
    return r;
}

void TBonPrinter::KD_Done()
{
    m_calls << QStringLiteral("KD_Done");
    m_displayRecord.clear();
}
