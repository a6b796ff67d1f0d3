#include "core/format/devicepresets.h"

#include "core/format/printercapabilities.h"
#include "core/store/layoutstore.h"

namespace {

using PrinterRecord::PresetName;

struct Sequences
{
    QString cutPaper, openDrawer, paperFeed, justifyLeft, justifyCenter, justifyRight;
};

// What a kind of printer can do: pictures, graphics memory, barcodes and QR codes by its own
// commands, its code pages (ESC t), dots per millimetre and the dots of a character of fonts A
// and B.
struct Capabilities
{
    bool raster, graphicsMemory, barcodes, qrCodes;
    const char *codePages, *dotsPerMm, *fontA, *fontB;
    // How the printer keeps pictures ("GS(L", "FSq", "keine"), whether its cutter feeds to its own
    // cutting position (GS V 66 n) and n, and whether its connection answers status requests.
    const char *memory = "keine";
    bool cutToPosition = false;
    const char *cutFeed = "0";
    bool twoWay = false;
};

// Thermal receipt printers at 203 dpi: font A 12 dots (16.9 cpi, 48 columns on 72 mm), font B
// 9 dots (22.6 cpi, 64 columns); code pages 437, 850, 1252 and 858.
const Capabilities &thermal()
{
    static const Capabilities c{true, true, true,   true, "0,2,16,19", "8,00",
                                "12", "9",  "GS(L", true, "0",         true};
    return c;
}

// Ink-jet slip and receipt printers driven in graphic mode: pictures and barcodes, no QR codes.
const Capabilities &inkJet()
{
    static const Capabilities c{true, false, true, false, "0,2,16,19", "8,00", "12", "9"};
    return c;
}

// Impact (dot-matrix) printers: text only, no pictures, no barcodes. About 160 dots per inch
// with half-dot steps; font A 12 dots (13.3 cpi, 33 columns on 63 mm), font B 10 (16 cpi, 39).
const Capabilities &impact()
{
    static const Capabilities c{false, false, false, false, "0,2,19", "6,30", "12", "10"};
    return c;
}

void insertCapabilities(FieldValues &v, const Capabilities &c)
{
    using namespace PrinterCapability;
    const auto flag = [](bool on) {
        return on ? QStringLiteral("1") : QStringLiteral("0");
    };
    v.insert(Raster, flag(c.raster));
    v.insert(GraphicsMemory, flag(c.graphicsMemory));
    v.insert(Barcodes, flag(c.barcodes));
    v.insert(QrCodes, flag(c.qrCodes));
    // Every preset prints QR codes at the size and level that scan on its paper.
    v.insert(QrModuleDots, QString::number(QrCode::DefaultModuleDots));
    v.insert(QrErrorCorrection, QString(QChar::fromLatin1(QrCode::DefaultLevel)));
    v.insert(CodePageList, QLatin1String(c.codePages));
    v.insert(DotsPerMm, QLatin1String(c.dotsPerMm));
    v.insert(FontADots, QLatin1String(c.fontA));
    v.insert(FontBDots, QLatin1String(c.fontB));
    v.insert(MemoryCommands, QLatin1String(c.memory));
    v.insert(CutToPosition, flag(c.cutToPosition));
    v.insert(CutFeedDots, QLatin1String(c.cutFeed));
    v.insert(TwoWay, flag(c.twoWay));
}

// The fonts of the older presets, named by their pitch on the impact printers.
const QStringList &impactFontNames()
{
    static const QStringList names = {QStringLiteral("6.7 cpi"), QStringLiteral("8 cpi"),
                                      QStringLiteral("13.3 cpi"), QStringLiteral("16 cpi")};
    return names;
}

FieldValues epson(int mode, const QStringList &escCodes, const Sequences &seq,
                  const Capabilities &printer, const QStringList &fontNames = impactFontNames())
{
    FieldValues v;
    v.insert(QStringLiteral("rgpDruckermodus"), QString::number(mode));
    insertCapabilities(v, printer);
    for (int f = 1; f <= 4; ++f) {
        v.insert(PrinterRecord::fontName(f), fontNames[f - 1]);
        v.insert(PrinterRecord::fontCode(f), escCodes[f - 1]);
    }
    v.insert(QStringLiteral("edtNameControlFont"), QStringLiteral("control"));
    // The control-font characters of the functions that have one.
    const std::pair<const char *, const char *> characters[] = {
            {"CutPaper", "P"},     {"OpenDrawer", "C"},    {"PaperJournal", "1"},
            {"PaperReceipt", "2"}, {"PaperJourRec", "3"},  {"HorizontalTab", "5"},
            {"LineFeed", "6"},     {"CarriageReturn", "7"}};
    for (const auto &[function, character] : characters)
        v.insert(QStringLiteral("edtCtrl") + QLatin1String(function), QLatin1String(character));
    const auto sequence = [&v](const char *function, const QString &bytes) {
        v.insert(PrinterRecord::sequence(function), bytes);
    };
    sequence("LineFeed", QStringLiteral("0A"));
    sequence("CarriageReturn", QStringLiteral("0D"));
    sequence("OpenDrawer",
             seq.openDrawer.isEmpty() ? QStringLiteral("1B703019FA") : seq.openDrawer);
    sequence("SetFont", QStringLiteral("1B21"));
    sequence("CutPaper", seq.cutPaper);
    sequence("PaperFeed", seq.paperFeed);
    sequence("JustifyLeft", seq.justifyLeft);
    sequence("JustifyCenter", seq.justifyCenter);
    sequence("JustifyRight", seq.justifyRight);
    v.insert(PrinterRecord::Drawer, QStringLiteral("kein"));
    return v;
}

// A page printer or the dummy: whatever its driver prints, so pictures; no printer commands.
FieldValues plain(int mode)
{
    FieldValues v = {{QStringLiteral("rgpDruckermodus"), QString::number(mode)},
                     {PrinterRecord::Drawer, QStringLiteral("kein")}};
    insertCapabilities(v, {true, false, false, false, "", "", "", ""});
    return v;
}

FieldValues page(const QString &width, const QString &height, const QString &top,
                 const QString &bottom, const QString &left, const QString &right)
{
    return {{QStringLiteral("edtPapierbreite"), width}, {QStringLiteral("edtPapierHoehe"), height},
            {QStringLiteral("edtRandOben"), top},       {QStringLiteral("edtRandUnten"), bottom},
            {QStringLiteral("edtRandLinks"), left},     {QStringLiteral("edtRandRechts"), right}};
}

} // namespace

const QList<DevicePreset> &printerPresets()
{
    static const QList<DevicePreset> presets = [] {
        // ESC ! values of the four fonts, named by their pitch: font A (about 13 cpi on the
        // impact printers) and the narrower font B (16 cpi), and both at double width (bit 5;
        // bit 4 would double the height and leave the pitch).
        const QStringList pitches = {QStringLiteral("20"), QStringLiteral("21"),
                                     QStringLiteral("00"), QStringLiteral("01")};
        const QString cut = QStringLiteral("1D5601");
        const Sequences full{cut,
                             {},
                             QStringLiteral("1B4ADF"),
                             QStringLiteral("1B6130"),
                             QStringLiteral("1B6131"),
                             QStringLiteral("1B6132")};
        const Sequences centred{
                cut, {}, {}, {}, QStringLiteral("1B6131"), QStringLiteral("1B6132")};
        const Sequences u300{QStringLiteral("1B6D"), {}, {}, {}, {}, {}};
        const Sequences u300text{
                QStringLiteral("1B6D"), QStringLiteral("1B4A04001B70004BFF"), {}, {}, {}, {}};
        return QList<DevicePreset>{
                {QStringLiteral("TM-U200B"), QStringLiteral("Epson TM-U200B Grafikmodus"),
                 epson(1, pitches, centred, impact())},
                {QStringLiteral("DEFAULT"), QStringLiteral("DEFAULT"),
                 epson(2, pitches, full, thermal())},
                {QStringLiteral("TM-J8000"), QStringLiteral("Epson TM-J8000 Grafikmodus"),
                 epson(1, pitches, full, inkJet())},
                {QStringLiteral("LEX5700"), QStringLiteral("Lexmark DinA5 Grafikmodus"), plain(1)},
                {QStringLiteral("TM-J8000 S"), QStringLiteral("Epson TM-J8000 S Grafikmodus"),
                 epson(1, pitches, full, inkJet())},
                {DummyPrinterKey, QStringLiteral("Testmodus (Dummy)"), plain(2)},
                {QStringLiteral("TM-U300PB"), QStringLiteral("Epson TM-U300PB Grafikmodus"),
                 epson(1, pitches, u300, impact())},
                {QStringLiteral("TM-T88"), QStringLiteral("Epson TM-T88 Grafikmodus"),
                 epson(1, pitches, centred, thermal())},
                {QStringLiteral("TM-U200BT"), QStringLiteral("Epson TM-U200B Textmodus"),
                 epson(0, pitches, centred, impact())},
                {QStringLiteral("TM-U300PBT"), QStringLiteral("Epson TM-U300PB Textmodus"),
                 epson(0, pitches, u300text, impact())},
                {QStringLiteral("TM-T88-W7"), QStringLiteral("Epson TM-T88 IV W7"),
                 epson(1, pitches, centred, thermal())},
                // The thermal receipt printer driven in text mode: the printer's own fonts,
                // barcodes and QR codes, and pictures for direct text mode.
                // Its fonts are named by their pitch at 203 dpi.
                {QStringLiteral("TM-T88T"), QStringLiteral("Epson TM-T88 Textmodus"),
                 epson(0, pitches, centred, thermal(),
                       {QStringLiteral("8.5 cpi"), QStringLiteral("11.3 cpi"),
                        QStringLiteral("16.9 cpi"), QStringLiteral("22.6 cpi")})},
                {QStringLiteral("IBM46101NR"), QStringLiteral("IBM 4610-1NR"), {}},
        };
    }();
    return presets;
}

const QList<DevicePreset> &pagePresets()
{
    static const QList<DevicePreset> presets = [] {
        const QString z = QStringLiteral("0,00");
        auto narrow = [&](const char *width) {
            return page(QString::fromLatin1(width), z, z, z, z, z);
        };
        return QList<DevicePreset>{
                {QStringLiteral("DEFAULT"), QStringLiteral("DEFAULT"),
                 page(QStringLiteral("2861"), QStringLiteral("2861"), QStringLiteral("150"),
                      QStringLiteral("150"), QStringLiteral("1212"), QStringLiteral("375"))},
                {QStringLiteral("TM-U200B"), QStringLiteral("Epson TM-U200B"), narrow("6,30")},
                {QStringLiteral("TM-J8000"), QStringLiteral("Epson TM-J8000"), narrow("6,52")},
                {QStringLiteral("TM-J8000 S"), QStringLiteral("Epson TM-J8000 S DinA5"),
                 page(QStringLiteral("21,00"), QStringLiteral("21,00"), QStringLiteral("1,50"),
                      QStringLiteral("1,50"), QStringLiteral("7,30"), QStringLiteral("2,10"))},
                {DummyPrinterKey, QStringLiteral("Testdrucker (Dummy)"),
                 page({}, {}, {}, {}, {}, {})},
                {QStringLiteral("LEX5700"), QString(),
                 page(QStringLiteral("21,00"), QStringLiteral("21,00"), QStringLiteral("1,50"),
                      QStringLiteral("1,50"), QStringLiteral("1,30"), QStringLiteral("8,10"))},
                {QStringLiteral("TM-U300PB"), QStringLiteral("Epson TM-U300PB"), narrow("6,30")},
                {QStringLiteral("TM-T88"), QStringLiteral("Epson TM-T88"), narrow("6,52")},
                {QStringLiteral("TM-U200BT"), QStringLiteral("Epson TM-U200B Textmodus"),
                 narrow("6,30")},
                {QStringLiteral("TM-U300PBT"), QStringLiteral("Epson TM-U300PB Textmodus"),
                 narrow("6,30")},
                {QStringLiteral("TM-T88-W7"), QStringLiteral("Epson TM-T88 W7"), narrow("6,52")},
                // 80 mm paper, of which the print head reaches the middle 72 mm (576 dots).
                {QStringLiteral("TM-T88T"), QStringLiteral("Epson TM-T88 Textmodus"),
                 page(QStringLiteral("8,00"), z, z, z, QStringLiteral("0,40"),
                      QStringLiteral("0,40"))},
        };
    }();
    return presets;
}

const QList<DisplayPreset> &displayPresets()
{
    static const QList<DisplayPreset> presets = {
            {QStringLiteral("KEIN"),
             QStringLiteral("kein Display"),
             {QStringLiteral("kein"), {}, {}, {}, {}, {}, {}}},
            {QStringLiteral("DSP8000"),
             QStringLiteral("Gigatech DSP8000"),
             {QStringLiteral("DSP8000"), QStringLiteral("COM1"), QStringLiteral("9600"),
              QStringLiteral("None"), QStringLiteral("040143315817"), QStringLiteral("0401503117"),
              QStringLiteral("0401504517")}},
            {QStringLiteral("DM-D106"),
             QStringLiteral("Epson DM-D106"),
             {QStringLiteral("DM-D106"), QStringLiteral("Drucker (COM3)"), QStringLiteral("19200"),
              QStringLiteral("None"), QStringLiteral("0C"), QStringLiteral("0B18"),
              QStringLiteral("0B0A18")}},
    };
    return presets;
}

QStringList printerRecordFromPreset(const QString &name)
{
    const std::optional<DevicePreset> preset = findPreset(printerPresets(), name);
    FieldValues values = preset ? preset->values : FieldValues{};
    values.insert(PresetName, preset ? preset->name : name);
    // chbForcePrinterInit is left out: a switch that is not on is written "0".
    return printerRecordFormat().encode(values);
}

QStringList pageSetupFromPreset(const QString &name)
{
    const std::optional<DevicePreset> preset = findPreset(pagePresets(), name);
    FieldValues values = preset ? preset->values : FieldValues{};
    values.insert(PresetName, preset ? preset->name : name);
    // Each number as the preset writes it: encoding would turn "2861" into "2861,00" and an
    // empty width into "0,00", and the stored page setups of these presets would change.
    QStringList record;
    for (const FormatField &field : pageSetupFormat().fields)
        record << values.value(field.control);
    return record;
}
