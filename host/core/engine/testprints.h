#pragma once

class TBonPrinter;

// Prints the test document of a document type (1..23) on the engine: the sections of the
// type in their order, with sample values set between the calls. The engine's document is
// the sample document again afterwards.
void runTestPrint(TBonPrinter &engine, int documentType);
