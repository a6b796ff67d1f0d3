#include "core/store/store.h"

#include "core/base/safefiles.h"
#include "core/store/callwatchdog.h"
#include "core/store/sqlerrortext.h"
#include "core/store/sqlitefilecheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlDriver>
#include <QSqlError>
#include <QSysInfo>
#include <QThread>

#include <atomic>
#include <chrono>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Every writer of a PostgreSQL store takes this transaction lock first, so that writes follow
// one another as on SQLite (BEGIN IMMEDIATE): a setup or a copy over many records sees no record
// change under it, and two writers never deadlock over records taken in different orders.
constexpr qint64 WriteLockId = 0x4b415353'4f545950;

// The size SQLite's write-ahead log is cut back to when it starts anew after a checkpoint.
constexpr qint64 LogSizeLimit = 4 * 1024 * 1024;

// How often a transaction that collided with another program's is run before giving up.
constexpr int WriteAttempts = 8;

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("kassotyp-store-%1").arg(++counter);
}

// Root passes every access check: a file or folder that nobody may write counts as read-only
// for root as well, as its owner meant.
bool writableByAnyone(const QFileInfo &info)
{
    return info.isWritable()
           && (info.permissions()
               & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther));
}

// Error codes: PostgreSQL's SQLSTATE, SQLite's primary result code.
[[noreturn]] void throwStatementError(const QSqlError &e, const QString &what)
{
    const QString code = e.nativeErrorCode();
    const QString detail = sqlErrorText(e);
    if (code == QLatin1String("40001") || code == QLatin1String("40P01"))
        throw StoreConflictError(
                QStringLiteral("Der Schreibvorgang beim %1 ist mit dem eines anderen Programms "
                               "zusammengestoßen: %2")
                        .arg(what, detail));
    if (code == QLatin1String("5") || code == QLatin1String("55P03"))
        throw StoreError(QStringLiteral("Der Datenspeicher ist zu lange von einem anderen "
                                        "Programm belegt; beim %1 wurde nichts gespeichert. "
                                        "Bitte erneut versuchen. (%2)")
                                 .arg(what, detail));
    // The statement timeout: a server that is overloaded, or waits on something itself.
    if (code == QLatin1String("57014"))
        throw StoreError(QStringLiteral("Der Datenspeicher hat nicht rechtzeitig geantwortet; "
                                        "beim %1 wurde nichts gespeichert. Bitte erneut "
                                        "versuchen. (%2)")
                                 .arg(what, detail));
    // SQLITE_FULL, PostgreSQL's disk_full: nothing is wrong with the store but the room for it.
    if (code == QLatin1String("13") || code == QLatin1String("53100"))
        throw StoreError(QStringLiteral("Auf dem Datenträger des Datenspeichers ist kein Platz "
                                        "mehr frei; beim %1 wurde nichts gespeichert. Bitte "
                                        "Platz schaffen und erneut versuchen. (%2)")
                                 .arg(what, detail));
    if (code == QLatin1String("8") || code == QLatin1String("25006")
        || code == QLatin1String("42501"))
        throw StoreError(QStringLiteral("Der Datenspeicher ist schreibgeschützt; beim %1 wurde "
                                        "nichts gespeichert. (%2)")
                                 .arg(what, detail));
    throw StoreError(QStringLiteral("Fehler im Datenspeicher beim %1: %2").arg(what, detail));
}

} // namespace

Store::Store(const StoreLocation &location, Access access)
    : m_location(location)
    , m_connectionName(nextConnectionName())
    , m_access(access)
    , m_existingOnly(access == Access::ReadExisting)
    , m_author{qEnvironmentVariable("USER", qEnvironmentVariable("LOGNAME")),
               QSysInfo::machineHostName(), QCoreApplication::applicationName()}
{
}

Store::~Store()
{
    // A program closed soon after its start does not wait for the end of the check.
    if (m_checkState)
        m_checkState->stop();
    if (m_check.valid())
        m_check.wait();
    m_reused.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

std::unique_ptr<Store> Store::open(const StoreLocation &location, Access access, FileCheck check)
{
    std::unique_ptr<Store> store(new Store(location, access));
    store->m_checkHeld = check == FileCheck::WhenAsked;
    store->attach();
    return store;
}

bool Store::fileCheckPending() const
{
    return m_checkPending
           || (m_check.valid()
               && m_check.wait_for(std::chrono::seconds(0)) != std::future_status::ready);
}

void Store::beginFileCheck()
{
    m_checkHeld = false;
    if (m_checkPending)
        startFileCheck();
}

void Store::attach()
{
    m_attaching = true;
    try {
        connect();
        if (isSqlite()) {
            m_file = fileState(m_location.databaseName);
            startFileCheck();
        }
        migrate();
    } catch (...) {
        // A closed connection makes the next use try again instead of working on a store that
        // failed its checks.
        m_reused.clear();
        database().close();
        m_attaching = false;
        throw;
    }
    m_attaching = false;
}

Store::FileState Store::fileState(const QString &path)
{
    FileState state;
#ifdef Q_OS_UNIX
    // The check runs before every write, so it asks the system directly: two stats and two
    // access checks.
    const QByteArray file = QFile::encodeName(path);
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    struct stat st, dir;
    if (::stat(file.constData(), &st) != 0)
        return state;
    state.exists = true;
    state.device = quint64(st.st_dev);
    state.inode = quint64(st.st_ino);
    // Root passes every access check: a file or folder that nobody may write counts as
    // read-only for root as well, as its owner meant. WAL needs to create files beside the
    // database, so a read-only folder makes the store read-only too.
    constexpr mode_t anyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
    state.writable = (st.st_mode & anyWrite) && ::access(file.constData(), W_OK) == 0
                     && ::stat(folder.constData(), &dir) == 0 && (dir.st_mode & anyWrite)
                     && ::access(folder.constData(), W_OK) == 0;
#else
    const QFileInfo file(path);
    state.exists = file.exists();
    if (state.exists)
        state.writable = writableByAnyone(file) && writableByAnyone(QFileInfo(file.absolutePath()));
#endif
    return state;
}

bool Store::sameFile(const QString &path, const FileState &known)
{
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return !known.exists;
    return known.exists && known.device == quint64(st.st_dev) && known.inode == quint64(st.st_ino);
#else
    return fileState(path) == known;
#endif
}

QSqlDatabase Store::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

void Store::connect()
{
    if (!m_location.problem.isEmpty())
        throw StoreError(m_location.problem);
    if (!QSqlDatabase::isDriverAvailable(m_location.driver))
        throw StoreError(QStringLiteral("Der Datenbanktreiber %1 ist auf diesem Rechner nicht "
                                        "installiert; der Datenspeicher %2 kann nicht geöffnet "
                                        "werden.")
                                 .arg(m_location.driver, m_location.displayName()));

    QSqlDatabase db = QSqlDatabase::contains(m_connectionName)
                              ? QSqlDatabase::database(m_connectionName, false)
                              : QSqlDatabase::addDatabase(m_location.driver, m_connectionName);
    m_reused.clear(); // prepared on the connection that is closed now
    if (db.isOpen())
        db.close();
    db.setDatabaseName(m_location.databaseName);

    if (m_location.isSqlite()) {
        const QFileInfo file(m_location.databaseName);
        if (m_location.databaseName.isEmpty())
            throw StoreError(QStringLiteral("Es ist kein Datenspeicher angegeben."));
        if (file.exists() && file.isDir())
            throw StoreError(QStringLiteral("Der Datenspeicher %1 ist ein Ordner, keine "
                                            "Datenbankdatei.")
                                     .arg(m_location.displayName()));
        // A named pipe or a device in the store's place would hold the program up or be read
        // without end.
        if (file.exists() && !file.isFile())
            throw StoreError(QStringLiteral("Der Datenspeicher %1 ist %2, keine Datenbankdatei.")
                                     .arg(m_location.displayName(),
                                          SafeFiles::fileKind(m_location.databaseName)));
        if (!file.exists() && m_existingOnly)
            throw StoreError(QStringLiteral("Der Datenspeicher %1 existiert nicht.")
                                     .arg(m_location.displayName()));
        if (!file.exists() && !QDir().mkpath(file.absolutePath()))
            throw StoreError(QStringLiteral("Der Ordner %1 für den Datenspeicher kann nicht "
                                            "angelegt werden.")
                                     .arg(QDir::toNativeSeparators(file.absolutePath())));
        m_readOnly = file.exists() ? !fileState(m_location.databaseName).writable
                                   : !writableByAnyone(QFileInfo(file.absolutePath()));
        m_readOnly = m_readOnly || m_access == Access::ReadExisting || !m_damage.isEmpty();
        if (!file.exists() && m_readOnly)
            throw StoreError(QStringLiteral("Im Ordner %1 darf kein Datenspeicher angelegt "
                                            "werden (schreibgeschützt).")
                                     .arg(QDir::toNativeSeparators(file.absolutePath())));
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_location.timeoutMs);
        if (m_readOnly)
            options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        db.setConnectOptions(options);
    } else {
        db.setHostName(m_location.host);
        if (m_location.port > 0)
            db.setPort(m_location.port);
        db.setUserName(m_location.user);
        db.setPassword(m_location.password);
        // A server that does not answer must not freeze the program: connecting is bounded,
        // keepalives find a connection whose server or network has gone, and unacknowledged
        // data gives up after the store's time limit. Options of the URL win.
        QStringList options{QStringLiteral("connect_timeout=%1")
                                    .arg(qBound(2, m_location.timeoutMs / 1000, 10)),
                            QStringLiteral("keepalives=1"),
                            QStringLiteral("keepalives_idle=5"),
                            QStringLiteral("keepalives_interval=2"),
                            QStringLiteral("keepalives_count=3"),
                            QStringLiteral("tcp_user_timeout=%1").arg(m_location.timeoutMs)};
        if (!m_location.options.isEmpty())
            options << m_location.options;
        db.setConnectOptions(options.join(u';'));
    }

    if (!db.open())
        throw StoreError(QStringLiteral("Der Datenspeicher %1 kann nicht geöffnet werden: %2")
                                 .arg(m_location.displayName(), sqlErrorText(db.lastError())));

    if (m_location.isSqlite()) {
        // Reading the catalogue is the first access to the file's content: a file that is
        // not a database fails here and not somewhere in the middle of the program.
        {
            QSqlQuery probe(db);
            if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))
                && SafeFiles::diskFull(m_location.databaseName))
                throw StoreError(QStringLiteral("Der Datenspeicher %1 kann nicht geöffnet "
                                                "werden: %2")
                                         .arg(m_location.displayName(),
                                              SafeFiles::diskFullText(m_location.databaseName)));
            if (probe.lastError().isValid())
                throw StoreError(
                        QStringLiteral("Die Datei %1 ist keine Datenbank des Layoutdesigners: %2")
                                .arg(m_location.displayName(), sqlErrorText(probe.lastError())));
        }
    } else {
        // Waiting for another program's write is bounded as SQLite's busy timeout is, and so is
        // every statement.
        execSql(QStringLiteral("SET lock_timeout = %1").arg(m_location.timeoutMs),
                QStringLiteral("Einrichten der Verbindung"));
        execSql(QStringLiteral("SET statement_timeout = %1").arg(m_location.timeoutMs),
                QStringLiteral("Einrichten der Verbindung"));
        // The server ends a statement after the time limit; a server that cannot even do that
        // any more gets a few seconds for it, then the connection is cut from this side.
        const int socket = postgresSocket(db.driver());
        if (socket >= 0)
            CallWatchdog::instance().setLimit(socket, m_location.timeoutMs + 3000);
        if (m_access == Access::ReadExisting)
            execSql(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"),
                    QStringLiteral("Einrichten der Verbindung"));
    }
}

void Store::useWriteAheadLog()
{
    execSql(QStringLiteral("PRAGMA journal_mode=WAL"), QStringLiteral("WAL einschalten"));
    execSql(QStringLiteral("PRAGMA synchronous=FULL"),
            QStringLiteral("Schreibsicherheit einstellen"));
    // A log that grew during a large write is cut back to this size when it starts anew.
    execSql(QStringLiteral("PRAGMA journal_size_limit=%1").arg(LogSizeLimit),
            QStringLiteral("Größe des Schreibprotokolls begrenzen"));
}

void Store::requireWritable() const
{
    if (!m_damage.isEmpty())
        throw StoreError(m_damage);
    if (m_readOnly)
        throw StoreError(QStringLiteral("Der Datenspeicher %1 ist schreibgeschützt; die Änderung "
                                        "wurde nicht gespeichert.")
                                 .arg(m_location.displayName()));
}

bool Store::connectionAlive()
{
    if (!database().isOpen())
        return false;
    QSqlQuery q(database());
    return bounded(q.driver(), [&] { return q.exec(QStringLiteral("SELECT 1")); });
}

void Store::ensureUsable(Purpose purpose)
{
    if (m_attaching)
        return;
    if (!isSqlite()) {
        // The last attempt to connect again failed; this use tries once more.
        if (!database().isOpen())
            attach();
        return;
    }
    if (m_location.databaseName == QLatin1String(":memory:"))
        return;
    // Reads only need the same file; one stat settles that without the permission checks.
    if (purpose == Purpose::Read && sameFile(m_location.databaseName, m_file)
        && database().isOpen())
        return;
    const FileState now = fileState(m_location.databaseName);
    if (now == m_file && database().isOpen())
        return;
    if (!now.exists)
        throw StoreError(QStringLiteral("Der Datenspeicher %1 ist nicht mehr vorhanden "
                                        "(gelöscht, verschoben oder das Laufwerk ist nicht "
                                        "erreichbar); es wurde nichts gespeichert.")
                                 .arg(m_location.displayName()));
    if (m_refused.exists && sameFile(m_location.databaseName, m_refused))
        throw StoreError(m_refusal);
    if (m_file.exists && (now.device != m_file.device || now.inode != m_file.inode))
        changeToReplacedFile();
    // Its permissions changed: this connection could write where it must not. Opening it again
    // settles that.
    attach();
}

void Store::changeToReplacedFile()
{
    const QString replaced =
            QStringLiteral("Der Datenspeicher %1 wurde während der Arbeit durch eine andere Datei "
                           "ersetzt (etwa eine zurückgespielte Sicherung); dieser Vorgang wurde "
                           "nicht ausgeführt und nichts gespeichert.")
                    .arg(m_location.displayName());
    // This connection's write-ahead log lies beside the path, under the name the new file's log
    // would have: emptied into the old file first, it can never be applied to the new one.
    if (database().isOpen()) {
        QSqlQuery q(database());
        q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    m_reused.clear();
    database().close();
    // The new file is used only when it is a store of this program already.
    const bool existingOnly = m_existingOnly;
    m_existingOnly = true;
    try {
        attach();
    } catch (const StoreError &e) {
        m_existingOnly = existingOnly;
        m_refused = fileState(m_location.databaseName);
        m_refusal = QStringLiteral("%1 Die neue Datei wird nicht verwendet: %2")
                            .arg(replaced, e.text());
        throw StoreError(m_refusal);
    }
    m_existingOnly = existingOnly;
    m_refused = {};
    throw StoreError(replaced
                     + (damage().isEmpty() ? QStringLiteral(" Ab jetzt wird die neue Datei "
                                                            "verwendet.")
                                           : QStringLiteral(" ") + m_damage));
}

void Store::startFileCheck()
{
    // A check of a file replaced meanwhile belongs to the old file: its findings count first.
    m_checkPending = false;
    settleFileCheck();
    // A store opened only for reading is never written, which is what the check protects.
    if (!m_damage.isEmpty() || m_access == Access::ReadExisting
        || m_location.databaseName == QLatin1String(":memory:"))
        return;
    if (m_checkHeld) {
        m_checkPending = true;
        return;
    }
    // On a store of hundreds of thousands of records the check takes longer than the whole
    // start of the program; it runs beside it, and the first write waits for its end.
    m_checkState = std::make_shared<FileCheckState>();
    // A QString, not the builder of one: the thread gets a copy of the arguments, and a builder
    // would refer to temporaries gone by then.
    const QString checkConnection = nextConnectionName() + QStringLiteral("-check");
    m_check = std::async(std::launch::async, checkSqliteFile, checkConnection,
                         m_location.databaseName, database().connectOptions(), m_checkState);
}

void Store::settleFileCheck()
{
    if (m_checkPending) {
        m_checkPending = false;
        m_checkHeld = false;
        startFileCheck();
    }
    if (!m_check.valid())
        return;
    const QStringList findings = m_check.get();
    if (findings.isEmpty())
        return;
    // A damaged tree is never written: whatever a write touched there could be lost.
    m_damage = QStringLiteral("Die Prüfung des Datenspeichers %1 hat Schäden gefunden; er wird "
                              "nur gelesen, nichts wird hineingeschrieben. Bitte eine Sicherung "
                              "zurückspielen. (%2)")
                       .arg(m_location.displayName(), findings.join(QStringLiteral("; ")));
    connect(); // read-only now
    m_file = fileState(m_location.databaseName);
}

const QString &Store::damage()
{
    settleFileCheck();
    return m_damage;
}

void Store::shrinkLog()
{
    if (!isSqlite() || m_readOnly || inTransaction() || !database().isOpen())
        return;
    // Writes of the size limit or less are taken back into the file by SQLite's own checkpoints
    // and leave a log of about the limit, which the next writes overwrite in place. Cutting that
    // one back as well would make each of them grow the file anew, which costs every small
    // setup after a checkpoint a second journal commit of the file system.
    if (QFileInfo(m_location.databaseName + QStringLiteral("-wal")).size() <= 2 * LogSizeLimit)
        return;
    // TRUNCATE waits (within the busy timeout) for readers of the log, which read briefly;
    // should it still give up, the size limit cuts the log back at the next write.
    QSqlQuery q(database());
    q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

void Store::begin()
{
    settleFileCheck();
    ensureUsable();
    // A PostgreSQL session keeps the read-only default it started with: only a new connection
    // learns that the server takes writes again.
    if (!isSqlite() && m_readOnly && !m_attaching)
        attach();
    requireWritable();
    const QString sql = isSqlite() ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN");
    QSqlQuery q(database());
    if (bounded(q.driver(), [&] { return q.exec(sql); }))
        return;
    const QSqlError error = q.lastError();
    q = QSqlQuery();
    // A PostgreSQL server restarted since the last statement: nothing has been written yet,
    // so connecting again and going on is safe.
    if (isSqlite() || m_attaching || connectionAlive())
        throwStatementError(error, QStringLiteral("Beginnen des Schreibvorgangs"));
    reconnectForWrite();
    execSql(sql, QStringLiteral("Beginnen des Schreibvorgangs"));
}

void Store::reconnectForWrite()
{
    try {
        attach();
    } catch (const StoreError &e) {
        throw StoreError(QStringLiteral("Die Verbindung zum Datenspeicher ist unterbrochen und "
                                        "nicht wiederherzustellen; die Änderung wurde nicht "
                                        "gespeichert. %1")
                                 .arg(e.text()));
    }
    requireWritable();
}

void Store::writeOnce(const std::function<void()> &fn)
{
    begin();
    m_transactionDepth = 1;
    // A transaction run again writes its change set anew.
    if (m_changeSet)
        m_changeSet->id = 0;
    try {
        // Sent as it stands, not prepared: a statement prepared for one use costs two more
        // round trips to the server (preparing and deallocating it).
        if (!isSqlite())
            execSql(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(WriteLockId),
                    QStringLiteral("Warten auf andere Schreibvorgänge"));
        fn();
        execSql(QStringLiteral("COMMIT"), QStringLiteral("Abschließen des Schreibvorgangs"));
        m_transactionDepth = 0;
        ++m_committedWrites;
    } catch (...) {
        m_transactionDepth = 0;
        QSqlQuery rollback(database());
        bounded(rollback.driver(), [&] { return rollback.exec(QStringLiteral("ROLLBACK")); });
        if (!isSqlite() && !connectionAlive())
            throw StoreError(QStringLiteral("Die Verbindung zum Datenspeicher %1 ist "
                                            "unterbrochen; die Änderung wurde nicht gespeichert. "
                                            "Beim nächsten Speichern wird neu verbunden.")
                                     .arg(m_location.displayName()));
        throw;
    }
}

void Store::write(const std::function<void()> &fn)
{
    if (m_transactionDepth > 0) {
        ++m_transactionDepth;
        try {
            fn();
        } catch (...) {
            --m_transactionDepth;
            throw;
        }
        --m_transactionDepth;
        return;
    }
    for (int attempt = 1;; ++attempt) {
        try {
            writeOnce(fn);
            return;
        } catch (const StoreConflictError &) {
            if (attempt == WriteAttempts)
                throw;
            // Two programs retrying in step would collide again.
            QThread::msleep(QRandomGenerator::global()->bounded(5, 25) * attempt);
        }
    }
}

QSqlQuery &Store::writeStatement(const QString &sql, const QVariantList &values,
                                 const std::function<QString()> &describe)
{
    const auto run = [&](const QString &statement) -> QSqlQuery & {
        QSqlQuery &q = prepareReused(statement);
        for (const QVariant &value : values)
            q.addBindValue(value);
        exec(q, describe);
        return q;
    };
    if (isSqlite() || m_transactionDepth > 0) {
        QSqlQuery *ran = nullptr;
        write([&] { ran = &run(sql); });
        return *ran;
    }
    // The statement is its own transaction: the lock is taken while its first value is worked
    // out, before anything is written, and let go when it ends.
    const qsizetype first = sql.indexOf(u'?');
    Q_ASSERT(first >= 0);
    const QString locked =
            QString(sql).replace(first, 1,
                                 QStringLiteral("(SELECT CAST(? AS text) FROM (SELECT "
                                                "pg_advisory_xact_lock(%1)) AS write_lock)")
                                         .arg(WriteLockId));
    for (int attempt = 1;; ++attempt) {
        try {
            ensureUsable();
            // A session keeps the read-only default it started with (see begin()).
            if (m_readOnly && !m_attaching)
                attach();
            requireWritable();
            QSqlQuery *ran = nullptr;
            try {
                ran = &run(locked);
            } catch (const StoreConflictError &) {
                throw;
            } catch (const StoreError &) {
                // A server restarted since the last statement: connecting again and sending
                // the statement once more writes the same record once.
                if (m_attaching || connectionAlive())
                    throw;
                reconnectForWrite();
                ran = &run(locked);
            }
            ++m_committedWrites;
            return *ran;
        } catch (const StoreConflictError &) {
            if (attempt == WriteAttempts)
                throw;
            QThread::msleep(QRandomGenerator::global()->bounded(5, 25) * attempt);
        }
    }
}

QSqlQuery &Store::prepareReused(const QString &sql)
{
    if (m_transactionDepth == 0)
        ensureUsable(Purpose::Read); // may connect anew: the old connection's statements go
    std::shared_ptr<QSqlQuery> &q = m_reused[sql];
    if (q)
        q->finish();
    else
        q = std::make_shared<QSqlQuery>(prepare(sql));
    return *q;
}

QSqlQuery Store::prepare(const QString &sql)
{
    if (m_transactionDepth == 0)
        ensureUsable(Purpose::Read);
    QSqlQuery q(database());
    // Read once from first to last: Qt's SQLite driver then keeps no copy of every row read.
    // (PostgreSQL's would hold the connection until the last row is read.)
    if (isSqlite())
        q.setForwardOnly(true);
    if (bounded(q.driver(), [&] { return q.prepare(sql); }))
        return q;
    // PostgreSQL prepares on the server: a server restarted since the last statement shows here
    // first, and outside a transaction connecting again loses nothing.
    if (!isSqlite() && m_transactionDepth == 0 && !m_attaching && !connectionAlive()) {
        attach();
        q = QSqlQuery(database());
        if (q.prepare(sql))
            return q;
    }
    throw StoreError(QStringLiteral("Fehler im Datenspeicher %1: %2")
                             .arg(m_location.displayName(), sqlErrorText(q.lastError())));
}

void Store::exec(QSqlQuery &query, const QString &what)
{
    if (!bounded(query.driver(), [&] { return query.exec(); }))
        throwStatementError(query.lastError(), what);
}

QSqlQuery Store::run(const QString &sql, const QVariantList &values, const QString &what)
{
    QSqlQuery q = prepare(sql);
    for (const QVariant &value : values)
        q.addBindValue(value);
    exec(q, what);
    return q;
}

void Store::exec(QSqlQuery &query, const std::function<QString()> &describe)
{
    if (!bounded(query.driver(), [&] { return query.exec(); }))
        throwStatementError(query.lastError(), describe());
}

void Store::execSql(const QString &sql, const QString &what)
{
    QSqlQuery q(database());
    if (!bounded(q.driver(), [&] { return q.exec(sql); }))
        throwStatementError(q.lastError(), what);
}
