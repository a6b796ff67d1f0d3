#include "bench/setupbench.h"

#include "core/app/host.h"
#include "core/store/settingslistcodec.h"
#include "core/store/workstationsetup.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSqlQuery>

namespace {

constexpr int Sections = 150;
constexpr int Workstations = 500;
constexpr int SmallRun = 100;
constexpr int SourceParameters = 30;
// A printer the demo shop has no designs for, so that the template holds these sections only.
const QString Printer = QStringLiteral("TM-J8000");

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

QString sectionKennung(int section)
{
    return QStringLiteral("SEC%1").arg(section, 3, 10, QChar(u'0'));
}

QList<int> range(int first, int count)
{
    QList<int> list;
    for (int i = 0; i < count; ++i)
        list << first + i;
    return list;
}

// "grows linearly": the cost of one workstation in the large run stays within a quarter of
// its cost in the small run.
QString growthNote(const Figure &small, const Figure &large)
{
    const double perSmall = small.median() / SmallRun;
    const double perLarge = large.median() / Workstations;
    return QStringLiteral("(%1 ms per workstation at %2, %3 at %4: %5)")
            .arg(QString::number(perSmall, 'f', 2))
            .arg(SmallRun)
            .arg(QString::number(perLarge, 'f', 2))
            .arg(Workstations)
            .arg(perLarge <= 1.25 * perSmall ? QStringLiteral("linear")
                                             : QStringLiteral("NOT LINEAR"));
}

// What the bytes written cost without our code: the same records copied by plain SQLite.
QString plainCopyNote(const Figure &ours, const Figure &plain, const QString &how)
{
    return QStringLiteral(" (the same records by plain SQLite, %1: %2 ms, ours %3x of it)")
            .arg(how, plain.text(), QString::number(ours.median() / plain.median(), 'f', 2));
}

} // namespace

// The template the setups copy from: 150 sections on workstation 0, and workstation 1 set up
// from it with 30 parameters of its own, the source of the copies.
void fillTemplate(Host &host)
{
    host.store().write([&] {
        for (int s = 0; s < Sections; ++s)
            host.layouts().upsert({sectionKennung(s), 0, Printer}, sectionBlob(s));
        for (int p = 0; p < SourceParameters; ++p)
            host.parameters().StringParamWrite(QStringLiteral("PARAM%1").arg(p),
                                               QStringLiteral("J"), 1);
    });
    SaetzeAnlegen(host, 1, Printer, SetupDefault);
}

void benchWorkstationSetup(BudgetTable &table, const QString &folder, int runs)
{
    // Every sample runs on a store of its own that holds just the template, so that no figure
    // pays for the records an earlier one wrote.
    int stores = 0;
    auto measure = [&](Figure &figure, const std::function<void(Host &)> &fn) {
        const QString name = QStringLiteral("setup-%1").arg(++stores);
        {
            std::unique_ptr<Host> host = openBenchHost(folder, name, 1);
            fillTemplate(*host);
            figure.samples << elapsedMsOf([&] { fn(*host); });
        }
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(folder + u'/' + name + QStringLiteral(".sqlite") + suffix);
    };
    constexpr int FirstTarget = 10000;

    // Baseline: 500 times one record in a transaction of its own.
    const QByteArray blob = sectionBlob(0);
    auto singleRecords = [&](Host &host) {
        for (int i = 0; i < Workstations; ++i)
            host.layouts().upsert({QStringLiteral("EINZELN"), FirstTarget + i, Printer}, blob);
    };

    int written = 0;
    auto setUp = [&](int count) {
        return [&written, count](Host &host) {
            for (int rnr : range(FirstTarget, count))
                written += SaetzeAnlegen(host, rnr, Printer, SetupDefault);
        };
    };

    auto copyTo = [&](int count) {
        return [count](Host &host) {
            const QList<int> targets = range(FirstTarget, count);
            Copy_Rechner_Einstellungen(host, 1, targets, false);
            if (host.layouts().keys(LayoutFilter{targets.last(), targets.last(), Printer}).size()
                < Sections)
                benchFailure(QStringLiteral("the settings copy missed records"));
        };
    };

    // What the same bytes cost without our code: one plain INSERT ... SELECT of the source
    // records per workstation, each in a transaction of its own as SaetzeAnlegen runs; and all
    // targets in one transaction as the copy runs.
    auto plainCopy = [&](bool oneTransaction) {
        return [oneTransaction](Host &host) {
            auto copyOne = [&](int rnr) {
                QSqlQuery q = host.store().prepare(
                        QStringLiteral("INSERT INTO layout_records (kennung, rnr, printer_key, "
                                       "filler, blob) SELECT kennung, ?, printer_key, 'Default', "
                                       "blob FROM layout_records WHERE rnr = 1 AND printer_key = "
                                       "?"));
                q.addBindValue(rnr);
                q.addBindValue(Printer);
                Store::exec(q, QStringLiteral("Kopieren"));
                if (q.numRowsAffected() < Sections)
                    benchFailure(QStringLiteral("the plain copy wrote %1 records")
                                         .arg(q.numRowsAffected()));
            };
            const QList<int> targets = range(FirstTarget, Workstations);
            if (oneTransaction)
                host.store().write([&] {
                    for (int rnr : targets)
                        copyOne(rnr);
                });
            else
                for (int rnr : targets)
                    host.store().write([&] { copyOne(rnr); });
        };
    };

    // Interleaved, so that a slower phase of the machine weighs on every figure alike.
    Figure baseline, setupSmall, setupLarge, plainSetup, copySmall, copyLarge, plainCopyAll;
    for (int run = 0; run < runs; ++run) {
        measure(baseline, singleRecords);
        measure(setupSmall, setUp(SmallRun));
        measure(setupLarge, setUp(Workstations));
        measure(plainSetup, plainCopy(false));
        measure(copySmall, copyTo(SmallRun));
        measure(copyLarge, copyTo(Workstations));
        measure(plainCopyAll, plainCopy(true));
    }
    if (written < Sections * runs * (SmallRun + Workstations))
        benchFailure(QStringLiteral("SaetzeAnlegen wrote %1 records").arg(written));

    const QString baselineText =
            QStringLiteral("%1 x one record in a transaction of its own").arg(Workstations);
    table.add(QStringLiteral("SaetzeAnlegen: 150-section template into 500 workstations, one "
                             "call each"),
              setupLarge, baselineText, baseline, QStringLiteral("at most 3x; grows linearly"),
              atMost(3.0), QStringLiteral("ms"),
              growthNote(setupSmall, setupLarge)
                      + plainCopyNote(setupLarge, plainSetup,
                                      QStringLiteral("one INSERT ... SELECT per workstation")));
    table.add(QStringLiteral("copy settings (150 records, 30 parameters) to 500 targets"),
              copyLarge, baselineText, baseline, QStringLiteral("at most 3x; grows linearly"),
              atMost(3.0), QStringLiteral("ms"),
              growthNote(copySmall, copyLarge)
                      + plainCopyNote(copyLarge, plainCopyAll,
                                      QStringLiteral("INSERT ... SELECT, one transaction")));
}

namespace {

// Fills the store with `count` layout records under as many workstations as a large chain
// has, in one transaction.
void fillStore(Host &host, int count)
{
    const QByteArray blob = sectionBlob(1).left(200);
    host.store().write([&] {
        QSqlQuery q =
                host.store().prepare(QStringLiteral("INSERT INTO layout_records (kennung, rnr, "
                                                    "printer_key, blob) VALUES (?, ?, ?, ?)"));
        for (int i = 0; i < count; ++i) {
            q.bindValue(0, sectionKennung(i % 1000));
            q.bindValue(1, 100 + i / 1000);
            q.bindValue(2, Printer);
            q.bindValue(3, blob);
            Store::exec(q, QStringLiteral("Füllen"));
        }
    });
}

Figure lookups(Host &host, int count)
{
    constexpr int Lookups = 2000;
    QRandomGenerator random(42);
    Figure f;
    for (int round = 0; round < 5; ++round) {
        int found = 0;
        f.samples << elapsedMsOf([&] {
                         for (int n = 0; n < Lookups; ++n) {
                             const int i = int(random.bounded(count));
                             found += host.layouts()
                                              .find({sectionKennung(i % 1000), 100 + i / 1000,
                                                     Printer})
                                              .has_value();
                         }
                     }) * 1000.0
                             / Lookups;
        if (found != Lookups)
            benchFailure(QStringLiteral("lookups found %1 of %2 records").arg(found).arg(Lookups));
    }
    return f;
}

} // namespace

void benchLookup(BudgetTable &table, const QString &folder)
{
    std::unique_ptr<Host> small = openBenchHost(folder, QStringLiteral("lookup-10k"), 1);
    std::unique_ptr<Host> large = openBenchHost(folder, QStringLiteral("lookup-1m"), 1);
    fillStore(*small, 10000);
    fillStore(*large, 1000000);
    table.add(QStringLiteral("record lookup by key in a store of 1 million records"),
              lookups(*large, 1000000), QStringLiteral("a lookup in a store of 10 thousand"),
              lookups(*small, 10000), QStringLiteral("at most 2x"), atMost(2.0),
              QStringLiteral("µs"));
}
