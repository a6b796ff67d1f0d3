#pragma once

#include "core/store/store.h"

#include <QString>

#include <optional>

// Per-workstation parameters of the installation: short capitalised keys with a text value.
// Parameters read "by name" belong to no workstation.
class OVOParameter
{
public:
    explicit OVOParameter(Store &store)
        : m_store(store)
    {
    }

    QString StringParamRead(const QString &key, int rnr, bool flag = false) const;
    void StringParamWrite(const QString &key, const QString &value, int rnr);
    bool GetBooleanValueByName(const QString &key) const;
    void SetBooleanValueByName(const QString &key, bool value);
    // "J"/"1"/"true" is yes, "N"/"0"/"false" no; anything else (or nothing stored) unknown.
    std::optional<bool> GetBoolean3(const QString &key, int rnr) const;

private:
    std::optional<QString> read(const QString &key, int rnr) const;
    Store &m_store;
};
