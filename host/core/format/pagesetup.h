#pragma once

#include "core/format/printercapabilities.h"

#include <QStringList>

#include <optional>

// The page setup list of a printer (pageSetupFormat()): a list that does not reach the paper
// width and both side margins means the printer is not set up.
bool isPageSetUp(const QStringList &pageSetup);

// Paper width and side margins of a page setup in cm, read by the names of the page setup's
// format; unreadable numbers count as 0.
struct PageGeometry
{
    double paperWidthCm = 0;
    double leftMarginCm = 0;
    double rightMarginCm = 0;
    // What the printer reaches: paper less both margins; a page without a usable width is the
    // 72 mm an 80 mm roll prints.
    double printableWidthCm() const;
};
PageGeometry pageGeometry(const QStringList &pageSetup);

// The one geometry of a till's text-mode line: the dots across its page setup's printable width
// at the printer's resolution, or `overrideDots` when the computer's configuration sets them.
// ESC/POS, the virtual printer's picture and the PDF of a text-mode till all lay lines out on
// these dots, graphic mode and the PDF on the same printable width.
int textModeDots(const PageGeometry &page, const PrinterCapabilities &printer,
                 int overrideDots = 0);

// Printable width in pixels: truncation of (width - left - right) x pixels per inch / 2.54.
// Unreadable numbers count as 0; nullopt when the page is not set up.
std::optional<int> printableWidthPixels(const QStringList &pageSetup, double pixelsPerInch);
