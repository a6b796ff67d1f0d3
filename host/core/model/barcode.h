#pragma once

#include <QList>
#include <QString>

class QPainter;

// Code 128, the barcode of the numbers a till scans back (document numbers, vouchers, values).
// libzint encodes it; the bars are drawn here as rectangles, so that pictures, PDF files and the
// virtual printer show the same symbol.
namespace Code128 {

// The longest value printed as a barcode; a longer one fits no receipt at any module width.
constexpr int MaxLength = 80;

// Whether the value can be printed as a barcode: 1 to MaxLength printable ASCII characters.
bool canEncode(const QString &data);

// An even number of digits is set in code set C (two digits per character, half the width),
// anything else in code set B. Graphic mode and the printer's own command make the same choice,
// so that a receipt carries the same symbol in every mode.
bool usesCodeSetC(const QString &data);

// The modules of the symbol from the start character to the end of the stop character, true
// for a bar. Empty, with *error set, when the value cannot be encoded.
QList<bool> modules(const QString &data, QString *error = nullptr);

// Fills one rectangle per bar, from (x, y), moduleWidth per module and height high.
void paintBars(QPainter &painter, const QList<bool> &modules, double x, double y,
               double moduleWidth, double height);

} // namespace Code128
