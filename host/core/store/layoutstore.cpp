#include "core/store/layoutstore.h"

#include "core/store/history.h"
#include "core/store/settingslistcodec.h"

QString LayoutKey::display() const
{
    return QStringLiteral("%1 / Rechner %2 / %3").arg(kennung).arg(rnr).arg(printerKey);
}

QStringList decodeSettingsList(const LayoutKey &key, const QByteArray &blob)
{
    SettingsListCodec::Decoded decoded = SettingsListCodec::decode(blob);
    if (!decoded.clean)
        throw DamagedRecordError(
                QStringLiteral("Der Layoutsatz %1 ist beschädigt: er ist als UTF-8 "
                               "gekennzeichnet, enthält aber ungültige Zeichen. Er wird nicht "
                               "verwendet und nicht überschrieben.")
                        .arg(key.display()));
    return decoded.entries;
}

std::optional<LayoutRecord> LayoutStore::find(const LayoutKey &key) const
{
    QSqlQuery &q = m_store.prepareReused(QStringLiteral(
            "SELECT filler, blob FROM layout_records WHERE kennung = ? AND rnr = ? AND "
            "printer_key = ?"));
    q.addBindValue(sqlText(key.kennung));
    q.addBindValue(key.rnr);
    q.addBindValue(sqlText(key.printerKey));
    Store::exec(q, [&] { return QStringLiteral("Lesen des Layoutsatzes %1").arg(key.display()); });
    std::optional<LayoutRecord> record;
    if (q.next())
        record = LayoutRecord{key, q.value(0).toString(), q.value(1).toByteArray()};
    q.finish(); // an unfinished read would keep this connection on an old state of the store
    return record;
}

void LayoutStore::upsert(const LayoutKey &key, const QByteArray &blob,
                         const std::optional<QString> &filler,
                         const std::optional<RecordVersion> &expected)
{
    if (!m_store.isSqlite()) {
        upsertInOneStatement(key, blob, filler, expected);
        return;
    }
    // SQLite is this program's own: three statements in one transaction cost no round trips.
    m_store.write([&] {
        const std::optional<LayoutRecord> stored = find(key);
        const std::optional<QByteArray> before =
                stored ? std::optional<QByteArray>(stored->blob) : std::nullopt;
        History::requireVersion(m_store, layoutRef(key), before, expected, sqlBytes(blob));
        QSqlQuery &q = m_store.prepareReused(
                filler ? QStringLiteral("INSERT INTO layout_records (kennung, rnr, printer_key, "
                                        "filler, blob) VALUES (?, ?, ?, ?, ?) ON CONFLICT "
                                        "(rnr, printer_key, kennung) DO UPDATE SET filler = "
                                        "excluded.filler, blob = excluded.blob")
                       : QStringLiteral("INSERT INTO layout_records (kennung, rnr, printer_key, "
                                        "filler, blob) VALUES (?, ?, ?, ?, ?) ON CONFLICT "
                                        "(rnr, printer_key, kennung) DO UPDATE SET blob = "
                                        "excluded.blob"));
        for (const QVariant &v :
             {QVariant(sqlText(key.kennung)), QVariant(key.rnr), QVariant(sqlText(key.printerKey)),
              QVariant(sqlText(filler.value_or(QString()))), QVariant(sqlBytes(blob))})
            q.addBindValue(v);
        Store::exec(q, [&] {
            return QStringLiteral("Schreiben des Layoutsatzes %1").arg(key.display());
        });
        History::record(m_store, layoutRef(key), before, sqlBytes(blob));
    });
}

void LayoutStore::upsertInOneStatement(const LayoutKey &key, const QByteArray &blob,
                                       const std::optional<QString> &filler,
                                       const std::optional<RecordVersion> &expected)
{
    // On PostgreSQL every statement is a round trip: the record, its check against the expected
    // version and its history row are one statement. "old" is read first (the insert reads it
    // in its FROM, so that the lock the statement takes is held before anything is read and the
    // row is read before the statement changes it), locking the stored row: it is the version
    // the update replaces even when another program changed it after this statement began. The
    // update's own condition looks at the row it updates.
    const QString sql =
            QStringLiteral(
                    "WITH old AS (SELECT blob FROM layout_records WHERE kennung = ? AND rnr = "
                    "CAST(? AS integer) AND printer_key = CAST(? AS text) FOR UPDATE), up AS "
                    "(INSERT INTO layout_records (kennung, rnr, printer_key, filler, blob) SELECT "
                    "CAST(? AS text), CAST(? AS integer), CAST(? AS text), CAST(? AS text), "
                    "CAST(? AS bytea) FROM (SELECT 1) AS one LEFT JOIN old ON true WHERE CAST(? "
                    "AS boolean) OR old.blob IS NOT DISTINCT FROM CAST(? AS bytea) ON CONFLICT "
                    "(rnr, printer_key, kennung) DO "
                    "UPDATE SET %1blob = excluded.blob WHERE CAST(? AS boolean) OR "
                    "layout_records.blob IS NOT DISTINCT FROM CAST(? AS bytea) RETURNING blob), "
                    "history AS (INSERT INTO record_history (kind, name, rnr, record_key, "
                    "value_before, value_after, %2) SELECT 'layout', CAST(? AS text), CAST(? AS "
                    "integer), CAST(? AS text), (SELECT blob FROM old), up.blob, CAST(? AS "
                    "bigint), CAST(? AS text), CAST(? AS text), CAST(? AS text), CAST(? AS "
                    "text), CAST(? AS text) FROM up WHERE (SELECT blob FROM old) IS DISTINCT FROM "
                    "up.blob) SELECT (SELECT count(*) FROM up), (SELECT blob FROM old)")
                    .arg(filler ? QStringLiteral("filler = excluded.filler, ") : QString(),
                         History::stampColumns());
    const std::optional<RecordVersion> wanted =
            OverwriteAccepted::expectation(layoutRef(key), expected);
    const QVariant anyVersion = !wanted.has_value();
    const QVariant expectedBytes = wanted && wanted->bytes
                                           ? QVariant(sqlBytes(*wanted->bytes))
                                           : QVariant(QMetaType(QMetaType::QByteArray));
    const QVariantList keyValues = {sqlText(key.kennung), key.rnr, sqlText(key.printerKey)};
    QVariantList values = keyValues;
    values << keyValues << sqlText(filler.value_or(QString())) << sqlBytes(blob) << anyVersion
           << expectedBytes << anyVersion << expectedBytes << keyValues
           << History::stampValues(m_store);
    QSqlQuery &q = m_store.writeStatement(sql, values, [&] {
        return QStringLiteral("Schreiben des Layoutsatzes %1").arg(key.display());
    });
    const bool written = q.next() && q.value(0).toLongLong() > 0;
    const std::optional<QByteArray> stored =
            q.value(1).isNull() ? std::nullopt
                                : std::optional<QByteArray>(q.value(1).toByteArray());
    q.finish();
    if (!written)
        throw LostUpdateError(layoutRef(key), History(m_store).latest(layoutRef(key)), stored,
                              sqlBytes(blob));
}

bool LayoutStore::remove(const LayoutKey &key, const std::optional<RecordVersion> &expected)
{
    bool removed = false;
    m_store.write([&] {
        const std::optional<LayoutRecord> stored = find(key);
        const std::optional<QByteArray> before =
                stored ? std::optional<QByteArray>(stored->blob) : std::nullopt;
        History::requireVersion(m_store, layoutRef(key), before, expected, std::nullopt);
        QSqlQuery q = m_store.prepare(QStringLiteral(
                "DELETE FROM layout_records WHERE kennung = ? AND rnr = ? AND printer_key = ?"));
        q.addBindValue(sqlText(key.kennung));
        q.addBindValue(key.rnr);
        q.addBindValue(sqlText(key.printerKey));
        Store::exec(q, QStringLiteral("Löschen des Layoutsatzes %1").arg(key.display()));
        removed = q.numRowsAffected() > 0;
        if (removed)
            History::record(m_store, layoutRef(key), before, std::nullopt);
    });
    return removed;
}

QList<LayoutRecord> LayoutStore::keys(const LayoutFilter &filter) const
{
    return walk(filter, false);
}

QList<LayoutRecord> LayoutStore::records(const LayoutFilter &filter) const
{
    return walk(filter, true);
}

QList<LayoutRecord> LayoutStore::walk(const LayoutFilter &filter, bool withBlobs) const
{
    QString sql = withBlobs ? QStringLiteral("SELECT kennung, rnr, printer_key, filler, blob FROM "
                                             "layout_records WHERE 1 = 1")
                            : QStringLiteral("SELECT kennung, rnr, printer_key, filler FROM "
                                             "layout_records WHERE 1 = 1");
    if (filter.rnrMin)
        sql += QStringLiteral(" AND rnr >= ?");
    if (filter.rnrMax)
        sql += QStringLiteral(" AND rnr <= ?");
    if (filter.printerKey)
        sql += QStringLiteral(" AND printer_key = ?");
    sql += QStringLiteral(" ORDER BY kennung, rnr, printer_key");
    QSqlQuery q = m_store.prepare(sql);
    if (filter.rnrMin)
        q.addBindValue(*filter.rnrMin);
    if (filter.rnrMax)
        q.addBindValue(*filter.rnrMax);
    if (filter.printerKey)
        q.addBindValue(sqlText(*filter.printerKey));
    q.setForwardOnly(true);
    Store::exec(q, QStringLiteral("Durchlaufen der Layoutsätze"));
    QList<LayoutRecord> result;
    while (q.next())
        result.append(
                LayoutRecord{{q.value(0).toString(), q.value(1).toInt(), q.value(2).toString()},
                             q.value(3).toString(),
                             withBlobs ? q.value(4).toByteArray() : QByteArray()});
    return result;
}

qint64 LayoutStore::count() const
{
    QSqlQuery q = m_store.prepare(QStringLiteral("SELECT count(*) FROM layout_records"));
    Store::exec(q, QStringLiteral("Zählen der Layoutsätze"));
    return q.next() ? q.value(0).toLongLong() : 0;
}

std::optional<QStringList> LayoutStore::readList(const LayoutKey &key) const
{
    const std::optional<LayoutRecord> record = find(key);
    if (!record)
        return std::nullopt;
    return decodeSettingsList(key, record->blob);
}

void LayoutStore::writeList(const LayoutKey &key, const QStringList &entries)
{
    upsert(key, SettingsListCodec::encodeUtf8(entries));
}

std::optional<std::pair<LayoutKey, QStringList>>
LayoutStore::readFirst(const QList<LayoutKey> &chain) const
{
    for (const LayoutKey &key : chain) {
        if (std::optional<QStringList> list = readList(key))
            return std::pair{key, *list};
    }
    return std::nullopt;
}

QString templatePrinterKey(const QString &printerKey)
{
    return printerKey.isEmpty() ? DummyPrinterKey : printerKey;
}

namespace Fallback {

QList<LayoutKey> section(const QString &kennung, int rnr, const QString &printerKey)
{
    return {{kennung, rnr, printerKey}, {kennung, 0, templatePrinterKey(printerKey)}};
}

QList<LayoutKey> device(const QString &kennung, int rnr, const QString &printerKey, bool withDummy)
{
    QList<LayoutKey> chain = {{kennung, rnr, printerKey}, {kennung, 0, printerKey}};
    if (withDummy)
        chain.append({kennung, 0, DummyPrinterKey});
    return chain;
}

QList<LayoutKey> pageSetup(int rnr, const QString &printerKey)
{
    const QString key = templatePrinterKey(printerKey);
    return {{QStringLiteral("SEITEEIN"), rnr, key}, {QStringLiteral("SEITEEIN"), 0, key}};
}

} // namespace Fallback
