// Two programs on one store: concurrent saves of the same and of different records, and a
// program killed in the middle of saves, a workstation setup or a settings copy. Runs on SQLite
// and, as tst_storeconcurrency-pg, on PostgreSQL.
#include "tests/support/storeburst.h"
#include "tests/support/testinstallation.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <memory>

using namespace StoreBurst;

namespace {

std::unique_ptr<QProcess> startWorker(const TestInstallation &installation,
                                      const QStringList &arguments)
{
    auto process = std::make_unique<QProcess>();
    process->start(QCoreApplication::applicationDirPath() + QStringLiteral("/storeworker"),
                   QStringList{installation.storeLocation()} + arguments);
    return process;
}

// Every record outside the ones the workers write, with its blob.
QMap<QString, QByteArray> otherRecords(Host &host)
{
    QMap<QString, QByteArray> records;
    for (const LayoutRecord &r : host.layouts().keys({})) {
        if (r.key.printerKey != Printer)
            records.insert(r.key.display(), host.layouts().find(r.key)->blob);
    }
    return records;
}

} // namespace

class TestStoreConcurrency : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { KASSOTYP_SKIP_WITHOUT_TEST_STORE(); }
    void twoWritersEndWithWholeRecords();
    void killedWriterLeavesOldOrNewVersions();
};

// Catches "database is locked" or a unique violation surfacing to a writer, a record mixed from
// two writes, a group of records from different writes, and saves touching other records.
void TestStoreConcurrency::twoWritersEndWithWholeRecords()
{
    constexpr int Rounds = 60;
    TestInstallation inst;
    const QMap<QString, QByteArray> before = otherRecords(inst.host());

    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QProcess> workers[] = {
            startWorker(inst,
                        {QStringLiteral("saves"), QStringLiteral("1"), QString::number(Rounds)}),
            startWorker(inst,
                        {QStringLiteral("saves"), QStringLiteral("2"), QString::number(Rounds)}),
    };
    for (auto &worker : workers) {
        QVERIFY(worker->waitForFinished(120000));
        QVERIFY2(worker->exitStatus() == QProcess::NormalExit && worker->exitCode() == 0,
                 worker->readAllStandardError().constData());
        QCOMPARE(worker->readAllStandardError(), QByteArray());
    }
    const double seconds = clock.elapsed() / 1000.0;
    // Three writes a round: the shared record, the own record and the group of records.
    qInfo("%s: %d writes of two programs in %.2f s: %.0f writes per second",
          TestStore::onPostgres() ? "PostgreSQL" : "SQLite", 2 * 3 * Rounds, seconds,
          2 * 3 * Rounds / seconds);

    Host &host = inst.host();
    const std::pair<int, int> shared = parse(host.layouts().find(sharedKey())->blob);
    QVERIFY(shared.first == 1 || shared.first == 2);
    QCOMPARE(shared.second, Rounds - 1);
    for (int writer : {1, 2})
        QCOMPARE(host.layouts().find(ownKey(writer))->blob, blob(writer, Rounds - 1));
    int groupRound = -1;
    const QString group =
            checkGroup(host, groupKeys(2, QStringLiteral("GRUPPE")), true, &groupRound);
    QVERIFY2(group.isEmpty(), qPrintable(group));
    QCOMPARE(groupRound, Rounds - 1);
    QCOMPARE(otherRecords(host), before);
    QCOMPARE(host.store().integrityCheck(), QStringLiteral("ok"));
}

// Catches a kill leaving a damaged store, a half-written record or a multi-record operation
// (group, setup, copy) applied in part.
void TestStoreConcurrency::killedWriterLeavesOldOrNewVersions()
{
    constexpr int Kills = 25;
    TestInstallation inst;
    Host &host = inst.host();
    const QMap<QString, QByteArray> before = otherRecords(host);
    int lastGroupRound = -1;
    int survived = 0;
    for (int kill = 0; kill < Kills; ++kill) {
        const int firstRound = kill * 1000;
        std::unique_ptr<QProcess> worker =
                startWorker(inst, {QStringLiteral("setup"), QString::number(firstRound)});
        QVERIFY(worker->waitForReadyRead(30000));
        QVERIFY2(worker->readAllStandardOutput().startsWith("bereit"),
                 worker->readAllStandardError().constData());
        QTest::qSleep(QRandomGenerator::global()->bounded(60));
        worker->kill();
        QVERIFY(worker->waitForFinished(30000));
        QCOMPARE(worker->readAllStandardError(), QByteArray());

        QCOMPARE(host.store().integrityCheck(), QStringLiteral("ok"));
        int groupRound = -1;
        QString problem =
                checkGroup(host, groupKeys(2, QStringLiteral("GRUPPE")), false, &groupRound);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY(groupRound >= lastGroupRound); // no committed version is lost
        lastGroupRound = groupRound;
        for (int rnr : {0, SetupTarget, CopyTarget}) {
            problem = checkGroup(host, groupKeys(rnr, QStringLiteral("VORLAGE")), false);
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
        // The copy takes records and parameters in one transaction.
        int copiedRound = -1;
        if (checkGroup(host, groupKeys(CopyTarget, QStringLiteral("VORLAGE")), true, &copiedRound)
                    .isEmpty())
            QCOMPARE(host.parameters().StringParamRead(QStringLiteral("BURST"), CopyTarget),
                     QString::number(copiedRound));
        ++survived;
    }
    QCOMPARE(otherRecords(host), before);
    qInfo("%s: %d kills at random moments survived, store sound, no record torn or mixed",
          TestStore::onPostgres() ? "PostgreSQL" : "SQLite", survived);
}

QTEST_GUILESS_MAIN(TestStoreConcurrency)
#include "tst_storeconcurrency.moc"
