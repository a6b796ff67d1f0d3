#include "core/sections/bonsummeformat.h"

#include "core/sections/sectionformats.h"

#include <array>

QString sumLineSwitch(int line)
{
    return QStringLiteral("chbText%1").arg(line);
}

QString sumSecondSwitch(int line)
{
    return QStringLiteral("chbImmer%1").arg(line);
}

QString sumCondition(int line)
{
    return QStringLiteral("cmbBedingungFuerDruck%1").arg(line);
}

LayoutFormat sumSectionFormat(const QString &name, const SumSectionShape &shape,
                              const QList<int> &stages)
{
    LayoutFormat f;
    f.name = name;
    f.stages = stages;
    int line = 1;
    for (; line <= shape.switchedLines; ++line)
        appendLine(f, line, {sumLineSwitch(line), FieldEncoding::Flag10});
    for (; line <= shape.switchedLines + shape.bankLines; ++line)
        appendFlagPairLine(f, line, sumLineSwitch(line), sumSecondSwitch(line));
    if (shape.bonusFlag)
        f.fields << FormatField{QStringLiteral("chbBoniSummiert"), FieldEncoding::Flag10};
    for (int i = 0; i < shape.conditionLines; ++i, ++line)
        appendLine(f, line, {sumCondition(line), FieldEncoding::ItemIndex});
    return f;
}

const LayoutFormat &bonSummeFormat()
{
    static const LayoutFormat format =
            sumSectionFormat(QStringLiteral("Bonsumme"), BonSummeShape, {72, 108, 109, 169});
    return format;
}

const QStringList &proCampaignConditions()
{
    static const QStringList texts = {
            QStringLiteral("Nie"),
            QStringLiteral("Immer"),
            QStringLiteral("Kunde hat eine Kundenkarte"),
            QStringLiteral("Kunde ist registriert"),
            QStringLiteral("Kunde ist nicht registriert"),
            QStringLiteral("Kunde hat keine Kundenkarte"),
            QStringLiteral("Keine Verbindung zu ProCampaign"),
    };
    return texts;
}

const QStringList &proCampaignStates()
{
    static const QStringList texts = {
            QStringLiteral("Ohne Kundenkarte"),
            QStringLiteral("Kunde registriert"),
            QStringLiteral("Kunde nicht registriert"),
            QStringLiteral("Kunde gesperrt"),
            QStringLiteral("Keine Verbindung zu ProCampaign"),
    };
    return texts;
}

bool proCampaignConditionMet(int state, int condition)
{
    // Rows: states in table order; columns: conditions in table order. Condition 0 ("Nie")
    // keeps a fresh line, whose condition is 0, off the receipt.
    static constexpr std::array<std::array<bool, ProCampaignConditionCount>, ProCampaignStateCount>
            met = {{
                    {false, true, false, false, false, true, false}, // without card
                    {false, true, true, true, false, false, false},  // registered
                    {false, true, true, false, true, false, false},  // not registered
                    {false, true, true, false, false, false, false}, // blocked
                    {false, true, true, false, false, false, true},  // no connection
            }};
    if (state < 0 || state >= ProCampaignStateCount || condition < 0
        || condition >= ProCampaignConditionCount)
        return false;
    return met[state][condition];
}

namespace {

using enum LineNeeds;

// What each line kind of a receipt's sums prints, in this order. No kind written means "S".
//   S  total: the discount lines 11, 12 above the total lines 1, 2 (as the editor previews)
//   U  tax: lines 3, 4;  Z  payment means: lines 5, 6;  G  amount given: lines 7, 8
//   R  change: lines 9, 10
//   B  bank details, printed once: lines 13..18 not switched "Für jede BV drucken"
//   V  one bank transfer (the engine sends one per transfer): lines 13..18 switched so
//   P  ProCampaign: lines 19..28 whose print condition holds for the customer state of the
//      document (text field "ProCaStatus", an index into the states; none or garbage: 0)
// Switched lines print only when their switch chbText<n> is ticked.
const KindLines &sumLinesByKind()
{
    static const KindLines rows = [] {
        KindLines r;
        addRows(r, u'S', {11, 12, 1, 2});
        addRows(r, u'U', {3, 4});
        addRows(r, u'Z', {5, 6});
        addRows(r, u'G', {7, 8});
        addRows(r, u'R', {9, 10});
        addRowRange(r, u'B', 13, 18, SwitchSecondOff);
        addRowRange(r, u'V', 13, 18, SwitchSecondOn);
        addRowRange(r, u'P', 19, 28, Condition);
        return r;
    }();
    return rows;
}

class SumPrinter : public SumLinePrinter
{
public:
    SumPrinter()
        : SumLinePrinter(bonSummeFormat(), sumLinesByKind())
    {
    }

protected:
    bool conditionHolds(const QMap<QString, QString> &values, int line,
                        const SectionPrintContext &context) const override
    {
        bool ok = false;
        const int condition = values.value(sumCondition(line)).trimmed().toInt(&ok);
        const int state = context.document->text(QStringLiteral("ProCaStatus")).trimmed().toInt();
        return proCampaignConditionMet(state, ok ? condition : 0);
    }
};

} // namespace

SectionPrintContext SumLinePrinter::lineContext(const SectionPrintContext &context) const
{
    SectionPrintContext sums = context;
    sums.secondCurrency = context.secondCurrencyInSums;
    return sums;
}

QString bonSummeLineSwitch(int line)
{
    return line <= BonSummeShape.switchedLines + BonSummeShape.bankLines ? sumLineSwitch(line)
                                                                         : QString();
}

const SectionPrinter &bonSummePrinter()
{
    static const SumPrinter printer;
    return printer;
}
