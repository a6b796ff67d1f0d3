#include "core/store/formstore.h"

#include "core/store/history.h"
#include "core/store/settingslistcodec.h"

namespace {

// The key columns of a stored preset, in the order of the form store's key.
QVariantList presetKey(const FormName &form, const QString &indexName, bool flag)
{
    return {sqlText(form.Sprache), sqlText(form.Programm), sqlText(form.Maske), sqlText(indexName),
            flag ? 1 : 0};
}

} // namespace

bool TOVOFormStore::restore(const QString &indexName, bool flag)
{
    LayOutListe.clear();
    const std::optional<QByteArray> items = storedItems(indexName, flag);
    remember(indexName, flag, items);
    if (!items)
        return false;
    const SettingsListCodec::Decoded decoded = SettingsListCodec::decode(*items);
    if (!decoded.clean)
        throw DamagedRecordError(
                QStringLiteral("Die Vorgabe %1 (%2) ist beschädigt und wird nicht verwendet.")
                        .arg(FormName_.Maske, indexName));
    LayOutListe = decoded.entries;
    return true;
}

std::optional<QByteArray> TOVOFormStore::storedItems(const QString &indexName, bool flag) const
{
    QSqlQuery q = m_store.run(
            QStringLiteral("SELECT items FROM form_store WHERE sprache = ? AND programm = ? AND "
                           "maske = ? AND index_name = ? AND local_scope = ?"),
            presetKey(FormName_, indexName, flag),
            QStringLiteral("Lesen der Vorgabe %1").arg(FormName_.Maske));
    if (!q.next())
        return std::nullopt;
    return q.value(0).toByteArray();
}

std::optional<RecordVersion> TOVOFormStore::restored(const QString &indexName, bool flag) const
{
    for (const Restored &r : m_restored) {
        if (r.maske == FormName_.Maske && r.indexName == indexName && r.flag == flag)
            return r.version;
    }
    return std::nullopt;
}

void TOVOFormStore::remember(const QString &indexName, bool flag,
                             const std::optional<QByteArray> &items)
{
    m_restored.removeIf([&](const Restored &r) {
        return r.maske == FormName_.Maske && r.indexName == indexName && r.flag == flag;
    });
    m_restored.append({FormName_.Maske, indexName, flag, RecordVersion{items}});
}

void TOVOFormStore::store(const QString &indexName, bool flag,
                          const std::optional<RecordVersion> &expected)
{
    const RecordRef ref = presetRef(FormName_, indexName, flag);
    const QByteArray items = SettingsListCodec::encodeUtf8(LayOutListe);
    m_store.write([&] {
        const std::optional<QByteArray> before = storedItems(indexName, flag);
        History::requireVersion(m_store, ref, before,
                                expected ? expected : restored(indexName, flag), items);
        m_store.run(QStringLiteral("INSERT INTO form_store (sprache, programm, maske, index_name, "
                                   "local_scope, items) VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT "
                                   "(sprache, programm, maske, index_name, local_scope) DO UPDATE "
                                   "SET items = excluded.items"),
                    presetKey(FormName_, indexName, flag) << items,
                    QStringLiteral("Speichern der Vorgabe %1").arg(FormName_.Maske));
        History::record(m_store, ref, before, items);
    });
    if (restored(indexName, flag))
        remember(indexName, flag, items);
}

bool TOVOFormStore::remove(const QString &indexName, bool flag,
                           const std::optional<RecordVersion> &expected)
{
    const RecordRef ref = presetRef(FormName_, indexName, flag);
    bool removed = false;
    m_store.write([&] {
        const std::optional<QByteArray> before = storedItems(indexName, flag);
        History::requireVersion(m_store, ref, before,
                                expected ? expected : restored(indexName, flag), std::nullopt);
        QSqlQuery q = m_store.run(
                QStringLiteral("DELETE FROM form_store WHERE sprache = ? AND programm = ? AND "
                               "maske = ? AND index_name = ? AND local_scope = ?"),
                presetKey(FormName_, indexName, flag),
                QStringLiteral("Löschen der Vorgabe %1").arg(FormName_.Maske));
        removed = q.numRowsAffected() > 0;
        if (removed)
            History::record(m_store, ref, before, std::nullopt);
    });
    return removed;
}

QStringList TOVOFormStore::GetStoredForms() const
{
    QSqlQuery q = m_store.run(
            QStringLiteral("SELECT DISTINCT index_name FROM form_store WHERE sprache = ? AND "
                           "programm = ? AND maske = ? ORDER BY index_name"),
            {sqlText(FormName_.Sprache), sqlText(FormName_.Programm), sqlText(FormName_.Maske)},
            QStringLiteral("Auflisten der Vorgaben %1").arg(FormName_.Maske));
    QStringList names;
    while (q.next())
        names << q.value(0).toString();
    return names;
}
