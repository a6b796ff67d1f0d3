#pragma once

#include "core/store/formstore.h"
#include "core/store/layoutstore.h"
#include "core/store/logostore.h"
#include "core/store/store.h"
#include "core/store/storeerror.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariantList>

#include <optional>

// Which record a history row is about.
struct RecordRef
{
    enum class Kind { Layout, Parameter, Preset, Logo };
    Kind kind = Kind::Layout;
    QString name; // Layout: kennung; Parameter: param key; Preset: maske; Logo: kennung1
    int rnr = 0;  // workstation (Preset: 0; Logo: fil_rech)
    QString key;  // Layout: printer key; Preset: index name (see presetRef); Logo: see logoRef;
                  // Parameter: ""
    friend bool operator==(const RecordRef &, const RecordRef &) = default;

    // How the store names the kind ("layout", "parameter", "preset", "logo").
    QString kindName() const;
    static std::optional<Kind> kindFromName(const QString &name);
    // In German, for messages and the audit export: "Layout BONPOS / Rechner 3 / EPSON".
    QString display() const;
};
RecordRef layoutRef(const LayoutKey &key);
RecordRef parameterRef(const QString &paramKey, int rnr);
// A preset of the form store: the mask, and the index name, led by "lokal:" for the presets of
// the tills (the flag set).
RecordRef presetRef(const FormName &form, const QString &indexName, bool flag);
// A logo: kennung1, the workstation, and kennung2 and the logo's name joined by '/'.
RecordRef logoRef(const LogoKey &key);

struct HistoryEntry
{
    qint64 id = 0;
    qint64 changeSet = 0;   // the change set's number; a save of one record has its own
    QString changeSetTitle; // e.g. "Einrichten aus der Vorlage"; empty for a save of one record
    RecordRef record;
    std::optional<QByteArray> before, after; // nullopt: record absent (created / deleted)
    QString user, computer, program;
    QDateTime whenUtc;
};

// Who changed a record when and where, in German: "von anna am Computer kasse1 mit Kassotyp, am
// 09.12.2026 um 18:02:11 (Einrichten aus der Vorlage)".
QString changedByText(const HistoryEntry &entry);

// A save that expected the record as the window loaded it, while another program or window
// had changed it since: nothing was written. Says who changed it, when and where.
class LostUpdateError : public StoreError
{
public:
    LostUpdateError(const RecordRef &record, const std::optional<HistoryEntry> &latest,
                    const std::optional<QByteArray> &stored,
                    const std::optional<QByteArray> &attempted);
    const RecordRef &record() const { return m_record; }
    // The newest history row of the record: who changed it last.
    const std::optional<HistoryEntry> &latest() const { return m_latest; }
    // What the record holds now (none: it was removed).
    const std::optional<QByteArray> &stored() const { return m_stored; }
    // What the save would have written (none: it would have removed the record).
    const std::optional<QByteArray> &attempted() const { return m_attempted; }

private:
    RecordRef m_record;
    std::optional<HistoryEntry> m_latest;
    std::optional<QByteArray> m_stored;
    std::optional<QByteArray> m_attempted;
};

// While it lives, a save that finds the record as the user was shown it after a LostUpdateError
// writes over it: the user chose to overwrite. Changed once more meanwhile, it is refused again.
class OverwriteAccepted
{
public:
    OverwriteAccepted(const RecordRef &record, const std::optional<QByteArray> &stored);
    ~OverwriteAccepted();
    OverwriteAccepted(const OverwriteAccepted &) = delete;
    OverwriteAccepted &operator=(const OverwriteAccepted &) = delete;
    // The version a write of the record expects: the one accepted for overwriting, else
    // `expected`.
    static std::optional<RecordVersion> expectation(const RecordRef &record,
                                                    const std::optional<RecordVersion> &expected);
};

// The history of the records: what every write replaced, kept in the store beside the records.
// Rows are only ever added, in the same transaction as the write they describe.
class History
{
public:
    explicit History(Store &store);
    QList<HistoryEntry> versions(const RecordRef &record) const; // newest first
    // Rows from sinceUtc (inclusive) to untilUtc (exclusive), oldest first; an invalid time does
    // not restrict, nor does rnr when it is nullopt.
    QList<HistoryEntry> between(const QDateTime &sinceUtc, const QDateTime &untilUtc,
                                std::optional<int> rnr) const;
    std::optional<HistoryEntry> latest(const RecordRef &record) const;

    // Adds a row for a write in the transaction running now (inside Store::write()); nothing
    // when before and after are the same.
    static void record(Store &store, const RecordRef &record,
                       const std::optional<QByteArray> &before,
                       const std::optional<QByteArray> &after);
    // The columns of a row that come after the record's own (kind, name, rnr, record_key,
    // value_before, value_after), for statements that write history rows themselves...
    static QString stampColumns();
    // ...and their values: the change set, its title, the author and the time of now.
    static QVariantList stampValues(Store &store);
    // A text column as the bytes of its UTF-8, as a parameter's history row holds its value.
    static QString textAsBytes(const Store &store, const QString &column);
    // Throws LostUpdateError unless the stored bytes are the version the caller expects.
    static void requireVersion(Store &store, const RecordRef &record,
                               const std::optional<QByteArray> &stored,
                               const std::optional<RecordVersion> &expected,
                               const std::optional<QByteArray> &attempted);

private:
    QList<HistoryEntry> read(const QString &where, const QVariantList &values,
                             const QString &order) const;
    Store &m_store;
};

// The writes of one operation (a setup from the template, a copy, an import) as one change set
// with a title: opened inside the operation's Store::write(), closed at its end.
class ChangeSet
{
public:
    ChangeSet(Store &store, const QString &title);
    ~ChangeSet();
    ChangeSet(const ChangeSet &) = delete;
    ChangeSet &operator=(const ChangeSet &) = delete;

private:
    Store &m_store;
    bool m_opened = false; // false: joined a change set opened around it
};
