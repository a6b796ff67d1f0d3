// The table of layout records: the record-store call sequence the windows use, the fallback
// to the template workstation, filtered walks and damaged records.

#include "core/store/kastfile.h"
#include "core/store/layoutstore.h"
#include "core/store/settingslistcodec.h"
#include "tests/layoutrecords.h"
#include "tests/support/testinstallation.h"

#include <QTest>

using SettingsListCodec::encodeUtf8;

namespace {

LayoutKey parseKey(const QString &text)
{
    const QStringList parts = text.split(u'/');
    return {parts.value(0), parts.value(1).toInt(), parts.value(2)};
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
    void damagedRecordIsReportedAndKept_data();
    void damagedRecordIsReportedAndKept();
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

    TestInstallation::Options bare;
    bare.demoShop = false; // no designed templates: only the rows' records are there
    TestInstallation inst(bare);
    LayoutStore &layouts = inst.host().layouts();
    for (const QString &k : stored)
        layouts.writeList(parseKey(k), {k});

    const LayoutKey key = parseKey(lookup);
    const auto first = layouts.readFirst(Fallback::section(key.kennung, key.rnr, key.printerKey));
    const std::optional<LayoutKey> found =
            first ? std::optional<LayoutKey>(first->first) : std::nullopt;
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

QTEST_GUILESS_MAIN(TestLayoutStore)
#include "tst_layoutstore.moc"
