#include "editors/LayNullbonEnde.h"

TfrmLayNullbonEnde::TfrmLayNullbonEnde(QWidget *parent)
    : TextLinesEditor(
            QStringLiteral("frmLayNullbonEnde"),
            {&sectionEditedBy(staticMetaObject), tr("Gestaltung des Endes für den Nullbon"),
             tr("Elemente des Endes für den Nullbon"), QString(), sellerAndLineHints(), true},
            parent)
{
    OVOFormInit(QStringLiteral("frmLayNullbonEnde"), true);
}
