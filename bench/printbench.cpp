#include "printbench.h"

#include "host.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

namespace {

// One run of the print command; the program ends the benchmark when the command fails, so a
// broken command never shows up as a fast one.
double runMs(const QString &program, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    // The progress lines on stderr are kept back; they are shown when the command fails.
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        std::fprintf(stderr, "%s %s failed (exit %d)\n%s\n", qPrintable(program),
                     qPrintable(arguments.join(u' ')), process.exitCode(),
                     process.readAllStandardError().constData());
        std::exit(1);
    }
    return double(timer.nsecsElapsed()) / 1e6;
}

QString row(const QString &what, double measuredMs, double baselineMs)
{
    return QStringLiteral("| %1 | %2 ms | %3 ms (start-up only: --dry-run) | %4 | |\n")
            .arg(what, QString::number(measuredMs, 'f', 1), QString::number(baselineMs, 'f', 1),
                 QString::number(measuredMs / baselineMs, 'f', 2));
}

} // namespace

void benchPrintCommand(QTextStream &out, const QString &folder)
{
    const QString program =
            QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/kassotyp-print");
    const QString store = folder + QStringLiteral("/printcommand.sqlite");
    // The command prints from an existing store only; the designer's demo store is made here.
    Host::open(ComputerConfig::load(
            {QStringLiteral("--store=") + store,
             QStringLiteral("--config=") + folder + QStringLiteral("/none.ini"),
             QStringLiteral("--log=") + folder + QStringLiteral("/printcommand.log")}));
    const QStringList common = {QStringLiteral("--store=") + store,
                                QStringLiteral("--config=") + folder + QStringLiteral("/none.ini"),
                                QStringLiteral("--log=") + folder
                                        + QStringLiteral("/printcommand.log"),
                                QStringLiteral("--workstation=3"), QStringLiteral("--all")};
    auto outputTo = [&](const char *format) {
        return QStringList{QStringLiteral("--format=") + QLatin1String(format),
                           QStringLiteral("--output=") + folder + QStringLiteral("/print-")
                                   + QLatin1String(format)};
    };

    const double baseline = runMs(program, common + outputTo("pdf") << QStringLiteral("--dry-run"));
    const double pdf = runMs(program, common + outputTo("pdf"));
    const double escPos = runMs(program, common + outputTo("escpos"));
    out << row(QStringLiteral("kassotyp-print --all: 23 test documents as PDF"), pdf, baseline);
    out << row(QStringLiteral("kassotyp-print --all: 23 test documents as ESC/POS bytes"), escPos,
               baseline);
    if (QDir(folder + QStringLiteral("/print-pdf")).entryList(QDir::Files).size() != 23
        || QDir(folder + QStringLiteral("/print-escpos")).entryList(QDir::Files).size() != 23) {
        std::fprintf(stderr, "kassotyp-print did not write 23 files per format\n");
        std::exit(1);
    }
}
