#include "core/base/config.h"
#include "settings/SeiteEinr.h"
#include "shell/kassotypu.h"
#include "shell/startup.h"
#include "tests/support/guisupport.h"
#include "widgets/buttonmenu.h"
#include "widgets/messagebox.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QTreeView>

namespace {

TestInstallation::Options onWorkstation(int id, const QStringList &positional = {})
{
    TestInstallation::Options options;
    options.workstationId = id;
    options.positional = positional;
    return options;
}

QStringList itemTexts(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

// Stands in for the general settings window and records what the main window hands it.
class FakeSettingsWindow : public GeneralSettingsWindow
{
public:
    void setWorkstation(int rnr) override { workstations << rnr; }
    void setEngine(TBonPrinter *e) override { engine = e; }
    void setStartMode(int mode) override { startMode = mode; }
    bool closedByUser() const override { return closed; }
    void setClosedByUser(bool value) override { closed = value; }
    void showNonModal() override { ++shown; }

    QList<int> workstations;
    TBonPrinter *engine = nullptr;
    int startMode = 0;
    bool closed = false;
    int shown = 0;
};

// A main window with a fake settings window factory that counts how often it is asked.
struct WindowWithSettings
{
    explicit WindowWithSettings(TestInstallation &installation)
        : window(installation.host(), installation.config().positional)
    {
        window.setSettingsWindowFactory([this] {
            ++created;
            auto fake = std::make_unique<FakeSettingsWindow>();
            settings = fake.get();
            return std::unique_ptr<GeneralSettingsWindow>(std::move(fake));
        });
    }

    void clickEinstellungen()
    {
        auto *button = window.findChild<QPushButton *>(QStringLiteral("btnEinstellungen"));
        QVERIFY(button);
        QVERIFY(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
    }

    TfrmKassotypHaupt window;
    FakeSettingsWindow *settings = nullptr;
    int created = 0;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void startModeComesFromFirstParameter_data();
    void startModeComesFromFirstParameter();
    void workstationListShowsTypeAndNumberSortedWithoutHeadOffice_data();
    void workstationListShowsTypeAndNumberSortedWithoutHeadOffice();
    void workstationListIsEnabledForOfficeTypesOrSystemMode_data();
    void workstationListIsEnabledForOfficeTypesOrSystemMode();
    void ownWorkstationIsPreselectedElseFirstEntry_data();
    void ownWorkstationIsPreselectedElseFirstEntry();
    void startsOnATillAndSaysSo_data();
    void startsOnATillAndSaysSo();
    void greyedEntriesSayWhichWorkstationOffersThem();
    void chosenDocumentTypeStaysInView();
    void changingWorkstationRefreshesEngine();
    void engineErrorsAreResetAfterWorkstationChange_data();
    void engineErrorsAreResetAfterWorkstationChange();
    void engineErrorsOfCreationAreNotShown();
    void missingRightEndsProgramAtActivation_data();
    void missingRightEndsProgramAtActivation();
    void settingsButtonCreatesWindowOnceAndHandsSelection();
    void closedSettingsWindowStaysClosedOnWorkstationChange();
    void qtsOwnDialogsSpeakGerman();
    void fileDialogsShowGermanDatesAndSizes();
    void mistypedStoreIsCreatedOnlyWhenWanted();
    void closeButtonTerminates_data();
    void closeButtonTerminates();
    void paperWidthPromptShowsMessage();
    void selectByTextMatchesExactlyAndCaseSensitive_data();
    void selectByTextMatchesExactlyAndCaseSensitive();
    void emptyWorkstationTableWarnsAndKeepsOwnNumber();
    void captionAndFixedWidth();
    void screenshot();
};

void TestMainWindow::startModeComesFromFirstParameter_data()
{
    QTest::addColumn<QStringList>("positional");
    QTest::addColumn<int>("startMode");

    QTest::newRow("K is normal mode") << QStringList{"K"} << 1;
    QTest::newRow("S is system mode") << QStringList{"S"} << 2;
    QTest::newRow("lower-case k is normal mode") << QStringList{"k"} << 1;
    QTest::newRow("lower-case s is not system mode") << QStringList{"s"} << 1;
    QTest::newRow("no parameter is normal mode") << QStringList{} << 1;
    QTest::newRow("unknown parameter is normal mode") << QStringList{"X"} << 1;
    QTest::newRow("only the first parameter counts") << QStringList{"K", "S"} << 1;
    QTest::newRow("S followed by more parameters") << QStringList{"S", "K"} << 2;
}

void TestMainWindow::startModeComesFromFirstParameter()
{
    QFETCH(QStringList, positional);
    QFETCH(int, startMode);

    TestInstallation installation(onWorkstation(1, positional));
    TfrmKassotypHaupt window(installation.host(), installation.config().positional);

    QCOMPARE(window.startMode(), startMode);
    // The system mode is visible to the user as the template workstation "0" in the list.
    auto *combo = window.findChild<QComboBox *>(QStringLiteral("cmbRechner"));
    QVERIFY(combo);
    QCOMPARE(combo->findText(QStringLiteral("0")) == 0, startMode == 2);
}

void TestMainWindow::workstationListShowsTypeAndNumberSortedWithoutHeadOffice_data()
{
    QTest::addColumn<QStringList>("positional");
    QTest::addColumn<QStringList>("texts");

    const QStringList demo = {"Backoffice-PC 2", "Haupt-PC 1", "Kasse 3", "Kasse 4",
                              "Mobile Kasse 5"};
    QTest::newRow("normal mode") << QStringList{} << demo;
    QTest::newRow("system mode starts with template workstation")
            << QStringList{"S"} << (QStringList{"0"} + demo);
}

void TestMainWindow::workstationListShowsTypeAndNumberSortedWithoutHeadOffice()
{
    QFETCH(QStringList, positional);
    QFETCH(QStringList, texts);

    TestInstallation installation(onWorkstation(1, positional));
    TfrmKassotypHaupt window(installation.host(), installation.config().positional);
    auto *combo = window.findChild<QComboBox *>(QStringLiteral("cmbRechner"));
    QVERIFY(combo);

    QCOMPARE(itemTexts(combo), texts);
    for (int i = 0; i < combo->count(); ++i) {
        // Each entry carries the number it shows; the head office (type 7, number 90) is
        // never offered.
        const QString number = combo->itemText(i).section(u' ', -1);
        QCOMPARE(combo->itemData(i).toInt(), number.toInt());
        QVERIFY(combo->itemData(i).toInt() != 90);
    }
}

void TestMainWindow::workstationListIsEnabledForOfficeTypesOrSystemMode_data()
{
    QTest::addColumn<int>("ownId");
    QTest::addColumn<QStringList>("positional");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("main PC (type 1)") << 1 << QStringList{} << true;
    QTest::newRow("back-office PC (type 2)") << 2 << QStringList{} << true;
    QTest::newRow("till (type 3)") << 3 << QStringList{} << false;
    QTest::newRow("mobile till (type 4)") << 5 << QStringList{} << false;
    QTest::newRow("head office (type 7)") << 90 << QStringList{} << true;
    QTest::newRow("computer not in the table") << 77 << QStringList{} << false;
    QTest::newRow("till in system mode") << 3 << QStringList{"S"} << true;
    QTest::newRow("unknown computer in system mode") << 77 << QStringList{"S"} << true;
}

void TestMainWindow::workstationListIsEnabledForOfficeTypesOrSystemMode()
{
    QFETCH(int, ownId);
    QFETCH(QStringList, positional);
    QFETCH(bool, enabled);

    TestInstallation installation(onWorkstation(ownId, positional));
    TfrmKassotypHaupt window(installation.host(), installation.config().positional);
    auto *combo = window.findChild<QComboBox *>(QStringLiteral("cmbRechner"));
    QVERIFY(combo);
    QCOMPARE(combo->isEnabled(), enabled);
}

void TestMainWindow::ownWorkstationIsPreselectedElseFirstEntry_data()
{
    QTest::addColumn<int>("ownId");
    QTest::addColumn<QStringList>("positional");
    QTest::addColumn<QString>("selectedText");
    QTest::addColumn<int>("rnr");

    // Anything but a till starts on the first till: elsewhere most document types are greyed.
    QTest::newRow("own till") << 4 << QStringList{} << "Kasse 4" << 4;
    QTest::newRow("own main PC in system mode gets the first till")
            << 1 << QStringList{"S"} << "Kasse 3" << 3;
    QTest::newRow("unknown computer gets the first till") << 77 << QStringList{} << "Kasse 3" << 3;
    QTest::newRow("head office is not listed, gets the first till")
            << 90 << QStringList{} << "Kasse 3" << 3;
    QTest::newRow("unknown computer in system mode gets the first till")
            << 77 << QStringList{"S"} << "Kasse 3" << 3;
}

void TestMainWindow::ownWorkstationIsPreselectedElseFirstEntry()
{
    QFETCH(int, ownId);
    QFETCH(QStringList, positional);
    QFETCH(QString, selectedText);
    QFETCH(int, rnr);

    TestInstallation installation(onWorkstation(ownId, positional));
    TfrmKassotypHaupt window(installation.host(), installation.config().positional);
    auto *combo = window.findChild<QComboBox *>(QStringLiteral("cmbRechner"));
    QVERIFY(combo);

    QCOMPARE(combo->currentText(), selectedText);
    QCOMPARE(window.workstationNumber(), rnr);
    QCOMPARE(window.engine().workstation(), rnr);

    // With no entry selected, applying the workstation falls back to the first entry.
    combo->blockSignals(true);
    combo->setCurrentIndex(-1);
    combo->blockSignals(false);
    window.applyWorkstation();
    QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(window.workstationNumber(), combo->itemData(0).toInt());
}

void TestMainWindow::startsOnATillAndSaysSo_data()
{
    QTest::addColumn<int>("ownId");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("said");
    QTest::newRow("this computer is a till")
            << 5 << "Mobile Kasse 5"
            << "Mobile Kasse 5 ist dieser Rechner; seine Layouts werden bearbeitet.";
    QTest::newRow("the main PC starts on the first till")
            << 1 << "Kasse 3"
            << "Dieser Rechner (Haupt-PC 1) ist keine Kasse; gewählt ist die erste Kasse der "
               "Liste, Kasse 3.";
    QTest::newRow("a computer the table does not know")
            << 77 << "Kasse 3"
            << "Dieser Rechner (Rechner 77) ist keine Kasse; gewählt ist die erste Kasse der "
               "Liste, Kasse 3.";
}

void TestMainWindow::startsOnATillAndSaysSo()
{
    QFETCH(int, ownId);
    QFETCH(QString, chosen);
    QFETCH(QString, said);
    TestInstallation installation(onWorkstation(ownId));
    TfrmKassotypHaupt window(installation.host(), {});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.findChild<QComboBox *>(QStringLiteral("cmbRechner"))->currentText(), chosen);
    auto *status = window.findChild<QLabel *>(QStringLiteral("lblStatus"));
    QVERIFY(status->isVisible());
    QCOMPARE(status->text(), said);
    // Every document type of a till can be chosen at once.
    auto *menu = window.findChild<TButtonMenu *>(QStringLiteral("btnMenuLinks"));
    for (int i = 0; i < menu->count(); ++i)
        QVERIFY2(menu->entry(i).enabled, qPrintable(menu->entry(i).caption));
}

void TestMainWindow::greyedEntriesSayWhichWorkstationOffersThem()
{
    // Catches 20 of 23 document types greyed on a main PC with no word why.
    TestInstallation installation;
    TfrmKassotypHaupt window(installation.host(), {});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *combo = window.findChild<QComboBox *>(QStringLiteral("cmbRechner"));
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Up); // from "Kasse 3" to "Haupt-PC 1"
    QCOMPARE(combo->currentText(), QStringLiteral("Haupt-PC 1"));
    QVERIFY2(window.statusText().contains(QStringLiteral("keine Kasse")),
             qPrintable(window.statusText()));

    auto *menu = window.findChild<TButtonMenu *>(QStringLiteral("btnMenuLinks"));
    int greyed = -1;
    int offered = -1;
    for (int i = 0; i < menu->count(); ++i) {
        const TButtonMenu::Entry &e = menu->entry(i);
        if (e.kind == TButtonMenu::Kind::Menu && !e.enabled && greyed < 0)
            greyed = i;
        if (e.kind == TButtonMenu::Kind::Menu && e.enabled && offered < 0)
            offered = i;
    }
    QVERIFY(greyed >= 0 && offered >= 0);
    const QString why = QStringLiteral("„%1“ gibt es nur an einer Kasse (Kasse oder Mobile Kasse); "
                                       "Haupt-PC 1 ist keine Kasse. Wählen Sie oben eine Kasse.")
                                .arg(menu->entry(greyed).caption);

    // Pointing at it says why in the status line and in its tooltip.
    const QPoint at = menu->entryRect(greyed).center();
    QTest::mouseMove(menu, at);
    QTRY_COMPARE(window.statusText(), why);
    QHelpEvent help(QEvent::ToolTip, at, menu->mapToGlobal(at));
    QApplication::sendEvent(menu, &help);
    QCOMPARE(QToolTip::text(), why);
    QTest::mouseMove(menu, menu->entryRect(offered).center());
    QTRY_VERIFY(window.statusText() != why);

    // A click on it opens nothing and says why as well.
    QTest::mouseClick(menu, Qt::LeftButton, {}, at);
    QCOMPARE(window.statusText(), why);
    QCOMPARE(window.findChild<TButtonMenu *>(QStringLiteral("btnMenuRechts"))->count(), 0);
    QVERIFY(window.findChild<QLabel *>(QStringLiteral("lblHinweis"))->isVisible());
}

void TestMainWindow::chosenDocumentTypeStaysInView()
{
    // Catches "Bon" out of sight at the window's smallest height.
    TestInstallation installation;
    TfrmKassotypHaupt window(installation.host(), {});
    window.resize(604, 5000);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *menu = window.findChild<TButtonMenu *>(QStringLiteral("btnMenuLinks"));
    auto *area = window.findChild<QScrollArea *>(QStringLiteral("scbMenuLinks"));
    const int bon = menu->indexOfTag(13);
    QCOMPARE(menu->entry(bon).caption, QStringLiteral("Bon"));
    const auto inView = [&] {
        const QRect entry = menu->entryRect(bon);
        const QRect seen(menu->mapTo(area->viewport(), entry.topLeft()), entry.size());
        return area->viewport()->rect().contains(seen);
    };
    QVERIFY(inView());
    QVERIFY(window.findChild<QLabel *>(QStringLiteral("lblHinweis"))->isVisible());

    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->entryRect(bon).center());
    QCOMPARE(window.chosenDocumentType(), 13);
    QVERIFY(!window.findChild<QLabel *>(QStringLiteral("lblHinweis"))->isVisible());
    window.resize(604, 100);
    QTRY_VERIFY(inView());
}

void TestMainWindow::changingWorkstationRefreshesEngine()
{
    TestInstallation installation;
    installation.givePrinter(4, QStringLiteral("TM-U200B"));
    TfrmKassotypHaupt window(installation.host(), {});
    auto *combo = window.findChild<QComboBox *>(QStringLiteral("cmbRechner"));
    QVERIFY(combo);

    // The first till, where the window starts, has no printer of its own and uses the
    // template's.
    QCOMPARE(window.engine().Kasso_Typ_Get_LayoutPrinterKey(), QStringLiteral("TM-T88"));
    QCOMPARE(window.engine().printerRecordWorkstation(), 0);

    combo->setCurrentIndex(combo->findData(4));
    QCOMPARE(window.workstationNumber(), 4);
    QCOMPARE(window.engine().workstation(), 4);
    QCOMPARE(window.engine().Kasso_Typ_Get_LayoutPrinterKey(), QStringLiteral("TM-U200B"));
    QCOMPARE(window.engine().printerRecordWorkstation(), 4);

    // The keyboard goes the same way: "Kasse 4" is followed by "Mobile Kasse 5".
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentText(), QStringLiteral("Mobile Kasse 5"));
    QCOMPARE(window.engine().workstation(), 5);
    QCOMPARE(window.engine().Kasso_Typ_Get_LayoutPrinterKey(), QStringLiteral("TM-T88"));
    QCOMPARE(window.engine().printerRecordWorkstation(), 0);
}

void TestMainWindow::engineErrorsAreResetAfterWorkstationChange_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("reset");

    QTest::newRow("first engine error 1001") << 1001 << true;
    QTest::newRow("engine error 1010") << 1010 << true;
    QTest::newRow("last plain engine error 1023") << 1023 << true;
    QTest::newRow("setup question 1024 stays") << 1024 << false;
    QTest::newRow("printer warning 1025 stays") << 1025 << false;
    QTest::newRow("missing print settings 1026") << 1026 << true;
    QTest::newRow("other message 1030 stays") << 1030 << false;
}

void TestMainWindow::engineErrorsAreResetAfterWorkstationChange()
{
    QFETCH(int, error);
    QFETCH(bool, reset);

    TestInstallation installation;
    TfrmKassotypHaupt window(installation.host(), {});
    auto *combo = window.findChild<QComboBox *>(QStringLiteral("cmbRechner"));
    QVERIFY(combo);

    OVOInfo &info = installation.host().info();
    info.SetError(error, QStringLiteral("TBonPrinter.Refresh"), {QStringLiteral("4")});
    combo->setCurrentIndex(combo->findData(4)); // the window starts on workstation 3
    QCOMPARE(window.engine().workstation(), 4);
    QCOMPARE(info.ErrorNumber(), reset ? 0 : error);
    QCOMPARE(installation.messages().count(), 0);
}

void TestMainWindow::engineErrorsOfCreationAreNotShown()
{
    // A template printer record that is too short makes the engine leave error 1004 at
    // creation and at every refresh; the user must not see it, and nothing may stay pending.
    TestInstallation installation;
    installation.putList(QStringLiteral("AKTBONDR"), 0, QStringLiteral("AKTIV"),
                         {QStringLiteral("1"), QStringLiteral("Arial")});
    TfrmKassotypHaupt window(installation.host(), {});

    QCOMPARE(installation.host().info().ErrorNumber(), 0);
    QCOMPARE(installation.messages().count(), 0);
    QVERIFY(window.engine().Kasso_Typ_Get_LayoutPrinterKey().isEmpty());
}

void TestMainWindow::missingRightEndsProgramAtActivation_data()
{
    QTest::addColumn<bool>("granted");

    QTest::newRow("right 69/72 granted") << true;
    QTest::newRow("right 69/72 refused") << false;
}

void TestMainWindow::missingRightEndsProgramAtActivation()
{
    QFETCH(bool, granted);

    TestInstallation installation;
    Host &host = installation.host();
    if (!granted)
        host.rights().revoke(host.rights().userName(), 69, 72);
    TfrmKassotypHaupt window(host, {});
    QVERIFY(!host.program().terminateRequested());

    // Activation as the window system delivers it.
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(host.program().terminateRequested(), !granted);

    // And the handler on its own, as every later activation runs it.
    window.FormActivate();
    QCOMPARE(host.program().terminateRequested(), !granted);
    QCOMPARE(installation.messages().count(), 0); // ends without a message of its own
    // The log says why the program ended.
    QFile log(installation.path(QStringLiteral("kassotyp.log")));
    const QString logged =
            log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    QCOMPARE(logged.contains(QStringLiteral("fehlt das Recht 69/72")), !granted);
}

void TestMainWindow::settingsButtonCreatesWindowOnceAndHandsSelection()
{
    TestInstallation installation(onWorkstation(1, {"S"}));
    WindowWithSettings w(installation);
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    auto *combo = w.window.findChild<QComboBox *>(QStringLiteral("cmbRechner"));
    QVERIFY(combo);
    combo->setCurrentIndex(combo->findData(4));
    QCOMPARE(w.created, 0); // a workstation change alone never creates it

    w.clickEinstellungen();
    QCOMPARE(w.created, 1);
    QVERIFY(w.settings);
    QCOMPARE(w.settings->workstations.value(0), 4);
    QCOMPARE(w.settings->engine, &w.window.engine());
    QCOMPARE(w.settings->startMode, 2);
    QCOMPARE(w.settings->shown, 1);
    QCOMPARE(w.window.settingsWindow(), w.settings);

    // A second press shows the same window again and clears the closed flag.
    w.settings->closed = true;
    w.clickEinstellungen();
    QCOMPARE(w.created, 1);
    QCOMPARE(w.settings->shown, 2);
    QVERIFY(!w.settings->closed);

    // While it is open, a workstation change hands the new selection and keeps it shown.
    combo->setCurrentIndex(combo->findData(5));
    QCOMPARE(w.settings->workstations.last(), 5);
    QCOMPARE(w.settings->shown, 3);
}

void TestMainWindow::closedSettingsWindowStaysClosedOnWorkstationChange()
{
    TestInstallation installation;
    WindowWithSettings w(installation);
    auto *combo = w.window.findChild<QComboBox *>(QStringLiteral("cmbRechner"));
    QVERIFY(combo);
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));

    w.clickEinstellungen();
    QVERIFY(w.settings);
    w.settings->setClosedByUser(true);
    const int shownBefore = w.settings->shown;

    combo->setCurrentIndex(combo->findData(3));
    QCOMPARE(w.settings->workstations.last(), 3);
    QCOMPARE(w.settings->shown, shownBefore);
    QVERIFY(w.settings->closedByUser());

    w.clickEinstellungen();
    QCOMPARE(w.created, 1);
    QCOMPARE(w.settings->shown, shownBefore + 1);
    QCOMPARE(w.settings->workstations.last(), 3);
    QVERIFY(!w.settings->closedByUser());
}

void TestMainWindow::mistypedStoreIsCreatedOnlyWhenWanted()
{
    QTemporaryDir dir;
    ComputerConfig config;
    config.storeLocation = dir.filePath(QStringLiteral("kasse.sqlite.tippfehler"));
    RecordingPresenter presenter;
    presenter.setNextAnswer(Answer::No);
    QVERIFY(!mayCreateStore(config, presenter));
    QCOMPARE(presenter.count(), 1);
    QVERIFY(presenter.shown().constFirst().text.contains(config.storeLocation));
    QVERIFY(!QFileInfo::exists(config.storeLocation));
    presenter.setNextAnswer(Answer::Yes);
    QVERIFY(mayCreateStore(config, presenter));

    // A store that exists, and the default location, open without a question.
    presenter.clear();
    TestInstallation installation;
    config.storeLocation = installation.storePath();
    QVERIFY(mayCreateStore(config, presenter));
    config.storeLocation = ComputerConfig::defaultStorePath();
    QVERIFY(mayCreateStore(config, presenter));
    QCOMPARE(presenter.count(), 0);
}

void TestMainWindow::qtsOwnDialogsSpeakGerman()
{
    QVERIFY2(installGermanQtTranslations(), "qt6-translations-l10n is not installed");
    QMessageBox box(QMessageBox::Question, QStringLiteral("Frage"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Ja"));
    QCOMPARE(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Nein"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text().remove(u'&'), QStringLiteral("Abbrechen"));
}

void TestMainWindow::fileDialogsShowGermanDatesAndSizes()
{
    // Catches the file list's dates and sizes in the locale the program was started in
    // (English ones in the C locale), beside German buttons.
    QVERIFY(installGermanQtTranslations());
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("logo.png")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(QByteArray(1536, 'x')), 1536);
    file.close(); // written before its time is set, which writing would change
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.setFileTime(QDateTime(QDate(2026, 3, 4), QTime(5, 6)),
                             QFileDevice::FileModificationTime));
    file.close();

    std::unique_ptr<QFileDialog> dialog(FileDialogs::create(nullptr, FileDialogs::Purpose::Open,
                                                            QStringLiteral("Logo laden"),
                                                            QStringLiteral("Bilder (*.png)")));
    dialog->setDirectory(dir.path());
    dialog->setViewMode(QFileDialog::Detail);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    auto *view = dialog->findChild<QTreeView *>(QStringLiteral("treeView"));
    QVERIFY(view);
    const QAbstractItemModel *list = view->model();
    QTRY_COMPARE(list->rowCount(view->rootIndex()), 1);
    QCOMPARE(list->index(0, 0, view->rootIndex()).data().toString(), QStringLiteral("logo.png"));
    QTRY_COMPARE(list->index(0, 3, view->rootIndex()).data().toString(),
                 QStringLiteral("04.03.2026 05:06"));
    QCOMPARE(list->index(0, 1, view->rootIndex()).data().toString(), QStringLiteral("1,5 kB"));
    auto *buttons = dialog->findChild<QDialogButtonBox *>();
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text().remove(u'&'),
             QStringLiteral("Abbrechen"));
}

void TestMainWindow::closeButtonTerminates_data()
{
    QTest::addColumn<QString>("how");

    QTest::newRow("click on Schließen") << "click";
    QTest::newRow("Esc key") << "escape";
    QTest::newRow("window close button") << "close";
}

void TestMainWindow::closeButtonTerminates()
{
    QFETCH(QString, how);

    TestInstallation installation;
    TfrmKassotypHaupt window(installation.host(), {});
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(!installation.host().program().terminateRequested());

    if (how == QLatin1String("click")) {
        auto *button = window.findChild<QPushButton *>(QStringLiteral("stbSchliessen"));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    } else if (how == QLatin1String("escape")) {
        QTest::keyClick(&window, Qt::Key_Escape);
    } else {
        window.close();
    }
    QVERIFY(installation.host().program().terminateRequested());
}

void TestMainWindow::paperWidthPromptShowsMessage()
{
    TestInstallation installation;
    TfrmKassotypHaupt window(installation.host(), {});
    QVERIFY(!installation.messages().sawMessage(1039));

    MainWindowContext *context = MainWindowContext::instance();
    QCOMPARE(context, static_cast<MainWindowContext *>(&window));
    // After the message the one shared paper-width window opens for the printer.
    QString remembered;
    QPointer<QWidget> first;
    auto closeIt = [&](TfrmBreiteRaender *w) {
        remembered = w->rememberedPrinter();
        if (!first)
            first = w;
        else
            QCOMPARE(first.data(), static_cast<QWidget *>(w));
    };
    whenModal<TfrmBreiteRaender>(closeIt);
    context->paperWidthPrompt(QStringLiteral("TM-U200B"));
    QVERIFY(installation.messages().sawMessage(1039));
    QCOMPARE(remembered, QStringLiteral("TM-U200B"));
    whenModal<TfrmBreiteRaender>(closeIt);
    context->paperWidthPrompt(QStringLiteral("tm-t88"));
    QCOMPARE(remembered, QStringLiteral("tm-t88"));
}

void TestMainWindow::selectByTextMatchesExactlyAndCaseSensitive_data()
{
    QTest::addColumn<bool>("editable");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index");

    QTest::newRow("exact text") << false << "Arial" << 0;
    QTest::newRow("differs only in case") << false << "arial" << 2;
    QTest::newRow("upper case matches nothing") << false << "ARIAL" << -1;
    QTest::newRow("prefix matches nothing") << false << "Aria" << -1;
    QTest::newRow("longer text matches nothing") << false << "Arial Black Bold" << -1;
    QTest::newRow("first of two equal entries") << false << "Courier" << 3;
    QTest::newRow("unknown text clears selection") << false << "Helvetica" << -1;
    QTest::newRow("editable exact text") << true << "Arial Black" << 1;
    QTest::newRow("editable unknown text") << true << "Helvetica" << -1;
}

void TestMainWindow::selectByTextMatchesExactlyAndCaseSensitive()
{
    QFETCH(bool, editable);
    QFETCH(QString, text);
    QFETCH(int, index);

    TestInstallation installation;
    TfrmKassotypHaupt window(installation.host(), {});
    QComboBox combo;
    combo.setEditable(editable);
    combo.addItems({"Arial", "Arial Black", "arial", "Courier", "Courier"});
    combo.setCurrentIndex(4); // a previous selection must not survive

    window.selectByText(&combo, text);
    QCOMPARE(combo.currentIndex(), index);
    if (editable)
        QCOMPARE(combo.currentText(), text);
}

void TestMainWindow::emptyWorkstationTableWarnsAndKeepsOwnNumber()
{
    TestInstallation installation(onWorkstation(3));
    RVRTab &table = installation.host().workstations();
    for (const TRVRInfoUmfang &entry : table.all())
        QVERIFY(table.remove(entry.RNr));

    TfrmKassotypHaupt window(installation.host(), {});
    auto *combo = window.findChild<QComboBox *>(QStringLiteral("cmbRechner"));
    QVERIFY(combo);
    QCOMPARE(combo->count(), 0);
    QCOMPARE(window.workstationNumber(), 3);
    QCOMPARE(window.engine().workstation(), 3);

    const auto &shown = installation.messages().shown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().kind, MessageKind::Warning);
    QVERIFY2(shown.first().text.contains(QStringLiteral("keinen Rechner")),
             qPrintable(shown.first().text));

    // The window still works: showing and applying again neither crash nor warn again.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.applyWorkstation();
    QCOMPARE(window.workstationNumber(), 3);
    QCOMPARE(installation.messages().count(), 1);
}

void TestMainWindow::captionAndFixedWidth()
{
    TestInstallation installation;
    TfrmKassotypHaupt window(installation.host(), {});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(window.windowTitle(), QStringLiteral("Layoutgestaltung des Kassotyps"));
    QCOMPARE(window.size(), QSize(604, 562));

    window.resize(900, 5000);
    QCOMPARE(window.width(), 604);
    QVERIFY2(window.height() <= 850, qPrintable(QString::number(window.height())));

    window.resize(300, 100);
    QCOMPARE(window.width(), 604);
    QVERIFY2(window.height() >= 562, qPrintable(QString::number(window.height())));
}

void TestMainWindow::screenshot()
{
    TestInstallation installation;
    TfrmKassotypHaupt window(installation.host(), {});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QString file = saveScreenshot(&window, QStringLiteral("mainwindow"));
    const QFileInfo info(file);
    QVERIFY2(info.exists(), qPrintable(file));
    QVERIFY(info.size() > 0);
    const QImage image(file);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size() / image.devicePixelRatio(), window.size());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
