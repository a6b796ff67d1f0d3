#include "editors/LayBonsumme.h"

#include "core/app/host.h"
#include "core/sections/bonsummeformat.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int FirstConditionLine = BonSummeShape.switchedLines + BonSummeShape.bankLines + 1;

} // namespace

TfrmLayBonSum::TfrmLayBonSum(QWidget *parent)
    : SwitchedLineEditor(QStringLiteral("frmLayBonSum"), window(), parent)
{
    OVOFormInit(QStringLiteral("frmLayBonSum"), true);

    for (int line = FirstConditionLine; line <= BonSummeLines; ++line) {
        LineGroup *group = this->line(line);
        auto *label = new QLabel(tr("Pro Campaign - Drucken wenn:"), group);
        label->setObjectName(QStringLiteral("lblBedingungFuerDruck%1").arg(line));
        auto *combo = new QComboBox(group);
        combo->setObjectName(sumCondition(line));
        label->setBuddy(combo);
        auto *row = new QHBoxLayout;
        row->addWidget(label);
        row->addWidget(combo, 1);
        auto *grid = qobject_cast<QGridLayout *>(group->layout());
        grid->addLayout(row, grid->rowCount(), 1, 1, 4);
    }

    m_previewStateLabel = new QLabel(tr("Vorschaumodus für ProCampaign"), this);
    m_previewStateLabel->setObjectName(QStringLiteral("alblVorschaumodusFuerProCampaign"));
    m_previewState = new QComboBox(this);
    m_previewState->setObjectName(QStringLiteral("cmbVorschaumodusFuerProCampaign"));
    m_previewStateLabel->setBuddy(m_previewState);
    auto *row = new QHBoxLayout;
    row->addWidget(m_previewStateLabel);
    row->addWidget(m_previewState, 1);
    sideLayout()->insertLayout(sideLayout()->indexOf(findChild<QPushButton *>("btnPreview")), row);
}

SwitchedLineWindow TfrmLayBonSum::window()
{
    SwitchedLineWindow w;
    w.section = &sectionEditedBy(staticMetaObject);
    w.headline = tr("Gestaltung der Zahlungssumme und der Zahlungsmittel");
    w.elements = tr("Elemente der Zahlungssumme");
    w.hintTitle = tr("Verwenden Sie folgende Zeichen als Platzhalter");
    w.hints = sumHints();

    // Pairs of lines share their caption; the first of a pair starts on.
    const struct
    {
        QString caption;
        bool secondOn;
    } pairs[] = {{tr("Gesamtsumme"), true}, {tr("MwSt"), false},     {tr("Zahlungsmittel"), false},
                 {tr("Gegeben"), true},     {tr("Rückgeld"), false}, {tr("Rabatt"), false}};
    const QString centre = QStringLiteral("mitte");
    for (const auto &pair : pairs) {
        w.lines.append({pair.caption, true, {}, false, centre});
        w.lines.append({pair.caption, pair.secondOn, {}, false, centre});
    }
    for (int i = 0; i < BonSummeShape.bankLines; ++i)
        w.lines.append({tr("Bankverbindung"), false, tr("Für jede BV drucken"), false, centre});
    for (int i = 0; i < BonSummeShape.conditionLines; ++i)
        w.lines.append({{}, false, {}, false, centre});
    w.switches = {{QStringLiteral("chbBoniSummiert"),
                   tr("Mehrere Boni zu Gesamtbonus zusammenfassen"), false,
                   BonSummeShape.switchedLines + BonSummeShape.bankLines}};
    w.names = {sumLineSwitch, sumSecondSwitch};
    w.format = &bonSummeFormat();
    // The discount stands above the total it reduces.
    w.previewOrder = {11, 12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    for (int line = 13; line <= BonSummeLines; ++line)
        w.previewOrder << line;
    w.secondCurrency = true;
    return w;
}

QList<PlaceholderHint> TfrmLayBonSum::sumHints()
{
    return {{QStringLiteral("#ZSummeWH1#"), tr("Zahlungssumme WH1")},
            {QStringLiteral("#ZSummeWH2#"), tr("Zahlungssumme WH2")},
            {QStringLiteral("#UST#"), tr("UST-Satz")},
            {QStringLiteral("#USTBetragWH1#"), tr("UST-Betrag WH1")},
            {QStringLiteral("#USTBetragWH2#"), tr("UST-Betrag WH2")},
            {QStringLiteral("#ZM#"), tr("Zahlungsmittel")},
            {QStringLiteral("#ZMBetrag#"), tr("Betrag Zahlungsmittel")},
            {QStringLiteral("#GegebenWH1#"), tr("Betrag Gegeben WH1")},
            {QStringLiteral("#GegebenWH2#"), tr("Betrag Gegeben WH2")},
            {QStringLiteral("#RückWH1#"), tr("Betrag Rückgeld WH1")},
            {QStringLiteral("#RückWH2#"), tr("Betrag Rückgeld WH2")},
            {QStringLiteral("#WH1#"), tr("Währung 1")},
            {QStringLiteral("#BetragWH1#"), tr("Betrag WH1")},
            {QStringLiteral("#BetragWH2#"), tr("Betrag WH2")}};
}

bool TfrmLayBonSum::isConditionLine(int line)
{
    return line >= FirstConditionLine && line <= BonSummeLines;
}

QComboBox *TfrmLayBonSum::condition(int line) const
{
    return isConditionLine(line) ? findChild<QComboBox *>(sumCondition(line)) : nullptr;
}

void TfrmLayBonSum::applySection()
{
    CmbProCampaignBedingungFuerDruckFuellen();
    ProCampaignBedingungMaskeSchalten();
}

void TfrmLayBonSum::CmbProCampaignBedingungFuerDruckFuellen()
{
    for (int line = FirstConditionLine; line <= BonSummeLines; ++line) {
        QComboBox *combo = condition(line);
        combo->clear();
        combo->addItems(proCampaignConditions());
    }
    m_previewState->clear();
    m_previewState->addItems(proCampaignStates());
}

void TfrmLayBonSum::ProCampaignBedingungMaskeSchalten()
{
    const bool used =
            host().parameters().GetBoolean3(QStringLiteral("PROCAMPA"), RNr()).value_or(false);
    for (int line = FirstConditionLine; line <= BonSummeLines; ++line)
        this->line(line)->setEnabled(used);
    m_previewStateLabel->setEnabled(used);
    m_previewState->setEnabled(used);
}

bool TfrmLayBonSum::lineShown(int line) const
{
    if (!isConditionLine(line))
        return SwitchedLineEditor::lineShown(line);
    return proCampaignConditionMet(chosenItem(m_previewState->objectName()),
                                   chosenItem(sumCondition(line)));
}
