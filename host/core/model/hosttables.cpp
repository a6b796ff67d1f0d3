#include "core/model/hosttables.h"

#include <array>

namespace {

const std::array<const char16_t *, DocumentTypeCount> documentTypes = {
        u"Anzahlung",
        u"Aufgabenliste",
        u"Phasenbeleg",
        u"Belegliste",
        u"Datenschutzerklärung",
        u"MwSt-Erstattung",
        u"Bestandsabgang",
        u"Filialaustausch",
        u"Gutschein",
        u"Gutschrift",
        u"Kassenbericht",
        u"Kassenbestandserhöhung",
        u"Bon",
        u"Kassenentnahme",
        u"KRT-Mail-Bon",
        u"Nullbon",
        u"Quittung",
        u"Rechnung",
        u"Reklamation",
        u"Reservierung/Auswahl",
        u"RKSV-Beleg",
        u"Warenbegleitschein",
        u"Zahlung",
};

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
    return QString::fromUtf16(documentTypes[type - 1]);
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
