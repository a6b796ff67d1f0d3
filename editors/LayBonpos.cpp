#include "editors/LayBonpos.h"

#include "core/sections/bonposformat.h"

// ---- receipt items -------------------------------------------------------------------------

TfrmLayBonPos::TfrmLayBonPos(QWidget *parent)
    : SwitchedLineEditor(QStringLiteral("frmLayBonPos"), window(), parent)
{
    OVOFormInit(QStringLiteral("frmLayBonPos"), true);
}

SwitchedLineWindow TfrmLayBonPos::window()
{
    SwitchedLineWindow w;
    w.section = &sectionEditedBy(staticMetaObject);
    w.headline = tr("Gestaltung der Bonpositionen");
    w.elements = tr("Elemente der Bonposition");
    w.hintTitle = tr("Häufig verwendete Platzhalter");
    w.hints = itemHints();
    w.initialText = QString(150, u'x');

    w.lines = itemLines();
    w.lines.append({tr("MwSt-Erstatung"), true, {}, false, QStringLiteral("links")});
    for (int line = 14; line <= BonPosLines; ++line)
        w.lines.append({tr("Position Zeile"), false, tr("aus bei N/T/E/G"), true,
                        QStringLiteral("links")});
    w.names = {itemLineSwitch, itemSecondSwitch};
    w.switchToolTips.insert(tr("aus bei N/T/E/G"), offForChangedItemsHint());
    w.format = &bonPosFormat();
    // The further item lines follow the item itself, before the total quantity.
    w.previewOrder = {1, 2, 14, 15, 16, 17, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    w.secondCurrency = false;
    return w;
}

QList<PlaceholderHint> TfrmLayBonPos::itemHints()
{
    return {{QStringLiteral("#ArtikelNr#"), tr("Artikelnummer")},
            {QStringLiteral("#Größe#"), tr("Größe")},
            {QStringLiteral("#VknNr#"), tr("Verkäuferin Nr.")},
            {QStringLiteral("#Menge#"), tr("Menge")},
            {QStringLiteral("#IstVkWH1#"), tr("Ist-Vk WH1")},
            {QStringLiteral("#WG#"), tr("Warengruppe")},
            {QStringLiteral("#WGKurz#"), tr("WG Kurz")},
            {QStringLiteral("#IstVkWH2#"), tr("Ist-Vk WH2")},
            {QStringLiteral("#GesIstVkWH1#"), tr("Gesamt Ist-Vk WH1")},
            {QStringLiteral("#GesIstVkWH2#"), tr("Gesamt Ist-Vk WH2")},
            {QStringLiteral("#SetpreisWH1#"), tr("Setpreis WH1")},
            {QStringLiteral("#SetpreisWH2#"), tr("Setpreis WH2")},
            {QStringLiteral("#Max(I/S)WH1#"), tr("Max(Ist, Soll) WH1")},
            {QStringLiteral("#Max(I/S)WH2#"), tr("Max(Ist, Soll) WH2")}};
}

QString TfrmLayBonPos::offForChangedItemsHint()
{
    return tr("Angehakt: Die Zeile entfällt bei Artikeln mit Nachlass (N), mit Teilgutschrift "
              "(T) und bei Ersatz oder Gutschrift (E); dort folgt statt ihrer die Zeile "
              "\"Nachlass/Teilg.\" oder \"Ersatz/Gutsch.\". Bei Reduzierungen (G) gelten die "
              "Zeilen \"Reduzierung\".");
}

QList<SwitchedLineWindow::Line> TfrmLayBonPos::itemLines()
{
    const QString item = tr("Position Zeile");
    const QString perReason = tr("Je Reduz.Grund");
    const QString left = QStringLiteral("links");
    const QString centre = QStringLiteral("mitte");
    const QString right = QStringLiteral("rechts");
    return {
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
}
