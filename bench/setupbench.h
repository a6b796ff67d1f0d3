#pragma once

#include "bench/benchtable.h"

// SaetzeAnlegen from a 150-section template into 500 workstations and copying settings to
// 500 targets, each against 500 single-record transactions, with their growth from 100 to 500.
void benchWorkstationSetup(BudgetTable &table, const QString &folder, int runs);

// Looking up records in a store of a million records against one of ten thousand.
void benchLookup(BudgetTable &table, const QString &folder);
