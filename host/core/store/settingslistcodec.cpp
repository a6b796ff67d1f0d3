#include "core/store/settingslistcodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <functional>

namespace SettingsListCodec {
namespace {

const QByteArray utf8Bom("\xEF\xBB\xBF", 3);

// Windows-1252 differs from Latin-1 only in 0x80..0x9F. The five holes (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) are mapped to the C1 control of the same value, as the platform does.
constexpr std::array<char16_t, 32> cp1252High = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool toCp1252Byte(QChar c, char *out)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        *out = static_cast<char>(u);
        return true;
    }
    for (std::size_t i = 0; i < cp1252High.size(); ++i) {
        if (cp1252High[i] == u) {
            *out = static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}

QByteArray joinWithCrLf(const QStringList &entries,
                        const std::function<QByteArray(const QString &)> &encode)
{
    QByteArray out;
    for (const QString &e : entries) {
        out += encode(e);
        out += "\r\n";
    }
    return out;
}

QStringList splitEntries(const QString &text)
{
    QStringList entries;
    QString current;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            entries << current;
            current.clear();
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
        } else {
            current += c;
        }
    }
    // Every entry is followed by a line end; text after the last one still counts as an entry
    // so that a blob cut off in the middle of its last entry keeps what it has.
    if (!current.isEmpty())
        entries << current;
    return entries;
}

} // namespace

QString fromWindows1252(const QByteArray &bytes)
{
    QString s;
    s.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        s += (b >= 0x80 && b <= 0x9F) ? QChar(cp1252High[b - 0x80]) : QChar(b);
    }
    return s;
}

QByteArray toWindows1252(const QString &text, bool *lossless)
{
    QByteArray out;
    out.reserve(text.size());
    bool all = true;
    for (const QChar c : text) {
        char b;
        if (toCp1252Byte(c, &b)) {
            out += b;
        } else {
            out += '?';
            all = false;
        }
    }
    if (lossless)
        *lossless = all;
    return out;
}

bool fitsWindows1252(const QStringList &entries)
{
    // "ï»¿" in the code page are the bytes of the UTF-8 mark: at the start they would be read
    // back as UTF-8.
    if (!entries.isEmpty() && entries.first().startsWith(QStringView(u"\u00EF\u00BB\u00BF")))
        return false;
    for (const QString &e : entries) {
        bool lossless = true;
        toWindows1252(e, &lossless);
        if (!lossless)
            return false;
    }
    return true;
}

QByteArray encodeUtf8(const QStringList &entries)
{
    return utf8Bom + joinWithCrLf(entries, [](const QString &e) { return e.toUtf8(); });
}

QByteArray encodeWindows1252(const QStringList &entries)
{
    return joinWithCrLf(entries, [](const QString &e) { return toWindows1252(e); });
}

Decoded decode(const QByteArray &blob)
{
    Decoded result;
    QString text;
    if (blob.startsWith(utf8Bom)) {
        // The mark is sliced off here; a second one is text (U+FEFF starting the first entry),
        // which the decoder would otherwise swallow as well.
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless
                                       | QStringDecoder::Flag::ConvertInitialBom);
        text = decoder.decode(QByteArrayView(blob).sliced(utf8Bom.size()));
        result.clean = !decoder.hasError();
    } else {
        text = fromWindows1252(blob);
    }
    result.entries = splitEntries(text);
    return result;
}

} // namespace SettingsListCodec
