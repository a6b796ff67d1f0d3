#include "widgets/inputhistory.h"

#include "widgets/controlvalues.h"
#include "widgets/logoanzeige.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

bool isUndoKey(const QKeyEvent *key)
{
    return key->matches(QKeySequence::Undo);
}

bool isRedoKey(const QKeyEvent *key)
{
    return key->matches(QKeySequence::Redo)
           || key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y);
}

// A line edit that belongs to a list is the list's.
bool ownEntryField(const QLineEdit *edit)
{
    return !qobject_cast<const QComboBox *>(edit->parentWidget()) && !edit->isReadOnly();
}

} // namespace

InputHistory::InputHistory(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    m_pause.setSingleShot(true);
    m_pause.setInterval(PauseMs);
    connect(&m_pause, &QTimer::timeout, this, &InputHistory::settle);
    const auto noteChange = [this] {
        changed();
    };
    for (QLineEdit *edit : window->findChildren<QLineEdit *>()) {
        if (ownEntryField(edit))
            connect(edit, &QLineEdit::textChanged, this, noteChange);
        edit->installEventFilter(this);
    }
    for (QPlainTextEdit *text : window->findChildren<QPlainTextEdit *>()) {
        connect(text, &QPlainTextEdit::textChanged, this, noteChange);
        text->installEventFilter(this);
    }
    for (QComboBox *list : window->findChildren<QComboBox *>())
        connect(list, &QComboBox::currentTextChanged, this, noteChange);
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (button->isCheckable())
            connect(button, &QAbstractButton::toggled, this, noteChange);
    }
    for (Tlogoanzeige *logo : window->findChildren<Tlogoanzeige *>())
        connect(logo, &Tlogoanzeige::neuesBild, this, noteChange);
    reset();
}

void InputHistory::reset()
{
    m_pause.stop();
    m_undo = {capture()};
    m_redo.clear();
    emit stateChanged();
}

bool InputHistory::canUndo()
{
    if (m_pause.isActive())
        settle();
    return m_undo.size() > 1;
}

bool InputHistory::undo()
{
    if (!canUndo())
        return false;
    m_redo.append(m_undo.takeLast());
    restore(m_undo.constLast());
    emit stateChanged();
    return true;
}

bool InputHistory::redo()
{
    if (m_pause.isActive())
        settle();
    if (m_redo.isEmpty())
        return false;
    m_undo.append(m_redo.takeLast());
    restore(m_undo.constLast());
    emit stateChanged();
    return true;
}

void InputHistory::changed()
{
    if (!m_restoring)
        m_pause.start();
}

void InputHistory::settle()
{
    m_pause.stop();
    Inputs now = capture();
    if (sameValues(now, m_undo.constLast()))
        return;
    m_undo.append(std::move(now));
    // A new change after undoing starts a new branch; the undone steps are gone.
    m_redo.clear();
    emit stateChanged();
}

InputHistory::Inputs InputHistory::capture() const
{
    Inputs inputs;
    for (QWidget *w : m_window->findChildren<QWidget *>()) {
        if (const auto *edit = qobject_cast<const QLineEdit *>(w)) {
            if (ownEntryField(edit))
                inputs.append({w, edit->text()});
        } else if (const auto *text = qobject_cast<const QPlainTextEdit *>(w)) {
            inputs.append({w, text->toPlainText()});
        } else if (const auto *list = qobject_cast<const QComboBox *>(w)) {
            inputs.append({w, list->currentText()});
        } else if (const auto *button = qobject_cast<const QAbstractButton *>(w)) {
            if (button->isCheckable())
                inputs.append({w, button->isChecked()});
        } else if (const auto *logo = qobject_cast<const Tlogoanzeige *>(w)) {
            inputs.append({w, logo->picture(), logo->pictureChanged()});
        }
    }
    return inputs;
}

bool InputHistory::sameValues(const Inputs &a, const Inputs &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a.at(i).widget != b.at(i).widget || a.at(i).value != b.at(i).value)
            return false;
    }
    return true;
}

void InputHistory::restore(const Inputs &inputs)
{
    m_restoring = true;
    // Switches first: a window may enable or fill other inputs when one is switched, and the
    // values that follow are the ones the step had.
    for (const Input &input : inputs) {
        if (auto *button = qobject_cast<QAbstractButton *>(input.widget.data()))
            button->setChecked(input.value.toBool());
    }
    for (const Input &input : inputs) {
        QWidget *w = input.widget.data();
        if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            if (edit->text() != input.value.toString())
                edit->setText(input.value.toString());
        } else if (auto *text = qobject_cast<QPlainTextEdit *>(w)) {
            if (text->toPlainText() != input.value.toString())
                text->setPlainText(input.value.toString());
        } else if (auto *list = qobject_cast<QComboBox *>(w)) {
            if (list->currentText() != input.value.toString())
                ControlValues::setComboText(list, input.value.toString());
        } else if (auto *logo = qobject_cast<Tlogoanzeige *>(w)) {
            logo->importImage(input.value.value<QImage>());
            logo->setPictureChanged(input.pictureChanged);
        }
    }
    m_restoring = false;
    m_pause.stop();
    // What the window made of the restored values is the step now.
    m_undo.last() = capture();
}

bool InputHistory::eventFilter(QObject *watched, QEvent *event)
{
    // An entry field keeps Ctrl+Z for its own typing; here it is the window's.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (isUndoKey(key) || isRedoKey(key)) {
            if (event->type() == QEvent::KeyPress) {
                if (isUndoKey(key))
                    undo();
                else
                    redo();
            }
            event->accept();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
