// QR codes: the printer's own command written by hand from the command reference, the raster
// picture for printers without it, the drawn symbol of graphic mode, PNG and PDF, and what a
// value that makes no code prints. Every code is read back by zbarimg, as a phone would read
// the paper, and must give the value exactly.
#include "core/engine/bonprinter.h"
#include "core/format/deviceformats.h"
#include "core/format/devicepresets.h"
#include "core/format/printercapabilities.h"
#include "core/model/hosttables.h"
#include "core/model/sampledocument.h"
#include "core/output/escpos.h"
#include "core/output/printoutput.h"
#include "core/output/virtualprinter.h"
#include "tests/support/testinstallation.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// Receipt data as a German till's security device signs them: about 300 characters.
QString fiscalValue()
{
    QByteArray signature;
    QByteArray key;
    for (int i = 0; i < 64; ++i)
        signature += char((i * 37 + 11) & 0xFF);
    for (int i = 0; i < 97; ++i)
        key += char((i * 53 + 7) & 0xFF);
    return QStringLiteral("V0;Kasse1;Kassenbeleg-V1;Beleg^75.33_7.99_0.00_0.00_0.00^10.00:Bar_"
                          "5.00:Bar:CHF;4711;1234;2026-12-09T17:48:03.000Z;"
                          "2026-12-09T17:48:05.000Z;ecdsa-plain-SHA384;unixTime;")
           + QString::fromLatin1(signature.toBase64()) + u';' + QString::fromLatin1(key.toBase64());
}

JobItem qrItem(const QString &value, Qt::Alignment alignment, QrCode::Options options = {})
{
    JobItem i;
    i.kind = JobItem::Kind::QrCode;
    i.text = value;
    i.alignment = alignment;
    i.qr = options;
    return i;
}

JobItem textItem(const QString &text)
{
    JobItem i;
    i.text = text;
    return i;
}

PrintJob graphicJob(const QList<JobItem> &items, double paperCm = 8.0)
{
    PrintJob job;
    job.mode = QStringLiteral("G");
    job.paperWidthCm = paperCm;
    job.leftMarginCm = 0.4;
    job.rightMarginCm = 0.4;
    job.items << textItem(QStringLiteral("Summe 75,33")) << items << textItem("Danke");
    return job;
}

QStringList printerRecord(const QString &preset, bool qrCommands, bool raster)
{
    const LayoutFormat &format = printerRecordFormat();
    FieldValues values = format.decodeAvailable(printerRecordFromPreset(preset));
    values.insert(PrinterCapability::QrCodes, qrCommands ? "1" : "0");
    values.insert(PrinterCapability::Raster, raster ? "1" : "0");
    return format.encode(values);
}

QString run(const QString &program, const QStringList &arguments, QString *problem)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) {
        *problem = program + QStringLiteral(" did not finish");
        return {};
    }
    if (process.exitCode() != 0)
        *problem = QStringLiteral("%1 exit %2: %3")
                           .arg(program)
                           .arg(process.exitCode())
                           .arg(QString::fromLocal8Bit(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The codes zbarimg finds in a picture file, one text each.
QStringList scan(const QString &file)
{
    QString problem;
    const QString out = run(QStringLiteral("zbarimg"),
                            {QStringLiteral("--raw"), QStringLiteral("-q"),
                             QStringLiteral("-Sdisable"), QStringLiteral("-Sqrcode.enable"), file},
                            &problem);
    if (out.isEmpty())
        return {problem};
    QString text = out;
    if (text.endsWith(u'\n'))
        text.chop(1);
    return {text};
}

QStringList scan(const QImage &picture, const QTemporaryDir &dir)
{
    const QString file = dir.filePath(QStringLiteral("scan.png"));
    if (!picture.save(file))
        return {QStringLiteral("could not save the picture")};
    return scan(file);
}

// The printed text of a job that a printer could not make a code of, without the lines around.
QString printedText(const QStringList &lines)
{
    return lines.mid(1, lines.size() - 2).join(QString());
}

} // namespace

class TestQrCodes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void lineOfOnlyAQrPlaceholderPrintsAQrCode_data();
    void lineOfOnlyAQrPlaceholderPrintsAQrCode();
    void printerCommandBytes_data();
    void printerCommandBytes();
    void everyOutputScansToTheValue_data();
    void everyOutputScansToTheValue();
    void aValueThatMakesNoCodePrintsItsText_data();
    void aValueThatMakesNoCodePrintsItsText();
    void printerRecordKeepsModuleSizeAndLevel();
    void virtualPrinterReadsPastCutOffAndOtherSymbols();
};

void TestQrCodes::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty())
        QSKIP("zbarimg is missing (Debian package zbar-tools, scripts/install-deps.sh)");
}

void TestQrCodes::lineOfOnlyAQrPlaceholderPrintsAQrCode_data()
{
    QTest::addColumn<int>("workstation"); // 3 prints in graphic mode, 4 in text mode
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("field"); // whose value the code carries; empty: printed as text
    QTest::addColumn<QString>("moduleDots");
    QTest::addColumn<QString>("notice"); // part of what the preview says; empty: nothing

    QTest::newRow("TSE data, graphic") << 3 << "#TSE-QR#"
                                       << "TSE-QR"
                                       << ""
                                       << "";
    QTest::newRow("RKSV code with blanks around, graphic") << 3 << "  #RKSV-QR# "
                                                           << "RKSV-Code"
                                                           << ""
                                                           << "";
    QTest::newRow("TSE data, text mode") << 4 << "#TSE-QR#"
                                         << "TSE-QR"
                                         << ""
                                         << "";
    QTest::newRow("with other text: no code") << 3 << "TSE: #TSE-QR#"
                                              << ""
                                              << ""
                                              << "";
    // 12 dots a module: the demo's receipt data make a code wider than 80 mm paper.
    QTest::newRow("too wide, graphic") << 3 << "#TSE-QR#"
                                       << ""
                                       << "12"
                                       << "breit";
    QTest::newRow("too wide, text mode") << 4 << "#TSE-QR#"
                                         << ""
                                         << "12"
                                         << "breit";
}

void TestQrCodes::lineOfOnlyAQrPlaceholderPrintsAQrCode()
{
    QFETCH(int, workstation);
    QFETCH(QString, line);
    QFETCH(QString, field);
    QFETCH(QString, moduleDots);
    QFETCH(QString, notice);

    TestInstallation::Options options;
    options.workstationId = workstation;
    TestInstallation installation(options);
    const QString preset = workstation == 4 ? QStringLiteral("TM-T88T") : QStringLiteral("TM-T88");
    if (!moduleDots.isEmpty()) {
        const LayoutFormat &format = printerRecordFormat();
        FieldValues printer = format.decodeAvailable(printerRecordFromPreset(preset));
        printer.insert(PrinterCapability::QrModuleDots, moduleDots);
        installation.putList(QStringLiteral("AKTBONDR"), workstation, QStringLiteral("AKTIV"),
                             format.encode(printer));
    }
    installation.putList(QStringLiteral("GUTSCHEI"), workstation, preset,
                         {"1", line, "Arial", "12", "normal", "mitte"});
    TBonPrinter engine(installation.host(), CAlleBonArten(), -1);
    engine.setWorkstation(workstation);
    engine.Refresh();
    engine.setOutputEnabled(false);
    engine.setDocument(sampleDocument(0.94, QStringLiteral("EUR"), QStringLiteral("CHF"),
                                      QDateTime(QDate(2026, 12, 9), QTime(17, 48, 3))));
    const QString value =
            engine.document().text(field.isEmpty() ? QStringLiteral("TSE-QR") : field);
    QVERIFY(value.size() > 100);

    // What prints: one code of the value, or the line as text.
    engine.KT_DocBegin();
    QVERIFY(engine.printSection(QStringLiteral("GUTSCHEI")));
    engine.KT_DocEnd();
    QList<JobItem> items;
    for (const JobItem &i : engine.lastJob().items) {
        if (i.section == QLatin1String("GUTSCHEI"))
            items << i;
    }
    if (!field.isEmpty()) {
        QCOMPARE(items.size(), 1);
        QCOMPARE(items.first().kind, JobItem::Kind::QrCode);
        QCOMPARE(items.first().text, value);
        QCOMPARE(items.first().alignment, Qt::Alignment(Qt::AlignHCenter));
    } else {
        QString printed;
        for (const JobItem &i : items) {
            QCOMPARE(i.kind, JobItem::Kind::Text);
            printed += i.text;
        }
        QVERIFY2(printed.remove(u' ').contains(QString(value).remove(u' ')), qPrintable(printed));
    }

    // What the editor's preview shows of the line, and what it says.
    const LinePreview preview =
            engine.previewLine({line, "Arial", "12", "normal", "mitte"}, "GUTSCHEI", false);
    QVERIFY2(notice.isEmpty() ? preview.notice.isEmpty() : preview.notice.contains(notice),
             qPrintable(preview.notice));
    if (field.isEmpty())
        return;
    if (workstation == 4)
        QCOMPARE(preview.rows, QStringList{QStringLiteral("[QR-Code %1]").arg(value)});
    QTemporaryDir dir;
    QCOMPARE(scan(preview.picture, dir), QStringList{value});
}

void TestQrCodes::printerCommandBytes_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("moduleDots");
    QTest::addColumn<char>("level");
    QTest::addColumn<QByteArray>("bytes"); // from the justification to the feed after the code

    // GS ( k pL pH cn fn ...: cn 49 (31) is QR Code; fn 65 (41) model 2 (32 00), fn 67 (43)
    // module size, fn 69 (45) error correction 48..51 (L, M, Q, H), fn 80 (50) m 48 (30) and
    // the data, pL pH = data + 3, fn 81 (51) m 48 prints. ESC J 24 (1B 4A 18) feeds the 3 mm
    // quiet zone at 8 dots per mm above and below.
    const QByteArray model = hex("1D 28 6B 04 00 31 41 32 00");
    const QByteArray store = hex("1D 28 6B 0B 00 31 50 30") + "Kassotyp";
    const QByteArray print = hex("1D 28 6B 03 00 31 51 30");
    const QByteArray feed = hex("1B 4A 18");
    QTest::newRow("centred, 4 dots, M")
            << int(Qt::AlignHCenter) << 4 << 'M'
            << QByteArray(hex("1B 61 31") + feed + model + hex("1D 28 6B 03 00 31 43 04")
                          + hex("1D 28 6B 03 00 31 45 31") + store + print + feed);
    // Left: the print area starts after the quiet zone (GS L 24 0) and is set back after.
    QTest::newRow("left, 3 dots, L")
            << int(Qt::AlignLeft) << 3 << 'L'
            << QByteArray(feed + hex("1D 4C 18 00") + model + hex("1D 28 6B 03 00 31 43 03")
                          + hex("1D 28 6B 03 00 31 45 30") + store + print + hex("1D 4C 00 00")
                          + feed);
    // Right: the print area ends before the quiet zone (GS W 544 = 20 02), then all 576 dots
    // (40 02) again. 8 dots a module make a quiet zone of 4 modules, 32 dots (20).
    QTest::newRow("right, 8 dots, H")
            << int(Qt::AlignRight) << 8 << 'H'
            << QByteArray(hex("1B 61 32 1B 4A 20 1D 57 20 02") + model
                          + hex("1D 28 6B 03 00 31 43 08") + hex("1D 28 6B 03 00 31 45 33") + store
                          + print + hex("1D 57 40 02 1B 4A 20"));
}

void TestQrCodes::printerCommandBytes()
{
    QFETCH(int, alignment);
    QFETCH(int, moduleDots);
    QFETCH(char, level);
    QFETCH(QByteArray, bytes);

    QrCode::Options options;
    options.moduleDots = moduleDots;
    options.level = level;
    PrintJob job;
    job.items << qrItem(QStringLiteral("Kassotyp"), Qt::Alignment(alignment), options)
              << textItem("Danke");
    EscPosSettings settings;
    const EscPosResult result =
            EscPosEncoder(printerRecord(QStringLiteral("TM-T88"), true, true), settings)
                    .encode(job);
    QVERIFY2(result.bytes.contains(bytes), qPrintable(result.bytes.toHex(' ')));

    VirtualEscPosPrinter printer;
    printer.feed(result.bytes);
    QVERIFY(printer.lines().contains(QStringLiteral("[QR-Code Kassotyp]")));
    QVERIFY2(printer.unknownCommands().isEmpty(), qPrintable(printer.unknownCommands().join(u' ')));
    QTemporaryDir dir;
    QCOMPARE(scan(printer.picture(), dir), QStringList{"Kassotyp"});

    // The symbol keeps the quiet zone from the edge it is aligned to (the picture has a margin
    // of 10 dots): the first and last dark columns of its rows, below the quiet zone fed.
    const QImage strip = printer.picture();
    const int quiet = options.quietZoneDots();
    const int top = 10 + quiet;
    const int height = QrCode::encode("Kassotyp", level).size * moduleDots;
    int firstDark = strip.width();
    int lastDark = -1;
    for (int y = top; y < top + height; ++y) {
        for (int x = 0; x < strip.width(); ++x) {
            if (qGray(strip.pixel(x, y)) < 128) {
                firstDark = qMin(firstDark, x);
                lastDark = qMax(lastDark, x);
            }
        }
    }
    QVERIFY(qGray(strip.pixel(firstDark, top)) < 128); // a finder pattern's corner
    if (alignment == Qt::AlignLeft)
        QCOMPARE(firstDark, 10 + quiet);
    else if (alignment == Qt::AlignRight)
        QCOMPARE(lastDark, 10 + 576 - quiet - 1);
    else
        QCOMPARE(firstDark - 10, 10 + 576 - 1 - lastDark);
}

void TestQrCodes::everyOutputScansToTheValue_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<double>("paperCm");
    QTest::addColumn<int>("alignment");

    QTest::newRow("short, centred, 80 mm") << "Kassotyp" << 8.0 << int(Qt::AlignHCenter);
    QTest::newRow("receipt data, left, 80 mm") << fiscalValue() << 8.0 << int(Qt::AlignLeft);
    QTest::newRow("receipt data, right, 58 mm") << fiscalValue() << 5.8 << int(Qt::AlignRight);
    QTest::newRow("umlauts and euro sign, 58 mm")
            << QStringLiteral("Prüfwert 12,50 € – Grüße") << 5.8 << int(Qt::AlignHCenter);
}

void TestQrCodes::everyOutputScansToTheValue()
{
    QFETCH(QString, value);
    QFETCH(double, paperCm);
    QFETCH(int, alignment);
    QTemporaryDir dir;
    const PrintJob job = graphicJob({qrItem(value, Qt::Alignment(alignment))}, paperCm);
    const QList<JobItem> fitted = fitToWidth(job.items.at(1), job.printableWidthCm(), true);
    QCOMPARE(fitted.size(), 1);
    QCOMPARE(fitted.first().kind, JobItem::Kind::QrCode);

    // The PNG of graphic mode, at the screen's resolution and at the printer's.
    ComputerConfig config;
    const PrintOutput output(config);
    const QString png = dir.filePath(QStringLiteral("bon.png"));
    const OutputResult written = output.writePng(job, png);
    QVERIFY2(written.ok, qPrintable(written.error));
    QCOMPARE(scan(png), QStringList{value});
    QCOMPARE(scan(renderJobToImage(job, 203.2), dir), QStringList{value});

    // The PDF draws the modules as shapes, not as a picture, and its page rendered at the
    // printer's resolution scans.
    const QString pdf = dir.filePath(QStringLiteral("bon.pdf"));
    const OutputResult pdfWritten = output.writePdf(job, pdf);
    QVERIFY2(pdfWritten.ok, qPrintable(pdfWritten.error));
    QString problem;
    const QStringList images =
            run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}, &problem)
                    .split(u'\n', Qt::SkipEmptyParts);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QCOMPARE(images.size(), 2); // the list's two heading lines
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("203"), QStringLiteral("-png"),
         QStringLiteral("-singlefile"), pdf, dir.filePath(QStringLiteral("page"))},
        &problem);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QCOMPARE(scan(dir.filePath(QStringLiteral("page.png"))), QStringList{value});

    // Text mode on the same paper: the printer's command and, without it, the raster picture,
    // both as the virtual printer draws the bytes.
    EscPosSettings settings;
    settings.dotWidth = int((paperCm - 0.8) * 80);
    for (const bool commands : {true, false}) {
        PrintJob text = job;
        text.mode = QStringLiteral("T");
        const EscPosResult encoded =
                EscPosEncoder(printerRecord(QStringLiteral("TM-T88"), commands, true), settings)
                        .encode(text);
        QCOMPARE(encoded.bytes.contains(hex("1D 28 6B")), commands);
        QCOMPARE(encoded.bytes.contains(hex("1D 76 30")), !commands);
        VirtualEscPosPrinter printer(settings.dotWidth);
        printer.feed(encoded.bytes);
        QVERIFY2(printer.unknownCommands().isEmpty(),
                 qPrintable(printer.unknownCommands().join(u' ')));
        QCOMPARE(scan(printer.picture(), dir), QStringList{value});
    }
}

void TestQrCodes::aValueThatMakesNoCodePrintsItsText_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<double>("paperCm");
    QTest::addColumn<QString>("why");

    // About 1000 characters make a symbol that, with its quiet zones, is wider than the 400
    // dots of the 5 cm a 58 mm paper prints on here, though not than the 576 dots of 80 mm.
    const QString long1000 = fiscalValue().repeated(4).left(1000);
    QTest::newRow("too wide for 58 mm") << long1000 << 5.8 << "breit";
    // More than a QR code holds at all.
    QTest::newRow("more than a QR code holds")
            << QString(3000, u'x') + QStringLiteral(";end") << 8.0 << "fasst";
}

void TestQrCodes::aValueThatMakesNoCodePrintsItsText()
{
    QFETCH(QString, value);
    QFETCH(double, paperCm);
    QFETCH(QString, why);

    const QrCode::Options options;
    const int dots = options.dotsAcross(paperCm - 0.8);
    const QString problem = QrCode::problem(value, options, dots);
    QVERIFY2(problem.contains(why) && problem.contains(QStringLiteral("als Text gedruckt")),
             qPrintable(problem));
    if (why == QLatin1String("breit"))
        QVERIFY(QrCode::problem(value, options, options.dotsAcross(7.2)).isEmpty());

    // Graphic mode: the value in lines that fit the paper, nothing lost, no code in the picture.
    PrintJob job = graphicJob({}, paperCm);
    const QList<JobItem> fitted =
            fitToWidth(qrItem(value, Qt::AlignHCenter), job.printableWidthCm(), true);
    job.items = QList<JobItem>{job.items.first()} + fitted + QList<JobItem>{job.items.last()};
    QVERIFY(job.items.size() > 3);
    for (const JobItem &line : job.items) {
        QCOMPARE(line.kind, JobItem::Kind::Text);
        QVERIFY2(lineFits(line, job.printableWidthCm()), qPrintable(line.text));
    }
    QCOMPARE(printedText(job.texts()), value);
    QTemporaryDir dir;
    QCOMPARE(scan(renderJobToImage(job, 203.2), dir).value(0).contains(QStringLiteral("exit 4")),
             true);

    // Text mode, given the code itself: the printer gets the characters, broken at its columns.
    PrintJob text;
    text.mode = QStringLiteral("T");
    text.items << textItem("Summe") << qrItem(value, Qt::AlignHCenter) << textItem("Danke");
    EscPosSettings settings;
    settings.dotWidth = dots;
    const EscPosResult encoded =
            EscPosEncoder(printerRecord(QStringLiteral("TM-T88"), true, true), settings)
                    .encode(text);
    QVERIFY(!encoded.bytes.contains(hex("1D 28 6B")));
    VirtualEscPosPrinter printer(dots);
    printer.feed(encoded.bytes);
    QCOMPARE(printedText(printer.lines()), value);
}

void TestQrCodes::printerRecordKeepsModuleSizeAndLevel()
{
    const LayoutFormat &format = printerRecordFormat();
    FieldValues values = format.decodeAvailable(printerRecordFromPreset(QStringLiteral("TM-T88")));
    // A record that says nothing: 4 dots, level M, at the record's resolution.
    QrCode::Options expected;
    QCOMPARE(capabilitiesOf(format.encode(values)).qrOptions(), expected);

    values.insert(PrinterCapability::QrModuleDots, QStringLiteral("6"));
    values.insert(PrinterCapability::QrErrorCorrection, QStringLiteral("Q"));
    values.insert(PrinterCapability::DotsPerMm, QStringLiteral("11,8"));
    const QStringList stored = format.encode(values);
    expected = {6, 11.8, 'Q'};
    QCOMPARE(capabilitiesOf(stored).qrOptions(), expected);
    // What the record keeps is what it was given.
    const FieldValues kept = capabilitiesOf(stored).storedValues();
    QCOMPARE(kept.value(PrinterCapability::QrModuleDots), QStringLiteral("6"));
    QCOMPARE(kept.value(PrinterCapability::QrErrorCorrection), QStringLiteral("Q"));

    // Sizes the printer's command does not take are refused when saved, and a damaged record
    // prints with the defaults.
    for (const char *bad : {"0", "17", "4,5", "vier"}) {
        QVERIFY2(!qrModuleProblem(QString::fromLatin1(bad)).isEmpty(), bad);
        values.insert(PrinterCapability::QrModuleDots, QString::fromLatin1(bad));
        values.insert(PrinterCapability::QrErrorCorrection, QStringLiteral("X"));
        const QrCode::Options read = capabilitiesOf(format.encode(values)).qrOptions();
        QCOMPARE(read.moduleDots, QrCode::DefaultModuleDots);
        QCOMPARE(read.level, QrCode::DefaultLevel);
    }
    QVERIFY(qrModuleProblem(QString()).isEmpty());
    QVERIFY(qrModuleProblem(QStringLiteral("16")).isEmpty());
}

void TestQrCodes::virtualPrinterReadsPastCutOffAndOtherSymbols()
{
    // A PDF417 (cn 48) is read past; a QR code cut off in its data prints nothing; the text
    // after each is printed.
    VirtualEscPosPrinter other;
    other.feed(hex("1D 28 6B 04 00 30 50 30 41") + "X\n");
    QCOMPARE(other.lines(), QStringList{"X"});
    VirtualEscPosPrinter cut;
    cut.feed(hex("1D 28 6B 0B 00 31 50 30") + "Kasso");
    QVERIFY(cut.lines().isEmpty());
    QVERIFY(!cut.picture().isNull());
    // Printing with nothing stored prints no code.
    VirtualEscPosPrinter empty;
    empty.feed(hex("1D 28 6B 03 00 31 51 30") + "X\n");
    QCOMPARE(empty.lines(), (QStringList{"[QR-Code nicht gedruckt]", "X"}));
}

QTEST_MAIN(TestQrCodes)
#include "tst_qrcodes.moc"
