#pragma once

#include "editors/switchedlineeditor.h"

// "Positionen": the item lines of a sales receipt ("BONPOS").
class TfrmLayBonPos : public SwitchedLineEditor
{
    Q_OBJECT
public:
    explicit TfrmLayBonPos(QWidget *parent = nullptr);

private:
    static SwitchedLineWindow window();
};
