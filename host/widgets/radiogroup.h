#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

// A titled group of radio buttons chosen by item index (-1: none), laid out in columns.
class TRadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    explicit TRadioGroup(const QString &title, const QStringList &items, int columns = 1,
                         QWidget *parent = nullptr);

    int itemIndex() const;
    void setItemIndex(int index);
    int count() const { return int(m_group.buttons().size()); }
    QStringList items() const;

signals:
    void itemIndexChanged(int index);

private:
    QButtonGroup m_group;
};
