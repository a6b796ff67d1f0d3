// The admin command as a user calls it: the built program on real stores of both kinds.
#include "core/store/layoutstore.h"
#include "core/store/settingslistcodec.h"
#include "core/store/storeexchange.h"
#include "tests/support/builtprogram.h"
#include "tests/support/testinstallation.h"

#include <QFile>
#include <QTest>

#include <algorithm>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

const LayoutKey CardKey{QStringLiteral("KKBUCH"), 0, QStringLiteral("TM-T88")};
// As the card editor keeps its records: Windows-1252, no byte-order mark.
const QByteArray CardBytes = SettingsListCodec::encodeWindows1252(
        {QStringLiteral("Kartenzahlung über 5 €"), QString(), QStringLiteral("Grüße")});
const LayoutKey OddKey{QStringLiteral("BONFUSS"), 3, QStringLiteral("TM-T88")};
// Bytes that no settings list gives back: kept as base64.
const QByteArray OddBytes("Zeile\nohne CR\x00\x01", 15);

} // namespace

class TestAdmin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { KASSOTYP_SKIP_WITHOUT_TEST_STORE(); }
    void init();
    void exportIsStableAndComesBackThroughImport();
    void brokenFileWritesNothing_data();
    void brokenFileWritesNothing();
    void failedWriteAndDryRunLeaveTheStoreAsItWas();
    void backupWhileAnotherProgramWrites();
    void checkFindsDamageAndDamagedStoreTakesNoImport();
    void helpListsAndWrongCalls();

private:
    Run admin(const QString &store, const QStringList &arguments);
    // The audit trail of the runs holds an import with this result.
    bool importLogged(const QString &result) const;
    QByteArray exportAll(const QString &store, const QString &name);

    std::unique_ptr<TestInstallation> m_installation;
};

void TestAdmin::init()
{
    m_installation = std::make_unique<TestInstallation>();
    m_installation->putList(QStringLiteral("BONKOPF"), 3, QStringLiteral("TM-T88"),
                            {QStringLiteral("Schuhhaus Müßig"), QString(), QString(),
                             QStringLiteral("Straße 1"), QString()});
    m_installation->putBlob(CardKey.kennung, CardKey.rnr, CardKey.printerKey, CardBytes);
    m_installation->putBlob(OddKey.kennung, OddKey.rnr, OddKey.printerKey, OddBytes);
    m_installation->host().parameters().StringParamWrite(QStringLiteral("GRUSS"),
                                                         QStringLiteral("Tschüs"), 3);
}

Run TestAdmin::admin(const QString &store, const QStringList &arguments)
{
    return runBuilt(QStringLiteral("tools/kassotyp-admin"),
                    QStringList{QStringLiteral("--store=") + store, QStringLiteral("--config="),
                                QStringLiteral("--log=") + m_installation->path("admin.log")}
                            + arguments);
}

QByteArray TestAdmin::exportAll(const QString &store, const QString &name)
{
    const QString file = m_installation->path(name);
    const Run run = admin(store, {QStringLiteral("export"), QStringLiteral("--all"),
                                  QStringLiteral("--output=") + file});
    if (run.exitCode != 0)
        qWarning() << run.err;
    return readAll(file);
}

bool TestAdmin::importLogged(const QString &result) const
{
    const QStringList lines =
            QString::fromUtf8(readAll(m_installation->path("admin.log"))).split(u'\n');
    return std::any_of(lines.cbegin(), lines.cend(), [&](const QString &line) {
        return line.contains(QLatin1String("aktion=datei-importiert")) && line.contains(result);
    });
}

void TestAdmin::exportIsStableAndComesBackThroughImport()
{
    const QString source = m_installation->storeLocation();
    const QByteArray first = exportAll(source, QStringLiteral("a.json"));
    QVERIFY(first.size() > 10000);
    QCOMPARE(exportAll(source, QStringLiteral("b.json")), first);
    for (const char *part :
         {"\"format\": \"kassotyp-export\"", "\"windows-1252\": [", "\"Kartenzahlung über 5 €\"",
          "\"Schuhhaus Müßig\",\n            \"\",", "\"picture\": \"iVBOR", "\"base64\": \"",
          "\"Tschüs\""})
        QVERIFY2(first.contains(part), part);

    const QString copy = TestStore::freshLocation(m_installation->path("copy.sqlite"));
    const Run import = admin(copy, {QStringLiteral("import"), m_installation->path("a.json")});
    QVERIFY2(import.exitCode == 0, qPrintable(import.err));
    QVERIFY2(import.out.contains(QString::fromUtf8(" 0 überschrieben, 0 unverändert")),
             qPrintable(import.out));
    QCOMPARE(exportAll(copy, QStringLiteral("c.json")), first);
    QVERIFY(importLogged(QStringLiteral("ergebnis=ok")));
    const std::unique_ptr<Store> store =
            Store::open(StoreLocation::parse(copy), Store::Access::ReadExisting);
    QCOMPARE(LayoutStore(*store).find(CardKey)->blob, CardBytes);
    QCOMPARE(LayoutStore(*store).find(OddKey)->blob, OddBytes);

    // One workstation: its records and the presets, no other workstation's and no table of
    // the whole installation.
    const QString one = m_installation->path("rechner3.json");
    QCOMPARE(admin(source, {QStringLiteral("export"), QStringLiteral("--workstation=3"),
                            QStringLiteral("--output=") + one})
                     .exitCode,
             0);
    const QByteArray ws3 = readAll(one);
    QVERIFY(ws3.contains("\"Schuhhaus Müßig\"") && ws3.contains("\"form_store\""));
    QVERIFY(!ws3.contains("\"Kartenzahlung") && !ws3.contains("\"workstations\""));
}

void TestAdmin::brokenFileWritesNothing_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("message");
    QTest::newRow("not JSON") << QByteArray("\"rnr\": 3,") << QByteArray("\"rnr\": 3,,")
                              << "Zeile ";
    QTest::newRow("other version")
            << QByteArray("\"version\": 1") << QByteArray("\"version\": 2") << "Formatversion 2";
    QTest::newRow("number as text") << QByteArray("\"rnr\": 3,") << QByteArray("\"rnr\": \"3\",")
                                    << "Feld \"rnr\": erwartet wird eine ganze Zahl";
    QTest::newRow("bad base64") << QByteArray("\"base64\": \"") << QByteArray("\"base64\": \"*")
                                << "Feld \"blob\": ungültiges base64";
    QTest::newRow("text outside the code page")
            << QByteArray("\"Grüße\"") << QByteArray("\"Grüße ✓\"") << "Windows-1252";
    QTest::newRow("unknown table") << QByteArray("\"parameters\": [")
                                   << QByteArray("\"parameter\": [") << "Tabelle \"parameter\"";
}

// Every record but one changed in the file, that one broken: the store stays as it was.
void TestAdmin::brokenFileWritesNothing()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, message);
    const QString store = m_installation->storeLocation();
    const QByteArray before = exportAll(store, QStringLiteral("before.json"));
    QByteArray changed = before;
    changed.replace("\"TM-T88\"", "\"TM-X\"").replace("\"Tschüs\"", "\"Servus\"");
    qsizetype at = changed.indexOf(from, changed.indexOf("\"layout_records\""));
    if (at < 0) // the file's head
        at = changed.indexOf(from);
    QVERIFY(at > 0);
    changed.replace(at, from.size(), to);
    writeAll(m_installation->path("broken.json"), changed);

    const Run run = admin(store, {QStringLiteral("import"), m_installation->path("broken.json")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(message) && run.err.contains(QLatin1String("nichts eingespielt")),
             qPrintable(run.err));
    QCOMPARE(exportAll(store, QStringLiteral("after.json")), before);
}

void TestAdmin::failedWriteAndDryRunLeaveTheStoreAsItWas()
{
    const QString source = m_installation->storeLocation();
    const QString file = m_installation->path("all.json");
    exportAll(source, QStringLiteral("all.json"));
    const QString target = TestStore::freshLocation(m_installation->path("target.sqlite"));
    {
        const std::unique_ptr<Store> store = Store::open(StoreLocation::parse(target));
        // Refused by the store half way through the layout records.
        TestStore::refuseWrites(*store, QStringLiteral("layout_records"),
                                QStringLiteral("NEW.kennung = 'KKBUCH'"));
    }
    const Run refused = admin(target, {QStringLiteral("import"), file});
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.err.contains(QLatin1String("refused by test")), qPrintable(refused.err));
    QVERIFY(importLogged(QStringLiteral("ergebnis=fehler")));
    const std::unique_ptr<Store> store = Store::open(StoreLocation::parse(target));
    for (const auto &[table, count] : StoreExchange::recordCounts(*store))
        QVERIFY2(count == 0, qPrintable(table));

    // A dry run names what would change and changes nothing.
    m_installation->host().parameters().StringParamWrite(QStringLiteral("GRUSS"),
                                                         QStringLiteral("Moin"), 3);
    m_installation->host().layouts().remove(CardKey);
    const QByteArray before = exportAll(source, QStringLiteral("before.json"));
    const Run dry = admin(source, {QStringLiteral("import"), QStringLiteral("--dry-run"),
                                   QStringLiteral("--verbose"), file});
    QVERIFY2(dry.exitCode == 0, qPrintable(dry.err));
    for (const char *part :
         {": 1 neu, 1 überschrieben, ", "  neu layout_records: 0 / TM-T88 / KKBUCH",
          "  überschrieben parameters: 3 / GRUSS", "Probelauf"})
        QVERIFY2(dry.out.contains(QString::fromUtf8(part)), part);
    QCOMPARE(exportAll(source, QStringLiteral("after.json")), before);
}

void TestAdmin::backupWhileAnotherProgramWrites()
{
    const QString target = m_installation->path("sicherung.sqlite");
    const QString source = m_installation->storeLocation();
    if (TestStore::onPostgres()) {
        const Run run = admin(source, {QStringLiteral("backup"), target});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QLatin1String("pg_dump -h")), qPrintable(run.err));
        const QString password = StoreLocation::parse(source).password;
        QVERIFY(!run.err.contains(u':' + password + u'@'));
        return;
    }
    // The backup runs while this program holds a write transaction open: it copies what was
    // committed before and waits for nothing.
    Run run;
    m_installation->host().store().write([&] {
        m_installation->putList(QStringLiteral("BONKOPF"), 3, QStringLiteral("TM-T88"),
                                {QStringLiteral("noch nicht gespeichert")});
        run = admin(source, {QStringLiteral("backup"), target});
    });
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    {
        const std::unique_ptr<Store> copy =
                Store::open(StoreLocation::parse(target), Store::Access::ReadExisting);
        QCOMPARE(copy->integrityCheck(), QStringLiteral("ok"));
        QCOMPARE(LayoutStore(*copy).find(CardKey)->blob, CardBytes);
        QCOMPARE(LayoutStore(*copy)
                         .readList({QStringLiteral("BONKOPF"), 3, QStringLiteral("TM-T88")})
                         ->value(0),
                 QStringLiteral("Schuhhaus Müßig"));
    }
    const Run again = admin(source, {QStringLiteral("backup"), target});
    QCOMPARE(again.exitCode, 1);
    QVERIFY2(again.err.contains(QLatin1String("existiert schon")), qPrintable(again.err));
}

void TestAdmin::checkFindsDamageAndDamagedStoreTakesNoImport()
{
    const Run sound = admin(m_installation->storeLocation(), {QStringLiteral("check")});
    QVERIFY2(sound.exitCode == 0, qPrintable(sound.err));
    QVERIFY(sound.out.contains(QLatin1String("in Ordnung")));
    QVERIFY(sound.out.contains(QString::fromUtf8("  workstations: 6 Datensätze")));
    if (TestStore::onPostgres())
        return;

    const QString path = m_installation->path("kaputt.sqlite");
    QVERIFY(TestStore::writeDamagedSqliteStore(path));
    const QByteArray damaged = readAll(path);

    const Run check = admin(path, {QStringLiteral("check")});
    QCOMPARE(check.exitCode, 1);
    QVERIFY2(check.out.contains(QString::fromUtf8("BESCHÄDIGT")), qPrintable(check.out));
    const QString exported = m_installation->path("e.json");
    exportAll(m_installation->storeLocation(), QStringLiteral("e.json"));
    const Run import = admin(path, {QStringLiteral("import"), exported});
    QCOMPARE(import.exitCode, 1);
    QVERIFY2(import.err.contains(QString::fromUtf8("Schäden")), qPrintable(import.err));
    QCOMPARE(readAll(path), damaged);
}

void TestAdmin::helpListsAndWrongCalls()
{
    const QString store = m_installation->storeLocation();
    const Run help = admin(store, {QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains(ComputerConfig::optionsHelp()));
    for (const char *part : {"export [", "import [--dry-run]", "backup DATEI", "check", "types"})
        QVERIFY2(help.out.contains(QLatin1String(part)), part);

    const Run types = admin(store, {QStringLiteral("types")});
    QCOMPARE(types.out.count(u'\n'), 23);
    QVERIFY(types.out.contains(QLatin1String("\n13  Bon\n")));
    const Run workstations = admin(store, {QStringLiteral("workstations")});
    QVERIFY2(workstations.out.contains(QLatin1String("  3  Kasse (3)")),
             qPrintable(workstations.out));
    QVERIFY(workstations.out.contains(QLatin1String("Mobile Kasse 5")));

    for (const QStringList &wrong :
         {QStringList{QStringLiteral("export")}, QStringList{QStringLiteral("sichern")},
          QStringList{QStringLiteral("export"), QStringLiteral("--all"),
                      QStringLiteral("--template"), QStringLiteral("--output=x.json")},
          QStringList{QStringLiteral("check"), QStringLiteral("--dry-run")}}) {
        const Run run = admin(store, wrong);
        QVERIFY2(run.exitCode == 2 && run.err.startsWith(QLatin1String("kassotyp-admin: ")),
                 qPrintable(wrong.join(u' ')));
    }
}

QTEST_GUILESS_MAIN(TestAdmin)
#include "tst_admin.moc"
