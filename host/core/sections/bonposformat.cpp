#include "core/sections/bonposformat.h"

#include "core/engine/bonprinter.h"
#include "core/sections/sectionformats.h"

// ---- fixed-line sections -----------------------------------------------------------------

const FlagPairField *SwitchedLineFormat::flagPairAt(int position) const
{
    const QString &control = layout.fields.value(position).control;
    for (const FlagPairField &pair : flagPairs) {
        if (pair.key == control)
            return &pair;
    }
    return nullptr;
}

QMap<QString, QString> SwitchedLineFormat::expandFlagPairs(QMap<QString, QString> values) const
{
    for (const FlagPairField &pair : flagPairs) {
        const auto stored = values.constFind(pair.key);
        if (stored == values.cend())
            continue;
        if (const auto flags = decodeFlagPair(*stored)) {
            values.insert(pair.first, flags->first ? QStringLiteral("1") : QStringLiteral("0"));
            values.insert(pair.second, flags->second ? QStringLiteral("1") : QStringLiteral("0"));
        }
    }
    return values;
}

QString encodeFlagPair(bool first, bool second)
{
    return QString(first ? u'1' : u'0') + QString(second ? u'1' : u'0');
}

std::optional<std::pair<bool, bool>> decodeFlagPair(const QString &stored)
{
    if (stored.size() != 2)
        return std::nullopt;
    const auto flag = [](QChar c) -> std::optional<bool> {
        if (c == u'1')
            return true;
        if (c == u'0')
            return false;
        return std::nullopt;
    };
    const auto first = flag(stored.at(0));
    const auto second = flag(stored.at(1));
    if (!first || !second)
        return std::nullopt;
    return std::pair{*first, *second};
}

void appendLine(LayoutFormat &format, int line, const FormatField &head)
{
    const QString n = QString::number(line);
    format.fields << head << FormatField{QStringLiteral("edtTxtZeile") + n, FieldEncoding::LineText}
                  << FormatField{QStringLiteral("cmbSchriftArt") + n, FieldEncoding::Text}
                  << FormatField{QStringLiteral("cmbSchriftGroesse") + n, FieldEncoding::Text}
                  << FormatField{QStringLiteral("cmbSchriftStil") + n, FieldEncoding::Text}
                  << FormatField{QStringLiteral("cmbAusrichtung") + n, FieldEncoding::Text};
}

void appendFlagPairLine(SwitchedLineFormat &format, int line, const QString &first,
                        const QString &second)
{
    // The key is no control; editors and printers split it through flagPairs.
    const FlagPairField pair{first + u'|' + second, first, second};
    format.flagPairs << pair;
    appendLine(format.layout, line, {pair.key, FieldEncoding::Text});
}

SwitchedLinePrinter::SwitchedLinePrinter(const SwitchedLineFormat &format,
                                         std::span<const KindLine> rows, LineSwitchNames names,
                                         char16_t defaultKind)
    : m_format(format)
    , m_rows(rows)
    , m_names(names)
    , m_defaultKind(defaultKind)
{
}

void SwitchedLinePrinter::print(const QMap<QString, QString> &decoded,
                                const SectionPrintContext &context, PrintJob &job) const
{
    const QMap<QString, QString> values = m_format.expandFlagPairs(decoded);
    const char16_t kind =
            context.lineKind.isEmpty() ? m_defaultKind : context.lineKind.at(0).unicode();
    const SectionPrintContext lines = lineContext(context);
    const auto ticked = [&values](const QString &control) {
        return !control.isEmpty() && values.value(control) == QLatin1String("1");
    };
    for (const KindLine &row : m_rows) {
        if (row.kind != kind || !values.contains(QStringLiteral("edtTxtZeile%1").arg(row.line)))
            continue;
        bool prints = false;
        switch (row.needs) {
        case LineNeeds::Switch:
            prints = ticked(m_names.lineSwitch(row.line));
            break;
        case LineNeeds::SwitchSecondOff:
        case LineNeeds::SwitchSecondOn: {
            const QString second = m_names.secondSwitch(row.line);
            // A second switch the stored list does not reach counts as clear.
            prints = ticked(m_names.lineSwitch(row.line))
                     && ticked(second) == (row.needs == LineNeeds::SwitchSecondOn);
            break;
        }
        case LineNeeds::Condition:
            prints = conditionHolds(values, row.line, context);
            break;
        }
        if (prints)
            job.items.append(textLineItem(values, row.line, lines));
    }
}

// ---- receipt items -----------------------------------------------------------------------

QString itemLineSwitch(int line)
{
    return QStringLiteral("chbTextZeile%1").arg(line);
}

QString itemSecondSwitch(int line)
{
    if (line == 2)
        return QStringLiteral("chbText2EinAus");
    if (line == 5 || line == 6 || line >= 14)
        return QStringLiteral("chbText2Zeile%1").arg(line);
    return {};
}

SwitchedLineFormat itemSectionFormat(const QString &name, int leadingLines, int trailingLines,
                                     const QList<int> &stages)
{
    SwitchedLineFormat f;
    f.layout.name = name;
    f.layout.stages = stages;
    for (int line = 1; line <= leadingLines; ++line)
        appendLine(f.layout, line, {itemLineSwitch(line), FieldEncoding::Flag10});
    for (int line : {2, 5, 6})
        f.layout.fields << FormatField{itemSecondSwitch(line), FieldEncoding::Flag10};
    for (int line = leadingLines + 1; line <= leadingLines + trailingLines; ++line) {
        appendLine(f.layout, line, {itemLineSwitch(line), FieldEncoding::Flag10});
        f.layout.fields << FormatField{itemSecondSwitch(line), FieldEncoding::Flag10};
    }
    return f;
}

const SwitchedLineFormat &bonPosFormat()
{
    static const SwitchedLineFormat format =
            itemSectionFormat(QStringLiteral("Bonpositionen"), 13, 4, {79, 81, 109});
    return format;
}

namespace {

using enum LineNeeds;

// What each line kind of a receipt item prints, in this order. No kind written means "P".
//   P  article line: lines 1, 2 and 14..17 (the order of the editor's preview)
//   N  article with discount, T  partly credited article: the article line without the lines
//      switched "aus bei N/T/E/G", then line 11 "Nachlass/Teilg."
//   E  replaced or credited article: likewise, then line 12 "Ersatz/Gutsch."
//   G  reduction or defect of the article: the "Reduzierung" lines 5, 6 not printed per reason
//   R  one reduction reason (the engine sends one per reason): lines 5, 6 "Je Reduz.Grund"
//   M  total quantity: lines 3, 4;  A  set start: lines 7, 8;  S  set end: lines 9, 10
//   W  tax refund: line 13
// Every line prints only when its switch chbTextZeile<n> is ticked.
constexpr KindLine ItemLinesByKind[] = {
        {u'P', 1},
        {u'P', 2},
        {u'P', 14},
        {u'P', 15},
        {u'P', 16},
        {u'P', 17},
        {u'N', 1},
        {u'N', 2, SwitchSecondOff},
        {u'N', 14, SwitchSecondOff},
        {u'N', 15, SwitchSecondOff},
        {u'N', 16, SwitchSecondOff},
        {u'N', 17, SwitchSecondOff},
        {u'N', 11},
        {u'T', 1},
        {u'T', 2, SwitchSecondOff},
        {u'T', 14, SwitchSecondOff},
        {u'T', 15, SwitchSecondOff},
        {u'T', 16, SwitchSecondOff},
        {u'T', 17, SwitchSecondOff},
        {u'T', 11},
        {u'E', 1},
        {u'E', 2, SwitchSecondOff},
        {u'E', 14, SwitchSecondOff},
        {u'E', 15, SwitchSecondOff},
        {u'E', 16, SwitchSecondOff},
        {u'E', 17, SwitchSecondOff},
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
        {u'W', 13},
};

} // namespace

const SectionPrinter *bonPosPrinter(const QString &kennung)
{
    static const SwitchedLinePrinter printer(bonPosFormat(), ItemLinesByKind,
                                             {itemLineSwitch, itemSecondSwitch}, u'P');
    return kennung == QLatin1String("BONPOS") ? &printer : nullptr;
}
