#include "core/sections/bonposformat.h"

#include "core/sections/sectionformats.h"

#include <QLocale>

// ---- fixed-line sections -----------------------------------------------------------------

void appendLine(LayoutFormat &format, int line, const FormatField &head)
{
    format.fields << head << lineFields(line);
}

void appendFlagPairLine(LayoutFormat &format, int line, const QString &first, const QString &second)
{
    appendLine(format, line, {first, FieldEncoding::FlagPair, second});
}

void addRows(KindLines &rows, char16_t kind, std::initializer_list<int> lines, LineNeeds needs)
{
    for (int line : lines)
        rows.push_back({kind, quint8(line), needs});
}

void addRowRange(KindLines &rows, char16_t kind, int from, int to, LineNeeds needs)
{
    for (int line = from; line <= to; ++line)
        rows.push_back({kind, quint8(line), needs});
}

SwitchedLinePrinter::SwitchedLinePrinter(const LayoutFormat &format, std::span<const KindLine> rows,
                                         LineSwitchNames names, char16_t defaultKind)
    : m_format(format)
    , m_rows(rows)
    , m_names(names)
    , m_defaultKind(defaultKind)
{
}

void SwitchedLinePrinter::print(const QMap<QString, QString> &values,
                                const SectionPrintContext &context, PrintJob &job) const
{
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

LayoutFormat itemSectionFormat(const QString &name, int leadingLines, int trailingLines,
                               const QList<int> &stages)
{
    LayoutFormat f;
    f.name = name;
    f.stages = stages;
    for (int line = 1; line <= leadingLines; ++line)
        appendLine(f, line, {itemLineSwitch(line), FieldEncoding::Flag10});
    for (int line : {2, 5, 6})
        f.fields << FormatField{itemSecondSwitch(line), FieldEncoding::Flag10};
    for (int line = leadingLines + 1; line <= leadingLines + trailingLines; ++line) {
        appendLine(f, line, {itemLineSwitch(line), FieldEncoding::Flag10});
        f.fields << FormatField{itemSecondSwitch(line), FieldEncoding::Flag10};
    }
    return f;
}

const LayoutFormat &bonPosFormat()
{
    static const LayoutFormat format =
            itemSectionFormat(QStringLiteral("Bonpositionen"), 13, 4, {79, 81, 109});
    return format;
}

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
const KindLines &itemLinesByKind()
{
    static const KindLines rows = [] {
        using enum LineNeeds;
        KindLines r;
        addRows(r, u'P', {1, 2, 14, 15, 16, 17});
        for (const auto &[kind, own] : {std::pair{u'N', 11}, {u'T', 11}, {u'E', 12}}) {
            addRows(r, kind, {1});
            addRows(r, kind, {2, 14, 15, 16, 17}, SwitchSecondOff);
            addRows(r, kind, {own});
        }
        addRows(r, u'G', {5, 6}, SwitchSecondOff);
        addRows(r, u'R', {5, 6}, SwitchSecondOn);
        addRows(r, u'M', {3, 4});
        addRows(r, u'A', {7, 8});
        addRows(r, u'S', {9, 10});
        addRows(r, u'W', {13});
        return r;
    }();
    return rows;
}

QList<DocumentData> reductionDocuments(const DocumentData &document)
{
    static const QLocale german(QLocale::German, QLocale::Germany);
    QList<DocumentData> documents;
    const QString list = document.text(QStringLiteral("Reduzierungen"));
    for (const QString &entry : list.split(u';', Qt::SkipEmptyParts)) {
        QStringList words = entry.simplified().split(u' ');
        if (words.size() < 3)
            continue;
        bool newOk = false;
        bool oldOk = false;
        const double oldPrice = german.toDouble(words.takeLast(), &oldOk);
        const double newPrice = german.toDouble(words.takeLast(), &newOk);
        if (!newOk || !oldOk)
            continue;
        DocumentData reduced = document;
        const double amount = oldPrice - newPrice;
        reduced.setText(QStringLiteral("PreisMindGrund"), words.join(u' '));
        reduced.setAmount(QStringLiteral("Reduz"), amount);
        const double percent = qFuzzyIsNull(oldPrice) ? 0.0 : amount / oldPrice * 100.0;
        for (const auto &[field, decimals] :
             {std::pair{"ReduzProzent", 2}, {"ReduzProzent1", 1}, {"ReduzProzent0", 0}})
            reduced.setText(QLatin1String(field),
                            german.toString(percent, 'f', decimals) + QStringLiteral(" %"));
        documents << reduced;
    }
    return documents;
}

void ItemLinePrinter::print(const QMap<QString, QString> &values,
                            const SectionPrintContext &context, PrintJob &job) const
{
    const QList<DocumentData> reasons = context.lineKind == QLatin1String("R")
                                                ? reductionDocuments(*context.document)
                                                : QList<DocumentData>();
    if (reasons.isEmpty()) {
        SwitchedLinePrinter::print(values, context, job);
        return;
    }
    for (const DocumentData &reason : reasons) {
        SectionPrintContext one = context;
        one.document = &reason;
        SwitchedLinePrinter::print(values, one, job);
    }
}

const SectionPrinter &bonPosPrinter()
{
    static const ItemLinePrinter printer(bonPosFormat(), itemLinesByKind(),
                                         {itemLineSwitch, itemSecondSwitch}, u'P');
    return printer;
}
