#include "tests/support/teststore.h"

#include "core/store/layoutstore.h"
#include "core/store/store.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>

#include <stdexcept>

namespace {

const QString AdminConnection = QStringLiteral("kassotyp-test-admin");

QString serverUrl()
{
    return qEnvironmentVariable("KASSOTYP_TEST_PG");
}

QSqlDatabase connectTo(const QString &name, const QString &databaseName)
{
    const StoreLocation server = StoreLocation::parse(serverUrl());
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    db.setHostName(server.host);
    db.setPort(server.port);
    db.setUserName(server.user);
    db.setPassword(server.password);
    db.setDatabaseName(databaseName);
    db.open();
    return db;
}

void dropProcessDatabase();

// The database of this process, created on first use; empty with `error` set when it fails.
QString processDatabase(QString *error)
{
    static QString name;
    static QString failure;
    if (name.isEmpty() && failure.isEmpty()) {
        const QString wanted =
                QStringLiteral("kassotyp_test_%1_%2")
                        .arg(QCoreApplication::applicationPid())
                        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        failure = TestStore::serverSql(QStringLiteral("CREATE DATABASE %1").arg(wanted));
        if (failure.isEmpty()) {
            name = wanted;
            qAddPostRoutine(dropProcessDatabase);
            if (!connectTo(AdminConnection, name).isOpen())
                failure = QStringLiteral("keine Verbindung zur Testdatenbank");
        }
    }
    if (error)
        *error = failure;
    return name;
}

void dropProcessDatabase()
{
    const QString name = processDatabase(nullptr);
    QSqlDatabase::database(AdminConnection, false).close();
    QSqlDatabase::removeDatabase(AdminConnection);
    TestStore::serverSql(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
}

} // namespace

bool TestStore::onPostgres()
{
    return qEnvironmentVariable("KASSOTYP_TEST_BACKEND") == QLatin1String("postgresql");
}

QString TestStore::unavailableReason()
{
    if (!onPostgres())
        return {};
    const QString skipped = QStringLiteral("PostgreSQL-Tests übersprungen: ");
    if (serverUrl().isEmpty())
        return skipped
               + QStringLiteral("KASSOTYP_TEST_PG nennt keinen Server "
                                "(scripts/pg-server.sh startet einen).");
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return skipped + QStringLiteral("der Qt-Treiber QPSQL ist nicht installiert.");
    QString error;
    processDatabase(&error);
    return error.isEmpty() ? QString() : skipped + error;
}

QString TestStore::serverSql(const QString &sql)
{
    const QString name = QStringLiteral("kassotyp-test-server");
    QString error;
    {
        QSqlDatabase server = connectTo(name, StoreLocation::parse(serverUrl()).databaseName);
        QSqlQuery q(server);
        if (!server.isOpen())
            error = server.lastError().text();
        else if (!q.exec(sql))
            error = q.lastError().text();
        server.close();
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

QString TestStore::freshLocation(const QString &sqlitePath)
{
    if (!onPostgres())
        return sqlitePath;
    QString error;
    const QString database = processDatabase(&error);
    if (!error.isEmpty())
        throw std::runtime_error(error.toStdString());
    static int counter = 0;
    const QString schema = QStringLiteral("s%1").arg(++counter);
    QSqlQuery q(QSqlDatabase::database(AdminConnection));
    if (!q.exec(QStringLiteral("CREATE SCHEMA %1").arg(schema)))
        throw std::runtime_error(q.lastError().text().toStdString());

    QUrl url(serverUrl());
    url.setPath(u'/' + database);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("options"), QStringLiteral("-csearch_path=") + schema);
    url.setQuery(query);
    return url.toString(QUrl::FullyEncoded);
}

void TestStore::refuseWrites(Store &store, const QString &table, const QString &condition,
                             const QString &message)
{
    static int counter = 0;
    const QString name = QStringLiteral("refuse_%1").arg(++counter);
    if (!store.isSqlite())
        store.execSql(QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS "
                                     "$$BEGIN RAISE EXCEPTION '%2'; END$$")
                              .arg(name, message),
                      QStringLiteral("test trigger"));
    for (const char *when : {"INSERT", "UPDATE"}) {
        const QString sql =
                store.isSqlite()
                        ? QStringLiteral("CREATE TRIGGER %1_%2 BEFORE %2 ON %3 %4 BEGIN SELECT "
                                         "RAISE(ABORT, '%5'); END")
                                  .arg(name, QLatin1String(when), table,
                                       condition.isEmpty() ? QString() : "WHEN " + condition,
                                       message)
                        : QStringLiteral("CREATE TRIGGER %1_%2 BEFORE %2 ON %3 FOR EACH ROW %4 "
                                         "EXECUTE FUNCTION %1()")
                                  .arg(name, QLatin1String(when), table,
                                       condition.isEmpty() ? QString()
                                                           : "WHEN (" + condition + ")");
        store.execSql(sql, QStringLiteral("test trigger"));
    }
}

bool TestStore::writeDamagedSqliteStore(const QString &path)
{
    qint64 page = 0;
    {
        const std::unique_ptr<Store> store = Store::open(StoreLocation::parse(path));
        LayoutStore layouts(*store);
        store->write([&] {
            for (int rnr = 1; rnr <= 300; ++rnr)
                layouts.writeList({QStringLiteral("BONPOS"), rnr, QStringLiteral("TM-T88")},
                                  {QStringLiteral("Zeile %1").arg(rnr), QString(200, u'x')});
        });
        // The damage goes into the cells of the fullest page of the layout records, not into a
        // free page or the free middle of one.
        QSqlQuery q = store->run(QStringLiteral("SELECT pageno FROM dbstat WHERE name = "
                                                "'layout_records' AND pagetype = 'leaf' ORDER BY "
                                                "ncell DESC, pageno LIMIT 1"),
                                 {}, QStringLiteral("Suchen einer Seite"));
        if (!q.next())
            return false;
        page = q.value(0).toLongLong();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || file.size() <= 16 * 4096)
        return false;
    file.seek((page - 1) * 4096 + 100);
    return file.write(QByteArray(900, '\xA5')) == 900;
}
