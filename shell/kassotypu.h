#pragma once

#include "core/store/kastfile.h"
#include "shell/editorregistry.h"
#include "widgets/buttonmenu.h"
#include "widgets/generalsettingswindow.h"
#include "widgets/mainwindowcontext.h"
#include "widgets/tovoform.h"

#include <functional>
#include <memory>

class Host;
class TfrmPlatzhalter;
class TfrmBreiteRaender;
class TLayEASY;
class TBonPrinter;
struct FiscalFinding;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QStatusBar;

// The main window: the workstation whose layouts are edited, the menus of document types and
// sections, and the way to the settings. It holds the one print engine of the run.
class TfrmKassotypHaupt : public TOVOForm, public MainWindowContext
{
    Q_OBJECT
public:
    using SettingsWindowFactory = std::function<std::unique_ptr<GeneralSettingsWindow>()>;

    // startArguments: the positional command-line arguments; the first is the start mode.
    TfrmKassotypHaupt(Host &host, const QStringList &startArguments, QWidget *parent = nullptr);
    ~TfrmKassotypHaupt() override;

    // MainWindowContext
    Host &host() override { return m_host; }
    TBonPrinter &engine() override;
    int workstationNumber() const override { return m_rnr; }
    int startMode() const override { return m_startMode; }
    void paperWidthPrompt(const QString &printerKey) override;
    void selectByText(QComboBox *combo, const QString &text) override;
    PlaceholderPicker *placeholderPicker() override;
    void showStatus(const QString &text) override;
    // What the status line says now: a message of the moment, else the standing one.
    QString statusText() const;
    void setPlaceholderPicker(std::unique_ptr<TfrmPlatzhalter> picker);

    double exchangeFactor() const { return m_exchangeFactor; }
    int chosenDocumentType() const { return m_documentType; }
    int chosenCardType() const { return m_cardType; }

    void setSettingsWindowFactory(SettingsWindowFactory factory);
    GeneralSettingsWindow *settingsWindow() const { return m_settingsWindow.get(); }

    // Event handlers, public so that tests can drive them as the toolkit would.
    void FormShow();
    void FormActivate();
    void cmbRechnerChange();
    void btnEinstellungenClick();
    // The check of what the receipts carry for the country, with a way to each section.
    void btnBelegpruefungClick();
    // Chooses the finding's till and document type and opens its section's editor.
    void openSectionOf(const FiscalFinding &finding);
    void stbSchliessenClick();
    void applyWorkstation();
    void alignRightMenus();

    // The section menus.
    void buildDocumentTypeMenu();
    void buildPaymentMenu();
    void enableMenuEntries();
    void btnMenuLinksBtnClick(int index);
    void btnMenuEZBtnClick(int index);
    void btnMenuRechtsBtnClick(int index);
    void btnMenuEZRechtsBtnClick(int index);

    EditorRegistry &editors() { return m_editors; }
    // Runs the test print of a document type; replaced by tests.
    using TestPrintHandler = std::function<void(int documentType)>;
    void setTestPrintHandler(TestPrintHandler handler) { m_testPrint = std::move(handler); }
    // Called with every window the menus open, before it is shown; tests close it there.
    std::function<void(TOVOForm *)> onEditorOpened;

    Tkastfile &kastFile() { return m_kastFile; }

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void buildWindow();
    void fillWorkstationList();
    // This computer's workstation when it is a till, else the first till of the list; says so
    // in the status line.
    void chooseStartWorkstation();
    // What greyed entries of the menus say about why (tooltip and status line).
    void explainEntry(TButtonMenu *menu, int index);
    void handSelectionToSettingsWindow();
    void layoutMenus();
    void openEditor(std::unique_ptr<TOVOForm> editor);
    void openHeadingEditor(int sectionCode, const QString &auditSection);
    // Names the sections the chosen till designs differently from the template workstation 0.
    void showTemplateDifferences();

    Host &m_host;
    Tkastfile m_kastFile;
    std::unique_ptr<TBonPrinter> m_engine;
    std::unique_ptr<GeneralSettingsWindow> m_settingsWindow;
    std::unique_ptr<TfrmPlatzhalter> m_picker;
    std::unique_ptr<TfrmBreiteRaender> m_paperWidthWindow; // shared by the editors' prompts
    std::unique_ptr<TLayEASY> m_cardEditor;                // created on first use, kept
    SettingsWindowFactory m_settingsFactory;
    EditorRegistry m_editors;
    TestPrintHandler m_testPrint;

    double m_exchangeFactor = 1.0;
    int m_documentType = 1;
    int m_cardType = 0;
    int m_rnr = 0;
    int m_startMode = 1;

    QLabel *m_lblRechner = nullptr;
    QComboBox *m_cmbRechner = nullptr;
    QLabel *m_lblVorlage = nullptr; // the sections of the chosen till that differ from the template
    QWidget *m_pnlMenu = nullptr;
    QScrollArea *m_scbMenuLinks = nullptr;
    TButtonMenu *m_btnMenuLinks = nullptr;
    TButtonMenu *m_btnMenuEZ = nullptr;
    TButtonMenu *m_btnMenuRechts = nullptr;
    TButtonMenu *m_btnMenuEZRechts = nullptr;
    QPushButton *m_stbSchliessen = nullptr;
    QPushButton *m_btnEinstellungen = nullptr;
    QPushButton *m_btnBelegpruefung = nullptr;
    QLabel *m_lblHinweis = nullptr; // in the right half until a document type is chosen
    QStatusBar *m_statusBar = nullptr;
    QLabel *m_standingStatus = nullptr;
};
