#pragma once

#include "core/output/escpos.h"

#include <QByteArray>
#include <QImage>
#include <QStringList>

// A receipt printer on screen: reads an ESC/POS byte stream as a printer would and draws the
// paper strip, so that a text-mode print can be looked at from the very bytes that were sent.
// Understands initialise, code page, print mode (font B, emphasised, double height/width),
// character size (GS !), justification, line feed, feed by dots, raster pictures (GS v 0),
// drawer pulse and cut. A line longer than the printable dots continues on the next line, as
// on paper.
class VirtualEscPosPrinter
{
public:
    explicit VirtualEscPosPrinter(int dotWidth = 576);

    void feed(const QByteArray &bytes);
    QImage picture() const;

    // What was printed, one text per printed line (pictures as "[Bild WxH]", the cut as
    // "[Schnitt]", the drawer pulse as "[Kassenlade]").
    const QStringList &lines() const { return m_lines; }
    // Bytes that were not understood, as hex of their command, each once.
    const QStringList &unknownCommands() const { return m_unknown; }

private:
    struct Row
    {
        QString text;
        QImage picture;
        int alignment = 0; // 0 left, 1 centre, 2 right
        EscPosTextStyle style;
        int feedDots = 0;
        bool cut = false;
    };
    void endLine();
    void addCharacter(QChar c);
    void reset();

    int m_dotWidth;
    int m_codePage = 0;
    int m_alignment = 0;
    EscPosTextStyle m_style;
    QString m_pending;
    QList<Row> m_rows;
    QStringList m_lines;
    QStringList m_unknown;
};
