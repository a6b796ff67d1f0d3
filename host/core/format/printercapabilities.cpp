#include "core/format/printercapabilities.h"

#include "core/base/codepages.h"

#include "core/format/deviceformats.h"
#include "core/format/devicepresets.h"
#include "core/model/textfunctions.h"

#include <cmath>

const QStringList &PrinterCapability::controls()
{
    static const QStringList names = {
            Raster,         GraphicsMemory, Barcodes,    QrCodes,      CodePageList,
            DotsPerMm,      FontADots,      FontBDots,   QrModuleDots, QrErrorCorrection,
            MemoryCommands, CutToPosition,  CutFeedDots, TwoWay};
    return names;
}

bool parseCodePages(const QString &text, QList<int> *out)
{
    QList<int> pages;
    for (const QString &entry : text.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int n = entry.trimmed().toInt(&ok);
        if (!ok || !CodePages::find(n))
            return false;
        if (!pages.contains(n))
            pages << n;
    }
    *out = pages;
    return true;
}

QString codePagesProblem(const QString &text)
{
    QList<int> pages;
    if (parseCodePages(text, &pages))
        return {};
    return QStringLiteral("Die Codepages \"%1\" sind keine durch Kommas getrennte Liste von "
                          "Nummern n aus ESC t n, deren Tabelle das Programm kennt (%2).")
            .arg(text.trimmed(), CodePages::knownNumbers());
}

QString qrModuleProblem(const QString &text)
{
    bool ok = false;
    const int dots = text.trimmed().toInt(&ok);
    if (text.trimmed().isEmpty()
        || (ok && dots >= QrCode::MinModuleDots && dots <= QrCode::MaxModuleDots))
        return {};
    return QStringLiteral(
                   "Die Punkte je Modul eines QR-Codes (\"%1\") sind eine ganze Zahl von %2 bis %3 "
                   "oder leer (%4).")
            .arg(text.trimmed())
            .arg(QrCode::MinModuleDots)
            .arg(QrCode::MaxModuleDots)
            .arg(QrCode::DefaultModuleDots);
}

int PrinterCapabilities::cellDots(int font) const
{
    bool ok = false;
    const int code = m_record.value(PrinterRecord::fontCode(font)).left(2).toInt(&ok, 16);
    const int mode = ok ? code : 0;
    return fontDots(mode & 0x01) * (mode & 0x20 ? 2 : 1);
}

int PrinterCapabilities::columnsFor(int font, int dots) const
{
    return qMax(1, dots / qMax(1, cellDots(font)));
}

int PrinterCapabilities::dotsAcross(double printableCm) const
{
    return qMax(0, int(std::trunc(printableCm * 10.0 * m_dotsPerMm + 1e-6)));
}

FieldValues PrinterCapabilities::storedValues() const
{
    using namespace PrinterCapability;
    const auto flag = [](bool on) {
        return on ? QStringLiteral("1") : QStringLiteral("0");
    };
    QStringList pages;
    for (const int n : m_codePages)
        pages << QString::number(n);
    return {{Raster, flag(m_raster)},
            {GraphicsMemory, flag(m_graphicsMemory)},
            {Barcodes, flag(m_barcodes)},
            {QrCodes, flag(m_qrCodes)},
            {CodePageList, pages.join(u',')},
            {DotsPerMm, FloatToStr_FSKRT(m_dotsPerMm)},
            {FontADots, QString::number(m_fontADots)},
            {FontBDots, QString::number(m_fontBDots)},
            {QrModuleDots, QString::number(m_qr.moduleDots)},
            {QrErrorCorrection, QString(QChar::fromLatin1(m_qr.level))},
            {MemoryCommands, memoryText(m_memory)},
            {CutToPosition, flag(m_cutToPosition)},
            {CutFeedDots, QString::number(m_cutFeedDots)},
            {TwoWay, flag(m_twoWay)}};
}

QString PrinterCapabilities::memoryText(Memory memory)
{
    switch (memory) {
    case Memory::GsL:
        return QStringLiteral("GS(L");
    case Memory::FsQ:
        return QStringLiteral("FSq");
    case Memory::None:
        break;
    }
    return QStringLiteral("keine");
}

PrinterCapabilities capabilitiesOf(const FieldValues &record)
{
    using namespace PrinterCapability;
    PrinterCapabilities c;
    c.m_record = record;
    // A record from before the printer's capabilities were kept: its preset knows them.
    FieldValues said = record;
    if (!record.contains(Raster)) {
        const auto preset = findPreset(printerPresets(), record.value(PrinterRecord::PresetName));
        if (!preset || !preset->values.contains(Raster))
            return c;
        for (const QString &control : controls())
            said.insert(control, preset->values.value(control));
    }
    const auto on = [&](const QString &control) {
        return said.value(control) == QLatin1String("1");
    };
    c.m_raster = on(Raster);
    c.m_graphicsMemory = on(GraphicsMemory);
    c.m_barcodes = on(Barcodes);
    c.m_qrCodes = on(QrCodes);
    if (!parseCodePages(said.value(CodePageList), &c.m_codePages))
        c.m_codePages.clear();
    const double dpm = StrToFloatDef_FSKRT(said.value(DotsPerMm), 0);
    // More than 50 dots per millimetre is no receipt printer but a typing error.
    if (dpm >= 1.0 && dpm <= 50.0)
        c.m_dotsPerMm = dpm;
    const auto dots = [&](const QString &control, int fallback) {
        const int n = said.value(control).trimmed().toInt();
        return n >= 4 && n <= 64 ? n : fallback;
    };
    c.m_fontADots = dots(FontADots, PrinterCapabilities::DefaultFontADots);
    c.m_fontBDots = dots(FontBDots, PrinterCapabilities::DefaultFontBDots);
    // Empty or out of range: the size and level that scan on 58 mm and 80 mm paper.
    const int module = record.value(QrModuleDots).trimmed().toInt();
    c.m_qr.moduleDots = module >= QrCode::MinModuleDots && module <= QrCode::MaxModuleDots
                                ? module
                                : QrCode::DefaultModuleDots;
    c.m_qr.level = QrCode::levelFromText(record.value(QrErrorCorrection));
    c.m_qr.dotsPerMm = c.m_dotsPerMm;
    // Kept since later than the others: a record without them takes them from its preset.
    const auto preset = findPreset(printerPresets(), record.value(PrinterRecord::PresetName));
    const auto later = [&](const QString &control) {
        if (record.contains(control) || !preset)
            return said.value(control);
        return preset->values.value(control);
    };
    const QString memory = later(MemoryCommands).trimmed();
    c.m_memory = memory.compare(QLatin1String("GS(L"), Qt::CaseInsensitive) == 0
                         ? PrinterCapabilities::Memory::GsL
                 : memory.compare(QLatin1String("FSq"), Qt::CaseInsensitive) == 0
                         ? PrinterCapabilities::Memory::FsQ
                         : PrinterCapabilities::Memory::None;
    c.m_cutToPosition = later(CutToPosition) == QLatin1String("1");
    bool feedOk = false;
    const int feed = later(CutFeedDots).trimmed().toInt(&feedOk);
    c.m_cutFeedDots = feedOk && feed >= 0 && feed <= 255 ? feed : 0;
    c.m_twoWay = later(TwoWay) == QLatin1String("1");
    return c;
}

PrinterCapabilities capabilitiesOf(const QStringList &printerRecord)
{
    return capabilitiesOf(printerRecordFormat().decodeAvailable(printerRecord));
}

bool logoPrints(const QString &mode, bool directTextMode, const PrinterCapabilities &printer)
{
    if (mode == QLatin1String("G"))
        return true; // the system's driver prints the picture
    return mode == QLatin1String("T") && directTextMode && printer.canRaster();
}
