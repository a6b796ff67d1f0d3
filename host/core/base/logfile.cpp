#include "core/base/logfile.h"

#include "core/base/safefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Long enough for another program to finish renaming a few files.
constexpr int RotationLockWaitMs = 2000;
} // namespace

LogFile::LogFile(const QString &path, qint64 maxBytes, int keptGenerations)
    : m_path(path)
    , m_maxBytes(maxBytes)
    , m_keptGenerations(qMax(1, keptGenerations))
{
}

QString LogFile::generation(int n) const
{
    return m_path + u'.' + QString::number(n);
}

QString LogFile::timeStamp(const QDateTime &time)
{
    const int offset = time.offsetFromUtc();
    const int minutes = qAbs(offset) / 60;
    return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) + (offset < 0 ? u'-' : u'+')
           + QStringLiteral("%1:%2")
                     .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                     .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString LogFile::append(const QString &line) const
{
    if (m_path.isEmpty())
        return {};
    const QByteArray encoded = QFile::encodeName(m_path);
    // Unbuffered append: the line goes to the end of the file in one write, also when another
    // program appends at the same time. The folder is made only when the file cannot be opened:
    // a line costs one open, not a walk along the path. O_NONBLOCK: a named pipe in the log's
    // place never holds the program up; it is refused below like any file that is not regular.
    const auto open = [&] {
        return ::open(encoded.constData(), O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC,
                      0666);
    };
    int fd = open();
    if (fd < 0 && errno == ENOENT && QDir().mkpath(QFileInfo(m_path).absolutePath()))
        fd = open();
    if (fd < 0)
        return SafeFiles::writeRefusal(m_path).isEmpty()
                       ? QStringLiteral("Das Protokoll %1 kann nicht geschrieben werden: %2")
                                 .arg(QDir::toNativeSeparators(m_path),
                                      SafeFiles::systemErrorText(errno))
                       : SafeFiles::writeRefusal(m_path);
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return SafeFiles::writeRefusal(m_path);
    }
    QByteArray bytes = (line + u'\n').toUtf8();
    if (info.st_size > 0 && info.st_size + bytes.size() > m_maxBytes) {
        ::close(fd);
        rotate(bytes.size());
        fd = open();
        if (fd < 0 || ::fstat(fd, &info) != 0) {
            if (fd >= 0)
                ::close(fd);
            return QStringLiteral("Das Protokoll %1 kann nach dem Umbenennen nicht neu angelegt "
                                  "werden.")
                    .arg(QDir::toNativeSeparators(m_path));
        }
    }
    // A line that a full disk cut off has no line break: this one must not continue it.
    char last = '\n';
    if (info.st_size > 0 && ::pread(fd, &last, 1, info.st_size - 1) == 1 && last != '\n')
        bytes.prepend('\n');
    ssize_t written;
    do
        written = ::write(fd, bytes.constData(), size_t(bytes.size()));
    while (written < 0 && errno == EINTR);
    const int error = written < 0 ? errno : ENOSPC; // a short write to a file: the disk is full
    ::close(fd);
    if (written == bytes.size())
        return {};
    if (error == ENOSPC || error == EDQUOT)
        return QStringLiteral("Das Protokoll %1 ist unvollständig: %2")
                .arg(QDir::toNativeSeparators(m_path), SafeFiles::diskFullText(m_path));
    return QStringLiteral("Das Protokoll %1 kann nicht geschrieben werden: %2")
            .arg(QDir::toNativeSeparators(m_path), SafeFiles::systemErrorText(error));
}

bool LogFile::isFull(qint64 incoming) const
{
    const QFileInfo info(m_path);
    return info.exists() && info.size() > 0 && info.size() + incoming > m_maxBytes;
}

void LogFile::rotate(qint64 incoming) const
{
    // Only one program renames at a time, and it looks again once it may: the other may have
    // rotated already. A program still appending to the file being renamed writes its line
    // into ".1", where it is kept.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    if (!lock.tryLock(RotationLockWaitMs))
        return;
    if (!isFull(incoming))
        return;
    QFile::remove(generation(m_keptGenerations));
    for (int n = m_keptGenerations - 1; n >= 1; --n)
        QFile::rename(generation(n), generation(n + 1));
    QFile::rename(m_path, generation(1));
}
