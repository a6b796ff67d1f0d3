#include "core/sections/headingsections.h"

#include "core/format/layoutformat.h"

namespace {

struct Row
{
    int code;
    const char16_t *kennung;
    const char16_t *maske; // empty: same as the Kennung
    const char16_t *title;
};

const Row rows[] = {
        {0, u"AUUEBER", u"", u"Überschrift der Aufgabenliste"},
        {1, u"AUPOS", u"", u"Positionen der Aufgabenliste"},
        {2, u"AUENDE", u"", u"Ende der Aufgabenliste"},
        {3, u"BONUEBER", u"LAYBONUE", u"Bonüberschrift"},
        {4, u"BONUNTSK", u"", u"Unterschrift bei Rückgabe - Stammkunde"},
        {5, u"BONUNTUK", u"", u"Unterschrift bei Rückgabe - Unbekannter Kunde"},
        {6, u"BONSPWAS", u"LAYBOSPA", u"Signpad-Text des Bons"},
        {7, u"BONSPWER", u"LAYBOSPE", u"Signpad-Unterschrift des Bons"},
        {8, u"BONSPKWA", u"LAYBOSKA", u"Signpad-Text des Kunden"},
        {9, u"BONSPKWE", u"LAYBOSKE", u"Signpad-Unterschrift des Kunden"},
        {10, u"BONSP2WA", u"LABOSP2A", u"Signpad-Text des Bonstornos"},
        {11, u"BONSP2WE", u"LABOSP2E", u"Signpad-Unterschrift des Bonstornos"},
        {12, u"ENTUEBER", u"LAYETUEB", u"Überschrift der Kassenentnahme"},
        {13, u"ENTPOS", u"LAYETPOS", u"Positionen der Kassenentnahme"},
        {14, u"ENTENDE", u"LAYETEND", u"Ende der Kassenentnahme"},
        {15, u"ENTSPWAS", u"LAYETSPA", u"Signpad-Text der Kassenentnahme"},
        {16, u"ENTSPWER", u"LAYETSPE", u"Signpad-Unterschrift der Kassenentnahme"},
        {17, u"GUTSCHEI", u"LAYGUTSC", u"Gutscheinposition"},
        {18, u"GUTSPOZB", u"", u"Gutscheinzahlbetrag"},
        {19, u"GUTSTEEI", u"", u"Gutscheinteileinlösung"},
        {20, u"GUTSOFBE", u"", u"Neuer Gutscheinwert"},
        {21, u"GUTENDE", u"LAYGUTEN", u"Gutscheinende"},
        {22, u"GUTSCHRI", u"LAYGSCHR", u"Gutschriftsposition"},
        {23, u"GUTRTEEI", u"", u"Gutschriftteileinlösung"},
        {24, u"GUTROFBE", u"", u"Neuer Gutschriftwert"},
        {25, u"GSCHRIEN", u"LAYGREND", u"Gutschriftende"},
        {26, u"NULLBON", u"LAYNULLB", u"Nullbon"},
        {27, u"NULSPWAS", u"LAYNUSPA", u"Signpad-Text des Nullbons"},
        {28, u"NULSPWER", u"LAYNUSPE", u"Signpad-Unterschrift des Nullbons"},
        {29, u"RECHUEBE", u"LAYRECHU", u"Rechnungsüberschrift"},
        {30, u"RECUNTSK", u"", u"Unterschrift bei Rückgabe auf Rechnung"},
        {31, u"KASUEBER", u"LAYKBUEB", u"Überschrift des Kassenberichts"},
        {32, u"KASENDE", u"LAYKBEND", u"Ende des Kassenberichts"},
        {33, u"KASSPWAS", u"LAYKBSPA", u"Signpad-Text des Kassenberichts"},
        {34, u"KASSPWER", u"LAYKBSPE", u"Signpad-Unterschrift des Kassenberichts"},
        {35, u"REKLUEBE", u"LAYREKUE", u"Überschrift der Reklamation"},
        {36, u"REKLENDE", u"LAYREKEN", u"Ende der Reklamation"},
        {37, u"QUITUEBE", u"LAYQUIUE", u"Quittungsüberschrift"},
        {38, u"QUITENDE", u"LAYQUIEN", u"Quittungsende"},
        {39, u"QUITSPWA", u"LAYQUISA", u"Signpad-Text der Quittung"},
        {40, u"QUITSPWE", u"LAYQUISE", u"Signpad-Unterschrift der Quittung"},
        {41, u"RESEUEBE", u"", u"Überschrift der Reservierung"},
        {42, u"RESEENDE", u"", u"Ende der Reservierung"},
        {43, u"RESEPOS", u"", u"Positionen der Reservierung"},
        {44, u"RESESPWA", u"", u"Signpad-Text der Reservierung"},
        {45, u"RESESPWE", u"", u"Signpad-Unterschrift der Reservierung"},
        {46, u"RESESPKA", u"", u"Signpad-Text des Kunden bei Reservierung"},
        {47, u"RESESPKE", u"", u"Signpad-Unterschrift des Kunden bei Reservierung"},
        {48, u"FAUEBER", u"", u"Überschrift des Filialaustauschs"},
        {49, u"FAPOS", u"", u"Positionen des Filialaustauschs"},
        {50, u"FAENDE", u"", u"Ende des Filialaustauschs"},
        {51, u"MAILBON", u"MAILPOS", u"KRT-Mail"},
        {52, u"MAILENDE", u"", u"Ende der KRT-Mail"},
        {53, u"ERHUEBER", u"LAYETUEB", u"Überschrift der Kassenbestandserhöhung"},
        {54, u"ERHPOS", u"LAYETPOS", u"Positionen der Kassenbestandserhöhung"},
        {55, u"ERHENDE", u"LAYETEND", u"Ende der Kassenbestandserhöhung"},
        {56, u"ERHSPWAS", u"LAYETSPA", u"Signpad-Text der Kassenbestandserhöhung"},
        {57, u"ERHSPWER", u"LAYETSPE", u"Signpad-Unterschrift der Kassenbestandserhöhung"},
        {58, u"WBSUEBER", u"", u"Überschrift des Warenbegleitscheins"},
        {59, u"WBSPOS", u"", u"Positionen des Warenbegleitscheins"},
        {60, u"WBSENDE", u"", u"Ende des Warenbegleitscheins"},
        {61, u"BDSGUEBE", u"", u"Überschrift der Datenschutzerklärung"},
        {62, u"BDSGPOS", u"", u"Text der Datenschutzerklärung"},
        {63, u"BDSGENDE", u"", u"Ende der Datenschutzerklärung"},
        {64, u"RKSVUBER", u"", u"Überschrift von RKSV-Belegen"},
        {65, u"RKSVPOS", u"", u"Positionen von RKSV-Belegen"},
        {66, u"RKSVENDE", u"", u"Ende von RKSV-Belegen"},
        {67, u"ZAHLUBER", u"", u"Überschrift von Zahlungen"},
        {68, u"ZAHLENDE", u"", u"Ende von Zahlungen"},
        {69, u"ZAHLSPWA", u"", u"Signpad-Text von Zahlungen"},
        {70, u"ZAHLSPWE", u"", u"Signpad-Unterschrift von Zahlungen"},
        {71, u"ANZUEBER", u"", u"Überschrift der Anzahlung"},
        {72, u"ANZPOS", u"", u"Positionen der Anzahlung"},
        {73, u"ANZENDE", u"", u"Ende der Anzahlung"},
        {74, u"ABELUBER", u"", u"Überschrift von Phasenbelegen"},
        {75, u"ABELPOS", u"", u"Positionen von Phasenbelegen"},
        {76, u"ABELART", u"", u"Artikelpositionen von Phasenbelegen"},
        {77, u"ABELTXT", u"", u"Textpositionen von Phasenbelegen"},
        {78, u"ABELENDE", u"", u"Ende von Phasenbelegen"},
        {79, u"BLSTUBER", u"", u"Überschrift der Belegliste"},
        {80, u"BLSTBELE", u"", u"Belege der Belegliste"},
        {81, u"TAXUEBER", u"", u"Überschrift von MwSt-Erstattungsbelegen"},
        {82, u"TAXPOS", u"", u"Positionen von MwSt-Erstattungsbelegen"},
        {83, u"TAXENDE", u"", u"Ende von MwSt-Erstattungsbelegen"},
        {85, u"BABGPOS", u"", u"Bestandsabgang"},
};

const QList<int> whatCodes = {6, 8, 10, 15, 27, 33, 39, 44, 46, 56, 69};
const QList<int> whoCodes = {7, 9, 11, 16, 28, 34, 40, 45, 47, 57, 70};

} // namespace

const QList<HeadingSection> &headingSections()
{
    static const QList<HeadingSection> sections = [] {
        QList<HeadingSection> list;
        for (const Row &r : rows) {
            const QString kennung = QString::fromUtf16(r.kennung);
            const QString maske = QString::fromUtf16(r.maske);
            list.append({r.code, kennung, maske.isEmpty() ? kennung : maske,
                         QString::fromUtf16(r.title)});
        }
        return list;
    }();
    return sections;
}

std::optional<HeadingSection> headingSection(int code)
{
    for (const HeadingSection &s : headingSections()) {
        if (s.code == code)
            return s;
    }
    return std::nullopt;
}

std::optional<HeadingSection> headingSectionByKennung(const QString &kennung)
{
    for (const HeadingSection &s : headingSections()) {
        if (s.kennung == kennung)
            return s;
    }
    return std::nullopt;
}

SignpadGroup signpadGroup(int code)
{
    if (whatCodes.contains(code))
        return SignpadGroup::What;
    if (whoCodes.contains(code))
        return SignpadGroup::Who;
    return SignpadGroup::None;
}

bool hasPerAccountFlag(int code)
{
    return code == 37 || code == 67;
}

bool showsPerAccountFlag(int code)
{
    return code == 37;
}

bool isSumSection(int code)
{
    return code == 3 || code == 29;
}

// ---- default designs -----------------------------------------------------------------------

namespace {

struct DefaultLine
{
    const char16_t *text;
    const char16_t *style;
    const char16_t *alignment;
};

using Design = QList<DefaultLine>;

// Designs by kind of section; the title line names the section itself.
Design designFor(const HeadingSection &s)
{
    switch (signpadGroup(s.code)) {
    case SignpadGroup::What:
        return {{u"Hiermit bestätige ich", u"normal", u"links"},
                {u"den Vorgang vom #Datum# #Uhrzeit#", u"normal", u"links"},
                {u"Beleg #Bonnummer#", u"normal", u"links"},
                {u"über #BetragWH1# #WH1#.", u"fett", u"links"},
                {u"#FilName#", u"normal", u"links"}};
    case SignpadGroup::Who:
        return {{u"Unterschrift #KndName#", u"normal", u"links"}};
    case SignpadGroup::None:
        break;
    }
    switch (s.code) {
    case 3: // receipt: the heading of the item lines
        return {{u"#Datum#  #Uhrzeit#  Bon #Bonnummer#", u"normal", u"links"},
                {u"#Linie#", u"normal", u"mitte"},
                {u"Artikel              Menge   #WH1#   #WH2#", u"fett", u"links"}};
    case 29:
        return {{u"Rechnung Nr. #BelegNr#", u"fett", u"links"},
                {u"Datum: #Datum#", u"normal", u"links"},
                {u"Kunde: #KndNr# #KndName#", u"normal", u"links"},
                {u"#Linie#", u"normal", u"mitte"},
                {u"Artikel              Menge   #WH1#   #WH2#", u"fett", u"links"}};
    case 4:
    case 5:
    case 30:
        return {{u"Ware zurückgenommen.", u"normal", u"links"},
                {u"Betrag erhalten:", u"normal", u"links"},
                {u"", u"normal", u"links"},
                {u"#Unterschrift#", u"normal", u"links"}};
    default:
        break;
    }
    const QString k = s.kennung;
    if (k.contains(QLatin1String("UEB")) || k.contains(QLatin1String("UBER")))
        return {{u"#TITLE#", u"fett", u"mitte"},
                {u"#Datum#  #Uhrzeit#", u"normal", u"mitte"},
                {u"#Linie#", u"normal", u"mitte"}};
    if (k.contains(QLatin1String("ENDE")) || k.endsWith(QLatin1String("END")))
        return {{u"#Linie#", u"normal", u"mitte"},
                {u"Es bediente Sie #VknName#", u"normal", u"mitte"},
                {u"Vielen Dank für Ihren Besuch!", u"fett", u"mitte"}};
    // Position sections that carry something other than an article show what they carry.
    const Design payment = {{u"#ZM# #BetragWH1# #PositionWH#", u"normal", u"links"}};
    const Design redemption = {{u"Eingelöst #Bonnummer#: #BetragWH1# #WH1#", u"normal", u"links"}};
    const Design newValue = {{u"Neuer Wert: #BetragWH1# #WH1#", u"fett", u"links"}};
    const Design described = {{u"#Beschreibung#", u"normal", u"links"}};
    const std::pair<const char16_t *, Design> carriers[] = {
            {u"ANZPOS", payment},
            {u"ENTPOS", payment},
            {u"ERHPOS", payment},
            {u"GUTSCHEI",
             {{u"Gutschein #Bonnummer#", u"fett", u"mitte"},
              {u"Wert: #BetragWH1# #WH1#", u"fett", u"mitte"},
              {u"#Datum# #Uhrzeit#", u"normal", u"mitte"}}},
            {u"GUTSCHRI",
             {{u"Gutschrift #Bonnummer#", u"fett", u"mitte"},
              {u"Betrag: #BetragWH1# #WH1#", u"fett", u"mitte"}}},
            {u"GUTSPOZB", {{u"Zahlbetrag: #GesIstVkWH1# #WH1#", u"normal", u"links"}}},
            {u"GUTSTEEI", redemption},
            {u"GUTRTEEI", redemption},
            {u"GUTSOFBE", newValue},
            {u"GUTROFBE", newValue},
            {u"NULLBON",
             {{u"Nullbon #Bonnummer#", u"fett", u"mitte"},
              {u"#Datum# #Uhrzeit#", u"normal", u"mitte"}}},
            {u"MAILBON",
             {{u"Betreff: #MailBetreff#", u"fett", u"links"},
              {u"#MailText#", u"normal", u"links"}}},
            {u"BDSGPOS",
             {{u"Ihre Daten speichern wir nur", u"normal", u"links"},
              {u"für Ihre Kundenkarte.", u"normal", u"links"}}},
            {u"RKSVPOS", described},
            {u"ABELTXT", described},
            {u"ABELPOS",
             {{u"#ArtikelBez#", u"normal", u"links"},
              {u"#Menge#  #IstVkWH1# #WH1#", u"normal", u"rechts"}}},
            {u"BLSTBELE",
             {{u"#BelegHerkunft# #Datum# #BetragWH1# #PositionWH#", u"normal", u"links"},
              {u"#KndName#", u"normal", u"links"}}},
            {u"BABGPOS",
             {{u"#ArtikelNr# #ArtikelBez#", u"normal", u"links"},
              {u"Grund: #GrundBestAbg#", u"normal", u"links"},
              {u"#Person# (#Benutzer#)", u"normal", u"links"}}},
    };
    for (const auto &[kennung, design] : carriers) {
        if (QStringView(kennung) == k)
            return design;
    }
    return {{u"#ArtikelNr# #ArtikelBez#", u"normal", u"links"},
            {u"#Menge# x #IstVkWH1# #WH1#", u"normal", u"rechts"}};
}

} // namespace

TKRT_LayBonDefaultDesign::TKRT_LayBonDefaultDesign(KTFontInfoFunction fontInfo, const TBonPrinter *)
    : m_fontInfo(std::move(fontInfo))
{
}

bool TKRT_LayBonDefaultDesign::GetDefaultDesignForKennung(const QString &kennung,
                                                          QStringList &list) const
{
    const std::optional<HeadingSection> section = headingSectionByKennung(kennung);
    if (!section)
        return false;
    const KTFontInfo font = m_fontInfo ? m_fontInfo(kennung) : KTFontInfo{};
    const Design design = designFor(*section);
    list.clear();
    list << QString::number(design.size());
    for (const DefaultLine &line : design) {
        QString text = QString::fromUtf16(line.text);
        text.replace(QLatin1String("#TITLE#"), section->title);
        list << text << font.fontName << font.fontSize << QString::fromUtf16(line.style)
             << QString::fromUtf16(line.alignment);
        if (hasPerAccountFlag(section->code))
            list << QStringLiteral("0");
    }
    return true;
}
