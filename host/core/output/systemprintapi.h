#pragma once

// What the module kassotyp-systemprint.so hands to the programs that load it. Both sides are
// built from this tree with the same compiler and Qt, so Qt and standard types may cross.

#include "core/output/systemprinter.h"

struct SystemPrintApi
{
    int version;
    bool (*exists)(const QString &name);
    bool (*print)(const QString &name, const QString &docName, const SystemPrinter::Painter &paint);
    bool (*defaultPrintableWidth)(int *dots, int *dpi);
};

// Raised whenever the table above changes: a module of another build is then refused.
constexpr int SystemPrintApiVersion = 1;

#define KASSOTYP_SYSTEMPRINT_ENTRY "kassotypSystemPrintApi"
extern "C" const SystemPrintApi *kassotypSystemPrintApi();
