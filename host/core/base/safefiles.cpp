#include "core/base/safefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SafeFiles {

namespace {

// Less than this is a full disk: no program of ours gets a record, a line or a page written.
constexpr qint64 FullBelowBytes = 256 * 1024;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// What a file of this type is, for a message; empty for a regular file.
QString kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return QStringLiteral("ein Ordner");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("ein Gerät");
    if (S_ISFIFO(mode))
        return QStringLiteral("eine benannte Pipe (FIFO)");
    if (S_ISSOCK(mode))
        return QStringLiteral("ein Socket");
    return QStringLiteral("keine gewöhnliche Datei");
}

} // namespace

QString sizeText(qint64 bytes)
{
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0)
        return QStringLiteral("%1 MiB").arg(bytes / (1024 * 1024));
    if (bytes >= 1024 && bytes % 1024 == 0)
        return QStringLiteral("%1 KiB").arg(bytes / 1024);
    return QStringLiteral("%1 Bytes").arg(bytes);
}

QString fileKind(const QString &path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return kindOf(info.st_mode);
}

QString writeRefusal(const QString &path)
{
    const QString kind = fileKind(path);
    if (kind.isEmpty())
        return {};
    return QStringLiteral("%1 ist %2, keine gewöhnliche Datei; dorthin wird nicht geschrieben.")
            .arg(shown(path), kind);
}

namespace {

QString unreadable(const QString &path, int error)
{
    return QStringLiteral("%1 kann nicht gelesen werden: %2")
            .arg(shown(path), systemErrorText(error));
}

// Why a file of this state may not be read; empty when it may.
QString readProblem(const QString &path, const struct stat &info, qint64 maxBytes)
{
    if (const QString kind = kindOf(info.st_mode); !kind.isEmpty())
        return QStringLiteral("%1 ist %2, keine gewöhnliche Datei; gelesen werden nur Dateien.")
                .arg(shown(path), kind);
    if (info.st_size > maxBytes)
        return QStringLiteral("%1 ist mit %2 größer als die erlaubten %3.")
                .arg(shown(path), sizeText(info.st_size), sizeText(maxBytes));
    return {};
}

} // namespace

QString readRefusal(const QString &path, qint64 maxBytes)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return unreadable(path, errno);
    return readProblem(path, info, maxBytes);
}

ReadResult readRegular(const QString &path, qint64 maxBytes)
{
    ReadResult result;
    // O_NONBLOCK: a named pipe put in the file's place never holds up the open; the type is
    // then checked on what was opened, not on the name, which may have changed meanwhile.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        result.error = unreadable(path, errno);
        return result;
    }
    struct stat info = {};
    result.error =
            ::fstat(fd, &info) != 0 ? unreadable(path, errno) : readProblem(path, info, maxBytes);
    if (!result.error.isEmpty()) {
        ::close(fd);
        return result;
    }
    // One byte more than the file had tells a file that grew while it was read.
    result.bytes.resize(qsizetype(info.st_size) + 1);
    qsizetype done = 0;
    while (done < result.bytes.size()) {
        const ssize_t n =
                ::read(fd, result.bytes.data() + done, size_t(result.bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.error = unreadable(path, errno);
            break;
        }
        if (n == 0)
            break;
        done += n;
    }
    ::close(fd);
    if (result.error.isEmpty() && done > info.st_size)
        result.error = QStringLiteral("%1 wird gerade geschrieben; bitte warten, bis die Datei "
                                      "vollständig ist.")
                               .arg(shown(path));
    result.bytes.resize(result.error.isEmpty() ? done : 0);
    result.bytes.squeeze();
    return result;
}

QString systemErrorText(int error)
{
    switch (error) {
    case ENOENT:
        return QStringLiteral("Die Datei oder der Ordner existiert nicht.");
    case EACCES:
    case EPERM:
        return QStringLiteral("Keine Berechtigung.");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Auf dem Datenträger ist kein Platz mehr frei.");
    case EROFS:
        return QStringLiteral("Das Dateisystem ist schreibgeschützt.");
    case EISDIR:
        return QStringLiteral("Das ist ein Ordner.");
    case ENOTDIR:
        return QStringLiteral("Ein Teil des Pfades ist kein Ordner.");
    case EEXIST:
        return QStringLiteral("Die Datei existiert schon.");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("Das Gerät ist nicht vorhanden oder nicht bereit (bei einer "
                              "benannten Pipe: niemand liest).");
    case EBUSY:
        return QStringLiteral("Das Gerät oder die Datei ist belegt.");
    case EIO:
        return QStringLiteral("Ein- oder Ausgabefehler des Geräts oder Datenträgers.");
    case ENAMETOOLONG:
        return QStringLiteral("Der Name ist zu lang.");
    case ELOOP:
        return QStringLiteral("Zu viele symbolische Verknüpfungen im Pfad.");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Es sind zu viele Dateien geöffnet.");
    case EFBIG:
        return QStringLiteral("Die Datei ist zu groß.");
    case EPIPE:
        return QStringLiteral("Die Gegenseite hat die Verbindung geschlossen.");
    case ETXTBSY:
        return QStringLiteral("Die Datei wird gerade ausgeführt.");
    case EAGAIN:
        return QStringLiteral("Das Gerät nimmt gerade nichts an.");
    case EINVAL:
        return QStringLiteral("Ungültiger Aufruf für diese Art von Datei.");
    default:
        break;
    }
    return QStringLiteral("Systemfehler %1 (%2).")
            .arg(error)
            .arg(QString::fromLocal8Bit(std::strerror(error)));
}

bool diskFull(const QString &path)
{
    QFileInfo nearest(path);
    while (!nearest.exists() && !nearest.isRoot())
        nearest = QFileInfo(nearest.absolutePath());
    const QStorageInfo storage(nearest.absoluteFilePath());
    return storage.isValid() && storage.bytesAvailable() >= 0
           && storage.bytesAvailable() < FullBelowBytes;
}

QString diskFullText(const QString &path)
{
    return QStringLiteral("Auf dem Datenträger von %1 ist kein Platz mehr frei; bitte Platz "
                          "schaffen und noch einmal versuchen.")
            .arg(shown(path));
}

QString writeFailure(const QString &path, const QFileDevice &file)
{
    // Qt passes the system's words on; the errno behind them is found again by its text.
    const QString reason = file.errorString();
    for (int error = 1; error < 134; ++error) {
        if (reason == QString::fromLocal8Bit(std::strerror(error))) {
            if (error == ENOSPC || error == EDQUOT)
                return diskFullText(path);
            return QStringLiteral("%1 kann nicht geschrieben werden: %2")
                    .arg(shown(path), systemErrorText(error));
        }
    }
    if (diskFull(path))
        return diskFullText(path);
    return QStringLiteral("%1 kann nicht geschrieben werden (%2).")
            .arg(shown(path), reason.isEmpty() || reason == QLatin1String("Unknown error")
                                      ? QStringLiteral("Ursache unbekannt")
                                      : reason);
}

} // namespace SafeFiles
