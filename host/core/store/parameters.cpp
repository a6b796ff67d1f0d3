#include "core/store/parameters.h"

#include "core/store/history.h"
#include "core/store/settingslistcodec.h"

namespace {
constexpr int NoWorkstation = -1; // parameters that are read and written by name only
}

std::optional<QString> OVOParameter::read(const QString &key, int rnr) const
{
    QSqlQuery q = m_store.run(
            QStringLiteral("SELECT value FROM parameters WHERE param_key = ? AND rnr = ?"),
            {sqlText(key), rnr}, QStringLiteral("Lesen des Parameters %1").arg(key));
    if (!q.next())
        return std::nullopt;
    return q.value(0).toString();
}

QString OVOParameter::StringParamRead(const QString &key, int rnr, bool) const
{
    return read(key, rnr).value_or(QString());
}

void OVOParameter::StringParamWrite(const QString &key, const QString &value, int rnr)
{
    m_store.write([&] {
        const std::optional<QString> before = read(key, rnr);
        QSqlQuery &q = m_store.prepareReused(
                QStringLiteral("INSERT INTO parameters (param_key, rnr, value) VALUES (?, ?, ?) ON "
                               "CONFLICT (rnr, param_key) DO UPDATE SET value = excluded.value"));
        q.addBindValue(sqlText(key));
        q.addBindValue(rnr);
        q.addBindValue(sqlText(value));
        Store::exec(q, [&] { return QStringLiteral("Schreiben des Parameters %1").arg(key); });
        History::record(m_store, parameterRef(key, rnr),
                        before ? std::optional<QByteArray>(before->toUtf8()) : std::nullopt,
                        sqlText(value).toUtf8());
    });
}

bool OVOParameter::GetBooleanValueByName(const QString &key) const
{
    return GetBoolean3(key, NoWorkstation).value_or(false);
}

void OVOParameter::SetBooleanValueByName(const QString &key, bool value)
{
    StringParamWrite(key, value ? QStringLiteral("1") : QStringLiteral("0"), NoWorkstation);
}

std::optional<bool> OVOParameter::GetBoolean3(const QString &key, int rnr) const
{
    const QString v = read(key, rnr).value_or(QString()).trimmed().toUpper();
    if (v == QLatin1String("J") || v == QLatin1String("1") || v == QLatin1String("TRUE"))
        return true;
    if (v == QLatin1String("N") || v == QLatin1String("0") || v == QLatin1String("FALSE"))
        return false;
    return std::nullopt;
}
