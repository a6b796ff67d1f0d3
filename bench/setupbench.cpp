#include "setupbench.h"

#include "host.h"
#include "settingslistcodec.h"
#include "workstationsetup.h"

#include <QElapsedTimer>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int Sections = 150;
constexpr int Workstations = 500;
constexpr int SourceParameters = 30;
const QString Printer = QStringLiteral("TM-T88");

// A settings list of the size a heading section has: 15 lines of text, font, size, style
// and alignment.
QByteArray sectionBlob(int section)
{
    QStringList entries;
    for (int line = 1; line <= 15; ++line)
        entries << QStringLiteral("Zeile %1 des Abschnitts %2 mit #Datum# und #Bonnummer#")
                           .arg(line)
                           .arg(section)
                << QStringLiteral("Arial") << QStringLiteral("10") << QStringLiteral("normal")
                << QStringLiteral("links");
    return SettingsListCodec::encodeUtf8(entries);
}

std::unique_ptr<Host> openStore(const QString &folder, const QString &name)
{
    const ComputerConfig config = ComputerConfig::load(
            {QStringLiteral("--store=") + folder + u'/' + name + QStringLiteral(".sqlite"),
             QStringLiteral("--config=") + folder + QStringLiteral("/none.ini"),
             QStringLiteral("--log=") + folder + u'/' + name + QStringLiteral(".log"),
             QStringLiteral("--workstation=1")});
    return Host::open(config);
}

double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

QString row(const QString &what, double measuredMs, double baselineMs)
{
    return QStringLiteral("| %1 | %2 ms | %3 ms (500 single-record transactions) | %4 | |\n")
            .arg(what, QString::number(measuredMs, 'f', 1), QString::number(baselineMs, 'f', 1),
                 QString::number(measuredMs / baselineMs, 'f', 2));
}

} // namespace

void benchWorkstationSetup(QTextStream &out, const QString &folder)
{
    std::unique_ptr<Host> host = openStore(folder, QStringLiteral("setup"));
    LayoutStore &layouts = host->layouts();
    host->store().write([&] {
        for (int s = 0; s < Sections; ++s)
            layouts.upsert({QStringLiteral("SEC%1").arg(s, 3, 10, QChar(u'0')), 0, Printer},
                           sectionBlob(s));
    });

    // Baseline: what one record costs when each write is a transaction of its own.
    const QByteArray blob = sectionBlob(0);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Workstations; ++i)
        layouts.upsert({QStringLiteral("EINZELN"), 10000 + i, Printer}, blob);
    const double baseline = elapsedMs(timer);

    int written = 0;
    timer.start();
    written += SaetzeAnlegen(*host, 1, Printer, SetupDefault);
    const double one = elapsedMs(timer);

    timer.start();
    for (int rnr = 1001; rnr < 1001 + Workstations; ++rnr)
        written += SaetzeAnlegen(*host, rnr, Printer, SetupDefault);
    const double many = elapsedMs(timer);

    for (int p = 0; p < SourceParameters; ++p)
        host->parameters().StringParamWrite(QStringLiteral("PARAM%1").arg(p), QStringLiteral("J"),
                                            1);
    QList<int> targets;
    for (int rnr = 2001; rnr < 2001 + Workstations; ++rnr)
        targets << rnr;
    timer.start();
    Copy_Rechner_Einstellungen(*host, 1, targets, false);
    const double copy = elapsedMs(timer);

    if (written < Sections * (Workstations + 1)
        || layouts.count() < qint64(Sections) * (2 * Workstations + 2)) {
        std::fprintf(stderr, "workstation setup benchmark wrote too few records\n");
        std::exit(1);
    }

    out << row(
            QStringLiteral("SaetzeAnlegen: 150-section template (+ page setup) into 1 workstation"),
            one, baseline);
    out << row(
            QStringLiteral(
                    "SaetzeAnlegen: 150-section template (+ page setup) into 500 workstations, one "
                    "call each"),
            many, baseline);
    out << row(QStringLiteral("Copy_Rechner_Einstellungen: 150 records and 30 parameters to 500 "
                              "targets"),
               copy, baseline);
}
