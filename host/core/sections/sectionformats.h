#pragma once

#include "core/sections/sectionprinters.h"

// The printers of the kinds of section, each defined beside its stored format in this folder.
// The section registry names which section prints through which.
const SectionPrinter &headingPrinter();   // the text-only sections of the heading editor
const SectionPrinter &bonKopfPrinter();   // headers of all document types
const SectionPrinter &bonPosPrinter();    // receipt items
const SectionPrinter &bonSummePrinter();  // receipt sums
const SectionPrinter &bonEndePrinter();   // receipt end
const SectionPrinter &rechEndePrinter();  // invoice end
const SectionPrinter &stornEndePrinter(); // void end
const SectionPrinter &nullEndePrinter();  // zero-receipt end
const SectionPrinter &kasPosPrinter();    // cash report positions
const SectionPrinter &cardPrinter();      // card payment receipts
const SectionPrinter &reklPosPrinter();   // complained article
const SectionPrinter &reklRegPrinter();   // complaint settlement
const SectionPrinter &rechPosPrinter();   // invoice items
const SectionPrinter &rechSummePrinter(); // invoice sums
