// The device side of printing: the ESC/POS bytes of text mode against sequences written by hand
// from the command reference, the same bytes read back by the virtual printer, the drawer and
// display bytes of the device records, the PDF of graphic mode, and writes that must fail whole.
#include "core/engine/bonprinter.h"
#include "core/engine/testprints.h"
#include "core/format/devicepresets.h"
#include "core/output/escpos.h"
#include "core/output/pngencoder.h"
#include "core/output/printoutput.h"
#include "core/output/virtualprinter.h"
#include "tests/support/guisupport.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text); // blanks between the bytes are for the reader
}

// How a job starts on a printer whose record leaves the initialisation off, as every preset
// does: no ESC @, but ESC ! 0 and ESC t 19 (code page 858); the justification comes just before
// the first thing that prints.
const char *const UninitialisedStart = "1B 21 00 1B 74 13";

// A preset's record with a position set by the name of its control.
QStringList presetRecord(const QString &preset, const QMap<QString, QString> &changes = {})
{
    QStringList record = printerRecordFromPreset(preset);
    for (auto it = changes.cbegin(); it != changes.cend(); ++it)
        record[printerRecordFormat().positionOf(it.key())] = it.value();
    return record;
}

JobItem textItem(const QString &text, const QString &font, Qt::Alignment alignment,
                 bool bold = false)
{
    JobItem item;
    item.text = text;
    item.fontName = font;
    item.alignment = alignment;
    item.bold = bold;
    return item;
}

JobItem cut()
{
    JobItem item;
    item.kind = JobItem::Kind::Cut;
    return item;
}

QImage filled(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

int inkPixels(const QImage &image)
{
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ink += qGray(image.pixel(x, y)) < 128;
    }
    return ink;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A computer whose printer, COM2 and COM3 are files in `dir`, or whose printer is `printer`.
ComputerConfig devicesIn(const QTemporaryDir &dir, const QString &spool = QString(),
                         const QString &printer = QString())
{
    return ComputerConfig::load(
            {QStringLiteral("--config="), QStringLiteral("--log=") + dir.filePath("log.txt"),
             QStringLiteral("--spool=") + (spool.isEmpty() ? dir.filePath("spool") : spool),
             QStringLiteral("--printer-device=")
                     + (printer.isEmpty() ? dir.filePath("printer") : printer),
             QStringLiteral("--port-COM2=") + dir.filePath("com2"),
             QStringLiteral("--port-COM3=") + dir.filePath("com3")});
}

TestInstallation::Options onTill()
{
    TestInstallation::Options options;
    options.workstationId = 3;
    return options;
}

} // namespace

class TestEscPos : public QObject
{
    Q_OBJECT

private slots:
    void printPicturesAreWrittenAsTheyArePainted();
    void tooWideLinesStartLeftAndAreMarked_data();
    void tooWideLinesStartLeftAndAreMarked();
    void textJobBytes_data();
    void textJobBytes();
    void textLinesAreSizedAndWrapped_data();
    void textLinesAreSizedAndWrapped();
    void pictureBecomesRasterBands_data();
    void pictureBecomesRasterBands();
    void jobStartFollowsTheInitialisationSwitch_data();
    void jobStartFollowsTheInitialisationSwitch();
    void earlierJobsLeftoverStateChangesNothing_data();
    void earlierJobsLeftoverStateChangesNothing();
    void unreadableSequencesFallBackToStandardCommands_data();
    void unreadableSequencesFallBackToStandardCommands();
    void unprintableCharactersAreMarkedAndReportedOnce();
    void controlBytesInPlaceholderValueNeverReachPrinter();
    void textModeTestPrintReadsBackAsItsLines();
    void drawerBytesFollowPrinterRecord_data();
    void drawerBytesFollowPrinterRecord();
    void displayBytesFollowDisplayRecord();
    void graphicModeIsOnePdfPageOfPaperWidth();
    void pdfKeepsEveryLineWithinThePaper();
    void failedWriteLeavesNoFile_data();
    void failedWriteLeavesNoFile();
    void plantedLinkIsNeverWrittenThrough_data();
    void plantedLinkIsNeverWrittenThrough();
    void testModeWritesNothing();
    void commandsOfThePicturesAPrinterKeeps();
    void cutFollowsThePrintersCutter_data();
    void cutFollowsThePrintersCutter();
    void noCommandLeavesThePrinterAsItWas();
    void virtualPrinterKeepsWhatWasDefinedInIt();
};

void TestEscPos::printPicturesAreWrittenAsTheyArePainted()
{
    // The demo receipt with its logo and barcode, and its cut drawn: grey levels only.
    TestInstallation installation(onTill());
    FakeMainWindow main(installation, 1);
    runTestPrint(main.engine(), 13);
    const QImage receipt = renderJobToImage(main.engine().lastJob());
    QImage decoded = QImage::fromData(encodePrintPng(receipt), "PNG");
    QCOMPARE(decoded.format(), QImage::Format_Grayscale8);
    QCOMPARE(decoded.convertToFormat(QImage::Format_RGB32), receipt);

    // Colour survives; transparency lies on white paper.
    QImage coloured(40, 20, QImage::Format_ARGB32);
    coloured.fill(Qt::transparent);
    QPainter(&coloured).fillRect(0, 0, 10, 20, QColor(0xd0, 0x20, 0x20));
    decoded = QImage::fromData(encodePrintPng(coloured), "PNG");
    QCOMPARE(decoded.size(), coloured.size());
    QCOMPARE(decoded.pixel(5, 10), qRgb(0xd0, 0x20, 0x20));
    QCOMPARE(decoded.pixel(30, 10), qRgb(0xff, 0xff, 0xff));

    QVERIFY(encodePrintPng(QImage()).isEmpty());
}

void TestEscPos::tooWideLinesStartLeftAndAreMarked_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("tooWide");
    const QString ascii = QStringLiteral("Summe der Zahlungen in Euro inklusive Mehrwertsteuer");
    QTest::newRow("short, monospaced") << "Courier New"
                                       << "Summe" << false;
    QTest::newRow("short, proportional") << "Arial"
                                         << "Summe" << false;
    QTest::newRow("long, monospaced") << "Courier New" << ascii << true;
    QTest::newRow("long, proportional") << "Arial" << ascii << true;
    QTest::newRow("long, umlauts and euro sign")
            << "Arial"
            << "Größenänderung übernommen: 12,50 € je Stück" << true;
}

// A line wider than the paper keeps its beginning at the left edge, whatever its alignment, and
// a picture for the screen marks it red in the margin; a line that fits keeps its alignment.
void TestEscPos::tooWideLinesStartLeftAndAreMarked()
{
    QFETCH(QString, font);
    QFETCH(QString, text);
    QFETCH(bool, tooWide);
    PrintJob job;
    job.paperWidthCm = 4.0; // about 150 layout pixels
    JobItem line;
    line.text = text;
    line.fontName = font;
    line.alignment = Qt::AlignRight;
    job.items << line;
    const QImage picture = renderJobToImage(job);
    const auto isRed = [](QRgb p) {
        return qRed(p) > 150 && qGreen(p) < 80 && qBlue(p) < 80;
    };
    int firstInk = picture.width();
    bool marked = false;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            if (isRed(p))
                marked = true;
            else if (qGray(p) < 128)
                firstInk = qMin(firstInk, x);
        }
    }
    QCOMPARE(marked, tooWide);
    const int margin = 12;
    if (tooWide)
        QVERIFY2(firstInk < margin + 4, qPrintable(QString::number(firstInk)));
    else
        QVERIFY2(firstInk > picture.width() / 2, qPrintable(QString::number(firstInk)));
}

void TestEscPos::textJobBytes_data()
{
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QByteArray>("umlauts");
    // ESC t 19 and ESC t 16; "äöüß€" in code page 858 and in Windows-1252.
    QTest::newRow("code page 858") << 19 << hex("84 94 81 E1 D5");
    QTest::newRow("code page 1252") << 16 << hex("E4 F6 FC DF 80");
}

void TestEscPos::textJobBytes()
{
    QFETCH(int, codePage);
    QFETCH(QByteArray, umlauts);
    PrintJob job;
    job.items << textItem(QStringLiteral("Kassenbon"), QStringLiteral("13.3 cpi"), Qt::AlignHCenter,
                          true)
              << textItem(QStringLiteral("äöüß€"), QStringLiteral("8 cpi"), Qt::AlignRight);
    JobItem feed;
    feed.kind = JobItem::Kind::Feed;
    job.items << feed << cut();
    EscPosSettings settings;
    settings.codePage = codePage;
    // TM-T88: fonts "6.7 cpi" 20, "8 cpi" 21, "13.3 cpi" 00, "16 cpi" 01; set font 1B21;
    // CR 0D, LF 0A; justify left empty, centre 1B6131, right 1B6132; its cutter feeds the paper
    // to its cutting position itself: GS V 66 0 (1D 56 42 00).
    const EscPosResult result =
            EscPosEncoder(printerRecordFromPreset(QStringLiteral("TM-T88")), settings).encode(job);

    const QByteArray cp = hex("1B 74") + char(codePage);
    const QByteArray expected = hex("1B 21 00") + cp // no ESC @: mode and code page, once
                                + hex("1B 21 08")    // font 3 (00) emphasised (+08)
                                + hex("1B 61 31") + "Kassenbon" + hex("0D 0A") // centred
                                + hex("1B 21 21")                          // font 2: B, double wide
                                + hex("1B 61 32") + umlauts + hex("0D 0A") // right
                                + hex("0D 0A")                             // one empty line
                                + hex("1D 56 42 00");                      // feed and cut
    QCOMPARE(result.bytes.toHex(' '), expected.toHex(' '));
    QVERIFY(result.unprintable.isEmpty());

    VirtualEscPosPrinter printer;
    printer.feed(result.bytes);
    QCOMPARE(printer.lines(), QStringList({QStringLiteral("Kassenbon"), QStringLiteral("äöüß€"),
                                           QString(), QStringLiteral("[Schnitt]")}));
    QVERIFY(printer.unknownCommands().isEmpty());
    QVERIFY(inkPixels(printer.picture()) > 0);
}

void TestEscPos::textLinesAreSizedAndWrapped_data()
{
    QTest::addColumn<int>("dotWidth");
    QTest::addColumn<QString>("font");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QByteArray>("style");
    QTest::addColumn<QStringList>("printed");

    // ESC ! n: bit 0 font B (9 dots), 3 emphasised, 4 double height, 5 double width. GS ! n:
    // width times in the high, height times in the low nibble, each less one.
    QTest::newRow("32 columns: font A on 58 mm")
            << 384 << "13.3 cpi" << 10 << false << hex("1B 21 00")
            << QStringList{"Umtausch innerhalb von 30 Tagen", "nur mit Kassenbon und in der",
                           "Originalverpackung moeglich"};
    QTest::newRow("42 columns: font A on 512 dots")
            << 512 << "13.3 cpi" << 10 << false << hex("1B 21 00")
            << QStringList{"Umtausch innerhalb von 30 Tagen nur mit",
                           "Kassenbon und in der Originalverpackung", "moeglich"};
    QTest::newRow("48 columns: font A on 80 mm, bold")
            << 576 << "13.3 cpi" << 10 << true << hex("1B 21 08")
            << QStringList{"Umtausch innerhalb von 30 Tagen nur mit",
                           "Kassenbon und in der Originalverpackung moeglich"};
    QTest::newRow("64 columns: font B on 80 mm")
            << 576 << "16 cpi" << 10 << false << hex("1B 21 01")
            << QStringList{"Umtausch innerhalb von 30 Tagen nur mit Kassenbon und in der",
                           "Originalverpackung moeglich"};
    // 20 points are twice the size: 24 columns of font A; 30 points three times: 16 columns.
    QTest::newRow("20 points: double width and height")
            << 576 << "13.3 cpi" << 20 << false << hex("1B 21 30")
            << QStringList{"Umtausch innerhalb von", "30 Tagen nur mit", "Kassenbon und in der",
                           "Originalverpackung", "moeglich"};
    QTest::newRow("30 points: three times by GS !")
            << 576 << "13.3 cpi" << 30 << false << hex("1B 21 00 1D 21 22")
            << QStringList{"Umtausch", "innerhalb von 30", "Tagen nur mit", "Kassenbon und in",
                           "der",      "Originalverpacku", "ng moeglich"};
    QTest::newRow("double-width font at 20 points: four times wide, twice high")
            << 576 << "6.7 cpi" << 20 << false << hex("1B 21 10 1D 21 31")
            << QStringList{"Umtausch",   "innerhalb",    "von 30 Tagen", "nur mit", "Kassenbon",
                           "und in der", "Originalverp", "ackung",       "moeglich"};
}

void TestEscPos::textLinesAreSizedAndWrapped()
{
    QFETCH(int, dotWidth);
    QFETCH(QString, font);
    QFETCH(int, pointSize);
    QFETCH(bool, bold);
    QFETCH(QByteArray, style);
    QFETCH(QStringList, printed);

    PrintJob job;
    JobItem line = textItem(QStringLiteral("Umtausch innerhalb von 30 Tagen nur mit Kassenbon "
                                           "und in der Originalverpackung moeglich"),
                            font, Qt::AlignLeft, bold);
    line.pointSize = pointSize;
    job.items << line << cut();
    EscPosSettings settings;
    settings.dotWidth = dotWidth;
    const EscPosResult result =
            EscPosEncoder(printerRecordFromPreset(QStringLiteral("TM-T88")), settings).encode(job);

    // The print mode only when it is not the one the job starts with; no code page again.
    QByteArray expected = hex(UninitialisedStart)
                          + (style == hex("1B 21 00") ? QByteArray() : style) + hex("1B 61 30");
    for (const QString &text : printed)
        expected += text.toLatin1() + hex("0D 0A");
    expected += hex("1D 56 42 00");
    QCOMPARE(result.bytes.toHex(' '), expected.toHex(' '));

    // The virtual printer sets the same lines in the same size.
    VirtualEscPosPrinter printer(dotWidth);
    printer.feed(result.bytes);
    QCOMPARE(printer.lines().mid(0, printed.size()), printed);
    // Font A rows are 24 dots high, font B rows 17, each times the size, plus 6 dots spacing.
    const int times = pointSize >= 30 ? 3 : pointSize >= 20 ? 2 : 1;
    const int lineHeight = (font == QLatin1String("16 cpi") ? 17 : 24) * times + 6;
    QVERIFY(printer.picture().height() >= 10 + int(printed.size()) * lineHeight);
}

void TestEscPos::pictureBecomesRasterBands_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QByteArray>("raster");
    QTest::addColumn<QStringList>("lines");

    // GS v 0 m xL xH yL yH: width in bytes, rows; top bit leftmost, 1 = black.
    QTest::newRow("1 x 1 black is one byte")
            << filled(1, 1, Qt::black) << hex("1D 76 30 00 01 00 01 00 80")
            << QStringList{QStringLiteral("[Bild 8x1]")};
    QTest::newRow("300 rows in bands of 255 and 45")
            << filled(8, 300, Qt::black)
            << QByteArray(hex("1D 76 30 00 01 00 FF 00") + QByteArray(255, '\xFF')
                          + hex("1D 76 30 00 01 00 2D 00") + QByteArray(45, '\xFF'))
            << QStringList{QStringLiteral("[Bild 8x255]"), QStringLiteral("[Bild 8x45]")};
    QTest::newRow("one dot wider than 576 dots is fitted")
            << filled(577, 2, Qt::black)
            << QByteArray(hex("1D 76 30 00 48 00 02 00") + QByteArray(144, '\xFF'))
            << QStringList{QStringLiteral("[Bild 576x2]")};
    QImage halfTransparent = filled(16, 1, Qt::black);
    for (int x = 8; x < 16; ++x)
        halfTransparent.setPixelColor(x, 0, QColor(0, 0, 0, 0));
    QTest::newRow("transparent prints white")
            << halfTransparent << hex("1D 76 30 00 02 00 01 00 FF 00")
            << QStringList{QStringLiteral("[Bild 16x1]")};
}

void TestEscPos::pictureBecomesRasterBands()
{
    QFETCH(QImage, picture);
    QFETCH(QByteArray, raster);
    QFETCH(QStringList, lines);
    PrintJob job;
    JobItem item;
    item.kind = JobItem::Kind::Picture;
    item.picture = picture;
    job.items << item << cut();
    const EscPosResult result =
            EscPosEncoder(printerRecordFromPreset(QStringLiteral("TM-T88")), {}).encode(job);

    // A picture changes neither the print mode nor the code page: nothing is set again.
    const QByteArray expected =
            hex(UninitialisedStart) + hex("1B 61 30") + raster + hex("1D 56 42 00");
    QCOMPARE(result.bytes.toHex(' '), expected.toHex(' '));

    VirtualEscPosPrinter printer;
    printer.feed(result.bytes);
    QCOMPARE(printer.lines(), lines + QStringList{QStringLiteral("[Schnitt]")});
    QVERIFY(inkPixels(printer.picture()) > 0);
}

// What a network printer receives from the printer output: ESC @ first only when the record
// asks for the initialisation before each job; else no ESC @ anywhere, and the job sets the
// print mode, code page and justification itself.
void TestEscPos::jobStartFollowsTheInitialisationSwitch_data()
{
    QTest::addColumn<QStringList>("record");
    QTest::addColumn<QByteArray>("start");

    // TM-U200BT: "8 cpi" is ESC ! 21 (font B, double width), justify centre 1B6131, no left.
    // After ESC @ the printer is plain and left: only the line's own mode and justification.
    const QString init = PrinterRecord::ForceInit;
    const QByteArray line = hex("1B 21 21 1B 61 31");
    QTest::newRow("switch on") << presetRecord("TM-U200BT", {{init, "1"}})
                               << QByteArray(hex("1B 40 1B 74 13") + line);
    QTest::newRow("switch off (the preset)")
            << presetRecord("TM-U200BT") << QByteArray(hex(UninitialisedStart) + line);
    QTest::newRow("switch neither 1 nor 0") << presetRecord("TM-U200BT", {{init, "J"}})
                                            << QByteArray(hex(UninitialisedStart) + line);
    QTest::newRow("record from before the switch")
            << presetRecord("TM-U200BT").mid(0, printerRecordFormat().positionOf(init))
            << QByteArray(hex(UninitialisedStart) + line);
    // The record's own justify sequence is the one sent, either way.
    QTest::newRow("switch on, own justify centre")
            << presetRecord("TM-U200BT", {{init, "1"}, {"edtESCJustifyCenter", "1B613100"}})
            << hex("1B 40 1B 74 13 1B 21 21 1B 61 31 00");
}

void TestEscPos::jobStartFollowsTheInitialisationSwitch()
{
    QFETCH(QStringList, record);
    QFETCH(QByteArray, start);

    QTcpServer printer;
    QVERIFY(printer.listen(QHostAddress::LocalHost));
    QTemporaryDir dir;
    const ComputerConfig config =
            devicesIn(dir, {}, QStringLiteral("tcp://127.0.0.1:%1").arg(printer.serverPort()));
    PrintJob job;
    job.mode = QStringLiteral("T");
    job.items << textItem(QStringLiteral("Bon"), QStringLiteral("8 cpi"), Qt::AlignHCenter)
              << cut();
    const OutputResult sent = PrintOutput(config).print(job, record);
    QVERIFY2(sent.ok, qPrintable(sent.error));

    QVERIFY(printer.waitForNewConnection(5000));
    QTcpSocket *socket = printer.nextPendingConnection();
    QByteArray received;
    while (socket->state() == QAbstractSocket::ConnectedState && socket->waitForReadyRead(2000))
        received += socket->readAll();
    received += socket->readAll();
    const QByteArray expected = start + "Bon" + hex("0D 0A 1B 64 04 1D 56 01");
    QCOMPARE(received.toHex(' '), expected.toHex(' '));
    QCOMPARE(sent.bytes, received);
}

// A printer that is not initialised keeps what the last job set. Whatever that was, this job
// comes out as on a printer just switched on.
void TestEscPos::earlierJobsLeftoverStateChangesNothing_data()
{
    QTest::addColumn<QStringList>("record");
    QTest::addColumn<QByteArray>("leftover");

    // ESC ! B9: font B, emphasised, double height and width, underlined; GS ! 33: four times;
    // ESC a 2: right; ESC t 16: code page 1252.
    const QByteArray everything = hex("1B 21 B9 1D 21 33 1B 61 32 1B 74 10");
    const QString init = PrinterRecord::ForceInit;
    QTest::newRow("without initialisation") << presetRecord("TM-U200BT") << everything;
    QTest::newRow("with initialisation") << presetRecord("TM-U200BT", {{init, "1"}}) << everything;
    QTest::newRow("size only, without initialisation")
            << presetRecord("TM-U200BT") << hex("1D 21 33");
}

void TestEscPos::earlierJobsLeftoverStateChangesNothing()
{
    QFETCH(QStringList, record);
    QFETCH(QByteArray, leftover);

    JobItem logo;
    logo.kind = JobItem::Kind::Picture;
    logo.picture = filled(64, 8, Qt::black);
    PrintJob job;
    job.items << logo << textItem(QStringLiteral("Grüße"), QStringLiteral("13.3 cpi"), {})
              << textItem(QStringLiteral("Summe 12,50 €"), QStringLiteral("13.3 cpi"),
                          Qt::AlignLeft)
              << cut();
    const QByteArray bytes = EscPosEncoder(record, {}).encode(job).bytes;

    VirtualEscPosPrinter fresh;
    fresh.feed(bytes);
    VirtualEscPosPrinter used;
    used.feed(leftover);
    used.feed(bytes);
    QCOMPARE(used.lines(), fresh.lines());
    QVERIFY(used.picture() == fresh.picture());
    QVERIFY(used.unknownCommands().isEmpty());

    // The leftover would show: a line sent without setting anything comes out otherwise.
    VirtualEscPosPrinter plainFresh;
    plainFresh.feed(QByteArray("Gr\x81\xE1"
                               "e\n"));
    VirtualEscPosPrinter plainUsed;
    plainUsed.feed(leftover
                   + QByteArray("Gr\x81\xE1"
                                "e\n"));
    QVERIFY(plainUsed.picture() != plainFresh.picture());
}

void TestEscPos::unreadableSequencesFallBackToStandardCommands_data()
{
    QTest::addColumn<QString>("sequence");
    QTest::newRow("odd number of digits") << QStringLiteral("1D560");
    QTest::newRow("not hex") << QStringLiteral("1BZ1");
    QTest::newRow("sign in front") << QStringLiteral("+1");
}

void TestEscPos::unreadableSequencesFallBackToStandardCommands()
{
    QFETCH(QString, sequence);
    QMap<QString, QString> unreadable;
    for (const char *control : {"edtNormal1", "edtESCCutPaper", "edtESCLineFeed",
                                "edtESCCarriageReturn", "edtESCJustifyCenter", "edtESCSetFont"})
        unreadable.insert(QLatin1String(control), sequence);
    // A cutter that does not feed to its position itself, so that the cut sequence is sent.
    unreadable.insert(PrinterCapability::CutToPosition, QStringLiteral("0"));
    const QStringList record = presetRecord(QStringLiteral("TM-T88"), unreadable);
    PrintJob job;
    job.items << textItem(QStringLiteral("A"), QStringLiteral("6.7 cpi"), Qt::AlignHCenter)
              << cut();
    const QByteArray bytes = EscPosEncoder(record, {}).encode(job).bytes;
    QCOMPARE(bytes.toHex(' '),
             hex("1B 21 00 1B 74 13 1B 61 31 41 0A 1B 64 04 1D 56 01").toHex(' '));
}

void TestEscPos::unprintableCharactersAreMarkedAndReportedOnce()
{
    PrintJob job;
    job.items << textItem(QStringLiteral("Grüße 漢字 漢 😀"), QString(), Qt::AlignLeft);
    const EscPosResult result = EscPosEncoder({}, {}).encode(job);
    QVERIFY(result.bytes.contains(QByteArray("Gr\x81\xE1"
                                             "e ?? ? ?\n")));
    QCOMPARE(result.unprintable, QStringLiteral("漢字😀"));
}

void TestEscPos::controlBytesInPlaceholderValueNeverReachPrinter()
{
    TestInstallation installation(onTill());
    installation.givePrinter(3, QStringLiteral("TM-U200BT")); // text mode
    FakeMainWindow main(installation, 3);
    TBonPrinter &engine = main.engine();
    // A customer name that would open the drawer (ESC p 0 25 250) and cut the paper (GS V 1).
    engine.document().setText(QStringLiteral("KndName"), QStringLiteral("Evil\x1Bp") + QChar(0)
                                                                 + QChar(0x19) + QChar(0xFA)
                                                                 + QStringLiteral("\x1DV\x01"));
    engine.KT_DocBegin();
    engine.KT_PrintLine(engine.Replace_All(QStringLiteral("Kunde: #KndName#"), false));
    engine.KT_DocEnd(false);
    QVERIFY2(engine.lastOutput().ok, qPrintable(engine.lastOutput().error));

    const QByteArray bytes = readAll(engine.lastOutput().target);
    QVERIFY(!bytes.contains("\x1Bp"));
    QCOMPARE(bytes.count("\x1DV"), 1); // the record's own cut at the end
    VirtualEscPosPrinter printer;
    printer.feed(bytes);
    QCOMPARE(printer.lines(), QStringList{QStringLiteral("Kunde: EvilpúV")}
                                      + QStringList(4, QString())
                                      + QStringList{QStringLiteral("[Schnitt]")});
}

void TestEscPos::textModeTestPrintReadsBackAsItsLines()
{
    TestInstallation installation(onTill());
    installation.givePrinter(3, QStringLiteral("TM-U200BT"));
    FakeMainWindow main(installation, 3);
    runTestPrint(main.engine(), 13);
    const OutputResult &output = main.engine().lastOutput();
    QVERIFY2(output.ok, qPrintable(output.error));

    // Read by a printer of the till's own width and fonts: the impact printer's 6,3 dots per mm.
    const PrintJob &job = main.engine().lastJob();
    const EscPosSettings settings = main.engine().output().escPosSettings(job);
    VirtualEscPosPrinter printer(settings.dotWidth, settings.fontADots, settings.fontBDots);
    printer.feed(readAll(output.target));
    QStringList printed;
    for (const QString &line : printer.lines()) {
        if (!line.isEmpty() && !line.startsWith(u'['))
            printed << line;
    }
    // Each line of the job as the printer breaks it at its columns.
    QStringList texts;
    for (const JobItem &item : job.items) {
        if (item.kind == JobItem::Kind::Text && !item.text.isEmpty())
            texts << EscPosEncoder::wrap(item.text, item.columns);
    }
    QCOMPARE(printed, texts);
    QVERIFY(printer.unknownCommands().isEmpty());
    // What the bytes look like on paper, for a person to look at.
    QDir().mkpath(QStringLiteral(KASSOTYP_SCREENSHOT_DIR));
    printer.picture().save(QStringLiteral(KASSOTYP_SCREENSHOT_DIR "/escpos-bon.png"));
}

void TestEscPos::drawerBytesFollowPrinterRecord_data()
{
    QTest::addColumn<QString>("connection");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QByteArray>("bytes");
    // TM-T88's "Open Drawer" 1B703019FA: ESC p 48 25 250.
    QTest::newRow("through the printer")
            << QStringLiteral("Drucker") << QStringLiteral("printer") << hex("1B 70 30 19 FA");
    QTest::newRow("serial drawer on COM2")
            << QStringLiteral("COM2") << QStringLiteral("com2") << hex("1B 70 00 32 FA");
}

void TestEscPos::drawerBytesFollowPrinterRecord()
{
    QFETCH(QString, connection);
    QFETCH(QString, device);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QStringList record =
            presetRecord(QStringLiteral("TM-T88"),
                         {{PrinterRecord::Drawer, connection},
                          {PrinterRecord::SerialDrawerSequence, QStringLiteral("1B700032FA")}});
    const OutputResult result = PrintOutput(devicesIn(dir)).openDrawer(record);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(readAll(dir.filePath(device)).toHex(' '), bytes.toHex(' '));
    VirtualEscPosPrinter printer;
    printer.feed(bytes);
    QCOMPARE(printer.lines(), QStringList{QStringLiteral("[Kassenlade]")});
}

void TestEscPos::displayBytesFollowDisplayRecord()
{
    QTemporaryDir dir;
    // DM-D106 on "Drucker (COM3)": clear 0C, then ESC t 19 (code table 858, where the euro sign
    // is D5) before any text, line 1 0B18, line 2 0B0A18.
    const QStringList record = findPreset(displayPresets(), QStringLiteral("DM-D106"))->values;
    const OutputResult result =
            PrintOutput(devicesIn(dir))
                    .showOnDisplay(record, QStringLiteral("Summe"), QStringLiteral("12,50 €"));
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(readAll(dir.filePath("com3")).toHex(' '),
             QByteArray(hex("0C 1B 74 13 0B 18") + "Summe" + hex("0B 0A 18") + "12,50 " + hex("D5"))
                     .toHex(' '));
}

void TestEscPos::graphicModeIsOnePdfPageOfPaperWidth()
{
    TestInstallation installation(onTill()); // template printer TM-T88, graphic, 6.52 cm paper
    FakeMainWindow main(installation, 3);
    runTestPrint(main.engine(), 13);
    const OutputResult &output = main.engine().lastOutput();
    QVERIFY2(output.ok, qPrintable(output.error));
    QCOMPARE(QFileInfo(output.target).absolutePath(), installation.path("spool"));

    const QByteArray pdf = readAll(output.target);
    QVERIFY(pdf.startsWith("%PDF"));
    const QString text = QString::fromLatin1(pdf);
    QCOMPARE(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"))), 1);
    const QRegularExpressionMatch box =
            QRegularExpression(QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)"))
                    .match(text);
    QVERIFY(box.hasMatch());
    QVERIFY2(qAbs(box.captured(1).toDouble() - 6.52 / 2.54 * 72) < 1.0,
             qPrintable(box.captured(1)));
}

void TestEscPos::pdfKeepsEveryLineWithinThePaper()
{
    // 8 cm paper with 4 mm margins: text runs from 11.3 to 215.4 points.
    PrintJob job;
    job.mode = QStringLiteral("G");
    job.paperWidthCm = 8.0;
    job.leftMarginCm = 0.4;
    job.rightMarginCm = 0.4;
    job.items << textItem(QStringLiteral("Artikel          Menge   EUR   CHF"), {}, Qt::AlignRight)
              << textItem(QStringLiteral("Unterschrift der Kassenbestandserhöhung bitte hier "
                                         "leisten"),
                          {}, Qt::AlignHCenter)
              << cut();
    QTemporaryDir dir;
    const QString file = dir.filePath("bon.pdf");
    const OutputResult written = PrintOutput(devicesIn(dir)).writePdf(job, file);
    QVERIFY2(written.ok, qPrintable(written.error));

    // Word boxes in points, from the PDF as a viewer reads it.
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    QVERIFY2(pdftotext.waitForFinished(20000) && pdftotext.exitCode() == 0,
             "pdftotext (poppler-utils) is needed to read the PDF");
    const QString boxes = QString::fromUtf8(pdftotext.readAllStandardOutput());
    const auto wordBox = [&](const QString &word) {
        const QRegularExpressionMatch m =
                QRegularExpression(QStringLiteral("xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" "
                                                  "xMax=\"([0-9.]+)\"[^>]*>%1<")
                                           .arg(word))
                        .match(boxes);
        return m.hasMatch() ? QPointF(m.captured(1).toDouble(), m.captured(2).toDouble())
                            : QPointF(-1, -1);
    };
    const double left = 0.4 / 2.54 * 72;
    const double right = 7.6 / 2.54 * 72;
    const QPointF chf = wordBox(QStringLiteral("CHF"));
    QVERIFY2(chf.x() > left && chf.y() <= right + 0.5, qPrintable(boxes));
    // The line too wide for the paper keeps its beginning at the left margin.
    const QPointF first = wordBox(QStringLiteral("Unterschrift"));
    QVERIFY2(qAbs(first.x() - left) < 1.0, qPrintable(boxes));
}

void TestEscPos::plantedLinkIsNeverWrittenThrough_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("ESC/POS file") << "escpos";
    QTest::newRow("PDF") << "pdf";
    QTest::newRow("PNG") << "png";
}

void TestEscPos::plantedLinkIsNeverWrittenThrough()
{
    QFETCH(QString, format);
    QTemporaryDir dir;
    QFile victim(dir.filePath("victim"));
    QVERIFY(victim.open(QIODevice::WriteOnly));
    victim.write("wichtig");
    victim.close();
    // In a shared folder someone links the name of the next output to another file.
    const QString planted = dir.filePath("13-Bon.") + format;
    QVERIFY(QFile::link(victim.fileName(), planted));

    PrintJob job;
    job.mode = QStringLiteral("G");
    job.items << textItem(QStringLiteral("Bon"), {}, Qt::AlignLeft) << cut();
    const PrintOutput output(devicesIn(dir));
    const OutputResult r = format == QLatin1String("pdf")   ? output.writePdf(job, planted)
                           : format == QLatin1String("png") ? output.writePng(job, planted)
                                                            : output.writeTo(planted, "\x1B\x40");
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(QStringLiteral("Verknüpfung")), qPrintable(r.error));
    QCOMPARE(readAll(victim.fileName()), QByteArray("wichtig"));
    QVERIFY(QFileInfo(planted).isSymLink());
}

void TestEscPos::failedWriteLeavesNoFile_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("intoProc");
    QTest::newRow("graphic, spool folder below a file") << QStringLiteral("G") << false;
    QTest::newRow("text, spool folder below a file") << QStringLiteral("T") << false;
    QTest::newRow("graphic, spool folder in /proc") << QStringLiteral("G") << true;
    QTest::newRow("text, spool folder in /proc") << QStringLiteral("T") << true;
}

void TestEscPos::failedWriteLeavesNoFile()
{
    QFETCH(QString, mode);
    QFETCH(bool, intoProc);
    QTemporaryDir dir;
    QFile blocker(dir.filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString spool =
            intoProc ? QStringLiteral("/proc/kassotyp-spool") : dir.filePath("blocker/spool");
    ComputerConfig config = devicesIn(dir, spool);
    config.printerDevice.clear(); // text mode goes to the spool folder as well
    PrintJob job;
    job.mode = mode;
    job.items << textItem(QStringLiteral("Bon"), QString(), Qt::AlignLeft) << cut();

    const OutputResult result = PrintOutput(config).print(job, {});
    QVERIFY(!result.ok);
    QVERIFY(!result.error.isEmpty());
    QVERIFY(!QFileInfo::exists(spool));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("blocker")});
}

void TestEscPos::testModeWritesNothing()
{
    TestInstallation installation(onTill());
    installation.givePrinter(3, QStringLiteral("TEST"));
    FakeMainWindow main(installation, 3);
    runTestPrint(main.engine(), 13);
    QVERIFY(main.engine().lastOutput().ok);
    QVERIFY(!main.engine().lastJob().isEmpty()); // kept for viewing
    QVERIFY(QDir(installation.path("spool")).isEmpty());
}

// Golden bytes written from the command reference: GS ( L fn 67 is m = 48 (30), fn (43), a = 48
// raster (30), the key, b = 1 colour, width and height in dots, c = 49 (31), then the rows; its
// parameters are counted in pL pH, or in four bytes by GS 8 L. GS ( L fn 69 is six parameters:
// m, fn (45), the key, single width and height. FS q n: per picture its width and height in
// units of eight dots, then the dots column by column, top dot in the highest bit. FS p n m.
void TestEscPos::commandsOfThePicturesAPrinterKeeps()
{
    const MonoPicture frame{8, 2, hex("FF 81")};
    QCOMPARE(EscPosEncoder::defineGraphics("K1", frame).toHex(' '),
             hex("1D 28 4C 0D 00 30 43 30 4B 31 01 08 00 02 00 31 FF 81").toHex(' '));
    QCOMPARE(EscPosEncoder::printGraphics("K1").toHex(' '),
             hex("1D 28 4C 06 00 30 45 4B 31 01 01").toHex(' '));
    // 576 x 1000 dots are 72,000 bytes: more than pL pH can count (72,011 = 01 19 4B).
    const MonoPicture big{576, 1000, QByteArray(72000, '\xAA')};
    const QByteArray defined = EscPosEncoder::defineGraphics("K2", big);
    QCOMPARE(defined.left(18).toHex(' '),
             hex("1D 38 4C 4B 19 01 00 30 43 30 4B 32 01 40 02 E8 03 31").toHex(' '));
    QCOMPARE(defined.size(), 18 + 72000);

    // A bar along the top of an 8 x 8 picture: every column's byte has its top dot.
    const MonoPicture bar{8, 8, hex("FF 00 00 00 00 00 00 00")};
    QCOMPARE(EscPosEncoder::defineBitImages({bar}).toHex(' '),
             hex("1C 71 01 01 00 01 00 80 80 80 80 80 80 80 80").toHex(' '));
    QCOMPARE(EscPosEncoder::printBitImage(1).toHex(' '), hex("1C 70 01 00").toHex(' '));
    // A picture of 10 x 3 dots fills whole units of eight: 2 x 1, its last columns empty.
    const MonoPicture odd{10, 3, hex("FF C0 00 00 00 40")};
    QCOMPARE(
            EscPosEncoder::defineBitImages({odd}).toHex(' '),
            hex("1C 71 01 02 00 01 00 80 80 80 80 80 80 80 80 80 A0 00 00 00 00 00 00").toHex(' '));
}

void TestEscPos::cutFollowsThePrintersCutter_data()
{
    QTest::addColumn<QStringList>("record");
    QTest::addColumn<QByteArray>("end");
    QTest::newRow("cutter feeds to its position")
            << presetRecord(QStringLiteral("TM-T88T")) << hex("0D 0A 1D 56 42 00");
    QTest::newRow("and 30 dots more")
            << presetRecord(QStringLiteral("TM-T88T"),
                            {{QString(PrinterCapability::CutFeedDots), QStringLiteral("30")}})
            << hex("0D 0A 1D 56 42 1E");
    // A printer whose record does not say so: four lines guessed, then GS V 1.
    QTest::newRow("guessed feed") << presetRecord(
            QStringLiteral("TM-T88T"),
            {{QString(PrinterCapability::CutToPosition), QStringLiteral("0")}})
                                  << hex("0D 0A 1B 64 04 1D 56 01");
}

// Catches the guessed feed of four lines where the printer knows its cutter's position.
void TestEscPos::cutFollowsThePrintersCutter()
{
    QFETCH(QStringList, record);
    QFETCH(QByteArray, end);
    PrintJob job;
    job.items << textItem(QStringLiteral("Danke"), {}, Qt::AlignLeft) << cut();
    const QByteArray bytes = EscPosEncoder(record, {}).encode(job).bytes;
    QVERIFY2(bytes.endsWith(end), bytes.toHex(' ').constData());
    VirtualEscPosPrinter printer;
    printer.feed(bytes);
    QCOMPARE(printer.lines().constLast(), QStringLiteral("[Schnitt]"));
    QVERIFY(printer.unknownCommands().isEmpty());
}

// Catches bytes that change nothing: the code page sent again after every print mode and
// picture, the print mode repeated, a justification overridden before anything printed.
void TestEscPos::noCommandLeavesThePrinterAsItWas()
{
    JobItem logo;
    logo.kind = JobItem::Kind::Picture;
    logo.picture = filled(64, 8, Qt::black);
    logo.alignment = Qt::AlignHCenter;
    JobItem feed;
    feed.kind = JobItem::Kind::Feed;
    PrintJob job;
    job.items << feed << logo
              << textItem(QStringLiteral("Schuhhaus"), QStringLiteral("6.7 cpi"), Qt::AlignHCenter);
    for (int i = 0; i < 5; ++i)
        job.items << textItem(QStringLiteral("Artikel %1").arg(i), QStringLiteral("13.3 cpi"),
                              Qt::AlignLeft)
                  << textItem(QStringLiteral("9,95"), QStringLiteral("13.3 cpi"), Qt::AlignRight,
                              i % 2);
    job.items << cut();
    const QByteArray bytes =
            EscPosEncoder(presetRecord(QStringLiteral("TM-T88")), {}).encode(job).bytes;
    QCOMPARE(bytes.count(hex("1B 74")), 1);
    // The empty line before the logo needs no justification: the first is the logo's.
    QVERIFY2(bytes.startsWith(hex("1B 21 00 1B 74 13 0D 0A 1B 61 31 1D 76 30")),
             bytes.left(16).toHex(' ').constData());
    // Centred for the logo and the title alike, then left and right in turn for ten lines.
    QCOMPARE(bytes.count(hex("1B 61")), 1 + 10);
    // Plain, double wide for the title, then plain and emphasised in turn for the amounts.
    QCOMPARE(bytes.count(hex("1B 21")), 1 + 1 + 1 + 4);
    // And it prints as before: the same lines.
    VirtualEscPosPrinter printer;
    printer.feed(bytes);
    QCOMPARE(printer.lines().mid(0, 4),
             QStringList({QString(), QStringLiteral("[Bild 64x8]"), QStringLiteral("Schuhhaus"),
                          QStringLiteral("Artikel 0")}));
}

// Catches a preview that draws a logo printed from the printer's memory as nothing, and a
// memory that ESC @ would empty.
void TestEscPos::virtualPrinterKeepsWhatWasDefinedInIt()
{
    const MonoPicture logo = EscPosEncoder::monochrome(filled(40, 16, Qt::black), 576);
    VirtualEscPosPrinter sent;
    sent.feed(hex("1B 61 31") + EscPosEncoder::raster(logo));
    VirtualEscPosPrinter kept;
    kept.feed(EscPosEncoder::defineGraphics("K1", logo) + hex("1B 40 1B 61 31")
              + EscPosEncoder::printGraphics("K1") + EscPosEncoder::printGraphics("K9"));
    QCOMPARE(kept.heldKeys(), QStringList{QStringLiteral("K1")});
    QCOMPARE(kept.lines(), sent.lines()); // K9 is not there: nothing prints
    QCOMPARE(kept.picture(), sent.picture());
    QVERIFY(kept.unknownCommands().isEmpty());

    VirtualEscPosPrinter numbered;
    numbered.feed(EscPosEncoder::defineBitImages({logo, logo}) + hex("1B 61 31")
                  + EscPosEncoder::printBitImage(2));
    QCOMPARE(numbered.heldKeys(), QStringList({QStringLiteral("1"), QStringLiteral("2")}));
    QCOMPARE(numbered.picture(), sent.picture());
    // GS ( L pictures and FS q pictures are never kept together.
    numbered.feed(EscPosEncoder::defineGraphics("K1", logo));
    QCOMPARE(numbered.heldKeys(), QStringList{QStringLiteral("K1")});
}

QTEST_MAIN(TestEscPos)
#include "tst_escpos.moc"
