#include "editors/LayBonStornoEnde.h"

TfrmLayBonStornoEnde::TfrmLayBonStornoEnde(QWidget *parent)
    : TextLinesEditor(
            QStringLiteral("frmLayBonStornoEnde"),
            {&sectionEditedBy(staticMetaObject), tr("Gestaltung des Endes für das Bon-Storno"),
             tr("Elemente des Endes für das Bon-Storno"), QString(), sellerAndLineHints(), true},
            parent)
{
    OVOFormInit(QStringLiteral("frmLayBonStornoEnde"), true);
}
