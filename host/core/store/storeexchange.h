#pragma once

#include "core/store/history.h"
#include "core/store/store.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

// Exchange files: the records of a store as indented JSON that a person can read and keep in
// version control, and the way back into a store. The same records always give the same bytes:
// records sorted by key, no time stamps. Settings lists appear as lists of texts under the code
// page they are stored in ("utf-8" or "windows-1252"), so that importing writes the very same
// bytes; anything else (pictures, lists that would not come back byte for byte) as base64.
namespace StoreExchange {

constexpr int FormatVersion = 1;

// What an export holds: one workstation's records (and the presets, which belong to none), the
// template workstation's (0), or every table of the store.
enum class Scope { Workstation, Template, All };

// A file that cannot be read as an exchange file; the text says where and what, in German.
class FileError : public StoreError
{
public:
    using StoreError::StoreError;
};

struct Export
{
    QByteArray json;
    int records = 0;
};

// Reads the records of the scope (workstation counts for Scope::Workstation only), all from
// one snapshot of the store; with the history rows of the scope when asked for.
Export exportStore(Store &store, Scope scope, int workstation, bool withHistory = false);

// Every table of the store with its number of records.
QList<std::pair<QString, qint64>> recordCounts(Store &store);

// One record of a file, checked and ready to be written.
struct Record
{
    QString table;
    QString key; // for messages: the key columns' values, "0 / TM-T88 / BONPOS"
    QVariantList values;
};

struct File
{
    QList<Record> records;
    QList<HistoryEntry> history; // kept as they are, after the store's own
};

// Checks the whole file before anything is written; throws FileError naming the place of the
// first fault (line of broken JSON, table and record number of a wrong value).
File parse(const QByteArray &json);

// What an import would do to the store, record by record.
struct Plan
{
    enum class Change { Add, Overwrite, Same };
    struct Item
    {
        const Record *record;
        Change change;
    };
    QList<Item> items;
    // Things to know before writing: workstations the records name that the table lacks, a
    // store left without workstations.
    QStringList hints;

    int count(Change change) const;
};

Plan plan(Store &store, const File &file);

// Writes every record of the file in one transaction: all of them or (StoreError) none. The
// history keeps the file's history rows and what the import replaced, as one change set.
void write(Store &store, const File &file);

} // namespace StoreExchange
