#pragma once

#include "core/sections/sectionprinters.h"

#include <QString>

// Sections of plain text lines that are read only as a whole list: the ends of voided and of
// zero receipts and the position lines of the cash report.
//
//   0                  lines in use, as typed (edtTextAnzahlZeilen)
//   1 + 5(i-1) ..      line i: text, font, size, style, alignment, for every line i = 1..N
//   5N + 1             cash report only: CheckBoxLaenge as "J"/"N"
//
// Every line is written whatever the count; a stored list shorter than the whole format is
// not applied at all.
struct TextLinesSection
{
    int lines = 0;
    LayoutFormat format;
};

inline const QString TextLinesCountControl = QStringLiteral("edtTextAnzahlZeilen");

// The void and zero-receipt ends (12 lines, 61 entries), the cash report's positions (10 lines
// and the flag, 52 entries); null for any other section.
const TextLinesSection *textLinesSection(const QString &kennung);

// The preset "LAYNBEND" that the void and zero-receipt ends share keeps control properties,
// not their settings list: the line count, then for lines 1..10 the item numbers of font,
// size and alignment and the text. Styles and lines 11 and 12 are not part of it.
constexpr int LayNbEndPresetLines = 10;
const LayoutFormat &layNbEndPresetFormat();
