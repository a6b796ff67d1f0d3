// A second program on a test's store: makes the saves of StoreBurst until it is done or killed.
//   storeworker <store> saves <writer> <rounds>   concurrent saves
//   storeworker <store> setup <first round>        setup rounds until killed
// Prints "bereit" once the store is open; any failure ends it with exit code 1 and the text.
#include "core/app/host.h"
#include "core/base/config.h"
#include "tests/support/storeburst.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3) {
        std::fputs("usage: storeworker <store> saves <writer> <rounds> | setup <first round>\n",
                   stderr);
        return 2;
    }
    try {
        const ComputerConfig config = ComputerConfig::load(
                {QStringLiteral("--store=") + args.at(0),
                 QStringLiteral("--config=") + QStringLiteral("/nonexistent/kassotyp.ini"),
                 QStringLiteral("--user=worker")});
        const std::unique_ptr<Host> host = Host::open(config);
        std::puts("bereit");
        std::fflush(stdout);
        if (args.at(1) == QLatin1String("saves")) {
            const int writer = args.at(2).toInt();
            const int rounds = args.value(3).toInt();
            for (int round = 0; round < rounds; ++round)
                StoreBurst::saveRound(*host, writer, round);
        } else {
            for (int round = args.at(2).toInt();; ++round)
                StoreBurst::setupRound(*host, round);
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
