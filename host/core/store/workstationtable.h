#pragma once

#include "core/store/store.h"

#include <QList>
#include <QString>

struct TRVRInfoUmfang
{
    int RNr = 0;
    int RTyp = 0;
    QString name;
};

// The installation's workstation table.
class RVRTab
{
public:
    explicit RVRTab(Store &store)
        : m_store(store)
    {
    }

    int GetUmfangCount();
    TRVRInfoUmfang GetUmfang(int index) const;
    // The entry of workstation rnr; RTyp 0 when the table does not hold it.
    TRVRInfoUmfang GetRNrUmfang(int rnr) const;
    // How every window names a workstation: "Rechner 3 Kasse 1" ("Rechner 3" without a name).
    static QString displayName(const TRVRInfoUmfang &entry);
    void put(const TRVRInfoUmfang &entry);
    bool remove(int rnr);
    QList<TRVRInfoUmfang> all() const;

private:
    Store &m_store;
    QList<TRVRInfoUmfang> m_entries;
};
