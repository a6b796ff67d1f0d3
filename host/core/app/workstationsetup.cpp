#include "core/app/workstationsetup.h"

#include "core/app/host.h"
#include "core/store/history.h"

#include <QSet>

IllegalParameterError::IllegalParameterError(const QString &place, const QString &parameter)
    : std::invalid_argument(
            QStringLiteral("Unzulässiger Parameter %1 in %2").arg(parameter, place).toStdString())
    , m_place(place)
    , m_text(QStringLiteral("Unzulässiger Parameter %1 in %2").arg(parameter, place))
{
}

OperationCancelled::OperationCancelled()
    : std::runtime_error("Der Vorgang wurde abgebrochen.")
{
}

QString GetFiller(int mode)
{
    switch (mode) {
    case SetupDefault:
        return QStringLiteral("Default");
    case SetupAutomatic:
        return QStringLiteral("AutoWert");
    }
    throw IllegalParameterError(QStringLiteral("GetFiller"),
                                QStringLiteral("Modus = %1").arg(mode));
}

int SaetzeAnlegen(Host &host, int workstation, const QString &printerKey, int mode,
                  const std::function<bool(int done, int total)> &progress)
{
    if (mode != SetupDefault && mode != SetupAutomatic)
        throw IllegalParameterError(QStringLiteral("TfrmAllgEinstellungen.SaetzeAnlegen"),
                                    QStringLiteral("Modus = %1").arg(mode));
    const QString filler = GetFiller(mode);
    if (workstation == 0)
        return 0;

    Store &store = host.store();
    int written = 0;
    AuditEvent event{
            AuditAction::WorkstationSetUp, workstation, QString(),
            QStringLiteral("Drucker %1, Modus %2 (%3)").arg(printerKey).arg(mode).arg(filler)};
    host.audit().recordFailure(event, [&] {
        store.write([&] {
            // The template is copied by the store itself, in one statement: no record travels to
            // this program and back. Counting and copying run inside one transaction: a record
            // another program writes meanwhile is either seen here or waits for the end, never
            // overwritten unseen in mode 2, which keeps the workstation's records.
            const QString templateRecords =
                    QStringLiteral("FROM layout_records WHERE rnr = 0 AND printer_key = ? AND "
                                   "upper(kennung) NOT IN "
                                   "('AKTBONDR', 'DISPLAY')");
            // Only progress shown to the user needs the number of records beforehand.
            int total = 0;
            if (progress) {
                QSqlQuery count = store.run(QStringLiteral("SELECT count(*) ") + templateRecords,
                                            {sqlText(printerKey)},
                                            QStringLiteral("Lesen der Vorlage %1").arg(printerKey));
                total = count.next() ? count.value(0).toInt() : 0;
                if (!progress(0, total))
                    throw OperationCancelled();
            }
            // Mode 1 replaces the records of the template's keys. SQLite does that within the
            // insert (OR REPLACE removes a record of the same key first); on PostgreSQL an insert
            // that settles each row's conflict on its own costs half as much again, so there they
            // are removed first. The statements stay prepared for the setups of further
            // workstations.
            const auto describe = [&] {
                return QStringLiteral("Anlegen der Sätze von Rechner %1").arg(workstation);
            };
            // The history keeps what the setup replaces (mode 1) or adds (mode 2), before it is
            // written; one change set for the whole setup.
            const ChangeSet changeSet(store, QStringLiteral("Einrichten aus der Vorlage"));
            store.run(QStringLiteral("INSERT INTO record_history (kind, name, rnr, record_key, "
                                     "value_before, value_after, ")
                              + History::stampColumns()
                              + QStringLiteral(") SELECT 'layout', t.kennung, ?, t.printer_key, "
                                               "w.blob, t.blob, ?, ?, ?, ?, ?, ? FROM "
                                               "layout_records t LEFT JOIN layout_records w ON "
                                               "w.rnr = ? AND w.printer_key = t.printer_key AND "
                                               "w.kennung = t.kennung WHERE t.rnr = 0 AND "
                                               "t.printer_key = ? AND upper(t.kennung) NOT IN "
                                               "('AKTBONDR', 'DISPLAY') AND ")
                              + (mode == SetupDefault
                                         ? QStringLiteral("(w.blob IS NULL OR w.blob <> t.blob)")
                                         : QStringLiteral("w.kennung IS NULL")),
                      QVariantList{workstation} + History::stampValues(store)
                              + QVariantList{workstation, sqlText(printerKey)},
                      QStringLiteral("Schreiben des Verlaufs von Rechner %1").arg(workstation));
            const bool replaceInInsert = mode == SetupDefault && store.isSqlite();
            if (mode == SetupDefault && !replaceInInsert) {
                QSqlQuery &remove = store.prepareReused(
                        QStringLiteral(
                                "DELETE FROM layout_records WHERE rnr = ? AND printer_key = ? "
                                "AND kennung IN (SELECT kennung ")
                        + templateRecords + u')');
                remove.addBindValue(workstation);
                remove.addBindValue(sqlText(printerKey));
                remove.addBindValue(sqlText(printerKey));
                Store::exec(remove, describe);
            }
            QSqlQuery &copy = store.prepareReused(
                    (replaceInInsert ? QStringLiteral("INSERT OR REPLACE")
                                     : QStringLiteral("INSERT"))
                    + QStringLiteral(" INTO layout_records (kennung, rnr, printer_key, filler, "
                                     "blob) SELECT kennung, ?, printer_key, ?, blob ")
                    + templateRecords
                    + (replaceInInsert ? QString()
                                       : QStringLiteral(" ON CONFLICT (rnr, printer_key, kennung) "
                                                        "DO NOTHING")));
            copy.addBindValue(workstation);
            copy.addBindValue(filler);
            copy.addBindValue(sqlText(printerKey));
            Store::exec(copy, describe);
            written = copy.numRowsAffected();
            if (progress && !progress(total, total))
                throw OperationCancelled();
        });
    });
    store.shrinkLog();
    event.detail += QStringLiteral(", %1 Layoutsätze").arg(written);
    host.audit().record(event);
    return written;
}

int missingFromTemplate(Host &host, int workstation, const QString &printerKey)
{
    if (workstation == 0)
        return 0;
    QSqlQuery count = host.store().run(
            QStringLiteral("SELECT count(*) FROM layout_records t WHERE t.rnr = 0 AND "
                           "t.printer_key = ? AND upper(t.kennung) NOT IN ('AKTBONDR', 'DISPLAY') "
                           "AND NOT EXISTS (SELECT 1 FROM layout_records w WHERE w.rnr = ? AND "
                           "w.printer_key = t.printer_key AND w.kennung = t.kennung)"),
            {sqlText(printerKey), workstation},
            QStringLiteral("Lesen der Vorlage %1").arg(printerKey));
    return count.next() ? count.value(0).toInt() : 0;
}

void Copy_Rechner_Einstellungen(Host &host, int source, const QList<int> &targets, bool)
{
    if (source <= 0)
        return;
    QList<int> chosen;
    for (int target : targets) {
        if (target != source && target != 0 && !chosen.contains(target))
            chosen << target;
    }
    if (chosen.isEmpty())
        return;

    Store &store = host.store();
    QStringList names;
    for (int target : chosen)
        names << QString::number(target);
    const AuditEvent event{AuditAction::SettingsCopied, source, QString(),
                           QStringLiteral("nach Rechner %1").arg(names.join(QStringLiteral(", ")))};
    host.audit().track(event, [&] {
        store.write([&] {
            // Each target's records and parameters are copied by the store itself: nothing travels
            // to this program and back. Those of the source's keys are replaced by removing them
            // first; an insert that settles each row's conflict on its own costs PostgreSQL half
            // as much again.
            const QStringList statements = {
                    QStringLiteral(
                            "DELETE FROM layout_records WHERE rnr = ? AND (printer_key, kennung) "
                            "IN (SELECT printer_key, kennung FROM layout_records WHERE rnr = ?)"),
                    QStringLiteral("INSERT INTO layout_records (kennung, rnr, printer_key, filler, "
                                   "blob) SELECT kennung, ?, printer_key, filler, blob FROM "
                                   "layout_records WHERE rnr = ?"),
                    QStringLiteral("DELETE FROM parameters WHERE rnr = ? AND param_key IN (SELECT "
                                   "param_key FROM parameters WHERE rnr = ?)"),
                    QStringLiteral(
                            "INSERT INTO parameters (param_key, rnr, value) SELECT param_key, "
                            "?, value FROM parameters WHERE rnr = ?"),
            };
            // The history keeps every record and parameter of a target the copy changes, in one
            // change set; its rows are written before the copy overwrites them.
            const ChangeSet changeSet(store, QStringLiteral("Einstellungen kopieren"));
            const QString history = QStringLiteral("INSERT INTO record_history (kind, name, rnr, "
                                                   "record_key, value_before, value_after, ")
                                    + History::stampColumns() + QStringLiteral(") ");
            const QStringList recorded = {
                    history
                            + QStringLiteral("SELECT 'layout', s.kennung, ?, s.printer_key, "
                                             "t.blob, s.blob, ?, ?, ?, ?, ?, ? FROM "
                                             "layout_records s LEFT JOIN layout_records t ON "
                                             "t.rnr = ? AND t.printer_key = s.printer_key AND "
                                             "t.kennung = s.kennung WHERE s.rnr = ? AND (t.blob "
                                             "IS NULL OR t.blob <> s.blob)"),
                    history
                            + QStringLiteral("SELECT 'parameter', s.param_key, ?, '', %1, %2, "
                                             "?, ?, ?, ?, ?, ? FROM parameters s LEFT JOIN "
                                             "parameters t ON t.rnr = ? AND t.param_key = "
                                             "s.param_key WHERE s.rnr = ? AND (t.value IS NULL "
                                             "OR t.value <> s.value)")
                                      .arg(History::textAsBytes(store, QStringLiteral("t.value")),
                                           History::textAsBytes(store, QStringLiteral("s.value"))),
            };
            const QVariantList stamp = History::stampValues(store);
            for (int target : chosen) {
                for (const QString &sql : recorded)
                    store.run(sql, QVariantList{target} + stamp + QVariantList{target, source},
                              QStringLiteral("Schreiben des Verlaufs von Rechner %1").arg(target));
            }
            QList<QSqlQuery> queries;
            for (const QString &sql : statements)
                queries << store.prepare(sql);
            for (int target : chosen) {
                for (QSqlQuery &q : queries) {
                    q.bindValue(0, target);
                    q.bindValue(1, source);
                    Store::exec(q, [&] {
                        return QStringLiteral(
                                       "Kopieren der Einstellungen von Rechner %1 auf Rechner "
                                       "%2")
                                .arg(source)
                                .arg(target);
                    });
                }
            }
        });
    });
    store.shrinkLog();
}
