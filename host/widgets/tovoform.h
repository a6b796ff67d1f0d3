#pragma once

#include <QDialog>
#include <QKeySequence>

#include <functional>
#include <optional>

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

protected:
    static OVOInfo *messageService();
    // Whether the window holds edits that closing would lose: by default, whether any entry
    // field, list or switch differs from when the window called rememberInputs().
    virtual bool hasUnsavedChanges() const;
    // Called once the window shows what it loaded.
    void rememberInputs() { m_rememberedInputs = inputState(); }
    QStringList inputState() const;
    // The first show fits the window into its screen's free area, title bar included.
    bool event(QEvent *event) override;
    void fitIntoScreen();

private:
    QString m_className;
    bool m_fitted = false;
    std::optional<QStringList> m_rememberedInputs;
    QString m_titleWithoutWorkstation;
};
