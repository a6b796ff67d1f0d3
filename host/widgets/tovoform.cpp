#include "widgets/tovoform.h"

#include "core/app/host.h"
#include "core/app/messages.h"
#include "core/store/workstationtable.h"
#include "widgets/controlvalues.h"
#include "widgets/helpwindow.h"
#include "widgets/historywindow.h"
#include "widgets/inputhistory.h"
#include "widgets/lostupdatequestion.h"
#include "widgets/mainwindowcontext.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QTabWidget>
#include <QTime>

namespace {
MainWindowContext *g_mainWindow = nullptr;
}

MainWindowContext *MainWindowContext::instance()
{
    return g_mainWindow;
}

void MainWindowContext::setInstance(MainWindowContext *context)
{
    g_mainWindow = context;
}

MainWindowContext &frmKassotypHaupt()
{
    if (!g_mainWindow)
        throw std::logic_error("main window not created");
    return *g_mainWindow;
}

TOVOForm::TOVOForm(QWidget *parent)
    : QDialog(parent)
{
    m_className = QString::fromLatin1(metaObject()->className());
}

TOVOForm::~TOVOForm()
{
    // The window's own part is gone; hiding its controls below (a field that loses the focus
    // ends its editing) must not reach a handler of it any more.
    for (QObject *child : findChildren<QObject *>())
        QObject::disconnect(child, nullptr, this, nullptr);
    // Whatever the window left unfinished ends here, also when its destruction failed.
    if (OVOInfo *info = messageService())
        info->FehlerTerminate(location(QStringLiteral("FormDestroy")));
}

void TOVOForm::OVOFormInit(const QString &componentName, bool)
{
    setObjectName(componentName);
    m_className = QString::fromLatin1(metaObject()->className());
    if (!findChild<QAction *>(QStringLiteral("actHilfe"), Qt::FindDirectChildrenOnly))
        addKeyAction(QStringLiteral("actHilfe"), QKeySequence(Qt::Key_F1), [this] { showHelp(); });
}

void TOVOForm::showHelp()
{
    HelpWindow::showFor(this);
}

void TOVOForm::rememberInputs()
{
    m_rememberedInputs = inputState();
    startInputHistory();
}

void TOVOForm::startInputHistory()
{
    if (m_history) {
        m_history->reset();
        return;
    }
    m_history = new InputHistory(this);
    m_undoAction = addKeyAction(QStringLiteral("actRueckgaengig"), QKeySequence::Undo,
                                [this] { m_history->undo(); });
    m_undoAction->setText(tr("Rückgängig"));
    m_redoAction = addKeyAction(QStringLiteral("actWiederholen"), QKeySequence(),
                                [this] { m_history->redo(); });
    m_redoAction->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    m_redoAction->setText(tr("Wiederholen"));
    const auto enable = [this] {
        m_undoAction->setEnabled(m_history->canUndo());
        m_redoAction->setEnabled(m_history->canRedo());
    };
    connect(m_history, &InputHistory::stateChanged, this, enable);
    enable();
}

QString TOVOForm::location(const QString &operation) const
{
    // Before OVOFormInit the live class is the best name there is.
    const QString name =
            m_className.isEmpty() ? QString::fromLatin1(metaObject()->className()) : m_className;
    return name + u'.' + operation;
}

OVOInfo *TOVOForm::messageService()
{
    MainWindowContext *ctx = MainWindowContext::instance();
    return ctx ? &ctx->host().info() : nullptr;
}

const AuditLog *TOVOForm::auditLog()
{
    MainWindowContext *ctx = MainWindowContext::instance();
    return ctx ? &ctx->host().audit() : nullptr;
}

QString TOVOForm::auditedSection(const QString &kennung) const
{
    if (m_auditSection.isEmpty())
        return kennung;
    return kennung.isEmpty() ? m_auditSection
                             : QStringLiteral("%1 (%2)").arg(m_auditSection, kennung);
}

QAction *TOVOForm::connectSave(QPushButton *button, const QString &actionName,
                               const QString &operation, const std::function<void()> &save)
{
    const auto audited = [this, operation, save] {
        runSave(operation, save);
    };
    connect(button, &QPushButton::clicked, this, audited);
    addHistoryButton(button);
    return addKeyAction(actionName, QKeySequence(Qt::Key_F5), audited);
}

void TOVOForm::addHistoryButton(QPushButton *beside)
{
    if (m_historyButton)
        return;
    m_historyButton = new QPushButton(tr("Verlauf..."), this);
    m_historyButton->setObjectName(QStringLiteral("btnVerlauf"));
    m_historyButton->setToolTip(
            tr("Gespeicherte Versionen ansehen, vergleichen und wiederherstellen (Strg+H)"));
    m_historyButton->setAutoDefault(false);
    // Shown once the window, fully made, says which records it edits.
    m_historyButton->hide();
    for (QBoxLayout *row : findChildren<QBoxLayout *>()) {
        if (const int at = row->indexOf(beside); at >= 0) {
            row->insertWidget(at, m_historyButton);
            break;
        }
    }
    connect(m_historyButton, &QPushButton::clicked, this,
            [this] { guard(QStringLiteral("btnVerlaufClick"), [this] { showHistory(); }); });
    m_historyAction =
            addGuardedAction(QStringLiteral("actVerlauf"), QKeySequence(Qt::CTRL | Qt::Key_H),
                             QStringLiteral("btnVerlaufClick"), [this] { showHistory(); });
    m_historyAction->setEnabled(false);
}

QList<EditedRecord> TOVOForm::editedRecords()
{
    return {};
}

QStringList TOVOForm::shownVersion(const EditedRecord &record)
{
    return ControlValues::readList(this, record.format->fields);
}

void TOVOForm::showVersion(const EditedRecord &record, const QStringList &list)
{
    ControlValues::writeList(this, record.format->fields, list);
}

void TOVOForm::showHistory()
{
    const QList<EditedRecord> records = editedRecords();
    if (records.isEmpty())
        return;
    THistoryWindow window(*this, records, History(frmKassotypHaupt().host().store()));
    window.exec();
}

std::optional<AuditEvent> TOVOForm::auditedSave() const
{
    AuditEvent event;
    event.action = AuditAction::SettingsSaved;
    if (const MainWindowContext *main = MainWindowContext::instance())
        event.workstation = main->workstationNumber();
    event.section = m_titleWithoutWorkstation.isEmpty() ? windowTitle() : m_titleWithoutWorkstation;
    return event;
}

bool TOVOForm::runSave(const QString &operation, const std::function<void()> &save)
{
    // A record changed by someone else since the window loaded it is not written over unasked:
    // the save stops before writing anything, and the user decides. Overwriting runs the save
    // once more, accepting the version the user was told about.
    std::optional<LostUpdateError> lost;
    const auto saveUnlessChanged = [&] {
        try {
            save();
        } catch (const LostUpdateError &e) {
            lost = e;
        }
    };
    const bool saved = runAuditedSave(operation, saveUnlessChanged);
    if (!saved || !lost)
        return saved;
    if (askAboutLostUpdate(this, *lost) != LostUpdateChoice::Overwrite)
        return false;
    const OverwriteAccepted accepted(lost->record(), lost->stored());
    return runSave(operation, save);
}

bool TOVOForm::runAuditedSave(const QString &operation, const std::function<void()> &save)
{
    // Described before the save: a save may refill what names its record (a preset list).
    const AuditLog *audit = auditLog();
    std::optional<AuditEvent> event;
    if (audit)
        guard(
                operation, [&] { event = auditedSave(); }, false);
    if (!event)
        return guard(operation, save);
    const Store &store = frmKassotypHaupt().host().store();
    const quint64 committed = store.committedWrites();
    if (!guard(operation, [&] { audit->recordFailure(*event, save); }))
        return false;
    if (store.committedWrites() != committed) {
        audit->record(*event);
        reportSaved(*event);
    }
    return true;
}

void TOVOForm::reportSaved(const AuditEvent &event)
{
    QString what = event.section;
    if (MainWindowContext *main = MainWindowContext::instance(); main && event.workstation >= 0)
        what += QStringLiteral(" für ")
                + RVRTab::displayName(main->host().workstations().GetRNrUmfang(event.workstation));
    const QString text =
            tr("Gebucht: %1 (%2).")
                    .arg(what, QLocale(QLocale::German)
                                       .toString(QTime::currentTime(), QStringLiteral("HH:mm:ss")));
    if (m_statusLine)
        m_statusLine->setText(text);
    if (MainWindowContext *main = MainWindowContext::instance())
        main->showStatus(text);
    // A window that stays open counts what it saved as unchanged.
    if (m_rememberedInputs)
        m_rememberedInputs = inputState();
}

bool TOVOForm::guard(const QString &operation, const std::function<void()> &fn, bool show)
{
    try {
        fn();
        return true;
    } catch (const std::exception &e) {
        if (OVOInfo *info = messageService())
            info->RegisterException(location(operation), e, show);
    } catch (...) {
        if (OVOInfo *info = messageService())
            info->RegisterException(location(operation), std::runtime_error("Unbekannter Fehler"),
                                    show);
    }
    return false;
}

QAction *TOVOForm::addKeyAction(const QString &name, const QKeySequence &key,
                                const std::function<void()> &handler)
{
    auto *action = new QAction(this);
    action->setObjectName(name);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    if (key == QKeySequence(Qt::Key_Escape)) {
        // The window's shortcuts reach it also while one of its lists is open: Esc then closes
        // the list and nothing else.
        connect(action, &QAction::triggered, this, [handler] {
            if (QWidget *popup = QApplication::activePopupWidget()) {
                popup->close();
                return;
            }
            handler();
        });
    } else {
        connect(action, &QAction::triggered, this, handler);
    }
    addAction(action);
    return action;
}

QAction *TOVOForm::addGuardedAction(const QString &name, const QKeySequence &key,
                                    const QString &operation, const std::function<void()> &fn)
{
    return addKeyAction(name, key, [this, operation, fn] { guard(operation, fn); });
}

void TOVOForm::setUpDialogFrame(const QSize &size)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    if (size.isValid())
        resize(size);
}

QLabel *TOVOForm::createHeadline()
{
    auto *headline = boldLabel(QString(), this);
    headline->setObjectName(QStringLiteral("lblUeberschrift"));
    QFont big = headline->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    headline->setFont(big);
    return headline;
}

QLabel *TOVOForm::boldLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

TOVOForm::LabelledField TOVOForm::addLabelledField(QGridLayout *grid, int row, const QString &name,
                                                   const QString &caption, const QString &pattern,
                                                   int maxLength, int width)
{
    QWidget *parent = grid->parentWidget();
    LabelledField field{new QLabel(caption, parent), new QLineEdit(parent)};
    field.edit->setObjectName(name);
    field.edit->setMaxLength(maxLength);
    field.edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(pattern), field.edit));
    field.edit->setMaximumWidth(width);
    field.caption->setBuddy(field.edit);
    grid->addWidget(field.caption, row, 0);
    grid->addWidget(field.edit, row, 1);
    return field;
}

TOVOForm::SaveButtons TOVOForm::addSaveButtons(QBoxLayout *layout, const QString &saveToolTip,
                                               const std::function<void()> &save,
                                               const CloseButton &close)
{
    auto *row = new QHBoxLayout;
    SaveButtons buttons{
            new QPushButton(tr("Buchen"), this),
            new QPushButton(close.caption.isEmpty() ? tr("Abbrechen") : close.caption, this),
            nullptr};
    buttons.save->setObjectName(QStringLiteral("btnBuchen"));
    buttons.save->setToolTip(saveToolTip);
    buttons.close->setObjectName(close.name.isEmpty() ? QStringLiteral("btnAbbrechen")
                                                      : close.name);
    buttons.close->setToolTip(close.toolTip);
    auto *help = new QPushButton(tr("Hilfe"), this);
    help->setObjectName(QStringLiteral("btnHilfe"));
    help->setToolTip(tr("Das Benutzerhandbuch zu diesem Fenster (F1)"));
    help->setAutoDefault(false);
    connect(help, &QPushButton::clicked, this, &TOVOForm::showHelp);
    row->addWidget(help);
    // What the last save wrote, for a window that stays open after it.
    m_statusLine = new QLabel(this);
    m_statusLine->setObjectName(QStringLiteral("lblStatus"));
    row->addWidget(m_statusLine, 1);
    for (QPushButton *button : {buttons.save, buttons.close}) {
        button->setAutoDefault(false);
        row->addWidget(button);
    }
    layout->addLayout(row);

    buttons.saveAction = connectSave(buttons.save, QStringLiteral("actBuchen"),
                                     QStringLiteral("btnBuchenClick"), save);
    connect(buttons.close, &QPushButton::clicked, this, &QDialog::reject);
    return buttons;
}

QAction *TOVOForm::addNextPageKey(QTabWidget *pages, const QString &actionName,
                                  const QString &operation)
{
    return addGuardedAction(actionName, QKeySequence(Qt::Key_F4), operation, [pages] {
        pages->setCurrentIndex((pages->currentIndex() + 1) % pages->count());
    });
}

bool TOVOForm::event(QEvent *event)
{
    // The show event comes before the window appears: a window made for a larger screen
    // shrinks before anyone sees it.
    if (event->type() == QEvent::Show && !m_fitted && isWindow()) {
        m_fitted = true;
        fitIntoScreen();
    }
    const bool handled = QDialog::event(event);
    // After the window's own show handler: it has loaded what it edits.
    if (event->type() == QEvent::Show && m_historyButton) {
        // A window that cannot name its records now offers no history; it is logged, since the
        // user asked for nothing.
        bool offered = false;
        guard(
                QStringLiteral("editedRecords"), [&] { offered = !editedRecords().isEmpty(); },
                false);
        m_historyButton->setVisible(offered);
        m_historyAction->setEnabled(offered);
    }
    return handled;
}

void TOVOForm::fitIntoScreen()
{
    const QScreen *shownOn = screen();
    if (!shownOn)
        return;
    // Before the first show the frame is not known yet; a title bar and borders take this much.
    constexpr int TitleBar = 32;
    constexpr int Border = 4;
    const QRect room = shownOn->availableGeometry();
    const QSize most(room.width() - 2 * Border, room.height() - TitleBar - Border);
    if (width() > most.width() || height() > most.height())
        resize(qMin(width(), most.width()), qMin(height(), most.height()));
    QRect frame(pos(), QSize(width() + 2 * Border, height() + TitleBar + Border));
    if (frame.right() > room.right())
        frame.moveRight(room.right());
    if (frame.bottom() > room.bottom())
        frame.moveBottom(room.bottom());
    if (frame.left() < room.left())
        frame.moveLeft(room.left());
    if (frame.top() < room.top())
        frame.moveTop(room.top());
    if (frame.topLeft() != pos())
        move(frame.topLeft());
}

bool TOVOForm::hasUnsavedChanges() const
{
    return m_rememberedInputs && *m_rememberedInputs != inputState();
}

QStringList TOVOForm::inputState() const
{
    QStringList state;
    for (const QWidget *w : findChildren<QWidget *>()) {
        QString value;
        if (const auto *edit = qobject_cast<const QLineEdit *>(w)) {
            if (qobject_cast<const QComboBox *>(edit->parentWidget()) || edit->isReadOnly())
                continue;
            value = edit->text();
        } else if (const auto *text = qobject_cast<const QPlainTextEdit *>(w)) {
            value = text->toPlainText();
        } else if (const auto *list = qobject_cast<const QComboBox *>(w)) {
            value = list->currentText();
        } else if (const auto *button = qobject_cast<const QAbstractButton *>(w)) {
            if (!button->isCheckable())
                continue;
            value = button->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
        } else {
            continue;
        }
        state << w->objectName() + u'=' + value;
    }
    // By name: showing a page may reorder a window's children.
    state.sort();
    return state;
}

void TOVOForm::reject()
{
    if (isVisible() && hasUnsavedChanges()) {
        OVOInfo *info = messageService();
        if (info
            && info->ShowText(MessageKind::Question,
                              tr("Änderungen verwerfen?\n\nDie Änderungen in diesem Fenster "
                                 "sind nicht gebucht."))
                       != Answer::Yes)
            return;
    }
    QDialog::reject();
}

void TOVOForm::nameWorkstationInTitle(int rnr)
{
    MainWindowContext *main = MainWindowContext::instance();
    if (!main)
        return;
    if (m_titleWithoutWorkstation.isEmpty())
        m_titleWithoutWorkstation = windowTitle();
    const TRVRInfoUmfang entry = main->host().workstations().GetRNrUmfang(rnr);
    setWindowTitle(m_titleWithoutWorkstation + QStringLiteral(" - ") + RVRTab::displayName(entry));
}
