#pragma once

#include <QDateTime>
#include <QString>

// The program's log file, shared by the messages and the audit trail and possibly by several
// programs of one computer at once. Every line is appended by one write of its own, so that
// lines of two programs never mix. A file that reaches its size limit is renamed to ".1" (the
// older generations moving to ".2", ".3", ...) and a new one begins. Writing never fails the
// caller: a log that cannot be written is skipped, and the caller is told why. Only a regular
// file is written; a line left half written (a full disk) is ended before the next one begins,
// so that two lines never run together.
class LogFile
{
public:
    static constexpr qint64 MaxBytes = 1024 * 1024;
    static constexpr int KeptGenerations = 3; // old files beside the current one

    explicit LogFile(const QString &path, qint64 maxBytes = MaxBytes,
                     int keptGenerations = KeptGenerations);

    // Appends the line with a line break; the line is prefixed by nothing. Empty when it was
    // written, else why not (in German).
    QString append(const QString &line) const;

    // ISO 8601 with milliseconds and the offset from UTC ("2026-03-01T09:15:02.120+01:00").
    static QString timeStamp(const QDateTime &time = QDateTime::currentDateTime());
    // The file of generation n (1 is the newest old one).
    QString generation(int n) const;

private:
    bool isFull(qint64 incoming) const;
    void rotate(qint64 incoming) const;

    QString m_path;
    qint64 m_maxBytes;
    int m_keptGenerations;
};
