#include "core/sections/demoshop.h"

#include "core/app/messages.h"
#include "core/engine/hosttables.h"
#include "core/sections/bonkopfformat.h"
#include "core/sections/bonposformat.h"
#include "core/sections/bonsummeformat.h"
#include "core/sections/cardformat.h"
#include "core/sections/headingsections.h"
#include "core/sections/reklformats.h"
#include "core/sections/sectiondispatch.h"
#include "core/sections/textlinesformat.h"

#include <QBuffer>
#include <QHash>
#include <QPainter>
#include <QPainterPath>

const QList<DemoPrinter> &demoPrinters()
{
    static const QList<DemoPrinter> printers = {
            {QStringLiteral("TM-T88"), DemoPrinterMode::Graphic},
            {QStringLiteral("TM-U200BT"), DemoPrinterMode::Text},
    };
    return printers;
}

namespace {

// How a line looks. Each look has a font on either printer, and the number of characters a
// line of it holds on 80 mm paper: the right tab of a line is set at that column.
enum class Look : quint8 { Name, Title, Text, Bold, Small, Table, TableBold, Total };

struct LookStyle
{
    const char16_t *font;
    const char16_t *size;
    const char16_t *style;
    int columns;
};

const LookStyle &lookStyle(Look look, DemoPrinterMode mode)
{
    // Graphic mode: a proportional face for text, the monospaced one where amounts stand in a
    // column, so that the tabs line up; 36 columns of 8 points fit the TM-T88's 6.52 cm.
    static const LookStyle graphic[] = {
            {u"DejaVu Sans", u"14", u"fett", 20},     {u"DejaVu Sans", u"12", u"fett", 24},
            {u"DejaVu Sans", u"9", u"normal", 32},    {u"DejaVu Sans", u"9", u"fett", 30},
            {u"DejaVu Sans", u"8", u"normal", 38},    {u"DejaVu Sans Mono", u"8", u"normal", 36},
            {u"DejaVu Sans Mono", u"8", u"fett", 36}, {u"DejaVu Sans Mono", u"10", u"fett", 30},
    };
    // Text mode: the printer's fonts at 576 dots, font A 48 columns, font B 64, and both at
    // double width.
    static const LookStyle text[] = {
            {u"6.7 cpi", u"", u"fett", 24},    {u"8 cpi", u"", u"fett", 32},
            {u"13.3 cpi", u"", u"normal", 48}, {u"13.3 cpi", u"", u"fett", 48},
            {u"16 cpi", u"", u"normal", 64},   {u"13.3 cpi", u"", u"normal", 48},
            {u"13.3 cpi", u"", u"fett", 48},   {u"8 cpi", u"", u"fett", 32},
    };
    return (mode == DemoPrinterMode::Graphic ? graphic : text)[int(look)];
}

struct Line
{
    int number;
    Look look;
    char16_t align; // 'l', 'm', 'r'
    const char16_t *text;
};

// A section's design: its lines and the further controls it sets (switches, counts, logo).
// In the texts "#{R}#" is the right tab at the end of the line, "{LINIE}" a dashed line as
// wide as the paper and "{TYP}" the name of the document type the section belongs to.
struct Design
{
    const char16_t *kennung;
    QList<Line> lines;
    QList<std::pair<QString, QString>> values;
};

using enum Look;

// ---- headers ---------------------------------------------------------------------------------

// Customer documents carry the logo and the shop's full address and tax numbers; the
// internal ones (lists, reports, transfers) name the branch only.
constexpr int LogoTypes[] = {1, 3, 5, 6, 9, 10, 13, 17, 18, 19, 20, 21, 23};

bool hasLogo(int type)
{
    return std::find(std::begin(LogoTypes), std::end(LogoTypes), type) != std::end(LogoTypes);
}

Design header(int type)
{
    const QString kennung = CBelegTyp_2_KennungKopf(type);
    Design d{u"", {}, {}};
    if (hasLogo(type)) {
        d.lines = {{1, Name, u'm', u"#MandName#"},
                   {2, Text, u'm', u"#FilStrasse#, #FilPLZ# #FilOrt#"},
                   {3, Text, u'm', u"Tel. #FilTel#"},
                   {4, Small, u'm', u"St.-Nr. #SteuerNr#"},
                   {5, Small, u'm', u"USt-IdNr. #UStID#"}};
        d.values = {{QStringLiteral("chbLogo"), QStringLiteral("1")},
                    {QStringLiteral("lblLogoName"),
                     KassotypProgramKey + u'\\' + kennung + QStringLiteral("\\0")},
                    {QStringLiteral("edtLogoBreite"), QStringLiteral("4,00")},
                    {QStringLiteral("edtLogoHoehe"), QStringLiteral("1,60")}};
    } else {
        d.lines = {{1, Text, u'm', u"#FilName#"},
                   {2, Text, u'm', u"#FilStrasse#, #FilPLZ# #FilOrt#"}};
        d.values = {{QStringLiteral("chbLogo"), QStringLiteral("0")},
                    {QStringLiteral("lblLogoName"), QStringLiteral("- kein Logo vorhanden -")}};
    }
    const QString count = QString::number(d.lines.size());
    d.values += {{QStringLiteral("rgpLogoPosition"), QStringLiteral("1")},
                 {QStringLiteral("chbText"), QStringLiteral("1")},
                 {QStringLiteral("edtTextAnzahlZeilen"), count},
                 {QStringLiteral("edtAnzZeilenUber"), QStringLiteral("0")},
                 {QStringLiteral("edtAnzZeilenNeben"), QStringLiteral("0")},
                 {QStringLiteral("edtAnzZeilenUnter"), count}};
    return d;
}

// ---- heading sections ------------------------------------------------------------------------

// Headings of a document: its name, then what identifies it.
QList<Line> titled(std::initializer_list<Line> more)
{
    QList<Line> lines = {{1, Title, u'm', u"{TYP}"}};
    for (Line line : more) {
        line.number = int(lines.size()) + 1;
        lines << line;
    }
    return lines;
}

// Lines numbered in their order.
QList<Line> numbered(std::initializer_list<Line> lines)
{
    QList<Line> list;
    for (Line line : lines) {
        line.number = int(list.size()) + 1;
        list << line;
    }
    return list;
}

const Line Rule{0, Table, u'l', u"{LINIE}"};
const Line Blank{0, Text, u'l', u""};

QList<Design> headingDesigns()
{
    const Line dated{0, Text, u'm', u"#Datum#  #Uhrzeit#"};
    const Line receipt{0, Text, u'm', u"Bon #Bonnummer#  #Datum#  #Uhrzeit#"};
    const auto text = [](const char16_t *t) {
        return Line{0, Text, u'l', t};
    };
    const auto centred = [](const char16_t *t) {
        return Line{0, Text, u'm', t};
    };
    const auto table = [](const char16_t *t) {
        return Line{0, Table, u'l', t};
    };
    const auto bold = [](const char16_t *t) {
        return Line{0, TableBold, u'l', t};
    };
    const Line returnSigned[] = {text(u"Ware zurückgenommen."), text(u"Betrag erhalten:"), Blank,
                                 text(u"#Unterschrift#"), text(u"#KndName#")};
    const QList<Line> returnLines = numbered(
            {returnSigned[0], returnSigned[1], returnSigned[2], returnSigned[3], returnSigned[4]});
    const Line payment = table(u"#ZM##{R}##BetragWH1# #PositionWH#");

    QList<Design> d = {
            // deposit
            {u"ANZUEBER", titled({receipt, text(u"Kunde: #KndName#"), Rule}), {}},
            {u"ANZPOS", numbered({payment}), {}},
            {u"ANZENDE",
             numbered({Rule, centred(u"Die Anzahlung wird beim Kauf"),
                       centred(u"der bestellten Ware verrechnet.")}),
             {}},
            // task list and goods accompanying note
            {u"AUUEBER", titled({dated, Rule}), {}},
            {u"AUENDE", numbered({Rule, text(u"Gesamtmenge: #GesMenge#")}), {}},
            {u"WBSUEBER", titled({dated, centred(u"#FilName#"), Rule}), {}},
            {u"WBSENDE",
             numbered({Rule, text(u"Gesamtmenge: #GesMenge#"), Blank, text(u"Übergeben:"),
                       text(u"#Unterschrift#")}),
             {}},
            // phase document
            {u"ABELUBER",
             titled({centred(u"Beleg #BelegHerkunft#  #Datum#"), text(u"Kunde: #KndName#"), Rule}),
             {}},
            {u"ABELPOS",
             numbered({table(u"#ArtikelBez#"), table(u"  #Menge##{R}##IstVkWH1#")}),
             {}},
            {u"ABELART",
             numbered({bold(u"#ArtikelNr# #ArtikelBez#"),
                       table(u"  Gr. #Größe#  #Menge# x#{R}##IstVkWH1#")}),
             {}},
            {u"ABELTXT", numbered({Line{0, Small, u'l', u"  #Beschreibung#"}}), {}},
            {u"ABELENDE",
             numbered({Rule, Line{0, Total, u'l', u"Summe #WH1##{R}##ZSummeWH1#"},
                       table(u"enth. MwSt #UST# %#{R}##USTBetragWH1#")}),
             {}},
            // document list
            {u"BLSTUBER", titled({dated, table(u"Beleg      Datum#{R}#Betrag"), Rule}), {}},
            {u"BLSTBELE",
             numbered({table(u"#BelegHerkunft#  #Datum##{R}##BetragWH1# #PositionWH#"),
                       Line{0, Small, u'l', u"  #KndName#"}}),
             {}},
            // data protection
            {u"BDSGUEBE", titled({Rule}), {}},
            {u"BDSGPOS",
             numbered({text(u"Ihre Daten (Name, Anschrift,"), text(u"Einkäufe) speichern wir nur"),
                       text(u"für Ihre Kundenkarte und"), text(u"geben sie nicht weiter."),
                       text(u"Sie können der Nutzung"), text(u"jederzeit widersprechen.")}),
             {}},
            {u"BDSGENDE",
             numbered({Rule, text(u"Einverstanden:"), Blank, text(u"#Unterschrift#"),
                       text(u"#KndVorname# #KndName#"), text(u"#Datum#")}),
             {}},
            // tax refund
            {u"TAXUEBER", titled({receipt, Rule}), {}},
            {u"TAXPOS",
             numbered({bold(u"#ArtikelBez#"), table(u"#ArtikelNr#  #Menge# x#{R}##IstVkWH1#"),
                       table(u"  MwSt #UST# %#{R}##USTBetragWH1#")}),
             {}},
            {u"TAXENDE",
             numbered({Rule, Line{0, Small, u'l', u"#MwSt-Erstattungshinweis#"},
                       Line{0, Small, u'm', u"#MwSt-ZollbestaetigungDeEnFr#"}, Blank, Blank,
                       Line{0, Small, u'm', u"#MwSt-Hinweistext-Abtrennen#"}}),
             {}},
            // stock removal: its one section names it
            {u"BABGPOS",
             titled({dated, Rule, bold(u"#ArtikelNr# #ArtikelBez#"),
                     table(u"Gr. #GrößeTxt#  #Farbe##{R}##Menge# St."),
                     text(u"Grund: #GrundBestAbg#"), text(u"Erfasst: #Person# (#Benutzer#)"), Blank,
                     text(u"#Unterschrift#")}),
             {}},
            // branch exchange
            {u"FAUEBER",
             titled({dated, centred(u"Filiale #FaPosVonFil# an Filiale #FaPosAnFil#"), Rule}),
             {}},
            {u"FAENDE", numbered({Rule, text(u"Gesamtmenge: #GesMenge#")}), {}},
            // voucher
            {u"GUTSCHEI",
             titled({centred(u"Nr. #Bonnummer#"), Blank,
                     Line{0, Total, u'l', u"Wert#{R}##BetragWH1# #WH1#"},
                     centred(u"ausgestellt am #Datum# um #Uhrzeit#"),
                     Line{0, Table, u'm', u"#WertBarCode#"}}),
             {}},
            {u"GUTSPOZB", numbered({table(u"Zahlbetrag#{R}##GesIstVkWH1# #WH1#")}), {}},
            {u"GUTSTEEI", numbered({table(u"Eingelöst #Bonnummer##{R}##BetragWH1#")}), {}},
            {u"GUTSOFBE", numbered({bold(u"Neuer Wert#{R}##BetragWH1# #WH1#")}), {}},
            {u"GUTENDE",
             numbered({Rule, centred(u"Einlösbar in allen Filialen."),
                       centred(u"Gültig 3 Jahre ab Ausstellung."),
                       centred(u"Keine Barauszahlung.")}),
             {}},
            // credit note
            {u"GUTSCHRI",
             titled({centred(u"Nr. #Bonnummer#  #Datum#"), text(u"Kunde: #KndName#"), Blank,
                     Line{0, Total, u'l', u"Betrag#{R}##BetragWH1# #WH1#"}}),
             {}},
            {u"GUTRTEEI", numbered({table(u"Eingelöst #Bonnummer##{R}##BetragWH1#")}), {}},
            {u"GUTROFBE", numbered({bold(u"Neuer Wert#{R}##BetragWH1# #WH1#")}), {}},
            {u"GSCHRIEN",
             numbered({Rule, centred(u"Die Gutschrift wird beim"),
                       centred(u"nächsten Einkauf verrechnet.")}),
             {}},
            // cash report
            {u"KASUEBER",
             titled({centred(u"Nr. #Kassenberichtnummer#"),
                     table(u"Von#{R}##KBBeginnDatum# #KBBeginnZeit#"),
                     table(u"Bis#{R}##KBEndeDatum# #KBEndeZeit#"),
                     table(u"Kassierer(in)#{R}##Kassiererin#"), Rule}),
             {}},
            {u"KASENDE",
             numbered({Rule, table(u"Sollsumme#{R}##Sollsumme#"),
                       table(u"Habensumme#{R}##Habensumme#"), text(u"#Kassenstand#"), Blank,
                       text(u"Abschluss: #VknAbschluss#"), text(u"#Unterschrift#")}),
             {}},
            // cash increase and removal
            {u"ERHUEBER", titled({receipt, Rule}), {}},
            {u"ERHPOS", numbered({payment}), {}},
            {u"ERHENDE",
             numbered({Rule, text(u"Eingelegt von #VknName#"), Blank, text(u"#Unterschrift#")}),
             {}},
            {u"ENTUEBER", titled({receipt, Rule}), {}},
            {u"ENTPOS", numbered({payment}), {}},
            {u"ENTENDE",
             numbered({Rule, text(u"Entnommen von #VknName#"), Blank, text(u"#Unterschrift#")}),
             {}},
            // receipt
            {u"BONUEBER",
             titled({receipt, centred(u"Es bediente Sie #VknName#"), Rule,
                     table(u"Artikel#{R}##WH1#")}),
             {}},
            {u"BONUNTSK", returnLines, {}},
            {u"BONUNTUK",
             numbered({returnSigned[0], returnSigned[1], text(u"Name:"), text(u"Anschrift:"), Blank,
                       returnSigned[3]}),
             {}},
            {u"RECUNTSK", returnLines, {}},
            // mail
            {u"MAILBON",
             titled({centred(u"Nr. #MailNummer#  #MailDatum# #MailUhrzeit#"),
                     text(u"Von: #MailAbsender#  An: #MailEmpfaenger#"),
                     text(u"Zu lesen durch: #MailZuLesenDurch#"), Rule,
                     Line{0, Bold, u'l', u"#MailBetreff#"}, text(u"#MailText#")}),
             {}},
            {u"MAILENDE",
             numbered({Rule, Line{0, Small, u'l', u"Stichworte: #MailStichworte#"},
                       Line{0, Small, u'l',
                            u"Priorität #MailPrioritaet#, Antwort nötig: "
                            u"#MailAntwortzwang#"}}),
             {}},
            // zero receipt
            {u"NULLBON", titled({receipt, Rule}), {}},
            // receipt of payment
            {u"QUITUEBE",
             titled({receipt, Rule, text(u"#ZM#"), text(u"#Bemerkung#"), Blank,
                     Line{0, Total, u'l', u"Betrag#{R}##BetragWH1# #WH1#"}}),
             {}},
            {u"QUITENDE",
             numbered({Rule, text(u"Betrag dankend erhalten."), Blank, text(u"#Unterschrift#"),
                       text(u"#VknName#")}),
             {}},
            // invoice
            {u"RECHUEBE",
             titled({table(u"Rechnung Nr.#{R}##BelegNrRNr#"), table(u"Datum#{R}##Datum#"),
                     table(u"Kunden-Nr.#{R}##KndNr#"), Blank, text(u"#KndName#"),
                     text(u"#KndName2#"), text(u"#KndStrasse#"), text(u"#KndPlz# #KndOrt#"), Rule,
                     table(u"Artikel#{R}##WH1#")}),
             {}},
            // complaint
            {u"REKLUEBE",
             titled({receipt, text(u"Kunde: #KndName#"), text(u"Tel. #KndTelefon#"), Rule}),
             {}},
            {u"REKLENDE",
             numbered({Rule, text(u"Wir prüfen Ihre Reklamation"),
                       text(u"und melden uns bei Ihnen."), Blank, text(u"#Unterschrift#")}),
             {}},
            // reservation
            {u"RESEUEBE",
             titled({centred(u"Beleg #BelegHerkunft#  #Datum#"), text(u"Kunde: #KndName#"),
                     text(u"Tel. #KndTelefon#"), Rule}),
             {}},
            {u"RESEPOS",
             numbered(
                     {bold(u"#ArtikelNr#  Gr. #Größe##{R}##Menge# St."), table(u"  #ArtikelBez#")}),
             {}},
            {u"RESEENDE",
             numbered({Rule, text(u"#Bemerkung#"), text(u"Wir halten die Ware drei"),
                       text(u"Tage für Sie bereit.")}),
             {}},
            // fiscal receipt
            {u"RKSVUBER", titled({receipt, Rule}), {}},
            {u"RKSVPOS", numbered({Line{0, Bold, u'm', u"#Beschreibung#"}}), {}},
            {u"RKSVENDE",
             numbered({Rule, centred(u"Sicherheitseinrichtung"), centred(u"in Betrieb.")}),
             {}},
            // payment
            {u"ZAHLUBER",
             titled({receipt, text(u"Kunde: #KndName#"), Rule, text(u"#ZM#"), text(u"#Bemerkung#"),
                     Blank, Line{0, Total, u'l', u"Betrag#{R}##BetragWH1# #PositionWH#"}}),
             {}},
            {u"ZAHLENDE",
             numbered({Rule, text(u"Betrag erhalten:"), Blank, text(u"#Unterschrift#")}),
             {}},
    };

    // The items of task lists, goods notes and branch transfers.
    const QList<Line> orderItem = numbered(
            {bold(u"#ArtikelNr# #ArtikelBez#"), table(u"  Gr. #Größe#  #Farbe#, #Material#"),
             table(u"  Menge #Menge##{R}#Regal #Regal#"), table(u"  #FaPosBelegNr#  #FaPosKunde#"),
             table(u"  Auftrag #FaPosOrderId#"), Line{0, Table, u'm', u"#FaPosBarcode#"}});
    d += {{u"AUPOS", orderItem, {}}, {u"WBSPOS", orderItem, {}}};
    d += {{u"FAPOS",
           numbered({bold(u"#ArtikelNr#  Gr. #Größe##{R}##Menge# St."),
                     table(u"  #FaPosBelegNr#  #FaPosKunde#"), table(u"  Auftrag #FaPosOrderId#")}),
           {}}};

    // Signature pads: what is signed, then who signs.
    const std::pair<const char16_t *, QList<Line>> pads[] = {
            {u"BONSPWAS",
             numbered({text(u"Beleg #Bonnummer# vom #Datum#"), text(u"über #ZSummeWH1# #WH1#"),
                       text(u"geprüft und bestätigt.")})},
            {u"BONSPKWA",
             numbered({text(u"Ich bestätige den Kauf,"), text(u"Beleg #Bonnummer# vom #Datum#,"),
                       text(u"über #ZSummeWH1# #WH1#.")})},
            {u"BONSP2WA", numbered({text(u"Ich bestätige das Storno"), text(u"von Bon #Bonnummer#"),
                                    text(u"über #ZSummeWH1# #WH1#.")})},
            {u"ENTSPWAS",
             numbered({text(u"Ich bestätige die Entnahme"), text(u"von #BetragWH1# #WH1#"),
                       text(u"am #Datum# um #Uhrzeit#.")})},
            {u"ERHSPWAS",
             numbered({text(u"Ich bestätige die Einlage"), text(u"von #BetragWH1# #WH1#"),
                       text(u"am #Datum# um #Uhrzeit#.")})},
            {u"NULSPWAS",
             numbered({text(u"Ich bestätige das Öffnen"), text(u"der Kasse ohne Verkauf"),
                       text(u"am #Datum# um #Uhrzeit#.")})},
            {u"KASSPWAS",
             numbered({text(u"Ich bestätige den Bericht"), text(u"Nr. #Kassenberichtnummer#"),
                       text(u"vom #KBEndeDatum#.")})},
            {u"QUITSPWA", numbered({text(u"Ich bestätige den Erhalt"),
                                    text(u"von #BetragWH1# #WH1#:"), text(u"#ZM#")})},
            {u"RESESPWA", numbered({text(u"Reservierung #BelegHerkunft#"), text(u"vom #Datum#"),
                                    text(u"angelegt.")})},
            {u"RESESPKA", numbered({text(u"Ich hole die reservierte"), text(u"Ware innerhalb von"),
                                    text(u"drei Tagen ab.")})},
            {u"ZAHLSPWA", numbered({text(u"Ich bestätige die Zahlung"), text(u"#ZM#"),
                                    text(u"über #BetragWH1# #WH1#.")})},
            {u"BONSPWER", numbered({text(u"Unterschrift #VknName#")})},
            {u"BONSPKWE", numbered({text(u"Unterschrift Kunde")})},
            {u"BONSP2WE", numbered({text(u"Unterschrift #VknName#")})},
            {u"ENTSPWER", numbered({text(u"Unterschrift #VknName#")})},
            {u"ERHSPWER", numbered({text(u"Unterschrift #VknName#")})},
            {u"NULSPWER", numbered({text(u"Unterschrift #VknName#")})},
            {u"KASSPWER", numbered({text(u"Unterschrift #VknName#")})},
            {u"QUITSPWE", numbered({text(u"Unterschrift Kunde")})},
            {u"RESESPWE", numbered({text(u"Unterschrift #VknName#")})},
            {u"RESESPKE", numbered({text(u"Unterschrift Kunde")})},
            {u"ZAHLSPWE", numbered({text(u"Unterschrift Kunde")})},
    };
    for (const auto &[kennung, lines] : pads)
        d += Design{kennung, lines, {}};
    return d;
}

// ---- sections with editors of their own ------------------------------------------------------

QList<Design> editorDesigns()
{
    const auto on = [](const QString &control) {
        return std::pair{control, QStringLiteral("1")};
    };
    // The article as the receipt and the invoice print it: name, number with size code, size
    // and colour, then quantity, list price and the amount charged.
    const QList<Line> article = {
            {1, TableBold, u'l', u"#ArtikelBez#"},
            {2, Table, u'l', u"#ArtikelNr#/#Größe#  Gr. #GrößeTxt#  #Farbe#"},
            {3, Table, u'l', u"Anzahl Artikel: #GesMenge#"},
            {5, Table, u'l', u"  Reduzierung #ReduzProzent0##{R}#-#ReduzWH1#"},
            {6, Table, u'l', u"  #PreisMindGrund##{R}#-#ReduzWH1#"},
            {7, TableBold, u'l', u"Set: #Aktionstyp#"},
            {9, Table, u'l', u"Setpreis#{R}##SetpreisWH1#"},
            {11, Table, u'l', u"  Nachlass#{R}#-#ReduzWH1#"},
            {12, Table, u'l', u"  Ersatz/Gutschrift#{R}##BetragWH1#"},
    };
    QList<Line> receiptItem = article;
    receiptItem += {{13, Table, u'l', u"  MwSt-Erstattung #UST# %"},
                    {14, Table, u'l', u"  #Menge# x #SollVkWH1##{R}##IstVkWH1#"},
                    {15, Small, u'l', u"  #LiefNameNeu# #LiefArtNeu#"}};
    QList<Line> invoiceItem = article;
    invoiceItem[1] = {2, Table, u'l', u"#ArtikelNr#/#Größe#  #Menge# x#{R}##IstVkWH1#"};
    // Line 6 prints once per reduction reason, line 5 the reduction as a whole.
    const QList<std::pair<QString, QString>> reasons = {on(QStringLiteral("chbText2Zeile6"))};

    const auto receiptEnd = [&] {
        return QList<std::pair<QString, QString>>{
                on(QStringLiteral("chbText2")),
                on(QStringLiteral("chbNurBeiGefPlatz3")),
                on(QStringLiteral("chbNurBeiRueckgabe11")),
                {QStringLiteral("edtAnzZeilenUber"), QStringLiteral("11")},
                {QStringLiteral("edtAnzZeilenUnter"), QStringLiteral("0")}};
    };
    QList<std::pair<QString, QString>> sums = {
            {sumCondition(19), QStringLiteral("2")},
            {sumCondition(20), QStringLiteral("2")}}; // has a customer card
    return {
            {u"BONPOS", receiptItem, reasons},
            {u"RECHPOS", invoiceItem, reasons},
            {u"BONSUMME",
             {{11, Table, u'l', u"{LINIE}"},
              {1, Total, u'l', u"SUMME #WH1##{R}##ZSummeWH1#"},
              {2, Table, u'l', u"Summe #WH2##{R}##ZSummeWH2#"},
              {3, Table, u'l', u"enth. MwSt #UST# %#{R}##USTBetragWH1#"},
              {4, Table, u'l', u"Nettobetrag#{R}##NettoBtrgWH1#"},
              {5, Table, u'l', u"#ZM##{R}##BetragWH1#"},
              {7, Table, u'l', u"Gegeben#{R}##GegebenWH1#"},
              {9, TableBold, u'l', u"Rückgeld#{R}##RückWH1#"},
              {13, Small, u'l', u"Bankverbindung: #BVMandBank#"},
              {14, Small, u'l', u"IBAN #BVMandIBAN#"},
              {15, Small, u'l', u"BIC #BVMandBIC#"},
              {19, Table, u'l', u"Kundenkarte #ProCaNummer#"},
              {20, Table, u'l', u"Punkte #ProCaPunkte# + #ProCaExtra# = #ProCaGesamt#"}},
             sums},
            {u"RECHSUMM",
             {{11, Total, u'l', u"Gesamt #WH1##{R}##ZSummeWH1#"},
              {12, Table, u'l', u"Gesamt #WH2##{R}##ZSummeWH2#"},
              {1, Table, u'l', u"enth. MwSt #UST# %#{R}##USTBetragWH1#"},
              {2, Table, u'l', u"Nettobetrag#{R}##NettoBtrgWH1#"},
              {3, Table, u'l', u"Anzahlung#{R}##BetragWH1#"},
              {5, Table, u'l', u"#ZM##{R}##BetragWH1#"},
              {7, Table, u'l', u"Gegeben#{R}##GegebenWH1#"},
              {9, TableBold, u'l', u"Rückgeld#{R}##RückWH1#"},
              {13, TableBold, u'l', u"Restbetrag#{R}##BetragWH1#"}},
             {}},
            {u"BONENDE",
             {{1, Table, u'l', u"{LINIE}"},
              {2, Text, u'm', u"Sie haben #ReduzWH1# #WH1# gespart."},
              {3, Text, u'm', u"Es bediente Sie #VknName#."},
              {4, Table, u'm', u"#BonNrBarcode#"},
              {5, Text, u'm', u"Umtausch innerhalb von 14 Tagen"},
              {6, Text, u'm', u"nur mit diesem Kassenbon."},
              {7, Text, u'm', u""},
              {8, Bold, u'm', u"Öffnungszeiten"},
              {9, Text, u'm', u"Mo-Fr 9:30-19:00, Sa 9:30-16:00"},
              {10, Bold, u'm', u"Vielen Dank für Ihren Einkauf!"},
              {11, Text, u'm', u"Ware zurückgenommen."}},
             receiptEnd()},
            {u"RECHENDE",
             {{1, Table, u'l', u"{LINIE}"},
              {2, Text, u'l', u"Zahlbar innerhalb von 14 Tagen"},
              {3, Text, u'l', u"ohne Abzug auf unser Konto:"},
              {4, Small, u'l', u"#BVMand#, #BVMandBank#"},
              {5, Small, u'l', u"IBAN #BVMandIBAN#"},
              {6, Small, u'l', u"BIC #BVMandBIC#"},
              {7, Text, u'l', u""},
              {8, Bold, u'm', u"Vielen Dank für Ihren Auftrag!"}},
             {{QStringLiteral("edtAnzZeilenUber"), QStringLiteral("8")},
              {QStringLiteral("edtAnzZeilenUnter"), QStringLiteral("0")},
              {QStringLiteral("chbLogo"), QStringLiteral("0")}}},
            {u"STORNEND",
             {{1, Table, u'l', u"{LINIE}"},
              {2, Title, u'm', u"STORNO"},
              {3, Text, u'm', u"Bon #Bonnummer# wurde storniert."},
              {4, Text, u'm', u"#Datum#  #Uhrzeit#"},
              {5, Text, u'm', u"Storniert von #VknName#"}},
             {{TextLinesCountControl, QStringLiteral("5")}}},
            {u"NULLENDE",
             {{1, Text, u'm', u"Kein Verkauf"},
              {2, Text, u'm', u"Geöffnet von #VknName#"},
              {3, Table, u'l', u"{LINIE}"}},
             {{TextLinesCountControl, QStringLiteral("3")}}},
            {u"KASPOS",
             {{1, Table, u'l', u"#PositionAnzahl# #Position##{R}##PositionBetrag# #PositionWH#"},
              {2, Small, u'l', u"  #GrundBestAbg#: #Person# (#Benutzer#)"}},
             {{TextLinesCountControl, QStringLiteral("2")}, on(QStringLiteral("CheckBoxLaenge"))}},
            {u"REKLPOS",
             {{1, TableBold, u'l', u"#ArtikelBez#"},
              {2, Table, u'l', u"#ArtikelNr#/#Größe#  Gr. #GrößeTxt#  #Farbe#"},
              {3, Table, u'l', u"Beanstandet: #Teil#"},
              {5, Table, u'l', u"Mangel: #Mangel#"},
              {6, Table, u'l', u"Material: #Material#"},
              {7, Small, u'l', u"#Beschreibung#"}},
             {}},
            {u"REKLREG",
             {{1, TableBold, u'l', u"Regulierung: Nachlass"},
              {2, Table, u'l', u"Nachlass#{R}##ReduzWH1# #WH1#"},
              {3, TableBold, u'l', u"Regulierung: Ersatz"},
              {4, Table, u'l', u"Ersatzware wird bestellt."},
              {5, TableBold, u'l', u"Regulierung: Gutschein"},
              {6, Table, u'l', u"Gutschein#{R}##BetragWH1# #WH1#"},
              {7, TableBold, u'l', u"Regulierung: Einschicken"},
              {8, Table, u'l', u"an #HerstName#"},
              {9, TableBold, u'l', u"Regulierung: Teilerstattung"},
              {10, Table, u'l', u"Erstattung#{R}##BetragWH1# #WH1#"}},
             {}},
    };
}

// ---- card payments ---------------------------------------------------------------------------

struct CardText
{
    const char16_t *kennung;
    std::initializer_list<const char16_t *> lines;
};

const CardText cardTexts[] = {
        {u"ECBUCH", {u"Kartenzahlung girocard", u"Kundenbeleg - bitte aufbewahren"}},
        {u"ECSTOR", {u"Storno Kartenzahlung girocard", u"Der Betrag wird nicht abgebucht."}},
        {u"KKBUCH",
         {u"Kartenzahlung Kreditkarte", u"Kundenbeleg - bitte aufbewahren",
          u"Betrag dankend erhalten."}},
        {u"KKSTOR", {u"Storno Kreditkarte", u"Der Betrag wird nicht belastet."}},
        {u"KKGUTS",
         {u"Erstattung Kreditkarte", u"Der Betrag wird Ihrer Karte", u"gutgeschrieben."}},
};

// ---- turning designs into settings lists -----------------------------------------------------

QString expanded(const QString &text, const LookStyle &style, const QString &typeName)
{
    QString out = text;
    out.replace(QStringLiteral("#{R}#"), QStringLiteral("#{R%1}#").arg(style.columns * 6));
    out.replace(QStringLiteral("{LINIE}"), QString(style.columns, u'-'));
    out.replace(QStringLiteral("{TYP}"), typeName);
    return out;
}

void setLine(FieldValues &values, int line, Look look, char16_t align, const QString &text,
             DemoPrinterMode mode)
{
    const LookStyle &style = lookStyle(look, mode);
    const LineFieldNames names = lineFieldNames(line);
    values.insert(names.text, text);
    values.insert(names.font, QString::fromUtf16(style.font));
    values.insert(names.size, QString::fromUtf16(style.size));
    values.insert(names.style, QString::fromUtf16(style.style));
    values.insert(names.alignment, align == u'm'   ? QStringLiteral("mitte")
                                   : align == u'r' ? QStringLiteral("rechts")
                                                   : QStringLiteral("links"));
}

// The switch that prints a line at all, for the sections whose lines have one.
QString lineSwitch(const QString &kennung, int line)
{
    if (kennung == QLatin1String("BONPOS") || kennung == QLatin1String("RECHPOS"))
        return itemLineSwitch(line);
    if (kennung == QLatin1String("REKLPOS"))
        return reklPosSwitch(line);
    if (kennung == QLatin1String("REKLREG") || kennung == QLatin1String("RECHSUMM"))
        return sumLineSwitch(line);
    if (kennung == QLatin1String("BONSUMME"))
        return line <= BonSummeShape.switchedLines + BonSummeShape.bankLines ? sumLineSwitch(line)
                                                                             : QString();
    return {};
}

QStringList encode(const QString &kennung, const Design &design, DemoPrinterMode mode,
                   const QString &typeName)
{
    const SectionPrinter *printer = sectionPrinterFor(kennung);
    Q_ASSERT(printer);
    const LayoutFormat &format = printer->format(kennung);
    FieldValues values;
    // Lines the design leaves empty still get the plain look, so that an editor opens on a
    // usable font.
    for (int line = 1; format.positionOf(lineFieldNames(line).text) >= 0; ++line)
        setLine(values, line, Text, u'l', QString(), mode);
    for (const Line &line : design.lines) {
        setLine(values, line.number, line.look, line.align,
                expanded(QString::fromUtf16(line.text), lookStyle(line.look, mode), typeName),
                mode);
        if (const QString control = lineSwitch(kennung, line.number); !control.isEmpty())
            values.insert(control, QStringLiteral("1"));
    }
    for (const auto &[control, value] : design.values)
        values.insert(control, value);
    if (const std::optional<HeadingSection> heading = headingSectionByKennung(kennung)) {
        // A heading list holds the lines in use only.
        values.insert(QStringLiteral("edtTextAnzahlZeilen"), QString::number(design.lines.size()));
        return format.encode(
                values,
                1 + int(design.lines.size()) * headingLineWidth(hasPerAccountFlag(heading->code)));
    }
    return format.encode(values);
}

QStringList encodeCard(const CardText &card, DemoPrinterMode mode)
{
    const LookStyle &style = lookStyle(Text, mode);
    FieldValues values = {{QStringLiteral("chbBonKopf"), QStringLiteral("1")},
                          {QStringLiteral("cmbSchriftArt"), QString::fromUtf16(style.font)},
                          {QStringLiteral("cmbSchriftGroesse"), QString::fromUtf16(style.size)},
                          {QStringLiteral("cmbSchriftStil"), QString::fromUtf16(style.style)},
                          {QStringLiteral("cmbAusrichtung"), QStringLiteral("links")}};
    int n = 0;
    for (const char16_t *line : card.lines)
        values.insert(cardTextLine(++n), QString::fromUtf16(line));
    return cardFormat().encode(values, CardHeadLength + n);
}

} // namespace

QList<DemoRecord> demoShopRecords(DemoPrinterMode mode)
{
    QHash<QString, Design> designs;
    for (int type = 1; type <= DocumentTypeCount; ++type)
        designs.insert(CBelegTyp_2_KennungKopf(type), header(type));
    for (const QList<Design> &list : {headingDesigns(), editorDesigns()}) {
        for (const Design &design : list)
            designs.insert(QString::fromUtf16(design.kennung), design);
    }
    QList<DemoRecord> records;
    QStringList done;
    for (const auto &[type, section] : SectionDispatch::allEntries()) {
        const QString kennung = SectionDispatch::sectionKennung(type, section);
        if (kennung.isEmpty() || done.contains(kennung) || !designs.contains(kennung))
            continue;
        done << kennung;
        records.append({kennung, encode(kennung, designs.value(kennung), mode, CBelegName(type))});
    }
    for (const CardText &card : cardTexts)
        records.append({QString::fromUtf16(card.kennung), encodeCard(card, mode)});
    return records;
}

QStringList demoShopLogoSections()
{
    QStringList sections;
    for (int type : LogoTypes)
        sections << CBelegTyp_2_KennungKopf(type);
    return sections;
}

QImage demoShopLogo()
{
    // 400 x 160, printed 4 x 1.6 cm: a ring with a lace-up shoe in it, then the initials.
    QImage image(400, 160, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    QPainterPath ring;
    ring.addEllipse(QPointF(80, 80), 76, 76);
    ring.addEllipse(QPointF(80, 80), 66, 66);
    p.drawPath(ring);

    QPainterPath shoe;
    shoe.moveTo(30, 104);
    shoe.cubicTo(26, 90, 26, 70, 32, 58); // heel counter
    shoe.cubicTo(40, 54, 50, 56, 56, 62); // collar
    shoe.cubicTo(62, 66, 70, 64, 76, 58);
    shoe.lineTo(88, 62);                       // tongue
    shoe.cubicTo(104, 76, 122, 80, 134, 86);   // vamp
    shoe.cubicTo(144, 91, 146, 100, 140, 104); // toe
    shoe.closeSubpath();
    p.drawPath(shoe);
    QPainterPath sole;
    sole.moveTo(28, 108);
    sole.lineTo(140, 108);
    sole.cubicTo(146, 108, 146, 114, 140, 115);
    sole.lineTo(56, 115);
    sole.lineTo(52, 124);
    sole.lineTo(32, 124);
    sole.closeSubpath();
    p.drawPath(sole);
    // Laces and the welt's stitches, cut out in white.
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(84 + i * 10, 67 + i * 5), QPointF(77 + i * 10, 77 + i * 5));
    p.setPen(QPen(Qt::white, 2, Qt::DashLine));
    p.drawLine(QPointF(34, 97), QPointF(136, 97));

    // "SF" in strokes rather than a font.
    p.setPen(QPen(Qt::black, 14, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath s;
    s.moveTo(262, 44);
    s.cubicTo(248, 26, 196, 26, 196, 56);
    s.cubicTo(196, 84, 262, 76, 262, 106);
    s.cubicTo(262, 136, 204, 136, 192, 116);
    p.drawPath(s);
    QPainterPath f;
    f.moveTo(370, 32);
    f.lineTo(300, 32);
    f.lineTo(300, 130);
    f.moveTo(300, 78);
    f.lineTo(352, 78);
    p.drawPath(f);
    p.end();
    return image;
}

QByteArray demoShopLogoPng()
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    demoShopLogo().save(&buffer, "PNG");
    return png;
}
