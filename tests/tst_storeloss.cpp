// The store taken away from a running program and given back: the SQLite file removed, made
// read-only or replaced; the PostgreSQL connection cut while the database refuses connections or
// is read-only. A save meanwhile fails with a clear message and stores nothing; the next save
// after the store is back works. Runs on SQLite and, as tst_storeloss-pg, on PostgreSQL.
#include "editors/LayBonueber.h"
#include "tests/support/editorsession.h"

#include <QElapsedTimer>
#include <QFile>

#include <QCoreApplication>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdio>

namespace {

enum class Outage { Away, ReadOnly, Replaced };

const LayoutKey Key{QStringLiteral("BONUEBER"), 3, QStringLiteral("TM-T88")};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What another program reading the store now finds under `key`.
QStringList readAfresh(const TestInstallation &inst, const LayoutKey &key = Key)
{
    const std::unique_ptr<Store> store = Store::open(StoreLocation::parse(inst.storeLocation()));
    return LayoutStore(*store).readList(key).value_or(QStringList{QStringLiteral("<kein Satz>")});
}

// Takes the installation's store away from its program and gives it back.
class StoreOutage
{
public:
    StoreOutage(TestInstallation &inst, Outage kind)
        : m_inst(inst)
        , m_kind(kind)
    {
        const QString path = inst.storePath();
        if (TestStore::onPostgres()) {
            QSqlQuery pid(inst.host().store().database());
            pid.exec(QStringLiteral("SELECT pg_backend_pid(), current_database()"));
            pid.next();
            m_database = pid.value(1).toString();
            if (kind == Outage::Away)
                admin(QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS false").arg(m_database));
            else if (kind == Outage::ReadOnly)
                admin(QStringLiteral("ALTER DATABASE %1 SET default_transaction_read_only = on")
                              .arg(m_database));
            // What the program sees of a server restart: its connection is gone.
            admin(QStringLiteral("SELECT pg_terminate_backend(%1)").arg(pid.value(0).toInt()));
        } else if (kind == Outage::Away) {
            QVERIFY(QFile::rename(path, path + QStringLiteral(".weg")));
        } else if (kind == Outage::ReadOnly) {
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        } else {
            const QString other = path + QStringLiteral(".neu");
            Store::open(StoreLocation::parse(other)).reset();
            QVERIFY(QFile::remove(path));
            QVERIFY(QFile::rename(other, path));
        }
    }

    // A failed check must not leave the store away for the next test.
    ~StoreOutage()
    {
        if (!m_ended)
            end();
    }

    void end()
    {
        m_ended = true;
        const QString path = m_inst.storePath();
        if (TestStore::onPostgres()) {
            if (m_kind == Outage::Away)
                admin(QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS true").arg(m_database));
            else if (m_kind == Outage::ReadOnly)
                admin(QStringLiteral("ALTER DATABASE %1 RESET default_transaction_read_only")
                              .arg(m_database));
        } else if (m_kind == Outage::Away) {
            QVERIFY(QFile::rename(path + QStringLiteral(".weg"), path));
        } else if (m_kind == Outage::ReadOnly) {
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                        | QFileDevice::ReadGroup));
        }
    }

private:
    void admin(const QString &sql)
    {
        const QString error = TestStore::serverSql(sql);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    TestInstallation &m_inst;
    Outage m_kind;
    bool m_ended = false;
    QString m_database;
};

} // namespace

class TestStoreLoss : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { KASSOTYP_SKIP_WITHOUT_TEST_STORE(); }
    void saveDuringOutageFailsAndNextSaveWorks_data();
    void saveDuringOutageFailsAndNextSaveWorks();
    void editorKeepsTypedTextUntilTheStoreIsBack();
    void blockedStoreFailsWithinItsTimeLimit();
    void serverThatStopsAnsweringDoesNotHoldTheProgram();
    void firstSaveAfterServerRestartIsSaved();
    void restoredBackupIsReportedAndKeptWhole_data();
    void restoredBackupIsReportedAndKeptWhole();
};

void TestStoreLoss::saveDuringOutageFailsAndNextSaveWorks_data()
{
    QTest::addColumn<Outage>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("removed / unreachable") << Outage::Away << QString();
    QTest::newRow("read-only") << Outage::ReadOnly << QStringLiteral("schreibgeschützt");
    QTest::newRow("replaced / reconnected") << Outage::Replaced << QString();
}

// Catches a save reported as done that went into an unlinked file, through a descriptor opened
// before the permissions were taken, or into a dead connection; and a store that stays unusable
// after it is back.
void TestStoreLoss::saveDuringOutageFailsAndNextSaveWorks()
{
    QFETCH(Outage, kind);
    QFETCH(QString, message);
    TestInstallation inst;
    LayoutStore &layouts = inst.host().layouts();
    layouts.writeList(Key, {QStringLiteral("vorher")});

    StoreOutage outage(inst, kind);
    if (kind == Outage::Replaced && !TestStore::onPostgres()) {
        // A file put in the store's place is a store of ours: said once, then used.
        try {
            layouts.writeList(Key, {QStringLiteral("verloren")});
            QFAIL("a save went on without a word about the replaced store");
        } catch (const StoreError &e) {
            QVERIFY2(e.text().contains(QStringLiteral("ersetzt")), qPrintable(e.text()));
        }
    } else if (kind != Outage::Replaced) {
        try {
            layouts.writeList(Key, {QStringLiteral("verloren")});
            QFAIL("a save was reported as done while the store was away");
        } catch (const StoreError &e) {
            QVERIFY2(e.text().contains(message), qPrintable(e.text()));
            QVERIFY2(e.text().contains(QStringLiteral("gespeichert")), qPrintable(e.text()));
        }
        QVERIFY(!inst.host().store().inTransaction());
        outage.end();
        QCOMPARE(readAfresh(inst), QStringList{QStringLiteral("vorher")});
    }
    layouts.writeList(Key, {QStringLiteral("danach")});
    QCOMPARE(readAfresh(inst), QStringList{QStringLiteral("danach")});
    QCOMPARE(inst.host().store().integrityCheck(), QStringLiteral("ok"));
}

// Catches an editor that closes or forgets the typed lines when its save fails because the
// store is gone, or that cannot save once the store is back.
void TestStoreLoss::editorKeepsTypedTextUntilTheStoreIsBack()
{
    EditorSession<TfrmLayBonueber> s;
    auto window = std::make_unique<TfrmLayBonueber>();
    window->setSectionCode(3);
    s.show(std::move(window));
    s.find<QLineEdit>(QStringLiteral("edtTxtZeile1"))->setText(QStringLiteral("Nicht verlieren"));
    s.installation.messages().clear();

    StoreOutage outage(s.installation, Outage::Away);
    QTest::mouseClick(s.find<QPushButton>(QStringLiteral("btnBuchen")), Qt::LeftButton);
    QVERIFY(s.editor->isVisible());
    QCOMPARE(s.find<QLineEdit>(QStringLiteral("edtTxtZeile1"))->text(),
             QStringLiteral("Nicht verlieren"));
    QCOMPARE(s.installation.messages().count(), 1);
    QVERIFY(s.installation.messages().shown().constFirst().kind == MessageKind::Error);

    outage.end();
    QTest::mouseClick(s.find<QPushButton>(QStringLiteral("btnBuchen")), Qt::LeftButton);
    QCOMPARE(s.installation.messages().count(), 1);
    QVERIFY(!s.editor->isVisible());
    QCOMPARE(readAfresh(s.installation).value(1), QStringLiteral("Nicht verlieren"));
}

// A backup of 200 records renamed over the store of a running program: the program must neither
// read the old file on nor write into it, its write-ahead log must never be applied to the
// backup, and it goes on with the backup once it has said so.
// Another program holds the store (a long transaction, a table lock as a migration or a backup
// takes it): a save and a read of this program end within its time limit with a message, and
// work again once the store is free.
void TestStoreLoss::blockedStoreFailsWithinItsTimeLimit()
{
    TestInstallation inst;
    ComputerConfig config = inst.config();
    config.storeTimeoutSeconds = 2;
    const std::unique_ptr<Host> program = Host::open(config);
    program->layouts().writeList(Key, {QStringLiteral("vorher")});

    const std::unique_ptr<Store> other = Store::open(StoreLocation::parse(inst.storeLocation()));
    QSqlQuery hold(other->database());
    if (TestStore::onPostgres()) {
        QVERIFY(hold.exec(QStringLiteral("BEGIN")));
        QVERIFY(hold.exec(QStringLiteral("LOCK TABLE layout_records IN ACCESS EXCLUSIVE MODE")));
    } else {
        QVERIFY(hold.exec(QStringLiteral("BEGIN IMMEDIATE")));
    }
    QElapsedTimer clock;
    clock.start();
    try {
        program->layouts().writeList(Key, {QStringLiteral("blockiert")});
        QFAIL("a save went through a held store");
    } catch (const StoreError &e) {
        QVERIFY2(e.text().contains(QStringLiteral("nichts gespeichert")), qPrintable(e.text()));
    }
    QVERIFY2(clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));
    if (TestStore::onPostgres()) {
        // Under an exclusive lock reading waits too, and is bounded the same way.
        clock.restart();
        QVERIFY_THROWS_EXCEPTION(StoreError, program->layouts().readList(Key));
        QVERIFY2(clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));
    }
    QVERIFY(hold.exec(QStringLiteral("ROLLBACK")));

    program->layouts().writeList(Key, {QStringLiteral("danach")});
    QCOMPARE(readAfresh(inst), QStringList{QStringLiteral("danach")});

    // Another program in the middle of a save of its own holds the write lock: the same, and
    // the connection that waited in vain saves the next time.
    QString refusal;
    other->write([&] {
        clock.restart();
        try {
            program->layouts().writeList(Key, {QStringLiteral("während")});
        } catch (const StoreError &e) {
            refusal = e.text();
        }
    });
    QVERIFY2(refusal.contains(QStringLiteral("nichts gespeichert")), qPrintable(refusal));
    QVERIFY2(clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));
    program->layouts().writeList(Key, {QStringLiteral("zuletzt")});
    QCOMPARE(readAfresh(inst), QStringList{QStringLiteral("zuletzt")});
}

// The server process of the program's connection stops (as a frozen or swapped-out server
// does): no statement timeout can end the wait, and the kernel still answers keepalives. A
// save ends within the time limit and some seconds, and the program goes on with a new
// connection.
void TestStoreLoss::serverThatStopsAnsweringDoesNotHoldTheProgram()
{
    if (!TestStore::onPostgres())
        QSKIP("needs a server process to stop");
    TestInstallation inst;
    ComputerConfig config = inst.config();
    config.storeTimeoutSeconds = 2;
    const std::unique_ptr<Host> program = Host::open(config);
    program->layouts().writeList(Key, {QStringLiteral("vorher")});
    QSqlQuery pid(program->store().database());
    QVERIFY(pid.exec(QStringLiteral("SELECT pg_backend_pid()")) && pid.next());
    const qint64 backend = pid.value(0).toLongLong();
    pid = QSqlQuery();
    QVERIFY2(::kill(pid_t(backend), SIGSTOP) == 0, "the test stops a server process (as root)");
    // A stopped server process left behind would hold up every later DROP DATABASE.
    const auto resume = qScopeGuard([backend] { ::kill(pid_t(backend), SIGCONT); });

    QElapsedTimer clock;
    clock.start();
    QString outcome = QStringLiteral("gespeichert");
    try {
        program->layouts().writeList(Key, {QStringLiteral("danach")});
    } catch (const StoreError &e) {
        outcome = e.text();
    }
    const qint64 waited = clock.elapsed();
    ::kill(pid_t(backend), SIGCONT);
    // The old server process is of no use to anybody any more.
    TestStore::serverSql(QStringLiteral("SELECT pg_terminate_backend(%1)").arg(backend));
    QVERIFY2(waited < 10000, qPrintable(QString::number(waited) + u' ' + outcome));
    // Whether the save went through on a new connection or was refused, the store is whole
    // and the next save works.
    program->layouts().writeList(Key, {QStringLiteral("zuletzt")});
    QCOMPARE(readAfresh(inst), QStringList{QStringLiteral("zuletzt")});
}

// A server of its own, restarted between two saves of a program as an administrator restarts
// the shop's server: the program's connection is terminated (57P01), and the first save after
// it is saved without bothering the user.
void TestStoreLoss::firstSaveAfterServerRestartIsSaved()
{
    if (!TestStore::onPostgres())
        QSKIP("restarts a PostgreSQL server");
    const QString script = QStringLiteral(KASSOTYP_SOURCE_DIR "/scripts/pg-server.sh");
    QTemporaryDir dir;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KASSOTYP_PG_DIR"), dir.filePath("pg"));
    environment.insert(QStringLiteral("KASSOTYP_PG_PORT"),
                       QString::number(55000 + QCoreApplication::applicationPid() % 1000));
    const auto server = [&](const QString &command) {
        QProcess p;
        p.setProcessEnvironment(environment);
        p.start(QStringLiteral("bash"), {script, command});
        p.waitForFinished(120000);
        return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    };
    // The cluster belongs to the postgres user, who must reach the folder.
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                              | QFileDevice::ExeOwner | QFileDevice::ExeOther
                                              | QFileDevice::ReadOther);
    const QString url = server(QStringLiteral("start"));
    QVERIFY2(url.startsWith(QLatin1String("postgresql://")), "the second server did not start");
    const auto stop = qScopeGuard([&] { server(QStringLiteral("stop")); });

    ComputerConfig config =
            ComputerConfig::load({QStringLiteral("--config="), QStringLiteral("--store=") + url,
                                  QStringLiteral("--log=") + dir.filePath("log")});
    const std::unique_ptr<Host> program = Host::open(config);
    program->layouts().writeList(Key, {QStringLiteral("vorher")});

    server(QStringLiteral("stop"));
    QCOMPARE(server(QStringLiteral("start")), url);
    program->layouts().writeList(Key, {QStringLiteral("nach dem Neustart")});
    QCOMPARE(program->layouts().readList(Key),
             std::optional<QStringList>(QStringList{QStringLiteral("nach dem Neustart")}));
}

void TestStoreLoss::restoredBackupIsReportedAndKeptWhole_data()
{
    QTest::addColumn<bool>("ours");
    QTest::newRow("a backup of the store") << true;
    QTest::newRow("another program's database") << false;
}

void TestStoreLoss::restoredBackupIsReportedAndKeptWhole()
{
    if (TestStore::onPostgres())
        QSKIP("a PostgreSQL store has no file to replace");
    TestInstallation inst;
    LayoutStore &layouts = inst.host().layouts();
    layouts.writeList(Key, {QStringLiteral("vorher")}); // leaves pages in the write-ahead log

    QFETCH(bool, ours);
    const QString backup = inst.storePath() + QStringLiteral(".sicherung");
    if (ours) {
        const std::unique_ptr<Store> other = Store::open(StoreLocation::parse(backup));
        LayoutStore records(*other);
        other->write([&] {
            for (int rnr = 1; rnr <= 200; ++rnr)
                records.writeList({QStringLiteral("SICHER"), rnr, QStringLiteral("TM-T88")},
                                  {QStringLiteral("Satz %1").arg(rnr)});
        });
    } else {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "fremd");
        db.setDatabaseName(backup);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("CREATE TABLE kunden (nr INTEGER, name TEXT)")));
        QVERIFY(q.exec(QStringLiteral("INSERT INTO kunden VALUES (1, 'Muster')")));
        q = QSqlQuery();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("fremd"));
    }
    const QByteArray before = readFile(backup);
    QVERIFY(::rename(QFile::encodeName(backup).constData(),
                     QFile::encodeName(inst.storePath()).constData())
            == 0);

    const LayoutKey restored{QStringLiteral("SICHER"), 17, QStringLiteral("TM-T88")};
    for (int attempt = 0; attempt < (ours ? 1 : 2); ++attempt) {
        try {
            layouts.readList(restored);
            QFAIL("the replaced store was used without a word");
        } catch (const StoreError &e) {
            QVERIFY2(e.text().contains(QStringLiteral("ersetzt")), qPrintable(e.text()));
            QCOMPARE(e.text().contains(QStringLiteral("nicht verwendet")), !ours);
        }
    }
    if (!ours) {
        // Another program's file is left exactly as it was, and so is its log.
        try {
            layouts.writeList(Key, {QStringLiteral("danach")});
            QFAIL("a save went into another program's database");
        } catch (const StoreError &) {
        }
        inst.closeHost();
        QCOMPARE(readFile(inst.storePath()), before);
        QVERIFY(readFile(inst.storePath() + QStringLiteral("-wal")).isEmpty());
        return;
    }
    // From now on the program works on the backup.
    QCOMPARE(layouts.readList(restored), QStringList{QStringLiteral("Satz 17")});
    layouts.writeList(Key, {QStringLiteral("danach")});
    inst.closeHost();

    const std::unique_ptr<Store> fresh = Store::open(StoreLocation::parse(inst.storePath()));
    QCOMPARE(fresh->integrityCheck(), QStringLiteral("ok"));
    QSqlQuery count(fresh->database());
    QVERIFY(count.exec(QStringLiteral("SELECT count(*) FROM layout_records WHERE kennung = "
                                      "'SICHER'")));
    QVERIFY(count.next());
    QCOMPARE(count.value(0).toInt(), 200);
    QCOMPARE(LayoutStore(*fresh).readList(Key), QStringList{QStringLiteral("danach")});
}

QTEST_MAIN(TestStoreLoss)
#include "tst_storeloss.moc"
