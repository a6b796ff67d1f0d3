#include "core/engine/testprints.h"

#include "core/engine/bonprinter.h"
#include "core/model/hosttables.h"
#include "core/model/textfunctions.h"

#include <QDate>

namespace {

// Writes sample values into the engine's document between the print calls.
class Sample
{
public:
    explicit Sample(TBonPrinter &engine)
        : m_engine(engine)
    {
    }

    Sample &text(const char16_t *field, const QString &value)
    {
        m_engine.document().setText(QString::fromUtf16(field), value);
        return *this;
    }
    Sample &text(const char16_t *field, const char16_t *value)
    {
        return text(field, QString::fromUtf16(value));
    }
    Sample &amount(const char16_t *field, double value)
    {
        m_engine.document().setAmount(QString::fromUtf16(field), value);
        return *this;
    }
    // A payment line: its kind, means and amount in currency 1 or 2.
    Sample &payment(const char16_t *means, double value, bool currency2 = false)
    {
        text(u"ZM", means);
        amount(u"Betrag", value);
        const DocumentData &d = m_engine.document();
        text(u"PositionWH", currency2 ? d.currency2 : d.currency1);
        return *this;
    }

private:
    TBonPrinter &m_engine;
};

void print(TBonPrinter &e, const char16_t *operation)
{
    e.KT_Print(QString::fromUtf16(operation));
}

void line(TBonPrinter &e, const char16_t *kind, const char16_t *operation)
{
    e.setLineKind(QString::fromUtf16(kind));
    print(e, operation);
}

// The two task-list items of types 2 and 22 (and, without their extra data, type 8).
void taskListItems(TBonPrinter &e, const char16_t *operation, bool details,
                   const char16_t *secondShelf)
{
    Sample s(e);
    struct Item
    {
        const char16_t *nr, *size, *qty, *brand, *colour, *material, *shelf, *ref, *customer,
                *number, *barcode;
    };
    const Item items[] = {
            {u"130000001", u"390", u"1", u"Brandt Derby Classic", u"blau-weiß", u"Kunststoff",
             u"8-35562", u"EBS 461-1101", u"Hartmann, Jens", u"8473", u"0001000000001000002222"},
            {u"270010007", u"10 1/2", u"2", u"Nordpfad Trekking Pro", u"bunt", u"Kustfaser",
             secondShelf, u"EBS 523-1101", u"Albers, Greta", u"8475", u"0001000000002000002222"},
    };
    for (const Item &i : items) {
        s.text(u"ArtikelNr", i.nr).text(u"Größe", i.size).text(u"Menge", i.qty);
        s.text(u"FaPosBelegNr", i.ref)
                .text(u"FaPosKunde", i.customer)
                .text(u"FaPosOrderId", i.number);
        if (details) {
            s.text(u"ArtikelBez", i.brand).text(u"Farbe", i.colour).text(u"Material", i.material);
            s.text(u"Regal", i.shelf).text(u"FaPosBarcode", i.barcode);
        }
        print(e, operation);
    }
    s.text(u"GesMenge", u"3");
}

void cashChange(TBonPrinter &e, int type, const char16_t *head, const char16_t *over,
                const char16_t *item, const char16_t *end)
{
    Sample s(e);
    print(e, head);
    e.setDocumentKind(CBelegName(type));
    e.KT_PrintNewLine(1);
    print(e, over);
    s.payment(u"Bar", 888.88);
    print(e, item);
    s.payment(u"Gutschein", 666.66);
    print(e, item);
    s.payment(u"Scheck", 444.44, true);
    print(e, item);
    s.payment(u"Sozialschein", 222.22);
    print(e, item);
    e.KT_PrintNewLine(2);
    print(e, end);
}

// The item and sum lines of a receipt; an invoice sends kinds "G" and "R" and its sums after
// the first to its own operations.
void receiptBody(TBonPrinter &e, bool invoice)
{
    Sample s(e);
    const char16_t *pos = u"KT_PrintBonPos";
    const char16_t *special = invoice ? u"KT_PrintRechnungPos" : pos;
    line(e, u"P", pos);
    s.text(u"Größe", u"400")
            .text(u"GrößeTxt", u"400")
            .text(u"Menge", u"2")
            .amount(u"IstVk", 239.80);
    line(e, u"P", pos);
    line(e, u"G", special);
    s.text(u"ArtikelNr", u"130000007").text(u"Größe", u"075").text(u"GrößeTxt", u"7 1/2");
    s.text(u"Menge", u"1").amount(u"IstVk", 100.00).text(u"Mangel", u"Schönheitsfehler");
    s.text(u"PreisMindGrund", u"Schönheitsfehler").amount(u"Reduz", 119.90 - 110.00);
    s.text(u"Reduzierungen", u"Schönheitsfehler 110,00 119,90; Personalrabatt 100,00 110,00");
    if (invoice)
        s.text(u"LiefNameNeu", u"Lederwaren Großhandel Wiesental").text(u"LiefArtNeu", u"A34 455");
    line(e, u"P", pos);
    line(e, u"R", special);

    const char16_t *sum = u"KT_PrintBonSum";
    const char16_t *sum2 = invoice ? u"KT_PrintRechnungSum" : sum;
    line(e, u"S", sum);
    line(e, u"U", sum2);
    e.KT_PrintNewLine(1);
    line(e, u"Z", sum2);
    line(e, u"G", sum2);
    if (invoice) {
        line(e, u"R", sum2);
        e.KT_PrintNewLine(1);
        return;
    }
    e.KT_PrintNewLine(1);
    s.payment(u"Bar", 40.30);
    line(e, u"Z", sum);
    line(e, u"R", sum);
    e.KT_PrintNewLine(1);
}

void runSequence(TBonPrinter &e, int type, const QDateTime &now)
{
    Sample s(e);
    const QString name = CBelegName(type);
    switch (type) {
    case 1:
        print(e, u"KT_PrintAnzahlungKopf");
        e.setDocumentKind(name);
        print(e, u"KT_PrintAnzahlungUeber");
        s.payment(u"Anzahlung", 25.25);
        print(e, u"KT_PrintAnzahlung");
        e.KT_PrintNewLine(1);
        for (const char16_t *t :
             {u"Dies ist die Beschreibung des Artikels, der ",
              u"für den Kunden bestellt werden soll.",
              u"Hier kann ein beliebig langer Text stehen.",
              u"In die Buchhaltung werden nur die ersten 20", u"Zeichen übernommen."})
            e.KT_PrintLine(QString::fromUtf16(t), QStringLiteral("L"), 0);
        e.KT_PrintNewLine(1);
        s.payment(u"Scheck", 20.00);
        line(e, u"Z", u"KT_PrintBonSum");
        s.payment(u"Bar", 10.00);
        line(e, u"Z", u"KT_PrintBonSum");
        // The amount given, of which the change below is paid out.
        s.amount(u"Gegeben", 30.00);
        line(e, u"G", u"KT_PrintBonSum");
        e.KT_PrintNewLine(1);
        s.payment(u"Bar", -4.75);
        line(e, u"Z", u"KT_PrintBonSum");
        s.amount(u"Rück", -4.75).text(u"PositionWH", u"EUR");
        line(e, u"R", u"KT_PrintBonSum");
        e.KT_PrintNewLine(1);
        print(e, u"KT_PrintAnzahlungEnde");
        break;
    case 2:
    case 22: {
        const bool wbs = type == 22;
        print(e, wbs ? u"KT_PrintWBSKopf" : u"KT_PrintAUKopf");
        e.setDocumentKind(name);
        print(e, wbs ? u"KT_PrintWBSUeber" : u"KT_PrintAUUeber");
        taskListItems(e, wbs ? u"KT_PrintWBSPos" : u"KT_PrintAUPos", true,
                      wbs ? u"3-26321" : u"3-26314");
        print(e, wbs ? u"KT_PrintWBSEnde" : u"KT_PrintAUEnde");
        break;
    }
    case 3:
        print(e, u"KT_PrintAllgphasBelegKopf");
        e.setDocumentKind(QStringLiteral("Bestellung"));
        s.text(u"BelegHerkunft", u"EBS 42-1301");
        print(e, u"KT_PrintAllgphasBelegUeber");
        s.text(u"ArtikelNr", u"207001153").text(u"Größe", u"XL").text(u"Menge", u"10");
        s.amount(u"IstVk", 119.00);
        print(e, u"KT_PrintAllgphasBelegArtPos");
        s.text(u"ArtikelBez", u"Arbeitszeit Beflockung").text(u"Menge", u"2 Std.");
        s.amount(u"IstVk", 100.00);
        print(e, u"KT_PrintAllgphasBelegPos");
        s.text(u"Beschreibung", u"Textposition");
        print(e, u"KT_PrintAllgphasBelegTextPos");
        s.text(u"UST", u"19").amount(u"ZSumme", 357.00).amount(u"USTBetrag", 57.00);
        print(e, u"KT_PrintAllgphasBelegEnde");
        break;
    case 4: {
        print(e, u"KT_PrintBeleglisteKopf");
        print(e, u"KT_PrintBeleglisteUeber");
        struct Row
        {
            const char16_t *mark, *ref;
            int month;
            double amount;
            const char16_t *customer;
        };
        const Row rows[] = {{u"E", u"RES 42-1301", 2, 119.00, u"Lindner, Paula"},
                            {u"A", u"RES 23-1301", 3, 238.00, u"Sommer, Theo"},
                            {u"   ", u"EBS 10-1301", 4, 42.00, u"Yilmaz, Deniz"}};
        for (const Row &r : rows) {
            s.text(u"Markierung", r.mark).text(u"BelegHerkunft", r.ref);
            s.text(u"Datum", ovo_DateToStr(QDate(2013, r.month, 1))).amount(u"Betrag", r.amount);
            s.text(u"PositionWH", u"EUR").text(u"KndName", r.customer);
            print(e, u"KT_PrintBeleglisteBeleg");
        }
        break;
    }
    case 5:
        print(e, u"KT_PrintBDSGKopf");
        e.setDocumentKind(name);
        print(e, u"KT_PrintBDSGUeber");
        print(e, u"KT_PrintBDSGEnde");
        break;
    case 6:
        print(e, u"KT_PrintTaxFreeKopf");
        e.setDocumentKind(name);
        print(e, u"KT_PrintTaxFreeUeber");
        print(e, u"KT_PrintTaxFreePos");
        print(e, u"KT_PrintTaxFreeEnde");
        break;
    case 7:
        print(e, u"KT_Print_BestAbg_Kopf");
        e.setDocumentKind(name);
        print(e, u"KT_Print_BestAbg_Main");
        break;
    case 8:
        print(e, u"KT_PrintFAKopf");
        e.setDocumentKind(name);
        print(e, u"KT_PrintFAUeber");
        taskListItems(e, u"KT_PrintFAPos", false, u"");
        print(e, u"KT_PrintFAEnde");
        break;
    case 9:
        print(e, u"KT_PrintGutschKopf");
        e.setDocumentKind(name);
        s.text(u"Bonnummer", u"GS 2-87").amount(u"Betrag", 200.00);
        s.text(u"Datum", ovo_DateToStr(now.date())).text(u"Uhrzeit", ovo_TimeToStr(now.time()));
        print(e, u"KT_PrintGutschein");
        s.amount(u"GesIstVk", 175.00).amount(u"Betrag", 175.00);
        print(e, u"KT_PrintGutscheinZahlbetrag");
        s.text(u"Bonnummer", u"BO 2-7989").amount(u"Betrag", 35.00);
        print(e, u"KT_PrintGutscheinTeileinloesungen");
        s.text(u"Bonnummer", u"BO 12-78441").amount(u"Betrag", 80.00);
        print(e, u"KT_PrintGutscheinTeileinloesungen");
        s.amount(u"Betrag", 85.00);
        print(e, u"KT_PrintGutscheinBetragOffen");
        print(e, u"KT_PrintGutschEnde");
        break;
    case 10:
        print(e, u"KT_PrintGutschriftKopf");
        e.setDocumentKind(name);
        print(e, u"KT_PrintGutschrift");
        print(e, u"KT_PrintGutschriftEnde");
        break;
    case 11:
        print(e, u"KT_PrintKasberKopf");
        e.setDocumentKind(name);
        print(e, u"KT_PrintKasberUeber");
        // A cash report line names its position with #Position#.
        s.text(u"PositionText", QStringLiteral("Anfangsbestand").toUpper());
        s.text(u"Position", QStringLiteral("Anfangsbestand").toUpper());
        s.text(u"PositionBetrag", u"240,00").text(u"PositionAnzahl", u"");
        s.text(u"PositionWH", e.document().currency1);
        print(e, u"KT_PrintKassenbericht");
        s.text(u"PositionText", u"Bar")
                .text(u"Position", u"Bar")
                .text(u"PositionBetrag", u"240,00");
        s.text(u"PositionAnzahl", u"1").text(u"Benutzer", u"Username");
        s.text(u"Person", u"Marlene").text(u"GrundBestAbg", u"Diebe");
        print(e, u"KT_PrintKassenbericht");
        e.KT_PrintNewLine(1);
        print(e, u"KT_PrintKasberEnde");
        break;
    case 12:
        cashChange(e, 12, u"KT_PrintErhKopf", u"KT_PrintErhUeber", u"KT_PrintErhoehung",
                   u"KT_PrintErhEnde");
        break;
    case 13:
        print(e, u"KT_PrintBonKopf");
        e.setDocumentKind(name);
        print(e, u"KT_PrintBonUeber");
        receiptBody(e, false);
        print(e, u"KT_PrintBonEnde");
        break;
    case 14:
        cashChange(e, 14, u"KT_PrintEntKopf", u"KT_PrintEntUeber", u"KT_PrintEntnahme",
                   u"KT_PrintEntEnde");
        break;
    case 15: {
        print(e, u"KT_PrintMailbonKopf");
        e.setDocumentKind(name);
        QString text = e.document().text(QStringLiteral("MailText"));
        text.replace(QStringLiteral("Die Geschäftsführung"),
                     QStringLiteral("Die Geschaäftsführung"));
        s.text(u"MailText", text);
        print(e, u"KT_PrintMailbon");
        print(e, u"KT_PrintMailbonEnde");
        break;
    }
    case 16:
        print(e, u"KT_PrintNullbonKopf");
        e.setDocumentKind(name);
        print(e, u"KT_PrintNullbon");
        print(e, u"KT_PrintNullbonEnde");
        break;
    case 17:
        s.text(u"Quittung", u"1").text(u"ZM", u"Ausgleichen von Kredit");
        s.text(u"Bemerkung", u"aus Gutscheinverkauf 3-32").amount(u"Betrag", 100.00);
        print(e, u"KT_PrintQuittungKopf");
        e.setDocumentKind(name);
        print(e, u"KT_PrintQuittung");
        print(e, u"KT_PrintQuittungEnde");
        break;
    case 18:
        print(e, u"KT_PrintRechnungKopf");
        e.setDocumentKind(name);
        print(e, u"KT_PrintRechnungUeber");
        receiptBody(e, true);
        print(e, u"KT_PrintRechnungEnde");
        break;
    case 19:
        print(e, u"KT_PrintReklKopf");
        e.setDocumentKind(name);
        print(e, u"KT_PrintReklUeber");
        line(e, u"P", u"KT_PrintReklPos");
        line(e, u"T", u"KT_PrintReklPos");
        line(e, u"M", u"KT_PrintReklPos");
        line(e, u"N", u"KT_PrintReklReg");
        e.KT_PrintNewLine(1);
        print(e, u"KT_PrintReklEnde");
        break;
    case 20:
        print(e, u"KT_PrintReservKopf");
        e.setDocumentKind(name);
        e.setDocumentKind(QStringLiteral("Reservierung"));
        s.text(u"BelegHerkunft", u"RES 42-1503");
        print(e, u"KT_PrintReservUeber");
        s.text(u"ArtikelNr", u"207001153").text(u"Größe", u"165").text(u"Menge", u"1");
        print(e, u"KT_PrintReservPos");
        s.text(u"ArtikelNr", u"130000007").text(u"Größe", u"400").text(u"Menge", u"2");
        print(e, u"KT_PrintReservPos");
        s.text(u"Bemerkung", u"Bemerkung");
        print(e, u"KT_PrintReservEnde");
        break;
    case 21:
        print(e, u"KT_PrintRKSVKopf");
        e.setDocumentKind(name);
        print(e, u"KT_PrintRKSVUeber");
        e.KT_PrintNewLine(1);
        s.text(u"Beschreibung", u"Startbeleg");
        print(e, u"KT_PrintRKSV");
        print(e, u"KT_PrintRKSVEnde");
        break;
    case 23:
        s.text(u"Datum", ovo_DateToStr(QDate(2016, 10, 5))).text(u"Uhrzeit", u"12:12:00");
        s.text(u"Quittung", u"1").text(u"ZM", u"Kaution zurückerstatten");
        s.text(u"Bemerkung", u"aus Auswahl 3-32").amount(u"Betrag", 50.50);
        s.text(u"PositionWH", e.document().currency1).text(u"KndName", u"Albers, Greta");
        print(e, u"KT_PrintZahlungKopf");
        e.setDocumentKind(name);
        print(e, u"KT_PrintZahlungUeber");
        e.KT_PrintNewLine(1);
        print(e, u"KT_PrintZahlungEnde");
        break;
    default:
        break;
    }
}

} // namespace

void runTestPrint(TBonPrinter &engine, int documentType)
{
    runTestPrint(engine, documentType, ovo_Now());
}

void runTestPrint(TBonPrinter &engine, int documentType, const QDateTime &now)
{
    if (documentType < 1 || documentType > DocumentTypeCount)
        return;
    const DocumentData sample = engine.document();
    engine.KT_DocBegin();
    try {
        runSequence(engine, documentType, now);
    } catch (...) {
        engine.KT_DocEnd(false);
        engine.setDocument(sample);
        throw;
    }
    engine.KT_DocEnd(false);
    engine.setDocument(sample);
}
