#include "core/engine/fiscalcheck.h"

#include "core/app/host.h"
#include "core/engine/bonprinter.h"
#include "core/model/hosttables.h"
#include "core/model/placeholdervalues.h"
#include "core/model/sampledocument.h"
#include "core/sections/sectiondispatch.h"
#include "core/store/parameters.h"
#include "core/store/workstationtable.h"

namespace {

// The installation's country, a parameter of no workstation (workstation number -1, by name).
const QString CountryParameter = QStringLiteral("LAND");
constexpr int ByName = -1;

struct CountryName
{
    Country country;
    const char16_t *code;
    const char16_t *name;
};

constexpr CountryName countryNames[] = {
        {Country::Germany, u"DE", u"Deutschland"},
        {Country::Austria, u"AT", u"Österreich"},
        {Country::Switzerland, u"CH", u"Schweiz"},
};

const CountryName &entryOf(Country country)
{
    for (const CountryName &c : countryNames) {
        if (c.country == country)
            return c;
    }
    return countryNames[0];
}

// What a placeholder prints while the layouts are checked: its own token, between marks no
// design contains, so that the printed lines show which placeholders reached the paper.
QString probeValue(const QString &token)
{
    return u'\u27EA' + token + u'\u27EB';
}

// The menu entry of the section where a receipt's fiscal block belongs: its end, else its last.
int endSectionOf(int type)
{
    const quint32 mask = SectionDispatch::sectionMask(type);
    if (!SectionDispatch::sectionKennung(type, 19).isEmpty())
        return 19;
    int last = -1;
    for (int i = 0; i < SectionDispatch::SectionCount; ++i) {
        if ((mask & (1u << i)) && !SectionDispatch::sectionKennung(type, i).isEmpty())
            last = i;
    }
    return last;
}

QStringList sectionsOf(int type)
{
    QStringList sections;
    const quint32 mask = SectionDispatch::sectionMask(type);
    for (int i = 0; i < SectionDispatch::SectionCount; ++i) {
        const QString kennung = SectionDispatch::sectionKennung(type, i);
        if ((mask & (1u << i)) && !kennung.isEmpty())
            sections << kennung;
    }
    return sections;
}

// What is missing of a requirement none of whose alternatives printed whole: the alternatives,
// each with the placeholders it still lacks.
QString missingText(const FiscalRequirement &requirement, const QString &printed)
{
    QStringList options;
    for (const QStringList &alternative : requirement.alternatives) {
        QStringList lacking;
        for (const QString &token : alternative) {
            if (!printed.contains(probeValue(token)))
                lacking << token;
        }
        if (lacking.isEmpty())
            return {};
        options << lacking.join(QStringLiteral(", "));
    }
    return requirement.name + QStringLiteral(": ") + options.join(QStringLiteral(" oder "));
}

} // namespace

QString countryCode(Country country)
{
    return QString::fromUtf16(entryOf(country).code);
}

QString countryName(Country country)
{
    return QString::fromUtf16(entryOf(country).name);
}

const QList<Country> &countries()
{
    static const QList<Country> all = {Country::Germany, Country::Austria, Country::Switzerland};
    return all;
}

std::optional<Country> countryNamed(const QString &text)
{
    const QString wanted = text.trimmed();
    for (const CountryName &c : countryNames) {
        if (wanted.compare(QStringView(c.code), Qt::CaseInsensitive) == 0
            || wanted.compare(QStringView(c.name), Qt::CaseInsensitive) == 0)
            return c.country;
    }
    return std::nullopt;
}

Country installationCountry(const OVOParameter &parameters)
{
    return countryNamed(parameters.StringParamRead(CountryParameter, ByName))
            .value_or(Country::Germany);
}

void setInstallationCountry(OVOParameter &parameters, Country country)
{
    parameters.StringParamWrite(CountryParameter, countryCode(country), ByName);
}

QList<FiscalRequirement> fiscalRequirements(Country country)
{
    const QString qr = QStringLiteral("#TSE-QR#");
    switch (country) {
    case Country::Germany:
        return {{QStringLiteral("TSE-Daten"),
                 {{qr},
                  {QStringLiteral("#TSE-TransaktionNr#"), QStringLiteral("#TSE-Signaturzaehler#"),
                   QStringLiteral("#TSE-Seriennummer#"), QStringLiteral("#TSE-KassenSerienNr#"),
                   QStringLiteral("#TSE-Signatur#")}}},
                {QStringLiteral("Datum"), {{QStringLiteral("#Datum#")}}},
                {QStringLiteral("Beginn des Vorgangs"), {{QStringLiteral("#TSE-Start#")}, {qr}}},
                {QStringLiteral("Ende des Vorgangs"), {{QStringLiteral("#TSE-Ende#")}, {qr}}},
                {QStringLiteral("Ausfallvermerk"), {{QStringLiteral("#TSE-Ausfall#")}}}};
    case Country::Austria:
        return {{QStringLiteral("Maschinenlesbarer Code"),
                 {{QStringLiteral("#RKSV-QR#")}, {QStringLiteral("#RKSV-Code#")}}}};
    case Country::Switzerland:
        return {{QStringLiteral("MWST-Nummer"), {{QStringLiteral("#UStID#")}}}};
    }
    return {};
}

QList<int> customerReceiptTypes(Country country)
{
    // Down payment, voucher, receipt, zero receipt, invoice, complaint and payment; in Austria
    // also the receipt of the signature device ("RKSV-Beleg").
    QList<int> types = {1, 9, 13, 16, 18, 19, 23};
    if (country == Country::Austria)
        types.insert(6, 21);
    return types;
}

QList<FiscalFinding> checkFiscalRules(Host &host, Country country, const QString &onlySection)
{
    const QList<FiscalRequirement> requirements = fiscalRequirements(country);
    // Every placeholder the requirements name prints as its probe.
    DocumentData probe = sampleDocument(1.0, QStringLiteral("EUR"), QString(), QDateTime());
    for (const FiscalRequirement &r : requirements) {
        for (const QStringList &alternative : r.alternatives) {
            for (const QString &token : alternative)
                probe.setText(placeholderField(token), probeValue(token));
        }
    }
    OVOInfo &info = host.info();
    const int errorBefore = info.ErrorNumber();
    TBonPrinter engine(host, CAlleBonArten(), -1);
    engine.setOutputEnabled(false);
    QList<FiscalFinding> findings;
    for (const TRVRInfoUmfang &till : host.workstations().all()) {
        if (!isTillType(till.RTyp))
            continue;
        engine.setWorkstation(till.RNr);
        engine.Refresh();
        for (int type : customerReceiptTypes(country)) {
            const QStringList sections = sectionsOf(type);
            if (!onlySection.isEmpty() && !sections.contains(onlySection))
                continue;
            engine.setDocument(probe);
            engine.KT_DocBegin();
            for (const QString &kennung : sections)
                engine.printSection(kennung);
            engine.KT_DocEnd();
            QString printed;
            for (const JobItem &item : engine.lastJob().items)
                printed += item.text + u'\n';
            for (const FiscalRequirement &r : requirements) {
                const QString missing = missingText(r, printed);
                if (!missing.isEmpty())
                    findings.append({till.RNr, RVRTab::displayName(till),
                                     engine.Kasso_Typ_Get_LayoutPrinterKey(), type, missing,
                                     SectionDispatch::sectionKennung(type, endSectionOf(type)),
                                     SectionDispatch::sectionCaption(endSectionOf(type))});
            }
        }
    }
    // A till without a printer is named by the check, not by a message later.
    if (info.ErrorNumber() != errorBefore && info.ErrorNumber() != 0)
        info.ResetErrorSpez(info.ErrorNumber());
    return findings;
}

QString fiscalSummary(const QList<FiscalFinding> &findings, Country country)
{
    const QString result = findings.isEmpty() ? QStringLiteral("nichts fehlt")
                           : findings.size() == 1
                                   ? QStringLiteral("1 Lücke")
                                   : QStringLiteral("%1 Lücken").arg(findings.size());
    return QStringLiteral("Belegprüfung für %1 (%2): %3")
            .arg(countryName(country), countryCode(country), result);
}
