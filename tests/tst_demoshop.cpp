// The demo shop a fresh store starts with: every test print shows its sections and its own
// sample values on both demo printers, no designed line is wider than its paper, the seed
// leaves an existing store alone, and a till set up from the template gets the whole design.
#include "core/app/workstationsetup.h"
#include "core/engine/bonprinter.h"
#include "core/engine/testprints.h"
#include "core/format/pagesetup.h"
#include "core/model/hosttables.h"
#include "core/model/sampledocument.h"
#include "core/output/printoutput.h"
#include "core/output/virtualprinter.h"
#include "core/sections/bonkopfformat.h"
#include "core/sections/cardformat.h"
#include "core/sections/demoshop.h"
#include "core/sections/sectiondispatch.h"
#include "core/sections/sectionprinters.h"
#include "core/sections/sectionregistry.h"
#include "tests/support/pdftext.h"
#include "tests/support/testinstallation.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {

constexpr int GraphicTill = 3; // "Kasse 3" prints on the template printer TM-T88
constexpr int TextTill = 4;    // "Kasse 4" on its own thermal printer TM-T88T in text mode
const QDateTime Now(QDate(2024, 5, 17), QTime(10, 30));

TestInstallation::Options on(int workstation, bool demoShop = true)
{
    TestInstallation::Options options;
    options.workstationId = workstation;
    options.demoShop = demoShop;
    return options;
}

// The engine as the designer prepares it for a test print: the workstation's printer and the
// sample document.
std::unique_ptr<TBonPrinter> engineOf(TestInstallation &installation)
{
    Host &host = installation.host();
    auto engine = std::make_unique<TBonPrinter>(host, CAlleBonArten(), -1);
    OVOProgramm &program = host.program();
    const double factor =
            host.currency().Umrechnen(1.0, program.GetWaehrung2(), program.GetWaehrung());
    engine->setDocument(sampleDocument(factor, program.GetWaehrung(), program.GetWaehrung2(), Now));
    return engine;
}

// Whitespace runs as one blank: values broken over lines still read as they were set.
QString flat(const QString &text)
{
    return text.simplified();
}

QString jobText(const PrintJob &job)
{
    QStringList lines;
    for (const JobItem &item : job.items) {
        if (item.kind == JobItem::Kind::Text || item.kind == JobItem::Kind::Barcode)
            lines << item.text;
    }
    return lines.join(u'\n');
}

// The sections a test print called for, in order, each once.
QStringList calledSections(const QStringList &log)
{
    QStringList sections;
    for (const QString &call : log) {
        const QString kennung = TBonPrinter::sectionOfOperation(call);
        if (!kennung.isEmpty() && !sections.contains(kennung))
            sections << kennung;
    }
    return sections;
}

// Text lines of a job too wide for its paper: in graphic mode measured in the line's font, in
// text mode counted against the columns of its printer font across the till's printable dots.
// Running text may break into more lines in text mode; the printer does that between words.
QStringList tooWide(const PrintJob &job, const QStringList &printerRecord, const QString &mode)
{
    const PrinterCapabilities printer = capabilitiesOf(printerRecord);
    const int dots = textModeDots({job.paperWidthCm, job.leftMarginCm, job.rightMarginCm}, printer);
    EscPosSettings settings;
    settings.fontADots = printer.fontDots(false);
    settings.fontBDots = printer.fontDots(true);
    const EscPosEncoder encoder(printerRecord, settings);
    QStringList wide;
    for (const JobItem &item : job.items) {
        if (item.kind != JobItem::Kind::Text)
            continue;
        const bool fits =
                mode == QLatin1String("G")
                        ? lineFits(item, job.printableWidthCm())
                        : item.wrap || item.text.size() <= encoder.textStyle(item).columns(dots);
        if (!fits)
            wide << item.section + QStringLiteral(": ") + item.text;
    }
    return wide;
}

} // namespace

class TestDemoShop : public QObject
{
    Q_OBJECT

private slots:
    void testPrintShowsSectionsAndSampleValues_data();
    void testPrintShowsSectionsAndSampleValues();
    void noDesignedLineIsWiderThanItsPaper_data();
    void noDesignedLineIsWiderThanItsPaper();
    void seedLeavesAnExistingStoreAlone_data();
    void seedLeavesAnExistingStoreAlone();
    void setupFromTheTemplateCopiesTheWholeDesign_data();
    void setupFromTheTemplateCopiesTheWholeDesign();
    void defaultDesignsShowWhatTheSectionCarries_data();
    void defaultDesignsShowWhatTheSectionCarries();
    void galleryIsCurrent();
};

void TestDemoShop::testPrintShowsSectionsAndSampleValues_data()
{
    QTest::addColumn<int>("workstation");
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("values"); // as printed: amounts 1.234,56, dates DD.MM.YYYY

    const QStringList item2 = {"130000001",
                               "390",
                               "Brandt Derby Classic",
                               "blau-weiß",
                               "Kunststoff",
                               "8-35562",
                               "EBS 461-1101",
                               "Hartmann, Jens",
                               "8473",
                               "0001000000001000002222",
                               "270010007",
                               "10 1/2",
                               "Nordpfad Trekking Pro",
                               "bunt",
                               "Kustfaser",
                               "EBS 523-1101",
                               "Albers, Greta",
                               "8475",
                               "0001000000002000002222"};
    const QStringList receiptItems = {"Derby Classic Wildleder",
                                      "1000/420",
                                      "1000/400",
                                      "2 x",
                                      "239,80",
                                      "130000007/075",
                                      "7 1/2",
                                      "100,00",
                                      "Schönheitsfehler",
                                      "-9,90",
                                      "Personalrabatt",
                                      "-10,00",
                                      "SUMME EUR",
                                      "459,70",
                                      "432,12",
                                      "87,34"};
    const QStringList cashChange = {
            "Bar", "888,88", "Gutschein", "666,66", "Scheck 444,44 CHF", "Sozialschein", "222,22"};
    const QList<QStringList> values = {
            {"Anzahlung 25,25 EUR", "Scheck 20,00", "Bar 10,00", "Gegeben 30,00", "Bar -4,75",
             "Rückgeld -4,75", "In die Buchhaltung werden nur die ersten 20 Zeichen übernommen."},
            item2 + QStringList{"3-26314", "Gesamtmenge: 3"},
            {"EBS 42-1301", "207001153", "XL", "10 x 119,00", "Arbeitszeit Beflockung",
             "2 Std. 100,00", "Textposition", "357,00", "19 % 57,00"},
            {"RES 42-1301 01.02.2013 119,00 EUR", "Lindner, Paula",
             "RES 23-1301 01.03.2013 238,00 EUR", "Sommer, Theo",
             "EBS 10-1301 01.04.2013 42,00 EUR", "Yilmaz, Deniz"},
            {"Einverstanden:", "Lindenhof Sportartikel GmbH"},
            {"Erstattung der MwSt nur gegen Ausfuhrbestätigung."},
            {"Grund: Diebstahl", "Martin Köhler (mkoehler)"},
            {"130000001", "EBS 461-1101", "Hartmann, Jens", "8473", "270010007", "10 1/2",
             "EBS 523-1101", "Albers, Greta", "8475", "Gesamtmenge: 3"},
            {"GS 2-87", "200,00", "17.05.2024 um 10:30:00", "Zahlbetrag 175,00", "BO 2-7989 35,00",
             "BO 12-78441 80,00", "Neuer Wert 85,00"},
            {"Nr. 2-134", "100,00"},
            {"ANFANGSBESTAND 240,00 EUR", "1 Bar 240,00 EUR", "Diebe: Marlene (Username)"},
            cashChange,
            receiptItems + QStringList{"Bar 40,30", "Rückgeld 40,30", "13130000001"},
            cashChange,
            {"Testmail", "An Personal Filiale 2",
             "Bitte dekorieren Sie Ihre Fenster mit der erhaltenen Neuware gemäß der Vorlage im "
             "Anhang um!",
             "Die Geschaäftsführung"},
            {"Kein Verkauf"},
            {"Ausgleichen von Kredit", "aus Gutscheinverkauf 3-32", "100,00"},
            receiptItems + QStringList{"Lederwaren Großhandel Wiesental A34 455", "R 130000001"},
            {"Beanstandet: Riss", "Mangel: Schönheitsfehler", "Regulierung: Nachlass"},
            {"RES 42-1503", "207001153", "Gr. 165", "130000007", "Gr. 400", "Bemerkung"},
            {"Startbeleg"},
            item2 + QStringList{"3-26321"},
            {"05.10.2016", "12:12:00", "Kaution zurückerstatten", "aus Auswahl 3-32", "50,50 EUR",
             "Albers, Greta"},
    };
    for (int workstation : {GraphicTill, TextTill}) {
        for (int type = 1; type <= DocumentTypeCount; ++type) {
            // Every document names its shop and its type.
            QStringList expected = values.at(type - 1);
            expected << QStringLiteral("Schuhhaus Feldmann") << CBelegName(type);
            QTest::addRow("%s %d %s", workstation == GraphicTill ? "graphic" : "text", type,
                          qPrintable(CBelegName(type)))
                    << workstation << type << expected;
        }
    }
}

void TestDemoShop::testPrintShowsSectionsAndSampleValues()
{
    QFETCH(int, workstation);
    QFETCH(int, type);
    QFETCH(QStringList, values);

    TestInstallation installation(on(workstation));
    const std::unique_ptr<TBonPrinter> engine = engineOf(installation);
    const QString mode = workstation == GraphicTill ? QStringLiteral("G") : QStringLiteral("T");
    QCOMPARE(engine->Kasso_Typ_Get_Modus(), mode);
    engine->clearCallLog();
    runTestPrint(*engine, type, Now);
    const PrintJob &job = engine->lastJob();
    const OutputResult &output = engine->lastOutput();
    QVERIFY2(output.ok, qPrintable(output.error));

    // Header, heading, items, sums, end: each section the document calls prints lines.
    for (const QString &section : calledSections(engine->callLog())) {
        const bool printed = std::any_of(job.items.cbegin(), job.items.cend(),
                                         [&](const JobItem &i) { return i.section == section; });
        QVERIFY2(printed, qPrintable(section + QStringLiteral(" printed nothing")));
    }
    // Plain text mode prints no logo; the text-mode designs carry none.
    const bool logo = mode == QLatin1String("G")
                      && demoShopLogoSections().contains(CBelegTyp_2_KennungKopf(type));
    QCOMPARE(std::any_of(job.items.cbegin(), job.items.cend(),
                         [](const JobItem &i) { return i.kind == JobItem::Kind::Picture; }),
             logo);

    // The values as the paper shows them: the job's and the PDF's text, or what the printer
    // makes of the bytes.
    QStringList papers;
    if (mode == QLatin1String("G")) {
        papers << jobText(job) << pdfLayoutText(output.target);
    } else {
        VirtualEscPosPrinter printer;
        printer.feed(output.bytes);
        QVERIFY(printer.unknownCommands().isEmpty());
        papers << printer.lines().join(u'\n');
        QCOMPARE(printer.lines().filter(QStringLiteral("[Bild ")).size(), logo ? 1 : 0);
    }
    for (const QString &paper : papers) {
        QStringList missing;
        for (const QString &value : values) {
            if (!flat(paper).contains(flat(value)))
                missing << value;
        }
        QVERIFY2(missing.isEmpty(),
                 qPrintable(QStringLiteral("missing %1 in:\n%2")
                                    .arg(missing.join(QStringLiteral(" | ")), paper)));
    }
    const QStringList wide = tooWide(job, engine->printerRecord(), mode);
    QVERIFY2(wide.isEmpty(), qPrintable(wide.join(u'\n')));
    QCOMPARE(installation.messages().count(), 0);
}

void TestDemoShop::noDesignedLineIsWiderThanItsPaper_data()
{
    QTest::addColumn<int>("workstation");
    QTest::newRow("graphic TM-T88") << GraphicTill;
    QTest::newRow("text TM-T88T") << TextTill;
}

// Every line of every designed record, filled from the sample document, as the engine prints
// it; the lines a test print never reaches (signature pads, card payments, other line kinds)
// included.
void TestDemoShop::noDesignedLineIsWiderThanItsPaper()
{
    QFETCH(int, workstation);
    TestInstallation installation(on(workstation));
    const std::unique_ptr<TBonPrinter> engine = engineOf(installation);
    const QString key = engine->Kasso_Typ_Get_LayoutPrinterKey();
    const PageGeometry page = pageGeometry(engine->_Get_PrinterPageSetup());
    PrintJob job;
    job.paperWidthCm = page.paperWidthCm;
    job.leftMarginCm = page.leftMarginCm;
    job.rightMarginCm = page.rightMarginCm;
    int records = 0;
    for (const LayoutRecord &record : installation.host().layouts().records({0, 0, key})) {
        const QString kennung = record.key.kennung;
        const SectionPrinter *printer = sectionPrinterFor(kennung);
        if (!printer)
            continue; // a device record
        ++records;
        const QStringList list = *installation.list(kennung, 0, key);
        QMap<QString, QString> values = printer->format(kennung).decode(list);
        SectionPrintContext context = engine->printContext(kennung);
        context.lineKind.clear();
        context.secondCurrency = true;
        if (SectionRegistry::find(kennung)->kind == SectionKind::Card) {
            // The card text prints every line in the section's one font.
            for (int n = 1; values.contains(cardTextLine(n)); ++n) {
                const LineFieldNames line = lineFieldNames(n);
                values.insert(line.text, values.value(cardTextLine(n)));
                for (const QString &name : {line.font, line.size, line.style, line.alignment})
                    values.insert(name, values.value(name.chopped(QString::number(n).size())));
            }
        }
        for (int n = 1; values.contains(lineFieldNames(n).text); ++n) {
            if (values.value(lineFieldNames(n).text).isEmpty())
                continue;
            const QList<JobItem> items = textLineItem(values, n, context);
            if (items.isEmpty())
                continue;
            JobItem item = items.first();
            if (item.kind != JobItem::Kind::Text)
                continue;
            if (item.wrap && engine->Kasso_Typ_Get_Modus() == QLatin1String("G")) {
                // Running text breaks between words to the paper's width.
                for (const QString &part : breakToWidth(item, job.printableWidthCm())) {
                    JobItem broken = item;
                    broken.text = part;
                    job.items << broken;
                }
                continue;
            }
            job.items << item;
        }
    }
    QVERIFY(records > 100);
    QVERIFY(job.items.size() > 300);
    const QStringList wide = tooWide(job, engine->printerRecord(), engine->Kasso_Typ_Get_Modus());
    QVERIFY2(wide.isEmpty(), qPrintable(wide.join(u'\n')));
}

void TestDemoShop::seedLeavesAnExistingStoreAlone_data()
{
    QTest::addColumn<bool>("demoShop");
    QTest::newRow("store of an earlier version, without designs") << false;
    QTest::newRow("demo store whose receipt header was changed") << true;
}

// Catches a seed that runs again, or fills in what it finds missing, in a store that has
// workstations.
void TestDemoShop::seedLeavesAnExistingStoreAlone()
{
    QFETCH(bool, demoShop);
    TestInstallation installation(on(GraphicTill, demoShop));
    installation.putList(QStringLiteral("BONKOPF"), 0, QStringLiteral("TM-T88"),
                         {QStringLiteral("geändert")});
    const auto snapshot = [](Host &host) {
        QStringList rows;
        for (const LayoutRecord &r : host.layouts().records({}))
            rows << r.key.display() + u'=' + QString::fromLatin1(r.blob.toHex());
        for (const QString &header : demoShopLogoSections()) {
            const auto logo = host.logos().load({KassotypProgramKey, header, CurrentLogoName, 0});
            rows << header + u'='
                            + (logo ? QString::fromLatin1(logo->picture.toHex())
                                    : QStringLiteral("-"));
        }
        return rows;
    };
    const QStringList before = snapshot(installation.host());
    QCOMPARE(before.filter(QStringLiteral("BONPOS")).size(), demoShop ? 2 : 0);

    const std::unique_ptr<Host> again = installation.openSecondHost();
    QCOMPARE(snapshot(*again), before);
}

void TestDemoShop::setupFromTheTemplateCopiesTheWholeDesign_data()
{
    QTest::addColumn<QString>("printer");
    QTest::newRow("graphic") << "TM-T88";
    QTest::newRow("text mode") << "TM-T88T";
}

void TestDemoShop::setupFromTheTemplateCopiesTheWholeDesign()
{
    QFETCH(QString, printer);
    constexpr int NewTill = 5;
    TestInstallation installation(on(2));
    LayoutStore &layouts = installation.host().layouts();
    QStringList designed;
    for (const LayoutRecord &r : layouts.keys({0, 0, printer})) {
        if (r.key.kennung != QLatin1String("AKTBONDR"))
            designed << r.key.kennung;
    }
    // Every section the menus offer, and the page setup.
    QStringList offered = {QStringLiteral("SEITEEIN")};
    for (const auto &[type, section] : SectionDispatch::allEntries()) {
        const QString kennung = SectionDispatch::sectionKennung(type, section);
        if (!kennung.isEmpty() && !offered.contains(kennung))
            offered << kennung;
    }
    for (int card = 0; card < 2; ++card) {
        for (int operation = 0; operation < 3; ++operation) {
            if (const auto s = SectionDispatch::cardSection(card, operation))
                offered << s->kennung;
        }
    }
    designed.sort();
    offered.sort();
    QCOMPARE(designed, offered);

    QCOMPARE(SaetzeAnlegen(installation.host(), NewTill, printer, SetupDefault),
             int(designed.size()));
    for (const QString &kennung : designed)
        QVERIFY2(installation.list(kennung, NewTill, printer)
                         == installation.list(kennung, 0, printer),
                 qPrintable(kennung));
}

void TestDemoShop::defaultDesignsShowWhatTheSectionCarries_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("values");
    QTest::newRow("4 document list")
            << 4 << QStringList{"RES 42-1301 01.02.2013 119,00 EUR", "Lindner, Paula"};
    // A stock removal is one of an article: it names the article and why it went.
    QTest::newRow("7 stock removal")
            << 7
            << QStringList{"1000 Derby Classic Wildleder", "Grund: Diebstahl", "Martin Köhler"};
    QTest::newRow("9 voucher") << 9
                               << QStringList{"Gutschein GS 2-87", "Wert: 200,00 EUR",
                                              "Zahlbetrag: 175,00 EUR",
                                              "Eingelöst BO 12-78441: 80,00 EUR",
                                              "Neuer Wert: 85,00 EUR"};
    QTest::newRow("12 cash increase")
            << 12
            << QStringList{"Bar 888,88 EUR", "Gutschein 666,66 EUR", "Scheck 444,44 CHF",
                           "Sozialschein 222,22 EUR"};
    QTest::newRow("15 mail") << 15 << QStringList{"Betreff: Testmail", "An Personal Filiale 2"};
}

// A workstation without any layout record prints the engine's default designs; where a section
// carries no article they show what it carries, not the sample article.
void TestDemoShop::defaultDesignsShowWhatTheSectionCarries()
{
    QFETCH(int, type);
    QFETCH(QStringList, values);
    TestInstallation installation(on(GraphicTill, false));
    const std::unique_ptr<TBonPrinter> engine = engineOf(installation);
    engine->setOutputEnabled(false);
    runTestPrint(*engine, type, Now);
    const QString text = flat(jobText(engine->lastJob()));
    for (const QString &value : values)
        QVERIFY2(text.contains(value), qPrintable(value + QStringLiteral(" in ") + text));
    if (type != 7)
        QVERIFY2(!text.contains(QStringLiteral("Derby Classic Wildleder")), qPrintable(text));
}

// docs/test-prints.md shows the test prints of a fresh store; its checksums are those of the
// documents the print command makes now (scripts/update-test-prints.sh writes both).
void TestDemoShop::galleryIsCurrent()
{
    KASSOTYP_SKIP_WITHOUT_TEST_STORE();
    const QDir gallery(QStringLiteral(KASSOTYP_SOURCE_DIR "/docs/test-prints"));
    QFile sums(gallery.filePath(QStringLiteral("checksums.sha256")));
    QVERIFY2(sums.open(QIODevice::ReadOnly), qPrintable(sums.fileName()));
    const QStringList stored = QString::fromUtf8(sums.readAll()).split(u'\n', Qt::SkipEmptyParts);

    TestInstallation installation;
    QTemporaryDir out;
    QStringList now;
    for (const auto &[workstation, folder] :
         {std::pair{GraphicTill, "grafik"}, {TextTill, "text"}}) {
        const QString target = out.filePath(QLatin1String(folder));
        QProcess print;
        print.start(QCoreApplication::applicationDirPath()
                            + QStringLiteral("/../tools/kassotyp-print"),
                    {QStringLiteral("--store=") + installation.storeLocation(),
                     QStringLiteral("--config="),
                     QStringLiteral("--log=") + out.filePath(QStringLiteral("print.log")),
                     QStringLiteral("--workstation=%1").arg(workstation),
                     QStringLiteral("--now=2024-05-17T10:30:00"), QStringLiteral("--all"),
                     QStringLiteral("--format=escpos"), QStringLiteral("--output=") + target});
        QVERIFY(print.waitForFinished(120000));
        QVERIFY2(print.exitCode() == 0, print.readAllStandardError().constData());
        for (int type = 1; type <= DocumentTypeCount; ++type) {
            const QString name = QStringLiteral("%1-%2.escpos")
                                         .arg(type)
                                         .arg(CBelegName(type).replace(u'/', u'-'));
            QFile file(QDir(target).filePath(name));
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
            now << QString::fromLatin1(
                           QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                                   .toHex())
                            + QStringLiteral("  ") + QLatin1String(folder) + u'/' + name;
            const QString picture =
                    QLatin1String(folder) + u'/' + name.chopped(6) + QStringLiteral("png");
            QVERIFY2(gallery.exists(picture), qPrintable(picture));
        }
    }
    QVERIFY2(stored == now, "docs/test-prints is out of date: run scripts/update-test-prints.sh");
}

QTEST_MAIN(TestDemoShop)
#include "tst_demoshop.moc"
