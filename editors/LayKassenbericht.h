#pragma once

#include "editors/LayBonStornoEnde.h"

class QCheckBox;

// "Positionen" of the cash report ("KASPOS"): ten position lines and whether the position
// name is printed in full.
class TfrmLayKassenbericht : public TextLinesEditor
{
    Q_OBJECT
public:
    explicit TfrmLayKassenbericht(QWidget *parent = nullptr);

    QCheckBox *fullNameSwitch() const { return m_fullName; }

private:
    QCheckBox *m_fullName = nullptr;
};
