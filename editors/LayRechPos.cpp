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
    w.kennung = QStringLiteral("RECHPOS");
    w.maske = QStringLiteral("LAYRECHP");
    w.headline = tr("Gestaltung der Rechnungspositionen");
    w.elements = tr("Elemente der Rechnungsposition");
    w.hintTitle = tr("Häufig verwendete Platzhalter");
    w.hints = {{QStringLiteral("#ArtikelNr#"), tr("Artikelnummer")},
               {QStringLiteral("#Größe#"), tr("Größe")},
               {QStringLiteral("#VknNr#"), tr("Verkäuferin Nr.")},
               {QStringLiteral("#Menge#"), tr("Menge")},
               {QStringLiteral("#IstVkWH1#"), tr("Ist-Vk WH1")},
               {QStringLiteral("#IstVkWH2#"), tr("Ist-Vk WH2")},
               {QStringLiteral("#WG#"), tr("Warengruppe")},
               {QStringLiteral("#WGKurz#"), tr("WG Kurz")},
               {QStringLiteral("#GesIstVkWH1#"), tr("Gesamt Ist-Vk WH1")},
               {QStringLiteral("#GesIstVkWH2#"), tr("Gesamt Ist-Vk WH2")},
               {QStringLiteral("#SetpreisWH1#"), tr("Setpreis WH1")},
               {QStringLiteral("#SetpreisWH2#"), tr("Setpreis WH2")},
               {QStringLiteral("#Max(I/S)WH1#"), tr("Max(Ist, Soll) WH1")},
               {QStringLiteral("#Max(I/S)WH2#"), tr("Max(Ist, Soll) WH2")}};

    const QString item = tr("Position Zeile");
    const QString perReason = tr("Je Reduz.Grund");
    const QString left = QStringLiteral("links");
    const QString centre = QStringLiteral("mitte");
    const QString right = QStringLiteral("rechts");
    w.lines = {
            {item, true, {}, false, centre},
            {item, true, tr("aus bei N/T/E/G"), true, left},
            {tr("Gesamtmenge"), true, {}, false, right},
            {tr("Gesamtmenge"), false, {}, false, centre},
            {tr("Reduzierung"), true, perReason, false, right},
            {tr("Reduzierung"), false, perReason, false, left},
            {tr("Setanfang"), true, {}, false, centre},
            {tr("Setanfang"), false, {}, false, left},
            {tr("Setende"), true, {}, false, centre},
            {tr("Setende"), false, {}, false, left},
            {tr("Nachlass/Teilg."), true, {}, false, left},
            {tr("Ersatz/Gutsch."), true, {}, false, left},
    };
    w.names = {itemLineSwitch, itemSecondSwitch};
    w.format = &rechPosFormat();
    for (int line = 1; line <= RechPosLines; ++line)
        w.previewOrder << line;
    w.secondCurrency = false;
    return w;
}
