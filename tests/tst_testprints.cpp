#include "core/engine/bonprinter.h"
#include "core/engine/testprints.h"
#include "core/model/hosttables.h"
#include "core/sections/sectionregistry.h"
#include "shell/kassotypu.h"
#include "shell/testdruckanzeige.h"
#include "tests/support/guisupport.h"
#include "widgets/buttonmenu.h"

#include <QLabel>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace {

TestInstallation::Options onTill()
{
    TestInstallation::Options options;
    options.workstationId = 3;
    return options;
}

// The print calls of a test print without their "KT_" / "KT_Print" prefix, each item or sum call
// with the line kind written just before it ("BonPos G"); other document values left out.
QString printCalls(const QStringList &log)
{
    QStringList calls;
    QString kind;
    for (const QString &entry : log) {
        if (entry.startsWith(QLatin1String("Zeilenart ")))
            kind = entry.mid(10);
        else if (entry.startsWith(QLatin1String("KT_"))) {
            QString call = entry.mid(entry.startsWith(QLatin1String("KT_Print")) ? 8 : 3);
            calls << (kind.isEmpty() ? call : call + u' ' + kind);
            kind.clear();
        }
    }
    return calls.join(QStringLiteral(", "));
}

// Text, size, style and alignment of each job line a section printed.
QStringList linesOf(const PrintJob &job, const QString &kennung)
{
    QStringList lines;
    for (const JobItem &item : job.items) {
        if (item.section != kennung || item.kind != JobItem::Kind::Text)
            continue;
        const QString align = item.alignment & Qt::AlignHCenter ? QStringLiteral("mitte")
                              : item.alignment & Qt::AlignRight ? QStringLiteral("rechts")
                                                                : QStringLiteral("links");
        lines << QStringLiteral("%1|%2|%3|%4")
                         .arg(item.text)
                         .arg(item.pointSize)
                         .arg(item.bold ? QStringLiteral("fett") : QStringLiteral("normal"), align);
    }
    return lines;
}

// A heading record of two lines: count, then text, font, size, style, alignment of each line.
const QStringList twoHeadingLines =
        QStringLiteral("2|Kopfzeile #BelegNr#|Arial|12|fett|mitte|Zweite|Arial|10|normal|rechts")
                .split(u'|');

} // namespace

class TestTestPrints : public QObject
{
    Q_OBJECT

private slots:
    void everyTestPrintIsOneDocumentHeaderFirst_data();
    void everyTestPrintIsOneDocumentHeaderFirst();
    void sectionsFollowTheTestPrintTable_data();
    void sectionsFollowTheTestPrintTable();
    void sampleDocumentIsRestored();
    void secondCurrencyFollowsExchangeFactor_data();
    void secondCurrencyFollowsExchangeFactor();
    void headingRecordOfTheWorkstationPrints_data();
    void headingRecordOfTheWorkstationPrints();
    void pictureHasPrintableWidth();
    void cutMarkIsForTheScreenOnly();
    void mainWindowShowsThePrintedDocument();
    void viewerSavesThePicture();
};

void TestTestPrints::everyTestPrintIsOneDocumentHeaderFirst_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("kind"); // document kind in effect after the header; empty: none

    const char *headers[] = {
            "KT_PrintAnzahlungKopf",  "KT_PrintAUKopf",       "KT_PrintAllgphasBelegKopf",
            "KT_PrintBeleglisteKopf", "KT_PrintBDSGKopf",     "KT_PrintTaxFreeKopf",
            "KT_Print_BestAbg_Kopf",  "KT_PrintFAKopf",       "KT_PrintGutschKopf",
            "KT_PrintGutschriftKopf", "KT_PrintKasberKopf",   "KT_PrintErhKopf",
            "KT_PrintBonKopf",        "KT_PrintEntKopf",      "KT_PrintMailbonKopf",
            "KT_PrintNullbonKopf",    "KT_PrintQuittungKopf", "KT_PrintRechnungKopf",
            "KT_PrintReklKopf",       "KT_PrintReservKopf",   "KT_PrintRKSVKopf",
            "KT_PrintWBSKopf",        "KT_PrintZahlungKopf"};
    for (int t = 1; t <= DocumentTypeCount; ++t) {
        QString kind = CBelegName(t);
        if (t == 3)
            kind = QStringLiteral("Bestellung"); // the order, not the type's name
        else if (t == 4)
            kind.clear(); // a document list names no kind
        else if (t == 20)
            kind = QStringLiteral("Reservierung");
        QTest::addRow("type %d %s", t, qPrintable(CBelegName(t)))
                << t << QString::fromLatin1(headers[t - 1]) << kind;
    }
}

void TestTestPrints::everyTestPrintIsOneDocumentHeaderFirst()
{
    QFETCH(int, type);
    QFETCH(QString, header);
    QFETCH(QString, kind);

    TestInstallation installation(onTill());
    FakeMainWindow main(installation, 3);
    TBonPrinter &engine = main.engine();
    engine.clearCallLog();
    runTestPrint(engine, type);

    const QStringList log = engine.callLog();
    QCOMPARE(log.value(0), QStringLiteral("KT_DocBegin"));
    QCOMPARE(log.value(1), header);
    QCOMPARE(TBonPrinter::sectionOfOperation(header), CBelegTyp_2_KennungKopf(type));
    QCOMPARE(log.last(), QStringLiteral("KT_DocEnd"));
    QCOMPARE(log.count(QStringLiteral("KT_DocBegin")), 1);
    QCOMPARE(log.count(QStringLiteral("KT_DocEnd")), 1);

    const QStringList kinds = log.filter(QRegularExpression(QStringLiteral("^Belegart ")));
    QCOMPARE(kinds.isEmpty() ? QString() : kinds.last().mid(9), kind);
    if (!kinds.isEmpty())
        QVERIFY(log.indexOf(kinds.first()) > 1); // written after the header

    // Ended, not kept open: the document is the last job and ends with its cut.
    QVERIFY(!engine.documentOpen());
    QVERIFY(!engine.lastJob().isEmpty());
    QCOMPARE(engine.lastJob().items.last().kind, JobItem::Kind::Cut);
    QCOMPARE(installation.host().info().ErrorNumber(), 0); // every operation is known
    QCOMPARE(installation.messages().count(), 0);
}

void TestTestPrints::sectionsFollowTheTestPrintTable_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("calls");

    const auto row = [](const char *name, int type, const char *calls) {
        QTest::newRow(name) << type << QString::fromLatin1(calls);
    };
    row("1 deposit with free lines and payments", 1,
        "DocBegin, AnzahlungKopf, AnzahlungUeber, Anzahlung, NewLine, Line, Line, Line, Line, "
        "Line, NewLine, BonSum Z, BonSum Z, BonSum G, NewLine, BonSum Z, BonSum R, NewLine, "
        "AnzahlungEnde, DocEnd");
    row("3 phase document", 3,
        "DocBegin, AllgphasBelegKopf, AllgphasBelegUeber, AllgphasBelegArtPos, AllgphasBelegPos, "
        "AllgphasBelegTextPos, AllgphasBelegEnde, DocEnd");
    row("4 document list without end", 4,
        "DocBegin, BeleglisteKopf, BeleglisteUeber, BeleglisteBeleg, BeleglisteBeleg, "
        "BeleglisteBeleg, DocEnd");
    row("9 voucher with two partial redemptions", 9,
        "DocBegin, GutschKopf, Gutschein, GutscheinZahlbetrag, GutscheinTeileinloesungen, "
        "GutscheinTeileinloesungen, GutscheinBetragOffen, GutschEnde, DocEnd");
    row("12 cash increase with empty lines", 12,
        "DocBegin, ErhKopf, NewLine, ErhUeber, Erhoehung, Erhoehung, Erhoehung, Erhoehung, "
        "NewLine, ErhEnde, DocEnd");
    row("13 receipt items and sums by line kind", 13,
        "DocBegin, BonKopf, BonUeber, BonPos P, BonPos P, BonPos G, BonPos P, BonPos R, "
        "BonSum S, BonSum U, NewLine, BonSum Z, BonSum G, NewLine, BonSum Z, BonSum R, NewLine, "
        "BonEnde, DocEnd");
    row("18 invoice sends G, R and later sums to its own sections", 18,
        "DocBegin, RechnungKopf, RechnungUeber, BonPos P, BonPos P, RechnungPos G, BonPos P, "
        "RechnungPos R, BonSum S, RechnungSum U, NewLine, RechnungSum Z, RechnungSum G, "
        "RechnungSum R, NewLine, RechnungEnde, DocEnd");
    row("19 complaint items and regulation", 19,
        "DocBegin, ReklKopf, ReklUeber, ReklPos P, ReklPos T, ReklPos M, ReklReg N, NewLine, "
        "ReklEnde, DocEnd");
    row("20 reservation with two items", 20,
        "DocBegin, ReservKopf, ReservUeber, ReservPos, ReservPos, ReservEnde, DocEnd");
}

void TestTestPrints::sectionsFollowTheTestPrintTable()
{
    QFETCH(int, type);
    QFETCH(QString, calls);

    TestInstallation installation(onTill());
    FakeMainWindow main(installation, 3);
    main.engine().clearCallLog();
    runTestPrint(main.engine(), type);
    QCOMPARE(printCalls(main.engine().callLog()), calls);
}

void TestTestPrints::sampleDocumentIsRestored()
{
    TestInstallation installation(onTill());
    FakeMainWindow main(installation, 3);
    TBonPrinter &engine = main.engine();
    const DocumentData sample = engine.document();
    const QString text = QStringLiteral("#ArtikelNr# #Größe# #Menge# #BetragWH1# #Bemerkung#");
    const QString replaced = engine.Replace_All(text, true);

    for (int type = 1; type <= DocumentTypeCount; ++type) {
        runTestPrint(engine, type);
        const QByteArray where = "after type " + QByteArray::number(type);
        QVERIFY2(engine.document().texts == sample.texts, where);
        QVERIFY2(engine.document().amounts == sample.amounts, where);
        QVERIFY2(engine.Replace_All(text, true) == replaced, where);
    }
}

void TestTestPrints::secondCurrencyFollowsExchangeFactor_data()
{
    QTest::addColumn<double>("rate"); // units of currency 2 per unit of currency 1
    QTest::addColumn<QString>("line");

    QTest::newRow("rate 0.94") << 0.94 << "200,00 EUR / 188,00 CHF";
    QTest::newRow("factor 1 shows equal values") << 1.0 << "200,00 EUR / 200,00 CHF";
    QTest::newRow("rate 2") << 2.0 << "200,00 EUR / 400,00 CHF";
}

void TestTestPrints::secondCurrencyFollowsExchangeFactor()
{
    QFETCH(double, rate);
    QFETCH(QString, line);

    TestInstallation installation(onTill());
    installation.host().currency().setRate(QStringLiteral("CHF"), rate);
    installation.host().parameters().StringParamWrite(QStringLiteral("PRGEUEBE"),
                                                      QStringLiteral("A"), 3);
    installation.putList(
            QStringLiteral("GUTSCHEI"), 3, QStringLiteral("TM-T88"),
            {"1", "#BetragWH1# #WH1# / #BetragWH2# #WH2#", "Arial", "10", "normal", "links"});
    FakeMainWindow main(installation, 3);

    // The voucher of 200.00 that the test print writes before the voucher section.
    runTestPrint(main.engine(), 9);
    QCOMPARE(linesOf(main.engine().lastJob(), QStringLiteral("GUTSCHEI")),
             QStringList{line + QStringLiteral("|10|normal|links")});
}

void TestTestPrints::headingRecordOfTheWorkstationPrints_data()
{
    QTest::addColumn<int>("recordWorkstation"); // -1: no record
    QTest::addColumn<QStringList>("record");
    QTest::addColumn<QStringList>("lines"); // text|size|style|alignment

    const QStringList defaultDesign = {"Überschrift der Aufgabenliste|10|fett|mitte"};
    QTest::newRow("own record, lines in order")
            << 3 << twoHeadingLines
            << QStringList{"Kopfzeile 130000001|12|fett|mitte", "Zweite|10|normal|rechts"};
    QStringList firstOnly = twoHeadingLines;
    firstOnly[0] = QStringLiteral("1");
    QTest::newRow("line count 1 prints only the first line")
            << 3 << firstOnly << QStringList{"Kopfzeile 130000001|12|fett|mitte"};
    QTest::newRow("template workstation's record applies")
            << 0 << twoHeadingLines
            << QStringList{"Kopfzeile 130000001|12|fett|mitte", "Zweite|10|normal|rechts"};
    QTest::newRow("another till's record does not leak in")
            << 4 << twoHeadingLines << defaultDesign;
    QTest::newRow("no record prints the default design") << -1 << QStringList{} << defaultDesign;
}

void TestTestPrints::headingRecordOfTheWorkstationPrints()
{
    QFETCH(int, recordWorkstation);
    QFETCH(QStringList, record);
    QFETCH(QStringList, lines);

    TestInstallation::Options options = onTill();
    options.demoShop = false; // the default design shows where no record is
    TestInstallation installation(options);
    if (recordWorkstation >= 0)
        installation.putList(QStringLiteral("AUUEBER"), recordWorkstation, QStringLiteral("TM-T88"),
                             record);
    FakeMainWindow main(installation, 3);
    runTestPrint(main.engine(), 2);

    const PrintJob &job = main.engine().lastJob();
    const QStringList printed = linesOf(job, QStringLiteral("AUUEBER"));
    QVERIFY2(printed.size() >= lines.size(), qPrintable(printed.join(u'\n')));
    QCOMPARE(printed.mid(0, lines.size()), lines);
    if (!record.isEmpty() && recordWorkstation != 4) {
        QCOMPARE(printed.size(), lines.size());
        for (const JobItem &item : job.items) {
            if (item.section == QLatin1String("AUUEBER"))
                QCOMPARE(item.fontName, QStringLiteral("Arial"));
        }
    }
}

void TestTestPrints::pictureHasPrintableWidth()
{
    TestInstallation installation(onTill());
    FakeMainWindow main(installation, 3);
    runTestPrint(main.engine(), 2);
    PrintJob job = main.engine().lastJob();
    QCOMPARE(job.printableWidthCm(), 6.52); // the TM-T88 page setup

    const QImage picture = renderJobToImage(job);
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.width(), 246 + 2 * 12); // 6.52 cm at 96 dpi, 12 px margin either side
    int inked = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            inked += qGray(picture.pixel(x, y)) < 128;
    }
    QVERIFY(inked > 100);

    job.items += job.items;
    QVERIFY(renderJobToImage(job).height() > picture.height());
    QCOMPARE(renderJobToImage(job).width(), picture.width());
}

// The viewer shows where the paper is cut; paper and PDF files (CutMark::Left) get no line.
void TestTestPrints::cutMarkIsForTheScreenOnly()
{
    PrintJob job;
    JobItem cut;
    cut.kind = JobItem::Kind::Cut;
    job.items << cut;
    const auto greyPixels = [&job](CutMark mark) {
        QImage strip(200, 40, QImage::Format_RGB32);
        strip.fill(Qt::white);
        QPainter painter(&strip);
        paintJob(painter, job, 96.0, 12, 0, 176, mark);
        painter.end();
        int grey = 0;
        for (int y = 0; y < strip.height(); ++y) {
            for (int x = 0; x < strip.width(); ++x)
                grey += strip.pixel(x, y) != qRgb(255, 255, 255);
        }
        return grey;
    };
    QVERIFY(greyPixels(CutMark::Drawn) > 50);
    QCOMPARE(greyPixels(CutMark::Left), 0);
}

void TestTestPrints::mainWindowShowsThePrintedDocument()
{
    TestInstallation installation(onTill());
    installation.putList(QStringLiteral("BONUEBER"), 3, QStringLiteral("TM-T88"), twoHeadingLines);
    TfrmKassotypHaupt window(installation.host(), {});
    window.show();
    QStringList shown;
    window.onEditorOpened = [&](TOVOForm *form) {
        // Closed first of all, so that a failing check below cannot leave it open.
        QTimer::singleShot(0, form, [form] {
            saveScreenshot(form, QStringLiteral("testprint-viewer"));
            form->reject();
        });
        auto *viewer = qobject_cast<TfrmTestdruckAnzeige *>(form);
        QVERIFY(viewer);
        shown << viewer->windowTitle();
        QCOMPARE(viewer->picture(), renderJobToImage(window.engine().lastJob()));
        QVERIFY(window.engine().lastJob().texts().contains(QStringLiteral("Kopfzeile 130000001")));
    };
    auto *types = window.findChild<TButtonMenu *>(QStringLiteral("btnMenuLinks"));
    auto *sections = window.findChild<TButtonMenu *>(QStringLiteral("btnMenuRechts"));
    types->clickEntry(types->indexOfTag(13));
    sections->clickEntry(sections->indexOfTag(21));

    QCOMPARE(shown, QStringList{QStringLiteral("Testdruck - ") + CBelegName(13)});
    QCOMPARE(installation.messages().count(), 0);
}

void TestTestPrints::viewerSavesThePicture()
{
    TestInstallation installation(onTill());
    FakeMainWindow main(installation, 3);
    runTestPrint(main.engine(), 13);
    const QImage picture = renderJobToImage(main.engine().lastJob());
    TfrmTestdruckAnzeige viewer(CBelegName(13), picture);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    auto *image = viewer.findChild<QLabel *>(QStringLiteral("imgTestdruck"));
    QVERIFY(image);
    QCOMPARE(image->pixmap().size(), picture.size());

    const QString file = installation.path(QStringLiteral("testdruck.png"));
    QVERIFY(viewer.savePicture(file));
    QCOMPARE(QImage(file).convertToFormat(picture.format()), picture);
    QCOMPARE(installation.messages().count(), 0);

    // A folder that is a file cannot take the picture.
    const QString unwritable = installation.storePath() + QStringLiteral("/testdruck.png");
    QVERIFY(!viewer.savePicture(unwritable));
    QCOMPARE(installation.messages().count(), 1);
    QCOMPARE(installation.messages().shown().first().kind, MessageKind::Error);
    QVERIFY(installation.messages().shown().first().text.contains(unwritable));
}

QTEST_MAIN(TestTestPrints)
#include "tst_testprints.moc"
