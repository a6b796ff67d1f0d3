#pragma once

#include "editors/LayBonStornoEnde.h"

// "Ende" of the zero receipt ("NULLENDE"); shares its preset with the void end.
class TfrmLayNullbonEnde : public TextLinesEditor
{
    Q_OBJECT
public:
    explicit TfrmLayNullbonEnde(QWidget *parent = nullptr);
};
