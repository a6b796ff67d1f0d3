#pragma once

#include <QString>

class Host;
class TBonPrinter;
class QComboBox;
class PlaceholderPicker;

// What every window reads from the main window: the host services, the one print engine of
// the run, the chosen workstation and the start mode, plus two small services. The main
// window implements it; tests implement it with a fake. It is the program's one global.
class MainWindowContext
{
public:
    virtual ~MainWindowContext() = default;

    virtual Host &host() = 0;
    virtual TBonPrinter &engine() = 0;
    virtual int workstationNumber() const = 0; // RNr of the workstation being edited
    virtual int startMode() const = 0;         // 1 normal, 2 system mode

    // Tells the user that the page setup is missing and opens the paper-width window.
    virtual void paperWidthPrompt(const QString &printerKey) = 0;
    // The program's placeholder picker (none in a run without one).
    virtual PlaceholderPicker *placeholderPicker() = 0;
    // Tells the user in the main window's status line what just happened (a save).
    virtual void showStatus(const QString &text) { Q_UNUSED(text) }
    // Puts the text into the combo box and selects the first entry equal to it.
    virtual void selectByText(QComboBox *combo, const QString &text) = 0;

    static MainWindowContext *instance();
    static void setInstance(MainWindowContext *context);
};

// Shorthand for the program-wide main-window reference; throws when there is none.
MainWindowContext &frmKassotypHaupt();
