#pragma once

#include "core/store/layoutstore.h"

#include <QBuffer>

#include <memory>
#include <optional>

// The record-store component the windows are written against: a key is cleared, set field by
// field and looked up; a found record is current; blobs are read and written as streams.
// Underneath, every lookup is LayoutStore::find and every write one atomic upsert.
class TStringDatenKeyFeld
{
public:
    void SetKeyWert(const QString &value) { m_key = value; }
    QString GetKeyWert() const { return m_key; }
    void SetWert(const QString &value) { m_value = value; }
    QString GetWert() const { return m_value; }
    // Restricts First/Next to records with this value; an empty optional removes it.
    void SetFilter(const std::optional<QString> &value) { m_filter = value; }
    const std::optional<QString> &filter() const { return m_filter; }
    void clearKey() { m_key.clear(); }

private:
    QString m_key;
    QString m_value;
    std::optional<QString> m_filter;
};

class TIntegerDatenKeyFeld
{
public:
    void SetKeyWert(int value) { m_key = value; }
    int GetKeyWert() const { return m_key; }
    void SetWert(int value) { m_value = value; }
    int GetWert() const { return m_value; }
    void SetFilterMin(int value) { m_min = value; }
    void SetFilterMax(int value) { m_max = value; }
    const std::optional<int> &filterMin() const { return m_min; }
    const std::optional<int> &filterMax() const { return m_max; }
    void clearKey() { m_key = 0; }

private:
    int m_key = 0;
    int m_value = 0;
    std::optional<int> m_min;
    std::optional<int> m_max;
};

enum TWriteMode { wrdonUpdate, wrdonInsert };

class Tkastfile
{
public:
    explicit Tkastfile(Store &store);
    ~Tkastfile();

    Tkastfile(const Tkastfile &) = delete;
    Tkastfile &operator=(const Tkastfile &) = delete;

    TStringDatenKeyFeld Kennung;
    TIntegerDatenKeyFeld RNr;
    TStringDatenKeyFeld Drucker; // printer key
    TStringDatenKeyFeld Filler;  // fourth text field: the setup filler

    void OpenNew(int mode = -1);
    void Close();

    void ClearKey();
    // Looks up the lookup values; on success the record is current and its values are set.
    bool Find();
    // An empty current record; its values are then set one by one or by TakeOverKeyValues.
    void NewRecord();
    void TakeOverKeyValues();

    // Readable stream of the current record's blob; the caller owns it.
    std::unique_ptr<QIODevice> CreateBlobStream() const;
    // Writable stream replacing the current record's blob; written by EndStreamBuchung.
    QIODevice *StartStreamBuchung(TWriteMode mode, bool withLock = false);
    void EndStreamBuchung();

    // Iteration within the filters of RNr, Kennung and Drucker, in key order.
    bool First();
    bool Next();
    bool Found() const { return m_found; }

    // Decoded settings list of the current record (DamagedRecordError when damaged).
    QStringList ReadSettingsList() const;
    // Writes the list into the record of the lookup key, updating or inserting it; a given
    // filler replaces the record's filler, otherwise it stays as it is.
    void BookSettingsList(const QStringList &entries,
                          const std::optional<QString> &filler = std::nullopt);

    LayoutStore &layouts() { return m_layouts; }
    LayoutKey currentKey() const;

    // The version of a record as the window loaded it (its bytes, or none when it was looked
    // for and absent): a later write of that key expects it still there and otherwise writes
    // nothing (LostUpdateError). A key never loaded is written whatever it holds.
    void rememberLoaded(const LayoutKey &key, bool found);
    std::optional<RecordVersion> loadedVersion(const LayoutKey &key) const;

private:
    void requireOpen() const;
    void makeCurrent(const LayoutRecord &record);

    LayoutStore m_layouts;
    bool m_open = false;
    bool m_found = false;
    bool m_hasCurrent = false;
    QByteArray m_currentBlob;
    std::optional<TWriteMode> m_pendingMode;
    std::unique_ptr<QBuffer> m_writeStream;
    QList<LayoutRecord> m_walk;
    qsizetype m_walkPos = -1;
    QList<std::pair<LayoutKey, RecordVersion>> m_loaded;
};
