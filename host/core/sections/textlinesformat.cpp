#include "core/sections/textlinesformat.h"

#include "core/sections/sectionformats.h"
#include "core/sections/sectionregistry.h"

namespace {

TextLinesSection buildSection(const QString &name, int lines, const QString &flag)
{
    TextLinesSection s;
    s.lines = lines;
    s.format.name = name;
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
    explicit TextLinesPrinter(const TextLinesSection &section)
        : m_section(section)
    {
    }

    const TextLinesSection &section() const { return m_section; }
    const LayoutFormat &format(const QString &) const override { return m_section.format; }

    void print(const QMap<QString, QString> &values, const SectionPrintContext &context,
               PrintJob &job) const override
    {
        const TextLinesSection &section = m_section;
        const int count = qBound(0, values.value(TextLinesCountControl).toInt(), section.lines);
        for (int line = 1; line <= count; ++line) {
            if (values.contains(QStringLiteral("edtTxtZeile") + QString::number(line)))
                job.items.append(textLineItem(values, line, context));
        }
    }

private:
    const TextLinesSection &m_section;
};

} // namespace

const SectionPrinter &stornEndePrinter()
{
    static const TextLinesSection section = buildSection(QStringLiteral("Bonstorno-Ende"), 12, {});
    static const TextLinesPrinter printer(section);
    return printer;
}

const SectionPrinter &nullEndePrinter()
{
    static const TextLinesSection section = buildSection(QStringLiteral("Nullbon-Ende"), 12, {});
    static const TextLinesPrinter printer(section);
    return printer;
}

const SectionPrinter &kasPosPrinter()
{
    static const TextLinesSection section = buildSection(QStringLiteral("Kassenbericht-Positionen"),
                                                         10, QStringLiteral("CheckBoxLaenge"));
    static const TextLinesPrinter printer(section);
    return printer;
}

const TextLinesSection *textLinesSection(const QString &kennung)
{
    const SectionInfo *s = SectionRegistry::find(kennung);
    const auto *printer = s ? dynamic_cast<const TextLinesPrinter *>(s->printer) : nullptr;
    return printer ? &printer->section() : nullptr;
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
