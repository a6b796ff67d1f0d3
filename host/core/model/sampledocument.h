#pragma once

#include "core/model/documentdata.h"

#include <QDateTime>

// The loyalty text of the host's bonus programme for a purchase.
QString PAYBACKBonText(int points, int balance);

// The built-in sample document that fills every preview: a fictitious shoe shop, customer,
// sales persons, articles, amounts, payments, a cash report and an internal mail.
// Amounts in currency 2 follow exchangeFactor (one unit of currency 2 in currency 1).
DocumentData sampleDocument(double exchangeFactor, const QString &currency1,
                            const QString &currency2, const QDateTime &now);
