#pragma once

#include "editors/switchedlineeditor.h"

// "Positionen": the item lines of a sales receipt ("BONPOS").
class TfrmLayBonPos : public SwitchedLineEditor
{
    Q_OBJECT
public:
    explicit TfrmLayBonPos(QWidget *parent = nullptr);

    // What the item windows of receipts and invoices share: the placeholder hints and the
    // first twelve lines.
    static QList<PlaceholderHint> itemHints();
    static QList<SwitchedLineWindow::Line> itemLines();
    // What "aus bei N/T/E/G" does, for its tooltip.
    static QString offForChangedItemsHint();

private:
    static SwitchedLineWindow window();
};
