#pragma once

#include <QDateTime>

class TBonPrinter;

// Prints the test document of a document type (1..23) on the engine: the sections of the
// type in their order, with sample values set between the calls. The engine's document is
// the sample document again afterwards. Values of the present moment are those of `now`
// (the clock when not given).
void runTestPrint(TBonPrinter &engine, int documentType);
void runTestPrint(TBonPrinter &engine, int documentType, const QDateTime &now);
