#pragma once

#include <QSqlError>
#include <QString>

// What a driver says about a failure, for a message: the database's own words where it gave
// any, else Qt's.
inline QString sqlErrorText(const QSqlError &e)
{
    const QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    return text.trimmed();
}
