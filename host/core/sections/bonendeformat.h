#pragma once

#include "core/sections/bonkopfformat.h"

#include <QList>
#include <QString>

// When a line with its switch set is printed; the editors caption the switch after it.
enum class LineCondition {
    WithoutReduction,   // "nur bei Bedarf": the customer paid the full price
    WithReduction,      // "nur bei Bedarf": the customer paid a reduced price
    PlaceholdersFilled, // "nur bei gef. Platz.": every placeholder of the line has a value
    ReturnOnly,         // "nur Rückgabe": the document takes goods back
};

struct LineSwitch
{
    int line = 0;
    QString control; // <prefix><line>
    LineCondition condition = LineCondition::WithoutReduction;
};

// An end section: text lines above and below an optional logo, per-line switches, and its
// stored format. The receipt end and the invoice end differ only in this data.
struct EndSectionPlan
{
    int lines = 0;
    QList<LineSwitch> switches; // in line order
    LayoutFormat format;
    // Position that holds the number of lines in use: written as above + below, read into
    // the above count (a full list sets both counts again at its end).
    int totalPosition = 0;

    const LineSwitch *switchOf(int line) const;
};

// The receipt end (25 lines, 158 entries) and the invoice end (20 lines, 112 entries).
const EndSectionPlan &bonEndePlan();
const EndSectionPlan &rechEndePlan();

// Whether a line whose switch is set prints for the engine's current document.
bool lineConditionHolds(LineCondition condition, const QString &lineText,
                        const SectionPrintContext &context);
