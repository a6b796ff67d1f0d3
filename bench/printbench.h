#pragma once

#include "bench/benchtable.h"

// The test prints of all document types rendered to PNG, PDF and ESC/POS files, in one
// process, against the designer's start-up measured in the same run.
void benchTestPrints(BudgetTable &table, const QString &folder, const Figure &startUp, int runs);
