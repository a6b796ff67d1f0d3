#include "core/format/pagesetup.h"

#include "core/format/deviceformats.h"
#include "core/model/textfunctions.h"

#include <algorithm>
#include <cmath>

namespace {

// What a page's width needs: the paper width and both side margins.
constexpr const char *WidthControls[] = {"edtPapierbreite", "edtRandLinks", "edtRandRechts"};

} // namespace

bool isPageSetUp(const QStringList &pageSetup)
{
    const LayoutFormat &format = pageSetupFormat();
    int reached = 0;
    for (const char *control : WidthControls)
        reached = std::max(reached, format.positionOf(QLatin1String(control)) + 1);
    return pageSetup.size() >= reached;
}

PageGeometry pageGeometry(const QStringList &pageSetup)
{
    const LayoutFormat &format = pageSetupFormat();
    const auto cm = [&](const char *control) {
        const int position = format.positionOf(QString::fromLatin1(control));
        return StrToFloatDef_FSKRT(pageSetup.value(position), 0);
    };
    return {cm("edtPapierbreite"), cm("edtRandLinks"), cm("edtRandRechts")};
}

double PageGeometry::printableWidthCm() const
{
    const double w = paperWidthCm - leftMarginCm - rightMarginCm;
    return w > 0.5 ? w : 7.2;
}

int textModeDots(const PageGeometry &page, const PrinterCapabilities &printer, int overrideDots)
{
    if (overrideDots > 0)
        return overrideDots;
    return qMax(1, printer.dotsAcross(page.printableWidthCm()));
}

std::optional<int> printableWidthPixels(const QStringList &pageSetup, double pixelsPerInch)
{
    if (!isPageSetUp(pageSetup))
        return std::nullopt;
    const PageGeometry page = pageGeometry(pageSetup);
    const double cm = page.paperWidthCm - page.leftMarginCm - page.rightMarginCm;
    const double pixels = std::trunc(cm * pixelsPerInch / 2.54);
    // A page wider than any screen is a typing error in the page setup, not a reason to
    // build a window of a million pixels.
    return int(std::clamp(pixels, 0.0, 20000.0));
}
