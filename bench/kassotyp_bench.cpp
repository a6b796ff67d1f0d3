// Measures the designer against baselines taken in the same run and prints one table of
// budgets. Every figure is repeated; the table shows the median with the smallest and largest
// run as the machine's noise. Ends with exit code 1 when a measurement fails and prints how
// many budgets were missed.
#include "bench/benchtable.h"
#include "bench/editorbench.h"
#include "bench/peakmemory.h"
#include "bench/printbench.h"
#include "bench/setupbench.h"
#include "core/app/host.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace {

QString g_runtimeDir;

QProcessEnvironment childEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), g_runtimeDir);
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.qpa.*=false"));
    return env;
}

// Runs a program to its end; returns its milliseconds and what it printed.
double runProgram(const QString &program, const QStringList &args, QByteArray *output = nullptr)
{
    QProcess process;
    process.setProcessEnvironment(childEnvironment());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const double ms = elapsedMsOf([&] {
        process.start(program, args);
        process.waitForFinished(600000);
    });
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        benchFailure(QStringLiteral("%1 failed (exit %2)").arg(program).arg(process.exitCode()));
    if (output)
        *output = process.readAllStandardOutput();
    return ms;
}

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
    // Child mode of the memory figure: the main window and every editor opened once.
    for (const QString &arg : arguments) {
        if (arg.startsWith(QLatin1String("--open-every-editor="))) {
            openEveryEditorOnce(arg.section(u'=', 1));
            std::printf("%lld\n", peakResidentKilobytes());
            return 0;
        }
    }
    int runs = 9;
    QStringList only; // --only=setup,lookup runs those parts alone (for profiling)
    for (const QString &arg : arguments) {
        if (arg.startsWith(QLatin1String("--runs=")))
            runs = std::max(1, arg.mid(7).toInt());
        else if (arg.startsWith(QLatin1String("--only=")))
            only = arg.mid(7).split(u',');
    }
    auto part = [&only](const char *name) {
        return only.isEmpty() || only.contains(QLatin1String(name));
    };

    const QDir here(QCoreApplication::applicationDirPath());
    const QString designer = here.absoluteFilePath(QStringLiteral("../shell/kassotyp"));
    const QString bare = here.absoluteFilePath(QStringLiteral("bench-bare-dialog"));

    QTemporaryDir dir;
    const QString folder = dir.path();
    g_runtimeDir = dir.filePath(QStringLiteral("runtime"));
    QDir().mkpath(g_runtimeDir);
    QFile::setPermissions(g_runtimeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QStringList designerArgs = {
            QStringLiteral("--store=") + dir.filePath(QStringLiteral("demo.sqlite")),
            QStringLiteral("--config=") + dir.filePath(QStringLiteral("kassotyp.ini")),
            QStringLiteral("--log=") + dir.filePath(QStringLiteral("kassotyp.log")),
            QStringLiteral("--exit-when-shown")};

    BudgetTable table;
    Figure startUp, bareStart;
    // The designer asks before it creates a store named on its command line; the store is
    // made here, as its first start would make it.
    openBenchHost(folder, QStringLiteral("demo"), 1).reset();
    if (part("startup") || part("prints")) {
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
    if (part("editors"))
        benchEditors(table, folder, runs);
    if (part("prints"))
        benchTestPrints(table, folder, startUp, runs);
    if (part("setup"))
        benchWorkstationSetup(table, folder, std::min(runs, 5));
    if (part("lookup"))
        benchLookup(table, folder);
    if (part("memory")) {
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

    QTextStream out(stdout);
    const int missed = table.print(out);
    out << "\n"
        << (missed == 0 ? QStringLiteral("Every budget met.")
                        : QStringLiteral("%1 budget(s) missed.").arg(missed))
        << "\n";
    return 0;
}
