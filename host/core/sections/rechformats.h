#pragma once

#include "core/sections/switchedlineformat.h"

// The item and sum lines of an invoice. Their first twelve lines are stored as the receipt's
// are, but the lists go on differently, so a record is only read by its own section.

// "RECHPOS": 12 switched item lines, then "aus bei N/T/E/G" of line 2 and "Je Reduz.Grund" of
// lines 5 and 6; 75 entries. Read from 73 entries (up to "aus bei N/T/E/G"), from 75 all.
const LayoutFormat &rechPosFormat();
constexpr int RechPosLines = 12;

// "RECHSUMM": 14 switched sum lines; 84 entries, a shorter list is not read at all.
const LayoutFormat &rechSummeFormat();
constexpr int RechSummeLines = 14;
