#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The one place where the bytes of a stored settings list become a list of texts and back.
//
// Writing: UTF-8 with byte-order mark, CR LF after every entry (the last one too).
// Reading: UTF-8 when the blob starts with a byte-order mark, Windows-1252 otherwise;
// CR LF, LF and CR all end an entry.
namespace SettingsListCodec {

struct Decoded
{
    QStringList entries;
    // False when the blob claims UTF-8 but holds byte sequences that are not UTF-8.
    // The entries then carry replacement characters and must not be written back.
    bool clean = true;
};

QByteArray encodeUtf8(const QStringList &entries);
// Windows-1252 without byte-order mark, for the records that other programs of the
// installation read in that code page. Characters the code page lacks become '?'.
QByteArray encodeWindows1252(const QStringList &entries);
Decoded decode(const QByteArray &blob);

// Whether the entries can be written in Windows-1252 and read back unchanged: every character
// has a place in the code page, and the first entry does not begin with what reads as the
// UTF-8 byte-order mark.
bool fitsWindows1252(const QStringList &entries);

QString fromWindows1252(const QByteArray &bytes);
QByteArray toWindows1252(const QString &text, bool *lossless = nullptr);

} // namespace SettingsListCodec
