#include "editors/LayKassenbericht.h"

#include <QCheckBox>
#include <QVBoxLayout>

TfrmLayKassenbericht::TfrmLayKassenbericht(QWidget *parent)
    : TextLinesEditor(QStringLiteral("frmLayKassenbericht"),
                      {&sectionEditedBy(staticMetaObject),
                       tr("Gestaltung der Kassenberichtpositionen"),
                       tr("Elemente der Kassenberichtposition"),
                       tr("Position"),
                       {{QStringLiteral("#Position#"), tr("Positionsname")},
                        {QStringLiteral("#PositionAnzahl#"), tr("Anzahl")},
                        {QStringLiteral("#PositionWH#"), tr("Währung")},
                        {QStringLiteral("#PositionBetrag#"), tr("Betrag")}},
                       false},
                      parent)
{
    OVOFormInit(QStringLiteral("frmLayKassenbericht"), true);
    m_fullName = new QCheckBox(tr("Positionsname &ungekürzt"), this);
    m_fullName->setObjectName(QStringLiteral("CheckBoxLaenge"));
    m_fullName->setChecked(true);
    lineLayout()->insertWidget(1, m_fullName);
}
