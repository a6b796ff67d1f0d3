#pragma once

#include "widgets/tovoform.h"

class QListWidget;

// Chooses one source till and the tills its settings are copied to. On a till the only
// target is the till itself; elsewhere the user ticks the targets.
class TfrmCopyOptions : public TOVOForm
{
    Q_OBJECT
public:
    explicit TfrmCopyOptions(QWidget *parent = nullptr);

    void FormShow();
    void btnBuchenClick();
    // Shows message 1030 or 1031 and answers false when the choice cannot be copied.
    bool validate();

    // The chosen source's workstation number; 0 when nothing is chosen.
    int sourceWorkstation() const;
    int targetCount() const;
    // The workstation number of the index-th ticked target; 0 when there is none.
    int GetTarget(int index) const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QList<int> targets() const;

    int m_ownRnr = 0;
    int m_ownType = 0;
    QListWidget *m_lblRechner = nullptr;
    QListWidget *m_chbRechner = nullptr;
};
