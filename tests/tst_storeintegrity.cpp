// The store as a whole: writes that fail leave nothing behind, opening creates what is missing,
// updates a store of the first schema and refuses what is not ours, a read-only store, and two
// programs on one store.

#include "core/store/kastfile.h"
#include "core/store/layoutstore.h"
#include "core/store/parameters.h"
#include "core/store/settingslistcodec.h"
#include "tests/layoutrecords.h"
#include "tests/support/testinstallation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using SettingsListCodec::encodeUtf8;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Runs statements on an SQLite file through a connection of its own, as another program would.
bool runSql(const QString &path, const QStringList &statements)
{
    static int counter = 0;
    const QString name = QStringLiteral("tst_storeintegrity-raw-%1").arg(++counter);
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ok = db.open();
        for (const QString &sql : statements) {
            QSqlQuery q(db);
            ok = ok && q.exec(sql);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

class TestStoreIntegrity : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { KASSOTYP_SKIP_WITHOUT_TEST_STORE(); }
    void failedWriteLeavesNothingBehind_data();
    void failedWriteLeavesNothingBehind();
    void openCreatesMissingFolder();
    void storeOfTheFirstSchemaIsUpdatedWithItsRecords();
    void openRefusesFilesThatAreNotOurStore_data();
    void openRefusesFilesThatAreNotOurStore();
    void readOnlyStoreReadsButRefusesWrites();
    void damagedStoreIsReportedAndOnlyRead();
    void twoProgramsSeeEachOthersWrites();
};

void TestStoreIntegrity::failedWriteLeavesNothingBehind_data()
{
    QTest::addColumn<int>("failure");
    QTest::newRow("failing statement") << 0;
    QTest::newRow("exception of the caller") << 1;
    QTest::newRow("failure inside a nested write") << 2;
}

// Catches a write that keeps part of its work when a later step fails, and a store that stays
// stuck in the failed transaction afterwards.
void TestStoreIntegrity::failedWriteLeavesNothingBehind()
{
    QFETCH(int, failure);
    TestInstallation inst;
    Store &store = inst.host().store();
    LayoutStore &layouts = inst.host().layouts();
    const LayoutKey existing{QStringLiteral("AKTBONDR"), 0, QStringLiteral("AKTIV")};
    const QByteArray existingBlob = layouts.find(existing)->blob;
    const LayoutKey added{QStringLiteral("BONPOS"), 3, QStringLiteral("TM-T88")};
    const qint64 before = layouts.count();

    bool thrown = false;
    try {
        store.write([&] {
            layouts.upsert(existing, encodeUtf8({QStringLiteral("überschrieben")}));
            layouts.upsert(added, encodeUtf8({QStringLiteral("neu")}));
            inst.host().parameters().StringParamWrite(QStringLiteral("PRGEUEBE"),
                                                      QStringLiteral("A"), 3);
            if (failure == 0)
                store.execSql(QStringLiteral("INSERT INTO no_such_table VALUES (1)"),
                              QStringLiteral("Test"));
            else if (failure == 1)
                throw std::runtime_error("abgebrochen");
            else
                store.write([&] {
                    layouts.remove(existing);
                    throw std::runtime_error("innen abgebrochen");
                });
        });
    } catch (const std::exception &) {
        thrown = true;
    }
    QVERIFY(thrown);
    QVERIFY(!store.inTransaction());
    QCOMPARE(layouts.count(), before);
    QCOMPARE(layouts.find(existing)->blob, existingBlob);
    QVERIFY(!layouts.find(added));
    QCOMPARE(inst.host().parameters().StringParamRead(QStringLiteral("PRGEUEBE"), 3), QString());

    // The next write is committed, not swallowed by a transaction left open.
    layouts.writeList(added, {QStringLiteral("danach")});
    const std::unique_ptr<Host> other = inst.openSecondHost();
    QCOMPARE(storedList(other->layouts(), added), QStringList({QStringLiteral("danach")}));
}

void TestStoreIntegrity::openCreatesMissingFolder()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("neu/tiefer/store.sqlite"));
    {
        const std::unique_ptr<Store> store = Store::open(StoreLocation::parse(path));
        QVERIFY(!store->isReadOnly());
        QCOMPARE(store->schemaVersion(), Store::SchemaVersion);
        QCOMPARE(store->integrityCheck(), QStringLiteral("ok"));
        LayoutStore(*store).writeList({QStringLiteral("BONPOS"), 1, QStringLiteral("TEST")}, {});
    }
    QVERIFY(QFileInfo(path).isFile());
    const std::unique_ptr<Store> reopened = Store::open(StoreLocation::parse(path));
    QCOMPARE(LayoutStore(*reopened).count(), 1);
}

// A store written by the first version of the program, whose keys began with the section
// identifier: every record and parameter survives the update of the schema unchanged, and the
// updated store is written and walked as a new one.
void TestStoreIntegrity::storeOfTheFirstSchemaIsUpdatedWithItsRecords()
{
    QTemporaryDir dir;
    const QString location = TestStore::freshLocation(dir.filePath(QStringLiteral("alt.sqlite")));
    const LayoutKey item{QStringLiteral("BONPOS"), 3, QStringLiteral("TM-T88")};
    const LayoutKey header{QStringLiteral("BONKOPF"), 3, QStringLiteral("TM-T88")};
    const LayoutKey templateHeader{QStringLiteral("BONKOPF"), 0, QStringLiteral("TM-T88")};
    const QByteArray binary("\x00\xFF\x00", 3);
    {
        std::unique_ptr<Store> store = Store::open(StoreLocation::parse(location));
        const QString blob = store->isSqlite() ? QStringLiteral("BLOB") : QStringLiteral("BYTEA");
        store->write([&] {
            for (const QString &sql :
                 {QStringLiteral("DROP TABLE layout_records"),
                  QStringLiteral("CREATE TABLE layout_records (kennung TEXT NOT NULL, rnr INTEGER "
                                 "NOT NULL, printer_key TEXT NOT NULL, filler TEXT NOT NULL "
                                 "DEFAULT '', blob %1 NOT NULL, PRIMARY KEY (kennung, rnr, "
                                 "printer_key))")
                          .arg(blob),
                  QStringLiteral("CREATE INDEX layout_records_by_rnr ON layout_records (rnr, "
                                 "printer_key)"),
                  QStringLiteral("DROP TABLE parameters"),
                  QStringLiteral("CREATE TABLE parameters (param_key TEXT NOT NULL, rnr INTEGER "
                                 "NOT NULL, value TEXT NOT NULL, PRIMARY KEY (param_key, rnr))"),
                  QStringLiteral("INSERT INTO parameters VALUES ('PRGEUEBE', 3, 'J'), "
                                 "('WAEHRUNG', 0, 'EUR')"),
                  QStringLiteral("DROP TABLE record_history"),
                  QStringLiteral("DROP TABLE printer_logos"),
                  QStringLiteral("UPDATE schema_info SET version = 1")})
                store->execSql(sql, QStringLiteral("Schema der ersten Version"));
            for (const auto &[key, filler, bytes] :
                 {std::tuple{item, QStringLiteral("Default"),
                             encodeUtf8({QStringLiteral("Zeile")})},
                  std::tuple{header, QStringLiteral("AutoWert"), binary},
                  std::tuple{templateHeader, QStringLiteral("AutoWert"),
                             encodeUtf8({QStringLiteral("Kopf")})}}) {
                QSqlQuery q = store->prepare(QStringLiteral("INSERT INTO layout_records VALUES (?, "
                                                            "?, ?, ?, ?)"));
                for (const QVariant &value :
                     {QVariant(key.kennung), QVariant(key.rnr), QVariant(key.printerKey),
                      QVariant(filler), QVariant(bytes)})
                    q.addBindValue(value);
                Store::exec(q, QStringLiteral("Satz der ersten Version"));
            }
        });
        QCOMPARE(store->schemaVersion(), 1);
    }

    const std::unique_ptr<Store> store = Store::open(StoreLocation::parse(location));
    QCOMPARE(store->schemaVersion(), Store::SchemaVersion);
    QCOMPARE(store->integrityCheck(), QStringLiteral("ok"));
    LayoutStore layouts(*store);
    OVOParameter parameters(*store);
    QCOMPARE(layouts.count(), 3);
    QCOMPARE(layouts.find(item)->filler, QStringLiteral("Default"));
    QCOMPARE(storedList(layouts, item), QStringList{QStringLiteral("Zeile")});
    QCOMPARE(layouts.find(header)->blob, binary);
    QCOMPARE(parameters.StringParamRead(QStringLiteral("PRGEUEBE"), 3), QStringLiteral("J"));
    QCOMPARE(parameters.StringParamRead(QStringLiteral("WAEHRUNG"), 0), QStringLiteral("EUR"));

    layouts.writeList(item, {QStringLiteral("neu")});
    parameters.StringParamWrite(QStringLiteral("PRGEUEBE"), QStringLiteral("N"), 3);
    QCOMPARE(storedList(layouts, item), QStringList{QStringLiteral("neu")});
    QCOMPARE(layouts.count(), 3);
    QCOMPARE(parameters.StringParamRead(QStringLiteral("PRGEUEBE"), 3), QStringLiteral("N"));
    QStringList walked;
    for (const LayoutRecord &r : layouts.keys(LayoutFilter{}))
        walked << describe(r.key);
    QCOMPARE(walked,
             QStringList({QStringLiteral("BONKOPF/0/TM-T88"), QStringLiteral("BONKOPF/3/TM-T88"),
                          QStringLiteral("BONPOS/3/TM-T88")}));
}

void TestStoreIntegrity::openRefusesFilesThatAreNotOurStore_data()
{
    QTest::addColumn<int>("situation");
    QTest::newRow("text file") << 0;
    QTest::newRow("foreign database") << 1;
    QTest::newRow("store of a newer program") << 2;
    QTest::newRow("folder instead of a file") << 3;
}

// Catches opening that "repairs" a file it does not own: someone else's data must survive a
// wrong store setting byte for byte.
void TestStoreIntegrity::openRefusesFilesThatAreNotOurStore()
{
    QFETCH(int, situation);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("store.sqlite"));
    switch (situation) {
    case 0: {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Kassenbericht vom 1. Mai\r\nkeine Datenbank\r\n");
        break;
    }
    case 1:
        QVERIFY(runSql(path, {QStringLiteral("CREATE TABLE kunden (nr INTEGER, name TEXT)"),
                              QStringLiteral("INSERT INTO kunden VALUES (1, 'Meier')")}));
        break;
    case 2:
        Store::open(StoreLocation::parse(path)).reset();
        QVERIFY(runSql(path, {QStringLiteral("UPDATE schema_info SET version = %1")
                                      .arg(Store::SchemaVersion + 1)}));
        break;
    case 3:
        path = dir.filePath(QStringLiteral("ordner"));
        QVERIFY(QDir().mkpath(path));
        break;
    }
    const QByteArray before = fileBytes(path);

    bool refused = false;
    try {
        Store::open(StoreLocation::parse(path));
    } catch (const StoreError &e) {
        refused = true;
        QVERIFY(!e.text().isEmpty());
    }
    QVERIFY(refused);
    QCOMPARE(fileBytes(path), before);
}

void TestStoreIntegrity::readOnlyStoreReadsButRefusesWrites()
{
    if (TestStore::onPostgres())
        QSKIP("copies an SQLite file; tst_storeloss covers a read-only PostgreSQL store");
    TestInstallation inst;
    const LayoutKey key{QStringLiteral("BONPOS"), 3, QStringLiteral("TM-T88")};
    inst.host().layouts().writeList(key, {QStringLiteral("gespeichert")});

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kopie.sqlite"));
    {
        // A checkpointed copy, so that the file alone holds everything.
        const std::unique_ptr<Host> source = inst.openSecondHost();
        source->store().execSql(QStringLiteral("VACUUM INTO '%1'").arg(path),
                                QStringLiteral("Kopieren"));
    }
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup
                                                | QFileDevice::ReadOther));
    if (QFileInfo(path).isWritable())
        QSKIP("file permissions do not stop this user from writing (running as root)");
    const QByteArray before = fileBytes(path);

    const std::unique_ptr<Store> store = Store::open(StoreLocation::parse(path));
    QVERIFY(store->isReadOnly());
    LayoutStore layouts(*store);
    QCOMPARE(storedList(layouts, key), QStringList({QStringLiteral("gespeichert")}));
    QVERIFY_THROWS_EXCEPTION(StoreError, layouts.writeList(key, {QStringLiteral("neu")}));
    QVERIFY_THROWS_EXCEPTION(StoreError, layouts.remove(key));
    QCOMPARE(storedList(layouts, key), QStringList({QStringLiteral("gespeichert")}));
    QCOMPARE(fileBytes(path), before);
}

void TestStoreIntegrity::damagedStoreIsReportedAndOnlyRead()
{
    if (TestStore::onPostgres())
        QSKIP("damages an SQLite file");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kaputt.sqlite"));
    QVERIFY(TestStore::writeDamagedSqliteStore(path));
    const QByteArray before = fileBytes(path);

    const std::unique_ptr<Store> store = Store::open(StoreLocation::parse(path));
    QVERIFY(!store->damage().isEmpty());
    QVERIFY2(store->damage().contains(QStringLiteral("Schäden")), qPrintable(store->damage()));
    QVERIFY(store->isReadOnly());
    LayoutStore layouts(*store);
    QVERIFY_THROWS_EXCEPTION(
            StoreError, layouts.writeList({QStringLiteral("BONPOS"), 1, QStringLiteral("TM-T88")},
                                          {QStringLiteral("neu")}));
    QCOMPARE(fileBytes(path), before);

    // The check runs beside the program from opening on: a write that comes before anyone asked
    // for its findings waits for them and is refused with them.
    const std::unique_ptr<Store> again = Store::open(StoreLocation::parse(path));
    LayoutStore layoutsAgain(*again);
    try {
        layoutsAgain.writeList({QStringLiteral("BONPOS"), 2, QStringLiteral("TM-T88")},
                               {QStringLiteral("neu")});
        QFAIL("written into a damaged store");
    } catch (const StoreError &e) {
        QVERIFY2(e.text().contains(QStringLiteral("Schäden")), qPrintable(e.text()));
    }
    QVERIFY(again->isReadOnly());
    QCOMPARE(fileBytes(path), before);

    // Held back until the window is up (as the designer opens it): nothing is known at first,
    // and a write still runs the check first and is refused.
    for (const bool asked : {false, true}) {
        const std::unique_ptr<Store> held = Store::open(
                StoreLocation::parse(path), Store::Access::ReadWrite, Store::FileCheck::WhenAsked);
        QVERIFY(held->knownDamage().isEmpty());
        QVERIFY(!held->isReadOnly());
        if (asked)
            held->beginFileCheck();
        LayoutStore heldLayouts(*held);
        QVERIFY_THROWS_EXCEPTION(StoreError, heldLayouts.writeList({QStringLiteral("BONPOS"), 3,
                                                                    QStringLiteral("TM-T88")},
                                                                   {QStringLiteral("neu")}));
        QVERIFY(held->damage().contains(QStringLiteral("Schäden")));
        QVERIFY(held->isReadOnly());
        QCOMPARE(fileBytes(path), before);
    }
}

void TestStoreIntegrity::twoProgramsSeeEachOthersWrites()
{
    TestInstallation inst;
    Host &first = inst.host();
    const std::unique_ptr<Host> second = inst.openSecondHost();
    // The second program must not seed the demo installation a second time.
    QCOMPARE(second->layouts().count(), first.layouts().count());

    const LayoutKey key{QStringLiteral("BONPOS"), 3, QStringLiteral("TM-T88")};
    first.layouts().writeList(key, {QStringLiteral("vom ersten")});
    QCOMPARE(storedList(second->layouts(), key), QStringList({QStringLiteral("vom ersten")}));

    Tkastfile file(second->store());
    file.OpenNew(-1);
    setKey(file, key);
    file.BookSettingsList({QStringLiteral("vom zweiten")});
    QCOMPARE(storedList(first.layouts(), key), QStringList({QStringLiteral("vom zweiten")}));

    second->parameters().StringParamWrite(QStringLiteral("PRGEUEBE"), QStringLiteral("G"), 3);
    QCOMPARE(first.parameters().StringParamRead(QStringLiteral("PRGEUEBE"), 3),
             QStringLiteral("G"));
}

QTEST_GUILESS_MAIN(TestStoreIntegrity)
#include "tst_storeintegrity.moc"
