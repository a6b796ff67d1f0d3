#pragma once

#include "core/model/documentdata.h"

#include <QDateTime>
#include <QList>

#include <optional>

// The loyalty text of the host's bonus programme for a purchase.
QString PAYBACKBonText(int points, int balance);

// The built-in sample document that fills every preview: a fictitious shoe shop, customer,
// sales persons, articles, amounts, payments, a cash report and an internal mail.
// Amounts in currency 2 follow exchangeFactor (one unit of currency 2 in currency 1).
DocumentData sampleDocument(double exchangeFactor, const QString &currency1,
                            const QString &currency2, const QDateTime &now);

// The cases a receipt is looked at in: printed normally, printed while the till's security
// device (TSE, or the Austrian signature device) has failed, printed again as a copy, printed
// in training mode. Each case fills the fiscal data of the sample document its own way.
enum class SampleCase { Normal, Ausfall, Duplikat, Training };

// Every case, in the order the designer offers them.
const QList<SampleCase> &sampleCases();
// The case's name on the command line: "normal", "ausfall", "duplikat", "training".
QString sampleCaseName(SampleCase sampleCase);
std::optional<SampleCase> sampleCaseNamed(const QString &name);
// The case as the designer names it: "Normalfall", "TSE ausgefallen", ...
QString sampleCaseTitle(SampleCase sampleCase);

// Fills the fiscal data of the document (TSE, RKSV, copy and training marks) as the case has
// them, from the document's moment, receipt number and totals. The sample document starts in
// the normal case.
void applySampleCase(DocumentData &document, SampleCase sampleCase);
// The case the document was last filled for.
SampleCase sampleCaseOf(const DocumentData &document);
