// The table of layout records: the record-store call sequence the windows use, the fallback
// to the template workstation, filtered walks, atomic writes, damaged records, and what
// happens when the store file itself is a problem.

#include "core/store/kastfile.h"
#include "core/store/layoutstore.h"
#include "core/store/parameters.h"
#include "core/store/settingslistcodec.h"
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

QString describe(const LayoutKey &key)
{
    return QStringLiteral("%1/%2/%3").arg(key.kennung).arg(key.rnr).arg(key.printerKey);
}

LayoutKey parseKey(const QString &text)
{
    const QStringList parts = text.split(u'/');
    return {parts.value(0), parts.value(1).toInt(), parts.value(2)};
}

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
    const QString name = QStringLiteral("tst_layoutstore-raw-%1").arg(++counter);
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

// The stored list, or a marker that no comparison with a real list can match.
QStringList storedList(const LayoutStore &layouts, const LayoutKey &key)
{
    return layouts.readList(key).value_or(QStringList{QStringLiteral("<kein Satz>")});
}

void setKey(Tkastfile &file, const LayoutKey &key)
{
    file.ClearKey();
    file.Kennung.SetKeyWert(key.kennung);
    file.RNr.SetKeyWert(key.rnr);
    file.Drucker.SetKeyWert(key.printerKey);
}

QStringList readStream(const Tkastfile &file)
{
    const std::unique_ptr<QIODevice> stream = file.CreateBlobStream();
    return SettingsListCodec::decode(stream->readAll()).entries;
}

} // namespace

class TestLayoutStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { KASSOTYP_SKIP_WITHOUT_TEST_STORE(); }
    void kastfileInsertsThenUpdates_data();
    void kastfileInsertsThenUpdates();
    void kastfileStreamsBytesUnchanged();
    void kastfileRefusesWritesWithoutARecord();
    void fillerKeptOnPlainWriteReplacedWhenGiven_data();
    void fillerKeptOnPlainWriteReplacedWhenGiven();
    void kastfileWritesTheFourthFieldAsSet_data();
    void kastfileWritesTheFourthFieldAsSet();
    void templateFallback_data();
    void templateFallback();
    void filteredWalk_data();
    void filteredWalk();
    void walkSkipsRecordsRemovedMeanwhile();
    void failedWriteLeavesNothingBehind_data();
    void failedWriteLeavesNothingBehind();
    void damagedRecordIsReportedAndKept_data();
    void damagedRecordIsReportedAndKept();
    void openCreatesMissingFolder();
    void storeOfTheFirstSchemaIsUpdatedWithItsRecords();
    void openRefusesFilesThatAreNotOurStore_data();
    void openRefusesFilesThatAreNotOurStore();
    void readOnlyStoreReadsButRefusesWrites();
    void twoProgramsSeeEachOthersWrites();
};

void TestLayoutStore::kastfileInsertsThenUpdates_data()
{
    QTest::addColumn<bool>("takeOverKeyValues");
    QTest::newRow("key values taken over") << true;
    QTest::newRow("values set one by one") << false;
}

void TestLayoutStore::kastfileInsertsThenUpdates()
{
    QFETCH(bool, takeOverKeyValues);
    TestInstallation inst;
    LayoutStore &layouts = inst.host().layouts();
    const LayoutKey key{QStringLiteral("BONPOS"), 5, QStringLiteral("TM-T88")};
    const LayoutKey neighbour{QStringLiteral("BONPOS"), 0, QStringLiteral("TM-T88")};
    layouts.writeList(neighbour, {QStringLiteral("Vorlage")});
    const qint64 before = layouts.count();

    Tkastfile file(inst.host().store());
    file.OpenNew(-1);
    setKey(file, key);
    QVERIFY(!file.Find());
    file.NewRecord();
    if (takeOverKeyValues) {
        file.TakeOverKeyValues();
    } else {
        file.Kennung.SetWert(key.kennung);
        file.RNr.SetWert(key.rnr);
        file.Drucker.SetWert(key.printerKey);
    }
    const QStringList first = {QStringLiteral("Arial"), QStringLiteral("Größe 12"), QString()};
    file.StartStreamBuchung(wrdonInsert, false)->write(encodeUtf8(first));
    file.EndStreamBuchung();
    file.Close();
    QCOMPARE(layouts.count(), before + 1);

    // A second component finds it, as the next window would.
    Tkastfile again(inst.host().store());
    again.OpenNew(-1);
    setKey(again, key);
    QVERIFY(again.Find());
    QCOMPARE(again.Kennung.GetWert(), key.kennung);
    QCOMPARE(again.RNr.GetWert(), key.rnr);
    QCOMPARE(again.Drucker.GetWert(), key.printerKey);
    QCOMPARE(readStream(again), first);

    const QStringList second = {QStringLiteral("Courier"), QStringLiteral("8")};
    again.StartStreamBuchung(wrdonUpdate, false)->write(encodeUtf8(second));
    again.EndStreamBuchung();
    QCOMPARE(layouts.count(), before + 1);
    QCOMPARE(storedList(layouts, key), QStringList(second));
    QCOMPARE(storedList(layouts, neighbour), QStringList({QStringLiteral("Vorlage")}));

    // Clearing the key resets the workstation too: only the template's record matches now.
    again.ClearKey();
    again.Kennung.SetKeyWert(key.kennung);
    again.Drucker.SetKeyWert(key.printerKey);
    QVERIFY(again.Find());
    QCOMPARE(again.RNr.GetWert(), 0);
}

// Catches a write path that re-encodes the stream: the simple text editor writes Windows-1252
// on purpose and the bytes must arrive exactly as written.
void TestLayoutStore::kastfileStreamsBytesUnchanged()
{
    TestInstallation inst;
    const LayoutKey key{QStringLiteral("ECBUCH"), 3, QStringLiteral("TM-T88")};
    const QByteArray ansi =
            SettingsListCodec::encodeWindows1252({QStringLiteral("Kartenzahlung 5 €"), {}});

    Tkastfile file(inst.host().store());
    file.OpenNew(-1);
    setKey(file, key);
    file.BookSettingsList({QStringLiteral("vorher")});
    QVERIFY(file.Find());
    file.StartStreamBuchung(wrdonUpdate, false)->write(ansi);
    file.EndStreamBuchung();

    QCOMPARE(inst.host().layouts().find(key)->blob, ansi);
    QVERIFY(file.Find());
    QCOMPARE(file.CreateBlobStream()->readAll(), ansi);
}

// Catches writes that land under an empty key when a window forgets to find or create the
// record first, and a closed component that still reads.
void TestLayoutStore::kastfileRefusesWritesWithoutARecord()
{
    TestInstallation inst;
    const qint64 before = inst.host().layouts().count();
    Tkastfile file(inst.host().store());

    QVERIFY_THROWS_EXCEPTION(StoreError, file.Find());

    file.OpenNew(-1);
    QVERIFY_THROWS_EXCEPTION(StoreError, file.StartStreamBuchung(wrdonInsert, false));
    QVERIFY_THROWS_EXCEPTION(StoreError, file.EndStreamBuchung());
    QCOMPARE(inst.host().layouts().count(), before);

    file.Close();
    QVERIFY_THROWS_EXCEPTION(StoreError, file.CreateBlobStream());
    file.OpenNew(-1);
    setKey(file, {QStringLiteral("AKTBONDR"), 0, QStringLiteral("AKTIV")});
    QVERIFY(file.Find());
}

void TestLayoutStore::fillerKeptOnPlainWriteReplacedWhenGiven_data()
{
    QTest::addColumn<QString>("firstFiller");
    QTest::addColumn<bool>("giveSecond");
    QTest::addColumn<QString>("secondFiller");
    QTest::addColumn<QString>("expected");

    QTest::newRow("insert without filler stores it empty")
            << QString() << false << QString() << QString();
    QTest::newRow("plain update keeps the filler")
            << QStringLiteral("Default") << false << QString() << QStringLiteral("Default");
    QTest::newRow("given filler replaces it")
            << QStringLiteral("Default") << true << QStringLiteral("AutoWert")
            << QStringLiteral("AutoWert");
    QTest::newRow("given empty filler clears it")
            << QStringLiteral("AutoWert") << true << QString() << QString();
}

void TestLayoutStore::fillerKeptOnPlainWriteReplacedWhenGiven()
{
    QFETCH(QString, firstFiller);
    QFETCH(bool, giveSecond);
    QFETCH(QString, secondFiller);
    QFETCH(QString, expected);

    TestInstallation inst;
    LayoutStore &layouts = inst.host().layouts();
    const LayoutKey key{QStringLiteral("BONSUMME"), 4, QStringLiteral("TM-T88")};
    layouts.upsert(key, encodeUtf8({QStringLiteral("1")}),
                   firstFiller.isEmpty() ? std::nullopt : std::optional<QString>(firstFiller));
    const QByteArray secondBlob = encodeUtf8({QStringLiteral("2")});
    layouts.upsert(key, secondBlob,
                   giveSecond ? std::optional<QString>(secondFiller) : std::nullopt);

    const std::optional<LayoutRecord> record = layouts.find(key);
    QVERIFY(record);
    QCOMPARE(record->filler, expected);
    QCOMPARE(record->blob, secondBlob);
    QCOMPARE(layouts.keys({4, 4, QStringLiteral("TM-T88")}).value(0).filler, expected);
}

void TestLayoutStore::kastfileWritesTheFourthFieldAsSet_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("setField");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    // Editors empty the field on saving; the workstation setup writes "Default"/"AutoWert".
    QTest::newRow("update emptying the field") << true << true << QString() << QString();
    QTest::newRow("update with a setup filler")
            << true << true << QStringLiteral("AutoWert") << QStringLiteral("AutoWert");
    QTest::newRow("update leaving the field alone")
            << true << false << QString() << QStringLiteral("Default");
    QTest::newRow("insert with a setup filler")
            << false << true << QStringLiteral("Default") << QStringLiteral("Default");
}

// Catches a write that drops the fourth field the caller set on the current record.
void TestLayoutStore::kastfileWritesTheFourthFieldAsSet()
{
    QFETCH(bool, exists);
    QFETCH(bool, setField);
    QFETCH(QString, value);
    QFETCH(QString, expected);

    TestInstallation inst;
    const LayoutKey key{QStringLiteral("BONENDE"), 3, QStringLiteral("TM-T88")};
    if (exists)
        inst.host().layouts().upsert(key, encodeUtf8({QStringLiteral("alt")}),
                                     QStringLiteral("Default"));

    Tkastfile file(inst.host().store());
    file.OpenNew(-1);
    setKey(file, key);
    QCOMPARE(file.Find(), exists);
    if (!exists) {
        file.NewRecord();
        file.TakeOverKeyValues();
    }
    if (setField)
        file.Filler.SetWert(value);
    file.StartStreamBuchung(exists ? wrdonUpdate : wrdonInsert, false)
            ->write(encodeUtf8({QStringLiteral("neu")}));
    file.EndStreamBuchung();

    QCOMPARE(inst.host().layouts().find(key)->filler, expected);
}

void TestLayoutStore::templateFallback_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("lookup");
    QTest::addColumn<QString>("expected"); // empty: nothing found

    const QString own = QStringLiteral("BONPOS/5/TM-T88");
    const QString tmpl = QStringLiteral("BONPOS/0/TM-T88");
    QTest::newRow("own record wins over the template") << QStringList{own, tmpl} << own << own;
    QTest::newRow("template under the same printer key") << QStringList{tmpl} << own << tmpl;
    QTest::newRow("template under another printer key is not used")
            << QStringList{QStringLiteral("BONPOS/0/TM-U200B")} << own << QString();
    QTest::newRow("another workstation's record is not used")
            << QStringList{QStringLiteral("BONPOS/4/TM-T88")} << own << QString();
    QTest::newRow("another section's template is not used")
            << QStringList{QStringLiteral("BONKOPF/0/TM-T88")} << own << QString();
    QTest::newRow("empty printer key falls back to TEST")
            << QStringList{QStringLiteral("BONPOS/0/TEST")} << QStringLiteral("BONPOS/5/")
            << QStringLiteral("BONPOS/0/TEST");
    QTest::newRow("TEST is no fallback for a named printer")
            << QStringList{QStringLiteral("BONPOS/0/TEST")} << own << QString();
    QTest::newRow("template asked for itself") << QStringList{tmpl} << tmpl << tmpl;
}

void TestLayoutStore::templateFallback()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, lookup);
    QFETCH(QString, expected);

    TestInstallation inst;
    LayoutStore &layouts = inst.host().layouts();
    for (const QString &k : stored)
        layouts.writeList(parseKey(k), {k});

    const std::optional<LayoutKey> found = layouts.findWithTemplateFallback(parseKey(lookup));
    QCOMPARE(found ? describe(*found) : QString(), expected);
    if (found)
        QCOMPARE(storedList(layouts, *found), QStringList({expected}));
}

void TestLayoutStore::filteredWalk_data()
{
    QTest::addColumn<int>("rnrMin"); // -1: no limit
    QTest::addColumn<int>("rnrMax");
    QTest::addColumn<QString>("printer"); // empty: no filter
    QTest::addColumn<QString>("kennung");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("no filter walks all in key order")
            << -1 << -1 << QString() << QString()
            << QStringList{"BONKOPF/0/TEST",   "BONKOPF/1/TM-T88", "BONPOS/1/TM-T88",
                           "BONPOS/2/TEST",    "BONPOS/2/TM-T88",  "BONPOS/3/TM-T88",
                           "RECHENDE/5/TM-T88"};
    QTest::newRow("workstation range") << 1 << 2 << QString() << QString()
                                       << QStringList{"BONKOPF/1/TM-T88", "BONPOS/1/TM-T88",
                                                      "BONPOS/2/TEST", "BONPOS/2/TM-T88"};
    QTest::newRow("minimum only") << 3 << -1 << QString() << QString()
                                  << QStringList{"BONPOS/3/TM-T88", "RECHENDE/5/TM-T88"};
    QTest::newRow("template workstation only")
            << 0 << 0 << QString() << QString() << QStringList{"BONKOPF/0/TEST"};
    QTest::newRow("printer key only") << -1 << -1 << QStringLiteral("TEST") << QString()
                                      << QStringList{"BONKOPF/0/TEST", "BONPOS/2/TEST"};
    QTest::newRow("range and printer key") << 1 << 3 << QStringLiteral("TM-T88") << QString()
                                           << QStringList{"BONKOPF/1/TM-T88", "BONPOS/1/TM-T88",
                                                          "BONPOS/2/TM-T88", "BONPOS/3/TM-T88"};
    QTest::newRow("section identifier and range")
            << 2 << 9 << QString() << QStringLiteral("BONPOS")
            << QStringList{"BONPOS/2/TEST", "BONPOS/2/TM-T88", "BONPOS/3/TM-T88"};
    QTest::newRow("empty range") << 4 << 3 << QString() << QString() << QStringList();
    QTest::newRow("printer key nobody has")
            << -1 << -1 << QStringLiteral("XYZ") << QString() << QStringList();
}

void TestLayoutStore::filteredWalk()
{
    QFETCH(int, rnrMin);
    QFETCH(int, rnrMax);
    QFETCH(QString, printer);
    QFETCH(QString, kennung);
    QFETCH(QStringList, expected);

    TestInstallation inst;
    LayoutStore &layouts = inst.host().layouts();
    for (const LayoutRecord &seeded : layouts.keys({}))
        layouts.remove(seeded.key);
    // Stored out of key order, so that a walk in insertion order fails.
    for (const char *k :
         {"RECHENDE/5/TM-T88", "BONPOS/2/TM-T88", "BONKOPF/1/TM-T88", "BONPOS/3/TM-T88",
          "BONKOPF/0/TEST", "BONPOS/1/TM-T88", "BONPOS/2/TEST"}) {
        const LayoutKey key = parseKey(QString::fromLatin1(k));
        layouts.writeList(key, {describe(key)});
    }

    Tkastfile file(inst.host().store());
    file.OpenNew(-1);
    if (rnrMin >= 0)
        file.RNr.SetFilterMin(rnrMin);
    if (rnrMax >= 0)
        file.RNr.SetFilterMax(rnrMax);
    if (!printer.isEmpty())
        file.Drucker.SetFilter(printer);
    if (!kennung.isEmpty())
        file.Kennung.SetFilter(kennung);

    QStringList walked;
    for (bool more = file.First(); more; more = file.Next()) {
        QVERIFY(file.Found());
        const QString key = describe(file.currentKey());
        walked << key;
        // The current record's blob belongs to the current key, not to the one before.
        QCOMPARE(file.ReadSettingsList(), QStringList{key});
    }
    QVERIFY(!file.Found());
    QCOMPARE(walked, expected);
}

// Catches a walk that reports a record another program removed after the walk began.
void TestLayoutStore::walkSkipsRecordsRemovedMeanwhile()
{
    TestInstallation inst;
    LayoutStore &layouts = inst.host().layouts();
    for (int rnr : {1, 2, 3})
        layouts.writeList({QStringLiteral("BONPOS"), rnr, QStringLiteral("X")}, {});

    Tkastfile file(inst.host().store());
    file.OpenNew(-1);
    file.Drucker.SetFilter(QStringLiteral("X"));
    QVERIFY(file.First());
    QCOMPARE(file.RNr.GetWert(), 1);
    const std::unique_ptr<Host> other = inst.openSecondHost();
    QVERIFY(other->layouts().remove({QStringLiteral("BONPOS"), 2, QStringLiteral("X")}));
    QVERIFY(file.Next());
    QCOMPARE(file.RNr.GetWert(), 3);
    QVERIFY(!file.Next());
}

void TestLayoutStore::failedWriteLeavesNothingBehind_data()
{
    QTest::addColumn<int>("failure");
    QTest::newRow("failing statement") << 0;
    QTest::newRow("exception of the caller") << 1;
    QTest::newRow("failure inside a nested write") << 2;
}

// Catches a write that keeps part of its work when a later step fails, and a store that stays
// stuck in the failed transaction afterwards.
void TestLayoutStore::failedWriteLeavesNothingBehind()
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

void TestLayoutStore::damagedRecordIsReportedAndKept_data()
{
    QTest::addColumn<QByteArray>("blob");
    QTest::newRow("Windows-1252 umlaut behind the mark") << QByteArray("\xEF\xBB\xBF"
                                                                       "Gr\xF6\xDF"
                                                                       "e\r\n");
    QTest::newRow("sequence cut off at the end") << QByteArray("\xEF\xBB\xBF"
                                                               "a\r\n\xE2\x82");
}

// Catches a damaged record that is silently read with replacement characters (and would be
// written back so by the next save) or that is changed by merely reading it.
void TestLayoutStore::damagedRecordIsReportedAndKept()
{
    QFETCH(QByteArray, blob);
    TestInstallation inst;
    const LayoutKey key{QStringLiteral("BONKOPF"), 7, QStringLiteral("TM-U200B")};
    inst.putBlob(key.kennung, key.rnr, key.printerKey, blob);

    try {
        inst.host().layouts().readList(key);
        QFAIL("a damaged record was read without complaint");
    } catch (const DamagedRecordError &e) {
        QVERIFY2(e.text().contains(QStringLiteral("BONKOPF")), qPrintable(e.text()));
        QVERIFY2(e.text().contains(QStringLiteral("7")), qPrintable(e.text()));
        QVERIFY2(e.text().contains(QStringLiteral("TM-U200B")), qPrintable(e.text()));
    }

    Tkastfile file(inst.host().store());
    file.OpenNew(-1);
    setKey(file, key);
    QVERIFY(file.Find());
    QVERIFY_THROWS_EXCEPTION(DamagedRecordError, file.ReadSettingsList());
    QCOMPARE(file.CreateBlobStream()->readAll(), blob);
    file.Close();

    QCOMPARE(inst.host().layouts().find(key)->blob, blob);
}

void TestLayoutStore::openCreatesMissingFolder()
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
void TestLayoutStore::storeOfTheFirstSchemaIsUpdatedWithItsRecords()
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

void TestLayoutStore::openRefusesFilesThatAreNotOurStore_data()
{
    QTest::addColumn<int>("situation");
    QTest::newRow("text file") << 0;
    QTest::newRow("foreign database") << 1;
    QTest::newRow("store of a newer program") << 2;
    QTest::newRow("folder instead of a file") << 3;
}

// Catches opening that "repairs" a file it does not own: someone else's data must survive a
// wrong store setting byte for byte.
void TestLayoutStore::openRefusesFilesThatAreNotOurStore()
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

void TestLayoutStore::readOnlyStoreReadsButRefusesWrites()
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

void TestLayoutStore::twoProgramsSeeEachOthersWrites()
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

QTEST_GUILESS_MAIN(TestLayoutStore)
#include "tst_layoutstore.moc"
