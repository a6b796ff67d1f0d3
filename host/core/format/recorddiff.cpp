#include "core/format/recorddiff.h"

#include "core/format/deviceformats.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("RecordDifferences", text);
}

// The entries of a text line by the prefix of their control's name.
struct LinePart
{
    const char *prefix;
    const char *caption; // empty: the line itself
};
constexpr LinePart LineParts[] = {
        {"edtTxtZeile", ""},
        {"memText", ""},
        {"cmbSchriftArt", QT_TRANSLATE_NOOP("RecordDifferences", "Schriftart")},
        {"cmbSchriftGroesse", QT_TRANSLATE_NOOP("RecordDifferences", "Schriftgröße")},
        {"cmbSchriftStil", QT_TRANSLATE_NOOP("RecordDifferences", "Stil")},
        {"cmbAusrichtung", QT_TRANSLATE_NOOP("RecordDifferences", "Ausrichtung")},
};

std::optional<QString> lineLabel(const QString &control)
{
    static const QRegularExpression numbered(QStringLiteral("^([A-Za-z]+?)(\\d+)$"));
    const QRegularExpressionMatch match = numbered.match(control);
    if (!match.hasMatch())
        return std::nullopt;
    const QString line = tr("Zeile %1").arg(match.captured(2));
    for (const LinePart &part : LineParts) {
        if (match.captured(1) != QLatin1String(part.prefix))
            continue;
        return *part.caption ? line + QStringLiteral(", ") + tr(part.caption) : line;
    }
    return std::nullopt;
}

std::optional<QString> printerLabel(const QString &control)
{
    for (const PrinterFunction &function : printerFunctions()) {
        const QString suffix = QString::fromLatin1(function.suffix);
        const QString caption = QCoreApplication::translate("TfrmAllgTreiber", function.caption);
        if (control == QStringLiteral("edtCtrl") + suffix)
            return tr("%1, Zeichen im Controlfont").arg(caption);
        if (control == PrinterRecord::sequence(function.suffix))
            return tr("%1, Bytefolge").arg(caption);
    }
    for (int font = 1; font <= 4; ++font) {
        if (control == PrinterRecord::fontName(font))
            return tr("%1. Druckerschriftart").arg(font);
        if (control == PrinterRecord::fontCode(font))
            return tr("%1. Druckerschriftart, ESC-Code").arg(font);
        if (control == QStringLiteral("edtGross") + QString::number(font))
            return tr("%1. Druckerschriftart, zweiter ESC-Code").arg(font);
    }
    return std::nullopt;
}

QStringList logoPositions()
{
    return {tr("links"), tr("mitte"), tr("rechts")};
}

} // namespace

FieldLabel standardFieldLabel(const QString &control)
{
    if (const std::optional<QString> line = lineLabel(control))
        return {*line, {}};
    if (const std::optional<QString> printer = printerLabel(control))
        return {*printer, {}};
    static const QMap<QString, const char *> named = {
            {QStringLiteral("edtTextAnzahlZeilen"),
             QT_TRANSLATE_NOOP("RecordDifferences", "Anzahl Zeilen")},
            {QStringLiteral("chbLogo"), QT_TRANSLATE_NOOP("RecordDifferences", "Logo")},
            {QStringLiteral("lblLogoName"), QT_TRANSLATE_NOOP("RecordDifferences", "Logo, Bild")},
            {QStringLiteral("edtLogoBreite"),
             QT_TRANSLATE_NOOP("RecordDifferences", "Logo, Breite")},
            {QStringLiteral("edtLogoHoehe"), QT_TRANSLATE_NOOP("RecordDifferences", "Logo, Höhe")},
            {QStringLiteral("rgpLogoPosition"),
             QT_TRANSLATE_NOOP("RecordDifferences", "Logo, Position")},
    };
    const auto it = named.constFind(control);
    if (it == named.cend())
        return {};
    return {tr(it.value()),
            control == QLatin1String("rgpLogoPosition") ? logoPositions() : QStringList()};
}

QString describeValue(const FormatField &field, const std::optional<QString> &value,
                      const FieldLabel &label)
{
    if (!value)
        return tr("(nicht gespeichert)");
    switch (field.encoding) {
    case FieldEncoding::Flag10:
    case FieldEncoding::FlagJN:
    case FieldEncoding::FlagUnlessZero:
    case FieldEncoding::FlagPair:
        return *value == QLatin1String("1") ? tr("an") : tr("aus");
    case FieldEncoding::ItemIndex:
    case FieldEncoding::LogoPosition: {
        const int index = value->toInt();
        const QStringList items =
                label.items.isEmpty() && field.encoding == FieldEncoding::LogoPosition
                        ? logoPositions()
                        : label.items;
        if (index < 0)
            return tr("(keine Auswahl)");
        // A window without the item list still names the choice, counted as the user counts.
        return index < items.size() ? items.at(index) : tr("Auswahl %1").arg(index + 1);
    }
    case FieldEncoding::NumberCm:
        return tr("%1 cm").arg(*value);
    case FieldEncoding::LineText:
        return value->isEmpty() ? tr("(leer)") : QStringLiteral("»%1«").arg(*value);
    case FieldEncoding::Text:
        break;
    }
    return value->isEmpty() ? tr("(leer)") : *value;
}

QStringList describeDifferences(const LayoutFormat &format, const FieldValues &before,
                                const FieldValues &after, const FieldLabeller &labels)
{
    const auto valueOf = [](const FieldValues &values,
                            const QString &control) -> std::optional<QString> {
        const auto it = values.constFind(control);
        return it == values.cend() ? std::nullopt : std::optional<QString>(it.value());
    };
    QStringList lines;
    for (const FormatField &field : format.fields) {
        QStringList controls{field.control};
        if (field.encoding == FieldEncoding::FlagPair)
            controls << field.secondControl;
        for (const QString &control : std::as_const(controls)) {
            const std::optional<QString> was = valueOf(before, control);
            const std::optional<QString> is = valueOf(after, control);
            if (was == is)
                continue;
            FieldLabel label = labels ? labels(control) : standardFieldLabel(control);
            if (label.caption.isEmpty())
                label.caption = control;
            lines << QStringLiteral("%1: %2 → %3")
                             .arg(label.caption, describeValue(field, was, label),
                                  describeValue(field, is, label));
        }
    }
    return lines;
}

QStringList describeListDifferences(const LayoutFormat &format, const QStringList &before,
                                    const QStringList &after, const FieldLabeller &labels)
{
    return describeDifferences(format, format.decodeAvailable(before),
                               format.decodeAvailable(after), labels);
}
