#pragma once

#include "core/output/printoutput.h"

#include <QList>
#include <QString>

class TBonPrinter;

// Logos kept in the printer: the logos of a till's designs are loaded into its printer's memory
// once, each under a key, and documents then print them by their key instead of sending their
// dots every time. The store records which picture the printer holds under which key.
namespace PrinterLogos {

// The logos of the till's documents (header, end and invoice end), as its printer prints them,
// each picture once, in the order the documents print them.
QList<MonoPicture> designedLogos(TBonPrinter &engine);

// Where the engine's printer gets its bytes: the given device, else the printer's own.
QString targetOf(TBonPrinter &engine, const QString &device, LinkOptions *link);

// The pictures the engine's printer at the target holds, as the store records them.
PrintOutput::HeldPictures held(TBonPrinter &engine, const QString &target);

// Sends the till's logos to its printer (or to the given device) with the commands its record
// names and records what the printer took. Fails, saying why in German, for a printer without
// graphics memory, a till whose designs carry no logo, or a device that did not take them.
OutputResult load(TBonPrinter &engine, const QString &device = {});

} // namespace PrinterLogos
