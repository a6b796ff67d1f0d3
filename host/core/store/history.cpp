#include "core/store/history.h"

#include <QLocale>

namespace {

struct KindName
{
    RecordRef::Kind kind;
    const char *name;
};
constexpr KindName kindNames[] = {
        {RecordRef::Kind::Layout, "layout"},
        {RecordRef::Kind::Parameter, "parameter"},
        {RecordRef::Kind::Preset, "preset"},
        {RecordRef::Kind::Logo, "logo"},
};

const QString LocalPresetPrefix = QStringLiteral("lokal:");

QVariant bytesOrNull(const std::optional<QByteArray> &bytes)
{
    return bytes ? QVariant(sqlBytes(*bytes)) : QVariant(QMetaType(QMetaType::QByteArray));
}

std::optional<QByteArray> bytesOf(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    return value.toByteArray();
}

QString nowUtc()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

QString timeText(const QDateTime &when)
{
    return when.toUTC().toString(Qt::ISODateWithMs);
}

} // namespace

QString RecordRef::kindName() const
{
    for (const KindName &k : kindNames) {
        if (k.kind == kind)
            return QLatin1String(k.name);
    }
    return {};
}

std::optional<RecordRef::Kind> RecordRef::kindFromName(const QString &name)
{
    for (const KindName &k : kindNames) {
        if (name == QLatin1String(k.name))
            return k.kind;
    }
    return std::nullopt;
}

QString RecordRef::display() const
{
    switch (kind) {
    case Kind::Layout:
        return QStringLiteral("Layout %1 / Rechner %2 / %3").arg(name).arg(rnr).arg(key);
    case Kind::Parameter:
        return rnr < 0 ? QStringLiteral("Parameter %1").arg(name)
                       : QStringLiteral("Parameter %1 / Rechner %2").arg(name).arg(rnr);
    case Kind::Preset:
        return QStringLiteral("Vorgabe %1 / %2").arg(name, key);
    case Kind::Logo:
        return QStringLiteral("Logo %1 / %2 / Rechner %3").arg(name, key).arg(rnr);
    }
    return name;
}

RecordRef layoutRef(const LayoutKey &key)
{
    return {RecordRef::Kind::Layout, key.kennung, key.rnr, key.printerKey};
}

RecordRef parameterRef(const QString &paramKey, int rnr)
{
    return {RecordRef::Kind::Parameter, paramKey, rnr, QString()};
}

RecordRef presetRef(const FormName &form, const QString &indexName, bool flag)
{
    return {RecordRef::Kind::Preset, form.Maske, 0,
            flag ? LocalPresetPrefix + indexName : indexName};
}

RecordRef logoRef(const LogoKey &key)
{
    return {RecordRef::Kind::Logo, key.kennung1, key.filRech, key.kennung2 + u'/' + key.logoName};
}

QString changedByText(const HistoryEntry &entry)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    QString text = QStringLiteral("von %1 am Computer %2 mit %3, am %4")
                           .arg(entry.user.isEmpty() ? QStringLiteral("unbekannt") : entry.user,
                                entry.computer, entry.program,
                                german.toString(entry.whenUtc.toLocalTime(),
                                                QStringLiteral("dd.MM.yyyy 'um' HH:mm:ss")));
    if (!entry.changeSetTitle.isEmpty())
        text += QStringLiteral(" (%1)").arg(entry.changeSetTitle);
    return text;
}

static QString lostUpdateText(const RecordRef &record, const std::optional<HistoryEntry> &latest,
                              const std::optional<QByteArray> &stored)
{
    QString text = QStringLiteral("%1 wurde seit dem Laden in diesem Fenster geändert")
                           .arg(record.display());
    if (latest)
        text += QStringLiteral(": ") + changedByText(*latest);
    if (!stored)
        text += QStringLiteral("; inzwischen ist der Satz gelöscht");
    return text + QStringLiteral(". Es wurde nichts gespeichert.");
}

LostUpdateError::LostUpdateError(const RecordRef &record, const std::optional<HistoryEntry> &latest,
                                 const std::optional<QByteArray> &stored,
                                 const std::optional<QByteArray> &attempted)
    : StoreError(lostUpdateText(record, latest, stored))
    , m_record(record)
    , m_latest(latest)
    , m_stored(stored)
    , m_attempted(attempted)
{
}

namespace {
thread_local QList<std::pair<RecordRef, RecordVersion>> overwriteAccepted;
}

OverwriteAccepted::OverwriteAccepted(const RecordRef &record,
                                     const std::optional<QByteArray> &stored)
{
    overwriteAccepted.append({record, RecordVersion{stored}});
}

OverwriteAccepted::~OverwriteAccepted()
{
    overwriteAccepted.removeLast();
}

std::optional<RecordVersion>
OverwriteAccepted::expectation(const RecordRef &record,
                               const std::optional<RecordVersion> &expected)
{
    for (const auto &[accepted, version] : overwriteAccepted) {
        if (accepted == record)
            return version;
    }
    return expected;
}

History::History(Store &store)
    : m_store(store)
{
}

QList<HistoryEntry> History::read(const QString &where, const QVariantList &values,
                                  const QString &order) const
{
    QSqlQuery q = m_store.run(
            QStringLiteral("SELECT id, change_set, title, kind, name, rnr, record_key, "
                           "value_before, value_after, user_name, computer, program, when_utc "
                           "FROM record_history WHERE ")
                    + where + QStringLiteral(" ORDER BY ") + order,
            values, QStringLiteral("Lesen des Verlaufs"));
    QList<HistoryEntry> entries;
    while (q.next()) {
        HistoryEntry e;
        e.id = q.value(0).toLongLong();
        e.changeSet = q.value(1).toLongLong() == 0 ? e.id : q.value(1).toLongLong();
        e.changeSetTitle = q.value(2).toString();
        e.record = {
                RecordRef::kindFromName(q.value(3).toString()).value_or(RecordRef::Kind::Layout),
                q.value(4).toString(), q.value(5).toInt(), q.value(6).toString()};
        e.before = bytesOf(q.value(7));
        e.after = bytesOf(q.value(8));
        e.user = q.value(9).toString();
        e.computer = q.value(10).toString();
        e.program = q.value(11).toString();
        e.whenUtc = QDateTime::fromString(q.value(12).toString(), Qt::ISODateWithMs);
        e.whenUtc = e.whenUtc.toUTC();
        entries.append(e);
    }
    return entries;
}

QList<HistoryEntry> History::versions(const RecordRef &record) const
{
    return read(QStringLiteral("kind = ? AND name = ? AND rnr = ? AND record_key = ?"),
                {record.kindName(), sqlText(record.name), record.rnr, sqlText(record.key)},
                QStringLiteral("id DESC"));
}

std::optional<HistoryEntry> History::latest(const RecordRef &record) const
{
    const QList<HistoryEntry> entries =
            read(QStringLiteral("kind = ? AND name = ? AND rnr = ? AND record_key = ? AND id = "
                                "(SELECT max(id) FROM record_history WHERE kind = ? AND name = ? "
                                "AND rnr = ? AND record_key = ?)"),
                 {record.kindName(), sqlText(record.name), record.rnr, sqlText(record.key),
                  record.kindName(), sqlText(record.name), record.rnr, sqlText(record.key)},
                 QStringLiteral("id"));
    if (entries.isEmpty())
        return std::nullopt;
    return entries.constFirst();
}

QList<HistoryEntry> History::between(const QDateTime &sinceUtc, const QDateTime &untilUtc,
                                     std::optional<int> rnr) const
{
    QString where = QStringLiteral("1 = 1");
    QVariantList values;
    if (sinceUtc.isValid()) {
        where += QStringLiteral(" AND when_utc >= ?");
        values << timeText(sinceUtc);
    }
    if (untilUtc.isValid()) {
        where += QStringLiteral(" AND when_utc < ?");
        values << timeText(untilUtc);
    }
    if (rnr) {
        where += QStringLiteral(" AND rnr = ? AND kind <> 'preset'");
        values << *rnr;
    }
    // In the order of the time index: a period of a store of millions of rows reads only its
    // own rows (rows of one millisecond by their order of writing).
    return read(where, values, QStringLiteral("when_utc, id"));
}

QString History::stampColumns()
{
    return QStringLiteral("change_set, title, user_name, computer, program, when_utc");
}

QVariantList History::stampValues(Store &store)
{
    qint64 changeSet = 0;
    QString title;
    if (std::optional<Store::OpenChangeSet> &open = store.openChangeSet()) {
        // A change set's number is one no row has yet: every row written later has a larger one,
        // so that no save of one record ever takes it as its own.
        if (open->id == 0) {
            QSqlQuery q = store.run(QStringLiteral("SELECT coalesce(max(id), 0) + 1 FROM "
                                                   "record_history"),
                                    {}, QStringLiteral("Anlegen eines Änderungssatzes"));
            open->id = q.next() ? q.value(0).toLongLong() : 1;
        }
        changeSet = open->id;
        title = open->title;
    }
    const Store::Author &author = store.author();
    return {changeSet,
            sqlText(title),
            sqlText(author.user),
            sqlText(author.computer),
            sqlText(author.program),
            nowUtc()};
}

void History::record(Store &store, const RecordRef &record, const std::optional<QByteArray> &before,
                     const std::optional<QByteArray> &after)
{
    if (before == after)
        return;
    QSqlQuery &q = store.prepareReused(
            QStringLiteral("INSERT INTO record_history (kind, name, rnr, record_key, "
                           "value_before, value_after, ")
            + stampColumns() + QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const QVariant &v :
         QVariantList{record.kindName(), sqlText(record.name), record.rnr, sqlText(record.key),
                      bytesOrNull(before), bytesOrNull(after)}
                 + stampValues(store))
        q.addBindValue(v);
    Store::exec(q, [&] {
        return QStringLiteral("Schreiben des Verlaufs von %1").arg(record.display());
    });
}

QString History::textAsBytes(const Store &store, const QString &column)
{
    // PostgreSQL would read backslashes of the text as escapes.
    return store.isSqlite() ? QStringLiteral("CAST(%1 AS BLOB)").arg(column)
                            : QStringLiteral("convert_to(%1, 'UTF8')").arg(column);
}

void History::requireVersion(Store &store, const RecordRef &record,
                             const std::optional<QByteArray> &stored,
                             const std::optional<RecordVersion> &expected,
                             const std::optional<QByteArray> &attempted)
{
    const std::optional<RecordVersion> wanted = OverwriteAccepted::expectation(record, expected);
    if (!wanted || wanted->bytes == stored)
        return;
    throw LostUpdateError(record, History(store).latest(record), stored, attempted);
}

ChangeSet::ChangeSet(Store &store, const QString &title)
    : m_store(store)
    , m_opened(!store.openChangeSet())
{
    if (m_opened)
        m_store.openChangeSet() = Store::OpenChangeSet{title, 0};
}

ChangeSet::~ChangeSet()
{
    if (m_opened)
        m_store.openChangeSet().reset();
}
