#pragma once

#include "editors/LayBonpos.h"

// "Gestaltung der Rechnungspositionen": the item lines of an invoice ("RECHPOS").
class TfrmLayRechPos : public SwitchedLineEditor
{
    Q_OBJECT
public:
    explicit TfrmLayRechPos(QWidget *parent = nullptr);

private:
    static SwitchedLineWindow window();
};
