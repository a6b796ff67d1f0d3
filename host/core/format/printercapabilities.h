#pragma once

#include "core/format/layoutformat.h"
#include "core/model/qrcode.h"

#include <QList>
#include <QString>
#include <QStringList>

// What a printer can do, as its printer record ("AKTBONDR") says: pictures, barcodes and QR
// codes by its own commands, its code pages, its resolution and the width of its two character
// fonts. The outputs send only what it can do; the editors and their previews ask the same.
//
// The controls of the capabilities in the printer record. Constant names rather than QStrings:
// they take part in the printer record's format, which other files' static values ask for
// before dynamic initialisation would have reached them.
namespace PrinterCapability {
inline constexpr QLatin1String Raster("chbRasterGrafik");           // GS v 0 pictures
inline constexpr QLatin1String GraphicsMemory("chbGrafikSpeicher"); // pictures kept
inline constexpr QLatin1String Barcodes("chbBarcodes");             // GS k
inline constexpr QLatin1String QrCodes("chbQRCodes");               // GS ( k
inline constexpr QLatin1String CodePageList("edtCodepages");        // ESC t numbers
inline constexpr QLatin1String DotsPerMm("edtAufloesung");          // dots per millimetre
inline constexpr QLatin1String FontADots("edtZeichenbreiteA");      // dots of a character
inline constexpr QLatin1String FontBDots("edtZeichenbreiteB");
// How pictures are kept in the printer ("GS(L", "FSq" or empty) and how it cuts: whether it
// feeds to its own cutting position (GS V 66 n) and n; whether it answers status requests.
inline constexpr QLatin1String MemoryCommands("cmbGrafikSpeicherBefehle");
inline constexpr QLatin1String CutToPosition("chbSchneidePosition");
inline constexpr QLatin1String CutFeedDots("edtSchneideVorschub");
inline constexpr QLatin1String TwoWay("chbStatusAbfrage");
// How QR codes print: dots per module (1 to 16) and the error-correction level (L, M, Q, H).
inline constexpr QLatin1String QrModuleDots("edtQRModulgroesse");
inline constexpr QLatin1String QrErrorCorrection("cmbQRFehlerkorrektur");
// In the order the printer record keeps them, after its older positions.
const QStringList &controls();
} // namespace PrinterCapability

class PrinterCapabilities
{
public:
    // The commands a printer keeps pictures with: GS ( L (define and print NV graphics under a
    // key of two characters) or the older FS q / FS p (all pictures defined at once, printed
    // by number).
    enum class Memory { None, GsL, FsQ };
    static QString memoryText(Memory memory);

    // An ESC/POS receipt printer of 80 mm paper at 203 dpi: what a record says when it does not
    // say otherwise.
    static constexpr double DefaultDotsPerMm = 8.0;
    static constexpr int DefaultFontADots = 12;
    static constexpr int DefaultFontBDots = 9;

    bool canRaster() const { return m_raster; }
    bool hasGraphicsMemory() const { return m_graphicsMemory; }
    // How logos are kept in the printer; None unless the record says it has graphics memory.
    Memory memory() const { return m_graphicsMemory ? m_memory : Memory::None; }
    // GS V 66 n: the printer feeds to its cutting position plus n dots, then cuts.
    bool cutsAtPosition() const { return m_cutToPosition; }
    int cutFeedDots() const { return m_cutFeedDots; }
    // Whether the printer's connection carries its answers back (DLE EOT status).
    bool answersStatus() const { return m_twoWay; }
    bool canBarcode() const { return m_barcodes; }
    bool canQrCode() const { return m_qrCodes; }
    // How a QR code prints on this printer, by its own command, as a picture or drawn.
    QrCode::Options qrOptions() const { return m_qr; }
    // The ESC t numbers of the code pages the printer has; empty when the record names none.
    QList<int> codePages() const { return m_codePages; }
    bool hasCodePage(int escT) const { return m_codePages.isEmpty() || m_codePages.contains(escT); }
    double dotsPerMm() const { return m_dotsPerMm; }
    // Dots of one character of font A or B at single width.
    int fontDots(bool fontB) const { return fontB ? m_fontBDots : m_fontADots; }
    // Dots of one character of the record's font 1..4 (its ESC ! code: font B, double width).
    int cellDots(int font) const;
    // Characters of the record's font 1..4 across a line of this many dots.
    int columnsFor(int font, int dots) const;
    // Dots across a printable width in centimetres, at the printer's resolution.
    int dotsAcross(double printableCm) const;
    // The capabilities as the printer record keeps them, control -> stored text.
    FieldValues storedValues() const;

private:
    friend PrinterCapabilities capabilitiesOf(const FieldValues &);
    FieldValues m_record;
    bool m_raster = true;
    bool m_graphicsMemory = false;
    bool m_barcodes = true;
    bool m_qrCodes = false;
    QrCode::Options m_qr;
    QList<int> m_codePages;
    double m_dotsPerMm = DefaultDotsPerMm;
    int m_fontADots = DefaultFontADots;
    int m_fontBDots = DefaultFontBDots;
    Memory m_memory = Memory::None;
    bool m_cutToPosition = false;
    int m_cutFeedDots = 0;
    bool m_twoWay = false;
};

// The capabilities of a stored printer record. A record written before it kept them takes them
// from the built-in preset it names, else from the common receipt printer.
PrinterCapabilities capabilitiesOf(const QStringList &printerRecord);
PrinterCapabilities capabilitiesOf(const FieldValues &decodedPrinterRecord);

// "0, 2,16" -> {0, 2, 16}; false when an entry is no number or a code page the program has no
// table for (CodePages::find), which it could not encode.
bool parseCodePages(const QString &text, QList<int> *out);
// Why a QR module size cannot be kept, in German; empty when it can (empty is the default).
QString qrModuleProblem(const QString &text);
// Why a code page list cannot be kept, in German; empty when it can.
QString codePagesProblem(const QString &text);

// Whether a section's logo prints: in graphic mode and in direct text mode (a printer driven
// over its serial port), never in plain text mode, whose driver sends text only; and only to a
// printer that prints pictures. The editors offer the logo by the same rule.
bool logoPrints(const QString &mode, bool directTextMode, const PrinterCapabilities &printer);
