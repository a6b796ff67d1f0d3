#include "core/store/layoutstore.h"

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
                         const std::optional<QString> &filler)
{
    m_store.writeStatement(
            filler ? QStringLiteral("INSERT INTO layout_records (kennung, rnr, printer_key, "
                                    "filler, blob) VALUES (?, ?, ?, ?, ?) ON CONFLICT "
                                    "(rnr, printer_key, kennung) DO UPDATE SET filler = "
                                    "excluded.filler, blob = excluded.blob")
                   : QStringLiteral("INSERT INTO layout_records (kennung, rnr, printer_key, "
                                    "filler, blob) VALUES (?, ?, ?, ?, ?) ON CONFLICT "
                                    "(rnr, printer_key, kennung) DO UPDATE SET blob = "
                                    "excluded.blob"),
            {sqlText(key.kennung), key.rnr, sqlText(key.printerKey),
             sqlText(filler.value_or(QString())), sqlBytes(blob)},
            [&] { return QStringLiteral("Schreiben des Layoutsatzes %1").arg(key.display()); });
}

bool LayoutStore::remove(const LayoutKey &key)
{
    bool removed = false;
    m_store.write([&] {
        QSqlQuery q = m_store.prepare(QStringLiteral(
                "DELETE FROM layout_records WHERE kennung = ? AND rnr = ? AND printer_key = ?"));
        q.addBindValue(sqlText(key.kennung));
        q.addBindValue(key.rnr);
        q.addBindValue(sqlText(key.printerKey));
        Store::exec(q, QStringLiteral("Löschen des Layoutsatzes %1").arg(key.display()));
        removed = q.numRowsAffected() > 0;
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
