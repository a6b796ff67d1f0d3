#include "core/sections/headingsections.h"

#include "core/format/layoutformat.h"
#include "core/sections/sectionregistry.h"

#include <algorithm>

namespace {

const QList<int> whatCodes = {6, 8, 10, 15, 27, 33, 39, 44, 46, 56, 69};
const QList<int> whoCodes = {7, 9, 11, 16, 28, 34, 40, 45, 47, 57, 70};

} // namespace

const QList<HeadingSection> &headingSections()
{
    static const QList<HeadingSection> sections = [] {
        QList<HeadingSection> list;
        for (const SectionInfo &s : SectionRegistry::all()) {
            if (s.kind == SectionKind::Heading)
                list.append({s.code, s.kennung, s.maske, s.title});
        }
        std::sort(list.begin(), list.end(),
                  [](const HeadingSection &a, const HeadingSection &b) { return a.code < b.code; });
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
    const std::pair<int, Design> carriers[] = {
            {72, payment},
            {13, payment},
            {54, payment},
            {17,
             {{u"Gutschein #Bonnummer#", u"fett", u"mitte"},
              {u"Wert: #BetragWH1# #WH1#", u"fett", u"mitte"},
              {u"#Datum# #Uhrzeit#", u"normal", u"mitte"}}},
            {22,
             {{u"Gutschrift #Bonnummer#", u"fett", u"mitte"},
              {u"Betrag: #BetragWH1# #WH1#", u"fett", u"mitte"}}},
            {18, {{u"Zahlbetrag: #GesIstVkWH1# #WH1#", u"normal", u"links"}}},
            {19, redemption},
            {23, redemption},
            {20, newValue},
            {24, newValue},
            {26,
             {{u"Nullbon #Bonnummer#", u"fett", u"mitte"},
              {u"#Datum# #Uhrzeit#", u"normal", u"mitte"}}},
            {51,
             {{u"Betreff: #MailBetreff#", u"fett", u"links"},
              {u"#MailText#", u"normal", u"links"}}},
            {62,
             {{u"Ihre Daten speichern wir nur", u"normal", u"links"},
              {u"für Ihre Kundenkarte.", u"normal", u"links"}}},
            {65, described},
            {77, described},
            {75,
             {{u"#ArtikelBez#", u"normal", u"links"},
              {u"#Menge#  #IstVkWH1# #WH1#", u"normal", u"rechts"}}},
            {80,
             {{u"#BelegHerkunft# #Datum# #BetragWH1# #PositionWH#", u"normal", u"links"},
              {u"#KndName#", u"normal", u"links"}}},
            {85,
             {{u"#ArtikelNr# #ArtikelBez#", u"normal", u"links"},
              {u"Grund: #GrundBestAbg#", u"normal", u"links"},
              {u"#Person# (#Benutzer#)", u"normal", u"links"}}},
    };
    for (const auto &[code, design] : carriers) {
        if (code == s.code)
            return design;
    }
    return {{u"#ArtikelNr# #ArtikelBez#", u"normal", u"links"},
            {u"#Menge# x #IstVkWH1# #WH1#", u"normal", u"rechts"}};
}

} // namespace

TKRT_LayBonDefaultDesign::TKRT_LayBonDefaultDesign(KTFontInfoFunction fontInfo)
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
