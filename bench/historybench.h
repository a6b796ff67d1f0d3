#pragma once

#include "bench/benchtable.h"

// A save with its history row against a plain upsert of the same bytes.
void benchSaveWithHistory(BudgetTable &table, const QString &folder, int runs, Backend backend);

// On a chain's store: ten saved versions of every record (the versions' bytes kept short, so
// that 3 million rows fit a test machine), written straight into the history.
void fillChainHistory(Host &chain);
// The history window's read of one record's versions and `kassotyp-admin history --since` on
// the chain's store against the same on the demo store.
void benchChainHistory(BudgetTable &table, Host &chain, Host &demo, const QString &chainStore,
                       const QString &demoStore, const QString &folder, int runs,
                       const QString &adminTool);
