#include "core/store/callwatchdog.h"

#include <QLibrary>
#include <QSqlDriver>
#include <QVariant>

#include <libpq-fe.h>
#include <sys/socket.h>

CallWatchdog &CallWatchdog::instance()
{
    static CallWatchdog watchdog;
    return watchdog;
}

void CallWatchdog::setLimit(int socket, int ms)
{
    const std::lock_guard lock(m_mutex);
    m_limits[socket] = ms;
}

bool CallWatchdog::arm(int socket)
{
    const std::lock_guard lock(m_mutex);
    const auto limit = m_limits.find(socket);
    if (limit == m_limits.end())
        return false;
    m_deadlines[socket] = Clock::now() + std::chrono::milliseconds(limit->second);
    return true;
}

void CallWatchdog::disarm(int socket)
{
    const std::lock_guard lock(m_mutex);
    m_deadlines.erase(socket);
}

CallWatchdog::CallWatchdog()
    : m_thread([this] { run(); })
{
}

CallWatchdog::~CallWatchdog()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void CallWatchdog::run()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        m_wake.wait_for(lock, Tick);
        const Clock::time_point now = Clock::now();
        for (auto it = m_deadlines.begin(); it != m_deadlines.end();) {
            if (it->second <= now) {
                ::shutdown(it->first, SHUT_RDWR);
                it = m_deadlines.erase(it);
            } else {
                ++it;
            }
        }
    }
}

int postgresSocket(const QSqlDriver *driver)
{
    // Asked on every statement: the driver's kind settles it before any handle is looked at.
    if (!driver || driver->dbmsType() != QSqlDriver::PostgreSQL)
        return -1;
    const QVariant handle = driver->handle();
    // Qt names the type after libpq's struct.
    if (!handle.isValid()
        || (qstrcmp(handle.typeName(), "PGconn*") != 0
            && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return -1;
    // libpq is not linked: the PostgreSQL driver loads it, and only stores on a server need it.
    static const auto socketOf = reinterpret_cast<decltype(&PQsocket)>(
            QLibrary::resolve(QStringLiteral("pq"), 5, "PQsocket"));
    PGconn *connection = *static_cast<PGconn *const *>(handle.constData());
    return connection && socketOf ? socketOf(connection) : -1;
}
