// What a till's printer can do and how wide its line is: the text-mode line follows the page
// setup and the printer's resolution in every output, the PDF of a text-mode till carries every
// word of its ESC/POS, a printer without pictures or barcode commands is sent none, logos print
// by the editors' rule, and the extended printer record survives the store.
#include "core/engine/bonprinter.h"
#include "core/engine/testprints.h"
#include "core/format/devicepresets.h"
#include "core/format/pagesetup.h"
#include "core/format/printercapabilities.h"
#include "core/model/hosttables.h"
#include "core/model/sampledocument.h"
#include "core/output/printoutput.h"
#include "core/output/virtualprinter.h"
#include "tests/support/pdftext.h"
#include "tests/support/testinstallation.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int GraphicTill = 3; // "Kasse 1" on the template printer TM-T88
constexpr int TextTill = 4;    // "Kasse 2" on a thermal printer in text mode
const QDateTime Now(QDate(2024, 5, 17), QTime(10, 30));

TestInstallation::Options on(int workstation)
{
    TestInstallation::Options options;
    options.workstationId = workstation;
    return options;
}

std::unique_ptr<TBonPrinter> engineOf(TestInstallation &installation)
{
    Host &host = installation.host();
    auto engine = std::make_unique<TBonPrinter>(host, CAlleBonArten(), -1);
    engine->setDocument(sampleDocument(1.0, QStringLiteral("EUR"), QStringLiteral("CHF"), Now));
    return engine;
}

// A preset's printer record with some of its positions changed.
QStringList printerRecord(const QString &preset, const FieldValues &changes)
{
    FieldValues values = printerRecordFormat().decode(printerRecordFromPreset(preset));
    for (auto it = changes.cbegin(); it != changes.cend(); ++it)
        values.insert(it.key(), it.value());
    return printerRecordFormat().encode(values);
}

// Words of a text; the virtual printer's marks of barcodes and pictures ("[Barcode 123]") are
// no words of the paper.
QStringList words(const QString &text)
{
    static const QRegularExpression mark(QStringLiteral("\\[[^\\]]*\\]"));
    QString plain = text;
    plain.remove(mark);
    return plain.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

JobItem textItem(const QString &text)
{
    JobItem item;
    item.text = text;
    return item;
}

} // namespace

class TestPrinterCapabilities : public QObject
{
    Q_OBJECT

private slots:
    void textLineFollowsPageSetupAndResolution_data();
    void textLineFollowsPageSetupAndResolution();
    void pdfOfTheTextModeTillHoldsEveryWordItsPrinterPrints();
    void printerIsSentOnlyWhatItCanPrint_data();
    void printerIsSentOnlyWhatItCanPrint();
    void logoPrintsInGraphicAndDirectTextModeOnly_data();
    void logoPrintsInGraphicAndDirectTextModeOnly();
    void capabilitiesOfOlderRecordsComeFromTheirPreset_data();
    void capabilitiesOfOlderRecordsComeFromTheirPreset();
    void extendedPrinterRecordSurvivesTheStore();
};

void TestPrinterCapabilities::textLineFollowsPageSetupAndResolution_data()
{
    QTest::addColumn<QString>("printer");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("dots"); // --dots= of the computer, empty: none
    QTest::addColumn<int>("expectedDots");
    QTest::addColumn<int>("fontAColumns");

    // 8,00 cm paper less 2 x 0,40 cm margins at 8 dots per mm.
    QTest::newRow("thermal, 80 mm roll") << "TM-T88T"
                                         << "TM-T88T"
                                         << "" << 576 << 48;
    // The same printer on a page setup of 6,52 cm printable: 521 dots, not 576.
    QTest::newRow("thermal, 6,52 cm page") << "TM-T88T"
                                           << "TM-T88"
                                           << "" << 521 << 43;
    // 6,30 cm at 6,3 dots per mm: 396 dots, 33 characters of 12 dots (13.3 cpi).
    QTest::newRow("impact, 6,30 cm page") << "TM-U200BT"
                                          << "TM-U200BT"
                                          << "" << 396 << 33;
    QTest::newRow("the computer's --dots wins") << "TM-T88T"
                                                << "TM-T88"
                                                << "384" << 384 << 32;
}

// Catches a text-mode line that keeps 576 dots whatever the page setup says, and outputs that
// lay the same till's lines out on different widths.
void TestPrinterCapabilities::textLineFollowsPageSetupAndResolution()
{
    QFETCH(QString, printer);
    QFETCH(QString, page);
    QFETCH(QString, dots);
    QFETCH(int, expectedDots);
    QFETCH(int, fontAColumns);

    TestInstallation::Options options = on(TextTill);
    if (!dots.isEmpty())
        options.positional << QStringLiteral("--dots=") + dots;
    TestInstallation installation(options);
    installation.putList(QStringLiteral("AKTBONDR"), TextTill, QStringLiteral("AKTIV"),
                         printerRecord(printer, {{QStringLiteral("ddcEinstellung"), page}}));
    installation.putList(QStringLiteral("SEITEEIN"), TextTill, page, pageSetupFromPreset(page));
    const std::unique_ptr<TBonPrinter> engine = engineOf(installation);
    QCOMPARE(engine->Kasso_Typ_Get_Modus(), QStringLiteral("T"));

    engine->KT_DocBegin();
    engine->KT_PrintLine(QString(100, u'x'));
    engine->KT_DocEnd();
    const PrintJob &job = engine->lastJob();
    QCOMPARE(job.text.dots, expectedDots);
    QCOMPARE(capabilitiesOf(engine->printerRecord()).columnsFor(3, job.text.dots), fontAColumns);

    // The bytes sent: the printer breaks the 100 characters at its columns of the base font.
    const EscPosEncoder encoder(engine->printerRecord(), engine->output().escPosSettings(job));
    const int columns = encoder.textStyle(job.items.constFirst()).columns(expectedDots);
    const EscPosSettings settings = engine->output().escPosSettings(job);
    VirtualEscPosPrinter paper(settings.dotWidth, settings.fontADots, settings.fontBDots);
    paper.feed(engine->lastOutput().bytes);
    QVERIFY2(paper.lines().contains(QString(columns, u'x')), qPrintable(paper.lines().join(u'\n')));
    QVERIFY(!paper.lines().contains(QString(columns + 1, u'x')));
    QCOMPARE(job.items.constFirst().columns, columns);
}

// Catches a PDF of a text-mode till that is narrower than its printer's line or sets the lines
// in another font than the printer's cells, and so loses words at the right edge.
void TestPrinterCapabilities::pdfOfTheTextModeTillHoldsEveryWordItsPrinterPrints()
{
    TestInstallation installation(on(TextTill));
    const std::unique_ptr<TBonPrinter> engine = engineOf(installation);
    QCOMPARE(engine->Kasso_Typ_Get_Modus(), QStringLiteral("T"));
    QTemporaryDir dir;
    int printed = 0;
    int inPdf = 0;
    QStringList lost;
    for (int type = 1; type <= DocumentTypeCount; ++type) {
        runTestPrint(*engine, type, Now);
        const PrintJob &job = engine->lastJob();
        const EscPosSettings settings = engine->output().escPosSettings(job);
        VirtualEscPosPrinter paper(settings.dotWidth, settings.fontADots, settings.fontBDots);
        paper.feed(engine->lastOutput().bytes);
        const QString file = dir.filePath(QStringLiteral("%1.pdf").arg(type));
        const OutputResult written = engine->output().writePdf(job, file);
        QVERIFY2(written.ok, qPrintable(written.error));

        const QStringList paperWords = words(paper.lines().join(u'\n'));
        QStringList pdfWords = words(pdfLayoutText(file));
        printed += int(paperWords.size());
        inPdf += int(pdfWords.size());
        for (const QString &word : paperWords) {
            if (!pdfWords.removeOne(word))
                lost << QStringLiteral("%1: %2").arg(type).arg(word);
        }
    }
    qInfo("words: ESC/POS %d, PDF %d, ESC/POS words missing from the PDF %d", printed, inPdf,
          int(lost.size()));
    QVERIFY(printed > 1000);
    QVERIFY2(lost.isEmpty(), qPrintable(lost.join(u'\n')));
}

void TestPrinterCapabilities::printerIsSentOnlyWhatItCanPrint_data()
{
    QTest::addColumn<QString>("preset");
    QTest::addColumn<bool>("pictures");
    QTest::addColumn<bool>("barcodes");

    QTest::newRow("impact printer") << "TM-U200BT" << false << false;
    QTest::newRow("thermal printer") << "TM-T88T" << true << true;
}

// Catches GS v 0 and GS k sent to an impact printer, which prints them as rows of garbage.
void TestPrinterCapabilities::printerIsSentOnlyWhatItCanPrint()
{
    QFETCH(QString, preset);
    QFETCH(bool, pictures);
    QFETCH(bool, barcodes);

    PrintJob job;
    job.mode = QStringLiteral("T");
    JobItem picture;
    picture.kind = JobItem::Kind::Picture;
    picture.picture = QImage(80, 40, QImage::Format_RGB32);
    picture.picture.fill(Qt::black);
    picture.widthCm = 1.0;
    picture.heightCm = 0.5;
    JobItem barcode = textItem(QStringLiteral("130000001"));
    barcode.kind = JobItem::Kind::Barcode;
    job.items << textItem(QStringLiteral("Bon")) << picture << barcode;

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("printer"));
    const ComputerConfig config = ComputerConfig::load(
            {QStringLiteral("--config="), QStringLiteral("--log=") + dir.filePath("log.txt"),
             QStringLiteral("--spool=") + dir.filePath("spool"),
             QStringLiteral("--printer-device=") + file});
    const OutputResult sent = PrintOutput(config).printText(job, printerRecordFromPreset(preset));
    QVERIFY2(sent.ok, qPrintable(sent.error));
    QFile written(file);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    QCOMPARE(bytes.contains(QByteArray("\x1D\x76\x30", 3)), pictures);
    QCOMPARE(bytes.contains(QByteArray("\x1D\x6B", 2)), barcodes);
    // Without barcode commands the value prints as its characters.
    if (!barcodes)
        QVERIFY(bytes.contains("130000001"));
}

void TestPrinterCapabilities::logoPrintsInGraphicAndDirectTextModeOnly_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("directPort");
    QTest::addColumn<QString>("raster");
    QTest::addColumn<bool>("logo");

    QTest::newRow("graphic mode") << "1"
                                  << "aus"
                                  << "1" << true;
    QTest::newRow("plain text mode") << "0"
                                     << "aus"
                                     << "1" << false;
    QTest::newRow("direct text mode") << "0"
                                      << "COM1"
                                      << "1" << true;
    QTest::newRow("direct text mode, no pictures") << "0"
                                                   << "COM1"
                                                   << "0" << false;
}

// Catches an engine that prints the logo the header editor neither offers nor keeps: the first
// save of a header on a plain text-mode till removed the logo from its receipts.
void TestPrinterCapabilities::logoPrintsInGraphicAndDirectTextModeOnly()
{
    QFETCH(QString, mode);
    QFETCH(QString, directPort);
    QFETCH(QString, raster);
    QFETCH(bool, logo);

    TestInstallation installation(on(GraphicTill));
    // The template printer's designs, whose receipt header carries the logo.
    installation.putList(QStringLiteral("AKTBONDR"), GraphicTill, QStringLiteral("AKTIV"),
                         printerRecord(QStringLiteral("TM-T88"),
                                       {{QStringLiteral("rgpDruckermodus"), mode},
                                        {QStringLiteral("cmbComPortTextmDirekt"), directPort},
                                        {PrinterCapability::Raster, raster}}));
    const std::unique_ptr<TBonPrinter> engine = engineOf(installation);
    engine->setOutputEnabled(false);
    QCOMPARE(engine->logoPrints(), logo);
    engine->KT_DocBegin();
    engine->KT_Print(QStringLiteral("KT_PrintBonKopf"));
    engine->KT_DocEnd();
    const QList<JobItem> &items = engine->lastJob().items;
    QCOMPARE(std::count_if(items.cbegin(), items.cend(),
                           [](const JobItem &i) { return i.kind == JobItem::Kind::Picture; }),
             logo ? 1 : 0);
    // The header's lines print either way, in their order.
    QVERIFY(engine->lastJob().texts().size() >= 5);
}

void TestPrinterCapabilities::capabilitiesOfOlderRecordsComeFromTheirPreset_data()
{
    QTest::addColumn<QString>("preset");
    QTest::addColumn<bool>("raster");
    QTest::addColumn<bool>("barcodes");
    QTest::addColumn<int>("dotsAt630");

    QTest::newRow("impact printer") << "TM-U200BT" << false << false << 396;
    QTest::newRow("thermal printer") << "TM-T88" << true << true << 504;
    // A printer the program does not know is taken for the common receipt printer.
    QTest::newRow("own printer") << "EIGENER" << true << true << 504;
}

// Catches a record of 47 positions (written before capabilities were kept) read as a printer
// that can do nothing, or as one that can do everything.
void TestPrinterCapabilities::capabilitiesOfOlderRecordsComeFromTheirPreset()
{
    QFETCH(QString, preset);
    QFETCH(bool, raster);
    QFETCH(bool, barcodes);
    QFETCH(int, dotsAt630);

    const QStringList older = printerRecordFromPreset(preset).mid(0, 47);
    const PrinterCapabilities printer = capabilitiesOf(older);
    QCOMPARE(printer.canRaster(), raster);
    QCOMPARE(printer.canBarcode(), barcodes);
    QCOMPARE(printer.dotsAcross(6.30), dotsAt630);
}

// Catches a capability lost or moved on its way through the stored format and the store.
void TestPrinterCapabilities::extendedPrinterRecordSurvivesTheStore()
{
    TestInstallation installation(on(TextTill));
    const QStringList record = printerRecord(
            QStringLiteral("TM-T88T"), {{PrinterCapability::Raster, QStringLiteral("1")},
                                        {PrinterCapability::GraphicsMemory, QStringLiteral("0")},
                                        {PrinterCapability::Barcodes, QStringLiteral("0")},
                                        {PrinterCapability::QrCodes, QStringLiteral("1")},
                                        {PrinterCapability::CodePageList, QStringLiteral("0,16")},
                                        {PrinterCapability::DotsPerMm, QStringLiteral("7,5")},
                                        {PrinterCapability::FontADots, QStringLiteral("10")},
                                        {PrinterCapability::FontBDots, QStringLiteral("8")}});
    QCOMPARE(record.size(), printerRecordFormat().size());
    installation.putList(QStringLiteral("AKTBONDR"), TextTill, QStringLiteral("AKTIV"), record);
    const std::optional<QStringList> stored =
            installation.list(QStringLiteral("AKTBONDR"), TextTill, QStringLiteral("AKTIV"));
    QVERIFY(stored);
    QCOMPARE(*stored, record);
    const PrinterCapabilities printer = capabilitiesOf(*stored);
    QVERIFY(printer.canRaster() && !printer.hasGraphicsMemory() && !printer.canBarcode()
            && printer.canQrCode());
    QCOMPARE(printer.codePages(), (QList<int>{0, 16}));
    QCOMPARE(printer.dotsAcross(7.2), 540);
    QCOMPARE(printer.columnsFor(3, 540), 54); // font A of 10 dots
    QCOMPARE(printer.columnsFor(2, 540), 33); // font B doubled: 16 dots
    // The engine reads it as the printer in use.
    const std::unique_ptr<TBonPrinter> engine = engineOf(installation);
    QCOMPARE(engine->capabilities().storedValues(), printer.storedValues());
}

QTEST_MAIN(TestPrinterCapabilities)
#include "tst_printercapabilities.moc"
