#pragma once

#include <QLineEdit>

// The "Anzahl Zeilen" field of an editor: up to two digits, a count between a minimum and a
// maximum. While the user types, an emptied field (or one below the minimum) waits for the
// next digit; a count above the maximum becomes the maximum at once. When the field is left,
// is set from outside or before a save (settle()), an empty field becomes 1 and a count below
// the minimum the minimum, so that no save stores fewer lines than the user sees.
class LineCountField : public QLineEdit
{
    Q_OBJECT
public:
    LineCountField(int minimum, int maximum, QWidget *parent);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    void setMaximum(int maximum);

    // The count the field stands for, within its bounds.
    int count() const;
    void setCount(int count);
    // Applies the rules of leaving the field now.
    void settle();

signals:
    // A count within the bounds has been entered or set.
    void countChanged(int count);

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    void textEdited();

    int m_minimum;
    int m_maximum;
};
