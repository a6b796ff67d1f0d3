#include "core/format/pagesetup.h"

#include "core/engine/textfunctions.h"

#include <algorithm>
#include <cmath>

bool isPageSetUp(const QStringList &pageSetup)
{
    return pageSetup.size() >= 4;
}

std::optional<int> printableWidthPixels(const QStringList &pageSetup, double pixelsPerInch)
{
    if (!isPageSetUp(pageSetup))
        return std::nullopt;
    const double cm = StrToFloatDef_FSKRT(pageSetup.at(0), 0)
                      - StrToFloatDef_FSKRT(pageSetup.at(2), 0)
                      - StrToFloatDef_FSKRT(pageSetup.at(3), 0);
    const double pixels = std::trunc(cm * pixelsPerInch / 2.54);
    // A page wider than any screen is a typing error in the page setup, not a reason to
    // build a window of a million pixels.
    return int(std::clamp(pixels, 0.0, 20000.0));
}
