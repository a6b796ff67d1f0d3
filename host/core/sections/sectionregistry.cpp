#include "core/sections/sectionregistry.h"

#include "core/sections/bonposformat.h"
#include "core/sections/bonsummeformat.h"
#include "core/sections/reklformats.h"
#include "core/sections/sectionformats.h"
#include "core/sections/textlinesformat.h"

namespace {

using namespace Demo;
using enum Look;
using PrinterOf = const SectionPrinter &(*)();

SectionInfo header(int type, const char16_t *kennung, const char16_t *maske,
                   const char16_t *operation, Design demo)
{
    SectionInfo s;
    s.kennung = QString::fromUtf16(kennung);
    s.kind = SectionKind::Header;
    s.code = type;
    s.maske = *maske ? QString::fromUtf16(maske) : s.kennung;
    s.operation = QString::fromUtf16(operation);
    s.menu = {type, 0};
    s.printer = &bonKopfPrinter();
    s.demo = std::move(demo);
    return s;
}

SectionInfo heading(int code, const char16_t *kennung, const char16_t *maske, const char16_t *title,
                    MenuEntry menu, const char16_t *operation, Design demo)
{
    SectionInfo s;
    s.kennung = QString::fromUtf16(kennung);
    s.kind = SectionKind::Heading;
    s.code = code;
    s.maske = *maske ? QString::fromUtf16(maske) : s.kennung;
    s.title = QString::fromUtf16(title);
    s.operation = operation ? QString::fromUtf16(operation) : QString();
    s.menu = menu;
    s.printer = &headingPrinter();
    s.demo = std::move(demo);
    return s;
}

SectionInfo editor(const char16_t *kennung, const char16_t *maske, const char16_t *editorClass,
                   MenuEntry menu, const char16_t *operation, PrinterOf printer,
                   QString (*lineSwitch)(int), Design demo)
{
    SectionInfo s;
    s.kennung = QString::fromUtf16(kennung);
    s.kind = SectionKind::Editor;
    s.maske = QString::fromUtf16(maske);
    s.editorClass = QString::fromUtf16(editorClass);
    s.operation = QString::fromUtf16(operation);
    s.menu = menu;
    s.printer = &printer();
    s.lineSwitch = lineSwitch;
    s.demo = std::move(demo);
    return s;
}

SectionInfo card(MenuEntry cardAndOperation, const char16_t *kennung, const char16_t *title,
                 Design demo)
{
    SectionInfo s;
    s.kennung = QString::fromUtf16(kennung);
    s.kind = SectionKind::Card;
    s.maske = s.kennung;
    s.title = QString::fromUtf16(title);
    s.menu = cardAndOperation;
    s.printer = &cardPrinter();
    s.demo = std::move(demo);
    return s;
}

// Heading sections are listed with their section code, the preset key when it is not the
// identifier, their title, the menu entry, the print operation and the demo design; sections
// without an operation are printed by the till's own logic (signature pads, return slips).
QList<SectionInfo> sectionTable()
{
    return {
            // ---- 1 Anzahlung
            header(1, u"ANZKOPF", u"", u"KT_PrintAnzahlungKopf", shopHeader()),
            heading(71, u"ANZUEBER", u"", u"Überschrift der Anzahlung", {1, 1},
                    u"KT_PrintAnzahlungUeber",
                    {titled({Receipt, text(u"Kunde: #KndName#"), Rule})}),
            heading(72, u"ANZPOS", u"", u"Positionen der Anzahlung", {1, 2}, u"KT_PrintAnzahlung",
                    {numbered({Payment})}),
            heading(73, u"ANZENDE", u"", u"Ende der Anzahlung", {1, 19}, u"KT_PrintAnzahlungEnde",
                    {withFiscalBlock(numbered({Rule, centred(u"Die Anzahlung wird beim Kauf"),
                                               centred(u"der bestellten Ware verrechnet.")})),
                     {}}),
            // ---- 2 Aufgabenliste
            header(2, u"AUKOPF", u"", u"KT_PrintAUKopf", branchHeader()),
            heading(0, u"AUUEBER", u"", u"Überschrift der Aufgabenliste", {2, 1},
                    u"KT_PrintAUUeber", {titled({Dated, Rule})}),
            heading(1, u"AUPOS", u"", u"Positionen der Aufgabenliste", {2, 2}, u"KT_PrintAUPos",
                    {orderItem()}),
            heading(2, u"AUENDE", u"", u"Ende der Aufgabenliste", {2, 19}, u"KT_PrintAUEnde",
                    {numbered({Rule, text(u"Gesamtmenge: #GesMenge#")})}),
            // ---- 3 Phasenbeleg
            header(3, u"PHASKOPF", u"", u"KT_PrintAllgphasBelegKopf", shopHeader()),
            heading(74, u"ABELUBER", u"", u"Überschrift von Phasenbelegen", {3, 1},
                    u"KT_PrintAllgphasBelegUeber",
                    {titled({centred(u"Beleg #BelegHerkunft#  #Datum#"), text(u"Kunde: #KndName#"),
                             Rule}),
                     {}}),
            heading(75, u"ABELPOS", u"", u"Positionen von Phasenbelegen", {3, 2},
                    u"KT_PrintAllgphasBelegPos",
                    {numbered({table(u"#ArtikelBez#"), table(u"  #Menge##{R}##IstVkWH1#")}), {}}),
            heading(76, u"ABELART", u"", u"Artikelpositionen von Phasenbelegen", {3, 13},
                    u"KT_PrintAllgphasBelegArtPos",
                    {numbered({bold(u"#ArtikelNr# #ArtikelBez#"),
                               table(u"  Gr. #Größe#  #Menge# x#{R}##IstVkWH1#")}),
                     {}}),
            heading(77, u"ABELTXT", u"", u"Textpositionen von Phasenbelegen", {3, 14},
                    u"KT_PrintAllgphasBelegTextPos",
                    {numbered({Line{0, Small, u'l', u"  #Beschreibung#"}})}),
            heading(78, u"ABELENDE", u"", u"Ende von Phasenbelegen", {3, 19},
                    u"KT_PrintAllgphasBelegEnde",
                    {numbered({Rule, Line{0, Total, u'l', u"Summe #WH1##{R}##ZSummeWH1#"},
                               table(u"enth. MwSt #UST# %#{R}##USTBetragWH1#")}),
                     {}}),
            // ---- 4 Belegliste
            header(4, u"BELIKOPF", u"", u"KT_PrintBeleglisteKopf", branchHeader()),
            heading(79, u"BLSTUBER", u"", u"Überschrift der Belegliste", {4, 1},
                    u"KT_PrintBeleglisteUeber",
                    {titled({Dated, table(u"Beleg      Datum#{R}#Betrag"), Rule})}),
            heading(80, u"BLSTBELE", u"", u"Belege der Belegliste", {4, 15},
                    u"KT_PrintBeleglisteBeleg",
                    {numbered({table(u"#BelegHerkunft#  #Datum##{R}##BetragWH1# #PositionWH#"),
                               Line{0, Small, u'l', u"  #KndName#"}}),
                     {}}),
            // ---- 5 Datenschutzerklärung
            header(5, u"BDSGKOPF", u"", u"KT_PrintBDSGKopf", shopHeader()),
            heading(61, u"BDSGUEBE", u"", u"Überschrift der Datenschutzerklärung", {5, 1},
                    u"KT_PrintBDSGUeber", {titled({Rule})}),
            heading(62, u"BDSGPOS", u"", u"Text der Datenschutzerklärung", {5, 2},
                    u"KT_PrintBDSGPos",
                    {numbered({text(u"Ihre Daten (Name, Anschrift,"),
                               text(u"Einkäufe) speichern wir nur"),
                               text(u"für Ihre Kundenkarte und"), text(u"geben sie nicht weiter."),
                               text(u"Sie können der Nutzung"), text(u"jederzeit widersprechen.")}),
                     {}}),
            heading(63, u"BDSGENDE", u"", u"Ende der Datenschutzerklärung", {5, 19},
                    u"KT_PrintBDSGEnde",
                    {numbered({Rule, text(u"Einverstanden:"), Blank, text(u"#Unterschrift#"),
                               text(u"#KndVorname# #KndName#"), text(u"#Datum#")}),
                     {}}),
            // ---- 6 MwSt-Erstattung
            header(6, u"TAXFKOPF", u"", u"KT_PrintTaxFreeKopf", shopHeader()),
            heading(81, u"TAXUEBER", u"", u"Überschrift von MwSt-Erstattungsbelegen", {6, 1},
                    u"KT_PrintTaxFreeUeber", {titled({Receipt, Rule})}),
            heading(82, u"TAXPOS", u"", u"Positionen von MwSt-Erstattungsbelegen", {6, 2},
                    u"KT_PrintTaxFreePos",
                    {numbered({bold(u"#ArtikelBez#"),
                               table(u"#ArtikelNr#  #Menge# x#{R}##IstVkWH1#"),
                               table(u"  MwSt #UST# %#{R}##USTBetragWH1#")}),
                     {}}),
            heading(83, u"TAXENDE", u"", u"Ende von MwSt-Erstattungsbelegen", {6, 19},
                    u"KT_PrintTaxFreeEnde",
                    {numbered({Rule, Line{0, Small, u'l', u"#MwSt-Erstattungshinweis#"},
                               Line{0, Small, u'm', u"#MwSt-ZollbestaetigungDeEnFr#"}, Blank, Blank,
                               Line{0, Small, u'm', u"#MwSt-Hinweistext-Abtrennen#"}}),
                     {}}),
            // ---- 7 Bestandsabgang
            header(7, u"BESTKOPF", u"", u"KT_Print_BestAbg_Kopf", branchHeader()),
            heading(85, u"BABGPOS", u"", u"Bestandsabgang", {7, 16}, u"KT_Print_BestAbg_Main",
                    {titled({Dated, Rule, bold(u"#ArtikelNr# #ArtikelBez#"),
                             table(u"Gr. #GrößeTxt#  #Farbe##{R}##Menge# St."),
                             text(u"Grund: #GrundBestAbg#"),
                             text(u"Erfasst: #Person# (#Benutzer#)"), Blank,
                             text(u"#Unterschrift#")}),
                     {}}),
            // ---- 8 Filialaustausch
            header(8, u"FAKOPF", u"", u"KT_PrintFAKopf", branchHeader()),
            heading(48, u"FAUEBER", u"", u"Überschrift des Filialaustauschs", {8, 1},
                    u"KT_PrintFAUeber",
                    {titled({Dated, centred(u"Filiale #FaPosVonFil# an Filiale #FaPosAnFil#"),
                             Rule}),
                     {}}),
            heading(49, u"FAPOS", u"", u"Positionen des Filialaustauschs", {8, 2}, u"KT_PrintFAPos",
                    {numbered({bold(u"#ArtikelNr#  Gr. #Größe##{R}##Menge# St."),
                               table(u"  #FaPosBelegNr#  #FaPosKunde#"),
                               table(u"  Auftrag #FaPosOrderId#")}),
                     {}}),
            heading(50, u"FAENDE", u"", u"Ende des Filialaustauschs", {8, 19}, u"KT_PrintFAEnde",
                    {numbered({Rule, text(u"Gesamtmenge: #GesMenge#")})}),
            // ---- 9 Gutschein
            header(9, u"GUTKOPF", u"GUTSKOPF", u"KT_PrintGutschKopf", shopHeader()),
            heading(17, u"GUTSCHEI", u"LAYGUTSC", u"Gutscheinposition", {9, 5},
                    u"KT_PrintGutschein",
                    {titled({centred(u"Nr. #Bonnummer#"), Blank,
                             Line{0, Total, u'l', u"Wert#{R}##BetragWH1# #WH1#"},
                             centred(u"ausgestellt am #Datum# um #Uhrzeit#"),
                             Line{0, Table, u'm', u"#WertBarCode#"}}),
                     {}}),
            heading(18, u"GUTSPOZB", u"", u"Gutscheinzahlbetrag", {9, 6},
                    u"KT_PrintGutscheinZahlbetrag",
                    {numbered({table(u"Zahlbetrag#{R}##GesIstVkWH1# #WH1#")})}),
            heading(19, u"GUTSTEEI", u"", u"Gutscheinteileinlösung", {9, 8},
                    u"KT_PrintGutscheinTeileinloesungen",
                    {numbered({table(u"Eingelöst #Bonnummer##{R}##BetragWH1#")})}),
            heading(20, u"GUTSOFBE", u"", u"Neuer Gutscheinwert", {9, 9},
                    u"KT_PrintGutscheinBetragOffen",
                    {numbered({bold(u"Neuer Wert#{R}##BetragWH1# #WH1#")})}),
            heading(21, u"GUTENDE", u"LAYGUTEN", u"Gutscheinende", {9, 19}, u"KT_PrintGutschEnde",
                    {withFiscalBlock(numbered({Rule, centred(u"Einlösbar in allen Filialen."),
                                               centred(u"Gültig 3 Jahre ab Ausstellung."),
                                               centred(u"Keine Barauszahlung.")})),
                     {}}),
            // ---- 10 Gutschrift
            header(10, u"GSCHRKPF", u"LAYKOPF", u"KT_PrintGutschriftKopf", shopHeader()),
            heading(22, u"GUTSCHRI", u"LAYGSCHR", u"Gutschriftsposition", {10, 7},
                    u"KT_PrintGutschrift",
                    {titled({centred(u"Nr. #Bonnummer#  #Datum#"), text(u"Kunde: #KndName#"), Blank,
                             Line{0, Total, u'l', u"Betrag#{R}##BetragWH1# #WH1#"}}),
                     {}}),
            heading(23, u"GUTRTEEI", u"", u"Gutschriftteileinlösung", {10, 8},
                    u"KT_PrintGutschriftTeileinloesungen",
                    {numbered({table(u"Eingelöst #Bonnummer##{R}##BetragWH1#")})}),
            heading(24, u"GUTROFBE", u"", u"Neuer Gutschriftwert", {10, 9},
                    u"KT_PrintGutschriftBetragOffen",
                    {numbered({bold(u"Neuer Wert#{R}##BetragWH1# #WH1#")})}),
            heading(25, u"GSCHRIEN", u"LAYGREND", u"Gutschriftende", {10, 19},
                    u"KT_PrintGutschriftEnde",
                    {numbered({Rule, centred(u"Die Gutschrift wird beim"),
                               centred(u"nächsten Einkauf verrechnet.")}),
                     {}}),
            // ---- 11 Kassenbericht
            header(11, u"KASKOPF", u"", u"KT_PrintKasberKopf", branchHeader()),
            heading(31, u"KASUEBER", u"LAYKBUEB", u"Überschrift des Kassenberichts", {11, 1},
                    u"KT_PrintKasberUeber",
                    {titled({centred(u"Nr. #Kassenberichtnummer#"),
                             table(u"Von#{R}##KBBeginnDatum# #KBBeginnZeit#"),
                             table(u"Bis#{R}##KBEndeDatum# #KBEndeZeit#"),
                             table(u"Kassierer(in)#{R}##Kassiererin#"), Rule}),
                     {}}),
            editor(u"KASPOS", u"LAYKBPOS", u"TfrmLayKassenbericht", {11, 2},
                   u"KT_PrintKassenbericht", kasPosPrinter, nullptr,
                   {{{1, Table, u'l',
                      u"#PositionAnzahl# #Position##{R}##PositionBetrag# #PositionWH#"},
                     {2, Small, u'l', u"  #GrundBestAbg#: #Person# (#Benutzer#)"}},
                    {{TextLinesCountControl, QStringLiteral("2")},
                     on(QStringLiteral("CheckBoxLaenge"))}}),
            heading(32, u"KASENDE", u"LAYKBEND", u"Ende des Kassenberichts", {11, 19},
                    u"KT_PrintKasberEnde",
                    {numbered({Rule, table(u"Sollsumme#{R}##Sollsumme#"),
                               table(u"Habensumme#{R}##Habensumme#"), text(u"#Kassenstand#"), Blank,
                               text(u"Abschluss: #VknAbschluss#"), text(u"#Unterschrift#")}),
                     {}}),
            heading(33, u"KASSPWAS", u"LAYKBSPA", u"Signpad-Text des Kassenberichts", {11, 22},
                    nullptr,
                    {numbered({text(u"Ich bestätige den Bericht"),
                               text(u"Nr. #Kassenberichtnummer#"), text(u"vom #KBEndeDatum#.")})}),
            heading(34, u"KASSPWER", u"LAYKBSPE", u"Signpad-Unterschrift des Kassenberichts",
                    {11, 23}, nullptr, {numbered({text(u"Unterschrift #VknName#")})}),
            // ---- 12 Kassenbestandserhöhung
            header(12, u"ERHKOPF", u"", u"KT_PrintErhKopf", branchHeader()),
            heading(53, u"ERHUEBER", u"LAYETUEB", u"Überschrift der Kassenbestandserhöhung",
                    {12, 1}, u"KT_PrintErhUeber", {titled({Receipt, Rule})}),
            heading(54, u"ERHPOS", u"LAYETPOS", u"Positionen der Kassenbestandserhöhung", {12, 2},
                    u"KT_PrintErhoehung", {numbered({Payment})}),
            heading(55, u"ERHENDE", u"LAYETEND", u"Ende der Kassenbestandserhöhung", {12, 19},
                    u"KT_PrintErhEnde",
                    {numbered({Rule, text(u"Eingelegt von #VknName#"), Blank,
                               text(u"#Unterschrift#")}),
                     {}}),
            heading(56, u"ERHSPWAS", u"LAYETSPA", u"Signpad-Text der Kassenbestandserhöhung",
                    {12, 22}, nullptr,
                    {numbered({text(u"Ich bestätige die Einlage"), text(u"von #BetragWH1# #WH1#"),
                               text(u"am #Datum# um #Uhrzeit#.")})}),
            heading(57, u"ERHSPWER", u"LAYETSPE",
                    u"Signpad-Unterschrift der Kassenbestandserhöhung", {12, 23}, nullptr,
                    {numbered({text(u"Unterschrift #VknName#")})}),
            // ---- 13 Bon
            header(13, u"BONKOPF", u"", u"KT_PrintBonKopf", shopHeader()),
            heading(3, u"BONUEBER", u"LAYBONUE", u"Bonüberschrift", {13, 1}, u"KT_PrintBonUeber",
                    {titled({Receipt, centred(u"Es bediente Sie #VknName#"), Rule,
                             table(u"Artikel#{R}##WH1#")}),
                     {}}),
            editor(u"BONPOS", u"LAYBONPO", u"TfrmLayBonPos", {13, 2}, u"KT_PrintBonPos",
                   bonPosPrinter, itemLineSwitch, {receiptItem(), reductionReasons()}),
            editor(u"BONSUMME", u"LAYBONSU", u"TfrmLayBonSum", {13, 3}, u"KT_PrintBonSum",
                   bonSummePrinter, bonSummeLineSwitch,
                   {{{11, Table, u'l', u"{LINIE}"},
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
                    {{sumCondition(19), QStringLiteral("2")},
                     {sumCondition(20), QStringLiteral("2")}}}), // has a customer card
            heading(4, u"BONUNTSK", u"", u"Unterschrift bei Rückgabe - Stammkunde", {13, 17},
                    nullptr, {returnSignature()}),
            heading(5, u"BONUNTUK", u"", u"Unterschrift bei Rückgabe - Unbekannter Kunde", {13, 18},
                    nullptr, {unknownReturnSignature()}),
            editor(u"BONENDE", u"LAYBONEN", u"TfrmLayBonende", {13, 19}, u"KT_PrintBonEnde",
                   bonEndePrinter, nullptr,
                   {withFiscalBlock({{1, Table, u'l', u"{LINIE}"},
                                     {2, Text, u'm', u"Sie haben #ReduzWH1# #WH1# gespart."},
                                     {3, Text, u'm', u"Es bediente Sie #VknName#."},
                                     {4, Table, u'm', u"#BonNrBarcode#"},
                                     {5, Text, u'm', u"Umtausch innerhalb von 14 Tagen"},
                                     {6, Text, u'm', u"nur mit diesem Kassenbon."},
                                     {7, Text, u'm', u""},
                                     {8, Bold, u'm', u"Öffnungszeiten"},
                                     {9, Text, u'm', u"Mo-Fr 9:30-19:00, Sa 9:30-16:00"},
                                     {10, Bold, u'm', u"Vielen Dank für Ihren Einkauf!"},
                                     {11, Text, u'm', u"Ware zurückgenommen."}}),
                    receiptEndValues()}),
            editor(u"STORNEND", u"LAYNBEND", u"TfrmLayBonStornoEnde", {13, 20},
                   u"KT_PrintBonStornoEnde", stornEndePrinter, nullptr,
                   {{{1, Table, u'l', u"{LINIE}"},
                     {2, Title, u'm', u"STORNO"},
                     {3, Text, u'm', u"Bon #Bonnummer# wurde storniert."},
                     {4, Text, u'm', u"#Datum#  #Uhrzeit#"},
                     {5, Text, u'm', u"Storniert von #VknName#"}},
                    {{TextLinesCountControl, QStringLiteral("5")}}}),
            heading(6, u"BONSPWAS", u"LAYBOSPA", u"Signpad-Text des Bons", {13, 22}, nullptr,
                    {numbered({text(u"Beleg #Bonnummer# vom #Datum#"),
                               text(u"über #ZSummeWH1# #WH1#"), text(u"geprüft und bestätigt.")})}),
            heading(7, u"BONSPWER", u"LAYBOSPE", u"Signpad-Unterschrift des Bons", {13, 23},
                    nullptr, {numbered({text(u"Unterschrift #VknName#")})}),
            heading(8, u"BONSPKWA", u"LAYBOSKA", u"Signpad-Text des Kunden", {13, 24}, nullptr,
                    {numbered({text(u"Ich bestätige den Kauf,"),
                               text(u"Beleg #Bonnummer# vom #Datum#,"),
                               text(u"über #ZSummeWH1# #WH1#.")})}),
            heading(9, u"BONSPKWE", u"LAYBOSKE", u"Signpad-Unterschrift des Kunden", {13, 25},
                    nullptr, {numbered({text(u"Unterschrift Kunde")})}),
            heading(10, u"BONSP2WA", u"LABOSP2A", u"Signpad-Text des Bonstornos", {13, 26}, nullptr,
                    {numbered({text(u"Ich bestätige das Storno"), text(u"von Bon #Bonnummer#"),
                               text(u"über #ZSummeWH1# #WH1#.")})}),
            heading(11, u"BONSP2WE", u"LABOSP2E", u"Signpad-Unterschrift des Bonstornos", {13, 27},
                    nullptr, {numbered({text(u"Unterschrift #VknName#")})}),
            // ---- 14 Kassenentnahme
            header(14, u"ENTKOPF", u"", u"KT_PrintEntKopf", branchHeader()),
            heading(12, u"ENTUEBER", u"LAYETUEB", u"Überschrift der Kassenentnahme", {14, 1},
                    u"KT_PrintEntUeber", {titled({Receipt, Rule})}),
            heading(13, u"ENTPOS", u"LAYETPOS", u"Positionen der Kassenentnahme", {14, 2},
                    u"KT_PrintEntnahme", {numbered({Payment})}),
            heading(14, u"ENTENDE", u"LAYETEND", u"Ende der Kassenentnahme", {14, 19},
                    u"KT_PrintEntEnde",
                    {numbered({Rule, text(u"Entnommen von #VknName#"), Blank,
                               text(u"#Unterschrift#")}),
                     {}}),
            heading(15, u"ENTSPWAS", u"LAYETSPA", u"Signpad-Text der Kassenentnahme", {14, 22},
                    nullptr,
                    {numbered({text(u"Ich bestätige die Entnahme"), text(u"von #BetragWH1# #WH1#"),
                               text(u"am #Datum# um #Uhrzeit#.")})}),
            heading(16, u"ENTSPWER", u"LAYETSPE", u"Signpad-Unterschrift der Kassenentnahme",
                    {14, 23}, nullptr, {numbered({text(u"Unterschrift #VknName#")})}),
            // ---- 15 KRT-Mail-Bon
            header(15, u"MAILKOPF", u"", u"KT_PrintMailbonKopf", branchHeader()),
            heading(51, u"MAILBON", u"MAILPOS", u"KRT-Mail", {15, 12}, u"KT_PrintMailbon",
                    {titled({centred(u"Nr. #MailNummer#  #MailDatum# #MailUhrzeit#"),
                             text(u"Von: #MailAbsender#  An: #MailEmpfaenger#"),
                             text(u"Zu lesen durch: #MailZuLesenDurch#"), Rule,
                             Line{0, Bold, u'l', u"#MailBetreff#"}, text(u"#MailText#")}),
                     {}}),
            heading(52, u"MAILENDE", u"", u"Ende der KRT-Mail", {15, 19}, u"KT_PrintMailbonEnde",
                    {numbered({Rule, Line{0, Small, u'l', u"Stichworte: #MailStichworte#"},
                               Line{0, Small, u'l',
                                    u"Priorität #MailPrioritaet#, Antwort nötig: "
                                    u"#MailAntwortzwang#"}}),
                     {}}),
            // ---- 16 Nullbon
            header(16, u"NULLKOPF", u"", u"KT_PrintNullbonKopf", branchHeader()),
            heading(26, u"NULLBON", u"LAYNULLB", u"Nullbon", {16, 10}, u"KT_PrintNullbon",
                    {titled({Receipt, Rule})}),
            editor(u"NULLENDE", u"LAYNBEND", u"TfrmLayNullbonEnde", {16, 19},
                   u"KT_PrintNullbonEnde", nullEndePrinter, nullptr,
                   {withFiscalBlock({{1, Text, u'm', u"Kein Verkauf"},
                                     {2, Text, u'm', u"Geöffnet von #VknName#"},
                                     {3, Table, u'l', u"{LINIE}"}}),
                    {{TextLinesCountControl, QString::number(3 + fiscalBlock(1).size())}}}),
            heading(27, u"NULSPWAS", u"LAYNUSPA", u"Signpad-Text des Nullbons", {16, 22}, nullptr,
                    {numbered({text(u"Ich bestätige das Öffnen"), text(u"der Kasse ohne Verkauf"),
                               text(u"am #Datum# um #Uhrzeit#.")})}),
            heading(28, u"NULSPWER", u"LAYNUSPE", u"Signpad-Unterschrift des Nullbons", {16, 23},
                    nullptr, {numbered({text(u"Unterschrift #VknName#")})}),
            // ---- 17 Quittung
            header(17, u"QUITKOPF", u"", u"KT_PrintQuittungKopf", shopHeader()),
            heading(37, u"QUITUEBE", u"LAYQUIUE", u"Quittungsüberschrift", {17, 11},
                    u"KT_PrintQuittung",
                    {titled({Receipt, Rule, text(u"#ZM#"), text(u"#Bemerkung#"), Blank,
                             Line{0, Total, u'l', u"Betrag#{R}##BetragWH1# #WH1#"}}),
                     {}}),
            heading(38, u"QUITENDE", u"LAYQUIEN", u"Quittungsende", {17, 19},
                    u"KT_PrintQuittungEnde",
                    {numbered({Rule, text(u"Betrag dankend erhalten."), Blank,
                               text(u"#Unterschrift#"), text(u"#VknName#")}),
                     {}}),
            heading(39, u"QUITSPWA", u"LAYQUISA", u"Signpad-Text der Quittung", {17, 22}, nullptr,
                    {numbered({text(u"Ich bestätige den Erhalt"), text(u"von #BetragWH1# #WH1#:"),
                               text(u"#ZM#")})}),
            heading(40, u"QUITSPWE", u"LAYQUISE", u"Signpad-Unterschrift der Quittung", {17, 23},
                    nullptr, {numbered({text(u"Unterschrift Kunde")})}),
            // ---- 18 Rechnung
            header(18, u"RECHKOPF", u"", u"KT_PrintRechnungKopf", shopHeader()),
            heading(29, u"RECHUEBE", u"LAYRECHU", u"Rechnungsüberschrift", {18, 1},
                    u"KT_PrintRechnungUeber",
                    {titled({table(u"Rechnung Nr.#{R}##BelegNrRNr#"), table(u"Datum#{R}##Datum#"),
                             table(u"Kunden-Nr.#{R}##KndNr#"), Blank, text(u"#KndName#"),
                             text(u"#KndName2#"), text(u"#KndStrasse#"), text(u"#KndPlz# #KndOrt#"),
                             Rule, table(u"Artikel#{R}##WH1#")}),
                     {}}),
            editor(u"RECHPOS", u"LAYRECHP", u"TfrmLayRechPos", {18, 2}, u"KT_PrintRechnungPos",
                   rechPosPrinter, itemLineSwitch, {invoiceItem(), reductionReasons()}),
            editor(u"RECHSUMM", u"LAYRECHS", u"TfrmLayRechSum", {18, 3}, u"KT_PrintRechnungSum",
                   rechSummePrinter, sumLineSwitch,
                   {{{11, Total, u'l', u"Gesamt #WH1##{R}##ZSummeWH1#"},
                     {12, Table, u'l', u"Gesamt #WH2##{R}##ZSummeWH2#"},
                     {1, Table, u'l', u"enth. MwSt #UST# %#{R}##USTBetragWH1#"},
                     {2, Table, u'l', u"Nettobetrag#{R}##NettoBtrgWH1#"},
                     {3, Table, u'l', u"Anzahlung#{R}##BetragWH1#"},
                     {5, Table, u'l', u"#ZM##{R}##BetragWH1#"},
                     {7, Table, u'l', u"Gegeben#{R}##GegebenWH1#"},
                     {9, TableBold, u'l', u"Rückgeld#{R}##RückWH1#"},
                     {13, TableBold, u'l', u"Restbetrag#{R}##BetragWH1#"}},
                    {}}),
            heading(30, u"RECUNTSK", u"", u"Unterschrift bei Rückgabe auf Rechnung", {18, 17},
                    nullptr, {returnSignature()}),
            editor(u"RECHENDE", u"LAYRECHE", u"TfrmLayRechEnde", {18, 19}, u"KT_PrintRechnungEnde",
                   rechEndePrinter, nullptr,
                   {withFiscalBlock({{1, Table, u'l', u"{LINIE}"},
                                     {2, Text, u'l', u"Zahlbar innerhalb von 14 Tagen"},
                                     {3, Text, u'l', u"ohne Abzug auf unser Konto:"},
                                     {4, Small, u'l', u"#BVMand#, #BVMandBank#"},
                                     {5, Small, u'l', u"IBAN #BVMandIBAN#"},
                                     {6, Small, u'l', u"BIC #BVMandBIC#"},
                                     {7, Text, u'l', u""},
                                     {8, Bold, u'm', u"Vielen Dank für Ihren Auftrag!"}}),
                    {{QStringLiteral("edtAnzZeilenUber"),
                      QString::number(8 + fiscalBlock(1).size())},
                     {QStringLiteral("edtAnzZeilenUnter"), QStringLiteral("0")},
                     {QStringLiteral("chbLogo"), QStringLiteral("0")}}}),
            // ---- 19 Reklamation
            header(19, u"REKLKOPF", u"", u"KT_PrintReklKopf", shopHeader()),
            heading(35, u"REKLUEBE", u"LAYREKUE", u"Überschrift der Reklamation", {19, 1},
                    u"KT_PrintReklUeber",
                    {titled({Receipt, text(u"Kunde: #KndName#"), text(u"Tel. #KndTelefon#"), Rule}),
                     {}}),
            editor(u"REKLPOS", u"LAYREKPO", u"TfrmLayReklPos", {19, 2}, u"KT_PrintReklPos",
                   reklPosPrinter, reklPosSwitch,
                   {{{1, TableBold, u'l', u"#ArtikelBez#"},
                     {2, Table, u'l', u"#ArtikelNr#/#Größe#  Gr. #GrößeTxt#  #Farbe#"},
                     {3, Table, u'l', u"Beanstandet: #Teil#"},
                     {5, Table, u'l', u"Mangel: #Mangel#"},
                     {6, Table, u'l', u"Material: #Material#"},
                     {7, Small, u'l', u"#Beschreibung#"}},
                    {}}),
            editor(u"REKLREG", u"LAYREKRE", u"TfrmLayReklReg", {19, 4}, u"KT_PrintReklReg",
                   reklRegPrinter, sumLineSwitch,
                   {{{1, TableBold, u'l', u"Regulierung: Nachlass"},
                     {2, Table, u'l', u"Nachlass#{R}##ReduzWH1# #WH1#"},
                     {3, TableBold, u'l', u"Regulierung: Ersatz"},
                     {4, Table, u'l', u"Ersatzware wird bestellt."},
                     {5, TableBold, u'l', u"Regulierung: Gutschein"},
                     {6, Table, u'l', u"Gutschein#{R}##BetragWH1# #WH1#"},
                     {7, TableBold, u'l', u"Regulierung: Einschicken"},
                     {8, Table, u'l', u"an #HerstName#"},
                     {9, TableBold, u'l', u"Regulierung: Teilerstattung"},
                     {10, Table, u'l', u"Erstattung#{R}##BetragWH1# #WH1#"}},
                    {}}),
            heading(36, u"REKLENDE", u"LAYREKEN", u"Ende der Reklamation", {19, 19},
                    u"KT_PrintReklEnde",
                    {withFiscalBlock(numbered({Rule, text(u"Wir prüfen Ihre Reklamation"),
                                               text(u"und melden uns bei Ihnen."), Blank,
                                               text(u"#Unterschrift#")})),
                     {}}),
            // ---- 20 Reservierung/Auswahl
            header(20, u"RESEKOPF", u"", u"KT_PrintReservKopf", shopHeader()),
            heading(41, u"RESEUEBE", u"", u"Überschrift der Reservierung", {20, 1},
                    u"KT_PrintReservUeber",
                    {titled({centred(u"Beleg #BelegHerkunft#  #Datum#"), text(u"Kunde: #KndName#"),
                             text(u"Tel. #KndTelefon#"), Rule}),
                     {}}),
            heading(43, u"RESEPOS", u"", u"Positionen der Reservierung", {20, 2},
                    u"KT_PrintReservPos",
                    {numbered({bold(u"#ArtikelNr#  Gr. #Größe##{R}##Menge# St."),
                               table(u"  #ArtikelBez#")}),
                     {}}),
            heading(42, u"RESEENDE", u"", u"Ende der Reservierung", {20, 19}, u"KT_PrintReservEnde",
                    {numbered({Rule, text(u"#Bemerkung#"), text(u"Wir halten die Ware drei"),
                               text(u"Tage für Sie bereit.")}),
                     {}}),
            heading(44, u"RESESPWA", u"", u"Signpad-Text der Reservierung", {20, 22}, nullptr,
                    {numbered({text(u"Reservierung #BelegHerkunft#"), text(u"vom #Datum#"),
                               text(u"angelegt.")})}),
            heading(45, u"RESESPWE", u"", u"Signpad-Unterschrift der Reservierung", {20, 23},
                    nullptr, {numbered({text(u"Unterschrift #VknName#")})}),
            heading(46, u"RESESPKA", u"", u"Signpad-Text des Kunden bei Reservierung", {20, 24},
                    nullptr,
                    {numbered({text(u"Ich hole die reservierte"), text(u"Ware innerhalb von"),
                               text(u"drei Tagen ab.")})}),
            heading(47, u"RESESPKE", u"", u"Signpad-Unterschrift des Kunden bei Reservierung",
                    {20, 25}, nullptr, {numbered({text(u"Unterschrift Kunde")})}),
            // ---- 21 RKSV-Beleg
            header(21, u"RKSVKOPF", u"", u"KT_PrintRKSVKopf", shopHeader()),
            heading(64, u"RKSVUBER", u"", u"Überschrift von RKSV-Belegen", {21, 1},
                    u"KT_PrintRKSVUeber", {titled({Receipt, Rule})}),
            heading(65, u"RKSVPOS", u"", u"Positionen von RKSV-Belegen", {21, 2}, u"KT_PrintRKSV",
                    {numbered({Line{0, Bold, u'm', u"#Beschreibung#"}})}),
            heading(66, u"RKSVENDE", u"", u"Ende von RKSV-Belegen", {21, 19}, u"KT_PrintRKSVEnde",
                    {numbered({Rule,
                               {0, Bold, u'm', u"#Duplikat# #Trainingsbeleg#"},
                               table(u"Kassen-ID #RKSV-KassenID#"),
                               table(u"Beleg-Nr. #RKSV-BelegNr#"),
                               centred(u"#RKSV-QR#")}),
                     {}}),
            // ---- 22 Warenbegleitschein
            header(22, u"WBSKOPF", u"", u"KT_PrintWBSKopf", branchHeader()),
            heading(58, u"WBSUEBER", u"", u"Überschrift des Warenbegleitscheins", {22, 1},
                    u"KT_PrintWBSUeber", {titled({Dated, centred(u"#FilName#"), Rule})}),
            heading(59, u"WBSPOS", u"", u"Positionen des Warenbegleitscheins", {22, 2},
                    u"KT_PrintWBSPos", {orderItem()}),
            heading(60, u"WBSENDE", u"", u"Ende des Warenbegleitscheins", {22, 19},
                    u"KT_PrintWBSEnde",
                    {numbered({Rule, text(u"Gesamtmenge: #GesMenge#"), Blank, text(u"Übergeben:"),
                               text(u"#Unterschrift#")}),
                     {}}),
            // ---- 23 Zahlung
            header(23, u"ZAHLKOPF", u"", u"KT_PrintZahlungKopf", shopHeader()),
            heading(67, u"ZAHLUBER", u"", u"Überschrift von Zahlungen", {23, 1},
                    u"KT_PrintZahlungUeber",
                    {titled({Receipt, text(u"Kunde: #KndName#"), Rule, text(u"#ZM#"),
                             text(u"#Bemerkung#"), Blank,
                             Line{0, Total, u'l', u"Betrag#{R}##BetragWH1# #PositionWH#"}}),
                     {}}),
            heading(68, u"ZAHLENDE", u"", u"Ende von Zahlungen", {23, 19}, u"KT_PrintZahlungEnde",
                    {withFiscalBlock(numbered(
                             {Rule, text(u"Betrag erhalten:"), Blank, text(u"#Unterschrift#")})),
                     {}}),
            heading(69, u"ZAHLSPWA", u"", u"Signpad-Text von Zahlungen", {23, 22}, nullptr,
                    {numbered({text(u"Ich bestätige die Zahlung"), text(u"#ZM#"),
                               text(u"über #BetragWH1# #WH1#.")})}),
            heading(70, u"ZAHLSPWE", u"", u"Signpad-Unterschrift von Zahlungen", {23, 23}, nullptr,
                    {numbered({text(u"Unterschrift Kunde")})}),
            // ---- card payments
            card({0, 0}, u"ECBUCH", u"ec-Lastschrift - Zahlung",
                 cardText({u"Kartenzahlung girocard", u"Kundenbeleg - bitte aufbewahren"})),
            card({0, 1}, u"ECSTOR", u"ec-Lastschrift - Stornieren",
                 cardText({u"Storno Kartenzahlung girocard", u"Der Betrag wird nicht abgebucht."})),
            card({1, 0}, u"KKBUCH", u"Kreditkarte - Zahlung",
                 cardText({u"Kartenzahlung Kreditkarte", u"Kundenbeleg - bitte aufbewahren",
                           u"Betrag dankend erhalten."})),
            card({1, 1}, u"KKSTOR", u"Kreditkarte - Stornieren",
                 cardText({u"Storno Kreditkarte", u"Der Betrag wird nicht belastet."})),
            card({1, 2}, u"KKGUTS", u"Kreditkarte - Erstattung",
                 cardText({u"Erstattung Kreditkarte", u"Der Betrag wird Ihrer Karte",
                           u"gutgeschrieben."})),
    };
}

template<typename Match>
const SectionInfo *findIf(Match match)
{
    for (const SectionInfo &s : SectionRegistry::all()) {
        if (match(s))
            return &s;
    }
    return nullptr;
}

} // namespace

namespace SectionRegistry {

const QList<SectionInfo> &all()
{
    static const QList<SectionInfo> sections = sectionTable();
    return sections;
}

const SectionInfo *find(QStringView kennung)
{
    if (kennung.isEmpty())
        return nullptr;
    return findIf([&](const SectionInfo &s) { return s.kennung == kennung; });
}

const SectionInfo *header(int documentType)
{
    return findIf([&](const SectionInfo &s) {
        return s.kind == SectionKind::Header && s.code == documentType;
    });
}

const SectionInfo *heading(int code)
{
    return findIf(
            [&](const SectionInfo &s) { return s.kind == SectionKind::Heading && s.code == code; });
}

const SectionInfo *editor(QStringView className)
{
    return findIf([&](const SectionInfo &s) {
        return s.kind == SectionKind::Editor && s.editorClass == className;
    });
}

const SectionInfo *card(int cardType, int operation)
{
    return findIf([&](const SectionInfo &s) {
        return s.kind == SectionKind::Card && s.menu == MenuEntry{cardType, operation};
    });
}

const SectionInfo *atMenu(int documentType, int section)
{
    return findIf([&](const SectionInfo &s) {
        return s.kind != SectionKind::Card && s.menu == MenuEntry{documentType, section};
    });
}

const SectionInfo *byOperation(QStringView operation)
{
    if (operation.isEmpty())
        return nullptr;
    return findIf([&](const SectionInfo &s) { return s.operation == operation; });
}

QStringList headerFallbacks()
{
    // Receipt, complaint, voucher, zero receipt, cash report, invoice, cash removal, receipt of
    // payment, reservation, branch exchange, mail, credit note.
    static const QStringList list = [] {
        QStringList kennungen;
        for (int type : {13, 19, 9, 16, 11, 18, 14, 17, 20, 8, 15, 10})
            kennungen << header(type)->kennung;
        return kennungen;
    }();
    return list;
}

} // namespace SectionRegistry

QString CBelegTyp_2_KennungKopf(int type)
{
    const SectionInfo *s = SectionRegistry::header(type);
    return s ? s->kennung : QString();
}
