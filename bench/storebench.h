#pragma once

#include "bench/benchtable.h"

#include <QStringList>

// Child mode of the process figures: opens the store as a till's engine does, says "ready",
// waits for a line on its input, then looks up (--worker=lookups) or saves (--worker=saves)
// records. Exit code 0 when every call worked.
int runStoreWorker(const QStringList &arguments);

// Twenty processes on one store at once, looking up and separately saving records, against
// one process doing the same alone; every save is counted afterwards.
void benchProcesses(BudgetTable &table, const QString &folder, int runs, Backend backend);

// Start-up, opening an editor and a test print on a store of a chain's size (2,000
// workstations of 150 records) against the same on the demo store.
void benchChainStore(BudgetTable &table, const QString &folder, int runs, Backend backend,
                     const QString &designer, const QString &printTool);
