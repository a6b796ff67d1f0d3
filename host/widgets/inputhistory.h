#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QVariant>

class QWidget;

// Undo and redo over everything a window's user can change: entry fields, lists, switches and
// logo pictures. Changes that follow each other without a pause (typing a word, a preset that
// fills every line) are one step. Ctrl+Z inside an entry field undoes the window's last step,
// not only that field's typing, so that one key means one thing everywhere in the window.
class InputHistory : public QObject
{
    Q_OBJECT
public:
    explicit InputHistory(QWidget *window);

    // Takes the window's inputs as they are now as the start and forgets every step before.
    void reset();
    bool canUndo();
    bool canRedo() const { return !m_redo.isEmpty(); }
    // Brings the inputs back to the step before (after) the current one; false when there is
    // none.
    bool undo();
    bool redo();
    // Makes what the inputs show now a step of its own at once, for a change the window made
    // in one go on the user's command (a restored version), which no pause in typing ends.
    void takeStep() { settle(); }

    // How long the inputs must rest before a change counts as a step of its own.
    static constexpr int PauseMs = 700;

signals:
    // Whether undo and redo are possible may have changed.
    void stateChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Input
    {
        QPointer<QWidget> widget;
        QVariant value;
        bool pictureChanged = false; // a logo: whether its picture still has to be saved
    };
    using Inputs = QList<Input>;

    Inputs capture() const;
    void restore(const Inputs &inputs);
    static bool sameValues(const Inputs &a, const Inputs &b);
    void changed();
    // Makes the inputs as they are now a step of their own when they differ from the last.
    void settle();

    QWidget *m_window;
    QList<Inputs> m_undo; // the last one is the current step
    QList<Inputs> m_redo;
    QTimer m_pause;
    bool m_restoring = false;
};
