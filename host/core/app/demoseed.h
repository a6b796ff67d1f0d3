#pragma once

#include "core/store/store.h"

#include <QString>

// Fills a new, empty store with a small demo installation so that the program is useful the
// first time it starts: workstations, a graphic-mode template printer and a text-mode printer
// for "Kasse 4" with their page setups, the shop's designed layouts of every section as
// template records for both printers, its logo, rights and exchange rates. Runs inside the
// caller's transaction.
void seedDemoInstallation(Store &store, const QString &userName);
