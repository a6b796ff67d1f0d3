#include "core/app/historyexport.h"

#include "core/sections/recordchange.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

namespace HistoryExport {
namespace {

struct Row
{
    QString key;
    QString caption;
};
const Row Columns[] = {
        {QStringLiteral("id"), QStringLiteral("Nr.")},
        {QStringLiteral("change_set"), QStringLiteral("Änderungssatz")},
        {QStringLiteral("title"), QStringLiteral("Vorgang")},
        {QStringLiteral("when_utc"), QStringLiteral("Zeit (UTC)")},
        {QStringLiteral("when_local"), QStringLiteral("Zeit (Ortszeit)")},
        {QStringLiteral("user"), QStringLiteral("Benutzer")},
        {QStringLiteral("computer"), QStringLiteral("Computer")},
        {QStringLiteral("program"), QStringLiteral("Programm")},
        {QStringLiteral("kind"), QStringLiteral("Art")},
        {QStringLiteral("workstation"), QStringLiteral("Rechner")},
        {QStringLiteral("record"), QStringLiteral("Datensatz")},
        {QStringLiteral("action"), QStringLiteral("Aktion")},
        {QStringLiteral("changes"), QStringLiteral("Änderungen")},
        {QStringLiteral("before"), QStringLiteral("Vorher")},
        {QStringLiteral("after"), QStringLiteral("Nachher")},
};

QString actionText(const HistoryEntry &e)
{
    if (!e.before)
        return QStringLiteral("angelegt");
    if (!e.after)
        return QStringLiteral("gelöscht");
    return QStringLiteral("geändert");
}

QString kindText(RecordRef::Kind kind)
{
    switch (kind) {
    case RecordRef::Kind::Layout:
        return QStringLiteral("Layoutsatz");
    case RecordRef::Kind::Parameter:
        return QStringLiteral("Parameter");
    case RecordRef::Kind::Preset:
        return QStringLiteral("Vorgabe");
    case RecordRef::Kind::Logo:
        return QStringLiteral("Logo");
    }
    return {};
}

QList<QString> values(const HistoryEntry &e)
{
    return {QString::number(e.id),
            QString::number(e.changeSet),
            e.changeSetTitle,
            e.whenUtc.toUTC().toString(Qt::ISODateWithMs),
            e.whenUtc.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
            e.user,
            e.computer,
            e.program,
            kindText(e.record.kind),
            e.record.kind == RecordRef::Kind::Preset ? QString() : QString::number(e.record.rnr),
            e.record.display(),
            actionText(e),
            describeChange(e.record, e.before, e.after).join(u'\n'),
            e.before ? describeVersion(e.record, e.before) : QString(),
            e.after ? describeVersion(e.record, e.after) : QString()};
}

QByteArray csvField(const QString &text)
{
    return '"' + QString(text).replace(u'"', QStringLiteral("\"\"")).toUtf8() + '"';
}

QByteArray csvRow(const QList<QString> &fields)
{
    QByteArrayList quoted;
    for (const QString &f : fields)
        quoted << csvField(f);
    return quoted.join(',') + "\r\n";
}

} // namespace

QByteArray write(const QList<HistoryEntry> &entries, Format format)
{
    if (format == Format::Csv) {
        QList<QString> header;
        for (const Row &c : Columns)
            header << c.caption;
        QByteArray out = csvRow(header);
        for (const HistoryEntry &e : entries)
            out += csvRow(values(e));
        return out;
    }
    QJsonArray rows;
    for (const HistoryEntry &e : entries) {
        const QList<QString> v = values(e);
        QJsonObject row;
        for (qsizetype i = 0; i < v.size(); ++i)
            row.insert(Columns[i].key, v.at(i));
        row.insert(QStringLiteral("id"), e.id);
        row.insert(QStringLiteral("change_set"), e.changeSet);
        if (e.record.kind != RecordRef::Kind::Preset)
            row.insert(QStringLiteral("workstation"), e.record.rnr);
        rows.append(row);
    }
    QJsonObject root;
    root.insert(QStringLiteral("format"), QStringLiteral("kassotyp-history"));
    root.insert(QStringLiteral("version"), 1);
    root.insert(QStringLiteral("entries"), rows);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<QDateTime> parseTime(const QString &text, bool endOfDay)
{
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (date.isValid() && text.size() == 10)
        return QDateTime(endOfDay ? date.addDays(1) : date, QTime(0, 0)).toUTC();
    QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!time.isValid())
        return std::nullopt;
    return time.toUTC();
}

} // namespace HistoryExport
