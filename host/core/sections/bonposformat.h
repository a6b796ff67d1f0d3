#pragma once

#include "core/sections/switchedlineformat.h"

// The item lines of a document: numbered lines, each with its switch chbTextZeile<n>, stored
// as the leading lines, then the switches "aus bei N/T/E/G" of line 2 and "Je Reduz.Grund"
// of lines 5 and 6, then the trailing lines each followed by its own "aus bei N/T/E/G".
// The receipt has 13 leading and 4 trailing lines (109 entries); the invoice 12 and none.
LayoutFormat itemSectionFormat(const QString &name, int leadingLines, int trailingLines,
                               const QList<int> &stages);

// "BONPOS": read from 79 entries (lines 1..13 and "aus bei N/T/E/G" of line 2), from 81 also
// "Je Reduz.Grund", from 109 also lines 14..17.
const LayoutFormat &bonPosFormat();
constexpr int BonPosLines = 17;

// The rows of the receipt's item printer by line kind.
const KindLines &itemLinesByKind();

QString itemLineSwitch(int line);   // chbTextZeile<n>
QString itemSecondSwitch(int line); // chbText2EinAus (line 2), chbText2Zeile<n>, or empty
