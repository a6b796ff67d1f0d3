#pragma once

#include <QString>

#include <functional>

class QPagedPaintDevice;

// The system's printers (CUPS queues), reached through Qt's print support. That library, and
// what it brings with it, cost every start of the designer a twentieth of its time while most
// sessions never print to a system printer. So it lives in a module of its own
// (kassotyp-systemprint.so beside the programs' private files), loaded at the first question.
// When the module cannot be loaded, every call says so in `problem` instead of failing silently.
namespace SystemPrinter {

// Paints on a printer page by page: the device and its resolution in dots per inch.
using Painter = std::function<bool(QPagedPaintDevice &device, double dpi)>;

// True when the system has a printer of this name.
bool exists(const QString &name, QString *problem = nullptr);

// Prints a document named `docName` (the job's name in the queue) on the named printer.
bool print(const QString &name, const QString &docName, const Painter &paint,
           QString *problem = nullptr);

// The printable width of the system's default printer in dots, and its resolution; false when
// there is no default printer.
bool defaultPrintableWidth(int *dots, int *dpi, QString *problem = nullptr);

} // namespace SystemPrinter
