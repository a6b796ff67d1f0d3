// The codec that turns the bytes of a stored settings list into texts and back. Records are
// written by this program (UTF-8 with byte-order mark) and by older programs of the
// installation (Windows-1252, any line end), so both directions are checked byte by byte.

#include "core/store/settingslistcodec.h"

#include <QRandomGenerator>
#include <QTest>

using namespace SettingsListCodec;

namespace {

const QByteArray Bom("\xEF\xBB\xBF", 3);

QByteArray raw(const char *bytes, qsizetype size)
{
    return QByteArray(bytes, size);
}

QByteArray marked(const QByteArray &body)
{
    return Bom + body;
}

} // namespace

class TestSettingsListCodec : public QObject
{
    Q_OBJECT

private slots:
    void encodeWritesBomAndCrLfAfterEveryEntry_data();
    void encodeWritesBomAndCrLfAfterEveryEntry();
    void decodeEndsAnEntryAtEveryLineEnd_data();
    void decodeEndsAnEntryAtEveryLineEnd();
    void decodeChoosesCodePageByByteOrderMark_data();
    void decodeChoosesCodePageByByteOrderMark();
    void everyByteSurvivesWindows1252();
    void damagedUtf8IsFlaggedNotClean_data();
    void damagedUtf8IsFlaggedNotClean();
    void roundTripKeepsEveryEntry_data();
    void roundTripKeepsEveryEntry();
    void windows1252Encoding_data();
    void windows1252Encoding();
    void fitsWindows1252TellsWhetherNothingIsLost_data();
    void fitsWindows1252TellsWhetherNothingIsLost();
    void randomBlobsDecodeSafelyAndRoundTrip();
};

void TestSettingsListCodec::encodeWritesBomAndCrLfAfterEveryEntry_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty list is the mark alone") << QStringList() << Bom;
    QTest::newRow("last entry ends with CR LF too")
            << QStringList{QStringLiteral("Arial"), QStringLiteral("12")}
            << marked(QByteArray("Arial\r\n12\r\n"));
    QTest::newRow("empty entries are kept in place")
            << QStringList{QString(), QStringLiteral("links"), QString()}
            << marked(QByteArray("\r\nlinks\r\n\r\n"));
    QTest::newRow("umlauts as two-byte UTF-8") << QStringList{QStringLiteral("Größe")}
                                               << marked(QByteArray("Gr\xC3\xB6\xC3\x9F"
                                                                    "e\r\n"));
    QTest::newRow("euro sign as three-byte UTF-8")
            << QStringList{QStringLiteral("12 €")} << marked(QByteArray("12 \xE2\x82\xAC\r\n"));
}

void TestSettingsListCodec::encodeWritesBomAndCrLfAfterEveryEntry()
{
    QFETCH(QStringList, entries);
    QFETCH(QByteArray, expected);
    QCOMPARE(encodeUtf8(entries), expected);
}

void TestSettingsListCodec::decodeEndsAnEntryAtEveryLineEnd_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("expected");

    const QStringList abc = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\nc\r\n") << abc;
    QTest::newRow("LF") << QByteArray("a\nb\nc\n") << abc;
    QTest::newRow("CR") << QByteArray("a\rb\rc\r") << abc;
    QTest::newRow("mixed") << QByteArray("a\nb\r\nc\r") << abc;
    // LF CR is not one line end: a reader that pairs them would merge two entries.
    QTest::newRow("LF CR is two line ends")
            << QByteArray("a\n\rb\r\n")
            << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")};
    QTest::newRow("CR CR leaves an empty entry")
            << QByteArray("a\r\rb\r")
            << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")};
    QTest::newRow("empty entry at the end is kept")
            << QByteArray("a\r\n\r\n") << QStringList{QStringLiteral("a"), QString()};
    QTest::newRow("only a line end is one empty entry")
            << QByteArray("\r\n") << QStringList{QString()};
    QTest::newRow("text after the last line end is an entry")
            << QByteArray("a\r\nb") << QStringList{QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("text without any line end is an entry")
            << QByteArray("nur") << QStringList{QStringLiteral("nur")};
    QTest::newRow("no bytes is no entry") << QByteArray() << QStringList();
    QTest::newRow("blanks and tabs stay in the entry")
            << QByteArray(" a \t\r\n") << QStringList{QStringLiteral(" a \t")};
}

void TestSettingsListCodec::decodeEndsAnEntryAtEveryLineEnd()
{
    QFETCH(QByteArray, body);
    QFETCH(QStringList, expected);

    // The line-end rules are the same for both code pages.
    const Decoded withoutMark = decode(body);
    QCOMPARE(withoutMark.entries, expected);
    QVERIFY(withoutMark.clean);

    const Decoded withMark = decode(Bom + body);
    QCOMPARE(withMark.entries, expected);
    QVERIFY(withMark.clean);
}

void TestSettingsListCodec::decodeChoosesCodePageByByteOrderMark_data()
{
    QTest::addColumn<QByteArray>("blob");
    QTest::addColumn<QString>("expected");

    QTest::newRow("UTF-8 umlauts with mark")
            << marked(QByteArray("\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F\r\n")) << QStringLiteral("äöüß");
    QTest::newRow("Windows-1252 umlauts without mark")
            << QByteArray("\xE4\xF6\xFC\xDF\xC4\xD6\xDC\r\n") << QStringLiteral("äöüßÄÖÜ");
    QTest::newRow("UTF-8 euro with mark")
            << marked(QByteArray("\xE2\x82\xAC\r\n")) << QStringLiteral("€");
    QTest::newRow("Windows-1252 euro is 0x80") << QByteArray("\x80\r\n") << QStringLiteral("€");
    // 0x80..0x9F is where Windows-1252 and Latin-1 differ; a Latin-1 reader yields C1 controls.
    QTest::newRow("Windows-1252 quotes and dashes 0x82..0x97")
            << QByteArray("\x82\x84\x85\x91\x92\x93\x94\x96\x97\r\n")
            << QStringLiteral("‚„…‘’“”–—");
    QTest::newRow("Windows-1252 letters 0x8A..0x9F")
            << QByteArray("\x8A\x8C\x8E\x9A\x9C\x9E\x9F\r\n") << QStringLiteral("ŠŒŽšœžŸ");
    QTest::newRow("Windows-1252 signs 0x83..0x9B")
            << QByteArray("\x83\x86\x87\x88\x89\x8B\x95\x98\x99\x9B\r\n")
            << QStringLiteral("ƒ†‡ˆ‰‹•˜™›");
    QTest::newRow("Windows-1252 holes keep their value")
            << QByteArray("\x81\x8D\x8F\x90\x9D\r\n")
            << QString::fromUtf16(u"\u0081\u008D\u008F\u0090\u009D");
    QTest::newRow("UTF-8 bytes without mark are read as Windows-1252")
            << QByteArray("\xC3\xA4\r\n") << QStringLiteral("Ã¤");
    QTest::newRow("mark alone is an empty list, not a text") << Bom << QString();
}

void TestSettingsListCodec::decodeChoosesCodePageByByteOrderMark()
{
    QFETCH(QByteArray, blob);
    QFETCH(QString, expected);

    const Decoded decoded = decode(blob);
    QVERIFY(decoded.clean);
    QCOMPARE(decoded.entries, expected.isEmpty() ? QStringList() : QStringList{expected});
}

// Catches a byte of Windows-1252 that is dropped, merged or mapped to a different byte on the
// way back, which would silently change records written by the older programs.
void TestSettingsListCodec::everyByteSurvivesWindows1252()
{
    for (int b = 0; b < 256; ++b) {
        if (b == '\r' || b == '\n')
            continue;
        const QByteArray byte(1, char(b));
        const Decoded decoded = decode(byte + "\r\n");
        QVERIFY2(decoded.clean, qPrintable(QString::number(b, 16)));
        QCOMPARE(decoded.entries.size(), 1);
        QCOMPARE(decoded.entries.first().size(), 1);
        QVERIFY(fitsWindows1252(decoded.entries));
        QCOMPARE(encodeWindows1252(decoded.entries), QByteArray(byte + "\r\n"));
    }
}

void TestSettingsListCodec::damagedUtf8IsFlaggedNotClean_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("clean");

    QTest::newRow("lone continuation byte") << QByteArray("a\x80"
                                                          "b\r\n")
                                            << false;
    QTest::newRow("sequence cut off at the end") << QByteArray("ok\r\n\xE2\x82") << false;
    QTest::newRow("sequence cut off before the line end") << QByteArray("\xC3\r\n") << false;
    QTest::newRow("overlong encoding of a slash") << QByteArray("\xC0\xAF\r\n") << false;
    QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80\r\n") << false;
    QTest::newRow("byte 0xFF") << QByteArray("\xFF\r\n") << false;
    QTest::newRow("Windows-1252 umlaut behind a mark") << QByteArray("Gr\xF6\xDF"
                                                                     "e\r\n")
                                                       << false;
    QTest::newRow("four-byte character is sound") << QByteArray("\xF0\x9F\x98\x80\r\n") << true;
    QTest::newRow("three-byte character is sound") << QByteArray("\xE2\x82\xAC\r\n") << true;
}

void TestSettingsListCodec::damagedUtf8IsFlaggedNotClean()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, clean);

    QCOMPARE(decode(Bom + body).clean, clean);
    // Without a mark the same bytes are Windows-1252, where every byte is a character.
    QVERIFY(decode(body).clean);
}

void TestSettingsListCodec::roundTripKeepsEveryEntry_data()
{
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("umlauts") << QStringList{QStringLiteral("Größe"), QStringLiteral("ÄÖÜäöüß")};
    QTest::newRow("euro and typographic quotes")
            << QStringList{QStringLiteral("„Preis“ 5 €"), QStringLiteral("‚a‘ – b … ™")};
    QTest::newRow("Greek, Cyrillic and Chinese") << QStringList{
            QStringLiteral("Ωμέγα"), QStringLiteral("Касса"), QStringLiteral("收据打印")};
    QTest::newRow("characters outside the basic plane")
            << QStringList{QString::fromUtf16(u"\U0001F600 Bon \U0001D11E")};
    QTest::newRow("empty entries around others")
            << QStringList{QString(), QStringLiteral("x"), QString(), QString()};
    QTest::newRow("one empty entry") << QStringList{QString()};
    QTest::newRow("no entries") << QStringList();
    QTest::newRow("blanks at both ends") << QStringList{QStringLiteral("  Summe  ")};
    QTest::newRow("control characters other than line ends")
            << QStringList{QString::fromUtf16(u"a\tb\u0000c\u001B", 6)};
    // An invisible no-break space at the very start looks like a second byte-order mark.
    QTest::newRow("first entry starts with U+FEFF")
            << QStringList{QString::fromUtf16(u"\uFEFFKopf"), QStringLiteral("x")};
}

void TestSettingsListCodec::roundTripKeepsEveryEntry()
{
    QFETCH(QStringList, entries);

    const Decoded decoded = decode(encodeUtf8(entries));
    QVERIFY(decoded.clean);
    QCOMPARE(decoded.entries, entries);
}

void TestSettingsListCodec::windows1252Encoding_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("no mark, CR LF after every entry")
            << QStringList{QStringLiteral("a"), QString()} << QByteArray("a\r\n\r\n");
    QTest::newRow("umlauts are one byte each") << QStringList{QStringLiteral("äöüßÄÖÜ")}
                                               << QByteArray("\xE4\xF6\xFC\xDF\xC4\xD6\xDC\r\n");
    QTest::newRow("euro is 0x80 and quotes 0x84/0x93")
            << QStringList{QStringLiteral("„€“")} << QByteArray("\x84\x80\x93\r\n");
    QTest::newRow("character outside the code page becomes a question mark")
            << QStringList{QStringLiteral("Ω1")} << QByteArray("?1\r\n");
}

void TestSettingsListCodec::windows1252Encoding()
{
    QFETCH(QStringList, entries);
    QFETCH(QByteArray, expected);

    QCOMPARE(encodeWindows1252(entries), expected);
    if (fitsWindows1252(entries))
        QCOMPARE(decode(expected).entries, entries);
}

void TestSettingsListCodec::fitsWindows1252TellsWhetherNothingIsLost_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<bool>("fits");

    QTest::newRow("no entries") << QStringList() << true;
    QTest::newRow("German text with euro")
            << QStringList{QStringLiteral("Grüße"), QStringLiteral("5 €")} << true;
    QTest::newRow("all of 0x80..0x9F")
            << QStringList{QStringLiteral("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ")} << true;
    QTest::newRow("Greek letter") << QStringList{QStringLiteral("Ω")} << false;
    QTest::newRow("only the last entry does not fit")
            << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("收")} << false;
    QTest::newRow("C1 control that is no hole")
            << QStringList{QString::fromUtf16(u"\u0080")} << false;
    // Written in the code page, these bytes would be read back as the UTF-8 mark.
    QTest::newRow("first entry starts with the mark's three characters")
            << QStringList{QStringLiteral("ï»¿Kopf")} << false;
    QTest::newRow("the mark's characters later on")
            << QStringList{QStringLiteral("a"), QStringLiteral("ï»¿")} << true;
}

void TestSettingsListCodec::fitsWindows1252TellsWhetherNothingIsLost()
{
    QFETCH(QStringList, entries);
    QFETCH(bool, fits);
    QCOMPARE(fitsWindows1252(entries), fits);
}

// Catches any blob, however broken, that crashes decoding, yields an entry holding a line end,
// or decodes cleanly to entries that do not come back unchanged from encoding.
void TestSettingsListCodec::randomBlobsDecodeSafelyAndRoundTrip()
{
    QRandomGenerator random(20240611);
    // Pieces that make the interesting cases frequent: line ends, the 0x80..0x9F block, UTF-8
    // sequences whole and cut off, and stray lead and continuation bytes.
    const QList<QByteArray> pieces = {"\r\n",
                                      "\r",
                                      "\n",
                                      raw("\x80", 1),
                                      raw("\x9F", 1),
                                      raw("\x81", 1),
                                      raw("\xC3\xA4", 2),
                                      raw("\xE2\x82\xAC", 3),
                                      raw("\xF0\x9F\x98\x80", 4),
                                      raw("\xE2\x82", 2),
                                      raw("\xC3", 1),
                                      raw("\xBF", 1),
                                      raw("\xFF", 1),
                                      raw("\0", 1),
                                      "Arial",
                                      " ",
                                      "12"};

    int clean = 0;
    int damaged = 0;
    for (int i = 0; i < 3000; ++i) {
        QByteArray blob;
        const bool withMark = i % 3 == 0;
        if (withMark)
            blob += Bom;
        const int parts = random.bounded(0, 40);
        for (int p = 0; p < parts; ++p) {
            if (i % 2 == 0)
                blob += char(random.bounded(0, 256));
            else
                blob += pieces.at(random.bounded(0, int(pieces.size())));
        }

        const Decoded decoded = decode(blob);
        for (const QString &entry : decoded.entries)
            QVERIFY2(!entry.contains(u'\r') && !entry.contains(u'\n'), blob.toHex().constData());
        if (!decoded.clean) {
            ++damaged;
            QVERIFY2(withMark, blob.toHex().constData());
            continue;
        }
        ++clean;
        QVERIFY2(decode(encodeUtf8(decoded.entries)).entries == decoded.entries,
                 blob.toHex().constData());
        if (!withMark) {
            QVERIFY2(fitsWindows1252(decoded.entries), blob.toHex().constData());
            QVERIFY2(decode(encodeWindows1252(decoded.entries)).entries == decoded.entries,
                     blob.toHex().constData());
        }
    }
    // Both paths must have been taken, or the loop proves less than it claims.
    QVERIFY(clean > 1000);
    QVERIFY(damaged > 100);
}

QTEST_GUILESS_MAIN(TestSettingsListCodec)
#include "tst_settingslistcodec.moc"
