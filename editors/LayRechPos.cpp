#include "editors/LayRechPos.h"

#include "core/sections/bonposformat.h"
#include "core/sections/rechformats.h"

TfrmLayRechPos::TfrmLayRechPos(QWidget *parent)
    : SwitchedLineEditor(QStringLiteral("frmLayRechPos"), window(), parent)
{
    OVOFormInit(QStringLiteral("frmLayRechPos"), true);
}

SwitchedLineWindow TfrmLayRechPos::window()
{
    SwitchedLineWindow w;
    w.section = &sectionEditedBy(staticMetaObject);
    w.headline = tr("Gestaltung der Rechnungspositionen");
    w.elements = tr("Elemente der Rechnungsposition");
    w.hintTitle = tr("Häufig verwendete Platzhalter");
    w.hints = TfrmLayBonPos::itemHints();
    w.lines = TfrmLayBonPos::itemLines();
    w.switchToolTips.insert(tr("aus bei N/T/E/G"), TfrmLayBonPos::offForChangedItemsHint());
    w.names = {itemLineSwitch, itemSecondSwitch};
    w.format = &rechPosFormat();
    for (int line = 1; line <= RechPosLines; ++line)
        w.previewOrder << line;
    w.secondCurrency = false;
    w.graphicOnly = GraphicOnlySelectors::SizeAndStyle;
    return w;
}
