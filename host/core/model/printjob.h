#pragma once

#include "core/model/qrcode.h"

#include <QImage>
#include <QList>
#include <QString>

// A printed document, independent of any printer: lines of text with their font and
// alignment, pictures, barcodes, empty lines and the cut, on paper of a given printable width.
struct JobItem
{
    // Barcode: a Code 128 symbol of `text` with the characters below it in the line's font.
    // QrCode: a QR code of `text` with its quiet zones, as `qr` says; where it cannot be made or
    // does not fit the line, `text` prints as running text instead.
    enum class Kind { Text, Picture, Feed, Cut, Barcode, QrCode };
    Kind kind = Kind::Text;
    QString text;
    QString fontName;
    int pointSize = 10;
    bool bold = false;
    bool italic = false;
    Qt::Alignment alignment = Qt::AlignLeft;
    QImage picture;     // Picture
    bool logo = false;  // Picture: a section's logo, which a printer may keep in its memory
    double widthCm = 0; // Picture: printed size
    double heightCm = 0;
    QrCode::Options qr; // QrCode
    int lines = 1;      // Feed: number of empty lines
    QString section;    // the section identifier that printed it, for the record
    bool wrap = false;  // Text: running text, broken between words where the paper ends
    // Text in text mode: the characters the printer sets across the paper in this line's font
    // and size; 0 when the line was not laid out for a text-mode printer.
    int columns = 0;
};

// How a text-mode printer sets lines: the dots across the printable width and the dots of one
// character of its fonts A and B.
struct TextGeometry
{
    int dots = 0; // 0: not laid out for a text-mode printer
    int fontADots = 12;
    int fontBDots = 9;
};

struct PrintJob
{
    QString printerKey;
    QString title;           // names the job in a print queue: "Bon Rechner 3"
    QString mode;            // "G", "T", or a test mode
    double paperWidthCm = 0; // from the page setup
    double leftMarginCm = 0;
    double rightMarginCm = 0;
    TextGeometry text; // text mode: the till's printer
    QList<JobItem> items;

    double printableWidthCm() const;
    bool isEmpty() const { return items.isEmpty(); }
    // All texts of the job in order, one per text line (for the record and for tests).
    QStringList texts() const;
};

// The font of a text line as its stored font name, size and style give it, for the printer and
// the live preview alike: a size that is no positive number is 10 points; the styles are
// "normal", "fett", "kursiv" and "fett/kursiv".
struct LineStyle
{
    QString fontName;
    int pointSize = 10;
    bool bold = false;
    bool italic = false;
};
LineStyle lineStyle(const QString &fontName, const QString &size, const QString &style);

// "links"/"mitte"/"rechts" (or "L"/"M"/"R") as an alignment; anything else is left.
Qt::Alignment alignmentFromText(const QString &text);

// Whether a text line fits a strip this wide in the font it prints with (other items fit; a
// barcode wider than the strip is narrowed to it).
bool lineFits(const JobItem &item, double widthCm);

// The text of a line in lines that fit a strip this wide in the item's font, broken between
// words; a word wider than the strip stands on a line of its own.
QStringList breakToWidth(const JobItem &item, double widthCm);

// A text item as it goes onto paper widthCm wide: a value with line breaks (a mail's text) as
// lines of its own; with measureRunningText (graphic mode, fonts need a window system) running
// text broken between words where the paper ends. A text-mode printer breaks lines at its
// columns itself. A QR code that cannot be made or is too wide becomes its text, broken where
// the paper ends (its data have no spaces). Other items stay as they are.
QList<JobItem> fitToWidth(const JobItem &item, double widthCm, bool measureRunningText);

// Height in pixels of the job painted at the given resolution (without margins).
int jobHeight(const PrintJob &job, double dotsPerInch);
class QPainter;
// The dashed line where the paper is cut belongs in pictures for the screen only; paper and
// PDF files get no mark of it.
enum class CutMark { Drawn, Left };
// The colour of the drawn cut: a plain grey (Qt::gray is slightly blue), so that a picture of
// a black-and-white receipt has no colour in it and is written as grey levels.
constexpr QRgb CutMarkGrey = 0xffa0a0a0;
// Paints the job from (x, y) on a strip `width` pixels wide at the given resolution. A line
// wider than the strip is never cut on the left: it starts at the strip's left edge and runs
// over the right one, where pictures for the screen (CutMark::Drawn) mark it red.
void paintJob(QPainter &painter, const PrintJob &job, double dotsPerInch, int x, int y, int width,
              CutMark cutMark = CutMark::Drawn);

// The job as a picture of the paper strip, at the given resolution. Needs a GUI application
// for fonts (Qt's offscreen platform is enough).
QImage renderJobToImage(const PrintJob &job, double dotsPerInch = 96.0);
