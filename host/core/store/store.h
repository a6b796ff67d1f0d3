#pragma once

#include "core/base/storelocation.h"
#include "core/store/storeerror.h"

#include <QByteArray>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <functional>
#include <future>
#include <memory>
#include <optional>

// Qt binds a null QString as SQL NULL; texts of this store are never NULL, only empty.
inline QString sqlText(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

inline QByteArray sqlBytes(const QByteArray &bytes)
{
    return bytes.isNull() ? QByteArray("") : bytes;
}

// The version of a record that a window loaded and its save expects to replace: the stored
// bytes, or none when there was no record.
struct RecordVersion
{
    std::optional<QByteArray> bytes;
};

// One open connection to the store, with the schema created or migrated on opening and one
// way to write: every write runs inside write(), one transaction that starts as a write
// transaction, so that two programs on one store never interleave half-written operations.
// The store may change under a running program: an SQLite file removed, replaced or made
// read-only, a PostgreSQL server restarted. Before each outermost write and each read outside a
// write the connection is checked and, where the store is usable again, opened anew.
struct FileCheckState;

class Store
{
public:
    static constexpr int SchemaVersion = 4;

    // ReadWrite creates the schema of an empty store and migrates an older one; ReadExisting
    // (tools that only look) opens only an existing store of this program and never writes.
    enum class Access { ReadWrite, ReadExisting };
    // When the check of an SQLite file starts: with opening, or when beginFileCheck() asks
    // (the designer: once its window is up, so that the check does not slow its start).
    // Every write waits for the check either way, starting it first if need be.
    enum class FileCheck { WithOpening, WhenAsked };

    // Throws StoreError with a text for the user when the store cannot be used.
    static std::unique_ptr<Store> open(const StoreLocation &location,
                                       Access access = Access::ReadWrite,
                                       FileCheck check = FileCheck::WithOpening);
    // Lets a check held back by FileCheck::WhenAsked run from now on.
    void beginFileCheck();
    // True while the file's check is held back or still running; damage() then waits.
    bool fileCheckPending() const;
    ~Store();

    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    const StoreLocation &location() const { return m_location; }
    bool isReadOnly() const { return m_readOnly; }
    // What the file's check found when it is damaged (then the store is only read); empty when
    // it is sound. The check of an existing SQLite file runs beside the program from opening
    // on: this waits for its end. Every write waits for it as well, so nothing is written into
    // a damaged file.
    const QString &damage();
    // What the check has found so far, without waiting: empty while it runs.
    const QString &knownDamage() const { return m_damage; }
    bool isSqlite() const { return m_location.isSqlite(); }
    QSqlDatabase database() const;

    // Runs fn inside one transaction; joins the transaction of an enclosing write(). When the
    // server aborts the transaction because it collided with another program's, the whole
    // transaction runs again: fn must change nothing but the store and its own fresh state.
    void write(const std::function<void()> &fn);
    // One statement that writes on its own and may safely run twice (an upsert): the same as
    // a write() of it, but on PostgreSQL sent in one round trip instead of four (BEGIN, the
    // write lock, the statement, COMMIT), taking the lock within the statement. Its first
    // value must be a text. The statement's query is returned for reading what it returns
    // (before the same statement runs again).
    QSqlQuery &writeStatement(const QString &sql, const QVariantList &values,
                              const std::function<QString()> &describe);
    bool inTransaction() const { return m_transactionDepth > 0; }
    // How many outermost writes this connection has committed; tells a caller whether an
    // operation wrote anything.
    quint64 committedWrites() const { return m_committedWrites; }

    // Who writes through this connection: every record it changes keeps them in its history.
    // By default the login name, this computer and the program's name.
    struct Author
    {
        QString user;
        QString computer;
        QString program;
    };
    void setAuthor(const Author &author) { m_author = author; }
    const Author &author() const { return m_author; }
    // The change set that the history rows written now belong to (see ChangeSet in history.h);
    // none while every save is a change set of its own.
    struct OpenChangeSet
    {
        QString title;
        qint64 id = 0; // 0 until its first row is written
    };
    std::optional<OpenChangeSet> &openChangeSet() { return m_changeSet; }

    QSqlQuery prepare(const QString &sql);
    // The same statement prepared once for the life of the connection, for the statements run
    // thousands of times in a row (looking up and writing one record). The caller binds every
    // value, runs it and finishes reading it before asking for the same statement again.
    QSqlQuery &prepareReused(const QString &sql);
    // Executes a prepared query; throws StoreError naming what was being done.
    static void exec(QSqlQuery &query, const QString &what);
    // Prepares `sql`, binds `values` to its placeholders in order and executes it; the query
    // is returned for reading its rows.
    QSqlQuery run(const QString &sql, const QVariantList &values, const QString &what);
    // The same for the statements run thousands of times: what was being done is only put
    // into words when the statement fails.
    static void exec(QSqlQuery &query, const std::function<QString()> &describe);
    void execSql(const QString &sql, const QString &what);
    // After a write of many records (a setup, a copy to many workstations): SQLite's
    // write-ahead log is emptied into the file and cut back to nothing, instead of keeping its
    // largest size on disk until the last program closes the store. Nothing on PostgreSQL or
    // inside a write.
    void shrinkLog();

    // The store's own consistency check ("ok" when sound): SQLite's check of the file, then on
    // either driver the schema version and every table with its columns and primary key.
    QString integrityCheck();
    int schemaVersion();

private:
    // What decides whether an SQLite file is still the one this connection writes into.
    struct FileState
    {
        bool exists = false;
        quint64 device = 0;
        quint64 inode = 0;
        bool writable = false;
        friend bool operator==(const FileState &, const FileState &) = default;
    };
    static FileState fileState(const QString &path);

    Store(const StoreLocation &location, Access access);
    void attach();
    void connect();
    void migrate();
    void applyMigrations();
    void useWriteAheadLog();
    bool readOnlyServer(bool fresh);
    QStringList tables();
    bool connectionAlive();
    // Before a write the file must also still be writable; before a read it must be the same.
    enum class Purpose { Read, Write };
    void ensureUsable(Purpose purpose = Purpose::Write);
    static bool sameFile(const QString &path, const FileState &known);
    [[noreturn]] void changeToReplacedFile();
    void startFileCheck();
    void settleFileCheck();
    void begin();
    void writeOnce(const std::function<void()> &fn);
    // The server went away since the last statement and nothing has been written yet: connects
    // again, or says that the change was not saved.
    void reconnectForWrite();
    void requireWritable() const;

    StoreLocation m_location;
    QString m_connectionName;
    bool m_readOnly = false;
    int m_transactionDepth = 0;
    quint64 m_committedWrites = 0;
    bool m_attaching = false;
    Access m_access;
    bool m_existingOnly = false; // no schema is created: the store must be one of ours already
    FileState m_file;            // of the SQLite file when it was opened
    FileState m_refused;         // a file that replaced the store and is none of ours
    QString m_refusal;
    QString m_damage;
    // The file's check running on a connection of its own; its findings, empty when sound.
    std::future<QStringList> m_check;
    std::shared_ptr<FileCheckState> m_checkState;
    bool m_checkHeld = false;    // FileCheck::WhenAsked, and not asked yet
    bool m_checkPending = false; // held back: starts when asked or before the first write
    // Statements of prepareReused; they belong to the open connection and go with it.
    QHash<QString, std::shared_ptr<QSqlQuery>> m_reused;
    Author m_author;
    std::optional<OpenChangeSet> m_changeSet;
};
