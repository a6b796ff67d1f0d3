#include "core/sections/sectiondispatch.h"

#include "core/model/hosttables.h"
#include "core/sections/sectionregistry.h"

#include <array>

namespace SectionDispatch {
namespace {

const std::array<const char16_t *, SectionCount> captions = {
        u"Kopf",
        u"Überschrift",
        u"Positionen",
        u"Summen u. Zahlung",
        u"Regulierung",
        u"Gutschein",
        u"Zahlbetrag",
        u"Gutschrift",
        u"Teileinlösung(en)",
        u"Neuer Wert",
        u"Nullbon",
        u"Quittung",
        u"KRT-Mail",
        u"Artikelpositionen",
        u"Textpositionen",
        u"Belege",
        u"Bestandsabgang",
        u"Unterschrift bei Rückg. - Stammkunde",
        u"Unterschrift b. Rückg. - Unbek. Kunde",
        u"Ende",
        u"Ende Bonstorno",
        u"Testdruck",
        u"Signpad Oben",
        u"Signpad Unterschrift",
        u"Signpad Kunde Oben",
        u"Signpad Kunde Unterschrift",
        u"Signpad Bonstorno Oben",
        u"Signpad Bonstorno Unterschrift",
};

} // namespace

QString sectionCaption(int index)
{
    if (index < 0 || index >= SectionCount)
        return {};
    return QString::fromUtf16(captions[index]);
}

std::optional<Target> target(int documentType, int section)
{
    if (documentType < 1 || documentType > DocumentTypeCount)
        return std::nullopt;
    if (section == HeaderSection)
        return Target{Target::Kind::HeaderEditor, -1, {}};
    if (section == TestPrintSection)
        return Target{Target::Kind::TestPrint, -1, {}};
    const SectionInfo *s = SectionRegistry::atMenu(documentType, section);
    if (!s)
        return std::nullopt;
    if (s->kind == SectionKind::Editor)
        return Target{Target::Kind::Editor, -1, s->editorClass};
    return Target{Target::Kind::HeadingEditor, s->code, {}};
}

quint32 sectionMask(int documentType)
{
    if (documentType < 1 || documentType > DocumentTypeCount)
        return 0;
    // Every type has its header and its test print.
    quint32 mask = (1u << HeaderSection) | (1u << TestPrintSection);
    for (const SectionInfo &s : SectionRegistry::all()) {
        if (s.kind != SectionKind::Card && s.menu.first == documentType)
            mask |= 1u << s.menu.second;
    }
    return mask;
}

QList<std::pair<int, int>> allEntries()
{
    QList<std::pair<int, int>> list;
    for (int t = 1; t <= DocumentTypeCount; ++t) {
        const quint32 mask = sectionMask(t);
        for (int i = 0; i < 32; ++i) {
            if (mask & (1u << i))
                list.append({t, i});
        }
    }
    return list;
}

QString sectionKennung(int documentType, int section)
{
    if (documentType < 1 || documentType > DocumentTypeCount)
        return {};
    const SectionInfo *s = SectionRegistry::atMenu(documentType, section);
    return s ? s->kennung : QString();
}

QString cardTypeCaption(int cardType)
{
    switch (cardType) {
    case 0:
        return QStringLiteral("ec-Lastschrift");
    case 1:
        return QStringLiteral("Kreditkarte");
    default:
        return {};
    }
}

QString operationCaption(int operation)
{
    switch (operation) {
    case 0:
        return QStringLiteral("Zahlung");
    case 1:
        return QStringLiteral("Stornieren");
    case 2:
        return QStringLiteral("Gutschrift");
    default:
        return {};
    }
}

quint8 operationMask(int cardType)
{
    return cardType == 0 ? 0x03 : cardType == 1 ? 0x07 : 0;
}

std::optional<CardSection> cardSection(int cardType, int operation)
{
    if (const SectionInfo *s = SectionRegistry::card(cardType, operation))
        return CardSection{s->kennung, s->title};
    return std::nullopt;
}

bool offeredOffTill(int documentType)
{
    return documentType == 9 || documentType == 10 || documentType == 22;
}

} // namespace SectionDispatch
