#include "bench/printbench.h"

#include "core/app/host.h"
#include "core/engine/bonprinter.h"
#include "core/engine/hosttables.h"
#include "core/engine/sampledocument.h"
#include "core/engine/testprints.h"
#include "core/output/printoutput.h"

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
    // Each document type's test print, written by `write` into a file of its own.
    using Writer = std::function<void(const PrintJob &job, const QString &file)>;
    auto printAll = [&](const QString &suffix, const Writer &write) {
        return timeMs(runs, [&] {
            for (int type = 1; type <= DocumentTypeCount; ++type) {
                runTestPrint(engine, type);
                write(engine.lastJob(), out.filePath(QString::number(type) + suffix));
            }
        });
    };
    const struct
    {
        const char *name;
        QString suffix;
        Writer write;
    } formats[] = {
            {"PNG pictures", QStringLiteral(".png"),
             [&](const PrintJob &job, const QString &file) {
                 check(output.writePng(job, file));
             }},
            {"PDF files", QStringLiteral(".pdf"),
             [&](const PrintJob &job, const QString &file) {
                 check(output.writePdf(job, file));
             }},
            {"ESC/POS byte files", QStringLiteral(".bin"),
             [&](const PrintJob &job, const QString &file) {
                 const EscPosEncoder encoder(engine.printerRecord(), output.escPosSettings(job));
                 check(output.writeTo(file, encoder.encode(job).bytes));
             }},
    };

    Figure threeStartUps;
    for (double s : startUp.samples)
        threeStartUps.samples << 3 * s;
    for (const auto &format : formats) {
        const Figure all = printAll(format.suffix, format.write);
        if (out.entryList({QStringLiteral("*") + format.suffix}, QDir::Files).size()
            != DocumentTypeCount)
            benchFailure(QStringLiteral("not every test print was written as ") + format.suffix);
        table.add(QStringLiteral("test prints of all %1 types rendered to %2")
                          .arg(DocumentTypeCount)
                          .arg(QLatin1String(format.name)),
                  all, QStringLiteral("start-up alone, three times"), threeStartUps,
                  QStringLiteral("less than 3 start-ups"),
                  [](double measured, double baseline) { return measured < baseline; });
    }
}
