#include "core/sections/sectionprinters.h"

#include "core/model/barcode.h"
#include "core/model/placeholdervalues.h"
#include "core/sections/headingsections.h"
#include "core/sections/sectionformats.h"
#include "core/sections/sectionregistry.h"

QList<JobItem> textLineItem(const LineValues &line, const SectionPrintContext &context)
{
    // A failure or copy mark takes no paper in the case that has none.
    if (leftOutWhenEmpty(line.text, *context.document))
        return {};
    const LineStyle style = lineStyle(line.font, line.size, line.style);
    JobItem item;
    item.kind = JobItem::Kind::Text;
    item.section = context.kennung;
    item.text = replacePlaceholders(line.text, *context.document, context.secondCurrency);
    item.wrap = holdsRunningText(line.text);
    item.fontName = style.fontName;
    item.pointSize = style.pointSize;
    item.bold = style.bold;
    item.italic = style.italic;
    item.alignment = alignmentFromText(line.alignment);
    // A line of nothing but a barcode placeholder prints its value to be scanned. An empty
    // value stays an empty line, and one that Code 128 cannot carry is printed as text.
    if (isBarcodePlaceholder(line.text.trimmed())) {
        const QString value = item.text.trimmed();
        if (Code128::canEncode(value)) {
            item.kind = JobItem::Kind::Barcode;
            item.text = value;
        }
    }
    // A line of nothing but a QR placeholder prints a QR code of the value exactly as it is; an
    // empty value stays an empty line. A value that makes no QR code, or none that fits the
    // paper, prints as text (fitToWidth()).
    const QString token = line.text.trimmed();
    if (isQrPlaceholder(token)) {
        item.text = replacePlaceholders(token, *context.document, context.secondCurrency);
        if (!item.text.isEmpty()) {
            item.kind = JobItem::Kind::QrCode;
            item.qr = context.qr;
        }
    }
    return {item};
}

QList<JobItem> textLineItem(const QMap<QString, QString> &values, int line,
                            const SectionPrintContext &context)
{
    const LineFieldNames names = lineFieldNames(line);
    return textLineItem({values.value(names.text), values.value(names.font),
                         values.value(names.size), values.value(names.style),
                         values.value(names.alignment)},
                        context);
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

const SectionPrinter &headingPrinter()
{
    static const HeadingPrinter printer;
    return printer;
}

const SectionPrinter *sectionPrinterFor(const QString &kennung)
{
    const SectionInfo *section = SectionRegistry::find(kennung);
    return section ? section->printer : nullptr;
}
