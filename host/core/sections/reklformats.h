#pragma once

#include "core/sections/switchedlineformat.h"

// The two sections of a printed complaint. Both keep six entries per line: the line's switch
// ("1" on; anything else off), then text, font, size, style and alignment. A stored list is
// applied only as a whole.
//
//   "REKLPOS"  the complained article: 7 lines, 42 entries, switches chbTextZeile<n>
//   "REKLREG"  its settlement:         10 lines, 60 entries, switches chbText<n>
constexpr int ReklPosLines = 7;
constexpr int ReklRegLines = 10;

const LayoutFormat &reklPosFormat();
const LayoutFormat &reklRegFormat();

QString reklPosSwitch(int line);    // chbTextZeile<n>
QString reklRegSwitch(int line);    // chbText<n>
QString reklSecondSwitch(int line); // none: the lines have one switch each
