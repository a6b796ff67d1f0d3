#pragma once

#include "core/store/store.h"

#include <QString>

// Currency converter: rates are kept as units of a currency per unit of currency 1.
class WHRechner
{
public:
    explicit WHRechner(Store &store)
        : m_store(store)
    {
    }
    // Throws StoreError when a currency has no rate.
    double Umrechnen(double amount, const QString &from, const QString &to) const;
    void setRate(const QString &currency, double unitsPerCurrency1);

private:
    double rate(const QString &currency) const;
    Store &m_store;
};
