#include "core/format/layoutformat.h"

#include "core/model/textfunctions.h"

#include <optional>

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

FieldValues LayoutFormat::decode(const QStringList &list) const
{
    FieldValues values;
    const int n = applicableLength(list.size());
    for (int i = 0; i < n; ++i)
        decodeField(fields.at(i), list.at(i), values);
    return values;
}

FieldValues LayoutFormat::decodeAvailable(const QStringList &list) const
{
    FieldValues values;
    const qsizetype n = qMin(list.size(), fields.size());
    for (qsizetype i = 0; i < n; ++i)
        decodeField(fields.at(i), list.at(i), values);
    return values;
}

QStringList LayoutFormat::encode(const FieldValues &values, int count) const
{
    const int n = count < 0 ? size() : qMin(count, size());
    QStringList list;
    list.reserve(n);
    for (int i = 0; i < n; ++i)
        list << encodeField(fields.at(i), values);
    return list;
}

namespace {

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

std::optional<bool> flagChar(QChar c)
{
    if (c == u'1')
        return true;
    if (c == u'0')
        return false;
    return std::nullopt;
}

} // namespace

void LayoutFormat::decodeField(const FormatField &field, const QString &stored, FieldValues &values)
{
    switch (field.encoding) {
    case FieldEncoding::Text:
    case FieldEncoding::LineText:
        values.insert(field.control, stored);
        return;
    case FieldEncoding::Flag10:
        values.insert(field.control, flag(stored == QLatin1String("1")));
        return;
    case FieldEncoding::FlagJN:
        values.insert(field.control, flag(stored == QLatin1String("J")));
        return;
    case FieldEncoding::FlagUnlessZero:
        values.insert(field.control, flag(stored != QLatin1String("0")));
        return;
    case FieldEncoding::FlagPair: {
        if (stored.size() != 2)
            return;
        const auto first = flagChar(stored.at(0));
        const auto second = flagChar(stored.at(1));
        if (first && second) {
            values.insert(field.control, flag(*first));
            values.insert(field.secondControl, flag(*second));
        }
        return;
    }
    case FieldEncoding::ItemIndex: {
        bool ok = false;
        const int index = stored.trimmed().toInt(&ok);
        values.insert(field.control, QString::number(ok ? index : -1));
        return;
    }
    case FieldEncoding::LogoPosition: {
        bool ok = false;
        const int position = stored.trimmed().toInt(&ok);
        values.insert(field.control,
                      QString::number(ok && position >= 0 && position <= 2 ? position : 1));
        return;
    }
    case FieldEncoding::NumberCm:
        values.insert(field.control, FloatToStr_FSKRT(StrToFloatDef_FSKRT(stored, 0)));
        return;
    }
}

QString LayoutFormat::encodeField(const FormatField &field, const FieldValues &values)
{
    const QString value = values.value(field.control);
    const auto on = [&values](const QString &control) {
        return values.value(control) == QLatin1String("1");
    };
    switch (field.encoding) {
    case FieldEncoding::Text:
    case FieldEncoding::ItemIndex:
    case FieldEncoding::LogoPosition:
        return value;
    case FieldEncoding::LineText:
        return Zeilenumbrueche_entfernen(value);
    case FieldEncoding::Flag10:
    case FieldEncoding::FlagUnlessZero:
        return flag(on(field.control));
    case FieldEncoding::FlagJN:
        return on(field.control) ? QStringLiteral("J") : QStringLiteral("N");
    case FieldEncoding::FlagPair:
        return flag(on(field.control)) + flag(on(field.secondControl));
    case FieldEncoding::NumberCm:
        return FloatToStr_FSKRT(StrToFloatDef_FSKRT(value, 0));
    }
    return value;
}

LineFieldNames lineFieldNames(int line)
{
    const QString n = QString::number(line);
    return {QStringLiteral("edtTxtZeile") + n, QStringLiteral("cmbSchriftArt") + n,
            QStringLiteral("cmbSchriftGroesse") + n, QStringLiteral("cmbSchriftStil") + n,
            QStringLiteral("cmbAusrichtung") + n};
}

QList<FormatField> lineFields(int line)
{
    const LineFieldNames names = lineFieldNames(line);
    return {{names.text, FieldEncoding::LineText},
            {names.font, FieldEncoding::Text},
            {names.size, FieldEncoding::Text},
            {names.style, FieldEncoding::Text},
            {names.alignment, FieldEncoding::Text}};
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
            f.fields << lineFields(i);
            if (flag)
                f.fields << FormatField{QStringLiteral("chbImmer") + QString::number(i),
                                        FieldEncoding::Flag10};
        }
        return f;
    };
    static const LayoutFormat plain = build(false);
    static const LayoutFormat withFlag = build(true);
    return perAccountFlag ? withFlag : plain;
}
