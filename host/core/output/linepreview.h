#pragma once

#include "core/model/printjob.h"
#include "core/output/escpos.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

// One line of a layout as the till's printer makes it, for the editors' live preview.
struct LinePreview
{
    // The line as the printer draws it, when it is not plain text in a screen font: text mode
    // (the printer's dots, `dotWidth` wide) and barcodes (at the resolution asked for).
    QImage picture;
    int dotWidth = 0; // text mode: printable dots the picture stands for; 0 otherwise
    // What is printed, one text per printed row.
    QStringList rows;
    // The printer loses the end of the line: it is wider than the paper and no running text.
    bool cut = false;
    // Characters the printer's code page has no place for; they print as "?".
    QString unprintable;
    // What the printer makes of the line otherwise than designed (a barcode as its digits on
    // a printer without barcodes); empty when it prints as designed.
    QString notice;
};

// The items of a line as a text-mode printer with this record and these settings prints them:
// the bytes it would be sent, read back by the virtual printer.
LinePreview textModeLinePreview(const QList<JobItem> &items, const QStringList &printerRecord,
                                const EscPosSettings &settings);
// The items of a line on a graphic printer's strip widthCm wide: text lines as their rows,
// barcodes and QR codes as a picture at the given resolution.
LinePreview graphicLinePreview(const QList<JobItem> &items, double widthCm,
                               double dotsPerInch = 96.0);
