#include "core/store/workstationtable.h"

#include "core/store/settingslistcodec.h"

QList<TRVRInfoUmfang> RVRTab::all() const
{
    QSqlQuery q = m_store.prepare(
            QStringLiteral("SELECT rnr, rtyp, name FROM workstations ORDER BY rnr"));
    Store::exec(q, QStringLiteral("Lesen der Rechnertabelle"));
    QList<TRVRInfoUmfang> result;
    while (q.next())
        result.append({q.value(0).toInt(), q.value(1).toInt(), q.value(2).toString()});
    return result;
}

int RVRTab::GetUmfangCount()
{
    m_entries = all();
    return int(m_entries.size());
}

TRVRInfoUmfang RVRTab::GetUmfang(int index) const
{
    return m_entries.value(index);
}

TRVRInfoUmfang RVRTab::GetRNrUmfang(int rnr) const
{
    QSqlQuery q = m_store.run(QStringLiteral("SELECT rtyp, name FROM workstations WHERE rnr = ?"),
                              {rnr}, QStringLiteral("Lesen des Rechners %1").arg(rnr));
    if (!q.next())
        return {rnr, 0, QString()};
    return {rnr, q.value(0).toInt(), q.value(1).toString()};
}

QString RVRTab::displayName(const TRVRInfoUmfang &entry)
{
    const QString number = QStringLiteral("Rechner %1").arg(entry.RNr);
    return entry.name.trimmed().isEmpty() ? number : number + u' ' + entry.name.trimmed();
}

void RVRTab::put(const TRVRInfoUmfang &entry)
{
    m_store.write([&] {
        m_store.run(
                QStringLiteral(
                        "INSERT INTO workstations (rnr, rtyp, name) VALUES (?, ?, ?) ON CONFLICT "
                        "(rnr) DO UPDATE SET rtyp = excluded.rtyp, name = excluded.name"),
                {entry.RNr, entry.RTyp, sqlText(entry.name)},
                QStringLiteral("Schreiben des Rechners %1").arg(entry.RNr));
    });
}

bool RVRTab::remove(int rnr)
{
    bool removed = false;
    m_store.write([&] {
        QSqlQuery q = m_store.run(QStringLiteral("DELETE FROM workstations WHERE rnr = ?"), {rnr},
                                  QStringLiteral("Löschen des Rechners %1").arg(rnr));
        removed = q.numRowsAffected() > 0;
    });
    return removed;
}
