#pragma once

#include "core/store/booking.h"
#include "core/store/store.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

struct LogoKey
{
    QString kennung1;
    QString kennung2;
    QString logoName;
    int filRech = 0;

    friend bool operator==(const LogoKey &, const LogoKey &) = default;
};

namespace Fallback {
// A logo: the workstation's own, then the template workstation's, as the section's layout
// falls back to the template.
QList<LogoKey> logo(const LogoKey &key);
} // namespace Fallback

struct StoredLogo
{
    QByteArray picture; // PNG
    int width = 0;
    int height = 0;
    BookingIdentity stamp;
};

// Logo pictures keyed by program key, section identifier, logo name and workstation.
class LogoStore
{
public:
    explicit LogoStore(Store &store)
        : m_store(store)
    {
    }
    std::optional<StoredLogo> load(const LogoKey &key) const;
    // The first key of a chain that has a logo, with the logo.
    std::optional<std::pair<LogoKey, StoredLogo>> loadFirst(const QList<LogoKey> &chain) const;
    // Both keep the picture they replace in the history; with an expected version they write
    // only when the stored picture is still that one (else LostUpdateError).
    void save(const LogoKey &key, const StoredLogo &logo,
              const std::optional<RecordVersion> &expected = std::nullopt);
    bool remove(const LogoKey &key, const std::optional<RecordVersion> &expected = std::nullopt);

private:
    Store &m_store;
};

// A picture kept in a printer's memory: the key it prints by and the hash of the picture as it
// prints there (its dots), so that a changed logo is never taken for the one the printer holds.
struct HeldPicture
{
    QString logoKey;
    QString pictureHash;
    int width = 0; // dots
    int height = 0;
};

// Which pictures the printer of a workstation (under its printer key, at its device) holds.
class PrinterLogoStore
{
public:
    explicit PrinterLogoStore(Store &store)
        : m_store(store)
    {
    }
    QList<HeldPicture> held(int rnr, const QString &printerKey, const QString &device) const;
    // After the printer took the pictures: they replace whatever was recorded for it.
    void replace(int rnr, const QString &printerKey, const QString &device,
                 const QList<HeldPicture> &pictures);

private:
    Store &m_store;
};
