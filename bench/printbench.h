#pragma once

#include "bench/benchtable.h"

// The test prints of all document types rendered to PNG and ESC/POS files, in one process,
// against the designer's start-up measured in the same run.
void benchTestPrints(BudgetTable &table, const QString &folder, const Figure &startUp, int runs);

// The test prints as PDF files against a bare QPdfWriter program drawing the same lines, and
// as one PDF of pages against the single files.
void benchPdfPrints(BudgetTable &table, const QString &folder, int runs);
