#include "editors/switchedlineeditor.h"

#include "core/engine/bonprinter.h"
#include "core/sections/bonposformat.h"
#include "preview/Preview.h"
#include "widgets/controlvalues.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

QCheckBox *addNamedSwitch(LineGroup *group, const QString &name, const QString &caption, bool on)
{
    QCheckBox *box = group->addSwitch(QString(), caption);
    box->setObjectName(name);
    box->setChecked(on);
    return box;
}

} // namespace

SwitchedLineEditor::SwitchedLineEditor(const QString &componentName,
                                       const SwitchedLineWindow &window, QWidget *parent)
    : LayoutEditor(componentName, parent)
    , m_window(window)
{
    editSection(*window.section);
    setWindowTitle(window.headline);
    headline()->setText(window.headline);
    elementTitle()->setText(window.elements);

    for (const SwitchedLineWindow::Line &spec : window.lines) {
        LineGroup::Initial initial;
        initial.text = window.initialText;
        initial.alignment = spec.alignment;
        LineGroup *group = addLine(initial);
        const int n = group->number();
        if (!spec.caption.isEmpty())
            addNamedSwitch(group, window.names.lineSwitch(n), spec.caption, spec.on);
        if (!spec.secondCaption.isEmpty())
            addNamedSwitch(group, window.names.secondSwitch(n), spec.secondCaption, spec.secondOn)
                    ->setToolTip(window.switchToolTips.value(spec.secondCaption));
        for (const SwitchedLineWindow::Switch &s : window.switches) {
            if (s.afterLine != n)
                continue;
            auto *box = new QCheckBox(s.caption, this);
            box->setObjectName(s.name);
            box->setChecked(s.on);
            lineLayout()->insertWidget(lineLayout()->count() - 1, box);
        }
    }
    createPreviewLabels(int(window.lines.size()));
    addHints();

    // Wide enough to show a line's selectors beside the placeholder hints without scrolling.
    QScrollArea *lines = lineScrollArea();
    const int needed = lines->widget()->sizeHint().width()
                       + lines->verticalScrollBar()->sizeHint().width() + 2 * lines->frameWidth()
                       + sideLayout()->parentWidget()->sizeHint().width() + 40;
    resize(qMax(width(), needed), height());
}

void SwitchedLineEditor::addHints()
{
    // Two pairs of columns keep the preview tall enough to read.
    addHintPanel(m_window.hintTitle, m_window.hints, 2);
}

QCheckBox *SwitchedLineEditor::lineSwitch(int line) const
{
    return findChild<QCheckBox *>(m_window.names.lineSwitch(line));
}

QCheckBox *SwitchedLineEditor::secondSwitch(int line) const
{
    const QString name = m_window.names.secondSwitch(line);
    return name.isEmpty() ? nullptr : findChild<QCheckBox *>(name);
}

FieldValues SwitchedLineEditor::readControls(const QList<FormatField> &fields) const
{
    FieldValues values = LayoutEditor::readControls(fields);
    for (const FormatField &field : fields) {
        if (field.encoding == FieldEncoding::ItemIndex)
            values.insert(field.control, QString::number(chosenItem(field.control)));
    }
    return values;
}

int SwitchedLineEditor::chosenItem(const QString &control) const
{
    return qMax(0, ControlValues::readIndex(this, control));
}

bool SwitchedLineEditor::lineShown(int line) const
{
    const QCheckBox *box = lineSwitch(line);
    return box && box->isChecked();
}

void SwitchedLineEditor::drawPreview(int width)
{
    int y = 10;
    const bool wh2 = engine().ReplWH2(previewSecondCurrency());
    for (int n : previewLines()) {
        // A line that is off takes no room; its label stays hidden.
        if (LineGroup *group = line(n); group && previewLabel(n) && lineShown(n))
            writePreviewLine(previewLabel(n), group, y, width, wh2, false);
    }
}

void SwitchedLineEditor::scbPreviewClick()
{
    TfrmPreview preview;
    preview.setPaperWidth(printableWidth());
    // The lines shown, in the order drawn, as far as the preview window has labels.
    int source = 0;
    for (int n : previewLines()) {
        QLabel *label = previewLabel(n);
        if (label && !label->isHidden() && source < TfrmPreview::SourceCount)
            preview.setSource(++source, label);
    }
    preview.exec();
}
