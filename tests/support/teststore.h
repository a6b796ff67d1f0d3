#pragma once

#include <QString>
#include <QTest>

class Store;

// Where the tests' stores live. CTest runs the store tests twice: on SQLite files, and with
// KASSOTYP_TEST_BACKEND=postgresql on the server that KASSOTYP_TEST_PG names
// (scripts/pg-server.sh starts one and prints its URL).
namespace TestStore {

bool onPostgres();

// Empty when stores can be made; otherwise why the tests of this run are skipped.
QString unavailableReason();

// A new, empty store: on PostgreSQL a schema of its own in a database of this test process
// (dropped when the process ends), otherwise the given SQLite file.
QString freshLocation(const QString &sqlitePath);

// Runs a statement on the test server's own database, as its administrator; the text of the
// error, empty when it worked.
QString serverSql(const QString &sql);

// From now on every insert or update of a row of `table` (one for which `condition` on NEW
// holds, when given) fails with `message`, on either driver.
void refuseWrites(Store &store, const QString &table, const QString &condition = {},
                  const QString &message = QStringLiteral("refused by test"));

// An SQLite store of 300 layout records at `path` whose file has a page in the middle of the
// records' tree overwritten, as a failing disk leaves it. False when it could not be made.
bool writeDamagedSqliteStore(const QString &path);

} // namespace TestStore

// For initTestCase() of a test that runs on both stores: without a server, all its tests are
// skipped with the reason, not failed.
#define KASSOTYP_SKIP_WITHOUT_TEST_STORE()                                                         \
    do {                                                                                           \
        const QString reason = TestStore::unavailableReason();                                     \
        if (!reason.isEmpty())                                                                     \
            QSKIP(qPrintable(reason));                                                             \
    } while (false)
