#include "core/base/logfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

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

void LogFile::append(const QString &line) const
{
    if (m_path.isEmpty())
        return;
    const QByteArray bytes = (line + u'\n').toUtf8();
    // Unbuffered append: the line goes to the end of the file in one write, also when another
    // program appends at the same time. The folder is made only when the file cannot be opened:
    // a line costs one open, not a walk along the path.
    QFile file(m_path);
    const auto open = [&] {
        return file.open(QIODevice::Append | QIODevice::Unbuffered);
    };
    if (!open() && !(QDir().mkpath(QFileInfo(m_path).absolutePath()) && open()))
        return;
    if (file.size() > 0 && file.size() + bytes.size() > m_maxBytes) {
        file.close();
        rotate(bytes.size());
        if (!open())
            return;
    }
    file.write(bytes);
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
