#pragma once

#include "core/base/codepages.h"
#include "core/format/layoutformat.h"
#include "core/format/printercapabilities.h"

#include "core/model/printjob.h"

#include <QByteArray>
#include <QImage>
#include <QStringList>

struct EscPosSettings
{
    int codePage = CodePages::Cp858; // n of ESC t n; the text is encoded in its table
    int dotWidth = 576;              // printable dots of a line (576: 80 mm at 203 dpi)
    int rasterBandRows = 255;        // rows of one GS v 0 band
    int fontADots = 12;              // dots of a character of font A and of font B
    int fontBDots = 9;
};

// How the printer sets a text line: its font, emphasis and character size. The printer's
// fonts are 12 dots (font A) and 9 dots (font B) wide unless its record says otherwise; a line
// holds as many characters as fit the printable dots.
struct EscPosTextStyle
{
    bool fontB = false;
    bool bold = false;
    bool underline = false;
    int widthTimes = 1; // 1..8
    int heightTimes = 1;

    static constexpr int FontAWidth = 12;
    static constexpr int FontBWidth = 9;
    int fontADots = FontAWidth;
    int fontBDots = FontBWidth;
    int cellWidth() const; // dots of one character
    int columns(int dotWidth) const;
    bool operator==(const EscPosTextStyle &) const = default;
};

struct EscPosResult
{
    QByteArray bytes;
    // Characters the code page cannot print, each once; they were replaced by '?'.
    QString unprintable;
};

// Turns a print job into the ESC/POS byte stream of a text-mode printer, with the byte
// sequences of the printer record ("AKTBONDR": fonts, justification, line feed, cut, ...).
class EscPosEncoder
{
public:
    EscPosEncoder(const QStringList &printerRecord, const EscPosSettings &settings);

    // Lines fed before the cut when the printer record names no feed: at the default line
    // spacing of 1/6 inch about 17 mm, the distance from the print head past the cutter.
    static constexpr char CutFeedLines = 4;
    // Bars of a barcode are 1.2 cm high at 203 dpi, as in graphic mode.
    static constexpr char BarcodeHeightDots = 96;

    EscPosResult encode(const PrintJob &job) const;

    // "1B21" -> bytes; false for an odd number of digits or a character that is not hex.
    static bool hexBytes(const QString &hex, QByteArray *out);
    // The picture as GS v 0 raster bands, scaled down to at most maxDots wide (never up),
    // black where the picture is dark (transparent counts as white).
    static QByteArray raster(const QImage &picture, int maxDots, int bandRows = 255);

    // Character size for a layout's point size: up to 14 points the printer's own size, then
    // one step per 10 points (16 and 20 points print twice as wide and high), at most 8 times.
    static int sizeTimes(int pointSize);
    // The text in lines of at most `columns` characters, broken between words where one can
    // be; a word longer than a line is split.
    static QStringList wrap(const QString &text, int columns);
    EscPosTextStyle textStyle(const JobItem &item) const;
    // A text line as this printer sets it: one item per printed line, broken where the printer
    // breaks it, each with the columns of its font across the line.
    QList<JobItem> printedLines(const JobItem &item) const;
    const PrinterCapabilities &capabilities() const { return m_capabilities; }
    // ESC ! with font, emphasis, underline and double size; GS ! for larger sizes.
    QByteArray styleCommands(const EscPosTextStyle &style) const;

    // Whether a job starts with ESC @, as the record's initialisation switch says. A record
    // from before the switch existed leaves it off.
    bool initialisesPrinter() const;

    // The sequence of a printer function ("CutPaper", ...), or the standard command when the
    // record leaves it empty or unreadable.
    QByteArray sequence(const char *function, const QByteArray &standard) const;

private:
    FieldValues m_printer;
    PrinterCapabilities m_capabilities;
    EscPosSettings m_settings;
};
