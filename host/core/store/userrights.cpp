#include "core/store/userrights.h"

#include "core/store/settingslistcodec.h"

bool UserRights::UserRechtePruefen(const QList<quint16> &rights, const QString &, int, bool,
                                   int) const
{
    if (rights.size() < 2)
        return false;
    QSqlQuery q = m_store.run(QStringLiteral("SELECT 1 FROM user_rights WHERE user_name = ? AND "
                                             "right_group = ? AND right_function = ?"),
                              {sqlText(m_user), int(rights.at(0)), int(rights.at(1))},
                              QStringLiteral("Prüfen der Benutzerrechte"));
    return q.next();
}

void UserRights::grant(const QString &user, int group, int function)
{
    m_store.write([&] {
        m_store.run(QStringLiteral("INSERT INTO user_rights (user_name, right_group, "
                                   "right_function) VALUES (?, ?, ?) ON CONFLICT (user_name, "
                                   "right_group, right_function) DO NOTHING"),
                    {sqlText(user), group, function},
                    QStringLiteral("Vergeben eines Benutzerrechts"));
    });
}

void UserRights::revoke(const QString &user, int group, int function)
{
    m_store.write([&] {
        m_store.run(QStringLiteral("DELETE FROM user_rights WHERE user_name = ? AND right_group = "
                                   "? AND right_function = ?"),
                    {sqlText(user), group, function},
                    QStringLiteral("Entziehen eines Benutzerrechts"));
    });
}
