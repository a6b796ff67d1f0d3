#include "editors/LayBonueber.h"

#include "core/app/host.h"
#include "core/engine/bonprinter.h"
#include "core/sections/headingsections.h"
#include "editors/LayBonueberPresets.h"
#include "widgets/controlvalues.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

using HintList = QList<TfrmLayBonueber::Hint>;

HintList hints(std::initializer_list<std::pair<const char16_t *, const char16_t *>> pairs)
{
    HintList list;
    for (const auto &[token, description] : pairs)
        list.append({QString::fromUtf16(token), QString::fromUtf16(description), true});
    return list;
}

const HintList &h1()
{
    static const HintList list = hints({{u"#Datum#", u"Datum"},
                                        {u"#Bonnummer#", u"Gutschein Nr."},
                                        {u"#WH1#", u"Währung 1"},
                                        {u"#VknNr#", u"Verkäufer/in Nr."},
                                        {u"#KndNr#", u"Kunden Nr."},
                                        {u"#Linie#", u"Linie"},
                                        {u"#BetragWH2#", u"Betrag WH2"},
                                        {u"#WH2#", u"Währung WH2"},
                                        {u"#VknName#", u"Verkäufer/in Name"},
                                        {u"#KndName#", u"Kunde Name"}});
    return list;
}

const HintList &h2()
{
    static const HintList list = hints({{u"#Datum#", u"Datum der Einlösung"},
                                        {u"#Bonnummer#", u"Eingelöst auf Beleg"},
                                        {u"#KT_BetragWH1#", u"Betrag WH1"},
                                        {u"#WH1#", u"Währung 1"},
                                        {u"#Linie#", u"Linie"},
                                        {u"#BetragWH2#", u"Betrag WH2"},
                                        {u"#WH2#", u"Währung WH2"}});
    return list;
}

const HintList &h3()
{
    static const HintList list = hints({{u"#Datum#", u"Datum"},
                                        {u"#BetragWH1#", u"Neuer Wert"},
                                        {u"#WH1#", u"Währung 1"},
                                        {u"#Linie#", u"Linie"},
                                        {u"#BetragWH2#", u"Betrag WH2"},
                                        {u"#WH2#", u"Währung WH2"}});
    return list;
}

struct SectionCaption
{
    int code;
    const char16_t *headline;
    const char16_t *elements;
    HintList hints;
};

// Sections whose captions and hints are set by the window itself, over the display preset.
const QList<SectionCaption> &sectionCaptions()
{
    static const QList<SectionCaption> list = {
            {17, u"Gestaltung der Gutscheinposition", u"Elemente von Gutscheinpositionen", h1()},
            {22, u"Gestaltung der Gutschriftsposition", u"Elemente von Gutschriftspositionen",
             h1()},
            {18, u"Gestaltung des Gutscheinzahlbetrags", u"Elemente von Gutscheinzahlbetrag",
             h1() + hints({{u"#GesIstVkWH1#", u"Zahlbetrag"}})},
            {19, u"Gestaltung der Gutscheinteileinlösung", u"Elemente von Gutscheinteileinlösungen",
             h2()},
            {23, u"Gestaltung der Gutschriftteileinlösung",
             u"Elemente von Gutschriftteileinlösungen", h2()},
            {20, u"Gestaltung des neuen Gutscheinwerts", u"Elemente des neuen Gutscheinwerts",
             h3()},
            {24, u"Gestaltung des neuen Gutschriftwerts", u"Elemente des neuen Gutschriftwerts",
             h3()},
            {64, u"Gestaltung der Überschrift von RKSV-Belegen", u"Elemente von RKSV-Belegen", {}},
            {65, u"Gestaltung der Postionen von RKSV-Belegen", u"Elemente von RKSV-Belegen", {}},
            {66, u"Gestaltung des Endes von RKSV-Belegen", u"Elemente von RKSV-Belegen", {}},
            {67, u"Gestaltung der Überschrift von Zahlungen", u"Elemente von Zahlungen", {}},
            {68, u"Gestaltung des Endes von Zahlungen", u"Elemente von Zahlungen", {}},
            {81, u"Gestaltung der Überschrift von MwSt-Erstattungsbelegen",
             u"Elemente der Überschrift(en)",
             hints({{u"#Datum#", u"Datum"},
                    {u"#KndName#", u"Kundenname 1"},
                    {u"#KndName2#", u"Kundenname 2"},
                    {u"#KndVorname#", u"Kunde - Vorname"},
                    {u"#KndStrasse#", u"Kunde - Straße"},
                    {u"#KndPlz#", u"Kunde - PLZ"},
                    {u"#KndOrt#", u"Kunde - Ort"},
                    {u"#KndLand#", u"Kunde - Land"},
                    {u"#Linie#", u"Linie"},
                    {u"#KndAlles#", u"Alle Kundendaten"}})},
            {82, u"Gestaltung der Positionen von MwSt-Erstattungsbelegen",
             u"Elemente von MwSt-Erstattungsbelegen",
             hints({{u"#Datum#", u"Bondatum"}, {u"#SteuerInfos#", u"Steuer-Informationen"}})},
            {83, u"Gestaltung des Endes von MwSt-Erstattungsbelegen",
             u"Elemente von MwSt-Erstattungsbelegen", hints({{u"#BelegNr#", u"Belegnummer"}})},
    };
    return list;
}

} // namespace

TfrmLayBonueber::TfrmLayBonueber(QWidget *parent)
    : LayoutEditor(QStringLiteral("frmLayBonueber"), parent)
{
    OVOFormInit(QStringLiteral("frmLayBonueber"), true);
    // The look of the form before a section is applied: that of the receipt heading.
    setWindowTitle(tr("Gestaltung der Bonüberschrift für die Positionen"));
    headline()->setText(tr("Gestaltung der Bonüberschrift zu den Positionen"));
    elementTitle()->setText(tr("Elemente der Bonüberschrift"));

    m_lineCount = addLineCountField(1, HeadingMaxLines, tr("Kopfzeilen: Anzahl von 0 bis 15 "));

    for (int i = 1; i <= HeadingMaxLines; ++i) {
        LineGroup *group = addLine({});
        group->addSwitch(QStringLiteral("chbImmer"), tr("Je Sachkonto"), true);
    }
    createPreviewLabels(HeadingMaxLines);

    // The rows are filled and shown per section (applySection).
    const QList<HintRow> rows =
            addHintPanel(tr("Häufig verwendete Platzhalter"), QList<PlaceholderHint>(HintCount));
    for (const HintRow &row : rows) {
        row.token->hide();
        row.description->hide();
        m_hintTokens << row.token;
        m_hintTexts << row.description;
    }

    connectGuarded(m_lineCount, &LineCountField::countChanged, "edtTextAnzahlZeilenChange",
                   &TfrmLayBonueber::edtTextAnzahlZeilenChange);
    m_lineCount->setCount(1);
}

const LayoutFormat &TfrmLayBonueber::format() const
{
    return headingFormat(hasPerAccountFlag(m_code));
}

int TfrmLayBonueber::lineCount() const
{
    return m_lineCount->count();
}

int TfrmLayBonueber::storedLength() const
{
    return 1 + lineCount() * headingLineWidth(hasPerAccountFlag(m_code));
}

void TfrmLayBonueber::edtTextAnzahlZeilenChange()
{
    const int n = lineCount();
    for (LineGroup *group : lineGroups())
        group->setVisible(group->number() <= n);
}

void TfrmLayBonueber::ChbImmerSchalten(bool show)
{
    for (LineGroup *group : lineGroups()) {
        if (QCheckBox *box = group->findSwitch(QStringLiteral("chbImmer"))) {
            box->setVisible(show);
            box->setEnabled(show);
        }
    }
}

void TfrmLayBonueber::applySection()
{
    lineScrollArea()->verticalScrollBar()->setValue(0);
    ChbImmerSchalten(false);

    const std::optional<HeadingSection> section = headingSection(m_code);
    setKennung(section ? section->kennung : QString());
    setMaske(section ? section->maske : QString());
    if (showsPerAccountFlag(m_code))
        ChbImmerSchalten(true);

    const StoreFormStore presets(host().store(), QStringLiteral("LAYBONUE"),
                                 layBonueberDisplayPresets());
    if (const std::optional<FormPreset> preset = presets.preset(Kennung());
        preset && !Kennung().isEmpty())
        ControlValues::applyProperties(this, preset->properties);

    m_hints.clear();
    for (const SectionCaption &c : sectionCaptions()) {
        if (c.code != m_code)
            continue;
        headline()->setText(QString::fromUtf16(c.headline));
        elementTitle()->setText(QString::fromUtf16(c.elements));
        m_hints = c.hints;
        showHints();
    }

    switch (signpadGroup(m_code)) {
    case SignpadGroup::What:
        m_lineCount->setMaximum(10);
        m_lineCount->setCount(5);
        break;
    case SignpadGroup::Who:
        m_lineCount->setMaximum(1);
        m_lineCount->setCount(1);
        m_lineCount->parentWidget()->setVisible(false); // with its label
        break;
    case SignpadGroup::None:
        break;
    }
    setWindowTitle(headline()->text());
}

void TfrmLayBonueber::showHints()
{
    for (int n = 0; n < HintCount; ++n) {
        const bool used = n < m_hints.size() && m_hints.at(n).visible;
        m_hintTokens[n]->setText(used ? m_hints.at(n).token : QString());
        m_hintTexts[n]->setText(used ? m_hints.at(n).description : QString());
        m_hintTokens[n]->setVisible(used);
        m_hintTexts[n]->setVisible(used);
    }
}

bool TfrmLayBonueber::loadDefaultDesign(QStringList &list)
{
    const TBonPrinter &printer = engine();
    const TKRT_LayBonDefaultDesign design([&printer](const QString &kennung) {
        return printer.GetKTFontInfosForKennung(kennung);
    });
    return design.GetDefaultDesignForKennung(Kennung(), list);
}

QList<int> TfrmLayBonueber::previewLines() const
{
    QList<int> numbers;
    for (int i = 1; i <= lineCount(); ++i)
        numbers << i;
    return numbers;
}

bool TfrmLayBonueber::previewSecondCurrency() const
{
    return isSumSection(m_code);
}
