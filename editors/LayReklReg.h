#pragma once

#include "editors/LayBonpos.h"

// "Reklamationsregulierung": how a complaint is settled ("REKLREG").
class TfrmLayReklReg : public SwitchedLineEditor
{
    Q_OBJECT
public:
    explicit TfrmLayReklReg(QWidget *parent = nullptr);

private:
    static SwitchedLineWindow window();
};
