// Barcodes: which layout lines print one, the printer's own Code 128 command written by hand from
// the command reference and read back by the virtual printer, and the bars of graphic mode in
// pictures and PDF files. Bar counts follow from Code 128 itself: every character (start, data,
// check) is 3 bars in 11 modules, the stop character 4 bars in 13 modules.
#include "core/engine/bonprinter.h"
#include "core/format/devicepresets.h"
#include "core/model/hosttables.h"
#include "core/output/escpos.h"
#include "core/output/printoutput.h"
#include "core/output/virtualprinter.h"
#include "tests/support/testinstallation.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

JobItem item(JobItem::Kind kind, const QString &text, Qt::Alignment alignment,
             const QString &font = QStringLiteral("13.3 cpi"))
{
    JobItem i;
    i.kind = kind;
    i.text = text;
    i.alignment = alignment;
    i.fontName = font;
    return i;
}

JobItem cut()
{
    JobItem i;
    i.kind = JobItem::Kind::Cut;
    return i;
}

// The bars crossed by row y: how many, and the left edge of the first and the right edge of the
// last (-1 without bars).
struct Bars
{
    int count = 0;
    int left = -1;
    int right = -1;
};

Bars barsOnRow(const QImage &image, int y)
{
    Bars bars;
    bool inBar = false;
    for (int x = 0; x < image.width(); ++x) {
        const bool black = qGray(image.pixel(x, y)) < 128;
        if (black && !inBar) {
            ++bars.count;
            if (bars.left < 0)
                bars.left = x;
        }
        if (black)
            bars.right = x + 1;
        inBar = black;
    }
    return bars;
}

} // namespace

class TestBarcodes : public QObject
{
    Q_OBJECT

private slots:
    void lineOfOnlyABarcodePlaceholderPrintsABarcode_data();
    void lineOfOnlyABarcodePlaceholderPrintsABarcode();
    void printerCommandBytes_data();
    void printerCommandBytes();
    void virtualPrinterReadsPastOtherAndCutOffBarcodes_data();
    void virtualPrinterReadsPastOtherAndCutOffBarcodes();
    void graphicModeDrawsTheBars_data();
    void graphicModeDrawsTheBars();
    void pdfHasVectorBarsAndTheDigits();
};

void TestBarcodes::lineOfOnlyABarcodePlaceholderPrintsABarcode_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("value"); // of all four barcode placeholders
    QTest::addColumn<bool>("barcode");
    QTest::addColumn<QString>("printed");

    QTest::newRow("#BarCode#") << "#BarCode#"
                               << "130000001" << true << "130000001";
    QTest::newRow("#BonNrBarcode#") << "#BonNrBarcode#"
                                    << "13130000001" << true << "13130000001";
    QTest::newRow("#WertBarCode# between blanks")
            << "  #WertBarCode# "
            << "000100000000100000" << true << "000100000000100000";
    QTest::newRow("#FaPosBarcode#") << "#FaPosBarcode#"
                                    << "0001000000001000002222" << true << "0001000000001000002222";
    QTest::newRow("with other text it stays text") << "Nr. #BarCode#"
                                                   << "130000001" << false << "Nr. 130000001";
    QTest::newRow("two placeholders stay text") << "#BarCode##BarCode#"
                                                << "130000001" << false << "130000001130000001";
    QTest::newRow("a number placeholder is no barcode") << "#BelegNr#"
                                                        << "130000001" << false << "130000001";
    QTest::newRow("empty value prints an empty line") << "#BarCode#"
                                                      << "" << false << "";
    QTest::newRow("value Code 128 cannot carry prints as text") << "#BarCode#"
                                                                << "13ä" << false << "13ä";
}

void TestBarcodes::lineOfOnlyABarcodePlaceholderPrintsABarcode()
{
    QFETCH(QString, line);
    QFETCH(QString, value);
    QFETCH(bool, barcode);
    QFETCH(QString, printed);

    TestInstallation::Options options;
    options.workstationId = 3;
    TestInstallation installation(options);
    installation.putList(QStringLiteral("GUTSCHEI"), 3, QStringLiteral("TM-T88"),
                         {"1", line, "Arial", "12", "fett", "mitte"});
    TBonPrinter engine(installation.host(), CAlleBonArten(), -1);
    engine.setWorkstation(3);
    engine.Refresh();
    engine.setOutputEnabled(false);
    for (const char *field : {"BarCode", "BonNrBarcode", "WertBarCode", "FaPosBarcode"})
        engine.document().setText(QString::fromLatin1(field), value);
    engine.document().setText(QStringLiteral("BelegNr"), value);
    engine.KT_DocBegin();
    QVERIFY(engine.printSection(QStringLiteral("GUTSCHEI")));
    engine.KT_DocEnd();

    QList<JobItem> items;
    for (const JobItem &i : engine.lastJob().items) {
        if (i.section == QLatin1String("GUTSCHEI"))
            items << i;
    }
    QCOMPARE(items.size(), 1);
    QCOMPARE(items.first().kind, barcode ? JobItem::Kind::Barcode : JobItem::Kind::Text);
    QCOMPARE(items.first().text.trimmed(), printed);
    // The line's alignment and font go with it (the font for the characters below the bars).
    QCOMPARE(items.first().alignment, Qt::Alignment(Qt::AlignHCenter));
    QCOMPARE(items.first().fontName, QStringLiteral("Arial"));
}

void TestBarcodes::printerCommandBytes_data()
{
    QTest::addColumn<int>("dotWidth");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QString>("font");
    QTest::addColumn<QByteArray>("bytes"); // after the job's first modes, to the code's line end
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("bars"); // in the virtual printer's picture; -1: printed as text
    QTest::addColumn<int>("width");

    // GS h 96 (1D 68 60): bars 96 dots high; GS w n (1D 77 n): n dots per module; GS H 2
    // (1D 48 02): characters below; GS f 0 (1D 66 00): in font A; GS k 73 n d1..dn (1D 6B 49):
    // Code 128, n data bytes starting with the code set, "{B" (7B 42) or "{C" (7B 43).
    const QByteArray setUp = hex("1D 68 60");
    const QByteArray hri = hex("1D 48 02 1D 66 00");
    // 9 digits in code set B: start, 9, check = 11 characters, 37 bars, 134 modules.
    QTest::newRow("odd number of digits, code set B, centred")
            << 576 << "130000001" << int(Qt::AlignHCenter) << "13.3 cpi"
            << QByteArray(hex("1B 61 31") + setUp + hex("1D 77 02") + hri
                          + hex("1D 6B 49 0B 7B 42 31 33 30 30 30 30 30 30 31 0D 0A"))
            << QStringList{"[Barcode 130000001]", ""} << 37 << 268;
    // 18 digits in code set C, two per byte: 00 01 00 00 00 00 10 00 00; 11 characters.
    QTest::newRow("even number of digits, code set C, right")
            << 576 << "000100000000100000" << int(Qt::AlignRight) << "13.3 cpi"
            << QByteArray(hex("1B 61 32") + setUp + hex("1D 77 02") + hri
                          + hex("1D 6B 49 0B 7B 43 00 01 00 00 00 00 0A 00 00 0D 0A"))
            << QStringList{"[Barcode 000100000000100000]", ""} << 37 << 268;
    // 19 digits in code set B: 21 characters, 244 modules; two dots each exceed 384 dots.
    QTest::newRow("one dot per module where two do not fit")
            << 384 << "1234567890123456789" << int(Qt::AlignLeft) << "13.3 cpi"
            << QByteArray(hex("1B 61 30") + setUp + hex("1D 77 01") + hri
                          + hex("1D 6B 49 15 7B 42 31 32 33 34 35 36 37 38 39 30 31 32 33 34 35 "
                                "36 37 38 39 0D 0A"))
            << QStringList{"[Barcode 1234567890123456789]", ""} << 67 << 244;
    // "{" starts a code set selector, so it is sent twice: 5 characters, 68 modules.
    QTest::newRow("brace is doubled") << 576 << "A{1" << int(Qt::AlignLeft) << "13.3 cpi"
                                      << QByteArray(hex("1B 61 30") + setUp + hex("1D 77 02") + hri
                                                    + hex("1D 6B 49 06 7B 42 41 7B 7B 31 0D 0A"))
                                      << QStringList{"[Barcode A{1]", ""} << 19 << 136;
    // The font and code page the job began with still hold: the text in code page 858.
    QTest::newRow("not ASCII: text")
            << 576 << "13ä" << int(Qt::AlignLeft) << "13.3 cpi"
            << QByteArray(hex("1B 61 30 31 33 84 0D 0A")) << QStringList{"13ä"} << -1 << 0;
    // 35 characters: 37 characters of 11 modules and the stop, 420 modules > 384 dots.
    QTest::newRow("wider than the paper at one dot: text")
            << 384 << "ABCDEFGHIJKLMNOPQRSTUVWXYZ123456789" << int(Qt::AlignLeft) << "16 cpi"
            << QByteArray(hex("1B 21 01 1B 61 30") + "ABCDEFGHIJKLMNOPQRSTUVWXYZ123456789"
                          + hex("0D 0A"))
            << QStringList{"ABCDEFGHIJKLMNOPQRSTUVWXYZ123456789"} << -1 << 0;
}

void TestBarcodes::printerCommandBytes()
{
    QFETCH(int, dotWidth);
    QFETCH(QString, value);
    QFETCH(int, alignment);
    QFETCH(QString, font);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(int, bars);
    QFETCH(int, width);

    // A left-aligned text line in the same font after the barcode: the printer's state is
    // tracked through it.
    const JobItem barcode = item(JobItem::Kind::Barcode, value, Qt::Alignment(alignment), font);
    PrintJob job;
    job.items << barcode << item(JobItem::Kind::Text, "Danke", Qt::AlignLeft, font) << cut();
    EscPosSettings settings;
    settings.dotWidth = dotWidth;
    const EscPosResult result =
            EscPosEncoder(printerRecordFromPreset(QStringLiteral("TM-T88")), settings).encode(job);

    const bool asText = bars < 0;
    const bool left = barcode.alignment == Qt::AlignLeft;
    // The preset does not initialise the printer: the job sets its font and code page itself,
    // and a mode once sent is not sent again (a barcode leaves them as they were). The preset's
    // cutter feeds to its own cutting position (GS V 66 0).
    const QByteArray expected = hex("1B 21 00 1B 74 13") + bytes
                                + (left ? QByteArray() : hex("1B 61 30")) + "Danke"
                                + hex("0D 0A 1D 56 42 00");
    QCOMPARE(result.bytes.toHex(' '), expected.toHex(' '));

    // A stream cut off anywhere is read as far as it goes (valgrind or the fuzz target see any
    // read past its end).
    for (qsizetype cut = 1; cut < result.bytes.size(); ++cut) {
        VirtualEscPosPrinter part(dotWidth);
        part.feed(result.bytes.left(cut));
        QVERIFY(!part.picture().isNull());
    }
    VirtualEscPosPrinter printer(dotWidth);
    printer.feed(result.bytes);
    QCOMPARE(printer.lines(), lines + QStringList({"Danke", "[Schnitt]"}));
    QVERIFY(printer.unknownCommands().isEmpty());
    if (asText)
        return;
    // The bars, 96 dots high from the top of the strip (10 dots), at the module width sent.
    const QImage picture = printer.picture();
    const Bars drawn = barsOnRow(picture, 10 + 48);
    QCOMPARE(drawn.count, bars);
    QCOMPARE(drawn.right - drawn.left, width);
    const int expectedLeft = 10
                             + (barcode.alignment == Qt::AlignHCenter ? (dotWidth - width) / 2
                                : barcode.alignment == Qt::AlignRight ? dotWidth - width
                                                                      : 0);
    QCOMPARE(drawn.left, expectedLeft);
    // The characters below the bars.
    int ink = 0;
    for (int y = 10 + 96; y < 10 + 96 + 24; ++y)
        ink += barsOnRow(picture, y).count;
    QVERIFY(ink > 0);
}

void TestBarcodes::virtualPrinterReadsPastOtherAndCutOffBarcodes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("format 1 up to NUL (CODE39)")
            << QByteArray(hex("1D 6B 04") + "A\nB" + hex("00") + "X\n") << QStringList{"X"};
    QTest::newRow("format 2 of another kind (CODE39)")
            << QByteArray(hex("1D 6B 45 03") + "A\nB" + "X\n") << QStringList{"X"};
    QTest::newRow("format 2 data cut off")
            << hex("1D 6B 49 0B 7B 42 31 33") << QStringList{"[Barcode 13]"};
    QTest::newRow("format 2 length cut off") << hex("1D 6B 49") << QStringList{};
    QTest::newRow("kind cut off") << hex("1D 6B") << QStringList{};
    QTest::newRow("code set C byte above 99 is left out")
            << hex("1D 6B 49 05 7B 43 0C 64 22 0A") << QStringList{"[Barcode 1234]", ""};
}

void TestBarcodes::virtualPrinterReadsPastOtherAndCutOffBarcodes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    VirtualEscPosPrinter printer;
    printer.feed(bytes);
    QCOMPARE(printer.lines(), lines);
    QVERIFY(!printer.picture().isNull());
}

void TestBarcodes::graphicModeDrawsTheBars_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("bars");
    QTest::addColumn<int>("modules"); // -1: narrowed to the paper

    // One layout pixel (1/96 inch) per module while the code fits the paper.
    QTest::newRow("9 digits, code set B") << "130000001" << int(Qt::AlignLeft) << 96.0 << 37 << 134;
    QTest::newRow("11 digits, code set B, centred at 300 dpi")
            << "13130000001" << int(Qt::AlignHCenter) << 300.0 << 43 << 156;
    // In code set B the 18 digits would be 20 characters, 64 bars.
    QTest::newRow("18 digits, code set C, right")
            << "000100000000100000" << int(Qt::AlignRight) << 96.0 << 37 << 134;
    QTest::newRow("22 digits, code set C, at 203 dpi")
            << "0001000000001000002222" << int(Qt::AlignLeft) << 203.0 << 43 << 156;
    // 420 modules on 7.2 cm (272 layout pixels), drawn at 600 dpi where narrow bars stay apart.
    QTest::newRow("wider than the paper is narrowed to it")
            << "ABCDEFGHIJKLMNOPQRSTUVWXYZ123456789" << int(Qt::AlignHCenter) << 600.0 << 115 << -1;
}

void TestBarcodes::graphicModeDrawsTheBars()
{
    QFETCH(QString, value);
    QFETCH(int, alignment);
    QFETCH(double, dpi);
    QFETCH(int, bars);
    QFETCH(int, modules);

    PrintJob job; // no page setup: 7.2 cm printable
    job.items << item(JobItem::Kind::Barcode, value, Qt::Alignment(alignment), QString()) << cut();
    const QImage picture = renderJobToImage(job, dpi);
    const int margin = 12; // the picture's margin around the strip
    const int paper = int(7.2 * dpi / 2.54);
    // 20 layout pixels down lies inside the 1.2 cm bars.
    const Bars drawn = barsOnRow(picture, margin + int(20 * dpi / 96));
    QCOMPARE(drawn.count, bars);
    const int span = drawn.right - drawn.left;
    if (modules > 0)
        QVERIFY2(qAbs(span - modules * dpi / 96) <= 2, qPrintable(QString::number(span)));
    else
        QVERIFY2(span <= paper && span > paper - 3, qPrintable(QString::number(span)));
    const int before = drawn.left - margin;
    const int after = margin + paper - drawn.right;
    if (alignment == Qt::AlignLeft)
        QCOMPARE(before, 0);
    else if (alignment == Qt::AlignRight)
        QVERIFY2(after >= 0 && after <= 1, qPrintable(QString::number(after)));
    else
        QVERIFY2(qAbs(before - after) <= 2 * dpi / 96 + 1, qPrintable(QString::number(after)));
}

void TestBarcodes::pdfHasVectorBarsAndTheDigits()
{
    PrintJob job;
    job.mode = QStringLiteral("G");
    job.paperWidthCm = 8.0;
    job.leftMarginCm = 0.4;
    job.rightMarginCm = 0.4;
    job.items << item(JobItem::Kind::Text, "Gutschein", Qt::AlignHCenter, QString())
              << item(JobItem::Kind::Barcode, "130000001", Qt::AlignHCenter, QString()) << cut();
    QTemporaryDir dir;
    const QString file = dir.filePath("bon.pdf");
    ComputerConfig config;
    const OutputResult written = PrintOutput(config).writePdf(job, file);
    QVERIFY2(written.ok, qPrintable(written.error));

    const auto run = [](const QString &program, const QStringList &arguments) {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(20000) || process.exitCode() != 0)
            return QStringLiteral("%1 failed (poppler-utils is needed)").arg(program);
        return QString::fromUtf8(process.readAllStandardOutput());
    };
    const QString text = run(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
    QVERIFY2(text.contains(QStringLiteral("130000001")), qPrintable(text));
    // The bars are rectangles, not a picture that a printer would blur: the PDF has no image.
    const QStringList images = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), file})
                                       .split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(images.size(), 2); // the list's two heading lines
}

QTEST_MAIN(TestBarcodes)
#include "tst_barcodes.moc"
