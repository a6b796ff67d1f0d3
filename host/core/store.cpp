#include "store.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QUrl>

#include <atomic>

namespace {

QString describe(const QSqlError &e)
{
    QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    return text.trimmed();
}

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("kassotyp-store-%1").arg(++counter);
}

} // namespace

StoreLocation StoreLocation::parse(const QString &text)
{
    StoreLocation loc;
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1String("postgresql://"))
        || trimmed.startsWith(QLatin1String("postgres://"))) {
        const QUrl url(trimmed);
        loc.driver = QStringLiteral("QPSQL");
        loc.host = url.host();
        loc.port = url.port(-1);
        loc.user = url.userName();
        loc.password = url.password();
        loc.databaseName = url.path().mid(1);
        return loc;
    }
    loc.driver = QStringLiteral("QSQLITE");
    loc.databaseName = trimmed;
    return loc;
}

QString StoreLocation::displayName() const
{
    if (isSqlite())
        return QDir::toNativeSeparators(databaseName);
    return QStringLiteral("postgresql://%1@%2/%3")
            .arg(user, host.isEmpty() ? QStringLiteral("localhost") : host, databaseName);
}

Store::Store(const StoreLocation &location)
    : m_location(location)
    , m_connectionName(nextConnectionName())
{
}

Store::~Store()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

std::unique_ptr<Store> Store::open(const StoreLocation &location)
{
    std::unique_ptr<Store> store(new Store(location));
    store->connect();
    store->migrate();
    return store;
}

QSqlDatabase Store::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

void Store::connect()
{
    if (!QSqlDatabase::isDriverAvailable(m_location.driver))
        throw StoreError(QStringLiteral("Der Datenbanktreiber %1 ist auf diesem Rechner nicht "
                                        "installiert; der Datenspeicher %2 kann nicht geöffnet "
                                        "werden.")
                                 .arg(m_location.driver, m_location.displayName()));

    QSqlDatabase db = QSqlDatabase::addDatabase(m_location.driver, m_connectionName);
    db.setDatabaseName(m_location.databaseName);

    if (m_location.isSqlite()) {
        const QFileInfo file(m_location.databaseName);
        if (m_location.databaseName.isEmpty())
            throw StoreError(QStringLiteral("Es ist kein Datenspeicher angegeben."));
        if (file.exists() && file.isDir())
            throw StoreError(QStringLiteral("Der Datenspeicher %1 ist ein Ordner, keine "
                                            "Datenbankdatei.")
                                     .arg(m_location.displayName()));
        if (!file.exists() && !QDir().mkpath(file.absolutePath()))
            throw StoreError(QStringLiteral("Der Ordner %1 für den Datenspeicher kann nicht "
                                            "angelegt werden.")
                                     .arg(QDir::toNativeSeparators(file.absolutePath())));
        // WAL needs to create files beside the database, so a read-only folder makes the
        // store read-only as well.
        const QFileInfo folder(file.absolutePath());
        m_readOnly = (file.exists() && !file.isWritable()) || !folder.isWritable();
        if (!file.exists() && m_readOnly)
            throw StoreError(QStringLiteral("Im Ordner %1 darf kein Datenspeicher angelegt "
                                            "werden (schreibgeschützt).")
                                     .arg(QDir::toNativeSeparators(file.absolutePath())));
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=15000");
        if (m_readOnly)
            options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        db.setConnectOptions(options);
    } else {
        db.setHostName(m_location.host);
        if (m_location.port > 0)
            db.setPort(m_location.port);
        db.setUserName(m_location.user);
        db.setPassword(m_location.password);
    }

    if (!db.open())
        throw StoreError(QStringLiteral("Der Datenspeicher %1 kann nicht geöffnet werden: %2")
                                 .arg(m_location.displayName(), describe(db.lastError())));

    if (m_location.isSqlite()) {
        // Reading the catalogue is the first access to the file's content: a file that is
        // not a database fails here and not somewhere in the middle of the program.
        {
            QSqlQuery probe(db);
            if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
                throw StoreError(
                        QStringLiteral("Die Datei %1 ist keine Datenbank des Layoutdesigners: %2")
                                .arg(m_location.displayName(), describe(probe.lastError())));
        }
    }
}

namespace {

struct Migration
{
    int version;
    QStringList statements;
};

QList<Migration> migrations(const QString &blob)
{
    return {
            {1,
             {
                     QStringLiteral(
                             "CREATE TABLE layout_records (kennung TEXT NOT NULL, rnr INTEGER "
                             "NOT NULL, printer_key TEXT NOT NULL, filler TEXT NOT NULL "
                             "DEFAULT '', blob %1 NOT NULL, PRIMARY KEY (kennung, rnr, "
                             "printer_key))")
                             .arg(blob),
                     QStringLiteral("CREATE INDEX layout_records_by_rnr ON layout_records (rnr, "
                                    "printer_key)"),
                     QStringLiteral("CREATE TABLE form_store (sprache TEXT NOT NULL, programm TEXT "
                                    "NOT NULL, maske TEXT NOT NULL, index_name TEXT NOT NULL, "
                                    "local_scope INTEGER NOT NULL, items %1 NOT NULL, PRIMARY KEY "
                                    "(sprache, programm, maske, index_name, local_scope))")
                             .arg(blob),
                     QStringLiteral("CREATE TABLE parameters (param_key TEXT NOT NULL, rnr INTEGER "
                                    "NOT NULL, value TEXT NOT NULL, PRIMARY KEY (param_key, rnr))"),
                     QStringLiteral("CREATE TABLE workstations (rnr INTEGER PRIMARY KEY, rtyp "
                                    "INTEGER NOT NULL, name TEXT NOT NULL)"),
                     QStringLiteral("CREATE TABLE user_rights (user_name TEXT NOT NULL, "
                                    "right_group INTEGER NOT NULL, right_function INTEGER NOT "
                                    "NULL, PRIMARY KEY (user_name, right_group, right_function))"),
                     QStringLiteral("CREATE TABLE logos (kennung1 TEXT NOT NULL, kennung2 TEXT NOT "
                                    "NULL, logo_name TEXT NOT NULL, fil_rech INTEGER NOT NULL, "
                                    "picture %1 NOT NULL, width INTEGER NOT NULL, height INTEGER "
                                    "NOT NULL, booking_rnr INTEGER NOT NULL, booking_lfdnr INTEGER "
                                    "NOT NULL, PRIMARY KEY (kennung1, kennung2, logo_name, "
                                    "fil_rech))")
                             .arg(blob),
                     QStringLiteral("CREATE TABLE booking_counter (rnr INTEGER PRIMARY KEY, lfdnr "
                                    "INTEGER NOT NULL)"),
                     QStringLiteral("CREATE TABLE currency_rates (currency TEXT PRIMARY KEY, "
                                    "units_per_currency1 DOUBLE PRECISION NOT NULL)"),
             }},
    };
}

} // namespace

void Store::migrate()
{
    QSqlDatabase db = database();
    const QStringList tables = db.tables();
    const bool fresh = !tables.contains(QLatin1String("schema_info"));
    if (fresh && !tables.isEmpty())
        throw StoreError(QStringLiteral("Die Datenbank %1 gehört nicht zum Layoutdesigner: sie "
                                        "enthält fremde Tabellen.")
                                 .arg(m_location.displayName()));
    if (fresh && m_readOnly)
        throw StoreError(QStringLiteral("Der Datenspeicher %1 ist leer und schreibgeschützt; er "
                                        "kann nicht eingerichtet werden.")
                                 .arg(m_location.displayName()));

    const int current = fresh ? 0 : schemaVersion();
    if (current > SchemaVersion)
        throw StoreError(QStringLiteral("Der Datenspeicher %1 wurde von einer neueren "
                                        "Programmversion angelegt (Schema %2, dieses Programm "
                                        "kennt %3).")
                                 .arg(m_location.displayName())
                                 .arg(current)
                                 .arg(SchemaVersion));
    // Only a file known to be ours is switched to write-ahead logging: the journal mode is
    // kept in the file itself.
    if (isSqlite() && !m_readOnly) {
        execSql(QStringLiteral("PRAGMA journal_mode=WAL"), QStringLiteral("WAL einschalten"));
        execSql(QStringLiteral("PRAGMA synchronous=FULL"),
                QStringLiteral("Schreibsicherheit einstellen"));
    }
    if (current == SchemaVersion)
        return;
    if (m_readOnly)
        throw StoreError(QStringLiteral("Der Datenspeicher %1 muss aktualisiert werden, ist aber "
                                        "schreibgeschützt.")
                                 .arg(m_location.displayName()));

    const QString blob = isSqlite() ? QStringLiteral("BLOB") : QStringLiteral("BYTEA");
    write([&] {
        if (fresh)
            execSql(QStringLiteral("CREATE TABLE schema_info (id INTEGER PRIMARY KEY, version "
                                   "INTEGER NOT NULL)"),
                    QStringLiteral("Schema anlegen"));
        for (const Migration &m : migrations(blob)) {
            if (m.version <= current)
                continue;
            for (const QString &sql : m.statements)
                execSql(sql, QStringLiteral("Schema Version %1 anlegen").arg(m.version));
        }
        QSqlQuery q = prepare(QStringLiteral(
                "INSERT INTO schema_info (id, version) VALUES (1, ?) ON CONFLICT (id) DO "
                "UPDATE SET version = excluded.version"));
        q.addBindValue(SchemaVersion);
        exec(q, QStringLiteral("Schemaversion schreiben"));
    });
}

int Store::schemaVersion() const
{
    QSqlQuery q = prepare(QStringLiteral("SELECT version FROM schema_info WHERE id = 1"));
    exec(q, QStringLiteral("Schemaversion lesen"));
    return q.next() ? q.value(0).toInt() : 0;
}

void Store::requireWritable() const
{
    if (m_readOnly)
        throw StoreError(QStringLiteral("Der Datenspeicher %1 ist schreibgeschützt; die Änderung "
                                        "wurde nicht gespeichert.")
                                 .arg(m_location.displayName()));
}

void Store::write(const std::function<void()> &fn)
{
    requireWritable();
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
    execSql(isSqlite() ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"),
            QStringLiteral("Schreibvorgang beginnen"));
    m_transactionDepth = 1;
    try {
        fn();
        execSql(QStringLiteral("COMMIT"), QStringLiteral("Schreibvorgang abschließen"));
        m_transactionDepth = 0;
    } catch (...) {
        m_transactionDepth = 0;
        QSqlQuery rollback(database());
        rollback.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

QSqlQuery Store::prepare(const QString &sql) const
{
    QSqlQuery q(database());
    if (!q.prepare(sql))
        throw StoreError(QStringLiteral("Fehler im Datenspeicher %1: %2")
                                 .arg(m_location.displayName(), describe(q.lastError())));
    return q;
}

void Store::exec(QSqlQuery &query, const QString &what)
{
    if (!query.exec())
        throw StoreError(QStringLiteral("Fehler im Datenspeicher beim %1: %2")
                                 .arg(what, describe(query.lastError())));
}

void Store::execSql(const QString &sql, const QString &what) const
{
    QSqlQuery q(database());
    if (!q.exec(sql))
        throw StoreError(QStringLiteral("Fehler im Datenspeicher beim %1: %2")
                                 .arg(what, describe(q.lastError())));
}

QString Store::integrityCheck() const
{
    if (!isSqlite())
        return QStringLiteral("ok");
    QSqlQuery q(database());
    if (!q.exec(QStringLiteral("PRAGMA integrity_check")) || !q.next())
        return describe(q.lastError());
    return q.value(0).toString();
}
