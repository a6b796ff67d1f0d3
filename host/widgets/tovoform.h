#pragma once

#include "core/app/auditlog.h"

#include <QDialog>
#include <QKeySequence>

#include <functional>
#include <optional>

struct EditedRecord;
class InputHistory;
class OVOInfo;
class QAction;
class QBoxLayout;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// Base of every window: a dialog that knows its own name for error locations and owns the
// one exception guard. Handlers run their body inside guard(), which hands any exception to
// the message service with the location "<Class>.<operation>" and keeps the window open.
class TOVOForm : public QDialog
{
    Q_OBJECT
public:
    explicit TOVOForm(QWidget *parent = nullptr);
    ~TOVOForm() override;

    // Names the window (object name, and the class name for error locations as the class
    // calling it is: every window calls it in its own constructor).
    void OVOFormInit(const QString &componentName, bool flag = true);

    QString className() const { return location(QString()).chopped(1); }
    QString location(const QString &operation) const;

    // Runs fn; returns false when it threw. show=false only logs (used while destroying).
    bool guard(const QString &operation, const std::function<void()> &fn, bool show = true);

    // Runs a save handler guarded and records it in the audit log as auditedSave() describes
    // it: when it wrote to the store, or when it failed. A handler that wrote nothing (a save
    // refused with a message, a window that only chooses) leaves no line.
    // A save that finds a record changed since the window loaded it writes nothing and asks
    // the user (see askAboutLostUpdate).
    bool runSave(const QString &operation, const std::function<void()> &save);
    // Says where the user looks what a save wrote: the window's own status line and the main
    // window's.
    void reportSaved(const AuditEvent &event);
    // A save button and its F5 action (named actionName) running the save through runSave().
    QAction *connectSave(QPushButton *button, const QString &actionName, const QString &operation,
                         const std::function<void()> &save);
    // The document type and section the window edits, as the menus name them; the window that
    // opens an editor sets it.
    void setAuditSection(const QString &section) { m_auditSection = section; }
    QString auditSection() const { return m_auditSection; }
    // The section for the audit log: what the menus call it and the stored section identifier.
    QString auditedSection(const QString &kennung) const;

    // An action with a shortcut (F5, F4, ...) running the handler as it is.
    QAction *addKeyAction(const QString &name, const QKeySequence &key,
                          const std::function<void()> &handler);
    // An action with a shortcut (F5, F4, ...) whose handler runs guarded.
    QAction *addGuardedAction(const QString &name, const QKeySequence &key,
                              const QString &operation, const std::function<void()> &fn);

    // The frame every editor and settings window shares: a dialog with a title bar and a close
    // button at its starting size.
    void setUpDialogFrame(const QSize &size = {});
    // The window's headline "lblUeberschrift": bold, a third larger than the text.
    QLabel *createHeadline();
    static QLabel *boldLabel(const QString &text, QWidget *parent);
    // A short entry field in a row of a form grid: its caption (with the field as buddy) in
    // column 0, the field in column 1, taking only what the pattern matches.
    struct LabelledField
    {
        QLabel *caption;
        QLineEdit *edit;
    };
    static LabelledField addLabelledField(QGridLayout *grid, int row, const QString &name,
                                          const QString &caption, const QString &pattern,
                                          int maxLength, int width);

    // The row that ends a window: a stretch, the save button "btnBuchen" whose handler also
    // runs on F5 ("actBuchen") as "btnBuchenClick", and the button that closes the window
    // unsaved ("btnAbbrechen" "Abbrechen" unless named).
    struct SaveButtons
    {
        QPushButton *save;
        QPushButton *close;
        QAction *saveAction;
    };
    struct CloseButton
    {
        QString name;
        QString caption;
        QString toolTip;
    };
    SaveButtons addSaveButtons(QBoxLayout *layout, const QString &saveToolTip,
                               const std::function<void()> &save,
                               const CloseButton &close = CloseButton());
    // The window names the workstation it acts on in its title: "<title> - Rechner 3 Kasse 1".
    void nameWorkstationInTitle(int rnr);
    // F4 turns to the next of the pages, after the last to the first.
    QAction *addNextPageKey(QTabWidget *pages, const QString &actionName, const QString &operation);

    // Connects a signal to a handler of this window that runs guarded under the operation's
    // name, so that the name stands once beside its handler.
    template<typename Sender, typename Signal, typename Form>
    void connectGuarded(Sender *sender, Signal signal, const char *operation,
                        void (Form::*handler)())
    {
        const QString name = QString::fromLatin1(operation);
        connect(sender, signal, this, [this, name, handler] {
            guard(name, [this, handler] { (static_cast<Form *>(this)->*handler)(); });
        });
    }

    // Esc, "Abbrechen" and closing: a window whose edits are not saved asks once whether to
    // throw them away ("Nein", keep editing, is the default).
    void reject() override;

    // Undo and redo over the window's inputs ("actRueckgaengig" Ctrl+Z, "actWiederholen"
    // Ctrl+Y and Ctrl+Shift+Z), from what the window shows now. A window starts it once it
    // shows what it loaded; null before.
    void startInputHistory();
    InputHistory *inputHistory() const { return m_history; }
    QAction *undoAction() const { return m_undoAction; }
    QAction *redoAction() const { return m_redoAction; }

    // F1 ("actHilfe") and the "Hilfe" button: the user guide at this window's chapter.
    void showHelp();

    // "Verlauf..." ("btnVerlauf" beside the save button, "actVerlauf" Ctrl+H): the saved
    // versions of the records the window edits, their differences to what it shows and their
    // restoring. Offered by every window with a save button that names records it edits.
    void showHistory();
    virtual QList<EditedRecord> editedRecords();
    // One of those records as the window shows it now, as a save would store it...
    virtual QStringList shownVersion(const EditedRecord &record);
    // ...and a stored version of it put into the controls as the user's edit: nothing is
    // saved, undo takes it back, closing asks.
    virtual void showVersion(const EditedRecord &record, const QStringList &list);

    // The window's status line ("lblStatus" in the row of its save buttons); null when the
    // window has none.
    QLabel *statusLine() const { return m_statusLine; }

protected:
    static OVOInfo *messageService();
    // The run's audit log; null without a main window.
    static const AuditLog *auditLog();
    // What a save of this window wrote, for the audit log: by default a settings record of the
    // workstation being edited, named by the window's title.
    virtual std::optional<AuditEvent> auditedSave() const;
    // Whether the window holds edits that closing would lose: by default, whether any entry
    // field, list or switch differs from when the window called rememberInputs().
    virtual bool hasUnsavedChanges() const;
    // Called once the window shows what it loaded, and after each save it stays open for.
    void rememberInputs();
    QStringList inputState() const;
    // The first show fits the window into its screen's free area, title bar included.
    bool event(QEvent *event) override;
    void fitIntoScreen();

private:
    bool runAuditedSave(const QString &operation, const std::function<void()> &save);

    QString m_className;
    bool m_fitted = false;
    std::optional<QStringList> m_rememberedInputs;
    QString m_titleWithoutWorkstation;
    QString m_auditSection;
    InputHistory *m_history = nullptr;
    QAction *m_undoAction = nullptr;
    QAction *m_redoAction = nullptr;
    QLabel *m_statusLine = nullptr;
    QPushButton *m_historyButton = nullptr;
    QAction *m_historyAction = nullptr;
    void addHistoryButton(QPushButton *beside);
};
