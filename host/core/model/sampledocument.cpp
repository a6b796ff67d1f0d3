#include "core/model/sampledocument.h"

#include "core/model/textfunctions.h"

#include <QCryptographicHash>
#include <QLocale>

namespace {

// Fields of the sample document that no placeholder shows: the moment the receipt was completed
// and the case its fiscal data were filled for.
const QString MomentField = QStringLiteral("BelegZeitpunkt");
const QString CaseField = QStringLiteral("BelegFall");

} // namespace

QString PAYBACKBonText(int points, int balance)
{
    return QStringLiteral("Mit diesem Einkauf haben Sie %1 Bonuspunkte gesammelt. Ihr "
                          "Punktestand: %2")
            .arg(points)
            .arg(balance);
}

DocumentData sampleDocument(double exchangeFactor, const QString &currency1,
                            const QString &currency2, const QDateTime &now)
{
    DocumentData d;
    d.currency1 = currency1;
    d.currency2 = currency2;
    d.exchangeFactor = exchangeFactor;
    const QString today = ovo_DateToStr(now.date());
    const QString time = ovo_TimeToStr(now.time());
    auto t = [&d](const char16_t *field, const QString &value) {
        d.setText(QString::fromUtf16(field), value);
    };
    auto s = [&d](const char16_t *field, const char16_t *value) {
        d.setText(QString::fromUtf16(field), QString::fromUtf16(value));
    };

    // Document
    s(u"Belegcode", u"2");
    s(u"BelegNr", u"130000001");
    s(u"BelegArt", u"Art des Belegs");
    s(u"BelegNrAltNeu", u"alte/neue Belegnummer");
    s(u"Bemerkung", u"Bemerkung");
    s(u"BelegHerkunft", u"BO 21-4711");
    s(u"BelegNrRNr", u"R 130000001");
    s(u"BelegNrLNr", u"L 130000001");
    s(u"BelegNrSNr", u"S 130000001");
    s(u"Bonnummer", u"2-134");
    s(u"BarCode", u"130000001");
    s(u"BonNrBarcode", u"13130000001");
    t(u"Datum", today);
    t(u"AktDatum", today);
    t(u"Uhrzeit", time);
    t(u"BisDatum", today);
    t(u"VonBisDatum", ovo_DateToStr(now.date().addDays(-7)) + QStringLiteral(" - ") + today);
    s(u"GesMenge", u"1");
    s(u"Menge", u"1");
    s(u"MengeText", u"ein Stück");
    s(u"Position", u"1");
    s(u"Sachkonto", u"8400");

    // Article
    s(u"ArtikelBez", u"Derby Classic Wildleder");
    s(u"ArtikelNr", u"1000");
    s(u"WertBarCode", u"000100000000100000");
    s(u"FaPosBarcode", u"000100000000100000");
    s(u"Beschreibung", u"Sohle links");
    s(u"Größe", u"420");
    s(u"GrößeTxt", u"420");
    s(u"HerstName", u"Schuhwerk Brandt");
    s(u"HerstArt", u"455A34");
    s(u"HerstNr", u"4122");
    s(u"LiefNameNeu", u"Lederwaren Großhandel Wiesental");
    s(u"LiefArtNeu", u"A34 455");
    s(u"LiefNrNeu", u"70815");
    s(u"LiefName", u"Schuhwerk Brandt");
    s(u"LiefArt", u"455A34");
    s(u"LiefNr", u"4122");
    const char16_t *attributes[] = {u"schwarz", u"breit", u"stark", u"hoch", u"lang", u"XXXXXX"};
    for (int i = 0; i < 6; ++i)
        d.setText(QStringLiteral("Merkmal%1").arg(i + 1), QString::fromUtf16(attributes[i]));
    s(u"EigMerkmal1", u"Eigenes Merkmal 1");
    s(u"ArtMerk", u"Eigenes Merkmal 1");
    s(u"Regal", u"8-35562");
    s(u"Farbe", u"weiß");
    s(u"Material", u"Textil");
    s(u"WG", u"Herrenschnürschuh");
    s(u"WGKurz", u"HSS");
    s(u"WGOderBez", u"Herrenschnürschuh");
    s(u"WGMerk", u"Leder");
    s(u"Linie", u"----------------------------------------");

    // Complaint
    s(u"Mangel", u"Schönheitsfehler");
    s(u"Teil", u"Riss");
    s(u"AnzahlReklamation", u"1");

    // Prices: 239.80 + 100.00 + 119.90 = 459.70, paid with 500.00, 40.30 back
    d.setAmount(QStringLiteral("SollVk"), 250.00);
    d.setAmount(QStringLiteral("Gegeben"), 500.00);
    d.setAmount(QStringLiteral("IstVk"), 239.80);
    d.setAmount(QStringLiteral("GesIstVk"), 239.80);
    d.setAmount(QStringLiteral("Betrag"), 100.00);
    d.setAmount(QStringLiteral("Rück"), 40.30);
    d.setAmount(QStringLiteral("Setpreis"), 119.90);
    d.setAmount(QStringLiteral("ZSumme"), 459.70);
    d.setAmount(QStringLiteral("USTBetrag"), 87.343);
    d.setAmount(QStringLiteral("NettoBtrg"), 459.70 - 87.343);
    d.setAmount(QStringLiteral("Reduz"), 250.00 - 239.80);
    d.setAmount(QStringLiteral("Max(I/S)"), 250.00);
    const QLocale german(QLocale::German, QLocale::Germany);
    const double percent = (250.00 - 239.80) / 250.00 * 100.0;
    t(u"ReduzProzent", german.toString(percent, 'f', 2) + QStringLiteral(" %"));
    t(u"ReduzProzent1", german.toString(percent, 'f', 1) + QStringLiteral(" %"));
    t(u"ReduzProzent0", german.toString(percent, 'f', 0) + QStringLiteral(" %"));
    s(u"UST", u"19,0");
    s(u"UST2", u"7,0");
    s(u"SteuerInfos", u"MwSt 19,0 % auf 459,70 = 87,34");
    s(u"Aktionstyp", u"Aktion Kaufe 3, zahle 2");
    s(u"Set_Aktion_Preis", u"Setpreis");
    s(u"SetMenge", u"3");
    t(u"Bonus", formatAmount(5.53));
    t(u"BonusVerfuegbar", formatAmount(7.38));
    t(u"BonusGesperrt", formatAmount(0));
    s(u"PreisMindGrund", u"Schönheitsfehler");

    // Customer
    s(u"KndLand", u"Deutschland");
    s(u"KndName", u"Lindenhof Sportartikel GmbH");
    s(u"KndName2", u"Abteilung Einkauf");
    s(u"KndOrt", u"Bergheim");
    s(u"KndPlz", u"50127");
    s(u"KndStrasse", u"Am Mühlbach 12");
    s(u"KndVorname", u"Helga");
    s(u"KndTelefon", u"02271 480 15");
    s(u"KndTelefax", u"02271 480 16");
    s(u"KndMobil", u"0171 5550 123");
    s(u"KndEMail", u"einkauf@lindenhof-sport.example");
    s(u"KndTitel", u"Firma");
    s(u"KndGeburt", u"14.03.1968");
    s(u"KndNr", u"100471");
    s(u"PersonalOrKundNr", u"100471");
    t(u"KndAlles", QStringLiteral("Lindenhof Sportartikel GmbH, Abteilung Einkauf, Am Mühlbach 12, "
                                  "50127 Bergheim, Deutschland"));
    t(u"KndAllesDeEnFr", QStringLiteral("Kunde/Customer/Client: Lindenhof Sportartikel GmbH, Am "
                                        "Mühlbach 12, 50127 Bergheim, Deutschland"));
    s(u"Unterschrift", u"______________________________");

    // Loyalty cards
    s(u"PaybackNummer", u"12******90");
    s(u"PaybackBasis", u"50");
    s(u"PaybackExtra", u"38");
    s(u"PaybackPunkte", u"88");
    t(u"PaybackText", PAYBACKBonText(50, 38));
    s(u"ProCaNummer", u"12345678901234");
    s(u"ProCaPunkte", u"12");
    s(u"ProCaExtra", u"24");
    s(u"ProCaGesamt", u"50");

    // Sales persons
    s(u"VknNr", u"1");
    s(u"VknName", u"Frau Anja Kessler");
    s(u"VknVorName", u"Anja");
    s(u"VknNachName", u"Kessler");
    s(u"VknAnredeNachName", u"Frau Kessler");
    s(u"KopfVknNr", u"2");
    s(u"KopfVknName", u"Frau Birgit Wendt");
    s(u"KopfVknVorName", u"Birgit");
    s(u"KopfVknNachName", u"Wendt");
    s(u"KopfVknAnredeNachName", u"Frau Wendt");

    // Payment
    s(u"ZM", u"Kredit");
    t(u"ZMBetrag", formatAmount(500.00));
    s(u"Kartentext", u"Kreditkarte");
    s(u"ExtGutscheinNr", u"GS-2024-0815");
    s(u"GSName", u"Geschenkgutschein");

    // Shop
    s(u"MandName", u"Schuhhaus Feldmann");
    s(u"FilName", u"Schuhhaus Feldmann Filiale Altstadt");
    s(u"FilOrt", u"Lindenau");
    s(u"FilPLZ", u"04177");
    s(u"FilStrasse", u"Marktgasse 7");
    s(u"FilTel", u"0341 998 20 40");
    s(u"UStID", u"DE 999 999 999");
    s(u"SteuerNr", u"231/118/04711");
    s(u"AnFiliale", u"2");
    s(u"VonFiliale", u"1");
    s(u"BVMand", u"Schuhhaus Feldmann");
    s(u"BVMandKtoNr", u"1234567890");
    s(u"BVMandBank", u"Volksbank Lindenau");
    s(u"BVMandBLZ", u"86095604");
    s(u"BVMandIBAN", u"DE02 8609 5604 1234 5678 90");
    s(u"BVMandBIC", u"GENODEF1LVB");

    // Tax refund texts
    s(u"MwSt-Erstattungshinweis", u"Erstattung der MwSt nur gegen Ausfuhrbestätigung.");
    s(u"MwSt-Hinweistext-Abtrennen", u"- - - - - - - hier abtrennen - - - - - - -");
    s(u"MwSt-ZollbestaetigungDeEnFr", u"Zollbestätigung / Customs / Douane");

    // Cash report
    s(u"Kassenbericht", u"Kassenbericht");
    s(u"KassenberichtUeberschrift", u"Aktuelle Positionen");
    s(u"Sollsumme", u"581,00");
    s(u"Habensumme", u"10,00");
    s(u"PositionWH", u"EUR");
    s(u"PositionBetrag", u"581,00");
    s(u"PositionAnzahl", u"1");
    s(u"Kassenstand", u"Kasse abgeschlossen");
    t(u"Kassiererin", ovo_padleft(QStringLiteral("1"), 4) + QStringLiteral(" Frau Anja Kessler"));
    t(u"VknAbschluss", ovo_padleft(QStringLiteral("39"), 4) + QStringLiteral(" Frau Birgit Wendt"));
    t(u"VknAbschluss2", ovo_padleft(QStringLiteral("40"), 4) + QStringLiteral(" Frau Carla Voss"));
    t(u"VknVorlAbschluss",
      ovo_padleft(QStringLiteral("15"), 4) + QStringLiteral(" Frau Dana Roth"));
    s(u"Kassenberichtnummer", u"2 - 31");
    t(u"KBDatumText", today);

    // Internal mail
    s(u"MailAbsender", u"R[H1]");
    s(u"MailAntwortzwang", u"Nein");
    s(u"MailBetreff", u"Testmail");
    t(u"MailDatum", today);
    s(u"MailEmpfaenger", u"R[P2]");
    s(u"MailErledigt", u"Nein");
    s(u"MailNummer", u"1234");
    s(u"MailPrioritaet", u"B");
    s(u"MailStichworte", u"Dekoration, Neuware");
    s(u"MailText", u"An Personal Filiale 2\r\n \r\nBitte dekorieren Sie Ihre Fenster mit der "
                   u"erhaltenen Neuware gemäß der Vorlage im Anhang um!\r\n \r\nDie "
                   u"Geschäftsführung");
    t(u"MailUhrzeit", time);
    s(u"MailZuLesenDurch", u"R[P2]");

    // Branch exchange
    s(u"FaBelegArt", u"Filialaustausch");
    s(u"FaPosBelegNr", u"EBS 461-1101");
    s(u"FaPosKunde", u"Hartmann, Jens");
    s(u"FaPosOrderId", u"8473");
    s(u"FaPosVonFil", u"1");
    s(u"FaPosAnFil", u"2");
    s(u"FaPosBarcode", u"0001000000001000002222");

    // Report dates: opened this morning, closed now
    t(u"KBBeginnDatum", today);
    t(u"KBBeginnZeit", QStringLiteral("08:00:00"));
    t(u"KBEndeDatum", today);
    t(u"KBEndeZeit", time);
    t(u"KBErsterBon", ovo_padleft(QString::asprintf("%d-%d", 2, 134), 13));
    t(u"KBLetzterBon", ovo_padleft(QString::asprintf("%d-%d", 2, 134), 13));

    // Stock removal
    s(u"Benutzer", u"mkoehler");
    s(u"Person", u"Martin Köhler");
    s(u"GrundBestAbg", u"Diebstahl");
    s(u"GutscheinArt", u"Einzweck-GS");

    // Fiscal data: the moment the receipt was completed, from which the case derives its own.
    d.setText(MomentField, now.toString(Qt::ISODateWithMs));
    applySampleCase(d, SampleCase::Normal);
    return d;
}

namespace {

struct CaseName
{
    SampleCase sampleCase;
    const char16_t *name;
    const char16_t *title;
};

constexpr CaseName caseNames[] = {
        {SampleCase::Normal, u"normal", u"Normalfall"},
        {SampleCase::Ausfall, u"ausfall", u"TSE ausgefallen"},
        {SampleCase::Duplikat, u"duplikat", u"Duplikat"},
        {SampleCase::Training, u"training", u"Trainingsbeleg"},
};

// Made-up bytes standing in for what a security device computes: the same seed gives the same
// bytes, so that a copy shows the signature of its original and tests can compare.
QByteArray madeUpBytes(const QString &seed, int count)
{
    QByteArray bytes;
    for (int round = 0; bytes.size() < count; ++round)
        bytes += QCryptographicHash::hash((seed + QString::number(round)).toUtf8(),
                                          QCryptographicHash::Sha384);
    return bytes.left(count);
}

// An amount as the fiscal codes carry it: two decimals, no thousands separator.
QString fiscalAmount(double value, QChar decimalPoint)
{
    QString text = QString::number(value, 'f', 2);
    return text.replace(u'.', decimalPoint);
}

} // namespace

const QList<SampleCase> &sampleCases()
{
    static const QList<SampleCase> all = [] {
        QList<SampleCase> list;
        for (const CaseName &c : caseNames)
            list << c.sampleCase;
        return list;
    }();
    return all;
}

QString sampleCaseName(SampleCase sampleCase)
{
    for (const CaseName &c : caseNames) {
        if (c.sampleCase == sampleCase)
            return QString::fromUtf16(c.name);
    }
    return {};
}

std::optional<SampleCase> sampleCaseNamed(const QString &name)
{
    for (const CaseName &c : caseNames) {
        if (name == QStringView(c.name))
            return c.sampleCase;
    }
    return std::nullopt;
}

QString sampleCaseTitle(SampleCase sampleCase)
{
    for (const CaseName &c : caseNames) {
        if (c.sampleCase == sampleCase)
            return QString::fromUtf16(c.title);
    }
    return {};
}

SampleCase sampleCaseOf(const DocumentData &document)
{
    return sampleCaseNamed(document.text(CaseField)).value_or(SampleCase::Normal);
}

void applySampleCase(DocumentData &d, SampleCase sampleCase)
{
    QDateTime moment = QDateTime::fromString(d.text(MomentField), Qt::ISODateWithMs);
    if (!moment.isValid())
        moment = QDateTime::currentDateTime();
    moment = moment.addMSecs(-moment.time().msec());
    const bool failed = sampleCase == SampleCase::Ausfall;
    const bool training = sampleCase == SampleCase::Training;
    d.setText(CaseField, sampleCaseName(sampleCase));
    const double total = d.amount(QStringLiteral("ZSumme"));

    // Germany: the transaction as the TSE signed it (DSFinV-K, appendix I). A failed device
    // signed nothing; the till's own serial number is still known.
    const QString tillSerial = QStringLiteral("SF-LINDENAU-KASSE-02");
    const QByteArray publicKey = QByteArray(1, '\x04') + madeUpBytes(QStringLiteral("TSE"), 96);
    const QString transaction = QStringLiteral("1187");
    const QString counter = QStringLiteral("2411");
    const QString start =
            moment.toUTC().addSecs(-83).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
    const QString end = moment.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
    const QString algorithm = QStringLiteral("ecdsa-plain-SHA384");
    const QString timeFormat = QStringLiteral("utcTime");
    QString payment = fiscalAmount(total, u'.') + QStringLiteral(":Bar");
    if (d.currency1 != QLatin1String("EUR"))
        payment += u':' + d.currency1;
    const QString processData = (training ? QStringLiteral("AVTraining") : QStringLiteral("Beleg"))
                                + u'^' + fiscalAmount(total, u'.')
                                + QStringLiteral("_0.00_0.00_0.00_0.00^") + payment;
    const QStringList signedPart = {QStringLiteral("V0"),
                                    tillSerial,
                                    QStringLiteral("Kassenbeleg-V1"),
                                    processData,
                                    transaction,
                                    counter,
                                    start,
                                    end,
                                    algorithm,
                                    timeFormat};
    const QString signature =
            QString::fromLatin1(madeUpBytes(signedPart.join(u';'), 96).toBase64());
    auto tse = [&d, failed](const char16_t *field, const QString &value) {
        d.setText(QString::fromUtf16(field), failed ? QString() : value);
    };
    d.setText(QStringLiteral("TSE-KassenSerienNr"), tillSerial);
    tse(u"TSE-TransaktionNr", transaction);
    tse(u"TSE-Signaturzaehler", counter);
    tse(u"TSE-Start", start);
    tse(u"TSE-Ende", end);
    tse(u"TSE-Seriennummer",
        QString::fromLatin1(
                QCryptographicHash::hash(publicKey, QCryptographicHash::Sha256).toHex()));
    tse(u"TSE-Algorithmus", algorithm);
    tse(u"TSE-Zeitformat", timeFormat);
    tse(u"TSE-Signatur", signature);
    tse(u"TSE-PublicKey", QString::fromLatin1(publicKey.toBase64()));
    tse(u"TSE-QR", (signedPart + QStringList{signature, QString::fromLatin1(publicKey.toBase64())})
                           .join(u';'));
    d.setText(QStringLiteral("TSE-Ausfall"),
              failed ? QStringLiteral("TSE ausgefallen") : QString());

    // Austria: the machine-readable code of the signed receipt (RKSV, appendix). A failed
    // device's receipt carries the prescribed text in place of the signature; a training
    // receipt carries "TRA" in place of the encrypted turnover counter.
    const QString tillId = QStringLiteral("KASSE-02");
    const QString receipt = d.text(QStringLiteral("Bonnummer"));
    const QString amounts = fiscalAmount(total, u',') + QStringLiteral("_0,00_0,00_0,00_0,00");
    const QByteArray turnover =
            training ? QByteArrayLiteral("TRA") : madeUpBytes(QStringLiteral("Umsatz"), 8);
    const QString certificate = QStringLiteral("5a1c3e07");
    const QString previous =
            QString::fromLatin1(madeUpBytes(QStringLiteral("Vorbeleg"), 8).toBase64());
    const QString head = QStringList{QString(),
                                     QStringLiteral("R1-AT1"),
                                     tillId,
                                     receipt,
                                     moment.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")),
                                     amounts,
                                     QString::fromLatin1(turnover.toBase64()),
                                     certificate,
                                     previous}
                                 .join(u'_');
    const QByteArray rksvSignature =
            failed ? QByteArrayLiteral("Sicherheitseinrichtung ausgefallen")
                   : madeUpBytes(head, 64);
    d.setText(QStringLiteral("RKSV-KassenID"), tillId);
    d.setText(QStringLiteral("RKSV-BelegNr"), receipt);
    d.setText(QStringLiteral("RKSV-Code"),
              head + u'_' + QString::fromLatin1(rksvSignature.toBase64()));

    // Both: the marks of a copy and of a training receipt.
    d.setText(QStringLiteral("Duplikat"),
              sampleCase == SampleCase::Duplikat ? QStringLiteral("Duplikat") : QString());
    d.setText(QStringLiteral("Trainingsbeleg"),
              training ? QStringLiteral("Trainingsbeleg") : QString());
}
