#include "core/base/codepages.h"

#include <QHash>
#include <QStringList>
#include <QtEndian>

#include <array>
#include <iconv.h>
#include <mutex>

namespace CodePages {
namespace {

// ESC t n as receipt printers number their tables. Left out are the Japanese, Chinese, Thai and
// Vietnamese tables and those of the right-to-left scripts: their lines need an order, shaped
// letters or combined accents this program does not make, so a line in them would print wrong.
constexpr CodePage Tables[] = {
        {0, "CP437", "PC437 (USA, Standard-Europa)"},
        {2, "CP850", "PC850 (Westeuropa)"},
        {3, "CP860", "PC860 (Portugiesisch)"},
        {4, "CP863", "PC863 (Kanadisch-Französisch)"},
        {5, "CP865", "PC865 (Nordisch)"},
        {13, "CP857", "PC857 (Türkisch)"},
        {14, "CP737", "PC737 (Griechisch)"},
        {15, "ISO-8859-7", "ISO 8859-7 (Griechisch)"},
        {16, "WINDOWS-1252", "Windows-1252 (Westeuropa)"},
        {17, "CP866", "PC866 (Kyrillisch)"},
        {18, "CP852", "PC852 (Mitteleuropa)"},
        {19, "CP858", "PC858 (Westeuropa mit Euro)"},
        {33, "CP775", "PC775 (Baltisch)"},
        {34, "CP855", "PC855 (Kyrillisch)"},
        {35, "CP861", "PC861 (Isländisch)"},
        {38, "CP869", "PC869 (Griechisch)"},
        {39, "ISO-8859-2", "ISO 8859-2 (Mitteleuropa)"},
        {40, "ISO-8859-15", "ISO 8859-15 (Westeuropa mit Euro)"},
        {44, "CP1125", "PC1125 (Ukrainisch)"},
        {45, "WINDOWS-1250", "Windows-1250 (Mitteleuropa)"},
        {46, "WINDOWS-1251", "Windows-1251 (Kyrillisch)"},
        {47, "WINDOWS-1253", "Windows-1253 (Griechisch)"},
        {48, "WINDOWS-1254", "Windows-1254 (Türkisch)"},
        {51, "WINDOWS-1257", "Windows-1257 (Baltisch)"},
        {53, "RK1048", "KZ-1048 (Kasachisch)"},
};
constexpr std::size_t TableCount = std::size(Tables);

bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

// One table both ways: the character of each byte (0: none) and the byte of each character.
struct Table
{
    std::array<char32_t, 256> characters{};
    QHash<char32_t, uchar> bytes;

    void add(uchar byte, char32_t c)
    {
        characters[byte] = c;
        if (!bytes.contains(c))
            bytes.insert(c, byte);
    }
};

Table asciiTable()
{
    Table t;
    for (int b = 0x20; b < 0x7F; ++b)
        t.add(uchar(b), char32_t(b));
    return t;
}

// One conversion through iconv; false when it has no result or more than fits.
bool convert(iconv_t cd, const char *in, std::size_t inSize, char *out, std::size_t *outSize)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr); // a fresh state for every character
    auto *input = const_cast<char *>(in);
    char *output = out;
    std::size_t inLeft = inSize;
    std::size_t outLeft = *outSize;
    if (iconv(cd, &input, &inLeft, &output, &outLeft) == std::size_t(-1) || inLeft != 0)
        return false;
    *outSize -= outLeft;
    return true;
}

// The table read from iconv byte by byte. A character belongs to the table only when iconv also
// writes it back as that byte, so that whatever is sent reads back as it was meant.
Table loadTable(const char *name)
{
    const iconv_t toUnicode = iconv_open("UTF-32LE", name);
    const iconv_t fromUnicode = iconv_open(name, "UTF-32LE");
    const auto failed = iconv_t(-1);
    if (toUnicode == failed || fromUnicode == failed) {
        // Without the C library's tables the printer still gets every ASCII character right.
        if (toUnicode != failed)
            iconv_close(toUnicode);
        if (fromUnicode != failed)
            iconv_close(fromUnicode);
        return asciiTable();
    }
    Table t;
    for (int b = 0x20; b <= 0xFF; ++b) {
        const char byte = char(b);
        char32_t decoded[2];
        std::size_t size = sizeof decoded;
        if (!convert(toUnicode, &byte, 1, reinterpret_cast<char *>(decoded), &size)
            || size != sizeof(char32_t))
            continue;
        const char32_t c = qFromLittleEndian(decoded[0]);
        if (isControl(c))
            continue;
        const char32_t in = qToLittleEndian(c);
        char encoded[8];
        std::size_t encodedSize = sizeof encoded;
        if (convert(fromUnicode, reinterpret_cast<const char *>(&in), sizeof in, encoded,
                    &encodedSize)
            && encodedSize == 1 && encoded[0] == byte)
            t.add(uchar(b), c);
    }
    iconv_close(toUnicode);
    iconv_close(fromUnicode);
    return t;
}

// Each table is read at its first use, once for all threads.
const Table &tableOf(int escT)
{
    static std::array<Table, TableCount> tables;
    static std::array<std::once_flag, TableCount> loaded;
    for (std::size_t i = 0; i < TableCount; ++i) {
        if (Tables[i].escT == escT) {
            std::call_once(loaded[i], [i] { tables[i] = loadTable(Tables[i].iconvName); });
            return tables[i];
        }
    }
    static const Table ascii = asciiTable();
    return ascii;
}

void note(QString *unprintable, const QString &character)
{
    if (unprintable && !unprintable->contains(character))
        *unprintable += character;
}

} // namespace

QList<CodePage> known()
{
    return QList<CodePage>(std::begin(Tables), std::end(Tables));
}

const CodePage *find(int escT)
{
    for (const CodePage &page : Tables) {
        if (page.escT == escT)
            return &page;
    }
    return nullptr;
}

QString knownNumbers()
{
    QStringList numbers;
    for (const CodePage &page : Tables)
        numbers << QString::number(page.escT);
    return numbers.join(QLatin1String(", "));
}

QByteArray encode(const QString &text, int escT, QString *unprintable)
{
    const Table &table = tableOf(escT);
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        qsizetype length = 1;
        // A character outside the basic plane is one mark on paper and one in the report.
        if (text.at(i).isHighSurrogate() && i + 1 < text.size()
            && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            length = 2;
        }
        if (!isControl(c)) {
            const auto byte = table.bytes.constFind(c);
            if (byte != table.bytes.cend()) {
                out += char(*byte);
            } else {
                out += Substitute;
                note(unprintable, text.mid(i, length));
            }
        }
        i += length - 1;
    }
    return out;
}

QString decode(const QByteArray &bytes, int escT)
{
    const Table &table = tableOf(escT);
    QString out;
    out.reserve(bytes.size());
    for (const char b : bytes) {
        const char32_t c = table.characters[uchar(b)];
        if (c == 0)
            out += QChar(QChar::ReplacementCharacter);
        else
            out += QString::fromUcs4(&c, 1);
    }
    return out;
}

bool canPrint(const QString &text, int escT, QString *unprintable)
{
    QString missing;
    encode(text, escT, &missing);
    for (qsizetype i = 0; i < missing.size(); ++i) {
        const qsizetype length = missing.at(i).isHighSurrogate() ? 2 : 1;
        note(unprintable, missing.mid(i, length));
        i += length - 1;
    }
    return missing.isEmpty();
}

} // namespace CodePages
