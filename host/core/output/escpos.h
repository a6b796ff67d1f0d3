#pragma once

#include "core/base/codepages.h"
#include "core/format/layoutformat.h"
#include "core/format/printercapabilities.h"

#include "core/model/printjob.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QStringList>

struct EscPosSettings
{
    int codePage = CodePages::Cp858; // n of ESC t n; the text is encoded in its table
    int dotWidth = 576;              // printable dots of a line (576: 80 mm at 203 dpi)
    int rasterBandRows = 255;        // rows of one GS v 0 band
    int fontADots = 12;              // dots of a character of font A and of font B
    int fontBDots = 9;
    // The pictures the printer holds in its memory: hash of the picture as it prints (see
    // EscPosEncoder::pictureHash) -> the key it prints by.
    QHash<QString, QString> heldPictures;
};

// A picture as a printer prints it: its dots, black or white, in rows of whole bytes.
struct MonoPicture
{
    int width = 0; // dots
    int height = 0;
    QByteArray rows; // (width + 7) / 8 bytes a row, the leftmost dot in the highest bit
    int bytesPerRow() const { return (width + 7) / 8; }
    bool isNull() const { return width <= 0 || height <= 0; }
    bool dot(int x, int y) const;
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
    // The definitions of the pictures printed from the printer's memory, as they were loaded
    // into it: what a picture of the bytes needs to know beforehand.
    QByteArray heldDefinitions;
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
    // The picture's dots as raster bands print them.
    static MonoPicture monochrome(const QImage &picture, int maxDots);
    static QByteArray raster(const MonoPicture &picture, int bandRows = 255);
    // What identifies a picture in a printer's memory: a hash of its size and dots.
    static QString pictureHash(const MonoPicture &picture);
    // GS ( L fn 67 (GS 8 L for a picture of more than 64 KB): the picture kept under a key of
    // two characters (32 to 126). GS ( L fn 69: prints it, 11 bytes.
    static QByteArray defineGraphics(const QByteArray &key, const MonoPicture &picture);
    static QByteArray printGraphics(const QByteArray &key);
    // FS q: all pictures at once, numbered from 1 (each replaces whatever the printer kept);
    // FS p n 0 prints number n.
    static QByteArray defineBitImages(const QList<MonoPicture> &pictures);
    static QByteArray printBitImage(int number);
    // The key under which the memory commands keep the n-th picture (from 0): "K1".."K9",
    // "KA".. for GS ( L; "01".. for FS q, whose pictures have numbers.
    static QString memoryKey(PrinterCapabilities::Memory memory, int n);
    // The definitions of the pictures as the printer's commands take them, keys as memoryKey
    // gives them.
    static QByteArray defineAll(PrinterCapabilities::Memory memory,
                                const QList<MonoPicture> &pictures);
    // A picture item as this printer prints it: at its width in dots, at most the paper's.
    MonoPicture printedPicture(const JobItem &item) const;

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
    // The definitions of the held pictures a job printed by key, as the printer was given them.
    QByteArray heldDefinitions(const QList<QString> &keys,
                               const QList<MonoPicture> &pictures) const;

    FieldValues m_printer;
    PrinterCapabilities m_capabilities;
    EscPosSettings m_settings;
};
