#pragma once

#include "editors/textlineseditor.h"

// "Ende Bonstorno": the end of a voided receipt ("STORNEND").
class TfrmLayBonStornoEnde : public TextLinesEditor
{
    Q_OBJECT
public:
    explicit TfrmLayBonStornoEnde(QWidget *parent = nullptr);
};
