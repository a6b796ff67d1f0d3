#pragma once

#include <QList>
#include <QString>
#include <QWidget>

// A vertical menu of large buttons: head entries title a group (white bold on dark red),
// menu entries can be chosen (window-coloured text on grey). Choosing an enabled menu entry
// marks it as chosen and emits btnClick with its index.
class TButtonMenu : public QWidget
{
    Q_OBJECT
public:
    enum class Kind { Head, Menu };
    struct Entry
    {
        QString caption;
        Kind kind = Kind::Menu;
        bool enabled = true;
        int tag = 0;
        QString toolTip; // shown for the entry instead of its caption
    };

    static constexpr int EntryHeight = 25;
    static constexpr int EntrySpacing = 5;

    explicit TButtonMenu(QWidget *parent = nullptr);

    void clear();
    int addHead(const QString &caption);
    int addEntry(const QString &caption, int tag, bool enabled = true);

    int count() const { return int(m_entries.size()); }
    const Entry &entry(int index) const { return m_entries.at(index); }
    void setEntryEnabled(int index, bool enabled);
    void setEntryToolTip(int index, const QString &toolTip);
    int indexOfTag(int tag) const; // first menu entry with the tag, or -1

    int chosenIndex() const { return m_chosen; }
    void setChosenIndex(int index);
    // Chooses the entry as a click would: marks it and emits btnClick (enabled entries only).
    void clickEntry(int index);

    QRect entryRect(int index) const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void btnClick(int index);
    // The mouse points at another entry (-1: at none), or pressed one that is not enabled.
    void highlighted(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;

private:
    int indexAt(const QPoint &pos) const;
    int nextSelectable(int from, int step) const;
    void moveFocus(int index);
    // Scrolls the scroll area the menu lies in, if any, so that the entry is seen.
    void scrollIntoView(int index);

    QList<Entry> m_entries;
    int m_chosen = -1;
    int m_hover = -1;
    int m_focus = -1;
};
