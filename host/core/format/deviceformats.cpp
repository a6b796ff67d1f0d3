#include "core/format/deviceformats.h"

#include "core/format/devicepresets.h"
#include "core/format/printercapabilities.h"
#include "core/store/storeerror.h"

#include <QtGlobal>

namespace {

using PrinterRecord::ForceInit;
using PrinterRecord::PresetName;

FormatField text(const QString &control)
{
    return {control, FieldEncoding::LineText};
}

FormatField choice(const QString &control)
{
    return {control, FieldEncoding::Text};
}

} // namespace

const QList<PrinterFunction> &printerFunctions()
{
    static const QList<PrinterFunction> functions = {
            {"CutPaper", QT_TRANSLATE_NOOP("TfrmAllgTreiber", "Papier abschneiden")},
            {"OpenDrawer", QT_TRANSLATE_NOOP("TfrmAllgTreiber", "Kassenlade öffnen")},
            {"PaperJournal", QT_TRANSLATE_NOOP("TfrmAllgTreiber", "Journalpapier wählen")},
            {"PaperReceipt", QT_TRANSLATE_NOOP("TfrmAllgTreiber", "Bonpapier wählen")},
            {"PaperJourRec", QT_TRANSLATE_NOOP("TfrmAllgTreiber", "Journal- und Bonpapier wählen")},
            {"HorizontalTab", QT_TRANSLATE_NOOP("TfrmAllgTreiber", "Tabulator (HT)")},
            {"LineFeed", QT_TRANSLATE_NOOP("TfrmAllgTreiber", "Zeilenvorschub (LF)")},
            {"CarriageReturn", QT_TRANSLATE_NOOP("TfrmAllgTreiber", "Wagenrücklauf (CR)")},
            {"PaperFeed", QT_TRANSLATE_NOOP("TfrmAllgTreiber", "Papiervorschub")},
            {"JustifyLeft", QT_TRANSLATE_NOOP("TfrmAllgTreiber", "Linksbündig")},
            {"JustifyCenter", QT_TRANSLATE_NOOP("TfrmAllgTreiber", "Zentriert")},
            {"JustifyRight", QT_TRANSLATE_NOOP("TfrmAllgTreiber", "Rechtsbündig")},
            {"SetFont", QT_TRANSLATE_NOOP("TfrmAllgTreiber", "Schriftart wählen")},
    };
    return functions;
}

namespace PrinterRecord {

QString fontName(int font)
{
    return QStringLiteral("edtNameFont") + QString::number(font);
}

QString fontCode(int font)
{
    return QStringLiteral("edtNormal") + QString::number(font);
}

int baseFont(const QMap<QString, QString> &printer)
{
    for (int f = 1; f <= 4; ++f) {
        bool ok = false;
        const int code = printer.value(fontCode(f)).left(2).toInt(&ok, 16);
        if (!printer.value(fontName(f)).isEmpty() && ok && (code & 0x30) == 0)
            return f;
    }
    return 1;
}

QString sequence(const char *function)
{
    return QStringLiteral("edtESC") + QString::fromLatin1(function);
}

} // namespace PrinterRecord

const LayoutFormat &printerRecordFormat()
{
    static const LayoutFormat format = [] {
        LayoutFormat f;
        f.name = QStringLiteral("Drucker");
        f.fields << FormatField{QStringLiteral("rgpDruckermodus"), FieldEncoding::ItemIndex};
        for (int n = 1; n <= 4; ++n) {
            const QString number = QString::number(n);
            f.fields << text(PrinterRecord::fontName(n)) << text(PrinterRecord::fontCode(n))
                     << text(QStringLiteral("edtGross") + number);
        }
        f.fields << text(QStringLiteral("edtNameControlFont"));
        for (const PrinterFunction &function : printerFunctions()) {
            // The drawer connection sits between the functions the control font has a
            // character for and the others, which start with the paper feed.
            if (qstrcmp(function.suffix, "PaperFeed") == 0)
                f.fields << choice(PrinterRecord::Drawer);
            f.fields << text(QStringLiteral("edtCtrl") + QString::fromLatin1(function.suffix))
                     << text(PrinterRecord::sequence(function.suffix));
        }
        f.fields << text(PresetName) << FormatField{ForceInit, FieldEncoding::Flag10}
                 << text(PrinterRecord::SerialDrawerSequence)
                 << choice(QStringLiteral("cmbKLBaudrate"))
                 << choice(QStringLiteral("cmbComPortTextmDirekt"))
                 << choice(QStringLiteral("cmbTextmDirektBaudrate"));
        // What the printer can do, kept since the outputs send only that.
        using namespace PrinterCapability;
        f.fields << FormatField{Raster, FieldEncoding::Flag10}
                 << FormatField{GraphicsMemory, FieldEncoding::Flag10}
                 << FormatField{Barcodes, FieldEncoding::Flag10}
                 << FormatField{QrCodes, FieldEncoding::Flag10} << text(CodePageList)
                 << FormatField{DotsPerMm, FieldEncoding::NumberCm} << text(FontADots)
                 << text(FontBDots);
        f.fields << text(QrModuleDots) << choice(QrErrorCorrection);
        // Logos kept in the printer, its cutter, and whether it answers status requests.
        f.fields << choice(MemoryCommands) << FormatField{CutToPosition, FieldEncoding::Flag10}
                 << text(CutFeedDots) << FormatField{TwoWay, FieldEncoding::Flag10};
        // A list that reaches the preset name is applied; the positions after it were added
        // one by one later and are applied as far as a list goes.
        for (int stage = f.positionOf(PresetName) + 1; stage <= f.size(); ++stage)
            f.stages << stage;
        return f;
    }();
    return format;
}

const LayoutFormat &displayRecordFormat()
{
    static const LayoutFormat format = [] {
        LayoutFormat f;
        f.name = QStringLiteral("Kundenanzeige");
        f.fields << choice(DisplayRecord::Type) << choice(DisplayRecord::Port)
                 << choice(QStringLiteral("cmbKDBaudrate"))
                 << choice(QStringLiteral("cmbKDParitaet")) << text(DisplayRecord::Clear)
                 << text(DisplayRecord::Line1) << text(DisplayRecord::Line2);
        f.stages << f.size();
        return f;
    }();
    return format;
}

QMap<QString, QString> decodePrinterRecord(const LayoutKey &key, const QStringList &list)
{
    const LayoutFormat &f = printerRecordFormat();
    QMap<QString, QString> values = f.decode(list);
    if (values.isEmpty())
        return values;
    const QString mode = list.constFirst();
    bool whole = false;
    mode.trimmed().toInt(&whole);
    if (!whole)
        throw DamagedRecordError(
                QStringLiteral("Der Druckersatz %1 ist beschädigt: der Druckermodus an Position 0 "
                               "(\"%2\") ist keine ganze Zahl. Die Einstellungen werden nicht "
                               "übernommen und der Satz wird nicht überschrieben.")
                        .arg(key.display(), mode));
    if (!values.contains(ForceInit))
        values.insert(ForceInit, QStringLiteral("0"));
    return values;
}

QList<FormPreset> printerFormPresets()
{
    const LayoutFormat &f = printerRecordFormat();
    const QStringList neverRestored = {QStringLiteral("edtESCPaperFeed"),
                                       QStringLiteral("edtESCJustifyLeft")};
    QList<FormPreset> presets;
    for (const DevicePreset &p : printerPresets()) {
        FormPreset preset{p.name, p.remark, {}, true};
        // A preset keeps every position before its name, empty ones included, as written.
        const QStringList record = p.values.isEmpty() ? QStringList() : f.encode(p.values);
        for (int pos = 0; pos < f.positionOf(PresetName) && pos < record.size(); ++pos) {
            const QString &control = f.fields.at(pos).control;
            if (!neverRestored.contains(control))
                preset.properties.insert(control, record.at(pos));
        }
        presets << preset;
    }
    return presets;
}

QList<FormPreset> displayFormPresets()
{
    const LayoutFormat &f = displayRecordFormat();
    QList<FormPreset> presets;
    for (const DisplayPreset &p : displayPresets()) {
        FormPreset preset{p.name, p.remark, {}, true};
        for (int pos = 1; pos < f.size() && pos < p.values.size(); ++pos)
            preset.properties.insert(f.fields.at(pos).control, p.values.at(pos));
        presets << preset;
    }
    return presets;
}

QString normalisedHexSequence(const QString &text)
{
    QString sequence = text.trimmed();
    for (const QChar c : sequence) {
        const char16_t u = c.unicode();
        const bool hex =
                (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
        if (!hex)
            return QString();
    }
    if (sequence.size() % 2 != 0)
        sequence.prepend(u'0');
    return sequence;
}

const LayoutFormat &pageSetupFormat()
{
    static const LayoutFormat format = [] {
        LayoutFormat f;
        f.name = QStringLiteral("Papierbreite und Ränder");
        for (const char *number : {"edtPapierbreite", "edtRandOben", "edtRandLinks",
                                   "edtRandRechts", "edtPapierHoehe", "edtRandUnten"})
            f.fields << FormatField{QLatin1String(number), FieldEncoding::NumberCm};
        f.fields << choice(PresetName); // the printer preset the page belongs to
        f.stages << f.size();           // a shorter list is not applied at all
        return f;
    }();
    return format;
}

QList<FormPreset> pageFormPresets()
{
    const LayoutFormat &f = pageSetupFormat();
    QList<FormPreset> presets;
    for (const DevicePreset &p : pagePresets()) {
        FormPreset preset{p.name, p.remark, {}, true};
        for (int pos = 0; pos < f.positionOf(PresetName); ++pos)
            preset.properties.insert(f.fields.at(pos).control,
                                     p.values.value(f.fields.at(pos).control));
        presets << preset;
    }
    return presets;
}
