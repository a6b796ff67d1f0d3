#include "core/format/devicepresets.h"

#include "core/store/layoutstore.h"

namespace {

// Positions of the printer record.
enum PrinterPos {
    Mode = 0,
    Font1 = 1, // name, ESC code, second ESC code; fonts 2..4 follow in steps of three
    ControlFont = 13,
    CutPaper = 14, // control character, then the byte sequence
    OpenDrawer = 16,
    PaperJournal = 18,
    PaperReceipt = 20,
    PaperJourRec = 22,
    HorizontalTab = 24,
    LineFeed = 26,
    CarriageReturn = 28,
    Drawer = 30,
    PaperFeed = 31,
    JustifyLeft = 33,
    JustifyCenter = 35,
    JustifyRight = 37,
    SetFont = 39,
};

struct Sequences
{
    QString cutPaper, openDrawer, paperFeed, justifyLeft, justifyCenter, justifyRight;
};

QStringList emptyPrinterValues()
{
    QStringList v;
    for (int i = 0; i <= SetFont + 1; ++i)
        v << QString();
    return v;
}

QStringList epson(int mode, const QStringList &escCodes, const Sequences &seq)
{
    QStringList v = emptyPrinterValues();
    v[Mode] = QString::number(mode);
    const QStringList fontNames = {QStringLiteral("6.7 cpi"), QStringLiteral("8 cpi"),
                                   QStringLiteral("13.3 cpi"), QStringLiteral("16 cpi")};
    for (int f = 0; f < 4; ++f) {
        v[Font1 + 3 * f] = fontNames[f];
        v[Font1 + 3 * f + 1] = escCodes[f];
    }
    v[ControlFont] = QStringLiteral("control");
    const int controlled[] = {CutPaper,     OpenDrawer,    PaperJournal, PaperReceipt,
                              PaperJourRec, HorizontalTab, LineFeed,     CarriageReturn};
    const QStringList characters = {QStringLiteral("P"), QStringLiteral("C"), QStringLiteral("1"),
                                    QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("5"),
                                    QStringLiteral("6"), QStringLiteral("7")};
    for (int i = 0; i < 8; ++i)
        v[controlled[i]] = characters[i];
    v[LineFeed + 1] = QStringLiteral("0A");
    v[CarriageReturn + 1] = QStringLiteral("0D");
    v[OpenDrawer + 1] = seq.openDrawer.isEmpty() ? QStringLiteral("1B703019FA") : seq.openDrawer;
    v[SetFont + 1] = QStringLiteral("1B21");
    v[CutPaper + 1] = seq.cutPaper;
    v[PaperFeed + 1] = seq.paperFeed;
    v[JustifyLeft + 1] = seq.justifyLeft;
    v[JustifyCenter + 1] = seq.justifyCenter;
    v[JustifyRight + 1] = seq.justifyRight;
    v[Drawer] = QStringLiteral("kein");
    return v;
}

QStringList plain(int mode)
{
    QStringList v = emptyPrinterValues();
    v[Mode] = QString::number(mode);
    v[Drawer] = QStringLiteral("kein");
    return v;
}

QStringList page(const QString &width, const QString &height, const QString &top,
                 const QString &bottom, const QString &left, const QString &right)
{
    // stored order: width, top, left, right, height, bottom
    return {width, top, left, right, height, bottom};
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
                 epson(1, pitches, centred)},
                {QStringLiteral("DEFAULT"), QStringLiteral("DEFAULT"), epson(2, pitches, full)},
                {QStringLiteral("TM-J8000"), QStringLiteral("Epson TM-J8000 Grafikmodus"),
                 epson(1, pitches, full)},
                {QStringLiteral("LEX5700"), QStringLiteral("Lexmark DinA5 Grafikmodus"), plain(1)},
                {QStringLiteral("TM-J8000 S"), QStringLiteral("Epson TM-J8000 S Grafikmodus"),
                 epson(1, pitches, full)},
                {DummyPrinterKey, QStringLiteral("Testmodus (Dummy)"), plain(2)},
                {QStringLiteral("TM-U300PB"), QStringLiteral("Epson TM-U300PB Grafikmodus"),
                 epson(1, pitches, u300)},
                {QStringLiteral("TM-T88"), QStringLiteral("Epson TM-T88 Grafikmodus"),
                 epson(1, pitches, centred)},
                {QStringLiteral("TM-U200BT"), QStringLiteral("Epson TM-U200B Textmodus"),
                 epson(0, pitches, centred)},
                {QStringLiteral("TM-U300PBT"), QStringLiteral("Epson TM-U300PB Textmodus"),
                 epson(0, pitches, u300text)},
                {QStringLiteral("TM-T88-W7"), QStringLiteral("Epson TM-T88 IV W7"),
                 epson(1, pitches, centred)},
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
        };
    }();
    return presets;
}

const QList<DevicePreset> &displayPresets()
{
    // positions 0..6 of the display record; position 0 is the display type itself
    static const QList<DevicePreset> presets = {
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

std::optional<DevicePreset> findPreset(const QList<DevicePreset> &presets, const QString &name)
{
    for (const DevicePreset &p : presets) {
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return p;
    }
    return std::nullopt;
}

QStringList printerRecordFromPreset(const QString &name)
{
    const std::optional<DevicePreset> preset = findPreset(printerPresets(), name);
    QStringList record =
            preset && !preset->values.isEmpty() ? preset->values : emptyPrinterValues();
    record << (preset ? preset->name : name) << QStringLiteral("0") << QString() << QString()
           << QString() << QString();
    return record;
}

QStringList pageSetupFromPreset(const QString &name)
{
    const std::optional<DevicePreset> preset = findPreset(pagePresets(), name);
    QStringList record = preset ? preset->values : page({}, {}, {}, {}, {}, {});
    record << (preset ? preset->name : name);
    return record;
}
