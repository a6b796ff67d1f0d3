#include "core/sections/sectionprinters.h"

#include "core/engine/bonprinter.h"
#include "core/sections/headingsections.h"
#include "core/sections/sectionformats.h"

JobItem textLineItem(const QMap<QString, QString> &values, int line,
                     const SectionPrintContext &context)
{
    const QString n = QString::number(line);
    JobItem item;
    item.kind = JobItem::Kind::Text;
    item.section = context.kennung;
    item.text = context.engine.Replace_All(values.value(QStringLiteral("edtTxtZeile") + n),
                                           context.secondCurrency, true);
    item.fontName = values.value(QStringLiteral("cmbSchriftArt") + n);
    bool ok = false;
    const int size = values.value(QStringLiteral("cmbSchriftGroesse") + n).trimmed().toInt(&ok);
    item.pointSize = ok && size > 0 ? size : 10;
    const QString style = values.value(QStringLiteral("cmbSchriftStil") + n);
    item.bold = style == QLatin1String("fett") || style == QLatin1String("fett/kursiv");
    item.italic = style == QLatin1String("kursiv") || style == QLatin1String("fett/kursiv");
    item.alignment = alignmentFromText(values.value(QStringLiteral("cmbAusrichtung") + n));
    return item;
}

namespace {

// Heading-format sections: the lines in use, in order.
class HeadingPrinter : public SectionPrinter
{
public:
    const LayoutFormat &format(const QString &kennung) const override
    {
        const std::optional<HeadingSection> s = headingSectionByKennung(kennung);
        return headingFormat(s && hasPerAccountFlag(s->code));
    }

    void print(const QMap<QString, QString> &values, const SectionPrintContext &context,
               PrintJob &job) const override
    {
        const int count = qBound(0, values.value(QStringLiteral("edtTextAnzahlZeilen")).toInt(),
                                 HeadingMaxLines);
        for (int line = 1; line <= count; ++line) {
            if (values.contains(QStringLiteral("edtTxtZeile") + QString::number(line)))
                job.items.append(textLineItem(values, line, context));
        }
    }
};

} // namespace

const SectionPrinter *sectionPrinterFor(const QString &kennung)
{
    static const HeadingPrinter heading;
    if (headingSectionByKennung(kennung))
        return &heading;
    for (auto printerOf : {bonKopfPrinter, bonPosPrinter, bonSummePrinter, bonEndePrinter,
                           textLinesPrinter, cardPrinter, reklPrinter, rechPrinter}) {
        if (const SectionPrinter *printer = printerOf(kennung))
            return printer;
    }
    return nullptr;
}
