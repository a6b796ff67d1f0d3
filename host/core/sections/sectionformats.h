#pragma once

#include "core/sections/sectionprinters.h"

// The printers of the sections that have editors of their own, each defined beside its
// stored format in this folder. Each answers null for a section identifier that is not its.
const SectionPrinter *bonKopfPrinter(const QString &kennung);   // headers of all document types
const SectionPrinter *bonPosPrinter(const QString &kennung);    // "BONPOS"
const SectionPrinter *bonSummePrinter(const QString &kennung);  // "BONSUMME"
const SectionPrinter *bonEndePrinter(const QString &kennung);   // "BONENDE"
const SectionPrinter *textLinesPrinter(const QString &kennung); // "STORNEND", "NULLENDE", "KASPOS"
const SectionPrinter *cardPrinter(const QString &kennung);      // "ECBUCH", "ECSTOR", "KKBUCH", ...
const SectionPrinter *reklPrinter(const QString &kennung);      // "REKLPOS", "REKLREG"
const SectionPrinter *rechPrinter(const QString &kennung);      // "RECHPOS", "RECHSUMM"
