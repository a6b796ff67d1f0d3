#include "core/sections/sectiondispatch.h"

#include "core/engine/hosttables.h"
#include "core/sections/headingsections.h"

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

// A table entry: a heading code (>= 0), an editor class, or the test print (code -1, no class).
struct Entry
{
    int type;
    int section;
    int code;
    const char16_t *editor;
};
constexpr int T = -1; // test print

// Every entry after "Kopf" (which every type has and which opens the header editor).
const Entry entries[] = {
        {1, 1, 71, nullptr},
        {1, 2, 72, nullptr},
        {1, 19, 73, nullptr},
        {1, 21, T, nullptr},
        {2, 1, 0, nullptr},
        {2, 2, 1, nullptr},
        {2, 19, 2, nullptr},
        {2, 21, T, nullptr},
        {3, 1, 74, nullptr},
        {3, 2, 75, nullptr},
        {3, 13, 76, nullptr},
        {3, 14, 77, nullptr},
        {3, 19, 78, nullptr},
        {3, 21, T, nullptr},
        {4, 1, 79, nullptr},
        {4, 15, 80, nullptr},
        {4, 21, T, nullptr},
        {5, 1, 61, nullptr},
        {5, 2, 62, nullptr},
        {5, 19, 63, nullptr},
        {5, 21, T, nullptr},
        {6, 1, 81, nullptr},
        {6, 2, 82, nullptr},
        {6, 19, 83, nullptr},
        {6, 21, T, nullptr},
        {7, 16, 85, nullptr},
        {7, 21, T, nullptr},
        {8, 1, 48, nullptr},
        {8, 2, 49, nullptr},
        {8, 19, 50, nullptr},
        {8, 21, T, nullptr},
        {9, 5, 17, nullptr},
        {9, 6, 18, nullptr},
        {9, 8, 19, nullptr},
        {9, 9, 20, nullptr},
        {9, 19, 21, nullptr},
        {9, 21, T, nullptr},
        {10, 7, 22, nullptr},
        {10, 8, 23, nullptr},
        {10, 9, 24, nullptr},
        {10, 19, 25, nullptr},
        {10, 21, T, nullptr},
        {11, 1, 31, nullptr},
        {11, 2, 0, u"TfrmLayKassenbericht"},
        {11, 19, 32, nullptr},
        {11, 21, T, nullptr},
        {11, 22, 33, nullptr},
        {11, 23, 34, nullptr},
        {12, 1, 53, nullptr},
        {12, 2, 54, nullptr},
        {12, 19, 55, nullptr},
        {12, 21, T, nullptr},
        {12, 22, 56, nullptr},
        {12, 23, 57, nullptr},
        {13, 1, 3, nullptr},
        {13, 2, 0, u"TfrmLayBonPos"},
        {13, 3, 0, u"TfrmLayBonSum"},
        {13, 17, 4, nullptr},
        {13, 18, 5, nullptr},
        {13, 19, 0, u"TfrmLayBonende"},
        {13, 20, 0, u"TfrmLayBonStornoEnde"},
        {13, 21, T, nullptr},
        {13, 22, 6, nullptr},
        {13, 23, 7, nullptr},
        {13, 24, 8, nullptr},
        {13, 25, 9, nullptr},
        {13, 26, 10, nullptr},
        {13, 27, 11, nullptr},
        {14, 1, 12, nullptr},
        {14, 2, 13, nullptr},
        {14, 19, 14, nullptr},
        {14, 21, T, nullptr},
        {14, 22, 15, nullptr},
        {14, 23, 16, nullptr},
        {15, 12, 51, nullptr},
        {15, 19, 52, nullptr},
        {15, 21, T, nullptr},
        {16, 10, 26, nullptr},
        {16, 19, 0, u"TfrmLayNullbonEnde"},
        {16, 21, T, nullptr},
        {16, 22, 27, nullptr},
        {16, 23, 28, nullptr},
        {17, 11, 37, nullptr},
        {17, 19, 38, nullptr},
        {17, 21, T, nullptr},
        {17, 22, 39, nullptr},
        {17, 23, 40, nullptr},
        {18, 1, 29, nullptr},
        {18, 2, 0, u"TfrmLayRechPos"},
        {18, 3, 0, u"TfrmLayRechSum"},
        {18, 17, 30, nullptr},
        {18, 19, 0, u"TfrmLayRechEnde"},
        {18, 21, T, nullptr},
        {19, 1, 35, nullptr},
        {19, 2, 0, u"TfrmLayReklPos"},
        {19, 4, 0, u"TfrmLayReklReg"},
        {19, 19, 36, nullptr},
        {19, 21, T, nullptr},
        {20, 1, 41, nullptr},
        {20, 2, 43, nullptr},
        {20, 19, 42, nullptr},
        {20, 21, T, nullptr},
        {20, 22, 44, nullptr},
        {20, 23, 45, nullptr},
        {20, 24, 46, nullptr},
        {20, 25, 47, nullptr},
        {21, 1, 64, nullptr},
        {21, 2, 65, nullptr},
        {21, 19, 66, nullptr},
        {21, 21, T, nullptr},
        {22, 1, 58, nullptr},
        {22, 2, 59, nullptr},
        {22, 19, 60, nullptr},
        {22, 21, T, nullptr},
        {23, 1, 67, nullptr},
        {23, 19, 68, nullptr},
        {23, 21, T, nullptr},
        {23, 22, 69, nullptr},
        {23, 23, 70, nullptr},
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
    for (const Entry &e : entries) {
        if (e.type != documentType || e.section != section)
            continue;
        if (e.editor)
            return Target{Target::Kind::Editor, -1, QString::fromUtf16(e.editor)};
        if (e.code == T)
            return Target{Target::Kind::TestPrint, -1, {}};
        return Target{Target::Kind::HeadingEditor, e.code, {}};
    }
    return std::nullopt;
}

quint32 sectionMask(int documentType)
{
    if (documentType < 1 || documentType > DocumentTypeCount)
        return 0;
    quint32 mask = 1u << HeaderSection;
    for (const Entry &e : entries) {
        if (e.type == documentType)
            mask |= 1u << e.section;
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
    // The section each named editor edits.
    static const std::pair<const char16_t *, const char16_t *> editorSections[] = {
            {u"TfrmLayKassenbericht", u"KASPOS"},   {u"TfrmLayBonPos", u"BONPOS"},
            {u"TfrmLayBonSum", u"BONSUMME"},        {u"TfrmLayBonende", u"BONENDE"},
            {u"TfrmLayBonStornoEnde", u"STORNEND"}, {u"TfrmLayNullbonEnde", u"NULLENDE"},
            {u"TfrmLayRechPos", u"RECHPOS"},        {u"TfrmLayRechSum", u"RECHSUMM"},
            {u"TfrmLayRechEnde", u"RECHENDE"},      {u"TfrmLayReklPos", u"REKLPOS"},
            {u"TfrmLayReklReg", u"REKLREG"},
    };
    const std::optional<Target> t = target(documentType, section);
    if (!t)
        return {};
    switch (t->kind) {
    case Target::Kind::HeaderEditor:
        return CBelegTyp_2_KennungKopf(documentType);
    case Target::Kind::HeadingEditor:
        if (const std::optional<HeadingSection> heading = headingSection(t->sectionCode))
            return heading->kennung;
        return {};
    case Target::Kind::Editor:
        for (const auto &[editor, kennung] : editorSections) {
            if (QStringView(editor) == t->editorClass)
                return QString::fromUtf16(kennung);
        }
        return {};
    case Target::Kind::TestPrint:
        break;
    }
    return {};
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
    struct Row
    {
        int card, op;
        const char16_t *kennung, *caption;
    };
    static const Row rows[] = {
            {0, 0, u"ECBUCH", u"ec-Lastschrift - Zahlung"},
            {0, 1, u"ECSTOR", u"ec-Lastschrift - Stornieren"},
            {1, 0, u"KKBUCH", u"Kreditkarte - Zahlung"},
            {1, 1, u"KKSTOR", u"Kreditkarte - Stornieren"},
            {1, 2, u"KKGUTS", u"Kreditkarte - Erstattung"},
    };
    for (const Row &r : rows) {
        if (r.card == cardType && r.op == operation)
            return CardSection{QString::fromUtf16(r.kennung), QString::fromUtf16(r.caption)};
    }
    return std::nullopt;
}

bool offeredOffTill(int documentType)
{
    return documentType == 9 || documentType == 10 || documentType == 22;
}

} // namespace SectionDispatch
