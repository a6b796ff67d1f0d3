#include "core/sections/reklformats.h"

#include "core/sections/bonposformat.h"

namespace {

LayoutFormat buildFormat(const QString &name, int lines, QString (*lineSwitch)(int))
{
    LayoutFormat f;
    f.name = name;
    for (int line = 1; line <= lines; ++line)
        appendLine(f, line, {lineSwitch(line), FieldEncoding::Flag10});
    f.stages = {f.size()};
    return f;
}

using enum LineNeeds;

// What each line kind prints, in this order; every line only when its switch is ticked.
//
//   REKLPOS (no kind: "P")
//     P  the article:            lines 1, 2 "Position Zeile"
//     T  the complained part:    lines 3, 4 "beanst. Teil"
//     M  the defect:             lines 5, 6 "Mangel", then line 7 "Beschreibung"
//   REKLREG (no kind: "N")
//     N  discount:               lines 1, 2 "Nachlass"
//     E  replacement:            lines 3, 4 "Ersatz"
//     G  voucher:                lines 5, 6 "Gutschein"
//     S  sent in:                lines 7, 8 "Einschicken"
//     T  partial refund:         lines 9, 10 "Teilerstattung"
constexpr KindLine ReklPosLinesByKind[] = {
        {u'P', 1}, {u'P', 2}, {u'T', 3}, {u'T', 4}, {u'M', 5}, {u'M', 6}, {u'M', 7},
};
constexpr KindLine ReklRegLinesByKind[] = {
        {u'N', 1}, {u'N', 2}, {u'E', 3}, {u'E', 4}, {u'G', 5},
        {u'G', 6}, {u'S', 7}, {u'S', 8}, {u'T', 9}, {u'T', 10},
};

} // namespace

QString reklPosSwitch(int line)
{
    return itemLineSwitch(line);
}

QString reklRegSwitch(int line)
{
    return QStringLiteral("chbText%1").arg(line);
}

QString reklSecondSwitch(int)
{
    return {};
}

const LayoutFormat &reklPosFormat()
{
    static const LayoutFormat format =
            buildFormat(QStringLiteral("Reklamationspositionen"), ReklPosLines, reklPosSwitch);
    return format;
}

const LayoutFormat &reklRegFormat()
{
    static const LayoutFormat format =
            buildFormat(QStringLiteral("Reklamationsregulierung"), ReklRegLines, reklRegSwitch);
    return format;
}

const SectionPrinter &reklPosPrinter()
{
    static const SwitchedLinePrinter pos(reklPosFormat(), ReklPosLinesByKind,
                                         {reklPosSwitch, reklSecondSwitch}, u'P');
    return pos;
}

const SectionPrinter &reklRegPrinter()
{
    static const SwitchedLinePrinter reg(reklRegFormat(), ReklRegLinesByKind,
                                         {reklRegSwitch, reklSecondSwitch}, u'N');
    return reg;
}
