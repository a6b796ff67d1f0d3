#pragma once

#include "core/store/store.h"

#include <QString>

// Fills a new, empty store with a small demo installation so that the program is useful the
// first time it starts: workstations, the template printer and page setup, rights and
// exchange rates. Runs inside the caller's transaction.
void seedDemoInstallation(Store &store, const QString &userName);
