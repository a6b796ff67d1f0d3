#pragma once

#include "core/store/kastfile.h"

#include <QList>
#include <QStringList>

// How a window reaches its records: the record-store call sequence (clear the key, set its
// three values, find) for each key of a fallback chain in turn, and a save under one key.
class RecordBinding
{
public:
    explicit RecordBinding(Tkastfile &file)
        : m_file(file)
    {
    }

    // Makes the first record of the chain that exists current; false when none does.
    bool find(const QList<LayoutKey> &chain);
    bool find(const LayoutKey &key) { return find(QList<LayoutKey>{key}); }
    // The current record's settings list and key (after a successful find).
    QStringList list() const { return m_file.ReadSettingsList(); }
    LayoutKey key() const { return m_file.currentKey(); }
    // Writes the list as the record of the key, updating or inserting it; a given filler
    // replaces the record's.
    void book(const LayoutKey &key, const QStringList &list,
              const std::optional<QString> &filler = std::nullopt);

private:
    void setKey(const LayoutKey &key);

    Tkastfile &m_file;
};
