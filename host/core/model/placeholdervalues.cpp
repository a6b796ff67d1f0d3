#include "core/model/placeholdervalues.h"

#include "core/model/placeholdercatalogue.h"

#include <QHash>

#include <cmath>

namespace {

enum class Kind {
    Text,          // the document text of the field
    Barcode,       // the document text of the field; alone on a line it prints as a barcode
    QrCode,        // the document text of the field; alone on a line it prints as a QR code
    Fiscal,        // the document text of the field, a fiscal datum or mark that may be empty
    Amount1,       // the field's amount in currency 1
    Amount2,       // the field's amount in currency 2
    Currency,      // the name of currency 1 or 2 (field "1" or "2")
    NamedText,     // template "#Field_x#": the text of "Field_x", else of "Field"
    ShareOfAmount, // template "#AntGesIstVkWH1_x#": x / 100 percent of the field's amount
    TabLeft,       // "#{Lnnnn}#": the following text starts nnnn points from the left
    TabRight,      // "#{Rnnnn}#": the rest of the line ends nnnn points from the left
};

struct Rule
{
    const char16_t *token;
    Kind kind;
    const char16_t *field;
};

// Which value each placeholder of the catalogue shows, in catalogue order.
const Rule rules[] = {
        {u"#AnFiliale#", Kind::Text, u"AnFiliale"},
        {u"#FaPosBarcode#", Kind::Barcode, u"FaPosBarcode"},
        {u"#BarCode#", Kind::Barcode, u"BarCode"},
        {u"#Datum#", Kind::Text, u"Datum"},
        {u"#AktDatum#", Kind::Text, u"AktDatum"},
        {u"#Uhrzeit#", Kind::Text, u"Uhrzeit"},
        {u"#BelegNrRNr#", Kind::Text, u"BelegNrRNr"},
        {u"#BelegNrLNr#", Kind::Text, u"BelegNrLNr"},
        {u"#BelegNrSNr#", Kind::Text, u"BelegNrSNr"},
        {u"#BelegNr#", Kind::Text, u"BelegNr"},
        {u"#BelegHerkunft#", Kind::Text, u"BelegHerkunft"},
        {u"#Bemerkung#", Kind::Text, u"Bemerkung"},
        {u"#Bonnummer#", Kind::Text, u"Bonnummer"},
        {u"#BonNrBarcode#", Kind::Barcode, u"BonNrBarcode"},
        {u"#BisDatum#", Kind::Text, u"BisDatum"},
        {u"#VknNr#", Kind::Text, u"VknNr"},
        {u"#VknName#", Kind::Text, u"VknName"},
        {u"#VknVorName#", Kind::Text, u"VknVorName"},
        {u"#VknNachName#", Kind::Text, u"VknNachName"},
        {u"#VknAnredeNachName#", Kind::Text, u"VknAnredeNachName"},
        {u"#KopfVknNr#", Kind::Text, u"KopfVknNr"},
        {u"#KopfVknName#", Kind::Text, u"KopfVknName"},
        {u"#KopfVknVorName#", Kind::Text, u"KopfVknVorName"},
        {u"#KopfVknNachName#", Kind::Text, u"KopfVknNachName"},
        {u"#KopfVknAnredeNachName#", Kind::Text, u"KopfVknAnredeNachName"},
        {u"#UStID#", Kind::Text, u"UStID"},
        {u"#MandName#", Kind::Text, u"MandName"},
        {u"#FilName#", Kind::Text, u"FilName"},
        {u"#FilOrt#", Kind::Text, u"FilOrt"},
        {u"#FilPLZ#", Kind::Text, u"FilPLZ"},
        {u"#FilStrasse#", Kind::Text, u"FilStrasse"},
        {u"#FilTel#", Kind::Text, u"FilTel"},
        {u"#SteuerNr#", Kind::Text, u"SteuerNr"},
        {u"#KndAlles#", Kind::Text, u"KndAlles"},
        {u"#KndAllesDeEnFr#", Kind::Text, u"KndAllesDeEnFr"},
        {u"#KndName#", Kind::Text, u"KndName"},
        {u"#KndName2#", Kind::Text, u"KndName2"},
        {u"#KndNr#", Kind::Text, u"KndNr"},
        {u"#KndNr_x#", Kind::NamedText, u"KndNr"},
        {u"#KndLand#", Kind::Text, u"KndLand"},
        {u"#KndTelefon#", Kind::Text, u"KndTelefon"},
        {u"#KndOrt#", Kind::Text, u"KndOrt"},
        {u"#KndPlz#", Kind::Text, u"KndPlz"},
        {u"#KndStrasse#", Kind::Text, u"KndStrasse"},
        {u"#KndVorname#", Kind::Text, u"KndVorname"},
        {u"#KndEMail#", Kind::Text, u"KndEMail"},
        {u"#KndTitel#", Kind::Text, u"KndTitel"},
        {u"#KndGeburt#", Kind::Text, u"KndGeburt"},
        {u"#KndTelefax#", Kind::Text, u"KndTelefax"},
        {u"#KndMobil#", Kind::Text, u"KndMobil"},
        {u"#Unterschrift#", Kind::Text, u"Unterschrift"},
        {u"#WH1#", Kind::Currency, u"1"},
        {u"#WH2#", Kind::Currency, u"2"},
        {u"#ArtikelNr#", Kind::Text, u"ArtikelNr"},
        {u"#ArtikelBez#", Kind::Text, u"ArtikelBez"},
        {u"#ArtMerk_x#", Kind::NamedText, u"ArtMerk"},
        {u"#GesMenge#", Kind::Text, u"GesMenge"},
        {u"#GesIstVkWH1#", Kind::Amount1, u"GesIstVk"},
        {u"#GesIstVkWH2#", Kind::Amount2, u"GesIstVk"},
        {u"#AntGesIstVkWH1_x#", Kind::ShareOfAmount, u"GesIstVk"},
        {u"#Größe#", Kind::Text, u"Größe"},
        {u"#GrößeTxt#", Kind::Text, u"GrößeTxt"},
        {u"#IstVkWH1#", Kind::Amount1, u"IstVk"},
        {u"#IstVkWH2#", Kind::Amount2, u"IstVk"},
        {u"#Menge#", Kind::Text, u"Menge"},
        {u"#MengeText#", Kind::Text, u"MengeText"},
        {u"#ReduzWH1#", Kind::Amount1, u"Reduz"},
        {u"#ReduzWH2#", Kind::Amount2, u"Reduz"},
        {u"#ReduzProzent#", Kind::Text, u"ReduzProzent"},
        {u"#ReduzProzent1#", Kind::Text, u"ReduzProzent1"},
        {u"#ReduzProzent0#", Kind::Text, u"ReduzProzent0"},
        {u"#SetMenge#", Kind::Text, u"SetMenge"},
        {u"#SetpreisWH1#", Kind::Amount1, u"Setpreis"},
        {u"#SetpreisWH2#", Kind::Amount2, u"Setpreis"},
        {u"#Aktionstyp#", Kind::Text, u"Aktionstyp"},
        {u"#Set_Aktion_Preis#", Kind::Text, u"Set_Aktion_Preis"},
        {u"#SollVkWH1#", Kind::Amount1, u"SollVk"},
        {u"#SollVkWH2#", Kind::Amount2, u"SollVk"},
        {u"#Max(I/S)WH1#", Kind::Amount1, u"Max(I/S)"},
        {u"#Max(I/S)WH2#", Kind::Amount2, u"Max(I/S)"},
        {u"#WG#", Kind::Text, u"WG"},
        {u"#WGKurz#", Kind::Text, u"WGKurz"},
        {u"#WGOderBez#", Kind::Text, u"WGOderBez"},
        {u"#ZSummeWH1#", Kind::Amount1, u"ZSumme"},
        {u"#ZSummeWH2#", Kind::Amount2, u"ZSumme"},
        {u"#UST#", Kind::Text, u"UST"},
        {u"#UST2#", Kind::Text, u"UST2"},
        {u"#USTBetragWH1#", Kind::Amount1, u"USTBetrag"},
        {u"#USTBetragWH2#", Kind::Amount2, u"USTBetrag"},
        {u"#NettoBtrgWH1#", Kind::Amount1, u"NettoBtrg"},
        {u"#NettoBtrgWH2#", Kind::Amount2, u"NettoBtrg"},
        {u"#ZM#", Kind::Text, u"ZM"},
        {u"#ZMBetrag#", Kind::Text, u"ZMBetrag"},
        {u"#BVMand#", Kind::Text, u"BVMand"},
        {u"#BVMandKtoNr#", Kind::Text, u"BVMandKtoNr"},
        {u"#BVMandBank#", Kind::Text, u"BVMandBank"},
        {u"#BVMandBLZ#", Kind::Text, u"BVMandBLZ"},
        {u"#BVMandIBAN#", Kind::Text, u"BVMandIBAN"},
        {u"#BVMandBIC#", Kind::Text, u"BVMandBIC"},
        {u"#GegebenWH1#", Kind::Amount1, u"Gegeben"},
        {u"#GegebenWH2#", Kind::Amount2, u"Gegeben"},
        {u"#RückWH1#", Kind::Amount1, u"Rück"},
        {u"#RückWH2#", Kind::Amount2, u"Rück"},
        {u"#BetragWH1#", Kind::Amount1, u"Betrag"},
        {u"#BetragWH2#", Kind::Amount2, u"Betrag"},
        {u"#Teil#", Kind::Text, u"Teil"},
        {u"#Beschreibung#", Kind::Text, u"Beschreibung"},
        {u"#Bonus#", Kind::Text, u"Bonus"},
        {u"#BonusVerfuegbar#", Kind::Text, u"BonusVerfuegbar"},
        {u"#BonusGesperrt#", Kind::Text, u"BonusGesperrt"},
        {u"#Farbe#", Kind::Text, u"Farbe"},
        {u"#Material#", Kind::Text, u"Material"},
        {u"#Mangel#", Kind::Text, u"Mangel"},
        {u"#Position#", Kind::Text, u"Position"},
        {u"#Sachkonto#", Kind::Text, u"Sachkonto"},
        {u"#SteuerInfos#", Kind::Text, u"SteuerInfos"},
        {u"#MwSt-Erstattungshinweis#", Kind::Text, u"MwSt-Erstattungshinweis"},
        {u"#MwSt-Hinweistext-Abtrennen#", Kind::Text, u"MwSt-Hinweistext-Abtrennen"},
        {u"#MwSt-ZollbestaetigungDeEnFr#", Kind::Text, u"MwSt-ZollbestaetigungDeEnFr"},
        {u"#Sollsumme#", Kind::Text, u"Sollsumme"},
        {u"#Habensumme#", Kind::Text, u"Habensumme"},
        {u"#Kassenstand#", Kind::Text, u"Kassenstand"},
        {u"#Kassiererin#", Kind::Text, u"Kassiererin"},
        {u"#VknAbschluss#", Kind::Text, u"VknAbschluss"},
        {u"#VknAbschluss2#", Kind::Text, u"VknAbschluss2"},
        {u"#VknVorlAbschluss#", Kind::Text, u"VknVorlAbschluss"},
        {u"#Kassenberichtnummer#", Kind::Text, u"Kassenberichtnummer"},
        {u"#PositionAnzahl#", Kind::Text, u"PositionAnzahl"},
        {u"#PositionBetrag#", Kind::Text, u"PositionBetrag"},
        {u"#PositionWH#", Kind::Text, u"PositionWH"},
        {u"#VonBisDatum#", Kind::Text, u"VonBisDatum"},
        {u"#VonFiliale#", Kind::Text, u"VonFiliale"},
        {u"#Kassenbericht#", Kind::Text, u"Kassenbericht"},
        {u"#KBBeginnDatum#", Kind::Text, u"KBBeginnDatum"},
        {u"#KBBeginnZeit#", Kind::Text, u"KBBeginnZeit"},
        {u"#KBEndeDatum#", Kind::Text, u"KBEndeDatum"},
        {u"#KBEndeZeit#", Kind::Text, u"KBEndeZeit"},
        {u"#KBErsterBon#", Kind::Text, u"KBErsterBon"},
        {u"#KBLetzterBon#", Kind::Text, u"KBLetzterBon"},
        {u"#HerstArt#", Kind::Text, u"HerstArt"},
        {u"#HerstName#", Kind::Text, u"HerstName"},
        {u"#HerstNr#", Kind::Text, u"HerstNr"},
        {u"#LiefArtNeu#", Kind::Text, u"LiefArtNeu"},
        {u"#LiefNameNeu#", Kind::Text, u"LiefNameNeu"},
        {u"#LiefNrNeu#", Kind::Text, u"LiefNrNeu"},
        {u"#LiefArt#", Kind::Text, u"LiefArt"},
        {u"#LiefName#", Kind::Text, u"LiefName"},
        {u"#LiefNr#", Kind::Text, u"LiefNr"},
        {u"#Merkmal1#", Kind::Text, u"Merkmal1"},
        {u"#Merkmal2#", Kind::Text, u"Merkmal2"},
        {u"#Merkmal3#", Kind::Text, u"Merkmal3"},
        {u"#Merkmal4#", Kind::Text, u"Merkmal4"},
        {u"#Merkmal5#", Kind::Text, u"Merkmal5"},
        {u"#Merkmal6#", Kind::Text, u"Merkmal6"},
        {u"#EigMerkmal1#", Kind::Text, u"EigMerkmal1"},
        {u"#Regal#", Kind::Text, u"Regal"},
        {u"#Linie#", Kind::Text, u"Linie"},
        {u"#MailAbsender#", Kind::Text, u"MailAbsender"},
        {u"#MailEmpfaenger#", Kind::Text, u"MailEmpfaenger"},
        {u"#MailBetreff#", Kind::Text, u"MailBetreff"},
        {u"#MailText#", Kind::Text, u"MailText"},
        {u"#MailDatum#", Kind::Text, u"MailDatum"},
        {u"#MailUhrzeit#", Kind::Text, u"MailUhrzeit"},
        {u"#MailStichworte#", Kind::Text, u"MailStichworte"},
        {u"#MailErledigt#", Kind::Text, u"MailErledigt"},
        {u"#MailAntwortzwang#", Kind::Text, u"MailAntwortzwang"},
        {u"#MailPrioritaet#", Kind::Text, u"MailPrioritaet"},
        {u"#MailZuLesenDurch#", Kind::Text, u"MailZuLesenDurch"},
        {u"#MailNummer#", Kind::Text, u"MailNummer"},
        {u"#WertBarCode#", Kind::Barcode, u"WertBarCode"},
        {u"#WGMerk_x#", Kind::NamedText, u"WGMerk"},
        {u"#FaBelegArt#", Kind::Text, u"FaBelegArt"},
        {u"#FaPosBelegNr#", Kind::Text, u"FaPosBelegNr"},
        {u"#FaPosKunde#", Kind::Text, u"FaPosKunde"},
        {u"#FaPosVonFil#", Kind::Text, u"FaPosVonFil"},
        {u"#FaPosAnFil#", Kind::Text, u"FaPosAnFil"},
        {u"#FaPosOrderId#", Kind::Text, u"FaPosOrderId"},
        {u"#ExtGutscheinNr#", Kind::Text, u"ExtGutscheinNr"},
        {u"#PreisMindGrund#", Kind::Text, u"PreisMindGrund"},
        {u"#Benutzer#", Kind::Text, u"Benutzer"},
        {u"#Person#", Kind::Text, u"Person"},
        {u"#GrundBestAbg#", Kind::Text, u"GrundBestAbg"},
        {u"#PaybackNummer#", Kind::Text, u"PaybackNummer"},
        {u"#PaybackBasis#", Kind::Text, u"PaybackBasis"},
        {u"#PaybackExtra#", Kind::Text, u"PaybackExtra"},
        {u"#PaybackPunkte#", Kind::Text, u"PaybackPunkte"},
        {u"#PaybackText#", Kind::Text, u"PaybackText"},
        {u"#ProCaNummer#", Kind::Text, u"ProCaNummer"},
        {u"#ProCaPunkte#", Kind::Text, u"ProCaPunkte"},
        {u"#ProCaExtra#", Kind::Text, u"ProCaExtra"},
        {u"#ProCaGesamt#", Kind::Text, u"ProCaGesamt"},
        {u"#PersonalOrKundNr#", Kind::Text, u"PersonalOrKundNr"},
        {u"#GSName#", Kind::Text, u"GSName"},
        {u"#{LXXXX}#", Kind::TabLeft, u""},
        {u"#{RXXXX}#", Kind::TabRight, u""},
        {u"#TSE-TransaktionNr#", Kind::Fiscal, u"TSE-TransaktionNr"},
        {u"#TSE-Signaturzaehler#", Kind::Fiscal, u"TSE-Signaturzaehler"},
        {u"#TSE-Start#", Kind::Fiscal, u"TSE-Start"},
        {u"#TSE-Ende#", Kind::Fiscal, u"TSE-Ende"},
        {u"#TSE-Seriennummer#", Kind::Fiscal, u"TSE-Seriennummer"},
        {u"#TSE-KassenSerienNr#", Kind::Fiscal, u"TSE-KassenSerienNr"},
        {u"#TSE-Algorithmus#", Kind::Fiscal, u"TSE-Algorithmus"},
        {u"#TSE-Zeitformat#", Kind::Fiscal, u"TSE-Zeitformat"},
        {u"#TSE-Signatur#", Kind::Fiscal, u"TSE-Signatur"},
        {u"#TSE-PublicKey#", Kind::Fiscal, u"TSE-PublicKey"},
        {u"#TSE-QR#", Kind::QrCode, u"TSE-QR"},
        {u"#TSE-Ausfall#", Kind::Fiscal, u"TSE-Ausfall"},
        {u"#RKSV-KassenID#", Kind::Fiscal, u"RKSV-KassenID"},
        {u"#RKSV-BelegNr#", Kind::Fiscal, u"RKSV-BelegNr"},
        {u"#RKSV-Code#", Kind::Fiscal, u"RKSV-Code"},
        {u"#RKSV-QR#", Kind::QrCode, u"RKSV-Code"},
        {u"#Duplikat#", Kind::Fiscal, u"Duplikat"},
        {u"#Trainingsbeleg#", Kind::Fiscal, u"Trainingsbeleg"},
};

// A receipt line is set in a fixed pitch of about this many points per character.
constexpr int PointsPerCharacter = 6;

const QHash<QString, const Rule *> &ruleByToken()
{
    static const QHash<QString, const Rule *> index = [] {
        QHash<QString, const Rule *> h;
        for (const Rule &r : rules)
            h.insert(QString::fromUtf16(r.token), &r);
        return h;
    }();
    return index;
}

// Template rules by the token's text before the "_" or "{".
const Rule *templateRule(const QString &candidate, QString *argument)
{
    if (candidate.startsWith(QLatin1String("#{")) && candidate.endsWith(QLatin1String("}#"))
        && candidate.size() >= 5) {
        const QChar side = candidate.at(2);
        if (side != u'L' && side != u'R')
            return nullptr;
        *argument = candidate.mid(3, candidate.size() - 5);
        return ruleByToken().value(side == u'L' ? QStringLiteral("#{LXXXX}#")
                                                : QStringLiteral("#{RXXXX}#"));
    }
    const qsizetype underscore = candidate.indexOf(u'_');
    if (underscore < 2)
        return nullptr;
    const Rule *rule = ruleByToken().value(candidate.left(underscore) + QStringLiteral("_x#"));
    if (rule)
        *argument = candidate.mid(underscore + 1, candidate.size() - underscore - 2);
    return rule;
}

int columnOf(const QString &points)
{
    bool ok = false;
    const int p = points.toInt(&ok);
    return ok && p > 0 ? qMin(p / PointsPerCharacter, 500) : 0;
}

// Replaces text from `from` into out, up to the end or up to a right tab; answers where the text
// after that tab starts (its column in *column), or -1 at the end of the text.
qsizetype replaceSegment(const QString &text, qsizetype from, const DocumentData &document,
                         bool secondCurrency, QString &out, int *column)
{
    qsizetype i = from;
    while (i < text.size()) {
        const QChar c = text.at(i);
        const qsizetype close = c == u'#' ? text.indexOf(u'#', i + 1) : -1;
        if (close < 0) {
            out += c;
            ++i;
            continue;
        }
        const QString candidate = text.mid(i, close - i + 1);
        QString argument;
        const Rule *rule = ruleByToken().value(candidate);
        if (!rule)
            rule = templateRule(candidate, &argument);
        if (!rule) {
            // Not a placeholder: keep the '#' and look for one starting at the next '#'.
            out += c;
            ++i;
            continue;
        }
        const QString field = QString::fromUtf16(rule->field);
        switch (rule->kind) {
        case Kind::Text:
        case Kind::Barcode:
        case Kind::QrCode:
        case Kind::Fiscal:
            out += document.text(field);
            break;
        case Kind::Amount1:
            out += formatAmount(document.amount(field));
            break;
        case Kind::Amount2:
            if (secondCurrency)
                out += formatAmount(document.amountInCurrency2(field));
            break;
        case Kind::Currency:
            if (field == QLatin1String("1"))
                out += document.currency1;
            else if (secondCurrency)
                out += document.currency2;
            break;
        case Kind::NamedText: {
            const QString named = field + u'_' + argument;
            out += document.texts.contains(named) ? document.text(named) : document.text(field);
            break;
        }
        case Kind::ShareOfAmount: {
            bool ok = false;
            const double share = argument.toDouble(&ok);
            out += formatAmount(ok ? document.amount(field) * share / 10000.0 : 0.0);
            break;
        }
        case Kind::TabLeft: {
            const int column = columnOf(argument);
            if (out.size() < column)
                out += QString(column - out.size(), u' ');
            else if (column > 0)
                out += u' ';
            break;
        }
        case Kind::TabRight:
            *column = columnOf(argument);
            return close + 1;
        }
        i = close + 1;
    }
    return -1;
}

} // namespace

bool hasPlaceholderRule(const QString &token)
{
    return ruleByToken().contains(token);
}

bool holdsRunningText(const QString &text)
{
    static const char16_t *const tokens[] = {
            u"#MailText#",       u"#Bemerkung#",   u"#Beschreibung#", u"#KndAlles#",
            u"#KndAllesDeEnFr#", u"#PaybackText#", u"#SteuerInfos#",  u"#MwSt-Erstattungshinweis#",
    };
    for (const char16_t *token : tokens) {
        if (text.contains(QStringView(token)))
            return true;
    }
    return false;
}

bool isBarcodePlaceholder(const QString &token)
{
    const Rule *rule = ruleByToken().value(token);
    return rule && rule->kind == Kind::Barcode;
}

bool isQrPlaceholder(const QString &token)
{
    const Rule *rule = ruleByToken().value(token);
    return rule && rule->kind == Kind::QrCode;
}

bool leftOutWhenEmpty(const QString &text, const DocumentData &document)
{
    bool fiscal = false;
    for (qsizetype i = 0; i < text.size();) {
        if (text.at(i).isSpace()) {
            ++i;
            continue;
        }
        const qsizetype close = text.at(i) == u'#' ? text.indexOf(u'#', i + 1) : -1;
        if (close < 0)
            return false;
        const Rule *rule = ruleByToken().value(text.mid(i, close - i + 1));
        if (!rule || (rule->kind != Kind::Fiscal && rule->kind != Kind::QrCode)
            || !document.text(QString::fromUtf16(rule->field)).isEmpty())
            return false;
        fiscal = true;
        i = close + 1;
    }
    return fiscal;
}

QString placeholderField(const QString &token)
{
    const Rule *rule = ruleByToken().value(token);
    return rule ? QString::fromUtf16(rule->field) : QString();
}

bool isFiscalPlaceholder(const QString &token)
{
    const Rule *rule = ruleByToken().value(token);
    return rule && (rule->kind == Kind::Fiscal || rule->kind == Kind::QrCode);
}

QString replacePlaceholders(const QString &text, const DocumentData &document, bool secondCurrency)
{
    // A right tab ends the rest of the line, replaced, at its column, with at least one blank
    // before it; a tab in that rest applies first. The pieces between right tabs are replaced
    // one after another and the blanks worked out from the end, so that a line of many tabs
    // costs no more than its length.
    QList<QString> pieces(1);
    QList<int> columns;
    int column = 0;
    for (qsizetype i = replaceSegment(text, 0, document, secondCurrency, pieces.last(), &column);
         i >= 0; i = replaceSegment(text, i, document, secondCurrency, pieces.last(), &column)) {
        columns << column;
        pieces.append(QString());
    }
    QList<qsizetype> gaps(columns.size());
    qsizetype rest = pieces.last().size();
    for (qsizetype t = columns.size() - 1; t >= 0; --t) {
        const qsizetype before = pieces.at(t).size();
        gaps[t] = columns.at(t) > 0 ? qMax<qsizetype>(columns.at(t) - before - rest, 1) : 0;
        rest += before + gaps.at(t);
    }
    QString out;
    out.reserve(rest);
    for (qsizetype t = 0; t < pieces.size(); ++t) {
        out += pieces.at(t);
        if (t < gaps.size())
            out += QString(gaps.at(t), u' ');
    }
    return out;
}
