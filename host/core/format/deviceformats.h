#pragma once

#include "core/format/layoutformat.h"
#include "core/store/layoutstore.h"
#include "core/store/presetstore.h" // FormPreset

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// The stored formats of the device records: the printer record "AKTBONDR" (47 positions) and
// the customer display record "DISPLAY" (7 positions). The printer settings window edits
// them through these tables and the print engine reads the same tables.

inline const QString PrinterRecordKennung = QStringLiteral("AKTBONDR");
inline const QString DisplayRecordKennung = QStringLiteral("DISPLAY");
inline const QString ActivePrinterKey = QStringLiteral("AKTIV");

// One printer function of the function table: the control-font character is kept in
// "edtCtrl" + suffix, the byte sequence in "edtESC" + suffix, next to each other in the
// printer record in the order of the table.
struct PrinterFunction
{
    const char *suffix;
    const char *caption; // translated in the context "TfrmAllgTreiber"
};
const QList<PrinterFunction> &printerFunctions();

// A list that does not reach the preset name is not applied; the positions after it are
// applied as far as the list goes.
const LayoutFormat &printerRecordFormat();
// Positions 0..6; shorter lists are not applied.
const LayoutFormat &displayRecordFormat();
// The page setup "SEITEEIN": paper width, top, left, right margin, height, bottom margin in
// centimetres and the printer preset name; shorter lists are not applied.
const LayoutFormat &pageSetupFormat();

// The controls of the printer record by meaning, for the engine and the output.
namespace PrinterRecord {
QString fontName(int font);             // font 1..4
QString fontCode(int font);             // its ESC ! code
QString sequence(const char *function); // a function's byte sequence, e.g. "CutPaper"
// The font (1..4) a text line without a font of the printer prints in: the first font the
// record names at the printer's own size (its ESC ! code doubles neither width nor height),
// else font 1.
int baseFont(const QMap<QString, QString> &printer);
inline const QString Drawer = QStringLiteral("cmbDrawer");
inline const QString PresetName = QStringLiteral("ddcEinstellung"); // also in the page setup
// On: every job starts by initialising the printer (ESC @ in text mode).
inline const QString ForceInit = QStringLiteral("chbForcePrinterInit");
inline const QString SerialDrawerSequence = QStringLiteral("edtESCOpenSequenzCOM");
} // namespace PrinterRecord

// The controls of the customer display record by meaning.
namespace DisplayRecord {
inline const QString Type = QStringLiteral("cmbKundenanzeige");
inline const QString Port = QStringLiteral("cmbKDAnschluss");
inline const QString Clear = QStringLiteral("edtKDClear");
inline const QString Line1 = QStringLiteral("edtKDLine1");
inline const QString Line2 = QStringLiteral("edtKDLine2");
} // namespace DisplayRecord

// Control name -> stored text of the positions a stored printer list reaches. A list that ends
// before the initialisation switch was written before the switch existed and means "0".
// Throws DamagedRecordError naming the key when position 0 is not a whole number, since the
// printer mode decides how everything else is read.
QMap<QString, QString> decodePrinterRecord(const LayoutKey &key, const QStringList &list);

// The printer presets with the properties they keep: every position before the preset name
// except the paper feed and justify-left sequences, which older presets carry but never
// restore.
QList<FormPreset> printerFormPresets();
// The display presets over positions 1 to 6 of the display record.
QList<FormPreset> displayFormPresets();
// The page presets with the numbers they keep (every position but the preset name).
QList<FormPreset> pageFormPresets();

// The serial drawer sequence as it is kept: trimmed, empty unless all hex digits, and padded
// with a leading "0" to whole bytes.
QString normalisedHexSequence(const QString &text);
