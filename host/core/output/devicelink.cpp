#include "core/output/devicelink.h"

#include "core/base/lazylibrary.h"
#include "core/output/printoutput.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>
#include <QUrl>

#include <cups/cups.h>

#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <memory>
#include <netdb.h>
#include <optional>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <variant>

SerialSettings SerialSettings::fromRecord(const QString &baudRate, const QString &parity)
{
    SerialSettings s;
    bool ok = false;
    const qint32 baud = baudRate.trimmed().toInt(&ok);
    if (ok && baud > 0)
        s.baudRate = baud;
    const QString p = parity.trimmed().toLower();
    if (p == QLatin1String("odd"))
        s.parity = Parity::Odd;
    else if (p == QLatin1String("even"))
        s.parity = Parity::Even;
    else if (p == QLatin1String("mark"))
        s.parity = Parity::Mark;
    else if (p == QLatin1String("space"))
        s.parity = Parity::Space;
    return s;
}

namespace DeviceLink {

namespace {

OutputResult failed(const QString &target, const QString &error)
{
    OutputResult r;
    r.target = target;
    r.error = error;
    return r;
}

OutputResult sent(const QString &target)
{
    OutputResult r;
    r.target = target;
    r.ok = true;
    return r;
}

// Time the bytes need at the port's speed (10 bits a byte), plus the device's own allowance.
int serialTimeoutMs(const QByteArray &bytes, const LinkOptions &options)
{
    const qint64 transfer = qint64(bytes.size()) * 10 * 1000 / qMax(1, options.serial.baudRate);
    return int(qMin<qint64>(transfer + options.writeTimeoutMs, 3600 * 1000));
}

QString timeoutText(const QString &target, int ms)
{
    return QStringLiteral("%1 nimmt keine Daten mehr an (Zeitüberschreitung nach %2 s). Ist das "
                          "Gerät eingeschaltet, angeschlossen und hat es Papier?")
            .arg(target)
            .arg(ms / 1000.0, 0, 'f', 1);
}

bool isTerminal(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    const bool terminal = ::isatty(fd);
    ::close(fd);
    return terminal;
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Writes everything to a non-blocking descriptor (a socket or a device), waiting for it at most
// until the deadline. Nothing when all was written.
struct WriteProblem
{
    bool timedOut = false;
    QString reason; // the system's, when it did not time out
};

std::optional<WriteProblem> writeAll(int fd, bool socket, const QByteArray &bytes,
                                     const QDeadlineTimer &deadline)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const char *from = bytes.constData() + done;
        const size_t size = size_t(bytes.size() - done);
        // MSG_NOSIGNAL: a printer that hangs up must not end the program with SIGPIPE.
        const ssize_t n = socket ? ::send(fd, from, size, MSG_NOSIGNAL) : ::write(fd, from, size);
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return WriteProblem{false, systemError(errno)};
        pollfd p{fd, POLLOUT, 0};
        if (deadline.hasExpired() || ::poll(&p, 1, int(deadline.remainingTime())) == 0)
            return WriteProblem{true, {}};
    }
    return std::nullopt;
}

// Sends the bytes through the descriptor within the time and closes it: sent, timed out, or
// broken off with `brokenOff` (%1 the target, %2 the system's reason).
OutputResult sendAndClose(int fd, bool socket, const QString &target, const QByteArray &bytes,
                          int timeoutMs, const QString &brokenOff)
{
    const std::optional<WriteProblem> problem =
            writeAll(fd, socket, bytes, QDeadlineTimer(timeoutMs));
    ::close(fd);
    if (!problem)
        return sent(target);
    if (problem->timedOut)
        return failed(target, timeoutText(target, timeoutMs));
    return failed(target, brokenOff.arg(target, problem->reason));
}

// One answer byte within the time, or none.
std::optional<char> readByte(int fd, bool socket, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, int(qMax<qint64>(0, deadline.remainingTime())));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0 || !(p.revents & POLLIN))
            return std::nullopt;
        char byte = 0;
        const ssize_t n = socket ? ::recv(fd, &byte, 1, 0) : ::read(fd, &byte, 1);
        if (n == 1)
            return byte;
        if (n < 0 && (errno == EAGAIN || errno == EINTR) && !deadline.hasExpired())
            continue;
        return std::nullopt;
    }
}

// DLE EOT 1 to 4 on an open connection; stops at the first request that gets no answer.
PrinterStatus queryStatus(int fd, bool socket, int timeoutMs)
{
    // What the printer sent unasked (automatic status, an answer that came too late) is no
    // answer to these requests.
    if (socket) {
        char stale[256];
        while (::recv(fd, stale, sizeof stale, MSG_DONTWAIT) > 0) {
        }
    } else {
        ::tcflush(fd, TCIFLUSH);
    }
    PrinterStatus status;
    for (char n = 1; n <= 4; ++n) {
        const QByteArray request = QByteArray("\x10\x04", 2) + n;
        if (writeAll(fd, socket, request, QDeadlineTimer(timeoutMs)))
            break;
        const std::optional<char> answer = readByte(fd, socket, timeoutMs);
        if (!answer || !PrinterStatus::isStatusByte(*answer))
            break;
        status.bytes += *answer;
    }
    return status;
}

// The bytes sent to a printer that answers, with its status asked before and after when the
// options say so. `send` writes the bytes on the open descriptor; the caller closes it.
template<typename Send>
OutputResult sendAsking(int fd, bool socket, const QString &target, const LinkOptions &options,
                        Send send)
{
    if (!options.askStatus)
        return send();
    const PrinterStatus before = queryStatus(fd, socket, options.statusTimeoutMs);
    if (before.answered() && !before.blocking().isEmpty()) {
        OutputResult r = failed(target, QStringLiteral("Der Drucker meldet: %1. Es wurde nichts "
                                                       "gesendet.")
                                                .arg(before.blocking().join(QStringLiteral(", "))));
        r.printerStatus = before.hex();
        return r;
    }
    OutputResult r = send();
    const PrinterStatus after =
            r.ok ? queryStatus(fd, socket, options.statusTimeoutMs) : PrinterStatus{};
    r.printerStatus = QStringLiteral("vorher %1, nachher %2").arg(before.hex(), after.hex());
    if (!r.ok)
        return r;
    if (!before.answered() || !after.answered()) {
        // The printer took the bytes; that it keeps quiet about itself fails nothing.
        r.warning = QStringLiteral("Drucker antwortet nicht auf die Statusabfrage");
        return r;
    }
    if (!after.blocking().isEmpty()) {
        r.ok = false;
        r.error = QStringLiteral("Der Drucker meldet nach dem Senden: %1. Was er noch nicht "
                                 "gedruckt hat, druckt er erst, wenn das behoben ist.")
                          .arg(after.blocking().join(QStringLiteral(", ")));
        return r;
    }
    r.warning = after.warnings().join(QStringLiteral(", "));
    return r;
}

// A device that is no terminal (a USB printer's lp device, a named pipe): written as it is, but
// never waited for without end.
OutputResult sendToDeviceFile(const QString &path, const QByteArray &bytes,
                              const LinkOptions &options)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return failed(path, QStringLiteral("Das Gerät %1 kann nicht geöffnet werden: %2")
                                    .arg(path, systemError(errno)));
    return sendAndClose(fd, false, path, bytes, options.writeTimeoutMs,
                        QStringLiteral("An das Gerät %1 konnte nicht alles gesendet werden: %2"));
}

// The termios code of a standard speed; 0 for any other.
speed_t speedCode(qint32 baud)
{
    static const std::pair<qint32, speed_t> speeds[] = {
            {50, B50},           {75, B75},           {110, B110},         {134, B134},
            {150, B150},         {200, B200},         {300, B300},         {600, B600},
            {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
            {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
            {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
            {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
            {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
            {3500000, B3500000}, {4000000, B4000000}};
    for (const auto &[rate, code] : speeds)
        if (rate == baud)
            return code;
    return 0;
}

// Raw (no line discipline: it would turn every 0A of a picture into 0D 0A), at the record's
// speed and framing. Empty when the port took it, else why not.
QString setUpSerial(int fd, const SerialSettings &settings)
{
    const speed_t speed = speedCode(settings.baudRate);
    if (speed == 0)
        return QStringLiteral("%1 Baud ist keine Geschwindigkeit einer seriellen Schnittstelle.")
                .arg(settings.baudRate);
    termios t{};
    if (::tcgetattr(fd, &t) != 0)
        return systemError(errno);
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag |= sizes[qBound(5, settings.dataBits, 8) - 5];
    if (settings.stopBits == 2)
        t.c_cflag |= CSTOPB;
    switch (settings.parity) {
    case SerialSettings::Parity::None:
        break;
    case SerialSettings::Parity::Odd:
        t.c_cflag |= PARENB | PARODD;
        break;
    case SerialSettings::Parity::Even:
        t.c_cflag |= PARENB;
        break;
    case SerialSettings::Parity::Mark:
        t.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case SerialSettings::Parity::Space:
        t.c_cflag |= PARENB | CMSPAR;
        break;
    }
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (settings.flowControl == SerialSettings::FlowControl::Hardware)
        t.c_cflag |= CRTSCTS;
    else if (settings.flowControl == SerialSettings::FlowControl::Software)
        t.c_iflag |= IXON | IXOFF;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0
        || ::tcsetattr(fd, TCSANOW, &t) != 0)
        return systemError(errno);
    return {};
}

// A serial port: set up, then written within the time the bytes need at its speed. The port
// is held exclusively while the bytes go out, and what the device did not take by the deadline
// is thrown away rather than left to block the next program.
OutputResult sendSerial(const QString &path, const QByteArray &bytes, const LinkOptions &options)
{
    const int fd =
            ::open(QFile::encodeName(QFileInfo(path).absoluteFilePath()).constData(),
                   (options.askStatus ? O_RDWR : O_WRONLY) | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failed(path, QStringLiteral("Die serielle Schnittstelle %1 kann nicht geöffnet "
                                           "werden: %2")
                                    .arg(path, systemError(errno)));
    const auto closed = [fd](OutputResult r) {
        ::close(fd);
        return r;
    };
    if (::ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY)
        return closed(failed(path, QStringLiteral("Die serielle Schnittstelle %1 ist belegt: %2")
                                           .arg(path, systemError(errno))));
    if (const QString problem = setUpSerial(fd, options.serial); !problem.isEmpty())
        return closed(failed(path, QStringLiteral("Die serielle Schnittstelle %1 lässt sich nicht "
                                                  "auf %2 Baud einstellen: %3")
                                           .arg(path)
                                           .arg(options.serial.baudRate)
                                           .arg(problem)));
    return closed(sendAsking(fd, false, path, options, [&] {
        const int timeout = serialTimeoutMs(bytes, options);
        const QDeadlineTimer deadline(timeout);
        if (const std::optional<WriteProblem> problem = writeAll(fd, false, bytes, deadline)) {
            ::tcflush(fd, TCOFLUSH);
            if (problem->timedOut)
                return failed(path, timeoutText(path, timeout));
            return failed(path, QStringLiteral("An %1 konnte nicht alles gesendet werden: %2")
                                        .arg(path, problem->reason));
        }
        // The driver's buffer goes out before the port is let go, within the same deadline.
        int queued = 0;
        while (::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0) {
            if (deadline.hasExpired()) {
                ::tcflush(fd, TCOFLUSH);
                return failed(path, timeoutText(path, timeout));
            }
            const qint64 drainMs = qint64(queued) * 10 * 1000 / qMax(1, options.serial.baudRate);
            QThread::msleep(std::clamp<unsigned long>(drainMs, 1, 20));
        }
        return sent(path);
    }));
}

// Why a connection was refused or went nowhere, in the shop's words.
QString connectError(int error)
{
    switch (error) {
    case ECONNREFUSED:
        return QStringLiteral("Die Verbindung wurde abgelehnt (an diesem Port nimmt nichts "
                              "Daten an).");
    case ETIMEDOUT:
        return QStringLiteral("Zeitüberschreitung beim Verbindungsaufbau.");
    case EHOSTUNREACH:
    case ENETUNREACH:
        return QStringLiteral("Das Netz oder der Rechner ist nicht erreichbar.");
    default:
        return systemError(error);
    }
}

// Connects to one of the host's addresses within the deadline; -1 and the reason otherwise.
int connectWithin(const addrinfo *addresses, const QDeadlineTimer &deadline, QString *why)
{
    int lastError = ETIMEDOUT;
    for (const addrinfo *a = addresses; a; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                                a->ai_protocol);
        if (fd < 0) {
            lastError = errno;
            continue;
        }
        if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0)
            return fd;
        if (errno == EINPROGRESS) {
            pollfd p{fd, POLLOUT, 0};
            int ready;
            do
                ready = ::poll(&p, 1, int(qMax<qint64>(0, deadline.remainingTime())));
            while (ready < 0 && errno == EINTR);
            int error = ETIMEDOUT;
            socklen_t size = sizeof error;
            if (ready > 0 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0
                && error == 0)
                return fd;
            lastError = ready > 0 ? error : ETIMEDOUT;
        } else {
            lastError = errno;
        }
        ::close(fd);
        if (deadline.hasExpired())
            break;
    }
    *why = connectError(lastError);
    return -1;
}

// A connection to a network printer's raw port, or why there is none. Plain sockets: Qt's
// network library, and the Kerberos libraries it brings, cost every start of every program more
// than this whole function.
std::variant<int, OutputResult> connectTcp(const QString &target, const LinkOptions &options)
{
    const QUrl url(target);
    const QString host = url.host();
    if (!url.isValid() || host.isEmpty() || (!url.path().isEmpty() && url.path() != u"/"))
        return failed(target, QStringLiteral("%1 ist keine Druckeradresse; erwartet wird "
                                             "tcp://RECHNER oder tcp://RECHNER:PORT.")
                                      .arg(target));
    const quint16 port = quint16(url.port(RawPrinterPort));
    const auto unreachable = [&](const QString &why) {
        return failed(target, QStringLiteral("Der Netzwerkdrucker %1 (Port %2) ist nicht "
                                             "erreichbar: %3")
                                      .arg(host)
                                      .arg(port)
                                      .arg(why));
    };
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_ADDRCONFIG | AI_NUMERICSERV;
    addrinfo *found = nullptr;
    const int lookup = ::getaddrinfo(QUrl::toAce(host).constData(),
                                     QByteArray::number(port).constData(), &hints, &found);
    if (lookup != 0)
        return unreachable(lookup == EAI_NONAME || lookup == EAI_NODATA
                                   ? QStringLiteral("Der Rechnername ist unbekannt.")
                                   : QString::fromLocal8Bit(::gai_strerror(lookup)));
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> addresses(found, ::freeaddrinfo);
    QString why;
    const int fd = connectWithin(found, QDeadlineTimer(options.connectTimeoutMs), &why);
    if (fd < 0)
        return unreachable(why);
    return fd;
}

OutputResult sendTcp(const QString &target, const QByteArray &bytes, const LinkOptions &options)
{
    const auto connection = connectTcp(target, options);
    if (const OutputResult *refused = std::get_if<OutputResult>(&connection))
        return *refused;
    const int fd = std::get<int>(connection);
    OutputResult r = sendAsking(fd, true, target, options, [&] {
        const std::optional<WriteProblem> problem =
                writeAll(fd, true, bytes, QDeadlineTimer(options.writeTimeoutMs));
        if (!problem)
            return sent(target);
        if (problem->timedOut)
            return failed(target, timeoutText(target, options.writeTimeoutMs));
        return failed(target, QStringLiteral("Der Netzwerkdrucker %1 hat die Verbindung beendet: "
                                             "%2")
                                      .arg(target, problem->reason));
    });
    ::close(fd);
    return r;
}

// libcups is loaded at the first print to a queue instead of being linked: it brings the TLS,
// Kerberos, LDAP and Avahi libraries with it, whose loading and set-up cost every start of every
// program a fifth of its time.
struct CupsLibrary
{
    decltype(&cupsCreateJob) createJob = nullptr;
    decltype(&cupsStartDocument) startDocument = nullptr;
    decltype(&cupsWriteRequestData) writeRequestData = nullptr;
    decltype(&cupsFinishDocument) finishDocument = nullptr;
    decltype(&cupsCancelJob2) cancelJob = nullptr;
    decltype(&cupsLastErrorString) lastErrorString = nullptr;
    decltype(&cupsLastError) lastError = nullptr;
    decltype(&cupsServer) server = nullptr;
    decltype(&ippPort) port = nullptr;
    decltype(&cupsEncryption) encryption = nullptr;
    decltype(&httpConnect2) connect = nullptr;
    decltype(&httpSetTimeout) setTimeout = nullptr;
    decltype(&httpClose) close = nullptr;
    decltype(&httpGetFd) fd = nullptr;
    QString error; // why it could not be used; empty when every call was found
};

const CupsLibrary &cupsLibrary()
{
    static const CupsLibrary cups = [] {
        CupsLibrary c;
        LazyLibrary library(QStringLiteral("cups"), QStringLiteral("2"),
                            QStringLiteral("Die CUPS-Bibliothek (libcups2)"));
        library.find(c.createJob, "cupsCreateJob");
        library.find(c.startDocument, "cupsStartDocument");
        library.find(c.writeRequestData, "cupsWriteRequestData");
        library.find(c.finishDocument, "cupsFinishDocument");
        library.find(c.cancelJob, "cupsCancelJob2");
        library.find(c.lastErrorString, "cupsLastErrorString");
        library.find(c.lastError, "cupsLastError");
        library.find(c.server, "cupsServer");
        library.find(c.port, "ippPort");
        library.find(c.encryption, "cupsEncryption");
        library.find(c.connect, "httpConnect2");
        library.find(c.setTimeout, "httpSetTimeout");
        library.find(c.close, "httpClose");
        library.find(c.fd, "httpGetFd");
        c.error = library.error();
        return c;
    }();
    return cups;
}

OutputResult sendCups(const QString &target, const QByteArray &bytes, const LinkOptions &options)
{
    const QByteArray queue = target.mid(5).trimmed().toUtf8();
    const QByteArray title =
            (options.jobName.isEmpty() ? QStringLiteral("Kassotyp") : options.jobName).toUtf8();
    if (queue.isEmpty())
        return failed(target, QStringLiteral("Nach \"cups:\" fehlt der Name der Warteschlange."));
    const CupsLibrary &cups = cupsLibrary();
    if (!cups.error.isEmpty())
        return failed(target, cups.error);
    // A connection of our own with time limits, as for a network printer: on the default one a
    // server that accepts and never answers holds the program without end, and one that never
    // accepts takes minutes before it is taken for a missing queue.
    const QByteArray server = cups.server();
    // libcups waits half a minute and more for a server that never accepts, whatever time it
    // is given: a network server is tried within our own limit first.
    if (!server.startsWith('/')) {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_NUMERICSERV;
        addrinfo *found = nullptr;
        QString why = QStringLiteral("Der Rechnername ist unbekannt.");
        int probe = -1;
        if (::getaddrinfo(server.constData(), QByteArray::number(cups.port()).constData(), &hints,
                          &found)
            == 0) {
            probe = connectWithin(found, QDeadlineTimer(options.connectTimeoutMs), &why);
            ::freeaddrinfo(found);
        }
        if (probe < 0)
            return failed(target, QStringLiteral("Das Drucksystem (CUPS, %1:%2) ist nicht "
                                                 "erreichbar: %3 Es wurde nichts gedruckt.")
                                          .arg(QString::fromUtf8(server))
                                          .arg(cups.port())
                                          .arg(why));
        ::close(probe);
    }
    const std::unique_ptr<http_t, decltype(cups.close)> http(
            cups.connect(server.constData(), cups.port(), nullptr, AF_UNSPEC, cups.encryption(), 1,
                         options.connectTimeoutMs, nullptr),
            cups.close);
    if (!http)
        return failed(target, QStringLiteral("Das Drucksystem (CUPS, %1) ist nicht erreichbar "
                                             "(keine Verbindung innerhalb von %2 s); es wurde "
                                             "nichts gedruckt.")
                                      .arg(QString::fromUtf8(server))
                                      .arg(options.connectTimeoutMs / 1000.0, 0, 'f', 1));
    // Every answer within the time limit; a callback that says 0 gives up. Some of libcups' own
    // waits do not ask it: past the deadline the connection is cut under them.
    cups.setTimeout(
            http.get(), options.writeTimeoutMs / 1000.0, [](http_t *, void *) { return 0; },
            nullptr);
    std::promise<void> finished;
    std::thread watchdog([fd = cups.fd(http.get()), done = finished.get_future(),
                          limit = options.writeTimeoutMs]() {
        if (done.wait_for(std::chrono::milliseconds(limit)) == std::future_status::timeout)
            ::shutdown(fd, SHUT_RDWR);
    });
    const auto stopWatchdog = qScopeGuard([&] {
        finished.set_value();
        watchdog.join();
    });
    const auto cupsError = [&](const QString &what) {
        const QString reason = QString::fromUtf8(cups.lastErrorString());
        return failed(target,
                      QStringLiteral("%1 (CUPS, Warteschlange %2). Antwort von CUPS: %3")
                              .arg(what, QString::fromUtf8(queue),
                                   reason.isEmpty() ? QStringLiteral("keine (Zeitüberschreitung?)")
                                                    : reason));
    };
    // The job itself asks for the queue: looking it up first would search the network for
    // printers when the server does not answer, for a minute and more.
    const int job = cups.createJob(http.get(), queue.constData(), title.constData(), 0, nullptr);
    if (job <= 0)
        return cupsError(cups.lastError() == IPP_STATUS_ERROR_NOT_FOUND
                                 ? QStringLiteral("Die Druckerwarteschlange gibt es nicht")
                                 : QStringLiteral("Der Druckauftrag wurde nicht angenommen"));
    // Raw: the queue passes the bytes to the printer as they are.
    if (cups.startDocument(http.get(), queue.constData(), job, title.constData(), CUPS_FORMAT_RAW,
                           1)
                != HTTP_STATUS_CONTINUE
        || cups.writeRequestData(http.get(), bytes.constData(), size_t(bytes.size()))
                   != HTTP_STATUS_CONTINUE
        || cups.finishDocument(http.get(), queue.constData()) != IPP_STATUS_OK) {
        const OutputResult r = cupsError(QStringLiteral("Der Druckauftrag wurde abgebrochen"));
        cups.cancelJob(http.get(), queue.constData(), job, 0);
        return r;
    }
    OutputResult r = sent(target);
    r.target = QStringLiteral("%1 (Auftrag %2)").arg(target).arg(job);
    return r;
}

} // namespace

bool isNetwork(const QString &target)
{
    return target.startsWith(QLatin1String("tcp://"), Qt::CaseInsensitive);
}

bool isCupsQueue(const QString &target)
{
    return target.startsWith(QLatin1String("cups:"), Qt::CaseInsensitive);
}

bool isDevice(const QString &path)
{
    if (isNetwork(path) || isCupsQueue(path))
        return true;
    const QFileInfo info(path);
    return path.startsWith(QLatin1String("/dev/")) || (info.exists() && !info.isFile());
}

bool answers(const QString &target)
{
    return isNetwork(target) || (!isCupsQueue(target) && isTerminal(target));
}

PrinterStatus askStatus(const QString &target, const LinkOptions &options)
{
    if (isNetwork(target)) {
        const auto connection = connectTcp(target, options);
        if (std::holds_alternative<OutputResult>(connection))
            return {};
        const int fd = std::get<int>(connection);
        const PrinterStatus status = queryStatus(fd, true, options.statusTimeoutMs);
        ::close(fd);
        return status;
    }
    if (!answers(target))
        return {};
    const int fd = ::open(QFile::encodeName(QFileInfo(target).absoluteFilePath()).constData(),
                          O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    PrinterStatus status;
    if (setUpSerial(fd, options.serial).isEmpty())
        status = queryStatus(fd, false, options.statusTimeoutMs);
    ::close(fd);
    return status;
}

OutputResult send(const QString &target, const QByteArray &bytes, const LinkOptions &options)
{
    if (isNetwork(target))
        return sendTcp(target, bytes, options);
    if (isCupsQueue(target))
        return sendCups(target, bytes, options);
    if (isTerminal(target))
        return sendSerial(target, bytes, options);
    // A device file (a USB printer's) carries nothing back: it is never asked.
    return sendToDeviceFile(target, bytes, options);
}

} // namespace DeviceLink

bool PrinterStatus::isStatusByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0x93) == 0x12;
}

QStringList PrinterStatus::blocking() const
{
    QStringList problems;
    if (!answered())
        return problems;
    const auto bit = [this](int n, int mask) {
        return (static_cast<unsigned char>(bytes.at(n - 1)) & mask) != 0;
    };
    // DLE EOT 2 bit 5: printing stopped at the paper's end; DLE EOT 4 bits 5 and 6: the roll's
    // end sensor finds no paper.
    if (bit(2, 0x20) || bit(4, 0x60))
        problems << QStringLiteral("Papier zu Ende");
    if (bit(2, 0x04))
        problems << QStringLiteral("Deckel offen");
    // DLE EOT 3: bit 6 an error that ends by itself (a hot print head), bit 5 one that does not,
    // bit 3 the cutter's, which takes the shop's hand too.
    if (bit(3, 0x40))
        problems << QStringLiteral("Fehler, der sich selbst behebt");
    if (bit(3, 0x20) || bit(3, 0x08))
        problems << QStringLiteral("Fehler, der sich nicht selbst behebt");
    // DLE EOT 1 bit 3: off line, for none of the reasons above (paper fed by its button).
    if (problems.isEmpty() && bit(1, 0x08))
        problems << QStringLiteral("Drucker nicht bereit");
    return problems;
}

QStringList PrinterStatus::warnings() const
{
    // DLE EOT 4 bits 2 and 3: the near-end sensor finds the roll running low.
    if (answered() && (static_cast<unsigned char>(bytes.at(3)) & 0x0C))
        return {QStringLiteral("Papier geht zu Ende")};
    return {};
}

QString PrinterStatus::hex() const
{
    return bytes.isEmpty() ? QStringLiteral("-") : QString::fromLatin1(bytes.toHex(' '));
}
