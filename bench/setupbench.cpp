#include "bench/setupbench.h"

#include "core/app/host.h"
#include "core/app/workstationsetup.h"
#include "core/store/settingslistcodec.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlQuery>

namespace {

constexpr int Sections = TemplateSections;
constexpr int Workstations = 500;
constexpr int SmallRun = 100;
constexpr int SourceParameters = 30;
const QString Printer = BenchPrinter;

} // namespace

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

namespace {

// "grows linearly": the cost of one workstation in the large run stays within a quarter of
// its cost in the small run.
bool isLinear(const Figure &small, const Figure &large)
{
    return large.median() / Workstations <= 1.25 * small.median() / SmallRun;
}

QString growthNote(const Figure &small, const Figure &large)
{
    const double perSmall = small.median() / SmallRun;
    const double perLarge = large.median() / Workstations;
    return QStringLiteral("(%1 ms per workstation at %2, %3 at %4: %5)")
            .arg(QString::number(perSmall, 'f', 2))
            .arg(SmallRun)
            .arg(QString::number(perLarge, 'f', 2))
            .arg(Workstations)
            .arg(isLinear(small, large) ? QStringLiteral("linear") : QStringLiteral("NOT LINEAR"));
}

QString megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1) + QStringLiteral(" MB");
}

} // namespace

// Copies records by plain SQL, one INSERT ... SELECT a table and target: what the same bytes
// cost without our code. A setup copies the source's records of the printer, a copy of settings
// (`wholeWorkstation`) all records and parameters of the source; each target in a transaction
// of its own as SaetzeAnlegen runs, or all in one as the copy of settings runs.
void plainCopy(Host &host, int source, const QList<int> &targets, bool wholeWorkstation,
               bool oneTransaction)
{
    auto copyOne = [&](int rnr) {
        QSqlQuery q = host.store().prepare(
                QStringLiteral("INSERT INTO layout_records (kennung, rnr, printer_key, filler, "
                               "blob) SELECT kennung, ?, printer_key, %1, blob FROM "
                               "layout_records WHERE rnr = ?%2")
                        .arg(wholeWorkstation ? QStringLiteral("filler")
                                              : QStringLiteral("'Default'"),
                             wholeWorkstation ? QString()
                                              : QStringLiteral(" AND printer_key = ?")));
        q.addBindValue(rnr);
        q.addBindValue(source);
        if (!wholeWorkstation)
            q.addBindValue(Printer);
        Store::exec(q, QStringLiteral("Kopieren"));
        if (q.numRowsAffected() < Sections)
            benchFailure(
                    QStringLiteral("the plain copy wrote %1 records").arg(q.numRowsAffected()));
        if (!wholeWorkstation)
            return;
        q = host.store().prepare(QStringLiteral("INSERT INTO parameters (param_key, rnr, value) "
                                                "SELECT param_key, ?, value FROM parameters "
                                                "WHERE rnr = ?"));
        q.addBindValue(rnr);
        q.addBindValue(source);
        Store::exec(q, QStringLiteral("Kopieren"));
    };
    if (oneTransaction)
        host.store().write([&] {
            for (int rnr : targets)
                copyOne(rnr);
        });
    else
        for (int rnr : targets)
            host.store().write([&] { copyOne(rnr); });
}

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

void benchWorkstationSetup(BudgetTable &table, const QString &folder, int runs, Backend backend)
{
    const bool sqlite = backend == Backend::Sqlite;
    // Every sample runs on a store of its own that holds just the template, so that no figure
    // pays for the records an earlier one wrote. On SQLite the write-ahead log's size is taken
    // before the store is closed.
    int stores = 0;
    auto measure = [&](Figure &figure, const std::function<void(Host &)> &fn,
                       qint64 *logBytes = nullptr) {
        const QString name = QStringLiteral("setup-%1").arg(++stores);
        {
            std::unique_ptr<Host> host = openBenchHost(folder, name, 1, backend);
            fillTemplate(*host);
            figure.samples << elapsedMsOf([&] { fn(*host); });
            if (logBytes && sqlite)
                *logBytes = QFileInfo(benchStoreLocation(backend, folder, name)
                                      + QStringLiteral("-wal"))
                                    .size();
        }
        removeBenchStore(backend, folder, name);
    };
    constexpr int FirstTarget = 10000;

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
    auto plain = [](int source, bool wholeWorkstation) {
        return [=](Host &host) {
            plainCopy(host, source, range(FirstTarget, Workstations), wholeWorkstation,
                      wholeWorkstation);
        };
    };

    // Interleaved, so that a slower phase of the machine weighs on every figure alike. The
    // growth from 100 to 500 workstations is measured on SQLite.
    Figure setupSmall, setupLarge, plainSetup, copySmall, copyLarge, plainCopyAll;
    qint64 copyLog = 0, plainLog = 0;
    for (int run = 0; run < runs; ++run) {
        if (sqlite)
            measure(setupSmall, setUp(SmallRun));
        measure(setupLarge, setUp(Workstations));
        measure(plainSetup, plain(0, false));
        if (sqlite)
            measure(copySmall, copyTo(SmallRun));
        measure(copyLarge, copyTo(Workstations), &copyLog);
        measure(plainCopyAll, plain(1, true), &plainLog);
    }
    if (written < Sections * runs * ((sqlite ? SmallRun : 0) + Workstations))
        benchFailure(QStringLiteral("SaetzeAnlegen wrote %1 records").arg(written));

    const QString on = sqlite ? QString() : QStringLiteral(" on PostgreSQL");
    auto budget = [&](const Figure &small, const Figure &large) {
        const bool linear = !sqlite || isLinear(small, large);
        return [linear](double measured, double baseline) {
            return linear && measured <= 1.25 * baseline;
        };
    };
    const QString budgetText = sqlite ? QStringLiteral("at most 1.25x; grows linearly")
                                      : QStringLiteral("at most 1.25x");
    table.add(QStringLiteral("SaetzeAnlegen: 150-section template into 500 workstations, one "
                             "call each%1")
                      .arg(on),
              setupLarge,
              QStringLiteral("the same records by plain SQL on the same connection (INSERT ... "
                             "SELECT, one statement and one transaction per workstation)"),
              plainSetup, budgetText, budget(setupSmall, setupLarge), QStringLiteral("ms"),
              sqlite ? growthNote(setupSmall, setupLarge) : QString());
    table.add(QStringLiteral("copy settings (150 records, 30 parameters) to 500 targets%1").arg(on),
              copyLarge,
              QStringLiteral("the same records and parameters by plain SQL (INSERT ... SELECT), "
                             "one transaction"),
              plainCopyAll, budgetText, budget(copySmall, copyLarge), QStringLiteral("ms"),
              sqlite ? growthNote(copySmall, copyLarge)
                               + QStringLiteral(" (write-ahead log after it: %1; after the plain "
                                                "copy: %2)")
                                         .arg(megabytes(copyLog), megabytes(plainLog))
                     : QString());
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

void benchLookupAndSave(BudgetTable &table, const QString &folder, int runs, Backend backend)
{
    constexpr int Calls = 200;
    std::unique_ptr<Host> host = openBenchHost(folder, QStringLiteral("lookup-save"), 1, backend);
    fillTemplate(*host);
    QSqlDatabase db = host->store().database();
    const LayoutKey key{sectionKennung(7), 1, Printer};
    const QByteArray blob = sectionBlob(7);
    // Per call, in microseconds.
    auto perCall = [&](const std::function<void(int call)> &fn) {
        return microsecondsPerCall(runs, Calls, fn);
    };
    // Every save changes a byte: a store may skip writing a row that stays the same.
    auto changed = [&blob](int call) {
        QByteArray bytes = blob;
        bytes[bytes.size() / 2] = char('0' + call % 10);
        return bytes;
    };

    const Figure lookup = perCall([&](int) {
        if (!host->layouts().find(key))
            benchFailure(QStringLiteral("the record to look up is missing"));
    });
    QSqlQuery select(db);
    select.prepare(QStringLiteral("SELECT filler, blob FROM layout_records WHERE kennung = ? AND "
                                  "rnr = ? AND printer_key = ?"));
    const Figure plainLookup = perCall([&](int) {
        select.addBindValue(key.kennung);
        select.addBindValue(key.rnr);
        select.addBindValue(key.printerKey);
        if (!select.exec() || !select.next() || select.value(1).toByteArray().isEmpty())
            benchFailure(QStringLiteral("plain lookup failed"));
        select.finish();
    });
    const Figure save = perCall([&](int call) { host->layouts().upsert(key, changed(call)); });
    QSqlQuery upsert(db);
    upsert.prepare(QStringLiteral("INSERT INTO layout_records (kennung, rnr, printer_key, blob) "
                                  "VALUES (?, ?, ?, ?) ON CONFLICT (rnr, printer_key, kennung) "
                                  "DO UPDATE SET blob = excluded.blob"));
    const Figure plainSave = perCall([&](int call) {
        upsert.addBindValue(key.kennung);
        upsert.addBindValue(key.rnr);
        upsert.addBindValue(key.printerKey);
        upsert.addBindValue(changed(call));
        if (!upsert.exec())
            benchFailure(QStringLiteral("plain upsert failed"));
    });
    const QString on = QStringLiteral(" on %1").arg(backendName(backend));
    table.add(QStringLiteral("record lookup by key (LayoutStore::find)") + on, lookup,
              QStringLiteral("one plain prepared SELECT of the same record"), plainLookup,
              QStringLiteral("at most 1.5x"), atMost(1.5), QStringLiteral("µs"));
    table.add(QStringLiteral("saving one record (LayoutStore::upsert, %1 bytes)").arg(blob.size())
                      + on,
              save, QStringLiteral("one plain prepared upsert of the same bytes"), plainSave,
              QStringLiteral("at most 1.5x"), atMost(1.5), QStringLiteral("µs"));
}
