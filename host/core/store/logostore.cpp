#include "core/store/logostore.h"

#include "core/store/history.h"
#include "core/store/settingslistcodec.h"

#include <QDateTime>

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
        History::requireVersion(m_store, logoRef(key), before, expected, sqlBytes(logo.picture));
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
        History::requireVersion(m_store, logoRef(key), before, expected, std::nullopt);
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

QList<HeldPicture> PrinterLogoStore::held(int rnr, const QString &printerKey,
                                          const QString &device) const
{
    QSqlQuery q = m_store.run(
            QStringLiteral("SELECT logo_key, picture_hash, width, height FROM printer_logos WHERE "
                           "rnr = ? AND printer_key = ? AND device = ? ORDER BY logo_key"),
            {rnr, sqlText(printerKey), sqlText(device)},
            QStringLiteral("Lesen der Logos im Drucker %1").arg(device));
    QList<HeldPicture> pictures;
    while (q.next())
        pictures << HeldPicture{q.value(0).toString(), q.value(1).toString(), q.value(2).toInt(),
                                q.value(3).toInt()};
    return pictures;
}

void PrinterLogoStore::replace(int rnr, const QString &printerKey, const QString &device,
                               const QList<HeldPicture> &pictures)
{
    const QString what = QStringLiteral("Speichern der Logos im Drucker %1").arg(device);
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    m_store.write([&] {
        m_store.run(QStringLiteral("DELETE FROM printer_logos WHERE rnr = ? AND printer_key = ? "
                                   "AND device = ?"),
                    {rnr, sqlText(printerKey), sqlText(device)}, what);
        for (const HeldPicture &p : pictures)
            m_store.run(QStringLiteral("INSERT INTO printer_logos (rnr, printer_key, device, "
                                       "logo_key, picture_hash, width, height, loaded_at) VALUES "
                                       "(?, ?, ?, ?, ?, ?, ?, ?)"),
                        {rnr, sqlText(printerKey), sqlText(device), sqlText(p.logoKey),
                         sqlText(p.pictureHash), p.width, p.height, now},
                        what);
    });
}
