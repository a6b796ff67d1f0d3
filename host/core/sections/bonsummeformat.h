#pragma once

#include "core/sections/switchedlineformat.h"

#include <QStringList>

// The sum lines of a document, stored in this order: switched lines with the head "1"/"0"
// (chbText<n>); bank lines whose head keeps chbText<n> and chbImmer<n> as "11", "10", "01",
// "00"; optionally chbBoniSummiert; lines printed under a ProCampaign condition, whose head is
// the item index of cmbBedingungFuerDruck<n>.
struct SumSectionShape
{
    int switchedLines = 0;
    int bankLines = 0;
    bool bonusFlag = false;
    int conditionLines = 0;
};
LayoutFormat sumSectionFormat(const QString &name, const SumSectionShape &shape,
                              const QList<int> &stages);

// "BONSUMME": 28 lines, 169 entries; read from 72 entries (lines 1..12), from 108 also the
// bank lines 13..18, from 109 chbBoniSummiert, from 169 the ProCampaign lines 19..28.
const LayoutFormat &bonSummeFormat();
constexpr SumSectionShape BonSummeShape{12, 6, true, 10};
constexpr int BonSummeLines = 28;

QString sumLineSwitch(int line);   // chbText<n>
QString sumSecondSwitch(int line); // chbImmer<n>
QString sumCondition(int line);    // cmbBedingungFuerDruck<n>
// The switch of a line of the receipt's sums that has one (the switched and the bank lines).
QString bonSummeLineSwitch(int line);

// The printer of a document's sum lines. They carry the document's totals, so currency 2
// prints as the editor previews it.
class SumLinePrinter : public SwitchedLinePrinter
{
public:
    SumLinePrinter(const LayoutFormat &format, std::span<const KindLine> rows)
        : SwitchedLinePrinter(format, rows, {sumLineSwitch, sumSecondSwitch}, u'S')
    {
    }

protected:
    SectionPrintContext lineContext(const SectionPrintContext &context) const override;
};

// The host's ProCampaign tables: the print conditions a line may carry, the customer states,
// and for state s and condition c whether such a line prints.
constexpr int ProCampaignConditionCount = 7;
constexpr int ProCampaignStateCount = 5;
const QStringList &proCampaignConditions();
const QStringList &proCampaignStates();
// False for a state or condition outside the tables.
bool proCampaignConditionMet(int state, int condition);
