#pragma once

#include "core/store/booking.h"
#include "core/store/store.h"

#include <QByteArray>
#include <QString>

#include <optional>

struct LogoKey
{
    QString kennung1;
    QString kennung2;
    QString logoName;
    int filRech = 0;
};

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
    void save(const LogoKey &key, const StoredLogo &logo);
    bool remove(const LogoKey &key);

private:
    Store &m_store;
};
