#include "core/store/logostore.h"

#include "core/store/history.h"
#include "core/store/settingslistcodec.h"

std::optional<StoredLogo> LogoStore::load(const LogoKey &key) const
{
    QSqlQuery q = m_store.run(
            QStringLiteral(
                    "SELECT picture, width, height, booking_rnr, booking_lfdnr FROM logos WHERE "
                    "kennung1 = ? AND kennung2 = ? AND logo_name = ? AND fil_rech = ?"),
            {sqlText(key.kennung1), sqlText(key.kennung2), sqlText(key.logoName), key.filRech},
            QStringLiteral("Lesen des Logos %1").arg(key.kennung2));
    if (!q.next())
        return std::nullopt;
    return StoredLogo{q.value(0).toByteArray(),
                      q.value(1).toInt(),
                      q.value(2).toInt(),
                      {q.value(3).toInt(), q.value(4).toInt()}};
}

std::optional<std::pair<LogoKey, StoredLogo>>
LogoStore::loadFirst(const QList<LogoKey> &chain) const
{
    for (const LogoKey &key : chain) {
        if (std::optional<StoredLogo> logo = load(key))
            return std::pair{key, *logo};
    }
    return std::nullopt;
}

QList<LogoKey> Fallback::logo(const LogoKey &key)
{
    QList<LogoKey> chain = {key};
    if (key.filRech != 0) {
        LogoKey templateKey = key;
        templateKey.filRech = 0;
        chain << templateKey;
    }
    return chain;
}

void LogoStore::save(const LogoKey &key, const StoredLogo &logo,
                     const std::optional<RecordVersion> &expected)
{
    m_store.write([&] {
        const std::optional<StoredLogo> stored = load(key);
        const std::optional<QByteArray> before =
                stored ? std::optional<QByteArray>(stored->picture) : std::nullopt;
        History::requireVersion(m_store, logoRef(key), before, expected);
        m_store.run(
                QStringLiteral("INSERT INTO logos (kennung1, kennung2, logo_name, fil_rech, "
                               "picture, width, height, booking_rnr, booking_lfdnr) VALUES (?, ?, "
                               "?, ?, ?, ?, ?, ?, ?) ON CONFLICT (kennung1, kennung2, logo_name, "
                               "fil_rech) DO UPDATE SET picture = excluded.picture, width = "
                               "excluded.width, height = excluded.height, booking_rnr = "
                               "excluded.booking_rnr, booking_lfdnr = excluded.booking_lfdnr"),
                {sqlText(key.kennung1), sqlText(key.kennung2), sqlText(key.logoName), key.filRech,
                 sqlBytes(logo.picture), logo.width, logo.height, logo.stamp.rnr, logo.stamp.lfdnr},
                QStringLiteral("Speichern des Logos %1").arg(key.kennung2));
        History::record(m_store, logoRef(key), before, sqlBytes(logo.picture));
    });
}

bool LogoStore::remove(const LogoKey &key, const std::optional<RecordVersion> &expected)
{
    bool removed = false;
    m_store.write([&] {
        const std::optional<StoredLogo> stored = load(key);
        const std::optional<QByteArray> before =
                stored ? std::optional<QByteArray>(stored->picture) : std::nullopt;
        History::requireVersion(m_store, logoRef(key), before, expected);
        QSqlQuery q = m_store.run(
                QStringLiteral("DELETE FROM logos WHERE kennung1 = ? AND kennung2 = ? AND "
                               "logo_name = ? AND fil_rech = ?"),
                {sqlText(key.kennung1), sqlText(key.kennung2), sqlText(key.logoName), key.filRech},
                QStringLiteral("Löschen des Logos %1").arg(key.kennung2));
        removed = q.numRowsAffected() > 0;
        if (removed)
            History::record(m_store, logoRef(key), before, std::nullopt);
    });
    return removed;
}
