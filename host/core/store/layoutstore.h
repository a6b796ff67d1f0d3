#pragma once

#include "core/store/store.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

struct LayoutKey
{
    QString kennung;    // section identifier, e.g. "BONPOS"
    int rnr = 0;        // workstation number; 0 is the template workstation
    QString printerKey; // printer preset name, "AKTIV", "DISPLAY", ...

    QString display() const;
    friend bool operator==(const LayoutKey &, const LayoutKey &) = default;
};

// The printer key of the dummy printer, under which the template keeps the records a
// workstation without a printer of its own falls back to.
inline const QString DummyPrinterKey = QStringLiteral("TEST");

// The printer key template records are kept under: the printer's, or the dummy printer's when
// no printer is set up.
QString templatePrinterKey(const QString &printerKey);

// Where a record is looked for, first to last.
namespace Fallback {
// A section's layout: the workstation's own, then the template workstation's under the printer
// key (or the dummy printer's).
QList<LayoutKey> section(const QString &kennung, int rnr, const QString &printerKey);
// A device record: the workstation's own, the template's under the same key, then (unless
// withDummy is false) the template's under the dummy printer.
QList<LayoutKey> device(const QString &kennung, int rnr, const QString &printerKey,
                        bool withDummy = true);
// A page setup: the workstation's and the template's, under the printer key (or the dummy's).
QList<LayoutKey> pageSetup(int rnr, const QString &printerKey);
} // namespace Fallback

struct LayoutRecord
{
    LayoutKey key;
    QString filler; // "Default"/"AutoWert" for records made by a setup, else empty
    QByteArray blob;
};

// Restricts a walk over the layout records; empty parts do not restrict.
struct LayoutFilter
{
    std::optional<int> rnrMin;
    std::optional<int> rnrMax;
    std::optional<QString> printerKey;
};

// The table of layout records. Reads never change anything; every write is one atomic upsert
// inside one transaction, so concurrent writers of the same key end with one whole record.
class LayoutStore
{
public:
    explicit LayoutStore(Store &store)
        : m_store(store)
    {
    }

    std::optional<LayoutRecord> find(const LayoutKey &key) const;
    // Inserts the record or replaces its blob, keeping what it replaced in the history. The
    // filler is replaced only when given. With an expected version, the record is written only
    // when it is still that version; else nothing is and LostUpdateError says who changed it.
    void upsert(const LayoutKey &key, const QByteArray &blob,
                const std::optional<QString> &filler = std::nullopt,
                const std::optional<RecordVersion> &expected = std::nullopt);
    bool remove(const LayoutKey &key, const std::optional<RecordVersion> &expected = std::nullopt);
    // Keys and fillers of the matching records in key order; blobs are not loaded.
    QList<LayoutRecord> keys(const LayoutFilter &filter) const;
    // The matching records with their blobs, in key order, read in one statement.
    QList<LayoutRecord> records(const LayoutFilter &filter) const;
    qint64 count() const;

    // The settings list of a record; throws DamagedRecordError when its text is damaged.
    std::optional<QStringList> readList(const LayoutKey &key) const;
    void writeList(const LayoutKey &key, const QStringList &entries);

    // The first key of a chain that has a record, with its settings list.
    std::optional<std::pair<LayoutKey, QStringList>> readFirst(const QList<LayoutKey> &chain) const;

    Store &store() const { return m_store; }

private:
    void upsertInOneStatement(const LayoutKey &key, const QByteArray &blob,
                              const std::optional<QString> &filler,
                              const std::optional<RecordVersion> &expected);
    QList<LayoutRecord> walk(const LayoutFilter &filter, bool withBlobs) const;

    Store &m_store;
};

// Decodes a stored blob, throwing DamagedRecordError (naming the key) when it is not clean.
QStringList decodeSettingsList(const LayoutKey &key, const QByteArray &blob);
