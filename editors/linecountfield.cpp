#include "editors/linecountfield.h"

#include <QRegularExpressionValidator>

LineCountField::LineCountField(int minimum, int maximum, QWidget *parent)
    : QLineEdit(parent)
    , m_minimum(minimum)
    , m_maximum(maximum)
{
    setObjectName(QStringLiteral("edtTextAnzahlZeilen"));
    setMaxLength(2);
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,2}")),
                                                 this));
    setMaximumWidth(50);
    connect(this, &QLineEdit::textChanged, this, &LineCountField::textEdited);
}

void LineCountField::setMaximum(int maximum)
{
    m_maximum = maximum;
    if (!text().isEmpty() && text().toInt() > m_maximum)
        setText(QString::number(m_maximum));
}

int LineCountField::count() const
{
    const int typed = text().isEmpty() ? 1 : text().toInt();
    return qBound(m_minimum, typed, m_maximum);
}

void LineCountField::setCount(int count)
{
    setText(QString::number(count));
    settle();
}

void LineCountField::settle()
{
    const QString settled = QString::number(count());
    if (text() != settled)
        setText(settled);
}

void LineCountField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    settle();
}

void LineCountField::textEdited()
{
    const bool waiting = text().isEmpty() || text().toInt() < m_minimum;
    if (waiting) {
        if (!hasFocus())
            settle();
        return;
    }
    if (text().toInt() > m_maximum) {
        setText(QString::number(m_maximum));
        return;
    }
    emit countChanged(text().toInt());
}
