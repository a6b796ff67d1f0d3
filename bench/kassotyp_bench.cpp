// Measures the designer against baselines taken in the same run and prints one table of
// budgets. Every figure is repeated; the table shows the median with the smallest and largest
// run as the machine's noise. Ends with exit code 1 when a measurement fails and prints how
// many budgets were missed.
#include "bench/benchtable.h"
#include "bench/editorbench.h"
#include "bench/historybench.h"
#include "bench/peakmemory.h"
#include "bench/printbench.h"
#include "bench/setupbench.h"
#include "bench/storebench.h"
#include "core/app/host.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace {

double peakMegabytes(const QString &program, const QStringList &args)
{
    QByteArray output;
    runProgram(program, args, &output);
    const QList<QByteArray> lines = output.trimmed().split('\n');
    const qint64 kb = lines.last().trimmed().toLongLong();
    if (kb <= 0)
        benchFailure(QStringLiteral("%1 did not report its peak memory").arg(program));
    return double(kb) / 1024.0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    // Child modes: the memory figure's main window with every editor opened once, and the
    // processes on one store.
    for (const QString &arg : arguments) {
        if (arg.startsWith(QLatin1String("--open-every-editor="))) {
            openEveryEditorOnce(arg.section(u'=', 1));
            std::printf("%lld\n", peakResidentKilobytes());
            return 0;
        }
        if (arg.startsWith(QLatin1String("--worker=")))
            return runStoreWorker(arguments);
    }
    int runs = 9;
    QStringList only; // --only=setup,lookup runs those parts alone (for profiling)
    // --store=sqlite or --store=pg measures on that store alone; without it SQLite, and
    // PostgreSQL as well when KASSOTYP_TEST_PG names a server.
    QList<Backend> backends{Backend::Sqlite};
    if (!qEnvironmentVariableIsEmpty("KASSOTYP_TEST_PG"))
        backends << Backend::Postgres;
    for (const QString &arg : arguments) {
        if (arg.startsWith(QLatin1String("--runs=")))
            runs = std::max(1, arg.mid(7).toInt());
        else if (arg.startsWith(QLatin1String("--only=")))
            only = arg.mid(7).split(u',');
        else if (arg == QLatin1String("--store=sqlite"))
            backends = {Backend::Sqlite};
        else if (arg == QLatin1String("--store=pg"))
            backends = {Backend::Postgres};
        else if (arg.startsWith(QLatin1String("--store=")))
            benchFailure(QStringLiteral("--store= takes sqlite or pg"));
    }
    if (backends.contains(Backend::Postgres)) {
        if (qEnvironmentVariableIsEmpty("KASSOTYP_TEST_PG"))
            benchFailure(
                    QStringLiteral("--store=pg needs KASSOTYP_TEST_PG (scripts/pg-server.sh)"));
        removeEveryBenchSchema();
    }
    const bool sqlite = backends.contains(Backend::Sqlite);
    auto part = [&only](const char *name) {
        return only.isEmpty() || only.contains(QLatin1String(name));
    };

    const QDir here(QCoreApplication::applicationDirPath());
    const QString designer = here.absoluteFilePath(QStringLiteral("../shell/kassotyp"));
    const QString bare = here.absoluteFilePath(QStringLiteral("bench-bare-dialog"));
    const QString printTool = here.absoluteFilePath(QStringLiteral("../tools/kassotyp-print"));

    QTemporaryDir dir;
    // --keep leaves the stores behind for profiling the programs on them.
    if (arguments.contains(QLatin1String("--keep"))) {
        dir.setAutoRemove(false);
        std::fprintf(stderr, "stores kept in %s\n", qPrintable(dir.path()));
    }
    const QString folder = dir.path();
    const QString runtimeDir = dir.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtimeDir);
    QFile::setPermissions(runtimeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setChildRuntimeDir(runtimeDir);
    const QStringList designerArgs =
            benchProgramArguments(
                    benchStoreLocation(Backend::Sqlite, folder, QStringLiteral("demo")), folder)
            << QStringLiteral("--exit-when-shown");

    BudgetTable table;
    Figure startUp, bareStart;
    // The designer asks before it creates a store named on its command line; the store is
    // made here, as its first start would make it.
    openBenchHost(folder, QStringLiteral("demo"), 1).reset();
    if (sqlite && (part("startup") || part("prints"))) {
        // The first start is not part of the figure.
        // Runs alternate so that both programs see the same machine load.
        runProgram(designer, designerArgs);
        runProgram(bare, {});
        for (int i = 0; i < 2 * runs; ++i) {
            bareStart.samples << runProgram(bare, {});
            startUp.samples << runProgram(designer, designerArgs);
        }
        table.add(QStringLiteral("start-up: process start to main window shown (offscreen, demo "
                                 "store)"),
                  startUp, QStringLiteral("a bare Qt program showing one empty dialog"), bareStart,
                  QStringLiteral("at most 1.5x"), atMost(1.5));
    }
    if (sqlite && part("editors"))
        benchEditors(table, folder, runs);
    if (sqlite && part("prints")) {
        benchTestPrints(table, folder, startUp, runs);
        benchPdfPrints(table, folder, runs);
    }
    for (Backend backend : backends) {
        if (part("setup"))
            benchWorkstationSetup(table, folder, std::min(runs, 5), backend);
        if (part("lookup")) {
            if (backend == Backend::Sqlite)
                benchLookup(table, folder);
            else
                benchLookupAndSave(table, folder, runs, backend);
        }
        if (part("history"))
            benchSaveWithHistory(table, folder, runs, backend);
        if (backend == Backend::Postgres && part("processes"))
            benchProcesses(table, folder, std::min(runs, 5), backend);
        if (part("chain"))
            benchChainStore(table, folder, runs, backend, designer, printTool);
    }
    if (sqlite && part("memory")) {
        Figure editorsMemory, bareMemory;
        for (int i = 0; i < 3; ++i) {
            editorsMemory.samples << peakMegabytes(
                    QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--open-every-editor=") + folder});
            bareMemory.samples << peakMegabytes(bare, {QStringLiteral("--peak-memory")});
        }
        table.add(
                QStringLiteral("peak memory after opening every editor once"), editorsMemory,
                QStringLiteral("the bare Qt program"), bareMemory,
                QStringLiteral("at most 60 MB more"),
                [](double measured, double baseline) { return measured - baseline <= 60.0; },
                QStringLiteral("MB"));
    }

    if (backends.contains(Backend::Postgres))
        removeEveryBenchSchema();
    QTextStream out(stdout);
    const int missed = table.print(out);
    out << "\n"
        << (missed == 0 ? QStringLiteral("Every budget met.")
                        : QStringLiteral("%1 budget(s) missed.").arg(missed))
        << "\n";
    return 0;
}
