#pragma once

#include "widgets/generalsettingswindow.h"
#include "widgets/tovoform.h"

#include <QList>
#include <QStringList>

class Host;
struct OutputResult;
class QComboBox;
class QLabel;
class TButtonMenu;

// "Allgemeine Einstellungen": the menu from which the settings windows are opened, the chosen
// workstation is set up from the template workstation, settings are copied to other
// workstations and the cash drawer and customer display are tested. The main window creates
// it once and shows it beside itself; every action works on the workstation handed to it.
class TfrmAllgEinstellungen : public TOVOForm, public GeneralSettingsWindow
{
    Q_OBJECT
public:
    explicit TfrmAllgEinstellungen(QWidget *parent = nullptr);
    ~TfrmAllgEinstellungen() override;

    // GeneralSettingsWindow
    void setWorkstation(int rnr) override;
    void setEngine(TBonPrinter *engine) override { m_engine = engine; }
    void setStartMode(int startMode) override { m_startMode = startMode; }
    bool closedByUser() const override { return m_closed; }
    void setClosedByUser(bool closed) override { m_closed = closed; }
    void showNonModal() override;

    int workstation() const { return m_rnr; }
    int startMode() const { return m_startMode; }

    // The menu's buttons by name, in menu order.
    static QStringList buttonNames();
    // Index of the named button in the menu (-1 when it is not there).
    int menuIndex(const QString &buttonName) const;
    bool isButtonEnabled(const QString &buttonName) const;

    // A menu click, dispatched by the button's name.
    void btnMenuClick(const QString &buttonName);
    void stbSchliessenClick();
    // Stores the country chosen for the installation.
    void cmbLandChange();

    // Mode 1: default setup, replacing the workstation's records; mode 2: automatic setup,
    // adding the missing ones.
    void SaetzeAnlegen(int mode);

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    struct MenuButton;
    static const QList<MenuButton> &menuButtons();

    void buildWindow();
    void showCountry();
    void rebuildMenu();
    void enableButtons();
    bool hasRight(int function) const;
    bool rightUnlessSystemMode(int function) const;
    TBonPrinter &engine() const;
    Host &host() const;
    // Re-reads the engine's printer settings after a change of the store, dropping the
    // engine errors a missing setup leaves, as the main window does on every change.
    void refreshEngine();
    // Shows what a device test left: its failure as the engine's numbered error, which is
    // then done with, or a warning.
    void reportDevice(const OutputResult &result, int errorNumber);
    // Runs a device's test, recorded in the audit log.
    OutputResult deviceTest(const QString &device, const std::function<OutputResult()> &test);

    void openLocalSettings();
    void openDriverSettings();
    void openPaperWidth();
    void automaticSetup();
    void defaultSetup();
    void copySettings();
    void testDrawer();
    void testDisplay();

    TButtonMenu *m_menu = nullptr;
    QComboBox *m_country = nullptr; // the installation's country
    QLabel *m_headline = nullptr;   // names the workstation and its printer
    TBonPrinter *m_engine = nullptr;
    int m_rnr = 0;
    int m_startMode = 0;
    bool m_closed = false;
};
