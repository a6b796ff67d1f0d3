#pragma once

#include "core/sections/sectionprinters.h"

#include <QString>

// The card payment receipts "ECBUCH", "ECSTOR", "KKBUCH", "KKSTOR" and "KKGUTS": one free text
// block printed in one common font.
//
//   0          chbBonKopf "1"/"0"
//   1 .. 4     cmbSchriftArt, cmbSchriftGroesse, cmbSchriftStil, cmbAusrichtung
//   5 onward   the lines of memText, one entry each, as many as there are
//
// The table names the text lines memText1, memText2, ... A list shorter than the first five
// positions is not applied at all.
constexpr int CardHeadLength = 5;
constexpr int CardMaxLines = 999;
const LayoutFormat &cardFormat();
QString cardTextLine(int line);
bool cardListApplies(qsizetype length);
