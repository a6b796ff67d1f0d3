// The placeholder catalogue and how the engine fills its tokens from a document: amounts,
// the second currency, templates with an argument and the sample document.

#include "core/engine/bonprinter.h"
#include "core/model/placeholdercatalogue.h"
#include "core/model/placeholdervalues.h"
#include "core/model/sampledocument.h"
#include "tests/support/guisupport.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <memory>

namespace {

// Every token of the catalogue in picker order. Stored layouts contain these texts, so a token
// that is respelt, dropped or moved shows up here.
const char *const AllTokens = R"(
#AnFiliale# #FaPosBarcode# #BarCode# #Datum# #AktDatum# #Uhrzeit# #BelegNrRNr# #BelegNrLNr#
#BelegNrSNr# #BelegNr# #BelegHerkunft# #Bemerkung# #Bonnummer# #BonNrBarcode# #BisDatum# #VknNr#
#VknName# #VknVorName# #VknNachName# #VknAnredeNachName# #KopfVknNr# #KopfVknName#
#KopfVknVorName# #KopfVknNachName# #KopfVknAnredeNachName# #UStID# #MandName# #FilName# #FilOrt#
#FilPLZ# #FilStrasse# #FilTel# #SteuerNr# #KndAlles# #KndAllesDeEnFr# #KndName# #KndName2# #KndNr#
#KndNr_x# #KndLand# #KndTelefon# #KndOrt# #KndPlz# #KndStrasse# #KndVorname# #KndEMail# #KndTitel#
#KndGeburt# #KndTelefax# #KndMobil# #Unterschrift# #WH1# #WH2# #ArtikelNr# #ArtikelBez# #ArtMerk_x#
#GesMenge# #GesIstVkWH1# #GesIstVkWH2# #AntGesIstVkWH1_x# #Größe# #GrößeTxt# #IstVkWH1# #IstVkWH2#
#Menge# #MengeText# #ReduzWH1# #ReduzWH2# #ReduzProzent# #ReduzProzent1# #ReduzProzent0# #SetMenge#
#SetpreisWH1# #SetpreisWH2# #Aktionstyp# #Set_Aktion_Preis# #SollVkWH1# #SollVkWH2# #Max(I/S)WH1#
#Max(I/S)WH2# #WG# #WGKurz# #WGOderBez# #ZSummeWH1# #ZSummeWH2# #UST# #UST2# #USTBetragWH1#
#USTBetragWH2# #NettoBtrgWH1# #NettoBtrgWH2# #ZM# #ZMBetrag# #BVMand# #BVMandKtoNr# #BVMandBank#
#BVMandBLZ# #BVMandIBAN# #BVMandBIC# #GegebenWH1# #GegebenWH2# #RückWH1# #RückWH2# #BetragWH1#
#BetragWH2# #Teil# #Beschreibung# #Bonus# #BonusVerfuegbar# #BonusGesperrt# #Farbe# #Material#
#Mangel# #Position# #Sachkonto# #SteuerInfos# #MwSt-Erstattungshinweis#
#MwSt-Hinweistext-Abtrennen# #MwSt-ZollbestaetigungDeEnFr# #Sollsumme# #Habensumme# #Kassenstand#
#Kassiererin# #VknAbschluss# #VknAbschluss2# #VknVorlAbschluss# #Kassenberichtnummer#
#PositionAnzahl# #PositionBetrag# #PositionWH# #VonBisDatum# #VonFiliale# #Kassenbericht#
#KBBeginnDatum# #KBBeginnZeit# #KBEndeDatum# #KBEndeZeit# #KBErsterBon# #KBLetzterBon# #HerstArt#
#HerstName# #HerstNr# #LiefArtNeu# #LiefNameNeu# #LiefNrNeu# #LiefArt# #LiefName# #LiefNr#
#Merkmal1# #Merkmal2# #Merkmal3# #Merkmal4# #Merkmal5# #Merkmal6# #EigMerkmal1# #Regal# #Linie#
#MailAbsender# #MailEmpfaenger# #MailBetreff# #MailText# #MailDatum# #MailUhrzeit# #MailStichworte#
#MailErledigt# #MailAntwortzwang# #MailPrioritaet# #MailZuLesenDurch# #MailNummer# #WertBarCode#
#WGMerk_x# #FaBelegArt# #FaPosBelegNr# #FaPosKunde# #FaPosVonFil# #FaPosAnFil# #FaPosOrderId#
#ExtGutscheinNr# #PreisMindGrund# #Benutzer# #Person# #GrundBestAbg# #PaybackNummer# #PaybackBasis#
#PaybackExtra# #PaybackPunkte# #PaybackText# #ProCaNummer# #ProCaPunkte# #ProCaExtra# #ProCaGesamt#
#PersonalOrKundNr# #GSName# #{LXXXX}# #{RXXXX}#
)";

QStringList catalogueTokens()
{
    QStringList tokens;
    for (const PlaceholderEntry &e : placeholderCatalogue())
        tokens << e.token;
    return tokens;
}

bool isTemplate(const QString &token)
{
    return token.contains(QLatin1String("_x#")) || token.contains(QLatin1String("XXXX"));
}

// A fixed moment, so that dates and times in expected texts are known.
const QDateTime SampleMoment(QDate(2024, 3, 15), QTime(9, 5, 7));

DocumentData sample(double exchangeFactor = 1.0, const QDateTime &now = SampleMoment)
{
    return sampleDocument(exchangeFactor, QStringLiteral("EUR"), QStringLiteral("CHF"), now);
}

// "1.234,50" -> 1234.5
double germanNumber(QString text)
{
    text.remove(u'.');
    text.replace(u',', u'.');
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? value : qQNaN();
}

} // namespace

class TestPlaceholders : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // The catalogue
    void catalogueListsEveryTokenOnceInOrder();

    // Replacement
    void everyCatalogueTokenIsReplaced_data();
    void everyCatalogueTokenIsReplaced();
    void tokensAreFoundBetweenStrayHashes_data();
    void tokensAreFoundBetweenStrayHashes();
    void unknownTokensStayAsTyped_data();
    void unknownTokensStayAsTyped();
    void amountsArePrintedGerman_data();
    void amountsArePrintedGerman();
    void secondCurrencyFollowsTheExchangeFactor_data();
    void secondCurrencyFollowsTheExchangeFactor();
    void everyAmountPairFollowsTheExchangeFactor_data();
    void everyAmountPairFollowsTheExchangeFactor();
    void secondCurrencyIsEmptyWhenNotCompared_data();
    void secondCurrencyIsEmptyWhenNotCompared();
    void templatesTakeTheirArgument_data();
    void templatesTakeTheirArgument();
    void comparisonOptionDecidesSecondCurrency_data();
    void comparisonOptionDecidesSecondCurrency();
    void sampleDocumentFillsPlaceholders_data();
    void sampleDocumentFillsPlaceholders();
    void datesAreToday();

    // Fiscal data
    void tseQrCodeFollowsTheTaxOfficeFormat_data();
    void tseQrCodeFollowsTheTaxOfficeFormat();
    void rksvCodeFollowsTheRegulation_data();
    void rksvCodeFollowsTheRegulation();
    void emptyFiscalLinesAreLeftOut();

private:
    std::unique_ptr<TestInstallation> m_installation;
    std::unique_ptr<FakeMainWindow> m_main;
};

void TestPlaceholders::init()
{
    m_installation = std::make_unique<TestInstallation>();
    m_main = std::make_unique<FakeMainWindow>(*m_installation, 3);
    m_main->engine().setDocument(sample());
}

void TestPlaceholders::cleanup()
{
    m_main.reset();
    m_installation.reset();
}

// ---- the catalogue -------------------------------------------------------------------------

void TestPlaceholders::catalogueListsEveryTokenOnceInOrder()
{
    const QStringList tokens = catalogueTokens();
    QCOMPARE(tokens.size(), 213);
    QCOMPARE(QSet<QString>(tokens.begin(), tokens.end()).size(), 213);
    for (const QString &token : tokens) {
        QVERIFY2(token.size() > 2 && token.startsWith(u'#') && token.endsWith(u'#'),
                 qPrintable(token));
        QVERIFY2(!token.mid(1, token.size() - 2).contains(u'#'), qPrintable(token));
    }
    QCOMPARE(tokens.first(), QStringLiteral("#AnFiliale#"));
    const QStringList expected = QString::fromUtf8(AllTokens).split(
            QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    // The fiscal group follows the earlier rows, which keep their order.
    QCOMPARE(tokens.mid(0, expected.size()), expected);
    QCOMPARE(tokens.at(expected.size() - 1), QStringLiteral("#{RXXXX}#"));
    const QStringList fiscal = tokens.mid(expected.size());
    QCOMPARE(fiscal.first(), QStringLiteral("#TSE-TransaktionNr#"));
    QCOMPARE(fiscal.last(), QStringLiteral("#Trainingsbeleg#"));
    for (const QString &token : fiscal)
        QVERIFY2(isFiscalPlaceholder(token), qPrintable(token));
    for (const QString &token : expected)
        QVERIFY2(!isFiscalPlaceholder(token), qPrintable(token));
}

// ---- replacement ---------------------------------------------------------------------------

void TestPlaceholders::everyCatalogueTokenIsReplaced_data()
{
    QTest::addColumn<QString>("token");
    for (const QString &token : catalogueTokens())
        QTest::newRow(qPrintable(token)) << token;
}

void TestPlaceholders::everyCatalogueTokenIsReplaced()
{
    QFETCH(QString, token);
    const QString replaced = m_main->engine().Replace_All(token, true);
    QVERIFY2(!replaced.contains(u'#'), qPrintable(replaced));
    if (!isTemplate(token)) {
        QVERIFY(replaced != token);
        // A failure or copy mark is empty in the normal case; the case it marks shows it.
        QString shown = replaced;
        for (SampleCase sampleCase : sampleCases()) {
            DocumentData document = m_main->engine().document();
            applySampleCase(document, sampleCase);
            if (shown.trimmed().isEmpty())
                shown = replacePlaceholders(token, document, true);
        }
        QVERIFY2(!shown.trimmed().isEmpty(), "the sample document has no value for it");
    }
}

void TestPlaceholders::tokensAreFoundBetweenStrayHashes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two tokens touching") << "#Datum##Uhrzeit#"
                                         << "15.03.2024" + QStringLiteral("09:05:07");
    QTest::newRow("stray hashes around a token") << "a#b #Datum# c#"
                                                 << "a#b 15.03.2024 c#";
    QTest::newRow("hash right before a token") << "Nr. ##BelegNr#"
                                               << "Nr. #130000001";
    QTest::newRow("token followed by an unclosed name") << "#BelegNr#Regal"
                                                        << "130000001Regal";
    QTest::newRow("unknown name between tokens") << "#Regal#Foo#Farbe#"
                                                 << "8-35562Foo" + QStringLiteral("weiß");
    QTest::newRow("same token twice") << "#Regal# / #Regal#"
                                      << "8-35562 / 8-35562";
}

void TestPlaceholders::tokensAreFoundBetweenStrayHashes()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(m_main->engine().Replace_All(text, true), expected);
}

void TestPlaceholders::unknownTokensStayAsTyped_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("unknown name") << "Summe #Gesamt# bitte";
    QTest::newRow("wrong case") << "#datum#";
    QTest::newRow("blank inside") << "# Datum#";
    QTest::newRow("unclosed token") << "#Datum";
    QTest::newRow("single hash") << "Tisch # 4";
    QTest::newRow("template name of no placeholder") << "#Foo_x#";
    QTest::newRow("alignment without side") << "#{X0060}#";
    QTest::newRow("empty token") << "##";
    QTest::newRow("plain text") << "Vielen Dank für Ihren Einkauf!";
}

void TestPlaceholders::unknownTokensStayAsTyped()
{
    QFETCH(QString, text);
    QCOMPARE(m_main->engine().Replace_All(text, true), text);
}

void TestPlaceholders::amountsArePrintedGerman_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("expected");
    QTest::newRow("decimal comma, two places") << 459.7 << "459,70";
    QTest::newRow("thousands separated by a point") << 1234.5 << "1.234,50";
    QTest::newRow("millions") << 1234567.891 << "1.234.567,89";
    QTest::newRow("negative") << -4.75 << "-4,75";
    QTest::newRow("negative thousands") << -1234.5 << "-1.234,50";
    QTest::newRow("rounded to cents") << 87.343 << "87,34";
    QTest::newRow("zero") << 0.0 << "0,00";
    QTest::newRow("tiny negative is no negative zero") << -0.004 << "0,00";
    QTest::newRow("below one") << 0.5 << "0,50";
}

void TestPlaceholders::amountsArePrintedGerman()
{
    QFETCH(double, amount);
    QFETCH(QString, expected);
    DocumentData document;
    document.setAmount(QStringLiteral("ZSumme"), amount);
    QCOMPARE(replacePlaceholders(QStringLiteral("#ZSummeWH1#"), document, true), expected);
    // Currency 2 at a factor of 1 is printed the same way.
    QCOMPARE(replacePlaceholders(QStringLiteral("#ZSummeWH2#"), document, true), expected);
}

void TestPlaceholders::secondCurrencyFollowsTheExchangeFactor_data()
{
    QTest::addColumn<double>("factor");
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("expected");
    QTest::newRow("factor 1, total") << 1.0 << "#ZSummeWH2#"
                                     << "459,70";
    QTest::newRow("factor 1, given") << 1.0 << "#GegebenWH2#"
                                     << "500,00";
    QTest::newRow("factor 0.94, total") << 0.94 << "#ZSummeWH2#"
                                        << "489,04"; // 459.70 / 0.94
    QTest::newRow("factor 0.94, given") << 0.94 << "#GegebenWH2#"
                                        << "531,91";
    QTest::newRow("factor 0.94, change") << 0.94 << "#RückWH2#"
                                         << "42,87";
    QTest::newRow("factor 1.5, total") << 1.5 << "#ZSummeWH2#"
                                       << "306,47";
    QTest::newRow("factor 0.94 leaves currency 1 alone") << 0.94 << "#ZSummeWH1#"
                                                         << "459,70";
    QTest::newRow("currency names") << 0.94 << "#WH1# / #WH2#"
                                    << "EUR / CHF";
}

void TestPlaceholders::secondCurrencyFollowsTheExchangeFactor()
{
    QFETCH(double, factor);
    QFETCH(QString, token);
    QFETCH(QString, expected);
    m_main->engine().setDocument(sample(factor));
    QCOMPARE(m_main->engine().Replace_All(token, true), expected);
}

void TestPlaceholders::everyAmountPairFollowsTheExchangeFactor_data()
{
    QTest::addColumn<QString>("wh1");
    QTest::addColumn<QString>("wh2");
    const QStringList tokens = catalogueTokens();
    for (const QString &token : tokens) {
        if (!token.endsWith(QLatin1String("WH1#")) || token == QLatin1String("#WH1#"))
            continue;
        QString partner = token;
        partner.replace(partner.size() - 2, 1, u'2');
        if (tokens.contains(partner))
            QTest::newRow(qPrintable(token)) << token << partner;
    }
}

void TestPlaceholders::everyAmountPairFollowsTheExchangeFactor()
{
    QFETCH(QString, wh1);
    QFETCH(QString, wh2);
    m_main->engine().setDocument(sample(1.0));
    const QString equal1 = m_main->engine().Replace_All(wh1, true);
    QCOMPARE(m_main->engine().Replace_All(wh2, true), equal1);

    m_main->engine().setDocument(sample(0.94));
    const double value1 = germanNumber(m_main->engine().Replace_All(wh1, true));
    const double value2 = germanNumber(m_main->engine().Replace_All(wh2, true));
    QCOMPARE(germanNumber(equal1), value1);
    // Both sides are rounded to cents, hence the tolerance of about one cent.
    QVERIFY2(qAbs(value2 * 0.94 - value1) < 0.011,
             qPrintable(QStringLiteral("%1 vs %2").arg(value1).arg(value2)));
}

void TestPlaceholders::secondCurrencyIsEmptyWhenNotCompared_data()
{
    QTest::addColumn<QString>("token");
    for (const QString &token : catalogueTokens()) {
        if (token.endsWith(QLatin1String("WH2#")))
            QTest::newRow(qPrintable(token)) << token;
    }
}

void TestPlaceholders::secondCurrencyIsEmptyWhenNotCompared()
{
    QFETCH(QString, token);
    TBonPrinter &engine = m_main->engine();
    QCOMPARE(engine.Replace_All("[" + token + "]", false), QStringLiteral("[]"));
    QVERIFY(engine.Replace_All("[" + token + "]", true) != QStringLiteral("[]"));
    // The currency-1 partner prints either way.
    QString partner = token;
    partner.replace(partner.size() - 2, 1, u'1');
    QCOMPARE(engine.Replace_All(partner, false), engine.Replace_All(partner, true));
    QVERIFY(!engine.Replace_All(partner, false).isEmpty());
}

void TestPlaceholders::templatesTakeTheirArgument_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    // The document below: customer 100471 with a Payback number, total 200.00.
    QTest::newRow("named customer number") << "#KndNr_Payback#"
                                           << "PB-778";
    QTest::newRow("unknown name gives the plain customer number") << "#KndNr_Filiale#"
                                                                  << "100471";
    QTest::newRow("named article attribute") << "#ArtMerk_Sohle#"
                                             << "Gummi";
    QTest::newRow("share 12.5 %") << "#AntGesIstVkWH1_1250#"
                                  << "25,00";
    QTest::newRow("share 100 %") << "#AntGesIstVkWH1_10000#"
                                 << "200,00";
    QTest::newRow("share 7 %") << "#AntGesIstVkWH1_700#"
                               << "14,00";
    QTest::newRow("left tab pads to column 10") << "ab#{L0060}#cd"
                                                << "ab        cd";
    QTest::newRow("left tab at line start") << "#{L0060}#x"
                                            << "          x";
    QTest::newRow("left tab behind a long text keeps a blank") << "abcdefghijkl#{L0060}#x"
                                                               << "abcdefghijkl x";
    QTest::newRow("right tab ends the line at column 20") << "Summe#{R0120}#12,50"
                                                          << "Summe          12,50";
    QTest::newRow("right tab with a placeholder after it") << "Summe#{R0120}##GesIstVkWH1#"
                                                           << "Summe         200,00";
    QTest::newRow("right tab behind a long text keeps a blank")
            << "Zwischensumme netto#{R0120}#12,50"
            << "Zwischensumme netto 12,50";
    QTest::newRow("two right tabs: the inner one first") << "a#{R0120}#b#{R0060}#c"
                                                         << "a         b        c";
    // Catches replacement that copies the rest of the line at every right tab: this line would
    // need gigabytes.
    QTest::newRow("twenty thousand right tabs")
            << QString(QStringLiteral("#{R0120}#").repeated(20000) + u'x')
            << QString(QString(20018, u' ') + u'x');
}

void TestPlaceholders::templatesTakeTheirArgument()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    DocumentData document;
    document.setText(QStringLiteral("KndNr"), QStringLiteral("100471"));
    document.setText(QStringLiteral("KndNr_Payback"), QStringLiteral("PB-778"));
    document.setText(QStringLiteral("ArtMerk"), QStringLiteral("Eigenes Merkmal 1"));
    document.setText(QStringLiteral("ArtMerk_Sohle"), QStringLiteral("Gummi"));
    document.setAmount(QStringLiteral("GesIstVk"), 200.0);
    m_main->engine().setDocument(document);
    QCOMPARE(m_main->engine().Replace_All(text, true), expected);
}

void TestPlaceholders::comparisonOptionDecidesSecondCurrency_data()
{
    QTest::addColumn<int>("writtenFor");
    QTest::addColumn<QString>("option");
    QTest::addColumn<bool>("inItems"); // ReplWH2(false)
    QTest::addColumn<bool>("inSums");  // ReplWH2(true)
    QTest::newRow("A: all prices") << 3 << "A" << true << true;
    QTest::newRow("G: totals only") << 3 << "G" << false << true;
    QTest::newRow("K: none") << 3 << "K" << false << false;
    QTest::newRow("unset: totals only") << -1 << "" << false << true;
    // Catches an engine that reads the option of another workstation than its own.
    QTest::newRow("option of another workstation") << 4 << "A" << false << true;
}

void TestPlaceholders::comparisonOptionDecidesSecondCurrency()
{
    QFETCH(int, writtenFor);
    QFETCH(QString, option);
    QFETCH(bool, inItems);
    QFETCH(bool, inSums);
    TBonPrinter &engine = m_main->engine();
    QCOMPARE(engine.workstation(), 3);
    if (writtenFor >= 0)
        m_installation->host().parameters().StringParamWrite(QStringLiteral("PRGEUEBE"), option,
                                                             writtenFor);
    engine.ReadPrGeUebe();
    QCOMPARE(engine.ReplWH2(false), inItems);
    QCOMPARE(engine.ReplWH2(true), inSums);
    // What the item and sum previews then show for a price in currency 2.
    QCOMPARE(engine.Replace_All(QStringLiteral("#IstVkWH2#"), engine.ReplWH2(false)).isEmpty(),
             !inItems);
    QCOMPARE(engine.Replace_All(QStringLiteral("#ZSummeWH2#"), engine.ReplWH2(true)).isEmpty(),
             !inSums);
}

void TestPlaceholders::sampleDocumentFillsPlaceholders_data()
{
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("expected");
    const std::pair<const char *, const char *> rows[] = {
            {"#BelegNr#", "130000001"},
            {"#Bemerkung#", "Bemerkung"},
            {"#BelegHerkunft#", "BO 21-4711"},
            {"#ArtikelNr#", "1000"},
            {"#Größe#", "420"},
            {"#HerstArt#", "455A34"},
            {"#HerstNr#", "4122"},
            {"#LiefArtNeu#", "A34 455"},
            {"#Merkmal1#", "schwarz"},
            {"#Merkmal6#", "XXXXXX"},
            {"#EigMerkmal1#", "Eigenes Merkmal 1"},
            {"#Regal#", "8-35562"},
            {"#Farbe#", "weiß"},
            {"#Material#", "Textil"},
            {"#WG#", "Herrenschnürschuh"},
            {"#Mangel#", "Schönheitsfehler"},
            {"#Teil#", "Riss"},
            {"#Beschreibung#", "Sohle links"},
            {"#Aktionstyp#", "Aktion Kaufe 3, zahle 2"},
            {"#Set_Aktion_Preis#", "Setpreis"},
            {"#ZSummeWH1#", "459,70"},
            {"#USTBetragWH1#", "87,34"},
            {"#GegebenWH1#", "500,00"},
            {"#RückWH1#", "40,30"},
            {"#KndLand#", "Deutschland"},
            {"#KndName2#", "Abteilung Einkauf"},
            {"#PaybackNummer#", "12******90"},
            {"#ProCaNummer#", "12345678901234"},
            {"#VknNr#", "1"},
            {"#KopfVknNr#", "2"},
            {"#ZM#", "Kredit"},
            {"#Kassenstand#", "Kasse abgeschlossen"},
            {"#Kassenberichtnummer#", "2 - 31"},
            {"#Kassenbericht#", "Kassenbericht"},
            {"#KBErsterBon#", "        2-134"},
            {"#MailAbsender#", "R[H1]"},
            {"#MailEmpfaenger#", "R[P2]"},
            {"#MailZuLesenDurch#", "R[P2]"},
            {"#MailBetreff#", "Testmail"},
            {"#MailErledigt#", "Nein"},
            {"#MailAntwortzwang#", "Nein"},
            {"#MailNummer#", "1234"},
            {"#MailPrioritaet#", "B"},
            {"#MailStichworte#", "Dekoration, Neuware"},
            {"#MailText#",
             "An Personal Filiale 2\r\n \r\nBitte dekorieren Sie Ihre Fenster mit der erhaltenen "
             "Neuware gemäß der Vorlage im Anhang um!\r\n \r\nDie Geschäftsführung"},
            {"#FaPosBelegNr#", "EBS 461-1101"},
            {"#GrundBestAbg#", "Diebstahl"},
    };
    for (const auto &[token, expected] : rows)
        QTest::newRow(token) << QString::fromUtf8(token) << QString::fromUtf8(expected);
}

void TestPlaceholders::sampleDocumentFillsPlaceholders()
{
    QFETCH(QString, token);
    QFETCH(QString, expected);
    QCOMPARE(m_main->engine().Replace_All(token, true), expected);
}

void TestPlaceholders::datesAreToday()
{
    const QString before = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
    m_main->engine().setDocument(sample(1.0, QDateTime::currentDateTime()));
    const QString after = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
    for (const char *token : {"#Datum#", "#AktDatum#", "#MailDatum#"}) {
        const QString date = m_main->engine().Replace_All(QString::fromLatin1(token), true);
        QVERIFY2(date == before || date == after, qPrintable(token + QStringLiteral(": ") + date));
    }
}

QTEST_MAIN(TestPlaceholders)
// ---- fiscal data ---------------------------------------------------------------------------

void TestPlaceholders::tseQrCodeFollowsTheTaxOfficeFormat_data()
{
    QTest::addColumn<int>("sampleCase");
    for (SampleCase c : sampleCases())
        QTest::newRow(qPrintable(sampleCaseName(c))) << int(c);
}

void TestPlaceholders::tseQrCodeFollowsTheTaxOfficeFormat()
{
    QFETCH(int, sampleCase);
    DocumentData d = sample();
    applySampleCase(d, SampleCase(sampleCase));
    QCOMPARE(sampleCaseOf(d), SampleCase(sampleCase));
    auto value = [&d](const char *token) {
        return replacePlaceholders(QString::fromLatin1(token), d, false);
    };
    const QString qr = value("#TSE-QR#");
    if (SampleCase(sampleCase) == SampleCase::Ausfall) {
        // A failed device signed nothing: no code, no transaction, the failure line instead.
        QCOMPARE(qr, QString());
        QCOMPARE(value("#TSE-Signatur#"), QString());
        QCOMPARE(value("#TSE-TransaktionNr#"), QString());
        QCOMPARE(value("#TSE-Ausfall#"), QStringLiteral("TSE ausgefallen"));
        QVERIFY(!value("#TSE-KassenSerienNr#").isEmpty());
        return;
    }
    QCOMPARE(value("#TSE-Ausfall#"), QString());
    const QStringList f = qr.split(u';');
    QCOMPARE(f.size(), 12);
    QCOMPARE(f.at(0), QStringLiteral("V0"));
    QCOMPARE(f.at(1), value("#TSE-KassenSerienNr#"));
    QCOMPARE(f.at(2), QStringLiteral("Kassenbeleg-V1"));
    const bool training = SampleCase(sampleCase) == SampleCase::Training;
    QVERIFY2(QRegularExpression(QStringLiteral("^%1\\^459\\.70_0\\.00_0\\.00_0\\.00_0\\.00\\^"
                                               "459\\.70:Bar$")
                                        .arg(training ? "AVTraining" : "Beleg"))
                     .match(f.at(3))
                     .hasMatch(),
             qPrintable(f.at(3)));
    QCOMPARE(f.at(4), value("#TSE-TransaktionNr#"));
    QCOMPARE(f.at(5), value("#TSE-Signaturzaehler#"));
    // Start and end in ISO 8601 with milliseconds, in UTC; the end is the receipt's moment.
    const QRegularExpression iso(
            QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z$"));
    QVERIFY(iso.match(f.at(6)).hasMatch());
    QCOMPARE(f.at(6), value("#TSE-Start#"));
    QCOMPARE(f.at(7), value("#TSE-Ende#"));
    QCOMPARE(QDateTime::fromString(f.at(7), Qt::ISODateWithMs), SampleMoment.toUTC());
    QVERIFY(QDateTime::fromString(f.at(6), Qt::ISODateWithMs) < SampleMoment);
    QCOMPARE(f.at(8), value("#TSE-Algorithmus#"));
    QCOMPARE(f.at(8), QStringLiteral("ecdsa-plain-SHA384"));
    QVERIFY(f.at(9) == QLatin1String("utcTime") || f.at(9) == QLatin1String("unixTime"));
    // An ECDSA P-384 signature of 96 bytes and an uncompressed public key of 97, in base64;
    // the device's serial number is the SHA-256 of its public key.
    const auto signature = QByteArray::fromBase64Encoding(f.at(10).toLatin1(),
                                                          QByteArray::AbortOnBase64DecodingErrors);
    QVERIFY(signature);
    QCOMPARE(signature.decoded.size(), 96);
    QCOMPARE(f.at(10), value("#TSE-Signatur#"));
    const auto key = QByteArray::fromBase64Encoding(f.at(11).toLatin1(),
                                                    QByteArray::AbortOnBase64DecodingErrors);
    QVERIFY(key);
    QCOMPARE(key.decoded.size(), 97);
    QCOMPARE(key.decoded.at(0), '\x04');
    QCOMPARE(value("#TSE-Seriennummer#"),
             QString::fromLatin1(
                     QCryptographicHash::hash(key.decoded, QCryptographicHash::Sha256).toHex()));
    // A copy shows its original's data; a training receipt is signed anew.
    DocumentData normal = d;
    applySampleCase(normal, SampleCase::Normal);
    const QString original = replacePlaceholders(QStringLiteral("#TSE-QR#"), normal, false);
    QCOMPARE(qr == original, SampleCase(sampleCase) != SampleCase::Training);
    QCOMPARE(value("#Duplikat#").isEmpty(), SampleCase(sampleCase) != SampleCase::Duplikat);
    QCOMPARE(value("#Trainingsbeleg#").isEmpty(), !training);
}

void TestPlaceholders::rksvCodeFollowsTheRegulation_data()
{
    tseQrCodeFollowsTheTaxOfficeFormat_data();
}

void TestPlaceholders::rksvCodeFollowsTheRegulation()
{
    QFETCH(int, sampleCase);
    DocumentData d = sample();
    applySampleCase(d, SampleCase(sampleCase));
    const QString code = replacePlaceholders(QStringLiteral("#RKSV-Code#"), d, false);
    QCOMPARE(replacePlaceholders(QStringLiteral("#RKSV-QR#"), d, false), code);
    const QStringList f = code.split(u'_');
    QCOMPARE(f.size(), 14);
    QCOMPARE(f.at(0), QString());
    QCOMPARE(f.at(1), QStringLiteral("R1-AT1"));
    QCOMPARE(f.at(2), replacePlaceholders(QStringLiteral("#RKSV-KassenID#"), d, false));
    QCOMPARE(f.at(3), replacePlaceholders(QStringLiteral("#RKSV-BelegNr#"), d, false));
    QCOMPARE(f.at(4), QStringLiteral("2024-03-15T09:05:07"));
    QCOMPARE(f.mid(5, 5), QStringList({"459,70", "0,00", "0,00", "0,00", "0,00"}));
    const auto decoded = [&f](int i) {
        return QByteArray::fromBase64Encoding(f.at(i).toLatin1(),
                                              QByteArray::AbortOnBase64DecodingErrors);
    };
    QVERIFY(decoded(10));
    QCOMPARE(decoded(10).decoded == "TRA", SampleCase(sampleCase) == SampleCase::Training);
    QVERIFY(QRegularExpression(QStringLiteral("^[0-9a-f]+$")).match(f.at(11)).hasMatch());
    QVERIFY(decoded(12));
    QVERIFY(decoded(13));
    QCOMPARE(decoded(13).decoded == "Sicherheitseinrichtung ausgefallen",
             SampleCase(sampleCase) == SampleCase::Ausfall);
}

void TestPlaceholders::emptyFiscalLinesAreLeftOut()
{
    TBonPrinter &engine = m_main->engine();
    const LineValues marks{QStringLiteral(" #Duplikat#  #Trainingsbeleg# "), {}, {}, {}, {}};
    const LineValues failure{QStringLiteral("#TSE-Ausfall#"), {}, {}, {}, {}};
    const LineValues labelled{QStringLiteral("Kopie: #Duplikat#"), {}, {}, {}, {}};
    const SectionPrintContext context = engine.printContext(QStringLiteral("BONENDE"));
    // The normal case: both mark lines take no paper, in print and in the preview; a line with
    // text of its own stays.
    QCOMPARE(textLineItem(marks, context).size(), 0);
    QCOMPARE(textLineItem(failure, context).size(), 0);
    QVERIFY(engine.previewLine(failure, QStringLiteral("BONENDE"), false)
                    .rows.join(QString())
                    .isEmpty());
    QCOMPARE(textLineItem(labelled, context).size(), 1);
    QCOMPARE(textLineItem(labelled, context).first().text, QStringLiteral("Kopie: "));
    // A copy prints its mark, the failure line still takes no paper.
    applySampleCase(engine.document(), SampleCase::Duplikat);
    QCOMPARE(textLineItem(marks, engine.printContext(QStringLiteral("BONENDE"))).size(), 1);
    QCOMPARE(textLineItem(marks, engine.printContext(QStringLiteral("BONENDE")))
                     .first()
                     .text.trimmed(),
             QStringLiteral("Duplikat"));
    QCOMPARE(textLineItem(failure, engine.printContext(QStringLiteral("BONENDE"))).size(), 0);
    applySampleCase(engine.document(), SampleCase::Ausfall);
    QCOMPARE(engine.previewLine(failure, QStringLiteral("BONENDE"), false)
                     .rows.join(QString())
                     .trimmed(),
             QStringLiteral("TSE ausgefallen"));
}

#include "tst_placeholders.moc"
