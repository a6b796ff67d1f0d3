// Measures the designer against baselines taken in the same run and prints one table.
// Start-up: process start to main window shown (offscreen, demo store), against a bare Qt
// program showing one empty dialog. Runs alternate so that both see the same machine load.
#include "editorbench.h"
#include "placeholdervalues.h"
#include "printbench.h"
#include "sampledocument.h"
#include "setupbench.h"

#include "bonprinter.h"
#include "host.h"
#include "hosttables.h"
#include "printjob.h"
#include "testprints.h"

#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

QString g_runtimeDir;

double runOnceMs(const QString &program, const QStringList &args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), g_runtimeDir);
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed (exit %d)\n", qPrintable(program), process.exitCode());
        std::exit(1);
    }
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Replacing the placeholders of one section of 15 lines with three tokens a line.
double replacementMicrosecondsPerSection()
{
    const DocumentData document = sampleDocument(0.94, QStringLiteral("EUR"), QStringLiteral("CHF"),
                                                 QDateTime::currentDateTime());
    QStringList lines;
    for (int i = 0; i < 15; ++i)
        lines << QStringLiteral("#ArtikelNr# #ArtikelBez#  Zeile %1  #IstVkWH2#").arg(i + 1);
    constexpr int sections = 20000;
    qsizetype sink = 0;
    QElapsedTimer timer;
    timer.start();
    for (int n = 0; n < sections; ++n) {
        for (const QString &line : lines)
            sink += replacePlaceholders(line, document, true).size();
    }
    const double us = double(timer.nsecsElapsed()) / 1e3 / sections;
    if (sink == 0)
        std::exit(1); // keeps the work from being optimised away
    return us;
}

// Test prints of all 23 document types into jobs and PNG pictures on the demo store.
double testPrintMillisecondsPerDocument(const QString &folder)
{
    ComputerConfig config = ComputerConfig::load(
            {QStringLiteral("--store=") + folder + QStringLiteral("/prints.sqlite"),
             QStringLiteral("--config=") + folder + QStringLiteral("/none.ini"),
             QStringLiteral("--log=") + folder + QStringLiteral("/prints.log"),
             QStringLiteral("--workstation=3")});
    std::unique_ptr<Host> host = Host::open(config);
    TBonPrinter engine(*host, CAlleBonArten(), -1);
    engine.setOutputEnabled(false); // jobs and pictures only; the devices are measured apart
    engine.setDocument(sampleDocument(0.94, QStringLiteral("EUR"), QStringLiteral("CHF"),
                                      QDateTime::currentDateTime()));
    constexpr int rounds = 5;
    qint64 pixels = 0;
    QElapsedTimer timer;
    timer.start();
    for (int r = 0; r < rounds; ++r) {
        for (int type = 1; type <= DocumentTypeCount; ++type) {
            runTestPrint(engine, type);
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            const QImage image = renderJobToImage(engine.lastJob());
            image.save(&buffer, "PNG");
            pixels += image.width() * image.height();
        }
    }
    if (pixels == 0)
        std::exit(1);
    return double(timer.nsecsElapsed()) / 1e6 / (rounds * DocumentTypeCount);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int runs = 15;
    for (const QString &arg : QCoreApplication::arguments()) {
        if (arg.startsWith(QLatin1String("--runs=")))
            runs = std::max(3, arg.mid(7).toInt());
    }

    const QDir here(QCoreApplication::applicationDirPath());
    const QString designer = here.absoluteFilePath(QStringLiteral("../shell/kassotyp"));
    const QString bare = here.absoluteFilePath(QStringLiteral("bench-bare-dialog"));

    QTemporaryDir dir;
    g_runtimeDir = dir.filePath(QStringLiteral("runtime"));
    QDir().mkpath(g_runtimeDir);
    QFile::setPermissions(g_runtimeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QStringList designerArgs = {
            QStringLiteral("--store=") + dir.filePath(QStringLiteral("demo.sqlite")),
            QStringLiteral("--config=") + dir.filePath(QStringLiteral("kassotyp.ini")),
            QStringLiteral("--log=") + dir.filePath(QStringLiteral("kassotyp.log")),
            QStringLiteral("--exit-when-shown")};
    // The first start creates and seeds the demo store; it is not part of the figure.
    runOnceMs(designer, designerArgs);
    runOnceMs(bare, {});

    QList<double> designerTimes, bareTimes;
    for (int i = 0; i < runs; ++i) {
        bareTimes << runOnceMs(bare, {});
        designerTimes << runOnceMs(designer, designerArgs);
    }
    const double d = median(designerTimes);
    const double b = median(bareTimes);
    const double ratio = d / b;
    constexpr double budget = 2.0;

    QTextStream out(stdout);
    out << "| What | Measured (median of " << runs << ") | Baseline | Ratio | Budget |\n";
    out << "|---|---|---|---|---|\n";
    out << "| start-up: process start to main window shown (offscreen, demo store) | "
        << QString::number(d, 'f', 1) << " ms | " << QString::number(b, 'f', 1)
        << " ms (bare Qt dialog) | " << QString::number(ratio, 'f', 2) << " | at most "
        << QString::number(budget, 'f', 1) << (ratio <= budget ? " (met)" : " (MISSED)") << " |\n";
    out << "| placeholder replacement: one section of 15 lines, 3 tokens a line | "
        << QString::number(replacementMicrosecondsPerSection(), 'f', 1)
        << " µs per section | | | |\n";
    out << "| test prints of all 23 types rendered into jobs and PNG pictures | "
        << QString::number(testPrintMillisecondsPerDocument(dir.path()), 'f', 2)
        << " ms per document | | | |\n";
    benchEditorOpening(out, dir.path());
    benchWorkstationSetup(out, dir.path());
    benchPrintCommand(out, dir.path());
    return 0;
}
