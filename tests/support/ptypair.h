#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

// A pty pair: the program writes to `printer`, the test reads what arrives at `reader`. The
// printer side is left in the default line discipline, as a real port is after boot.
class PtyPair
{
public:
    explicit PtyPair(const QString &dir)
        : printer(dir + QStringLiteral("/drucker"))
        , reader(dir + QStringLiteral("/leser"))
    {
        m_socat.start(QStringLiteral("socat"), {QStringLiteral("pty,link=") + printer,
                                                QStringLiteral("pty,raw,echo=0,link=") + reader});
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5000 && !(QFileInfo::exists(printer) && QFileInfo::exists(reader)))
            QTest::qWait(20);
    }
    ~PtyPair()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_socat.kill();
        m_socat.waitForFinished(2000);
    }
    QString problem()
    {
        if (m_socat.error() == QProcess::FailedToStart)
            return QStringLiteral("socat is needed for the serial tests (scripts/install-deps.sh)");
        return QFileInfo::exists(reader)
                       ? QString()
                       : QStringLiteral("socat made no pty pair: ")
                                 + QString::fromLocal8Bit(m_socat.readAllStandardError());
    }
    void openReader()
    {
        m_fd = ::open(QFile::encodeName(reader).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    }
    // What arrived, once `size` bytes are there or the time is up.
    QByteArray read(qsizetype size, int timeoutMs = 5000)
    {
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        while (got.size() < size && clock.elapsed() < timeoutMs) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0) {
                char buffer[4096];
                const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
                if (n > 0)
                    got.append(buffer, n);
            }
        }
        return got;
    }
    QString stty() const
    {
        QProcess p;
        p.start(QStringLiteral("stty"), {QStringLiteral("-F"), printer, QStringLiteral("-a")});
        p.waitForFinished(5000);
        return QString::fromLocal8Bit(p.readAllStandardOutput());
    }

    const QString printer;
    const QString reader;

private:
    QProcess m_socat;
    int m_fd = -1;
};
