#include "core/sections/textlinesformat.h"

namespace {

TextLinesSection buildSection(const QString &kennung, int lines, const QString &flag)
{
    TextLinesSection s;
    s.kennung = kennung;
    s.lines = lines;
    s.format.name = kennung;
    s.format.fields << FormatField{TextLinesCountControl, FieldEncoding::Text};
    for (int i = 1; i <= lines; ++i)
        s.format.fields << lineFields(i);
    if (!flag.isEmpty())
        s.format.fields << FormatField{flag, FieldEncoding::FlagJN};
    s.format.stages = {s.format.size()};
    return s;
}

// The lines in use, one after the other; a list that was not applied prints nothing.
class TextLinesPrinter : public SectionPrinter
{
public:
    const LayoutFormat &format(const QString &kennung) const override
    {
        return textLinesSection(kennung)->format;
    }

    void print(const QMap<QString, QString> &values, const SectionPrintContext &context,
               PrintJob &job) const override
    {
        const TextLinesSection &section = *textLinesSection(context.kennung);
        const int count = qBound(0, values.value(TextLinesCountControl).toInt(), section.lines);
        for (int line = 1; line <= count; ++line) {
            if (values.contains(QStringLiteral("edtTxtZeile") + QString::number(line)))
                job.items.append(textLineItem(values, line, context));
        }
    }
};

} // namespace

const TextLinesSection *textLinesSection(const QString &kennung)
{
    static const TextLinesSection sections[] = {
            buildSection(QStringLiteral("STORNEND"), 12, QString()),
            buildSection(QStringLiteral("NULLENDE"), 12, QString()),
            buildSection(QStringLiteral("KASPOS"), 10, QStringLiteral("CheckBoxLaenge")),
    };
    for (const TextLinesSection &s : sections) {
        if (s.kennung == kennung)
            return &s;
    }
    return nullptr;
}

const LayoutFormat &layNbEndPresetFormat()
{
    static const LayoutFormat format = [] {
        LayoutFormat f;
        f.name = QStringLiteral("LAYNBEND");
        f.fields << FormatField{TextLinesCountControl, FieldEncoding::Text};
        for (int i = 1; i <= LayNbEndPresetLines; ++i) {
            // The preset keeps the selectors by position, in an order of its own.
            const LineFieldNames line = lineFieldNames(i);
            f.fields << FormatField{line.font, FieldEncoding::ItemIndex}
                     << FormatField{line.size, FieldEncoding::ItemIndex}
                     << FormatField{line.alignment, FieldEncoding::ItemIndex}
                     << FormatField{line.text, FieldEncoding::LineText};
        }
        return f;
    }();
    return format;
}

const SectionPrinter *textLinesPrinter(const QString &kennung)
{
    static const TextLinesPrinter printer;
    return textLinesSection(kennung) ? &printer : nullptr;
}
