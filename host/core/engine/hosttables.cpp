#include "core/engine/hosttables.h"

#include <array>

namespace {

struct DocumentType
{
    const char16_t *name;
    const char16_t *headerKennung;
};

const std::array<DocumentType, DocumentTypeCount> documentTypes = {{
        {u"Anzahlung", u"ANZKOPF"},
        {u"Aufgabenliste", u"AUKOPF"},
        {u"Phasenbeleg", u"PHASKOPF"},
        {u"Belegliste", u"BELIKOPF"},
        {u"Datenschutzerklärung", u"BDSGKOPF"},
        {u"MwSt-Erstattung", u"TAXFKOPF"},
        {u"Bestandsabgang", u"BESTKOPF"},
        {u"Filialaustausch", u"FAKOPF"},
        {u"Gutschein", u"GUTKOPF"},
        {u"Gutschrift", u"GSCHRKPF"},
        {u"Kassenbericht", u"KASKOPF"},
        {u"Kassenbestandserhöhung", u"ERHKOPF"},
        {u"Bon", u"BONKOPF"},
        {u"Kassenentnahme", u"ENTKOPF"},
        {u"KRT-Mail-Bon", u"MAILKOPF"},
        {u"Nullbon", u"NULLKOPF"},
        {u"Quittung", u"QUITKOPF"},
        {u"Rechnung", u"RECHKOPF"},
        {u"Reklamation", u"REKLKOPF"},
        {u"Reservierung/Auswahl", u"RESEKOPF"},
        {u"RKSV-Beleg", u"RKSVKOPF"},
        {u"Warenbegleitschein", u"WBSKOPF"},
        {u"Zahlung", u"ZAHLKOPF"},
}};

const std::array<const char16_t *, DocumentTypeCount> headerTitles = {
        u"Anzahlungskopfes",
        u"Belegkopfes für Aufgabenlisten",
        u"Belegkopfes für Phasenbelege",
        u"Belegkopfes für Beleglisten",
        u"Belegkopfes für die Datenschutzerklärung",
        u"Belegkopfes für die MwSt-Erstattung",
        u"Belegkopfes für den Bestandsabgang",
        u"Belegkopfes für Filialaustausch",
        u"Gutscheinkopfes",
        u"Belegkopfes für Gutschriften",
        u"Kassenberichtkopfes",
        u"Kassenbestandserhöhungskopfes",
        u"Bonkopfes",
        u"Kassenentnahmekopfes",
        u"KRT-Mail-Bonkopfes",
        u"Nullbonkopfes",
        u"Quittungskopfes",
        u"Rechnungskopfes",
        u"Reklamationskopfes",
        u"Belegkopfes für Reservierung/Auswahl",
        u"Belegkopfes für RKSV Belege",
        u"Belegkopfes für Warenbegleitscheine",
        u"Belegkopfes für Zahlungen",
};

} // namespace

QString headerTitle(int type)
{
    if (type < 1 || type > DocumentTypeCount)
        return {};
    return QString::fromUtf16(headerTitles[type - 1]);
}

QString CBelegName(int type)
{
    if (type < 1 || type > DocumentTypeCount)
        return {};
    return QString::fromUtf16(documentTypes[type - 1].name);
}

QString CBelegTyp_2_KennungKopf(int type)
{
    if (type < 1 || type > DocumentTypeCount)
        return {};
    return QString::fromUtf16(documentTypes[type - 1].headerKennung);
}

QSet<int> CAlleBonArten()
{
    QSet<int> all;
    for (int t = 1; t <= DocumentTypeCount; ++t)
        all.insert(t);
    return all;
}

QString C_RTyp_Text(int type)
{
    switch (type) {
    case 1:
        return QStringLiteral("Haupt-PC");
    case 2:
        return QStringLiteral("Backoffice-PC");
    case 3:
        return QStringLiteral("Kasse");
    case 4:
        return QStringLiteral("Mobile Kasse");
    case 5:
        return QStringLiteral("Lager-PC");
    case 6:
        return QStringLiteral("Server");
    case 7:
        return QStringLiteral("Zentrale");
    default:
        return QStringLiteral("Rechnertyp %1").arg(type);
    }
}

bool isTillType(int type)
{
    return type == 3 || type == 4;
}
