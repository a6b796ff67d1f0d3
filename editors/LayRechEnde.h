#pragma once

#include "editors/LayBonende.h"

// "Gestaltung des Rechnungsendes": the end of an invoice ("RECHENDE"), the end editor with 20
// lines, "nur bei Bedarf" on lines 1-4, and a logo that only a stored "0" switches off.
class TfrmLayRechEnde : public TfrmLayBonende
{
    Q_OBJECT
public:
    explicit TfrmLayRechEnde(QWidget *parent = nullptr);

    static const EndEditorKind &rechEndeKind();

    void btnVorgabeLadenClick() override;
    void btnVorgabeSpeichernClick() override;
};
