#include "editors/LayReklReg.h"

#include "core/sections/reklformats.h"

TfrmLayReklReg::TfrmLayReklReg(QWidget *parent)
    : SwitchedLineEditor(QStringLiteral("frmLayReklReg"), window(), parent)
{
    OVOFormInit(QStringLiteral("frmLayReklReg"), true);
}

SwitchedLineWindow TfrmLayReklReg::window()
{
    SwitchedLineWindow w;
    w.section = &sectionEditedBy(staticMetaObject);
    w.headline = tr("Gestaltung der Reklamationsregulierung");
    w.elements = tr("Elemente der Reklamationsregulierung");
    w.hintTitle = tr("Verwenden Sie folgende Zeichen als Platzhalter");
    w.hints = {{QStringLiteral("#BetragWH1#"), tr("Betrag WH1")},
               {QStringLiteral("#BetragWH2#"), tr("Betrag WH2")},
               {QStringLiteral("#WH1#"), tr("Währung 1")},
               {QStringLiteral("#WH2#"), tr("Währung 2")}};

    // Each settlement has two lines; the first is printed from the start.
    const QString captions[] = {tr("Nachlass"), tr("Ersatz"), tr("Gutschein"), tr("Einschicken"),
                                tr("Teilerstattung")};
    for (const QString &caption : captions) {
        w.lines.append({caption, true, {}, false, QStringLiteral("links")});
        w.lines.append({caption, false, {}, false, QStringLiteral("links")});
    }
    w.names = {reklRegSwitch, reklSecondSwitch};
    w.format = &reklRegFormat();
    for (int line = 1; line <= ReklRegLines; ++line)
        w.previewOrder << line;
    w.secondCurrency = true;
    w.graphicOnly = GraphicOnlySelectors::SizeAndStyle;
    return w;
}
