#pragma once

#include "bench/benchtable.h"

// Every editor window: opening it (create, show, load, live preview, close) against a plain
// dialog with as many controls; the live preview refresh of the largest editor against one
// repaint of it; saving its layout record against one upsert of the same bytes.
void benchEditors(BudgetTable &table, const QString &folder, int runs);

// Opens the main window and every editor once, as the memory figure wants it.
void openEveryEditorOnce(const QString &folder);

// Opening the editor of that class name (create, show, load, live preview, close) on the host's
// store.
Figure timeEditorOpening(Host &host, const QString &name, int runs);
