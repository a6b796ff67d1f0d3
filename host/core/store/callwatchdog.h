#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

class QSqlDriver;

// Bounds every PostgreSQL call from outside the waiting thread. A server that stops answering
// (a stopped or swapped-out process, a firewall that drops the packets) would otherwise hold
// the window for as long as the connection lives, keepalives and the statement timeout
// notwithstanding. When a call is not back in time its socket is shut down: the client library
// returns with an error, and the store connects anew at the next use.
class CallWatchdog
{
public:
    static CallWatchdog &instance();

    // How long a call on the connection of this socket may take.
    void setLimit(int socket, int ms);
    // False when the socket has no limit (not a connection of a store).
    bool arm(int socket);
    void disarm(int socket);

private:
    using Clock = std::chrono::steady_clock;
    // Checked four times a second: no waking of the thread on every call.
    static constexpr std::chrono::milliseconds Tick{250};

    CallWatchdog();
    ~CallWatchdog();
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::map<int, Clock::time_point> m_deadlines;
    std::map<int, int> m_limits;
    bool m_stop = false;
    std::thread m_thread;
};

// The socket of a PostgreSQL connection; -1 for any other.
int postgresSocket(const QSqlDriver *driver);

// Runs one call of the driver (prepare, exec) under the watchdog when the driver's connection
// has a limit; returns what the call returned.
template<typename Call>
bool bounded(const QSqlDriver *driver, Call call)
{
    const int socket = postgresSocket(driver);
    if (socket < 0 || !CallWatchdog::instance().arm(socket))
        return call();
    const bool ok = call();
    CallWatchdog::instance().disarm(socket);
    return ok;
}
