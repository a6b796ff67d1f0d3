#include "settings/frmBuchenAlleU.h"

#include "core/model/hosttables.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int TypeRole = Qt::UserRole;
constexpr int Columns = 2;
constexpr int RowsPerColumn = (DocumentTypeCount + Columns - 1) / Columns;

} // namespace

TfrmBuchenAlle::TfrmBuchenAlle(QWidget *parent)
    : TOVOForm(parent)
{
    OVOFormInit(QStringLiteral("frmBuchenAlle"), true);
    setWindowTitle(tr("Übernehmen des Layout für andere Belegköpfe"));
    setUpDialogFrame();

    auto *main = new QVBoxLayout(this);
    m_clbBelegtypen = new QListWidget(this);
    m_clbBelegtypen->setObjectName(QStringLiteral("clbBelegtypen"));
    // Two columns filled top to bottom, as a check list box with two columns shows them.
    m_clbBelegtypen->setFlow(QListView::TopToBottom);
    m_clbBelegtypen->setWrapping(true);
    m_clbBelegtypen->setUniformItemSizes(true);
    m_clbBelegtypen->setSelectionMode(QAbstractItemView::SingleSelection);
    m_clbBelegtypen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    main->addWidget(m_clbBelegtypen, 1);

    const struct
    {
        const char *name;
        QString caption;
        QString hint;
        void (TfrmBuchenAlle::*handler)();
        const char *operation;
    } buttons[] = {
            {"btnSelectAll", tr("Alle auswählen"), QString(), &TfrmBuchenAlle::btnSelectAllClick,
             "btnSelectAllClick"},
            {"btnSwitchSelection", tr("Auswahl umkehren"), QString(),
             &TfrmBuchenAlle::btnSwitchSelectionClick, "btnSwitchSelectionClick"},
            {"btnBuchen", tr("Buchen"), tr("Buchen des Layouts für die gewählten Belegköpfe"),
             &TfrmBuchenAlle::btnBuchenClick, "btnBuchenClick"},
            {"btnAbbrechen", tr("Abbrechen"), tr("ohne Buchen zurückkehren"),
             &TfrmBuchenAlle::btnAbbrechenClick, "btnAbbrechenClick"},
    };
    auto *row = new QHBoxLayout;
    for (const auto &b : buttons) {
        auto *button = new QPushButton(b.caption, this);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setToolTip(b.hint);
        button->setAutoDefault(false);
        const auto handler = b.handler;
        const QString operation = QString::fromLatin1(b.operation);
        connect(button, &QPushButton::clicked, this, [this, handler, operation] {
            guard(operation, [this, handler] { (this->*handler)(); });
        });
        if (handler == &TfrmBuchenAlle::btnBuchenClick)
            row->addStretch();
        row->addWidget(button);
    }
    main->addLayout(row);

    addGuardedAction(QStringLiteral("actBuchen"), QKeySequence(Qt::Key_F5),
                     QStringLiteral("btnBuchenClick"), [this] { btnBuchenClick(); });

    // The entries come when the window is shown; its height is known now, from one sample.
    new QListWidgetItem(CBelegName(1), m_clbBelegtypen);
    m_rowHeight = qMax(m_clbBelegtypen->sizeHintForRow(0), fontMetrics().height() + 2);
    m_clbBelegtypen->clear();
    m_clbBelegtypen->setFixedHeight(RowsPerColumn * m_rowHeight + 2 * m_clbBelegtypen->frameWidth()
                                    + 4);
    resize(600, sizeHint().height());
}

void TfrmBuchenAlle::showEvent(QShowEvent *event)
{
    TOVOForm::showEvent(event);
    guard(QStringLiteral("FormShow"), [this] { FormShow(); });
}

void TfrmBuchenAlle::FormShow()
{
    m_clbBelegtypen->clear();
    for (int type = 1; type <= DocumentTypeCount; ++type) {
        auto *item = new QListWidgetItem(CBelegName(type), m_clbBelegtypen);
        item->setData(TypeRole, type);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(type == m_documentType ? Qt::Checked : Qt::Unchecked);
        if (type == m_documentType)
            item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
    }
    layOutColumns();
}

void TfrmBuchenAlle::resizeEvent(QResizeEvent *event)
{
    TOVOForm::resizeEvent(event);
    layOutColumns();
}

void TfrmBuchenAlle::layOutColumns()
{
    m_clbBelegtypen->setGridSize(
            QSize(qMax(1, (m_clbBelegtypen->viewport()->width() - 2) / Columns), m_rowHeight));
}

void TfrmBuchenAlle::btnBuchenClick()
{
    for (int i = 0; i < m_clbBelegtypen->count(); ++i) {
        const QListWidgetItem *item = m_clbBelegtypen->item(i);
        if (item->checkState() == Qt::Checked)
            m_result.insert(item->data(TypeRole).toInt());
    }
    accept();
}

void TfrmBuchenAlle::btnAbbrechenClick()
{
    reject();
}

void TfrmBuchenAlle::btnSelectAllClick()
{
    for (int i = 0; i < m_clbBelegtypen->count(); ++i) {
        QListWidgetItem *item = m_clbBelegtypen->item(i);
        if (item->flags().testFlag(Qt::ItemIsEnabled))
            item->setCheckState(Qt::Checked);
    }
}

void TfrmBuchenAlle::btnSwitchSelectionClick()
{
    // The type being edited is disabled and must stay chosen, so disabled entries keep theirs.
    for (int i = 0; i < m_clbBelegtypen->count(); ++i) {
        QListWidgetItem *item = m_clbBelegtypen->item(i);
        if (item->flags().testFlag(Qt::ItemIsEnabled))
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
}

QList<int> TfrmBuchenAlle::result() const
{
    QList<int> types(m_result.cbegin(), m_result.cend());
    std::sort(types.begin(), types.end());
    return types;
}
