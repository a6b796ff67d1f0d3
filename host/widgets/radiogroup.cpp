#include "widgets/radiogroup.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QRadioButton>

TRadioGroup::TRadioGroup(const QString &title, const QStringList &items, int columns,
                         QWidget *parent)
    : QGroupBox(title, parent)
{
    auto *layout = new QGridLayout(this);
    const int perColumn = (int(items.size()) + columns - 1) / qMax(1, columns);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items.at(i), this);
        button->setObjectName(objectName() + QString::number(i));
        m_group.addButton(button, i);
        layout->addWidget(button, perColumn ? i % perColumn : i, perColumn ? i / perColumn : 0);
    }
    connect(&m_group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit itemIndexChanged(id);
    });
}

int TRadioGroup::itemIndex() const
{
    return m_group.checkedId();
}

void TRadioGroup::setItemIndex(int index)
{
    if (QAbstractButton *button = m_group.button(index)) {
        button->setChecked(true);
        return;
    }
    // No button for the index: none is chosen.
    m_group.setExclusive(false);
    for (QAbstractButton *b : m_group.buttons())
        b->setChecked(false);
    m_group.setExclusive(true);
}

QStringList TRadioGroup::items() const
{
    QStringList texts;
    for (QAbstractButton *b : m_group.buttons())
        texts << b->text();
    return texts;
}
