#pragma once

#include <QByteArray>
#include <QString>

class QFileDevice;

// Files the programs read and write on a user's word: a path on a command line or in an INI
// file may name a device, a named pipe or a file without end. Written are regular files only
// (devices only through the device link, on purpose); read are regular files of a bounded size,
// opened so that a named pipe never blocks. Reasons from the system come in German.
namespace SafeFiles {

// The most each kind of file may hold; --help names them.
constexpr qint64 MaxImportBytes = 64 * 1024 * 1024;  // an exchange file of a whole store
constexpr qint64 MaxPictureBytes = 16 * 1024 * 1024; // a logo's picture file
constexpr qint64 MaxIniBytes = 1024 * 1024;          // a computer's INI file

// "64 MiB": a limit as --help and the messages state it.
QString sizeText(qint64 bytes);

// What `path` is when it exists and is no regular file ("ein Gerät", "eine benannte Pipe
// (FIFO)", ...); empty for a regular file or none.
QString fileKind(const QString &path);

// Why nothing may be written to `path`: it exists and is no regular file (a device, a named
// pipe, a socket, a folder). Empty when it does not exist or is a regular file.
QString writeRefusal(const QString &path);

// Why `path` cannot be read as a file of this kind: no regular file, larger than `maxBytes`,
// or the system's reason. Empty when it can.
QString readRefusal(const QString &path, qint64 maxBytes);

struct ReadResult
{
    QByteArray bytes;
    QString error; // in words for the user; empty when read
};
// Reads a regular file of at most `maxBytes` without ever blocking on a named pipe.
ReadResult readRegular(const QString &path, qint64 maxBytes);

// The system's reason for an errno value in German.
QString systemErrorText(int error);

// True when the file system of `path` (or of the nearest folder above it that exists) has no
// room left: a failed write there is a full disk, whatever the layer below called it.
bool diskFull(const QString &path);
QString diskFullText(const QString &path);

// Why writing `path` through `file` failed: a full disk named as such, else the device's
// reason in German.
QString writeFailure(const QString &path, const QFileDevice &file);

} // namespace SafeFiles
