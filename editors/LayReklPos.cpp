#include "editors/LayReklPos.h"

#include "core/sections/reklformats.h"

TfrmLayReklPos::TfrmLayReklPos(QWidget *parent)
    : SwitchedLineEditor(QStringLiteral("frmLayReklPos"), window(), parent)
{
    OVOFormInit(QStringLiteral("frmLayReklPos"), true);
}

SwitchedLineWindow TfrmLayReklPos::window()
{
    SwitchedLineWindow w;
    w.section = &sectionEditedBy(staticMetaObject);
    w.headline = tr("Gestaltung der Reklamationspositionen");
    w.elements = tr("Elemente der Reklamationsposition");
    w.hintTitle = tr("Häufig verwendete Platzhalter");
    w.hints = {{QStringLiteral("#ArtikelNr#"), tr("Artikelnummer")},
               {QStringLiteral("#Größe#"), tr("Größe")},
               {QStringLiteral("#VknNr#"), tr("Verkäuferin Nummer")},
               {QStringLiteral("#Menge#"), tr("Menge")},
               {QStringLiteral("#IstVkWH1#"), tr("Ist-Vk WH1")},
               {QStringLiteral("#IstVkWH2#"), tr("Ist-Vk WH2")},
               {QStringLiteral("#Teil#"), tr("beanst. Teil")},
               {QStringLiteral("#Mangel#"), tr("Mangel")},
               {QStringLiteral("#Beschreibung#"), tr("Beschreibung")}};

    const QString item = tr("Position Zeile");
    const QString part = tr("beanst. Teil");
    const QString defect = tr("Mangel");
    const QString left = QStringLiteral("links");
    w.lines = {
            {item, true, {}, false, QStringLiteral("mitte")},
            {item, true, {}, false, left},
            {part, true, {}, false, left},
            {part, false, {}, false, left},
            {defect, true, {}, false, left},
            {defect, false, {}, false, left},
            {tr("Beschreibung"), true, {}, false, left},
    };
    w.names = {reklPosSwitch, reklSecondSwitch};
    w.format = &reklPosFormat();
    w.previewOrder = {1, 2, 3, 4, 5, 6, 7};
    w.secondCurrency = false;
    w.graphicOnly = GraphicOnlySelectors::SizeAndStyle;
    return w;
}
