// The module that reaches the system's printers through Qt's print support; see
// core/output/systemprinter.h for why it is loaded only when needed.
#include "core/output/systemprintapi.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace {

bool printerExists(const QString &name)
{
    return !name.isEmpty() && !QPrinterInfo::printerInfo(name).isNull();
}

bool printOn(const QString &name, const QString &docName, const SystemPrinter::Painter &paint)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(name);
    printer.setDocName(docName);
    return paint(printer, printer.resolution());
}

bool defaultPrintableWidth(int *dots, int *dpi)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return false;
    QPrinter printer(info, QPrinter::HighResolution);
    *dpi = printer.resolution();
    *dots = printer.pageLayout().paintRectPixels(*dpi).width();
    return true;
}

const SystemPrintApi api{SystemPrintApiVersion, printerExists, printOn, defaultPrintableWidth};

} // namespace

extern "C" Q_DECL_EXPORT const SystemPrintApi *kassotypSystemPrintApi()
{
    return &api;
}
