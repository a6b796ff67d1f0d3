#include "bench/historybench.h"

#include "core/app/host.h"
#include "core/store/history.h"
#include "core/store/settingslistcodec.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QThread>

namespace {

constexpr int Calls = 200;
constexpr int Versions = 10;

Figure perCall(int runs, const std::function<void(int call)> &fn)
{
    return microsecondsPerCall(runs, Calls, fn);
}

} // namespace

void benchSaveWithHistory(BudgetTable &table, const QString &folder, int runs, Backend backend)
{
    std::unique_ptr<Host> host = openBenchHost(folder, QStringLiteral("history-save"), 1, backend);
    const LayoutKey key{QStringLiteral("BONPOS"), 1, QStringLiteral("TM-T88")};
    QStringList entries;
    for (int line = 1; line <= 15; ++line)
        entries << QStringLiteral("Zeile %1 mit #Datum# und #Bonnummer#").arg(line)
                << QStringLiteral("Arial") << QStringLiteral("10") << QStringLiteral("normal")
                << QStringLiteral("links");
    const QByteArray blob = SettingsListCodec::encodeUtf8(entries);
    // Every save changes a byte: an unchanged record writes no history row.
    const auto changed = [&blob](int call) {
        QByteArray bytes = blob;
        bytes[bytes.size() / 2] = char('0' + call % 10);
        return bytes;
    };
    host->layouts().upsert(key, blob);
    QSqlQuery upsert(host->store().database());
    upsert.prepare(QStringLiteral("INSERT INTO layout_records (kennung, rnr, printer_key, blob) "
                                  "VALUES (?, ?, ?, ?) ON CONFLICT (rnr, printer_key, kennung) "
                                  "DO UPDATE SET blob = excluded.blob"));
    Figure save, plain;
    // Alternating, so that both see the same machine load.
    for (int run = 0; run < runs; ++run) {
        save.samples << perCall(1, [&](int call) {
                            host->layouts().upsert(key, changed(call));
                        }).median();
        plain.samples << perCall(1, [&](int call) {
                             upsert.addBindValue(key.kennung);
                             upsert.addBindValue(key.rnr);
                             upsert.addBindValue(key.printerKey);
                             upsert.addBindValue(changed(call + 5));
                             if (!upsert.exec())
                                 benchFailure(QStringLiteral("plain upsert failed"));
                         }).median();
    }
    table.add(QStringLiteral("saving one record with its history row (LayoutStore::upsert, %1 "
                             "bytes) on %2")
                      .arg(blob.size())
                      .arg(backendName(backend)),
              save, QStringLiteral("one plain prepared upsert of the same bytes, no history"),
              plain, QStringLiteral("at most 2x"), atMost(2.0), QStringLiteral("µs"));
}

void fillChainHistory(Host &chain)
{
    Store &store = chain.store();
    // Ten versions of every record, one a day for the last ten days, in one statement per
    // version; the newest holds the record's bytes.
    store.write([&] {
        for (int version = 1; version <= Versions; ++version) {
            const QString when = QDateTime::currentDateTimeUtc()
                                         .addDays(version - Versions - 1)
                                         .toString(Qt::ISODateWithMs);
            store.run(QStringLiteral("INSERT INTO record_history (kind, name, rnr, record_key, "
                                     "value_before, value_after, ")
                              + History::stampColumns()
                              + QStringLiteral(") SELECT 'layout', kennung, rnr, printer_key, "
                                               "%1, %2, 0, '', 'bench', 'bench', 'bench', ? FROM "
                                               "layout_records")
                                        .arg(version == 1
                                                     ? QStringLiteral("NULL")
                                                     : History::textAsBytes(
                                                             store, QStringLiteral("'v%1'").arg(
                                                                            version - 1)),
                                             version == Versions
                                                     ? QStringLiteral("blob")
                                                     : History::textAsBytes(
                                                             store,
                                                             QStringLiteral("'v%1'").arg(version))),
                      {when}, QStringLiteral("Füllen des Verlaufs"));
        }
    });
    store.shrinkLog();
}

void benchChainHistory(BudgetTable &table, Host &chain, Host &demo, const QString &chainStore,
                       const QString &demoStore, const QString &folder, int runs,
                       const QString &adminTool)
{
    // A record of a chain's workstation, with its ten versions, saved once more now, and one of
    // the demo store saved as often now: what `history --since` finds on both.
    QSqlQuery first = chain.store().run(QStringLiteral("SELECT kennung, rnr, printer_key FROM "
                                                       "layout_records WHERE rnr > 3 ORDER BY rnr "
                                                       "LIMIT 1"),
                                        {}, QStringLiteral("Lesen"));
    if (!first.next())
        benchFailure(QStringLiteral("the chain's store has no workstation's records"));
    const LayoutKey chainKey{first.value(0).toString(), first.value(1).toInt(),
                             first.value(2).toString()};
    const LayoutKey demoKey{QStringLiteral("BONPOS"), 3, QStringLiteral("TM-T88")};
    // What `history --since` asks for: the saves from here on, not those that filled the stores.
    const QString since = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    QThread::msleep(5);
    chain.layouts().writeList(chainKey, {QStringLiteral("heute gespeichert")});
    // As many versions of the demo's record: the figures differ only by the store's size.
    for (int version = 0; version <= Versions; ++version)
        demo.layouts().writeList(demoKey, {QStringLiteral("heute gespeichert %1").arg(version)});
    Figure readChain, readDemo;
    for (int run = 0; run < runs; ++run) {
        readDemo.samples << perCall(1, [&](int) {
                                if (History(demo.store()).versions(layoutRef(demoKey)).isEmpty())
                                    benchFailure(QStringLiteral("no history on the demo store"));
                            }).median();
        readChain.samples << perCall(1, [&](int) {
                                 if (History(chain.store()).versions(layoutRef(chainKey)).size()
                                     <= Versions)
                                     benchFailure(QStringLiteral("the chain's versions missing"));
                             }).median();
    }
    QSqlQuery rows = chain.store().run(QStringLiteral("SELECT count(*) FROM record_history"), {},
                                       QStringLiteral("Zählen"));
    const qint64 historyRows = rows.next() ? rows.value(0).toLongLong() : 0;
    table.add(QStringLiteral("the history window's read of one record's versions on a chain's "
                             "store (%1 history rows)")
                      .arg(historyRows),
              readChain, QStringLiteral("the same on the demo store"), readDemo,
              QStringLiteral("at most 1.5x"), atMost(1.5), QStringLiteral("µs"));

    Figure exportChain, exportDemo;
    const auto historySince = [&](const QString &store) {
        return runProgram(adminTool,
                          {QStringLiteral("--store=") + store, QStringLiteral("--config="),
                           QStringLiteral("history"), QStringLiteral("--since=") + since,
                           QStringLiteral("--output=") + folder + QStringLiteral("/history.csv")});
    };
    historySince(chainStore);
    historySince(demoStore);
    for (int run = 0; run < runs; ++run) {
        exportDemo.samples << historySince(demoStore);
        exportChain.samples << historySince(chainStore);
    }
    table.add(QStringLiteral(
                      "kassotyp-admin history --since=(just before the last saves) on that store"),
              exportChain, QStringLiteral("the same on the demo store"), exportDemo,
              QStringLiteral("at most 1.3x"), atMost(1.3));
}
