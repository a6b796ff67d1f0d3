// The code page a till declares is the code page its text is sent in: every table's bytes against
// bytes written down from the code charts, read back by the virtual printer, the substitute for
// what a table lacks, and the configuration refusing a number the program has no table for.
#include "core/base/codepages.h"
#include "core/base/config.h"
#include "core/format/devicepresets.h"
#include "core/output/escpos.h"
#include "core/output/printoutput.h"
#include "core/output/virtualprinter.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The line every table is tried with: what a German receipt needs, then the table's own letters.
const QString GermanLine = QStringLiteral("€ÄÖÜäöüß ");

PrintJob oneLine(const QString &text)
{
    JobItem item;
    item.text = text;
    item.fontName = QStringLiteral("13.3 cpi");
    PrintJob job;
    job.mode = QStringLiteral("T");
    job.items << item;
    return job;
}

// The line as a TM-T88 in text mode is sent it, in the table of ESC t escT.
EscPosResult sentToTmT88(const QString &text, int escT)
{
    EscPosSettings settings;
    settings.codePage = escT;
    return EscPosEncoder(printerRecordFromPreset(QStringLiteral("TM-T88")), settings)
            .encode(oneLine(text));
}

QByteArray selectTable(int escT)
{
    return QByteArray("\x1B\x74", 2) + char(escT);
}

QString substituted(QString text, const QString &lacks)
{
    for (const QChar c : lacks)
        text.replace(c, QLatin1Char(CodePages::Substitute));
    return text;
}

} // namespace

class TestCodePages : public QObject
{
    Q_OBJECT

private slots:
    void everyTableSendsItsOwnBytes_data();
    void everyTableSendsItsOwnBytes();
    void whatATableLacksPrintsAsSubstitute_data();
    void whatATableLacksPrintsAsSubstitute();
    void virtualPrinterKeepsItsTableForANumberItLacks();
    void unknownCodePageIsRefusedWhenRead_data();
    void unknownCodePageIsRefusedWhenRead();
};

void TestCodePages::everyTableSendsItsOwnBytes_data()
{
    QTest::addColumn<int>("escT");
    QTest::addColumn<QString>("own");      // the table's own letters after the German line
    QTest::addColumn<QString>("lacks");    // characters the table has no place for
    QTest::addColumn<QByteArray>("bytes"); // the whole line in the table, "?" where it lacks
    const auto row = [](int escT, const char *name, const char *own, const char *lacks,
                        const char *bytes) {
        QTest::newRow(name) << escT << QString::fromUtf8(own) << QString::fromUtf8(lacks)
                            << QByteArray::fromHex(bytes);
    };
    row(0, "ESC t 0: PC437", "ÇÉÑ", "€", "3F 8E 99 9A 84 94 81 E1 20 80 90 A5");
    row(2, "ESC t 2: PC850", "ÀÉÑ", "€", "3F 8E 99 9A 84 94 81 E1 20 B7 90 A5");
    row(3, "ESC t 3: PC860", "ãõÃÕ", "€ÄÖäö", "3F 3F 3F 9A 3F 3F 81 E1 20 84 94 8E 99");
    row(4, "ESC t 4: PC863", "éèêÈ", "€ÄÖäö", "3F 3F 3F 9A 3F 3F 81 E1 20 82 8A 88 91");
    row(5, "ESC t 5: PC865", "æøåÆØÅ", "€", "3F 8E 99 9A 84 94 81 E1 20 91 9B 86 92 9D 8F");
    row(13, "ESC t 13: PC857", "ğşİı", "€", "3F 8E 99 9A 84 94 81 E1 20 A7 9F 98 8D");
    row(14, "ESC t 14: PC737", "ΑΒΓαβγ", "€ÄÖÜäöüß",
        "3F 3F 3F 3F 3F 3F 3F 3F 20 80 81 82 98 99 9A");
    row(15, "ESC t 15: ISO 8859-7", "ΑΒΓαβγ", "ÄÖÜäöüß",
        "A4 3F 3F 3F 3F 3F 3F 3F 20 C1 C2 C3 E1 E2 E3");
    row(16, "ESC t 16: Windows-1252", "Œœ‰", "", "80 C4 D6 DC E4 F6 FC DF 20 8C 9C 89");
    row(17, "ESC t 17: PC866", "Привет", "€ÄÖÜäöüß",
        "3F 3F 3F 3F 3F 3F 3F 3F 20 8F E0 A8 A2 A5 E2");
    row(18, "ESC t 18: PC852", "ąćęłńśźż", "€",
        "3F 8E 99 9A 84 94 81 E1 20 A5 86 A9 88 E4 98 AB BE");
    row(19, "ESC t 19: PC858", "ÀÉÑ", "", "D5 8E 99 9A 84 94 81 E1 20 B7 90 A5");
    row(33, "ESC t 33: PC775", "ĄČĖŠŪŽ", "€", "3F 8E 99 9A 84 94 81 E1 20 B5 B6 B8 BE C7 CF");
    row(34, "ESC t 34: PC855", "Привет", "€ÄÖÜäöüß",
        "3F 3F 3F 3F 3F 3F 3F 3F 20 DD E1 B7 EB A8 E5");
    row(35, "ESC t 35: PC861", "ÐÞðþ", "€", "3F 8E 99 9A 84 94 81 E1 20 8B 8D 8C 95");
    row(38, "ESC t 38: PC869", "ΑΒΓαβγ", "€ÄÖÜäöüß",
        "3F 3F 3F 3F 3F 3F 3F 3F 20 A4 A5 A6 D6 D7 D8");
    row(39, "ESC t 39: ISO 8859-2", "ąćęłńśźż", "€",
        "3F C4 D6 DC E4 F6 FC DF 20 B1 E6 EA B3 F1 B6 BC BF");
    row(40, "ESC t 40: ISO 8859-15", "ŠšŽžŒœŸ", "",
        "A4 C4 D6 DC E4 F6 FC DF 20 A6 A8 B4 B8 BC BD BE");
    row(44, "ESC t 44: PC1125", "ҐґЄєІіЇї", "€ÄÖÜäöüß",
        "3F 3F 3F 3F 3F 3F 3F 3F 20 F2 F3 F4 F5 F6 F7 F8 F9");
    row(45, "ESC t 45: Windows-1250", "ąćęłńśźż", "",
        "80 C4 D6 DC E4 F6 FC DF 20 B9 E6 EA B3 F1 9C 9F BF");
    row(46, "ESC t 46: Windows-1251", "Привет", "ÄÖÜäöüß",
        "88 3F 3F 3F 3F 3F 3F 3F 20 CF F0 E8 E2 E5 F2");
    row(47, "ESC t 47: Windows-1253", "ΑΒΓαβγ", "ÄÖÜäöüß",
        "80 3F 3F 3F 3F 3F 3F 3F 20 C1 C2 C3 E1 E2 E3");
    row(48, "ESC t 48: Windows-1254", "ğşİı", "", "80 C4 D6 DC E4 F6 FC DF 20 F0 FE DD FD");
    row(51, "ESC t 51: Windows-1257", "ĄČĖŠŪŽ", "", "80 C4 D6 DC E4 F6 FC DF 20 C0 C8 CB D0 DB DE");
    row(53, "ESC t 53: KZ-1048", "ӘәҒғҚқ", "ÄÖÜäöüß",
        "88 3F 3F 3F 3F 3F 3F 3F 20 A3 BC AA BA 8D 9D");
}

// Catches a table encoded as another (every number but 16 was sent as 858) and a number whose
// table is not the one printers select with it.
void TestCodePages::everyTableSendsItsOwnBytes()
{
    QFETCH(int, escT);
    QFETCH(QString, own);
    QFETCH(QString, lacks);
    QFETCH(QByteArray, bytes);
    const QString line = GermanLine + own;

    QString unprintable;
    QCOMPARE(CodePages::encode(line, escT, &unprintable).toHex(' '), bytes.toHex(' '));
    QCOMPARE(unprintable, lacks);
    QString missing;
    QCOMPARE(CodePages::canPrint(line, escT, &missing), lacks.isEmpty());
    QCOMPARE(missing, lacks);

    // What the printer is sent selects the table the line is in, and the virtual printer,
    // reading the table from ESC t as a printer does, prints the line as it was meant.
    const EscPosResult sent = sentToTmT88(line, escT);
    const QByteArray selected = selectTable(escT) + QByteArray("\x1B\x61", 2);
    QVERIFY(sent.bytes.contains(selected));
    QVERIFY(escT == CodePages::Cp858 || !sent.bytes.contains(selectTable(CodePages::Cp858)));
    const QByteArray printed = bytes + QByteArray("\r\n");
    QVERIFY2(sent.bytes.contains(printed), sent.bytes.toHex(' ').constData());
    QCOMPARE(sent.unprintable, lacks);
    VirtualEscPosPrinter printer;
    printer.feed(sent.bytes);
    QCOMPARE(printer.lines(), QStringList{substituted(line, lacks)});
    QVERIFY(printer.unknownCommands().isEmpty());
}

void TestCodePages::whatATableLacksPrintsAsSubstitute_data()
{
    QTest::addColumn<int>("escT");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("lacks");

    QTest::newRow("a sign no table has, twice: two marks, reported once")
            << 19 << QStringLiteral("a☺b☺") << QByteArray("a?b?") << QStringLiteral("☺");
    QTest::newRow("a character beyond the basic plane is one mark")
            << 16 << QStringLiteral("x\U0001F600y") << QByteArray("x?y")
            << QStringLiteral("\U0001F600");
    QTest::newRow("control characters never reach the printer, unreported")
            << 19 << QStringLiteral("A\x1B@B\x1DV\x01\u0085C") << QByteArray("A@BVC") << QString();
    QTest::newRow("Cyrillic in the Western table")
            << 19 << QStringLiteral("Борщ 3,50") << QByteArray("???? 3,50")
            << QStringLiteral("Борщ");
    QTest::newRow("euro sign in code page 437")
            << 0 << QStringLiteral("9,99 €") << QByteArray("9,99 ?") << QStringLiteral("€");
}

// The substitute is visible on paper and the character named before printing: a line never
// prints a wrong letter in place of one the table lacks (with 0, "€" printed "╒").
void TestCodePages::whatATableLacksPrintsAsSubstitute()
{
    QFETCH(int, escT);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, lacks);

    QString unprintable;
    QCOMPARE(CodePages::encode(text, escT, &unprintable), bytes);
    QCOMPARE(unprintable, lacks);
    QString marked = QStringLiteral("schon da: ☺");
    QCOMPARE(CodePages::canPrint(text, escT, &marked), lacks.isEmpty());
    QCOMPARE(marked, QStringLiteral("schon da: ☺") + QString(lacks).remove(u'☺'));

    // The virtual printer reads the substitute back as it was sent.
    VirtualEscPosPrinter printer;
    printer.feed(sentToTmT88(text, escT).bytes);
    QCOMPARE(printer.lines(), QStringList{QString::fromLatin1(bytes)});
}

// Catches the virtual printer reading bytes in a table the printer never selected: a printer
// ignores ESC t with a number it has no table for.
void TestCodePages::virtualPrinterKeepsItsTableForANumberItLacks()
{
    VirtualEscPosPrinter printer;
    printer.feed(selectTable(17) + selectTable(0xFF) + QByteArray::fromHex("8F E0 A8 0A"));
    QCOMPARE(printer.lines(), QStringList{QStringLiteral("При")});
    QCOMPARE(printer.unknownCommands(), QStringList{QStringLiteral("1B74FF")});
}

void TestCodePages::unknownCodePageIsRefusedWhenRead_data()
{
    QTest::addColumn<QString>("iniValue"); // empty: not in the INI file
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("codePage");
    QTest::addColumn<bool>("refused");

    QTest::newRow("a known number from the option")
            << "" << QStringList{"--codepage=17"} << 17 << false;
    QTest::newRow("a known number from the INI file") << "46" << QStringList() << 46 << false;
    QTest::newRow("the default") << "" << QStringList() << 19 << false;
    // 300 went out as ESC t 44 (300 modulo 256), and the line came out Cyrillic.
    QTest::newRow("beyond a byte") << "" << QStringList{"--codepage=300"} << 19 << true;
    QTest::newRow("negative") << "" << QStringList{"--codepage=-1"} << 19 << true;
    QTest::newRow("a table the program does not have (Katakana)")
            << "" << QStringList{"--codepage=1"} << 19 << true;
    QTest::newRow("unknown in the INI file") << "7" << QStringList() << 19 << true;
    QTest::newRow("not a number") << "" << QStringList{"--codepage=CP858"} << 19 << true;
}

// A number the program has no table for is refused with the numbers it knows, and the default
// is used instead: it is never sent to the printer. A negative one was "keine Zahl".
void TestCodePages::unknownCodePageIsRefusedWhenRead()
{
    QFETCH(QString, iniValue);
    QFETCH(QStringList, args);
    QFETCH(int, codePage);
    QFETCH(bool, refused);

    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("kassotyp.ini"));
    QSettings(ini, QSettings::IniFormat)
            .setValue(QStringLiteral("computer/codepage"),
                      iniValue.isEmpty() ? QString::number(ComputerConfig::DefaultCodePage)
                                         : iniValue);
    const ComputerConfig config =
            ComputerConfig::load(QStringList{QStringLiteral("--config=") + ini} + args);
    QCOMPARE(config.codePage, codePage);
    // As every value: wrong on the command line, the program refuses to run; wrong in the INI
    // file, it runs with the default and says so.
    const QStringList &said = args.isEmpty() ? config.problems : config.usageErrors;
    const QStringList &unsaid = args.isEmpty() ? config.usageErrors : config.problems;
    QVERIFY2(unsaid.isEmpty(), qPrintable(unsaid.join(u'\n')));
    if (!refused) {
        QVERIFY2(said.isEmpty(), qPrintable(said.join(u'\n')));
    } else {
        QCOMPARE(said.size(), 1);
        const QString &problem = said.constFirst();
        QVERIFY2(problem.startsWith(QLatin1String("Unbekannte Codepage"))
                         && problem.contains(QLatin1String("0, 2, 3, 4, 5, 13"))
                         && (problem.contains(QLatin1String("Es wird 19 verwendet"))
                             == args.isEmpty())
                         && !problem.contains(QLatin1String("keine Zahl")),
                 qPrintable(problem));
    }
    const EscPosSettings sent = PrintOutput(config).escPosSettings(oneLine(QStringLiteral("x")));
    QCOMPARE(sent.codePage, codePage);
}

QTEST_GUILESS_MAIN(TestCodePages)
#include "tst_codepages.moc"
