#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

class QPainter;

// QR codes (model 2), the machine-readable fiscal data of a receipt. libzint encodes them; the
// modules are drawn here as squares, so that pictures, PDF files (as vectors), the printer's
// raster picture and the virtual printer show the same symbol.
namespace QrCode {

// The printer's own command takes 1 to 16 dots per module.
constexpr int MinModuleDots = 1;
constexpr int MaxModuleDots = 16;
// 4 dots (0,5 mm at 203 dpi) keep a receipt's fiscal data (about 300 characters, version 13 at
// level M: 69 modules) with its quiet zones within the 48 mm a 58 mm paper prints on, and
// phones read modules of that size from thermal paper.
constexpr int DefaultModuleDots = 4;
constexpr char DefaultLevel = 'M';
// The scanner needs blank paper around the symbol: four modules, and never less than 3 mm.
constexpr double MinQuietZoneMm = 3.0;
constexpr int QuietZoneModules = 4;

// How a QR code prints: the size of one module in the printer's dots, the printer's resolution
// and the error-correction level ('L', 'M', 'Q' or 'H').
struct Options
{
    int moduleDots = DefaultModuleDots;
    double dotsPerMm = 8.0;
    char level = DefaultLevel;

    double moduleMm() const { return moduleDots / dotsPerMm; }
    // The blank margin on every side of the symbol, in the printer's dots.
    int quietZoneDots() const;
    // The printer's dots across a line widthCm wide.
    int dotsAcross(double widthCm) const;
    bool operator==(const Options &) const = default;
};

// "L", "M", "Q" or "H" (also in lower case, or "L (7 %)"); anything else is DefaultLevel.
char levelFromText(const QString &text);
// 48 to 51, as the printer's command numbers the levels L, M, Q and H.
int levelNumber(char level);
char levelOfNumber(int number);

// The bytes a code carries for a value: its UTF-8 text.
QByteArray data(const QString &value);

// A symbol: size x size modules, row by row, true for a dark module.
struct Symbol
{
    int size = 0;
    QList<bool> modules;
    bool isNull() const { return size == 0; }
    bool dark(int x, int y) const { return modules.at(qsizetype(y) * size + x); }
    // Dots across (and down) the symbol with its quiet zones at these options.
    int dotsWithQuietZones(const Options &options) const;
};

// The symbol of the bytes at the error-correction level, as a printer's QR command makes it:
// the smallest version that holds them. Null, with *error set in German, when it cannot be made.
Symbol encode(const QByteArray &bytes, char level, QString *error = nullptr);

// Why the value cannot print as a QR code on a line widthDots of the printer's dots wide, in
// German, with what the printer does instead; empty when it can (an empty value prints nothing
// and has no problem). The symbol, when one could be made, goes to *symbol.
QString problem(const QString &value, const Options &options, int widthDots,
                Symbol *symbol = nullptr);

// Fills the dark modules from (x, y), module wide; neighbouring modules are one rectangle, so
// that a PDF holds no hairlines between them.
void paintModules(QPainter &painter, const Symbol &symbol, double x, double y, double module);

// The symbol as a black-and-white picture with its quiet zones, moduleDots per module, as a
// printer without QR commands gets it.
QImage picture(const Symbol &symbol, const Options &options);

} // namespace QrCode
