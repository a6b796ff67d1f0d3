#include "placeholders/Platzhalter.h"

#include "core/model/placeholdercatalogue.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

int PlaceholderModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(placeholderCatalogue().size());
}

int PlaceholderModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant PlaceholderModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const PlaceholderEntry &e = placeholderCatalogue().at(index.row());
    return index.column() == 0 ? e.description : e.token;
}

QVariant PlaceholderModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? tr("Bezeichnung") : tr("Platzhalter");
}

namespace {

constexpr QSize DefaultSize(560, 520);
// Narrower than this, the table's descriptions no longer read well.
constexpr int NarrowestPicker = 380;

} // namespace

TfrmPlatzhalter::TfrmPlatzhalter(QWidget *parent)
    : TOVOForm(parent)
{
    OVOFormInit(QStringLiteral("frmPlatzhalter"), true);
    setWindowTitle(tr("Platzhalter"));
    setModal(false);
    resize(DefaultSize);
}

// The table and its controls are built when the picker is first needed: the window exists
// from the start of the program, but most runs never open it, and measuring the fonts of a
// table is a good part of a start-up.
void TfrmPlatzhalter::ensureBuilt()
{
    if (m_grid)
        return;
    m_proxy = new QSortFilterProxyModel(this);
    m_proxy->setSourceModel(&m_model);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_proxy->setFilterKeyColumn(-1);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("vtvrPlatzhalter"));
    m_grid->setModel(m_proxy);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_grid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_grid->setAlternatingRowColors(true);
    m_grid->installEventFilter(this);

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("edtSuchen"));
    m_search->setPlaceholderText(tr("Suchen in Bezeichnung und Platzhalter"));
    m_search->setClearButtonEnabled(true);
    m_search->hide();

    m_btnSearch = new QPushButton(tr("Suchen"), this);
    m_btnSearch->setObjectName(QStringLiteral("btnSearch"));
    m_btnSearch->setToolTip(tr("Tabelle durchsuchen - Strg +F"));
    m_btnSearch->setAutoDefault(false);
    auto *btnAuswaehlen = new QPushButton(tr("Auswählen"), this);
    btnAuswaehlen->setObjectName(QStringLiteral("btnAuswaehlen"));
    btnAuswaehlen->setDefault(true);
    auto *btnAbbrechen = new QPushButton(tr("Abbrechen"), this);
    btnAbbrechen->setObjectName(QStringLiteral("btnAbbrechen"));
    btnAbbrechen->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_btnSearch);
    buttons->addStretch();
    buttons->addWidget(btnAuswaehlen);
    buttons->addWidget(btnAbbrechen);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_search);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);

    connectGuarded(btnAuswaehlen, &QPushButton::clicked, "btnAuswaehlenClick",
                   &TfrmPlatzhalter::btnAuswaehlenClick);
    connectGuarded(btnAbbrechen, &QPushButton::clicked, "btnAbbrechenClick",
                   &TfrmPlatzhalter::btnAbbrechenClick);
    connect(m_btnSearch, &QPushButton::clicked, this,
            [this] { guard(QStringLiteral("btnSearchClick"), [this] { startSearch(); }); });
    auto *find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this,
            [this] { guard(QStringLiteral("btnSearchClick"), [this] { startSearch(); }); });
    connect(m_grid, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        guard(QStringLiteral("vtvrPlatzhalterDblClick"), [this, index] { choose(index); });
    });
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString &text) {
        guard(QStringLiteral("Suchen"), [this, text] { applySearch(text); });
    });
}

TfrmPlatzhalter::~TfrmPlatzhalter()
{
    guard(
            QStringLiteral("FormDestroy"),
            [this] {
                if (m_grid)
                    m_grid->setModel(nullptr);
            },
            false);
}

void TfrmPlatzhalter::setVisible(bool visible)
{
    if (visible)
        ensureBuilt();
    TOVOForm::setVisible(visible);
}

void TfrmPlatzhalter::openFor(QObject *receiver, std::function<void(const QString &)> insert)
{
    ensureBuilt();
    // Only a shown dialog holds the picker: it is hidden before it is destroyed, and the picker
    // leaves it then.
    auto *opener = qobject_cast<QWidget *>(receiver);
    auto *dialog = opener ? qobject_cast<QDialog *>(opener->window()) : nullptr;
    attachTo(dialog && dialog->isVisible() ? dialog : nullptr);
    const bool opening = isHidden();
    if (opening) {
        // Each opening starts with the whole catalogue.
        m_search->clear();
        m_search->hide();
        placeBeside(parentWidget());
    }
    show();
    // Once shown, the window manager's frame is known and the picker is placed by it.
    if (opening)
        placeBeside(parentWidget());
    raise();
    activateWindow();
    m_receiver = receiver;
    m_insert = std::move(insert);
}

void TfrmPlatzhalter::attachTo(QWidget *opener)
{
    // The editors run modally, and a modal window blocks every window but its own children:
    // the picker becomes a window of the editor that opened it, which also keeps it above
    // the editor. It leaves the editor again before the editor is hidden or destroyed.
    if (opener == parentWidget())
        return;
    if (QWidget *old = parentWidget())
        old->removeEventFilter(this);
    setParent(opener, windowFlags());
    if (opener)
        opener->installEventFilter(this);
}

void TfrmPlatzhalter::placeBeside(const QWidget *opener)
{
    if (!opener)
        return;
    const QScreen *screen = opener->screen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    const QRect editor = opener->frameGeometry();
    // What the window manager adds around the picker, once it has been on screen.
    const QMargins frame(geometry().left() - frameGeometry().left(),
                         geometry().top() - frameGeometry().top(),
                         frameGeometry().right() - geometry().right(),
                         frameGeometry().bottom() - geometry().bottom());
    const auto place = [this, frame](const QRect &outer) {
        setGeometry(outer.marginsRemoved(frame));
    };
    // Its own size again where a last opening had fitted it in place of a preview.
    QSize size = DefaultSize.grownBy(frame);
    // Right of the editor where the screen has room for it.
    if (!room.isValid() || room.right() - editor.right() >= NarrowestPicker) {
        if (room.isValid())
            size.setWidth(qMin(size.width(), room.right() - editor.right()));
        place(QRect(QPoint(editor.right() + 1, editor.top()), size));
        return;
    }
    // Otherwise in place of the part the editor lets it cover (its preview), never over the
    // lines on its left that take the token.
    QRect docks;
    for (const QWidget *dock : opener->findChildren<QWidget *>()) {
        if (dock->property(DockProperty).toBool() && dock->isVisible())
            docks |= QRect(dock->mapToGlobal(QPoint(0, 0)), dock->size());
    }
    if (docks.isValid()) {
        place(QRect(docks.topLeft(), QPoint(room.right(), qMin(docks.bottom(), room.bottom()))));
        return;
    }
    QPoint at(room.right() + 1 - size.width(), editor.top());
    at.setX(qMax(room.left(), at.x()));
    at.setY(qBound(room.top(), at.y(), qMax(room.top(), room.bottom() + 1 - size.height())));
    place(QRect(at, size));
}

QString TfrmPlatzhalter::chosenToken() const
{
    if (!m_grid)
        return {};
    const QModelIndexList rows = m_grid->selectionModel()->selectedRows(1);
    return rows.isEmpty() ? QString() : rows.first().data().toString();
}

void TfrmPlatzhalter::btnAuswaehlenClick()
{
    if (!m_grid)
        return;
    const QModelIndexList rows = m_grid->selectionModel()->selectedRows();
    if (!rows.isEmpty())
        choose(rows.first());
}

void TfrmPlatzhalter::choose(const QModelIndex &proxyIndex)
{
    // A hidden picker has handed its token over already (Enter reaches it more than once).
    if (!proxyIndex.isValid() || !m_insert || !m_receiver || isHidden())
        return;
    const QString token = m_proxy->index(proxyIndex.row(), 1).data().toString();
    hide();
    m_insert(token);
}

void TfrmPlatzhalter::btnAbbrechenClick()
{
    hide();
}

void TfrmPlatzhalter::reject()
{
    guard(QStringLiteral("btnAbbrechenClick"), [this] { btnAbbrechenClick(); });
}

void TfrmPlatzhalter::startSearch(const QString &first)
{
    ensureBuilt();
    m_search->show();
    m_search->setFocus();
    if (!first.isEmpty())
        m_search->setText(first);
    else
        m_search->selectAll();
}

void TfrmPlatzhalter::applySearch(const QString &text)
{
    m_proxy->setFilterFixedString(text);
    if (m_proxy->rowCount() > 0)
        m_grid->selectRow(0);
}

bool TfrmPlatzhalter::startsSearch(const QKeyEvent *event) const
{
    const QString text = event->text();
    return text.size() == 1 && text.at(0).isLetterOrNumber()
           && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

bool TfrmPlatzhalter::eventFilter(QObject *watched, QEvent *event)
{
    // The editor that holds the picker closes: the picker hides and is nobody's window again.
    if (watched == parentWidget() && event->type() == QEvent::Hide) {
        hide();
        attachTo(nullptr);
        return false;
    }
    // Typing into the grid starts the search instead of the grid's own first-letter jump.
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (startsSearch(key)) {
            const QString text = key->text();
            guard(QStringLiteral("FormKeyPress"), [this, text] { startSearch(text); });
            return true;
        }
    }
    return TOVOForm::eventFilter(watched, event);
}

void TfrmPlatzhalter::keyPressEvent(QKeyEvent *event)
{
    if (startsSearch(event)) {
        const QString text = event->text();
        guard(QStringLiteral("FormKeyPress"), [this, text] { startSearch(text); });
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        guard(QStringLiteral("btnAuswaehlenClick"), [this] { btnAuswaehlenClick(); });
        return;
    }
    TOVOForm::keyPressEvent(event);
}
