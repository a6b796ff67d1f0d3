#include "core/store/store.h"

#include "core/store/schema.h"
#include "core/store/sqlerrortext.h"

#include <QSqlQuery>

// Creating the schema and bringing an older store up to date. Each step keeps the statements its
// version ran, never rewritten: a store of any older version must end up as a new one does, which
// the check against the schema's description at the end of every update makes sure of.

namespace {

struct Migration
{
    int version;
    QStringList statements;
};

QList<Migration> migrations(const QString &blob, const QString &counter)
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
            // The records of one workstation lie side by side in the key: setting up or
            // copying a workstation then writes a few adjacent pages of the key instead of
            // one page per record identifier. Lookups give all key columns, so any order
            // serves them.
            {2,
             {
                     QStringLiteral("CREATE TABLE layout_records_2 (kennung TEXT NOT NULL, rnr "
                                    "INTEGER NOT NULL, printer_key TEXT NOT NULL, filler TEXT NOT "
                                    "NULL DEFAULT '', blob %1 NOT NULL, CONSTRAINT "
                                    "layout_records_key PRIMARY KEY (rnr, printer_key, kennung))")
                             .arg(blob),
                     QStringLiteral("INSERT INTO layout_records_2 (kennung, rnr, printer_key, "
                                    "filler, blob) SELECT kennung, rnr, printer_key, filler, blob "
                                    "FROM layout_records"),
                     QStringLiteral("DROP TABLE layout_records"),
                     QStringLiteral("ALTER TABLE layout_records_2 RENAME TO layout_records"),
                     QStringLiteral("CREATE TABLE parameters_2 (param_key TEXT NOT NULL, rnr "
                                    "INTEGER NOT NULL, value TEXT NOT NULL, CONSTRAINT "
                                    "parameters_key PRIMARY KEY (rnr, param_key))"),
                     QStringLiteral("INSERT INTO parameters_2 (param_key, rnr, value) SELECT "
                                    "param_key, rnr, value FROM parameters"),
                     QStringLiteral("DROP TABLE parameters"),
                     QStringLiteral("ALTER TABLE parameters_2 RENAME TO parameters"),
             }},
            // What every write of a record replaced: one row per changed record, never updated
            // or removed. The rows of a change set of several records (a setup, an import)
            // share its number; a row of change set 0 is a change set of its own.
            {3,
             {
                     QStringLiteral(
                             "CREATE TABLE record_history (id %2, change_set BIGINT NOT "
                             "NULL, title TEXT NOT NULL, kind TEXT NOT NULL, name TEXT NOT "
                             "NULL, rnr INTEGER NOT NULL, record_key TEXT NOT NULL, value_before "
                             "%1, value_after %1, user_name TEXT NOT NULL, computer TEXT NOT "
                             "NULL, program TEXT NOT NULL, when_utc TEXT NOT NULL)")
                             .arg(blob, counter),
                     QStringLiteral("CREATE INDEX record_history_by_record ON record_history "
                                    "(kind, name, rnr, record_key, id)"),
                     QStringLiteral("CREATE INDEX record_history_by_time ON record_history "
                                    "(when_utc)"),
             }},
            // Which logo picture (by the hash of what prints) a printer keeps under which key,
            // so that a document prints it by its key instead of sending the picture.
            {4,
             {
                     QStringLiteral("CREATE TABLE printer_logos (rnr INTEGER NOT NULL, printer_key "
                                    "TEXT NOT NULL, device TEXT NOT NULL, logo_key TEXT NOT NULL, "
                                    "picture_hash TEXT NOT NULL, width INTEGER NOT NULL, height "
                                    "INTEGER NOT NULL, loaded_at TEXT NOT NULL, CONSTRAINT "
                                    "printer_logos_key PRIMARY KEY (rnr, printer_key, device, "
                                    "logo_key))"),
             }},
    };
}

} // namespace

QStringList Store::tables()
{
    if (isSqlite())
        return database().tables();
    // Only the schema this connection works in: a shared database may hold others.
    QSqlQuery q = prepare(QStringLiteral("SELECT table_name FROM information_schema.tables WHERE "
                                         "table_schema = current_schema()"));
    exec(q, QStringLiteral("Lesen der Tabellenliste"));
    QStringList names;
    while (q.next())
        names << q.value(0).toString();
    return names;
}

bool Store::readOnlyServer(bool fresh)
{
    // A standby server or a read-only user: reading works, writing is refused up front.
    QSqlQuery q = prepare(
            fresh ? QStringLiteral("SELECT current_setting('transaction_read_only') = 'on' OR NOT "
                                   "has_schema_privilege(current_schema(), 'CREATE')")
                  : QStringLiteral("SELECT current_setting('transaction_read_only') = 'on' OR NOT "
                                   "has_table_privilege('layout_records', 'INSERT, UPDATE')"));
    exec(q, QStringLiteral("Prüfen der Schreibrechte"));
    return q.next() && q.value(0).toBool();
}

void Store::migrate()
{
    const QStringList present = tables();
    const bool fresh = !present.contains(StoreSchema::VersionTable);
    if (fresh && !present.isEmpty())
        throw StoreError(QStringLiteral("Die Datenbank %1 gehört nicht zum Layoutdesigner: sie "
                                        "enthält fremde Tabellen.")
                                 .arg(m_location.displayName()));
    if (!isSqlite())
        m_readOnly = readOnlyServer(fresh) || m_access == Access::ReadExisting;
    if (fresh && m_existingOnly)
        throw StoreError(QStringLiteral("Der Datenspeicher %1 ist leer: er enthält keine "
                                        "Layouts des Layoutdesigners.")
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
    if (isSqlite() && !m_readOnly)
        useWriteAheadLog();
    if (current == SchemaVersion)
        return;
    if (m_readOnly)
        throw StoreError(QStringLiteral("Der Datenspeicher %1 muss aktualisiert werden, ist aber "
                                        "schreibgeschützt.")
                                 .arg(m_location.displayName()));
    write([&] { applyMigrations(); });
}

void Store::applyMigrations()
{
    // Another program may have created or updated the schema while this one waited for its
    // write transaction.
    const bool fresh = !tables().contains(StoreSchema::VersionTable);
    const int current = fresh ? 0 : schemaVersion();
    if (current >= SchemaVersion)
        return;
    if (fresh)
        execSql(QStringLiteral("CREATE TABLE schema_info (id INTEGER PRIMARY KEY, version "
                               "INTEGER NOT NULL)"),
                QStringLiteral("Schema anlegen"));
    const QString blob = isSqlite() ? QStringLiteral("BLOB") : QStringLiteral("BYTEA");
    // A row number the store hands out itself.
    const QString counter =
            isSqlite() ? QStringLiteral("INTEGER PRIMARY KEY")
                       : QStringLiteral("BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY");
    for (const Migration &m : migrations(blob, counter)) {
        if (m.version <= current)
            continue;
        for (QString sql : m.statements) {
            // Keys compare and sort byte by byte on both drivers, whatever the server's locale.
            if (!isSqlite())
                sql.replace(QLatin1String(" TEXT"), QLatin1String(" TEXT COLLATE \"C\""));
            execSql(sql, QStringLiteral("Anlegen des Schemas Version %1").arg(m.version));
        }
    }
    // A step that left the tables other than this program reads and writes them must not
    // commit: the store keeps its old version instead of claiming the current one.
    const QString mismatch = StoreSchema::mismatch(database(), isSqlite());
    if (!mismatch.isEmpty())
        throw StoreError(
                QStringLiteral("Die Aktualisierung des Datenspeichers %1 auf Schema %2 "
                               "ergibt nicht die erwarteten Tabellen (%3); er bleibt "
                               "unverändert.")
                        .arg(m_location.displayName(), QString::number(SchemaVersion), mismatch));
    QSqlQuery q = prepare(
            QStringLiteral("INSERT INTO schema_info (id, version) VALUES (1, ?) ON CONFLICT (id) "
                           "DO UPDATE SET version = excluded.version"));
    q.addBindValue(SchemaVersion);
    exec(q, QStringLiteral("Schreiben der Schemaversion"));
}

int Store::schemaVersion()
{
    QSqlQuery q = prepare(QStringLiteral("SELECT version FROM schema_info WHERE id = 1"));
    exec(q, QStringLiteral("Lesen der Schemaversion"));
    return q.next() ? q.value(0).toInt() : 0;
}

QString Store::integrityCheck()
{
    QSqlQuery q(database());
    if (isSqlite()) {
        if (!q.exec(QStringLiteral("PRAGMA integrity_check")) || !q.next())
            return sqlErrorText(q.lastError());
        if (q.value(0).toString() != QLatin1String("ok"))
            return q.value(0).toString();
    }
    try {
        const int version = schemaVersion();
        if (version != SchemaVersion)
            return QStringLiteral("Schemaversion %1 statt %2").arg(version).arg(SchemaVersion);
        const QString unusable = StoreSchema::unusable(database(), isSqlite());
        if (!unusable.isEmpty())
            return unusable;
    } catch (const StoreError &e) {
        return e.text();
    }
    return QStringLiteral("ok");
}
