#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class Host;
class OVOParameter;

// The country an installation's tills stand in, which decides what a receipt handed to a
// customer must carry.
enum class Country { Germany, Austria, Switzerland };

// "DE", "AT", "CH": how the parameter stores it and the command line names it.
QString countryCode(Country country);
// "Deutschland", "Österreich", "Schweiz".
QString countryName(Country country);
const QList<Country> &countries();
// A code or a name, in any case; nullopt for anything else.
std::optional<Country> countryNamed(const QString &text);

// The installation's country (a parameter of no workstation); Germany when none is stored.
Country installationCountry(const OVOParameter &parameters);
void setInstallationCountry(OVOParameter &parameters, Country country);

// What the law of a country asks of a receipt: a named field, satisfied by any one of its
// alternatives, each a set of placeholders that must all print.
struct FiscalRequirement
{
    QString name;
    QList<QStringList> alternatives;
};
QList<FiscalRequirement> fiscalRequirements(Country country);
// The document types that are receipts to a customer in the country.
QList<int> customerReceiptTypes(Country country);

// A receipt layout that lacks what its country asks.
struct FiscalFinding
{
    int workstation = 0;
    QString workstationName; // as every window names it
    QString printerKey;
    int documentType = 0;
    QString missing; // what is missing, naming the placeholders that would mend it
    QString kennung; // the section whose editor mends it
    QString section; // its caption in the document type's menu ("Ende")
};

// Checks every till of the installation under its printer key, for every customer receipt type
// of the country: the lines the layouts print (their own, the template's under the printer
// key, else the default design) must carry every requirement. With a section given, only the
// types that print it. The engine errors a till without a printer leaves are not kept.
QList<FiscalFinding> checkFiscalRules(Host &host, Country country,
                                      const QString &onlySection = QString());

// "Belegprüfung für Deutschland (DE): nichts fehlt", "...: 1 Lücke", "...: 3 Lücken".
QString fiscalSummary(const QList<FiscalFinding> &findings, Country country);
