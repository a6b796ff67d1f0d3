#include "core/model/documentdata.h"

#include <QLocale>

#include <cmath>

double DocumentData::amountInCurrency2(const QString &field) const
{
    if (exchangeFactor == 0 || !std::isfinite(exchangeFactor))
        return 0;
    return amount(field) / exchangeFactor;
}

QString formatAmount(double value)
{
    static const QLocale german(QLocale::German, QLocale::Germany);
    // Rounded first, so that -0.004 does not print as "-0,00".
    const double rounded = std::round(value * 100.0) / 100.0;
    return german.toString(rounded == 0 ? 0.0 : rounded, 'f', 2);
}
