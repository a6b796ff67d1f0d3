#include "bench/storebench.h"

#include "bench/editorbench.h"
#include "bench/historybench.h"
#include "bench/setupbench.h"
#include "core/app/host.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTextStream>

#include <cstdio>
#include <vector>

namespace {

constexpr int Workers = 20;
constexpr int WorkerLookups = 1000;
constexpr int WorkerSaves = 100;
// The workers save under workstations of their own, from this number on.
constexpr int FirstSaveWorkstation = 50000;

QString argumentValue(const QStringList &arguments, const QString &name)
{
    for (const QString &arg : arguments) {
        if (arg.startsWith(QLatin1String("--") + name + u'='))
            return arg.section(u'=', 1);
    }
    return {};
}

struct WorkerRun
{
    double ms = 0;
    int failed = 0; // processes that ended with an error
};

// Starts `count` workers on the store, lets them open it, then starts their work at once and
// times it until the last one has finished.
WorkerRun runWorkers(int count, const QString &kind, const QString &store, const QString &folder)
{
    std::vector<std::unique_ptr<QProcess>> workers;
    for (int id = 0; id < count; ++id) {
        auto &process = workers.emplace_back(std::make_unique<QProcess>());
        process->setProcessEnvironment(childEnvironment());
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--worker=") + kind, QStringLiteral("--store=") + store,
                        QStringLiteral("--folder=") + folder, QStringLiteral("--id=%1").arg(id)});
    }
    for (auto &process : workers) {
        while (!process->canReadLine())
            if (!process->waitForReadyRead(60000))
                benchFailure(QStringLiteral("a worker did not open the store"));
        process->readLine();
    }
    WorkerRun run;
    run.ms = elapsedMsOf([&] {
        for (auto &process : workers)
            process->write("go\n");
        for (auto &process : workers)
            process->waitForFinished(600000);
    });
    for (auto &process : workers)
        run.failed += process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0;
    return run;
}

int savedByWorkers(Host &host)
{
    QSqlQuery q =
            host.store().run(QStringLiteral("SELECT count(*) FROM layout_records WHERE rnr >= ?"),
                             {FirstSaveWorkstation}, QStringLiteral("Zählen"));
    return q.next() ? q.value(0).toInt() : -1;
}

void removeWorkerSaves(Host &host)
{
    host.store().write([&] {
        host.store().run(QStringLiteral("DELETE FROM layout_records WHERE rnr >= ?"),
                         {FirstSaveWorkstation}, QStringLiteral("Löschen"));
    });
}

} // namespace

int runStoreWorker(const QStringList &arguments)
{
    const QString kind = argumentValue(arguments, QStringLiteral("worker"));
    const int id = argumentValue(arguments, QStringLiteral("id")).toInt();
    try {
        // The host of a till's engine on the shared store.
        std::unique_ptr<Host> host = Host::open(ComputerConfig::load(
                benchProgramArguments(argumentValue(arguments, QStringLiteral("store")),
                                      argumentValue(arguments, QStringLiteral("folder")), 1)));
        std::printf("ready\n");
        std::fflush(stdout);
        QTextStream(stdin).readLine();
        if (kind == QLatin1String("lookups")) {
            QRandomGenerator random(quint32(id + 1));
            for (int n = 0; n < WorkerLookups; ++n) {
                const int section = int(random.bounded(TemplateSections));
                if (!host->layouts().find({sectionKennung(section), 1, BenchPrinter}))
                    return 2;
            }
        } else {
            const QByteArray blob = sectionBlob(id);
            for (int n = 0; n < WorkerSaves; ++n)
                host->layouts().upsert({sectionKennung(n), FirstSaveWorkstation + id, BenchPrinter},
                                       blob);
        }
    } catch (const StoreError &e) {
        std::fprintf(stderr, "worker %d: %s\n", id, qPrintable(e.text()));
        return 3;
    }
    return 0;
}

void benchProcesses(BudgetTable &table, const QString &folder, int runs, Backend backend)
{
    std::unique_ptr<Host> host = openBenchHost(folder, QStringLiteral("shared"), 1, backend);
    fillTemplate(*host);
    const QString store = benchStoreLocation(backend, folder, QStringLiteral("shared"));

    // Lookups per second of all processes together.
    Figure together, alone;
    int failedLookups = 0;
    for (int run = 0; run < runs; ++run) {
        const WorkerRun one = runWorkers(1, QStringLiteral("lookups"), store, folder);
        const WorkerRun all = runWorkers(Workers, QStringLiteral("lookups"), store, folder);
        failedLookups += one.failed + all.failed;
        alone.samples << WorkerLookups * 1000.0 / one.ms;
        together.samples << Workers * WorkerLookups * 1000.0 / all.ms;
    }
    table.add(
            QStringLiteral("%1 processes on one %2 store at once, %3 record lookups each: "
                           "lookups per second of all together")
                    .arg(Workers)
                    .arg(backendName(backend))
                    .arg(WorkerLookups),
            together, QStringLiteral("one process doing the same alone"), alone,
            QStringLiteral("no error; at least 1.5x"),
            [failedLookups](double measured, double baseline) {
                return failedLookups == 0 && measured >= 1.5 * baseline;
            },
            QStringLiteral("/s"), QStringLiteral("(%1 processes failed)").arg(failedLookups));

    Figure savesTogether, savesAlone;
    int failedSaves = 0, lost = 0;
    for (int run = 0; run < runs; ++run) {
        removeWorkerSaves(*host);
        const WorkerRun one = runWorkers(1, QStringLiteral("saves"), store, folder);
        removeWorkerSaves(*host);
        const WorkerRun all = runWorkers(Workers, QStringLiteral("saves"), store, folder);
        lost += Workers * WorkerSaves - savedByWorkers(*host);
        failedSaves += one.failed + all.failed;
        savesAlone.samples << one.ms;
        savesTogether.samples << all.ms;
    }
    table.add(
            QStringLiteral("%1 processes on one %2 store at once, %3 saves each")
                    .arg(Workers)
                    .arg(backendName(backend))
                    .arg(WorkerSaves),
            savesTogether, QStringLiteral("one process doing the same alone"), savesAlone,
            QStringLiteral("no error, no lost save"),
            [failedSaves, lost](double, double) { return failedSaves == 0 && lost == 0; },
            QStringLiteral("ms"),
            QStringLiteral("(%1 processes failed, %2 of %3 saves lost)")
                    .arg(failedSaves)
                    .arg(lost)
                    .arg(runs * Workers * WorkerSaves));
}

namespace {

constexpr int ChainWorkstations = 2000;
constexpr int FirstChainWorkstation = 1000;

// The demo installation with 2,000 more workstations of 150 records each, written by plain SQL
// in one transaction.
void fillChain(Host &host)
{
    fillTemplate(host);
    const QList<int> targets = range(FirstChainWorkstation, ChainWorkstations);
    host.store().write([&] {
        QSqlQuery q = host.store().prepare(
                QStringLiteral("INSERT INTO workstations (rnr, rtyp, name) VALUES (?, 1, ?)"));
        for (int rnr : targets) {
            q.bindValue(0, rnr);
            q.bindValue(1, QStringLiteral("Kasse %1").arg(rnr));
            Store::exec(q, QStringLiteral("Füllen"));
        }
        plainCopy(host, 0, targets, false, true);
    });
    host.store().shrinkLog();
}

} // namespace

void benchChainStore(BudgetTable &table, const QString &folder, int runs, Backend backend,
                     const QString &designer, const QString &printTool)
{
    std::unique_ptr<Host> demo = openBenchHost(folder, QStringLiteral("chain-demo"), 3, backend);
    std::unique_ptr<Host> chain = openBenchHost(folder, QStringLiteral("chain"), 3, backend);
    const double fillMs = elapsedMsOf([&] {
        fillChain(*chain);
        fillChainHistory(*chain);
    });
    const int records = chain->layouts().count();
    const QString on = QStringLiteral(" (%1, %2 records)").arg(backendName(backend)).arg(records);
    const QString demoStore = benchStoreLocation(backend, folder, QStringLiteral("chain-demo"));
    const QString chainStore = benchStoreLocation(backend, folder, QStringLiteral("chain"));

    // Both stores alternate, so that both see the same machine load.
    auto alternate = [runs](const std::function<double(const QString &store)> &fn,
                            const QString &measured, const QString &baseline, Figure &onMeasured,
                            Figure &onBaseline) {
        fn(measured);
        fn(baseline);
        for (int run = 0; run < runs; ++run) {
            onBaseline.samples << fn(baseline);
            onMeasured.samples << fn(measured);
        }
    };
    // What SQLite's check of the file costs on each store, which the start no longer waits for.
    QString checkNote;
    if (backend == Backend::Sqlite) {
        auto checkMs = [](const QString &file) {
            double ms = 0;
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                            QStringLiteral("bench-check"));
                db.setDatabaseName(file);
                if (!db.open())
                    benchFailure(QStringLiteral("cannot open ") + file);
                QSqlQuery q(db);
                ms = elapsedMsOf([&] {
                    if (!q.exec(QStringLiteral("PRAGMA quick_check(5)")) || !q.next()
                        || q.value(0).toString() != QLatin1String("ok"))
                        benchFailure(QStringLiteral("the check of %1 failed").arg(file));
                });
            }
            QSqlDatabase::removeDatabase(QStringLiteral("bench-check"));
            return ms;
        };
        checkNote = QStringLiteral(" (PRAGMA quick_check alone: %1 ms on it, %2 ms on the demo "
                                   "store)")
                            .arg(checkMs(chainStore), 0, 'f', 1)
                            .arg(checkMs(demoStore), 0, 'f', 1);
    }
    Figure startChain, startDemo, printChain, printDemo;
    alternate(
            [&](const QString &store) {
                return runProgram(designer, benchProgramArguments(store, folder)
                                                    << QStringLiteral("--exit-when-shown"));
            },
            chainStore, demoStore, startChain, startDemo);
    table.add(QStringLiteral("start-up on a store of %1 workstations x 150 records%2")
                      .arg(ChainWorkstations)
                      .arg(on),
              startChain, QStringLiteral("start-up on the demo store"), startDemo,
              QStringLiteral("at most 1.3x"), atMost(1.3), QStringLiteral("ms"),
              QStringLiteral("(filled in %1 s)").arg(fillMs / 1000.0, 0, 'f', 1) + checkNote);

    table.add(QStringLiteral("opening the editor TfrmLayBonSum on that store"),
              timeEditorOpening(*chain, QStringLiteral("TfrmLayBonSum"), runs),
              QStringLiteral("the same on the demo store"),
              timeEditorOpening(*demo, QStringLiteral("TfrmLayBonSum"), runs),
              QStringLiteral("at most 1.3x"), atMost(1.3));

    alternate(
            [&](const QString &store) {
                return runProgram(printTool,
                                  {QStringLiteral("--store=") + store,
                                   QStringLiteral("--workstation=3"), QStringLiteral("--type=13"),
                                   QStringLiteral("--format=png"),
                                   QStringLiteral("--output=") + folder
                                           + QStringLiteral("/chain-print.png")});
            },
            chainStore, demoStore, printChain, printDemo);
    table.add(QStringLiteral("a test print by kassotyp-print (type 13 as PNG) on that store"),
              printChain, QStringLiteral("the same on the demo store"), printDemo,
              QStringLiteral("at most 1.3x"), atMost(1.3));
    benchChainHistory(table, *chain, *demo, chainStore, demoStore, folder, runs,
                      QFileInfo(printTool).dir().filePath(QStringLiteral("kassotyp-admin")));
}
