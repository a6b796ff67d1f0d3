#pragma once

#include <QLayout>
#include <QList>

// Lays its items out in a row and starts a new row below where the width runs out, so that a
// group of fixed-width selectors stays readable in a narrow window instead of asking for a
// horizontal scroll bar.
class FlowLayout : public QLayout
{
public:
    // spacing between the items of a row, rowSpacing between rows.
    explicit FlowLayout(int spacing = 6, int rowSpacing = 4);
    ~FlowLayout() override;

    void addItem(QLayoutItem *item) override;
    // A unit of widgets that always stays together on one row.
    void addLayout(QLayout *layout);
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

private:
    // Places the items in rect (only measures when place is false); returns the height used.
    int arrange(const QRect &rect, bool place) const;

    QList<QLayoutItem *> m_items;
    int m_rowSpacing;
};
