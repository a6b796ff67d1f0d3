#pragma once

#include "editors/LayBonpos.h"

// "Reklamationspositionen": the complained article on a printed complaint ("REKLPOS").
class TfrmLayReklPos : public SwitchedLineEditor
{
    Q_OBJECT
public:
    explicit TfrmLayReklPos(QWidget *parent = nullptr);

private:
    static SwitchedLineWindow window();
};
