#pragma once

#include "editors/LayBonpos.h"

class QComboBox;
class QLabel;

// "Summe und Zahlungsmittel": the sum block of a sales receipt ("BONSUMME"): total, tax,
// payment means, given, change and discount lines with their switches, bank lines that may
// print once per bank transfer, and ProCampaign lines printed under a condition.
class TfrmLayBonSum : public SwitchedLineEditor
{
    Q_OBJECT
public:
    explicit TfrmLayBonSum(QWidget *parent = nullptr);

    // The placeholder hints of the sum windows of receipts and invoices.
    static QList<PlaceholderHint> sumHints();

    void CmbProCampaignBedingungFuerDruckFuellen();
    void ProCampaignBedingungMaskeSchalten();

    QComboBox *condition(int line) const;
    QComboBox *previewState() const { return m_previewState; }

protected:
    void applySection() override;
    bool lineShown(int line) const override;

private:
    static SwitchedLineWindow window();
    static bool isConditionLine(int line);

    QLabel *m_previewStateLabel = nullptr;
    QComboBox *m_previewState = nullptr;
};
