#include "core/sections/rechformats.h"

#include "core/sections/bonposformat.h"
#include "core/sections/bonsummeformat.h"

const LayoutFormat &rechPosFormat()
{
    static const LayoutFormat format =
            itemSectionFormat(QStringLiteral("Rechnungspositionen"), RechPosLines, 0, {73, 75});
    return format;
}

const LayoutFormat &rechSummeFormat()
{
    static const LayoutFormat format = sumSectionFormat(
            QStringLiteral("Rechnungssumme"), SumSectionShape{RechSummeLines, 0, false, 0}, {84});
    return format;
}

namespace {

using enum LineNeeds;

// What each line kind of an invoice's sums prints. No kind written means "S".
//   S  total: lines 11, 12 "Gesamtsumme";  U  tax: lines 1, 2;  D  down payment: lines 3, 4
//   Z  payment means: lines 5, 6;  G  amount given: lines 7, 8;  R  change: lines 9, 10
//   O  amount still open: lines 13, 14 "Restbetrag"
constexpr KindLine InvoiceSumLinesByKind[] = {
        {u'S', 11}, {u'S', 12}, {u'U', 1}, {u'U', 2}, {u'D', 3},  {u'D', 4},  {u'Z', 5},
        {u'Z', 6},  {u'G', 7},  {u'G', 8}, {u'R', 9}, {u'R', 10}, {u'O', 13}, {u'O', 14},
};

} // namespace

namespace {

const KindLines &invoiceItemRows()
{
    // An invoice item prints as a receipt item, without the lines the invoice does not have
    // (14..17, and 13, the tax refund).
    static const KindLines itemRows = [] {
        KindLines rows;
        for (const KindLine &row : itemLinesByKind()) {
            if (row.line <= RechPosLines)
                rows.push_back(row);
        }
        return rows;
    }();
    return itemRows;
}

} // namespace

const SectionPrinter &rechPosPrinter()
{
    static const ItemLinePrinter items(rechPosFormat(), invoiceItemRows(),
                                       {itemLineSwitch, itemSecondSwitch}, u'P');
    return items;
}

const SectionPrinter &rechSummePrinter()
{
    static const SumLinePrinter sums(rechSummeFormat(), InvoiceSumLinesByKind);
    return sums;
}
