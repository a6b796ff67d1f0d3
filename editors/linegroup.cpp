#include "editors/linegroup.h"

#include "core/format/layoutformat.h"

#include "editors/flowlayout.h"
#include "widgets/controlvalues.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

const QStringList &LineGroup::styles()
{
    static const QStringList list = {QStringLiteral("normal"), QStringLiteral("fett"),
                                     QStringLiteral("kursiv"), QStringLiteral("fett/kursiv")};
    return list;
}

const QStringList &LineGroup::alignments()
{
    static const QStringList list = {QStringLiteral("links"), QStringLiteral("mitte"),
                                     QStringLiteral("rechts")};
    return list;
}

namespace {

QComboBox *makeCombo(const QString &name, QWidget *parent, int width)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    // Editable: a stored value that is not in the list (an uninstalled font) stays shown
    // and is saved back unchanged.
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    // Equal widths keep the selectors of all lines in one column: each list asks for its
    // full width whatever it holds, and gets it unless the window is narrow.
    c->setFixedWidth(width);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumContentsLength(40);
    return c;
}

} // namespace

LineGroup::LineGroup(int number, const Initial &initial, QWidget *parent)
    : QGroupBox(parent)
    , m_number(number)
{
    const QString n = QString::number(number);
    setObjectName(QStringLiteral("OVOStdGroupBox") + n);

    m_caption = new QLabel(tr("Textzeile %1").arg(number), this);
    m_caption->setObjectName(QStringLiteral("lblTxtZeile") + n);
    m_text = new QLineEdit(initial.text, this);
    const LineFieldNames names = lineFieldNames(number);
    m_text->setObjectName(names.text);
    m_text->setMaxLength(initial.maxLength);
    m_caption->setBuddy(m_text);

    m_font = makeCombo(names.font, this, 190);

    m_size = makeCombo(names.size, this, 60);
    m_style = makeCombo(names.style, this, 100);
    m_style->addItems(styles());
    ControlValues::setComboText(m_style, initial.style);
    m_alignment = makeCombo(names.alignment, this, 90);
    m_alignment->addItems(alignments());
    ControlValues::setComboText(m_alignment, initial.alignment);
    // Where the window is narrow, a long font name is cut and the lists give up their spare
    // room; every value stays readable.
    m_font->setMinimumWidth(110);
    m_style->setMinimumWidth(88);
    m_alignment->setMinimumWidth(76);

    // The switches wrap like the selectors.
    m_switches = new FlowLayout(18);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(2);
    grid->addWidget(m_caption, 0, 0);
    // Font and size, then style and alignment: in a narrow window the second pair moves
    // below the first instead of the window scrolling sideways.
    auto *selectors = new FlowLayout;
    grid->addLayout(selectors, 1, 1);
    for (QComboBox *pair : {m_font, m_style}) {
        auto *unit = new QHBoxLayout;
        unit->setSpacing(6);
        unit->addWidget(pair);
        unit->addWidget(pair == m_font ? m_size : m_alignment);
        selectors->addLayout(unit);
    }
    grid->addWidget(m_text, 0, 1);
    grid->addLayout(m_switches, 2, 1);
    grid->setColumnStretch(1, 1);
}

QCheckBox *LineGroup::addSwitch(const QString &prefix, const QString &caption, bool hidden)
{
    auto *box = new QCheckBox(caption, this);
    box->setObjectName(prefix + QString::number(m_number));
    m_switches->addWidget(box);
    if (hidden) {
        box->setVisible(false);
        box->setEnabled(false);
    }
    return box;
}

QCheckBox *LineGroup::findSwitch(const QString &prefix) const
{
    return findChild<QCheckBox *>(prefix + QString::number(m_number));
}
