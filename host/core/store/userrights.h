#pragma once

#include "core/store/store.h"

#include <QList>
#include <QString>

// The rights the users of the installation hold, as (group, function) pairs.
class UserRights
{
public:
    UserRights(Store &store, const QString &userName)
        : m_store(store)
        , m_user(userName)
    {
    }

    // rights: group and function number. True when the current user holds the right.
    bool UserRechtePruefen(const QList<quint16> &rights, const QString &text = QString(),
                           int functionType = 1, bool flag = false, int reaction = 0) const;
    void grant(const QString &user, int group, int function);
    void revoke(const QString &user, int group, int function);
    QString userName() const { return m_user; }

private:
    Store &m_store;
    QString m_user;
};
