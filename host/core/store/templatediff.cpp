#include "core/store/templatediff.h"

#include "core/store/store.h"

#include <QSqlQuery>

namespace {

QMap<int, QStringList> differing(Store &store, const QString &condition, const QVariantList &values)
{
    const QString sql =
            QStringLiteral(
                    "SELECT w.rnr, w.kennung FROM layout_records w "
                    "LEFT JOIN layout_records t ON t.rnr = 0 AND t.printer_key = w.printer_key "
                    "AND t.kennung = w.kennung "
                    "LEFT JOIN layout_records d ON d.rnr = 0 AND d.printer_key = 'TEST' "
                    "AND d.kennung = w.kennung "
                    "WHERE %1 AND (COALESCE(t.blob, d.blob) IS NULL OR COALESCE(t.blob, d.blob) "
                    "<> w.blob) ORDER BY w.rnr, w.kennung")
                    .arg(condition);
    QSqlQuery q = store.run(sql, values, QStringLiteral("Vergleichen der Layouts mit der Vorlage"));
    QMap<int, QStringList> result;
    while (q.next())
        result[q.value(0).toInt()] << q.value(1).toString();
    return result;
}

} // namespace

QMap<int, QStringList> recordsDifferingFromTemplate(Store &store)
{
    return differing(store, QStringLiteral("w.rnr <> 0"), {});
}

QStringList recordsDifferingFromTemplate(Store &store, int rnr)
{
    if (rnr == 0)
        return {};
    return differing(store, QStringLiteral("w.rnr = ?"), {rnr}).value(rnr);
}
