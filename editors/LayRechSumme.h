#pragma once

#include "editors/LayBonpos.h"

// "Gestaltung der Zahlungssumme und der Zahlungsmittel": the sum and payment block of an
// invoice ("RECHSUMM").
class TfrmLayRechSum : public SwitchedLineEditor
{
    Q_OBJECT
public:
    explicit TfrmLayRechSum(QWidget *parent = nullptr);

private:
    static SwitchedLineWindow window();
};
