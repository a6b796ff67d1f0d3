#include "printbench.h"

#include "bonprinter.h"
#include "host.h"
#include "hosttables.h"
#include "printoutput.h"
#include "sampledocument.h"
#include "testprints.h"

#include <QDir>

void benchTestPrints(BudgetTable &table, const QString &folder, const Figure &startUp, int runs)
{
    std::unique_ptr<Host> host = openBenchHost(folder, QStringLiteral("prints"));
    TBonPrinter engine(*host, CAlleBonArten(), -1);
    engine.setOutputEnabled(false); // the files are written here, each format once
    engine.setDocument(sampleDocument(0.94, QStringLiteral("EUR"), QStringLiteral("CHF"),
                                      QDateTime::currentDateTime()));
    const PrintOutput output(host->config());
    const QDir out(folder + QStringLiteral("/testprints"));
    out.mkpath(QStringLiteral("."));

    auto check = [](const OutputResult &result) {
        if (!result.ok)
            benchFailure(QStringLiteral("test print not written: ") + result.error);
    };
    const Figure all = timeMs(runs, [&] {
        for (int type = 1; type <= DocumentTypeCount; ++type) {
            runTestPrint(engine, type);
            const PrintJob &job = engine.lastJob();
            const QString base = out.filePath(QString::number(type));
            check(output.writePng(job, base + QStringLiteral(".png")));
            check(output.writePdf(job, base + QStringLiteral(".pdf")));
            const EscPosEncoder encoder(engine.printerRecord(), output.escPosSettings(job));
            check(output.writeTo(base + QStringLiteral(".bin"), encoder.encode(job).bytes));
        }
    });
    if (out.entryList(QDir::Files).size() != 3 * DocumentTypeCount)
        benchFailure(QStringLiteral("not every test print was written in every format"));

    Figure threeStartUps;
    for (double s : startUp.samples)
        threeStartUps.samples << 3 * s;
    table.add(QStringLiteral("test prints of all %1 types rendered to PNG, PDF and ESC/POS files")
                      .arg(DocumentTypeCount),
              all, QStringLiteral("start-up alone, three times"), threeStartUps,
              QStringLiteral("less than 3 start-ups"),
              [](double measured, double baseline) { return measured < baseline; });
}
