#include "widgets/buttonmenu.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QToolTip>

namespace {
const QColor headColor(184, 16, 32);
const QColor entryColor(0xC8, 0xC8, 0xC8);
const QColor chosenColor(0x9A, 0xA8, 0xC0);
const QColor hoverColor(0xDC, 0xDC, 0xDC);
const QColor disabledTextColor(0x70, 0x70, 0x70);
} // namespace

TButtonMenu::TButtonMenu(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void TButtonMenu::clear()
{
    m_entries.clear();
    m_chosen = m_hover = m_focus = -1;
    updateGeometry();
    update();
}

int TButtonMenu::addHead(const QString &caption)
{
    m_entries.append({caption, Kind::Head, true, 0, QString()});
    updateGeometry();
    update();
    return count() - 1;
}

int TButtonMenu::addEntry(const QString &caption, int tag, bool enabled)
{
    m_entries.append({caption, Kind::Menu, enabled, tag, QString()});
    updateGeometry();
    update();
    return count() - 1;
}

void TButtonMenu::setEntryEnabled(int index, bool enabled)
{
    if (index < 0 || index >= count() || m_entries[index].enabled == enabled)
        return;
    m_entries[index].enabled = enabled;
    update();
}

void TButtonMenu::setEntryToolTip(int index, const QString &toolTip)
{
    if (index >= 0 && index < count())
        m_entries[index].toolTip = toolTip;
}

int TButtonMenu::indexOfTag(int tag) const
{
    for (int i = 0; i < count(); ++i) {
        if (m_entries[i].kind == Kind::Menu && m_entries[i].tag == tag)
            return i;
    }
    return -1;
}

void TButtonMenu::setChosenIndex(int index)
{
    m_chosen = (index >= 0 && index < count() && m_entries[index].kind == Kind::Menu) ? index : -1;
    if (m_chosen >= 0)
        m_focus = m_chosen;
    update();
    scrollIntoView(m_chosen);
}

void TButtonMenu::scrollIntoView(int index)
{
    if (index < 0 || index >= count())
        return;
    for (QWidget *up = parentWidget(); up; up = up->parentWidget()) {
        if (auto *area = qobject_cast<QScrollArea *>(up)) {
            const QRect r = entryRect(index);
            area->ensureVisible(r.center().x(), r.center().y(), 0, r.height());
            return;
        }
    }
}

void TButtonMenu::moveFocus(int index)
{
    m_focus = index;
    update();
    scrollIntoView(m_focus);
}

void TButtonMenu::clickEntry(int index)
{
    if (index < 0 || index >= count() || !m_entries[index].enabled)
        return;
    if (m_entries[index].kind == Kind::Menu) {
        m_chosen = index;
        m_focus = index;
        update();
    }
    emit btnClick(index);
}

QRect TButtonMenu::entryRect(int index) const
{
    return QRect(0, index * (EntryHeight + EntrySpacing), width(), EntryHeight);
}

QSize TButtonMenu::sizeHint() const
{
    const int h = count() == 0 ? 0 : count() * (EntryHeight + EntrySpacing) - EntrySpacing;
    return QSize(260, h);
}

QSize TButtonMenu::minimumSizeHint() const
{
    return QSize(120, sizeHint().height());
}

int TButtonMenu::indexAt(const QPoint &pos) const
{
    for (int i = 0; i < count(); ++i) {
        if (entryRect(i).contains(pos))
            return i;
    }
    return -1;
}

void TButtonMenu::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < count(); ++i) {
        const Entry &e = m_entries[i];
        const QRect r = entryRect(i);
        QFont f = font();
        if (e.kind == Kind::Head) {
            p.fillRect(r, headColor);
            f.setBold(true);
            p.setPen(Qt::white);
        } else {
            QColor bg = entryColor;
            if (i == m_chosen)
                bg = chosenColor;
            else if (i == m_hover && e.enabled)
                bg = hoverColor;
            p.fillRect(r, bg);
            // Disabled captions stay readable on the grey: dimmed, not washed out.
            p.setPen(e.enabled ? palette().color(QPalette::WindowText) : disabledTextColor);
        }
        p.setFont(f);
        const QString text = QFontMetrics(f).elidedText(e.caption, Qt::ElideRight, r.width() - 16);
        p.drawText(r.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
        // The keyboard's entry: a frame in the highlight colour, seen on every background.
        if (hasFocus() && i == m_focus) {
            p.setPen(QPen(palette().color(QPalette::Highlight), 2));
            p.drawRect(r.adjusted(1, 1, -1, -1));
        }
    }
}

void TButtonMenu::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int index = indexAt(event->position().toPoint());
    // A greyed entry does nothing, but whoever listens may say why.
    if (index >= 0 && !m_entries[index].enabled)
        emit highlighted(index);
    clickEntry(index);
}

void TButtonMenu::mouseMoveEvent(QMouseEvent *event)
{
    const int hover = indexAt(event->position().toPoint());
    if (hover != m_hover) {
        m_hover = hover;
        update();
        emit highlighted(hover);
    }
}

void TButtonMenu::leaveEvent(QEvent *)
{
    m_hover = -1;
    update();
    emit highlighted(-1);
}

int TButtonMenu::nextSelectable(int from, int step) const
{
    for (int i = from + step; i >= 0 && i < count(); i += step) {
        if (m_entries[i].kind == Kind::Menu && m_entries[i].enabled)
            return i;
    }
    return from;
}

void TButtonMenu::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Down:
        moveFocus(nextSelectable(m_focus, 1));
        break;
    case Qt::Key_Up:
        moveFocus(nextSelectable(m_focus < 0 ? count() : m_focus, -1));
        break;
    case Qt::Key_Home:
        moveFocus(nextSelectable(-1, 1));
        break;
    case Qt::Key_End:
        moveFocus(nextSelectable(count(), -1));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        clickEntry(m_focus);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

bool TButtonMenu::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int i = indexAt(help->pos());
        if (i >= 0 && !m_entries[i].toolTip.isEmpty())
            QToolTip::showText(help->globalPos(), m_entries[i].toolTip, this);
        else if (i >= 0
                 && QFontMetrics(font()).horizontalAdvance(m_entries[i].caption) > width() - 16)
            QToolTip::showText(help->globalPos(), m_entries[i].caption, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
