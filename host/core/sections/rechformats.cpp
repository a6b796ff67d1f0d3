#include "core/sections/rechformats.h"

#include "core/engine/bonprinter.h"
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

// What each line kind of an invoice item prints, in this order. No kind written means "P".
//   P  article line: lines 1, 2
//   N  article with discount, T  partly credited article: line 1, line 2 unless switched
//      "aus bei N/T/E/G", then line 11 "Nachlass/Teilg."
//   E  replaced or credited article: likewise, then line 12 "Ersatz/Gutsch."
//   G  reduction or defect of the article: the "Reduzierung" lines 5, 6 not printed per reason
//   R  one reduction reason: lines 5, 6 "Je Reduz.Grund"
//   M  total quantity: lines 3, 4;  A  set start: lines 7, 8;  S  set end: lines 9, 10
constexpr KindLine InvoiceItemLinesByKind[] = {
        {u'P', 1},
        {u'P', 2},
        {u'N', 1},
        {u'N', 2, SwitchSecondOff},
        {u'N', 11},
        {u'T', 1},
        {u'T', 2, SwitchSecondOff},
        {u'T', 11},
        {u'E', 1},
        {u'E', 2, SwitchSecondOff},
        {u'E', 12},
        {u'G', 5, SwitchSecondOff},
        {u'G', 6, SwitchSecondOff},
        {u'R', 5, SwitchSecondOn},
        {u'R', 6, SwitchSecondOn},
        {u'M', 3},
        {u'M', 4},
        {u'A', 7},
        {u'A', 8},
        {u'S', 9},
        {u'S', 10},
};

// What each line kind of an invoice's sums prints. No kind written means "S".
//   S  total: lines 11, 12 "Gesamtsumme";  U  tax: lines 1, 2;  D  down payment: lines 3, 4
//   Z  payment means: lines 5, 6;  G  amount given: lines 7, 8;  R  change: lines 9, 10
//   O  amount still open: lines 13, 14 "Restbetrag"
constexpr KindLine InvoiceSumLinesByKind[] = {
        {u'S', 11}, {u'S', 12}, {u'U', 1}, {u'U', 2}, {u'D', 3},  {u'D', 4},  {u'Z', 5},
        {u'Z', 6},  {u'G', 7},  {u'G', 8}, {u'R', 9}, {u'R', 10}, {u'O', 13}, {u'O', 14},
};

class InvoiceSumPrinter : public SwitchedLinePrinter
{
public:
    InvoiceSumPrinter()
        : SwitchedLinePrinter(rechSummeFormat(), InvoiceSumLinesByKind,
                              {sumLineSwitch, sumSecondSwitch}, u'S')
    {
    }

protected:
    // The sums carry the document's totals: currency 2 prints as the editor previews it.
    SectionPrintContext lineContext(const SectionPrintContext &context) const override
    {
        SectionPrintContext sums = context;
        sums.secondCurrency = context.engine.ReplWH2(true);
        return sums;
    }
};

} // namespace

const SectionPrinter *rechPrinter(const QString &kennung)
{
    static const SwitchedLinePrinter items(rechPosFormat(), InvoiceItemLinesByKind,
                                           {itemLineSwitch, itemSecondSwitch}, u'P');
    static const InvoiceSumPrinter sums;
    if (kennung == QLatin1String("RECHPOS"))
        return &items;
    if (kennung == QLatin1String("RECHSUMM"))
        return &sums;
    return nullptr;
}
