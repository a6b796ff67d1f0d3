#include "core/sections/demodesign.h"

namespace Demo {

using enum Look;

QList<Line> numbered(std::initializer_list<Line> lines)
{
    QList<Line> list;
    for (Line line : lines) {
        line.number = int(list.size()) + 1;
        list << line;
    }
    return list;
}

QList<Line> titled(std::initializer_list<Line> more)
{
    QList<Line> lines = {{1, Title, u'm', u"{TYP}"}};
    for (Line line : more) {
        line.number = int(lines.size()) + 1;
        lines << line;
    }
    return lines;
}

std::pair<QString, QString> on(const QString &control)
{
    return {control, QStringLiteral("1")};
}

namespace {

Design header(QList<Line> lines, Values values, bool logo)
{
    const QString count = QString::number(lines.size());
    values += {{QStringLiteral("rgpLogoPosition"), QStringLiteral("1")},
               {QStringLiteral("chbText"), QStringLiteral("1")},
               {QStringLiteral("edtTextAnzahlZeilen"), count},
               {QStringLiteral("edtAnzZeilenUber"), QStringLiteral("0")},
               {QStringLiteral("edtAnzZeilenNeben"), QStringLiteral("0")},
               {QStringLiteral("edtAnzZeilenUnter"), count}};
    return {lines, values, logo};
}

} // namespace

Design shopHeader()
{
    // The logo's name follows from the section; it is set where the design is encoded.
    return header({{1, Name, u'm', u"#MandName#"},
                   {2, Text, u'm', u"#FilStrasse#, #FilPLZ# #FilOrt#"},
                   {3, Text, u'm', u"Tel. #FilTel#"},
                   {4, Small, u'm', u"St.-Nr. #SteuerNr#"},
                   {5, Small, u'm', u"USt-IdNr. #UStID#"}},
                  {{QStringLiteral("chbLogo"), QStringLiteral("1")},
                   {QStringLiteral("edtLogoBreite"), QStringLiteral("4,00")},
                   {QStringLiteral("edtLogoHoehe"), QStringLiteral("1,60")}},
                  true);
}

Design branchHeader()
{
    return header(
            {{1, Text, u'm', u"#FilName#"}, {2, Text, u'm', u"#FilStrasse#, #FilPLZ# #FilOrt#"}},
            {{QStringLiteral("chbLogo"), QStringLiteral("0")},
             {QStringLiteral("lblLogoName"), QStringLiteral("- kein Logo vorhanden -")}},
            false);
}

QList<Line> returnSignature()
{
    return numbered({text(u"Ware zurückgenommen."), text(u"Betrag erhalten:"), Blank,
                     text(u"#Unterschrift#"), text(u"#KndName#")});
}

QList<Line> unknownReturnSignature()
{
    return numbered({text(u"Ware zurückgenommen."), text(u"Betrag erhalten:"), text(u"Name:"),
                     text(u"Anschrift:"), Blank, text(u"#Unterschrift#")});
}

QList<Line> orderItem()
{
    return numbered(
            {bold(u"#ArtikelNr# #ArtikelBez#"), table(u"  Gr. #Größe#  #Farbe#, #Material#"),
             table(u"  Menge #Menge##{R}#Regal #Regal#"), table(u"  #FaPosBelegNr#  #FaPosKunde#"),
             table(u"  Auftrag #FaPosOrderId#"), Line{0, Table, u'm', u"#FaPosBarcode#"}});
}

namespace {

// The article as the receipt and the invoice print it: name, number with size code, size
// and colour, then quantity, list price and the amount charged.
QList<Line> article()
{
    return {
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
}

} // namespace

QList<Line> receiptItem()
{
    QList<Line> lines = article();
    lines += {{13, Table, u'l', u"  MwSt-Erstattung #UST# %"},
              {14, Table, u'l', u"  #Menge# x #SollVkWH1##{R}##IstVkWH1#"},
              {15, Small, u'l', u"  #LiefNameNeu# #LiefArtNeu#"}};
    return lines;
}

QList<Line> invoiceItem()
{
    QList<Line> lines = article();
    lines[1] = {2, Table, u'l', u"#ArtikelNr#/#Größe#  #Menge# x#{R}##IstVkWH1#"};
    return lines;
}

Values reductionReasons()
{
    return {on(QStringLiteral("chbText2Zeile6"))};
}

Values receiptEndValues()
{
    return {on(QStringLiteral("chbText2")),
            on(QStringLiteral("chbNurBeiGefPlatz3")),
            on(QStringLiteral("chbNurBeiRueckgabe11")),
            {QStringLiteral("edtAnzZeilenUber"), QString::number(11 + fiscalBlock(1).size())},
            {QStringLiteral("edtAnzZeilenUnter"), QStringLiteral("0")}};
}

QList<Line> fiscalBlock(int first)
{
    QList<Line> lines = {{0, Bold, u'm', u"#Duplikat# #Trainingsbeleg#"},
                         {0, Bold, u'm', u"#TSE-Ausfall#"},
                         table(u"Kasse      #TSE-KassenSerienNr#"),
                         table(u"TSE-Trans. #TSE-TransaktionNr#"),
                         table(u"Sig.-Zähl. #TSE-Signaturzaehler#"),
                         table(u"Start #TSE-Start#"),
                         table(u"Ende  #TSE-Ende#"),
                         {0, Text, u'm', u"#TSE-QR#"}};
    for (Line &line : lines)
        line.number = first++;
    return lines;
}

QList<Line> withFiscalBlock(QList<Line> lines)
{
    return lines + fiscalBlock(lines.isEmpty() ? 1 : lines.last().number + 1);
}

Design cardText(std::initializer_list<const char16_t *> lines)
{
    Design d;
    for (const char16_t *line : lines)
        d.lines << Line{int(d.lines.size()) + 1, Text, u'l', line};
    return d;
}

} // namespace Demo
