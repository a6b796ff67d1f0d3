#include "core/store/templatediff.h"

#include "core/store/store.h"

#include <QSqlQuery>

QStringList recordsDifferingFromTemplate(Store &store, int rnr, const QString &printerKey)
{
    if (rnr == 0)
        return {};
    QSqlQuery q = store.run(
            QStringLiteral(
                    "SELECT w.kennung FROM layout_records w "
                    "LEFT JOIN layout_records t ON t.rnr = 0 AND t.printer_key = w.printer_key "
                    "AND t.kennung = w.kennung "
                    "LEFT JOIN layout_records d ON d.rnr = 0 AND d.printer_key = 'TEST' "
                    "AND d.kennung = w.kennung "
                    "WHERE w.rnr = ? AND w.printer_key = ? AND (COALESCE(t.blob, d.blob) IS NULL "
                    "OR COALESCE(t.blob, d.blob) <> w.blob) ORDER BY w.kennung"),
            {rnr, sqlText(printerKey)}, QStringLiteral("Vergleichen der Layouts mit der Vorlage"));
    QStringList kennungen;
    while (q.next())
        kennungen << q.value(0).toString();
    return kennungen;
}
