#include "editors/LayRechSumme.h"

#include "editors/LayBonsumme.h"

#include "core/sections/bonsummeformat.h"
#include "core/sections/rechformats.h"

#include <QLabel>

TfrmLayRechSum::TfrmLayRechSum(QWidget *parent)
    : SwitchedLineEditor(QStringLiteral("frmLayRechSum"), window(), parent)
{
    OVOFormInit(QStringLiteral("frmLayRechSum"), true);
    // The heading keeps its established wording; only the window title reads correctly.
    headline()->setText(tr("Gestaltung des Zahlungssumme und der Zahlungsmittel"));
}

SwitchedLineWindow TfrmLayRechSum::window()
{
    SwitchedLineWindow w;
    w.section = &sectionEditedBy(staticMetaObject);
    w.headline = tr("Gestaltung der Zahlungssumme und der Zahlungsmittel");
    w.elements = tr("Elemente der Zahlungssumme");
    w.hintTitle = tr("Verwenden Sie folgende Zeichen als Platzhalter");
    w.hints = TfrmLayBonSum::sumHints();

    // Pairs of lines share their caption; the first of a pair starts on.
    const QString centre = QStringLiteral("mitte");
    const QString left = QStringLiteral("links");
    const struct
    {
        QString caption;
        bool firstOn;
        bool secondOn;
        QString alignment;
    } pairs[] = {
            {tr("MwSt"), true, true, centre},          {tr("Anzahlung"), true, false, centre},
            {tr("Zahlungsmittel"), true, false, left}, {tr("Gegeben"), true, true, left},
            {tr("Rückgeld"), true, false, left},       {tr("Gesamtsumme"), true, false, centre},
            {tr("Restbetrag"), false, false, left}};
    for (const auto &pair : pairs) {
        w.lines.append({pair.caption, pair.firstOn, {}, false, pair.alignment});
        w.lines.append({pair.caption, pair.secondOn, {}, false, pair.alignment});
    }
    w.names = {sumLineSwitch, sumSecondSwitch};
    w.format = &rechSummeFormat();
    // The total stands above the tax and payments it is made of.
    w.previewOrder = {11, 12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 14};
    w.secondCurrency = true;
    w.graphicOnly = GraphicOnlySelectors::SizeAndStyle;
    return w;
}
