#include "bench/printbench.h"

#include "core/app/host.h"
#include "core/engine/bonprinter.h"
#include "core/engine/testprints.h"
#include "core/model/hosttables.h"
#include "core/model/sampledocument.h"
#include "core/output/printoutput.h"

#include <QDir>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

namespace {

// The bare way to the same file: the job's lines drawn with their fonts, one below the other,
// and its pictures, into a QPdfWriter on a page as wide as the paper.
void writeBarePdf(const PrintJob &job, const QString &file)
{
    QPdfWriter writer(file);
    const double widthMm = job.paperWidthCm * 10.0;
    writer.setPageSize(QPageSize(QSizeF(widthMm, 5.0 * double(job.items.size()) + 20.0),
                                 QPageSize::Millimeter));
    writer.setPageMargins(QMarginsF());
    QPainter painter(&writer);
    const double dotsPerMm = writer.resolution() / 25.4;
    const double width = widthMm * dotsPerMm;
    double y = 0;
    for (const JobItem &item : job.items) {
        if (item.kind == JobItem::Kind::Picture) {
            const QRectF area(0, y, item.widthCm * 10.0 * dotsPerMm,
                              item.heightCm * 10.0 * dotsPerMm);
            painter.drawImage(area, item.picture);
            y += area.height();
            continue;
        }
        QFont font(item.fontName);
        font.setPointSize(item.pointSize);
        font.setBold(item.bold);
        font.setItalic(item.italic);
        painter.setFont(font);
        const double lineHeight = QFontMetricsF(font, &writer).height();
        if (item.kind == JobItem::Kind::Feed) {
            y += item.lines * lineHeight;
        } else if (item.kind != JobItem::Kind::Cut) {
            painter.drawText(QRectF(0, y, width, lineHeight), int(item.alignment), item.text);
            y += lineHeight;
        }
    }
    if (!painter.end())
        benchFailure(QStringLiteral("the bare PDF was not written"));
}

} // namespace

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

void benchPdfPrints(BudgetTable &table, const QString &folder, int runs)
{
    std::unique_ptr<Host> host = openBenchHost(folder, QStringLiteral("pdf-prints"));
    TBonPrinter engine(*host, CAlleBonArten(), -1);
    engine.setOutputEnabled(false);
    engine.setDocument(sampleDocument(0.94, QStringLiteral("EUR"), QStringLiteral("CHF"),
                                      QDateTime::currentDateTime()));
    const PrintOutput output(host->config());
    const QDir out(folder + QStringLiteral("/pdf"));
    out.mkpath(QStringLiteral("."));
    QList<PrintJob> jobs;
    for (int type = 1; type <= DocumentTypeCount; ++type) {
        runTestPrint(engine, type);
        jobs << engine.lastJob();
    }
    auto file = [&](const QString &prefix, int type) {
        return out.filePath(QStringLiteral("%1-%2.pdf").arg(prefix).arg(type));
    };
    auto check = [](const OutputResult &result) {
        if (!result.ok)
            benchFailure(QStringLiteral("test print not written: ") + result.error);
    };
    // The print tool's --all: each test print rendered and written.
    auto print = [&](const std::function<void(int type, const PrintJob &job)> &write) {
        for (int type = 1; type <= DocumentTypeCount; ++type) {
            runTestPrint(engine, type);
            write(type, engine.lastJob());
        }
    };
    Figure files, bare, onePdf;
    for (int run = 0; run < runs; ++run) {
        files.samples << elapsedMsOf([&] {
            print([&](int type, const PrintJob &job) {
                check(output.writePdf(job, file(QStringLiteral("ours"), type)));
            });
        });
        bare.samples << elapsedMsOf([&] {
            for (int type = 1; type <= DocumentTypeCount; ++type)
                writeBarePdf(jobs.at(type - 1), file(QStringLiteral("bare"), type));
        });
        onePdf.samples << elapsedMsOf([&] {
            QList<PrintJob> pages;
            print([&](int, const PrintJob &job) { pages << job; });
            check(output.writePdf(pages, out.filePath(QStringLiteral("all.pdf"))));
        });
    }
    if (out.entryList({QStringLiteral("*.pdf")}, QDir::Files).size() != 2 * DocumentTypeCount + 1)
        benchFailure(QStringLiteral("not every PDF was written"));
    table.add(QStringLiteral("test prints of all %1 types as %1 PDF files").arg(DocumentTypeCount),
              files,
              QStringLiteral("a bare QPdfWriter program drawing the same lines with the same "
                             "fonts into %1 files")
                      .arg(DocumentTypeCount),
              bare, QStringLiteral("at most 1.2x"), atMost(1.2));
    table.add(
            QStringLiteral("test prints of all %1 types as one %1-page PDF").arg(DocumentTypeCount),
            onePdf, QStringLiteral("%1 PDF files").arg(DocumentTypeCount), files,
            QStringLiteral("at most 0.4x"), atMost(0.4));
}
