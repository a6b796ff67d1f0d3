#include "core/output/devicelink.h"

#include "core/output/printoutput.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTcpSocket>
#include <QThread>
#include <QUrl>

#include <cups/cups.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

SerialSettings SerialSettings::fromRecord(const QString &baudRate, const QString &parity)
{
    SerialSettings s;
    bool ok = false;
    const qint32 baud = baudRate.trimmed().toInt(&ok);
    if (ok && baud > 0)
        s.baudRate = baud;
    const QString p = parity.trimmed().toLower();
    if (p == QLatin1String("odd"))
        s.parity = QSerialPort::OddParity;
    else if (p == QLatin1String("even"))
        s.parity = QSerialPort::EvenParity;
    else if (p == QLatin1String("mark"))
        s.parity = QSerialPort::MarkParity;
    else if (p == QLatin1String("space"))
        s.parity = QSerialPort::SpaceParity;
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

OutputResult sendSerial(const QString &path, const QByteArray &bytes, const LinkOptions &options)
{
    QSerialPort port;
    port.setPortName(QFileInfo(path).absoluteFilePath());
    if (!port.open(QIODevice::WriteOnly))
        return failed(path, QStringLiteral("Die serielle Schnittstelle %1 kann nicht geöffnet "
                                           "werden: %2")
                                    .arg(path, port.errorString()));
    // Raw (Qt sets the port up so), at the record's speed and framing: a line discipline
    // would turn every 0A of a picture into 0D 0A.
    if (!port.setBaudRate(options.serial.baudRate) || !port.setParity(options.serial.parity)
        || !port.setDataBits(options.serial.dataBits) || !port.setStopBits(options.serial.stopBits)
        || !port.setFlowControl(options.serial.flowControl))
        return failed(path, QStringLiteral("Die serielle Schnittstelle %1 lässt sich nicht auf "
                                           "%2 Baud einstellen: %3")
                                    .arg(path)
                                    .arg(options.serial.baudRate)
                                    .arg(port.errorString()));
    const int timeout = serialTimeoutMs(bytes, options);
    const QDeadlineTimer deadline(timeout);
    if (port.write(bytes) != bytes.size())
        return failed(path, QStringLiteral("An %1 konnte nicht gesendet werden: %2")
                                    .arg(path, port.errorString()));
    while (port.bytesToWrite() > 0) {
        if (deadline.hasExpired() || !port.waitForBytesWritten(int(deadline.remainingTime()))) {
            if (port.error() != QSerialPort::NoError && port.error() != QSerialPort::TimeoutError)
                return failed(path, QStringLiteral("An %1 konnte nicht alles gesendet werden: %2")
                                            .arg(path, port.errorString()));
            return failed(path, timeoutText(path, timeout));
        }
    }
    return sent(path);
}

// A device that is no terminal (a USB printer's lp device, a named pipe): written as it is, but
// never waited for without end.
OutputResult sendToDeviceFile(const QString &path, const QByteArray &bytes,
                              const LinkOptions &options)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return failed(path, QStringLiteral("Das Gerät %1 kann nicht geöffnet werden: %2")
                                    .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    const QDeadlineTimer deadline(options.writeTimeoutMs);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            const QString reason = QString::fromLocal8Bit(std::strerror(errno));
            ::close(fd);
            return failed(path, QStringLiteral("An das Gerät %1 konnte nicht alles gesendet "
                                               "werden: %2")
                                        .arg(path, reason));
        }
        pollfd p{fd, POLLOUT, 0};
        if (deadline.hasExpired() || ::poll(&p, 1, int(deadline.remainingTime())) == 0) {
            ::close(fd);
            return failed(path, timeoutText(path, options.writeTimeoutMs));
        }
    }
    ::close(fd);
    return sent(path);
}

OutputResult sendTcp(const QString &target, const QByteArray &bytes, const LinkOptions &options)
{
    const QUrl url(target);
    const QString host = url.host();
    if (!url.isValid() || host.isEmpty() || (!url.path().isEmpty() && url.path() != u"/"))
        return failed(target, QStringLiteral("%1 ist keine Druckeradresse; erwartet wird "
                                             "tcp://RECHNER oder tcp://RECHNER:PORT.")
                                      .arg(target));
    const quint16 port = quint16(url.port(RawPrinterPort));
    QTcpSocket socket;
    socket.connectToHost(host, port);
    if (!socket.waitForConnected(options.connectTimeoutMs))
        return failed(target, QStringLiteral("Der Netzwerkdrucker %1 (Port %2) ist nicht "
                                             "erreichbar: %3")
                                      .arg(host)
                                      .arg(port)
                                      .arg(socket.errorString()));
    const int timeout = options.writeTimeoutMs;
    const QDeadlineTimer deadline(timeout);
    socket.write(bytes);
    while (socket.bytesToWrite() > 0) {
        if (deadline.hasExpired() || !socket.waitForBytesWritten(int(deadline.remainingTime()))) {
            const bool stalled = socket.state() == QAbstractSocket::ConnectedState;
            socket.abort();
            return failed(target, stalled ? timeoutText(target, timeout)
                                          : QStringLiteral("Der Netzwerkdrucker %1 hat die "
                                                           "Verbindung beendet: %2")
                                                    .arg(target, socket.errorString()));
        }
    }
    socket.disconnectFromHost();
    if (socket.state() != QAbstractSocket::UnconnectedState)
        socket.waitForDisconnected(qMax(1, int(deadline.remainingTime())));
    return sent(target);
}

OutputResult sendCups(const QString &target, const QByteArray &bytes, const LinkOptions &options)
{
    const QByteArray queue = target.mid(5).trimmed().toUtf8();
    const QByteArray title =
            (options.jobName.isEmpty() ? QStringLiteral("Kassotyp") : options.jobName).toUtf8();
    const auto cupsError = [&](const QString &what) {
        return failed(target, QStringLiteral("%1 (CUPS, Warteschlange %2): %3")
                                      .arg(what, QString::fromUtf8(queue),
                                           QString::fromUtf8(cupsLastErrorString())));
    };
    if (queue.isEmpty())
        return failed(target, QStringLiteral("Nach \"cups:\" fehlt der Name der Warteschlange."));
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(), nullptr);
    if (!dest)
        return cupsError(QStringLiteral("Die Druckerwarteschlange gibt es nicht"));
    cupsFreeDests(1, dest);
    const int job =
            cupsCreateJob(CUPS_HTTP_DEFAULT, queue.constData(), title.constData(), 0, nullptr);
    if (job <= 0)
        return cupsError(QStringLiteral("Der Druckauftrag wurde nicht angenommen"));
    // Raw: the queue passes the bytes to the printer as they are.
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, queue.constData(), job, title.constData(),
                          CUPS_FORMAT_RAW, 1)
                != HTTP_STATUS_CONTINUE
        || cupsWriteRequestData(CUPS_HTTP_DEFAULT, bytes.constData(), size_t(bytes.size()))
                   != HTTP_STATUS_CONTINUE
        || cupsFinishDocument(CUPS_HTTP_DEFAULT, queue.constData()) != IPP_STATUS_OK) {
        const OutputResult r = cupsError(QStringLiteral("Der Druckauftrag wurde abgebrochen"));
        cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.constData(), job, 0);
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

OutputResult send(const QString &target, const QByteArray &bytes, const LinkOptions &options)
{
    if (isNetwork(target))
        return sendTcp(target, bytes, options);
    if (isCupsQueue(target))
        return sendCups(target, bytes, options);
    if (isTerminal(target))
        return sendSerial(target, bytes, options);
    return sendToDeviceFile(target, bytes, options);
}

} // namespace DeviceLink
