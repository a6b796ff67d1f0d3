#include "core/sections/cardformat.h"

namespace {

// Every line with the common font of the section.
class CardPrinter : public SectionPrinter
{
public:
    const LayoutFormat &format(const QString &) const override { return cardFormat(); }

    void print(const QMap<QString, QString> &values, const SectionPrintContext &context,
               PrintJob &job) const override
    {
        if (!cardListApplies(values.size()))
            return;
        // textLineItem reads a numbered line; line 1 carries each text with the common font.
        QMap<QString, QString> line;
        for (const char *control :
             {"cmbSchriftArt", "cmbSchriftGroesse", "cmbSchriftStil", "cmbAusrichtung"}) {
            const QString name = QString::fromLatin1(control);
            line.insert(name + u'1', values.value(name));
        }
        for (int n = 1; values.contains(cardTextLine(n)); ++n) {
            line.insert(QStringLiteral("edtTxtZeile1"), values.value(cardTextLine(n)));
            job.items.append(textLineItem(line, 1, context));
        }
    }
};

} // namespace

QString cardTextLine(int line)
{
    return QStringLiteral("memText") + QString::number(line);
}

const LayoutFormat &cardFormat()
{
    static const LayoutFormat format = [] {
        LayoutFormat f;
        f.name = QStringLiteral("Kartenzahlung");
        f.fields << FormatField{QStringLiteral("chbBonKopf"), FieldEncoding::Flag10}
                 << FormatField{QStringLiteral("cmbSchriftArt"), FieldEncoding::Text}
                 << FormatField{QStringLiteral("cmbSchriftGroesse"), FieldEncoding::Text}
                 << FormatField{QStringLiteral("cmbSchriftStil"), FieldEncoding::Text}
                 << FormatField{QStringLiteral("cmbAusrichtung"), FieldEncoding::Text};
        for (int n = 1; n <= CardMaxLines; ++n)
            f.fields << FormatField{cardTextLine(n), FieldEncoding::LineText};
        return f;
    }();
    return format;
}

bool cardListApplies(qsizetype length)
{
    return length >= CardHeadLength;
}

const SectionPrinter &cardPrinter()
{
    static const CardPrinter printer;
    return printer;
}
