#pragma once

#include "core/sections/switchedlineformat.h"
#include "editors/layouteditor.h"

#include <QHash>

#include <utility>

class QCheckBox;

// What a window of fixed, switched lines (item and sum lines of receipts and invoices) is made
// of. The windows differ only in this data; the editing is the same.
struct SwitchedLineWindow
{
    struct Line
    {
        QString caption; // of the line's switch; empty: the line has none
        bool on = false;
        QString secondCaption; // empty: no second switch
        bool secondOn = false;
        QString alignment = QStringLiteral("mitte");
    };
    // A switch of its own between the lines.
    struct Switch
    {
        QString name;
        QString caption;
        bool on = false;
        int afterLine = 0;
    };

    const SectionInfo *section = nullptr; // the section edited
    QString headline;                     // also the window title
    QString elements;
    QString hintTitle;
    QList<PlaceholderHint> hints;
    QString initialText;
    QList<Line> lines;
    QList<Switch> switches;
    LineSwitchNames names;
    const LayoutFormat *format = nullptr;
    QList<int> previewOrder; // every line number once
    // What a switch does, by its caption, as its tooltip.
    QHash<QString, QString> switchToolTips;
    bool secondCurrency = false;
    LayoutEditor::GraphicOnlySelectors graphicOnly =
            LayoutEditor::GraphicOnlySelectors::FontAndSize;
};

// An editor of a fixed number of lines, each printed only when switched on (or, in a subclass,
// when its condition holds). The preview draws the lines in the window's own order and leaves
// no room for a line that is off.
class SwitchedLineEditor : public LayoutEditor
{
    Q_OBJECT
public:
    SwitchedLineEditor(const QString &componentName, const SwitchedLineWindow &window,
                       QWidget *parent = nullptr);

    void scbPreviewClick() override;

    QCheckBox *lineSwitch(int line) const;
    QCheckBox *secondSwitch(int line) const;

protected:
    const LayoutFormat &format() const override { return *m_window.format; }
    QList<int> previewLines() const override { return m_window.previewOrder; }
    bool previewSecondCurrency() const override { return m_window.secondCurrency; }
    GraphicOnlySelectors graphicOnlySelectors() const override { return m_window.graphicOnly; }
    void drawPreview(int width) override;
    FieldValues readControls(const QList<FormatField> &fields) const override;
    // Whether the preview draws the line.
    virtual bool lineShown(int line) const;
    // The item index of a selector; one without a chosen item counts as its first item.
    int chosenItem(const QString &control) const;

private:
    void addHints();

    SwitchedLineWindow m_window;
};
