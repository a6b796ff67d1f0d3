#include "core/sections/recordchange.h"

#include "core/format/deviceformats.h"
#include "core/format/recorddiff.h"
#include "core/sections/sectionregistry.h"
#include "core/store/settingslistcodec.h"

namespace {

bool isList(const RecordRef &record)
{
    return record.kind == RecordRef::Kind::Layout || record.kind == RecordRef::Kind::Preset;
}

QStringList entries(const QByteArray &bytes)
{
    return SettingsListCodec::decode(bytes).entries;
}

QString quoted(const QString &text)
{
    return QStringLiteral("»%1«").arg(text);
}

} // namespace

const LayoutFormat *recordFormat(const RecordRef &record)
{
    if (record.kind != RecordRef::Kind::Layout)
        return nullptr;
    if (record.name.compare(PrinterRecordKennung, Qt::CaseInsensitive) == 0)
        return &printerRecordFormat();
    if (record.name.compare(DisplayRecordKennung, Qt::CaseInsensitive) == 0)
        return &displayRecordFormat();
    if (record.name.compare(QLatin1String("SEITEEIN"), Qt::CaseInsensitive) == 0)
        return &pageSetupFormat();
    if (const SectionInfo *section = SectionRegistry::find(record.name);
        section && section->printer)
        return &section->format();
    return nullptr;
}

QString describeVersion(const RecordRef &record, const std::optional<QByteArray> &bytes)
{
    if (!bytes)
        return QStringLiteral("(nicht vorhanden)");
    if (isList(record))
        return entries(*bytes).join(u'\n');
    if (record.kind == RecordRef::Kind::Parameter)
        return QString::fromUtf8(*bytes);
    return QStringLiteral("Bild, %1 Bytes").arg(bytes->size());
}

QStringList describeChange(const RecordRef &record, const std::optional<QByteArray> &before,
                           const std::optional<QByteArray> &after, const FieldLabeller &labels)
{
    if (!before && !after)
        return {};
    QStringList lines;
    if (!before)
        lines << QStringLiteral("angelegt");
    else if (!after)
        return {QStringLiteral("gelöscht")};
    const QByteArray old = before.value_or(QByteArray());
    if (record.kind == RecordRef::Kind::Parameter) {
        lines << QStringLiteral("%1 → %2").arg(before ? quoted(QString::fromUtf8(old))
                                                      : QStringLiteral("(kein Wert)"),
                                               quoted(QString::fromUtf8(*after)));
        return lines;
    }
    if (record.kind == RecordRef::Kind::Logo) {
        lines << QStringLiteral("Bild: %1 → %2 Bytes").arg(old.size()).arg(after->size());
        return lines;
    }
    const QStringList was = before ? entries(old) : QStringList();
    const QStringList now = entries(*after);
    if (const LayoutFormat *format = recordFormat(record))
        return lines + describeListDifferences(*format, was, now, labels);
    // Without a format: the entries by their place.
    for (qsizetype i = 0; i < qMax(was.size(), now.size()); ++i) {
        const QString a =
                i < was.size() ? quoted(was.at(i)) : QStringLiteral("(nicht gespeichert)");
        const QString b =
                i < now.size() ? quoted(now.at(i)) : QStringLiteral("(nicht gespeichert)");
        if (a != b)
            lines << QStringLiteral("Eintrag %1: %2 → %3").arg(i + 1).arg(a, b);
    }
    return lines;
}
