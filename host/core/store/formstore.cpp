#include "core/store/formstore.h"

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
    QSqlQuery q = m_store.run(
            QStringLiteral("SELECT items FROM form_store WHERE sprache = ? AND programm = ? AND "
                           "maske = ? AND index_name = ? AND local_scope = ?"),
            presetKey(FormName_, indexName, flag),
            QStringLiteral("Lesen der Vorgabe %1").arg(FormName_.Maske));
    if (!q.next())
        return false;
    const SettingsListCodec::Decoded decoded = SettingsListCodec::decode(q.value(0).toByteArray());
    if (!decoded.clean)
        throw DamagedRecordError(
                QStringLiteral("Die Vorgabe %1 (%2) ist beschädigt und wird nicht verwendet.")
                        .arg(FormName_.Maske, indexName));
    LayOutListe = decoded.entries;
    return true;
}

void TOVOFormStore::store(const QString &indexName, bool flag)
{
    m_store.write([&] {
        m_store.run(QStringLiteral("INSERT INTO form_store (sprache, programm, maske, index_name, "
                                   "local_scope, items) VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT "
                                   "(sprache, programm, maske, index_name, local_scope) DO UPDATE "
                                   "SET items = excluded.items"),
                    presetKey(FormName_, indexName, flag)
                            << SettingsListCodec::encodeUtf8(LayOutListe),
                    QStringLiteral("Speichern der Vorgabe %1").arg(FormName_.Maske));
    });
}

bool TOVOFormStore::remove(const QString &indexName, bool flag)
{
    bool removed = false;
    m_store.write([&] {
        QSqlQuery q = m_store.run(
                QStringLiteral("DELETE FROM form_store WHERE sprache = ? AND programm = ? AND "
                               "maske = ? AND index_name = ? AND local_scope = ?"),
                presetKey(FormName_, indexName, flag),
                QStringLiteral("Löschen der Vorgabe %1").arg(FormName_.Maske));
        removed = q.numRowsAffected() > 0;
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
