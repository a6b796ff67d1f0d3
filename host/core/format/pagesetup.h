#pragma once

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
};
PageGeometry pageGeometry(const QStringList &pageSetup);

// Printable width in pixels: truncation of (width - left - right) x pixels per inch / 2.54.
// Unreadable numbers count as 0; nullopt when the page is not set up.
std::optional<int> printableWidthPixels(const QStringList &pageSetup, double pixelsPerInch);
