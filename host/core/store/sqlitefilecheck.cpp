#include "core/store/sqlitefilecheck.h"

#include "core/store/sqlerrortext.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

#ifdef Q_OS_LINUX
#include <pthread.h>
#include <sched.h>
#endif

namespace {

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

} // namespace

void FileCheckState::stop()
{
    const std::lock_guard lock(mutex);
    stopped = true;
    if (connection)
        sqlite3_interrupt(connection);
}

QStringList checkSqliteFile(const QString &connectionName, const QString &path,
                            const QString &connectOptions,
                            const std::shared_ptr<FileCheckState> &state)
{
#ifdef Q_OS_LINUX
    // The check yields the processor to the program's own work: it only has to be done before
    // the first write, which is seldom in the first seconds.
    sched_param idle{};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
#endif
    QStringList findings;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(path);
        db.setConnectOptions(connectOptions);
        bool opened = db.open();
        {
            const std::lock_guard lock(state->mutex);
            opened = opened && !state->stopped;
            state->connection = opened ? sqliteHandle(db) : nullptr;
        }
        QSqlQuery q(db);
        const bool sound = opened && q.exec(QStringLiteral("PRAGMA quick_check(5)")) && q.next()
                           && q.value(0).toString() == QLatin1String("ok");
        if (!sound) {
            if (db.lastError().isValid())
                findings << sqlErrorText(db.lastError());
            if (q.lastError().isValid())
                findings << sqlErrorText(q.lastError());
            while (q.isValid()) {
                findings << q.value(0).toString();
                q.next();
            }
        }
        {
            const std::lock_guard lock(state->mutex);
            state->connection = nullptr;
        }
        q = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
    return findings;
}
