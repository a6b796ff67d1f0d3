#include "core/sections/bonendeformat.h"

#include "core/model/placeholdervalues.h"
#include "core/sections/sectionformats.h"

#include <QRegularExpression>

// End sections, built from the plan below:
//
//   receipt end, 158 entries                 invoice end, 112 entries
//   0        lines in use (above + below)    0        lines in use
//   1..50    lines 1..10                     1..60    lines 1..12
//   51..60   switches of lines 1..10         61..64   switches of lines 1..4
//   61..135  lines 11..25                    65..104  lines 13..20
//   136..150 switches of lines 11..25        105..109 logo: on, name, width, height, position
//   151..155 logo: on, name, width, ...      110, 111 lines above and below the logo
//   156, 157 lines above and below the logo
//
// A line is text, font, size, style, alignment. The switches print a line only when:
//
//   WithoutReduction    the document has no reduction (amount "Reduz" is 0)
//   WithReduction       the document has a reduction
//   PlaceholdersFilled  every catalogue placeholder of the line gives a text
//   ReturnOnly          the document is a return (text "Rückgabe" is "J")
//
// The printer prints the lines above, the logo picture, then the lines below.

namespace {

struct Part
{
    enum Kind { Lines, Switches, Logo, Counts } kind;
    int from = 0;
    int to = 0;
};

// The plan of an end section: its lines, their switches, and the stored format made of the
// parts in their order.
EndSectionPlan endPlan(int lines, const QList<LineSwitch> &switches, const QString &name,
                       const QList<Part> &parts, const QList<int> &stages, FieldEncoding logoSwitch)
{
    EndSectionPlan plan;
    plan.lines = lines;
    plan.switches = switches;
    LayoutFormat &f = plan.format;
    f.name = name;
    f.fields << FormatField{QStringLiteral("edtAnzZeilenUber"), FieldEncoding::Text};
    for (const Part &part : parts) {
        switch (part.kind) {
        case Part::Lines:
            for (int line = part.from; line <= part.to; ++line)
                f.fields << lineFields(line);
            break;
        case Part::Switches:
            for (const LineSwitch &s : switches) {
                if (s.line >= part.from && s.line <= part.to)
                    f.fields << FormatField{s.control, FieldEncoding::Flag10};
            }
            break;
        case Part::Logo:
            f.fields << FormatField{QStringLiteral("chbLogo"), logoSwitch}
                     << FormatField{QStringLiteral("lblLogoName"), FieldEncoding::Text}
                     << FormatField{QStringLiteral("edtLogoBreite"), FieldEncoding::NumberCm}
                     << FormatField{QStringLiteral("edtLogoHoehe"), FieldEncoding::NumberCm}
                     << FormatField{QStringLiteral("rgpLogoPosition"), FieldEncoding::LogoPosition};
            break;
        case Part::Counts:
            f.fields << FormatField{QStringLiteral("edtAnzZeilenUber"), FieldEncoding::Text}
                     << FormatField{QStringLiteral("edtAnzZeilenUnter"), FieldEncoding::Text};
            break;
        }
    }
    f.stages = stages;
    return plan;
}

QList<LineSwitch> switchRange(int from, int to, const QString &prefix, LineCondition condition)
{
    QList<LineSwitch> list;
    for (int line = from; line <= to; ++line)
        list.append({line, prefix + QString::number(line), condition});
    return list;
}

class EndPrinter : public SectionPrinter
{
public:
    explicit EndPrinter(const EndSectionPlan &plan)
        : m_plan(plan)
    {
    }

    const LayoutFormat &format(const QString &) const override { return m_plan.format; }

    void print(const QMap<QString, QString> &values, const SectionPrintContext &context,
               PrintJob &job) const override
    {
        const EndSectionPlan &plan = m_plan;
        const int above =
                qBound(0, values.value(QStringLiteral("edtAnzZeilenUber")).toInt(), plan.lines);
        const int below = qBound(0, values.value(QStringLiteral("edtAnzZeilenUnter")).toInt(),
                                 plan.lines - above);
        auto printLines = [&](int from, int to) {
            for (int line = from; line <= to; ++line) {
                const QString key = QStringLiteral("edtTxtZeile") + QString::number(line);
                if (!values.contains(key))
                    continue;
                const QString text = values.value(key);
                const LineSwitch *s = plan.switchOf(line);
                if (s && values.value(s->control) == QLatin1String("1")
                    && !lineConditionHolds(s->condition, text, context))
                    continue;
                job.items.append(textLineItem(values, line, context));
            }
        };
        printLines(1, above);
        if (const std::optional<JobItem> logo = logoItem(values, context))
            job.items.append(*logo);
        printLines(above + 1, above + below);
    }

private:
    const EndSectionPlan &m_plan;
};

} // namespace

const LineSwitch *EndSectionPlan::switchOf(int line) const
{
    for (const LineSwitch &s : switches) {
        if (s.line == line)
            return &s;
    }
    return nullptr;
}

const EndSectionPlan &bonEndePlan()
{
    static const EndSectionPlan plan = endPlan(
            25,
            switchRange(1, 1, QStringLiteral("chbText"), LineCondition::WithoutReduction)
                    + switchRange(2, 2, QStringLiteral("chbText"), LineCondition::WithReduction)
                    + switchRange(3, 10, QStringLiteral("chbNurBeiGefPlatz"),
                                  LineCondition::PlaceholdersFilled)
                    + switchRange(11, 25, QStringLiteral("chbNurBeiRueckgabe"),
                                  LineCondition::ReturnOnly),
            QStringLiteral("Bonende"),
            {{Part::Lines, 1, 10},
             {Part::Switches, 1, 10},
             {Part::Lines, 11, 25},
             {Part::Switches, 11, 25},
             {Part::Logo, 0, 0},
             {Part::Counts, 0, 0}},
            {53, 61, 151, 158}, FieldEncoding::Flag10);
    return plan;
}

const EndSectionPlan &rechEndePlan()
{
    static const EndSectionPlan plan = endPlan(
            20,
            switchRange(1, 1, QStringLiteral("chbText"), LineCondition::WithoutReduction)
                    + switchRange(2, 4, QStringLiteral("chbText"), LineCondition::WithReduction),
            QStringLiteral("Rechnungsende"),
            {{Part::Lines, 1, 12},
             {Part::Switches, 1, 4},
             {Part::Lines, 13, 20},
             {Part::Logo, 0, 0},
             {Part::Counts, 0, 0}},
            {65, 80, 105, 112}, FieldEncoding::FlagUnlessZero);
    return plan;
}

bool lineConditionHolds(LineCondition condition, const QString &lineText,
                        const SectionPrintContext &context)
{
    const DocumentData &document = *context.document;
    switch (condition) {
    case LineCondition::WithoutReduction:
        return qFuzzyIsNull(document.amount(QStringLiteral("Reduz")));
    case LineCondition::WithReduction:
        return !qFuzzyIsNull(document.amount(QStringLiteral("Reduz")));
    case LineCondition::ReturnOnly:
        return document.text(QStringLiteral("Rückgabe")) == QLatin1String("J");
    case LineCondition::PlaceholdersFilled: {
        static const QRegularExpression token(QStringLiteral("#[^#\\s]+#"));
        for (auto it = token.globalMatch(lineText); it.hasNext();) {
            const QString t = it.next().captured();
            if (hasPlaceholderRule(t)
                && replacePlaceholders(t, document, context.secondCurrency).trimmed().isEmpty())
                return false;
        }
        return true;
    }
    }
    return true;
}

const SectionPrinter &bonEndePrinter()
{
    static const EndPrinter printer(bonEndePlan());
    return printer;
}

const SectionPrinter &rechEndePrinter()
{
    static const EndPrinter printer(rechEndePlan());
    return printer;
}
