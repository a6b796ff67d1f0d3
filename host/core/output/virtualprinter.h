#pragma once

#include "core/output/escpos.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QStringList>

// A receipt printer on screen: reads an ESC/POS byte stream as a printer would and draws the
// paper strip, so that a text-mode print can be looked at from the very bytes that were sent.
// Understands initialise, code page, print mode (font B, emphasised, double height/width),
// character size (GS !), justification, line feed, feed by dots, raster pictures (GS v 0),
// Code 128 barcodes (GS k 73 with GS h, GS w, GS H, GS f), QR codes (GS ( k model, module
// size, error correction, store and print, placed by GS L and GS W), drawer pulse and cut. Barcodes
// of other kinds are read past and not drawn. A line longer than the printable dots continues on
// the next line, as on paper. Pictures defined in its memory (GS ( L / GS 8 L fn 67, FS q) stay
// there, ESC @ or not, and print by key (GS ( L fn 69) or number (FS p); a key it does not hold
// prints nothing, as on a real printer.
class VirtualEscPosPrinter
{
public:
    // A printer of dotWidth dots across, whose fonts A and B are fontADots and fontBDots wide.
    explicit VirtualEscPosPrinter(int dotWidth = 576, int fontADots = EscPosTextStyle::FontAWidth,
                                  int fontBDots = EscPosTextStyle::FontBWidth);

    void feed(const QByteArray &bytes);
    QImage picture() const;

    // What was printed, one text per printed line (pictures as "[Bild WxH]", barcodes as
    // "[Barcode 130000001]", the cut as "[Schnitt]", the drawer pulse as "[Kassenlade]").
    const QStringList &lines() const { return m_lines; }
    // Bytes that were not understood, as hex of their command, each once.
    const QStringList &unknownCommands() const { return m_unknown; }
    // The keys of the pictures in its memory (FS q pictures by number, "1", "2", ...).
    QStringList heldKeys() const;

private:
    struct Row
    {
        QString text;
        QImage picture;
        int alignment = 0; // 0 left, 1 centre, 2 right
        EscPosTextStyle style;
        int feedDots = 0;
        bool cut = false;
        // A barcode: its modules, the characters it carries, the dots per module and the bar
        // height, and where its characters go (GS H: bit 0 above, bit 1 below).
        bool barcode = false;
        QList<bool> modules;
        int moduleDots = 0;
        int barHeight = 0;
        int hriPosition = 0;
        bool hriFontB = false;
        // A QR code: its symbol, dots per module and where it starts across the paper.
        QrCode::Symbol qr;
        int qrModuleDots = 0;
        int qrX = 0;
    };
    void endLine();
    void addCharacter(QChar c);
    void reset();
    void noteUnknown(const QString &code);
    void addPicture(const QImage &picture);
    // GS ( L / GS 8 L from i (sizeBytes 2 or 4): defines or prints a kept picture; answers
    // where the next command starts.
    qsizetype graphics(const QByteArray &bytes, qsizetype i, int sizeBytes);
    // FS q from i: the pictures replace the ones kept; answers where the next command starts.
    qsizetype bitImages(const QByteArray &bytes, qsizetype i);
    // GS k from i: the barcode is read past and, when it is a Code 128, printed; answers where
    // the next command starts.
    qsizetype barcode(const QByteArray &bytes, qsizetype i);
    // GS ( k from i: a QR code's settings, data or print; answers where the next command starts.
    qsizetype twoDimensionalCode(const QByteArray &bytes, qsizetype i);

    int m_dotWidth;
    int m_fontADots;
    int m_fontBDots;
    int m_codePage = 0; // ESC t n in force; 0 (code page 437) as the printer starts
    int m_alignment = 0;
    EscPosTextStyle m_style;
    // Barcode settings as the printer starts: 162 dots high, 3 dots per module, no characters.
    int m_barHeight = 162;
    int m_moduleDots = 3;
    int m_hriPosition = 0;
    bool m_hriFontB = false;
    // QR code settings as the printer starts: 3 dots per module, level L, no data.
    int m_qrModuleDots = 3;
    char m_qrLevel = 'L';
    QByteArray m_qrData;
    // The print area (GS L, GS W): its left edge and width in dots; 0 wide is the whole line.
    int m_areaLeft = 0;
    int m_areaWidth = 0;
    QString m_pending;
    QList<Row> m_rows;
    QStringList m_lines;
    QStringList m_unknown;
    QHash<QByteArray, QImage> m_graphics; // GS ( L by key
    QList<QImage> m_bitImages;            // FS q by number - 1
};
