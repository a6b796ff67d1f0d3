#pragma once

#include "core/store/store.h"

#include <QString>
#include <QStringList>

#include <optional>

struct FormName
{
    QString Sprache = QStringLiteral("DEU");
    QString Programm = QStringLiteral("KASSOTYP");
    QString Maske;
};

// Presets of layouts: one list of texts per form name and index name. The flag separates the
// presets kept for tills (true) from those of the office computers (false).
class TOVOFormStore
{
public:
    explicit TOVOFormStore(Store &store)
        : m_store(store)
    {
    }

    FormName FormName_;
    QStringList LayOutListe;

    void SetMaske(const QString &maske) { FormName_.Maske = maske; }
    // Fills LayOutListe; false (and the list left empty) when nothing is stored.
    bool restore(const QString &indexName, bool flag);
    // Both keep what they replace in the history. With an expected version (by default the one
    // restore() read for the index name) they write only when the stored preset is still that
    // version; else LostUpdateError says who changed it.
    void store(const QString &indexName, bool flag,
               const std::optional<RecordVersion> &expected = std::nullopt);
    bool remove(const QString &indexName, bool flag,
                const std::optional<RecordVersion> &expected = std::nullopt);
    // The stored list as bytes, as a window remembers the version it loaded; none when absent.
    std::optional<QByteArray> storedItems(const QString &indexName, bool flag) const;
    // Index names stored under the current form name, for either flag.
    QStringList GetStoredForms() const;

private:
    std::optional<RecordVersion> restored(const QString &indexName, bool flag) const;
    void remember(const QString &indexName, bool flag, const std::optional<QByteArray> &items);

    Store &m_store;
    struct Restored
    {
        QString maske;
        QString indexName;
        bool flag;
        RecordVersion version;
    };
    QList<Restored> m_restored;
};
