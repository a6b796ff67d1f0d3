#pragma once

#include <QHash>
#include <QString>

// The data of the document being printed: texts by field name, amounts in currency 1 by
// field name, and what currency 2 needs. Placeholders are filled from it (see
// placeholdervalues.h); previews and test prints use the built-in sample document.
struct DocumentData
{
    QHash<QString, QString> texts;
    QHash<QString, double> amounts; // in currency 1
    QString currency1 = QStringLiteral("EUR");
    QString currency2;
    // One unit of currency 2 in currency 1; an amount in currency 2 is amount / factor.
    double exchangeFactor = 1.0;

    QString text(const QString &field) const { return texts.value(field); }
    void setText(const QString &field, const QString &value) { texts.insert(field, value); }
    double amount(const QString &field) const { return amounts.value(field); }
    double amountInCurrency2(const QString &field) const;
    void setAmount(const QString &field, double currency1Value)
    {
        amounts.insert(field, currency1Value);
    }
};

// An amount as a German receipt shows it: two decimals, decimal comma, "." between thousands.
QString formatAmount(double value);
