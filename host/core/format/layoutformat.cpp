#include "core/format/layoutformat.h"

int LayoutFormat::positionOf(const QString &control) const
{
    for (int i = 0; i < fields.size(); ++i) {
        if (fields.at(i).control == control)
            return i;
    }
    return -1;
}

int LayoutFormat::applicableLength(qsizetype listLength) const
{
    const int length = int(qMin<qsizetype>(listLength, fields.size()));
    if (stages.isEmpty())
        return length;
    int applicable = 0;
    for (int stage : stages) {
        if (listLength >= stage)
            applicable = qMin(stage, int(fields.size()));
    }
    return applicable;
}

QMap<QString, QString> LayoutFormat::decode(const QStringList &list) const
{
    QMap<QString, QString> values;
    const int n = applicableLength(list.size());
    for (int i = 0; i < n; ++i)
        values.insert(fields.at(i).control, list.at(i));
    return values;
}

int headingLineWidth(bool perAccountFlag)
{
    return perAccountFlag ? 6 : 5;
}

const LayoutFormat &headingFormat(bool perAccountFlag)
{
    auto build = [](bool flag) {
        LayoutFormat f;
        f.name = flag ? QStringLiteral("Überschrift mit Sachkonto") : QStringLiteral("Überschrift");
        f.fields << FormatField{QStringLiteral("edtTextAnzahlZeilen"), FieldEncoding::Text};
        for (int i = 1; i <= HeadingMaxLines; ++i) {
            const QString n = QString::number(i);
            f.fields << FormatField{QStringLiteral("edtTxtZeile") + n, FieldEncoding::LineText}
                     << FormatField{QStringLiteral("cmbSchriftArt") + n, FieldEncoding::Text}
                     << FormatField{QStringLiteral("cmbSchriftGroesse") + n, FieldEncoding::Text}
                     << FormatField{QStringLiteral("cmbSchriftStil") + n, FieldEncoding::Text}
                     << FormatField{QStringLiteral("cmbAusrichtung") + n, FieldEncoding::Text};
            if (flag)
                f.fields << FormatField{QStringLiteral("chbImmer") + n, FieldEncoding::Flag10};
        }
        return f;
    };
    static const LayoutFormat plain = build(false);
    static const LayoutFormat withFlag = build(true);
    return perAccountFlag ? withFlag : plain;
}
