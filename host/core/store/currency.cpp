#include "core/store/currency.h"

#include "core/store/settingslistcodec.h"

double WHRechner::rate(const QString &currency) const
{
    QSqlQuery q = m_store.run(
            QStringLiteral("SELECT units_per_currency1 FROM currency_rates WHERE currency = ?"),
            {sqlText(currency)}, QStringLiteral("Lesen des Währungskurses %1").arg(currency));
    if (!q.next() || q.value(0).toDouble() <= 0)
        throw StoreError(
                QStringLiteral("Für die Währung %1 ist kein Kurs hinterlegt.").arg(currency));
    return q.value(0).toDouble();
}

double WHRechner::Umrechnen(double amount, const QString &from, const QString &to) const
{
    if (from == to)
        return amount;
    return amount / rate(from) * rate(to);
}

void WHRechner::setRate(const QString &currency, double unitsPerCurrency1)
{
    m_store.write([&] {
        m_store.run(QStringLiteral("INSERT INTO currency_rates (currency, units_per_currency1) "
                                   "VALUES (?, ?) ON CONFLICT (currency) DO UPDATE SET "
                                   "units_per_currency1 = excluded.units_per_currency1"),
                    {sqlText(currency), unitsPerCurrency1},
                    QStringLiteral("Schreiben des Währungskurses %1").arg(currency));
    });
}
