#pragma once

#include "core/sections/switchedlineformat.h"

// The item lines of a document: numbered lines, each with its switch chbTextZeile<n>, stored
// as the leading lines, then the switches "aus bei N/T/E/G" of line 2 and "Je Reduz.Grund"
// of lines 5 and 6, then the trailing lines each followed by its own "aus bei N/T/E/G".
// The receipt has 13 leading and 4 trailing lines (109 entries); the invoice 12 and none.
LayoutFormat itemSectionFormat(const QString &name, int leadingLines, int trailingLines,
                               const QList<int> &stages);

// "BONPOS": read from 79 entries (lines 1..13 and "aus bei N/T/E/G" of line 2), from 81 also
// "Je Reduz.Grund", from 109 also lines 14..17.
const LayoutFormat &bonPosFormat();
constexpr int BonPosLines = 17;

// The rows of the receipt's item printer by line kind.
const KindLines &itemLinesByKind();

// The printer of item lines (receipt and invoice). Line kind "R" prints once per reason of the
// item's reductions, as the document's text "Reduzierungen" lists them ("reason new old", the
// price after and before the reduction, entries separated by ";"): each time with the reason
// as the price reduction's reason and old - new as its amount. Without that list it prints
// once.
class ItemLinePrinter : public SwitchedLinePrinter
{
public:
    using SwitchedLinePrinter::SwitchedLinePrinter;
    void print(const QMap<QString, QString> &values, const SectionPrintContext &context,
               PrintJob &job) const override;
};

// The document once per reduction of "Reduzierungen", with "PreisMindGrund", "Reduz" and the
// reduction in percent set from it; reasons that cannot be read are left out.
QList<DocumentData> reductionDocuments(const DocumentData &document);

QString itemLineSwitch(int line);   // chbTextZeile<n>
QString itemSecondSwitch(int line); // chbText2EinAus (line 2), chbText2Zeile<n>, or empty
