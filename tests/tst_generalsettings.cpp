#include "core/app/workstationsetup.h"
#include "core/format/devicepresets.h"
#include "core/model/textfunctions.h"
#include "settings/allgeinstellungenfrm.h"
#include "tests/support/guisupport.h"
#include "widgets/buttonmenu.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace {

const QString Printer = QStringLiteral("TM-T88");
const QString OtherPrinter = QStringLiteral("TM-U200B");

// The template workstation's records beside the demo store's own (AKTBONDR and SEITEEIN
// under the printer): device records in odd letter cases, a record of another printer, and
// a record that workstation 3 already has.
void putTemplate(TestInstallation &installation)
{
    installation.putList(QStringLiteral("BONPOS"), 0, Printer, {QStringLiteral("Vorlage Pos")});
    installation.putList(QStringLiteral("BONKOPF"), 0, Printer, {QStringLiteral("Vorlage Kopf")});
    installation.putList(QStringLiteral("aktBonDr"), 0, Printer, {QStringLiteral("Drucker")});
    installation.putList(QStringLiteral("Display"), 0, Printer, {QStringLiteral("Anzeige")});
    installation.putList(QStringLiteral("BONPOS"), 0, OtherPrinter, {QStringLiteral("anders")});
    installation.putList(QStringLiteral("BONPOS"), 3, Printer, {QStringLiteral("eigene Pos")});
}

QStringList keysOf(TestInstallation &installation, int rnr)
{
    QStringList keys;
    for (const LayoutRecord &r : installation.host().layouts().keys({rnr, rnr, std::nullopt}))
        keys << r.key.kennung + u'/' + r.key.printerKey + u'/' + r.filler;
    return keys;
}

void failWritesOf(TestInstallation &installation, const QString &table, const QString &when)
{
    TestStore::refuseWrites(installation.host().store(), table, when);
}

// The demo store's workstations and template printer, without the shop's designs: the tests
// put the template they set up from.
TestInstallation::Options withoutDemoShop()
{
    TestInstallation::Options options;
    options.demoShop = false;
    return options;
}

struct Fixture
{
    explicit Fixture(int rnr = 3, int startMode = 1)
        : installation(withoutDemoShop())
        , main(installation, rnr, startMode)
    {
        window.setWorkstation(rnr);
        window.setEngine(&main.engine());
        window.setStartMode(startMode);
    }

    void click(const QString &button) { window.btnMenuClick(button); }
    // Closes the next modal window with the given result; records which window it was.
    void answerModal(int result)
    {
        whenModal<QDialog>(
                [this, result](QDialog *dialog) {
                    modalClass = QString::fromLatin1(dialog->metaObject()->className());
                    dialog->QDialog::done(result);
                },
                ModalExpected::Maybe);
    }

    TestInstallation installation;
    FakeMainWindow main;
    TfrmAllgEinstellungen window;
    QString modalClass;
};

} // namespace

class TestGeneralSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { KASSOTYP_SKIP_WITHOUT_TEST_STORE(); }
    void setupFromTemplate_data();
    void setupFromTemplate();
    void workstationZeroIsNeverSetUp();
    void illegalModeIsAnError();
    void setupIsAllOrNothing();
    void cancelledSetupSaysSo();
    void copyTakesEverythingOfTheSource();
    void bulkWritesLeaveNoLargeLog();
    void copyWindowCopiesChosenSource();
    void testButtonsOnlyForTills_data();
    void testButtonsOnlyForTills();
    void rightsDependOnStartMode_data();
    void rightsDependOnStartMode();
    void driverWindowThenAutomaticSetup_data();
    void driverWindowThenAutomaticSetup();
    void deviceTests();
    void closingHidesAndKeepsItClosed_data();
    void closingHidesAndKeepsItClosed();
    void screenshot();
};

void TestGeneralSettings::setupFromTemplate_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QString>("ownPos");
    QTest::addColumn<int>("written");

    // Never AKTBONDR or DISPLAY in any letter case, never another printer's records.
    QTest::newRow("default setup replaces existing records")
            << "btnDruckerVorgabeEinstellen" << true
            << QStringList{"BONKOPF/TM-T88/Default", "BONPOS/TM-T88/Default",
                           "SEITEEIN/TM-T88/Default"}
            << "Vorlage Pos" << 3;
    QTest::newRow("automatic setup adds only what is missing")
            << "btnDruckerAutomatischEinstellen" << false
            << QStringList{"BONKOPF/TM-T88/AutoWert", "BONPOS/TM-T88/", "SEITEEIN/TM-T88/AutoWert"}
            << "eigene Pos" << 2;
    QTest::newRow("default setup answered No changes nothing")
            << "btnDruckerVorgabeEinstellen" << false << QStringList{"BONPOS/TM-T88/"}
            << "eigene Pos" << -1;
}

void TestGeneralSettings::setupFromTemplate()
{
    QFETCH(QString, button);
    QFETCH(bool, answerYes);
    QFETCH(QStringList, records);
    QFETCH(QString, ownPos);
    QFETCH(int, written);

    Fixture f;
    putTemplate(f.installation);
    const QStringList templateBefore = keysOf(f.installation, 0);
    f.installation.messages().setNextAnswer(answerYes ? Answer::Yes : Answer::No);
    f.click(button);

    QCOMPARE(keysOf(f.installation, 3), records);
    QCOMPARE(f.installation.list("BONPOS", 3, Printer), QStringList{ownPos});
    QCOMPARE(keysOf(f.installation, 0), templateBefore);
    QCOMPARE(f.installation.messages().sawMessage(1024), button.contains("Vorgabe"));
    // The user learns how many records were written.
    QCOMPARE(f.installation.messages().shown().last().text.contains(QString::number(written)
                                                                    + " Layoutsätze angelegt"),
             written >= 0);
}

void TestGeneralSettings::workstationZeroIsNeverSetUp()
{
    Fixture f(0, 2);
    putTemplate(f.installation);
    const QStringList before = keysOf(f.installation, 0);
    f.installation.messages().setNextAnswer(Answer::Yes);
    f.click("btnDruckerVorgabeEinstellen");
    f.click("btnDruckerAutomatischEinstellen");

    QCOMPARE(keysOf(f.installation, 0), before);
    // Only the question before the default setup; the setups end silently.
    QCOMPARE(f.installation.messages().count(), 1);
    QCOMPARE(SaetzeAnlegen(f.installation.host(), 0, Printer, SetupDefault), 0);
    QCOMPARE(keysOf(f.installation, 0), before);
}

void TestGeneralSettings::illegalModeIsAnError()
{
    Fixture f;
    try {
        f.window.SaetzeAnlegen(3);
        QFAIL("mode 3 was accepted");
    } catch (const IllegalParameterError &e) {
        QCOMPARE(e.place(), QStringLiteral("TfrmAllgEinstellungen.SaetzeAnlegen"));
    }
    try {
        GetFiller(0);
        QFAIL("filler of mode 0");
    } catch (const IllegalParameterError &e) {
        QCOMPARE(e.place(), QStringLiteral("GetFiller"));
    }
    QCOMPARE(keysOf(f.installation, 3), QStringList{});
}

void TestGeneralSettings::setupIsAllOrNothing()
{
    TestInstallation installation(withoutDemoShop());
    putTemplate(installation);
    for (int i = 0; i < 60; ++i)
        installation.putList(QStringLiteral("SEC%1").arg(i, 2, 10, QChar(u'0')), 0, Printer,
                             {QString::number(i)});
    failWritesOf(installation, "layout_records", "NEW.kennung = 'SEC30' AND NEW.rnr = 5");
    const QStringList before = keysOf(installation, 5);

    QList<int> totals;
    const auto progress = [&](int, int total) {
        totals << total;
        return true;
    };
    QVERIFY_THROWS_EXCEPTION(
            std::exception, SaetzeAnlegen(installation.host(), 5, Printer, SetupDefault, progress));
    QCOMPARE(keysOf(installation, 5), before);
    QCOMPARE(totals.value(0), 63); // 60 + BONPOS, BONKOPF, SEITEEIN
}

void TestGeneralSettings::cancelledSetupSaysSo()
{
    Fixture f;
    for (int i = 0; i < 60; ++i)
        f.installation.putList(QStringLiteral("SEC%1").arg(i), 0, Printer, {QString::number(i)});
    // A long setup shows its progress; cancelling it there leaves the workstation as it was.
    QTimer::singleShot(0, &f.window, [&f] {
        auto *progress = f.window.findChild<QProgressDialog *>("dlgFortschritt");
        QVERIFY(progress);
        progress->cancel();
    });
    f.click("btnDruckerAutomatischEinstellen");

    QCOMPARE(keysOf(f.installation, 3), QStringList{});
    QVERIFY(f.installation.messages().sawMessage(1027));
}

void TestGeneralSettings::copyTakesEverythingOfTheSource()
{
    TestInstallation installation;
    installation.givePrinter(3, Printer);
    installation.putList("BONPOS", 3, Printer, {"Pos 3"});
    installation.putList("BONPOS", 3, OtherPrinter, {"Pos 3 anders"});
    installation.putList("DISPLAY", 3, "DISPLAY", {"Anzeige 3"});
    installation.putList("SEITEEIN", 3, Printer, {"8"});
    installation.putList("BONPOS", 4, Printer, {"Pos 4"});
    installation.putList("BONKOPF", 4, Printer, {"nur 4"});
    OVOParameter &parameters = installation.host().parameters();
    parameters.StringParamWrite("BONSBONA", "2", 3);
    parameters.StringParamWrite("BONSBONA", "1", 4);
    parameters.StringParamWrite("TESTBON", "N", 4);
    const QStringList templateBefore = keysOf(installation, 0);

    Copy_Rechner_Einstellungen(installation.host(), 3, {4, 3, 0, 5, 4}, false);

    const QStringList copied = keysOf(installation, 3);
    QCOMPARE(copied.size(), 5);
    QCOMPARE(keysOf(installation, 5), copied);
    // The target's records of other keys stay; those of the source's keys are replaced.
    QStringList expected4 = copied + QStringList{"BONKOPF/TM-T88/"};
    expected4.sort();
    QCOMPARE(keysOf(installation, 4), expected4);
    QCOMPARE(installation.list("BONPOS", 4, Printer), QStringList{"Pos 3"});
    QCOMPARE(installation.list("AKTBONDR", 5, "AKTIV"), installation.list("AKTBONDR", 3, "AKTIV"));
    QCOMPARE(parameters.StringParamRead("BONSBONA", 4), QStringLiteral("2"));
    QCOMPARE(parameters.StringParamRead("TESTBON", 4), QStringLiteral("N"));
    QCOMPARE(parameters.StringParamRead("BONSBONA", 5), QStringLiteral("2"));
    QCOMPARE(keysOf(installation, 0), templateBefore);

    // One transaction for all targets: a refused write for the last leaves the first as it was.
    failWritesOf(installation, "parameters", "NEW.rnr = 2");
    parameters.StringParamWrite("BONSBONA", "5", 3);
    QVERIFY_THROWS_EXCEPTION(StoreError,
                             Copy_Rechner_Einstellungen(installation.host(), 3, {4, 2}, false));
    QCOMPARE(parameters.StringParamRead("BONSBONA", 4), QStringLiteral("2"));
    QCOMPARE(keysOf(installation, 2), QStringList{});
}

void TestGeneralSettings::copyWindowCopiesChosenSource()
{
    Fixture f(1);
    f.installation.putList("BONPOS", 3, Printer, {"Pos 3"});
    QString target;
    whenModal<QDialog>([&f, &target](QDialog *dialog) {
        QVERIFY(dialog->inherits("TfrmCopyOptions"));
        auto *sources = dialog->findChild<QListWidget *>("lblRechner");
        auto *targets = dialog->findChild<QListWidget *>("chbRechner");
        QVERIFY(sources && targets && sources->count() == 3);
        sources->setCurrentRow(0);                    // workstation 3
        targets->item(1)->setCheckState(Qt::Checked); // workstation 4
        target = targets->item(1)->text();
        // The targets are named before they are overwritten; "Nein" goes back to the choice.
        auto *save = dialog->findChild<QPushButton *>("btnBuchen");
        QTest::mouseClick(save, Qt::LeftButton);
        QVERIFY(dialog->isVisible());
        f.installation.messages().setNextAnswer(Answer::Yes);
        QTest::mouseClick(save, Qt::LeftButton);
    });
    f.click("btnDruckerEinstellungenaufandereRechnerkopieren");

    QCOMPARE(f.installation.list("BONPOS", 4, Printer), QStringList{"Pos 3"});
    const QList<RecordingPresenter::Shown> &shown = f.installation.messages().shown();
    QCOMPARE(shown.size(), 3); // asked twice, then message 1032
    QCOMPARE(shown.at(0).kind, MessageKind::Question);
    QVERIFY2(shown.at(0).text.contains(u'\n' + QStringLiteral("- ") + target + u'\n'),
             qPrintable(shown.at(0).text));
    QVERIFY(f.installation.messages().sawMessage(1032));
}

void TestGeneralSettings::testButtonsOnlyForTills_data()
{
    QTest::addColumn<int>("rnr");
    QTest::addColumn<bool>("testsEnabled");

    QTest::newRow("main PC (type 1)") << 1 << false;
    QTest::newRow("back-office PC (type 2)") << 2 << false;
    QTest::newRow("till (type 3)") << 3 << true;
    QTest::newRow("mobile till (type 4)") << 5 << true;
    QTest::newRow("workstation not in the table") << 77 << false;
}

void TestGeneralSettings::testButtonsOnlyForTills()
{
    QFETCH(int, rnr);
    QFETCH(bool, testsEnabled);

    Fixture f(3);
    f.window.showNonModal();
    // The enabling follows the workstation handed over while the window is open.
    f.window.setWorkstation(rnr);
    const QStringList names = TfrmAllgEinstellungen::buttonNames();
    QCOMPARE(names.size(), 8);
    auto *menu = f.window.findChild<TButtonMenu *>("btnMenu");
    QVERIFY(menu);
    QCOMPARE(menu->entry(0).caption, QStringLiteral("Allgemeine Einstellungen"));
    for (const QString &name : names) {
        const bool test = name.startsWith("btnTest");
        QCOMPARE(f.window.isButtonEnabled(name), !test || testsEnabled);
    }
}

void TestGeneralSettings::rightsDependOnStartMode_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("revoked");
    QTest::addColumn<int>("startMode");
    QTest::addColumn<bool>("runs");

    QTest::newRow("automatic setup needs right 70")
            << "btnDruckerAutomatischEinstellen" << 70 << 1 << false;
    QTest::newRow("automatic setup in system mode asks no right")
            << "btnDruckerAutomatischEinstellen" << 70 << 2 << true;
    QTest::newRow("default setup needs right 71")
            << "btnDruckerVorgabeEinstellen" << 71 << 1 << false;
    QTest::newRow("default setup in system mode asks no right")
            << "btnDruckerVorgabeEinstellen" << 71 << 2 << true;
    QTest::newRow("drawer test needs right 73 in system mode too")
            << "btnTestKassenlade" << 73 << 2 << false;
    QTest::newRow("drawer test with right 73") << "btnTestKassenlade" << 0 << 1 << true;
}

void TestGeneralSettings::rightsDependOnStartMode()
{
    QFETCH(QString, button);
    QFETCH(int, revoked);
    QFETCH(int, startMode);
    QFETCH(bool, runs);

    Fixture f(3, startMode);
    putTemplate(f.installation);
    f.installation.host().rights().revoke("tester", 69, revoked);
    f.installation.messages().setNextAnswer(Answer::Yes);
    f.click(button);

    const bool ran = f.main.engine().callLog().contains("KT_DrawerOpen")
                     || keysOf(f.installation, 3).size() > 1;
    QCOMPARE(ran, runs);
    // A refused right ends the action before anything is asked or shown.
    if (!runs)
        QCOMPARE(f.installation.messages().count(), 0);
}

void TestGeneralSettings::driverWindowThenAutomaticSetup_data()
{
    QTest::addColumn<int>("startMode");
    QTest::addColumn<bool>("right91");
    QTest::addColumn<QString>("printer");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("setUp");

    QTest::newRow("OK asks first; yes runs the automatic setup")
            << 1 << true << Printer << int(QDialog::Accepted) << true << true << true << true;
    QTest::newRow("OK asks first; no leaves the workstation as it was")
            << 1 << true << Printer << int(QDialog::Accepted) << true << true << false << false;
    QTest::newRow("Cancel runs no setup")
            << 1 << true << Printer << int(QDialog::Rejected) << true << false << true << false;
    QTest::newRow("OK with the dummy printer TEST runs no setup")
            << 1 << true << "TEST" << int(QDialog::Accepted) << true << false << true << false;
    QTest::newRow("without right 91 the window is not shown")
            << 1 << false << Printer << int(QDialog::Accepted) << false << false << true << false;
    QTest::newRow("system mode shows it without right 91")
            << 2 << false << Printer << int(QDialog::Accepted) << true << true << true << true;
}

void TestGeneralSettings::driverWindowThenAutomaticSetup()
{
    // Catches the template's records written unannounced after the printer settings are saved.
    QFETCH(int, startMode);
    QFETCH(bool, right91);
    QFETCH(QString, printer);
    QFETCH(int, result);
    QFETCH(bool, shown);
    QFETCH(bool, asked);
    QFETCH(bool, yes);
    QFETCH(bool, setUp);

    Fixture f(3, startMode);
    f.installation.givePrinter(3, printer);
    f.installation.putList("BONKOPF", 0, printer, {"Vorlage"});
    if (!right91)
        f.installation.host().rights().revoke("tester", 69, 91);
    f.installation.messages().setNextAnswer(yes ? Answer::Yes : Answer::No);
    f.answerModal(result);
    f.click("btnDruckerKassenladeKundeanzeige");
    QCoreApplication::processEvents();

    QCOMPARE(f.modalClass == "TfrmAllgTreiber", shown);
    const QList<RecordingPresenter::Shown> &messages = f.installation.messages().shown();
    QCOMPARE(!messages.isEmpty() && messages.first().kind == MessageKind::Question, asked);
    // Missing are the header and the printer's page setup; as many are then written.
    if (asked) {
        QVERIFY2(messages.first().text.contains(
                         "Für Rechner 3 Kasse 3 und den Drucker " + printer
                         + " fehlen 2 Layoutsätze. Sollen sie jetzt aus der Vorlage (Rechner 0) "
                           "angelegt werden?"),
                 qPrintable(messages.first().text));
    }
    if (setUp)
        QVERIFY(messages.last().text.contains("wurden 2 Layoutsätze angelegt"));
    QCOMPARE(f.installation.list("BONKOPF", 3, printer).has_value(), setUp);

    // Once the workstation has every record of the template, saving the printer asks nothing.
    if (setUp) {
        f.installation.messages().clear();
        f.answerModal(QDialog::Accepted);
        f.click("btnDruckerKassenladeKundeanzeige");
        QCoreApplication::processEvents();
        QCOMPARE(f.installation.messages().count(), 0);
    }
}

void TestGeneralSettings::deviceTests()
{
    Fixture f(3);
    // The demo installation has no customer display: the user learns it, the error is done.
    f.click("btnTestKundenanzeige");
    QVERIFY(f.installation.messages().sawMessage(1011));
    QCOMPARE(f.installation.host().info().ErrorNumber(), 0);

    f.installation.putList("DISPLAY", 3, "DISPLAY",
                           findPreset(displayPresets(), "DSP8000")->values);
    f.main.engine().clearCallLog();
    f.click("btnTestKundenanzeige");
    f.click("btnTestKassenlade");

    QStringList deviceCalls = f.main.engine().callLog();
    deviceCalls.removeIf([](const QString &call) { return !call.startsWith("K"); });
    QCOMPARE(deviceCalls, (QStringList{"KD_Init", "KD_Clear", "KD_Print", "KD_Print", "KD_Done",
                                       "KT_DrawerOpen"}));
    // Without a port configured the display's bytes go to the spool folder.
    QByteArray shown;
    const QDir spool(f.installation.path("spool"));
    for (const QString &file : spool.entryList({"*.anzeige"}, QDir::Files)) {
        QFile bytes(spool.filePath(file));
        QVERIFY(bytes.open(QIODevice::ReadOnly));
        shown += bytes.readAll();
    }
    const QByteArray date = "Datum:   " + ovo_DateToStr(ovo_Date()).toLatin1();
    QVERIFY2(shown.contains(date), shown.constData());
    QVERIFY(QRegularExpression(R"(Uhrzeit: \d\d:\d\d:\d\d)")
                    .match(QString::fromLatin1(shown))
                    .hasMatch());
}

void TestGeneralSettings::closingHidesAndKeepsItClosed_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Schließen") << "button";
    QTest::newRow("Esc") << "escape";
    QTest::newRow("window frame") << "frame";
}

void TestGeneralSettings::closingHidesAndKeepsItClosed()
{
    QFETCH(QString, how);

    Fixture f;
    f.window.showNonModal();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    QVERIFY(!f.window.closedByUser());
    if (how == "button")
        QTest::mouseClick(f.window.findChild<QPushButton *>("stbSchliessen"), Qt::LeftButton);
    else if (how == "escape")
        QTest::keyClick(&f.window, Qt::Key_Escape);
    else
        f.window.close();

    QVERIFY(f.window.closedByUser());
    QVERIFY(f.window.isHidden());
    f.window.showNonModal();
    QVERIFY(!f.window.closedByUser());
}

void TestGeneralSettings::screenshot()
{
    Fixture f(2);
    f.window.showNonModal();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    QVERIFY(!saveScreenshot(&f.window, "generalsettings").isEmpty());
}

QTEST_MAIN(TestGeneralSettings)
// A copy to many targets is one transaction of megabytes: its write-ahead log must not keep
// that size on disk once the copy is done, nor must a setup's.
void TestGeneralSettings::bulkWritesLeaveNoLargeLog()
{
    if (TestStore::onPostgres())
        QSKIP("the log of an SQLite file");
    TestInstallation installation;
    const QString printer = QStringLiteral("TM-GROSS");
    for (int i = 0; i < 40; ++i)
        installation.putList(QStringLiteral("SEC%1").arg(i), 0, printer,
                             {QString(2000, QChar(u'a' + i % 26))});
    const QString log = installation.storePath() + QStringLiteral("-wal");
    // The 40 saves before it (each with its history row) stay in a log that SQLite reuses;
    // what matters is that the setup's own writes do not stay there.
    const qint64 logBefore = QFileInfo(log).size();
    QCOMPARE(SaetzeAnlegen(installation.host(), 3, printer, SetupDefault), 40);
    QVERIFY2(QFileInfo(log).size() - logBefore < 1024 * 1024,
             qPrintable(QStringLiteral("%1 -> %2").arg(logBefore).arg(QFileInfo(log).size())));
    const qint64 before = QFileInfo(installation.storePath()).size();
    QList<int> targets;
    for (int rnr = 100; rnr < 300; ++rnr)
        targets << rnr;
    Copy_Rechner_Einstellungen(installation.host(), 3, targets, false);
    QCOMPARE(installation.list(QStringLiteral("SEC39"), 299, printer),
             QStringList{QString(2000, QChar(u'a' + 39 % 26))});
    // 200 x 40 records of 2 KB went through the log into the file.
    QVERIFY(QFileInfo(installation.storePath()).size() - before > 10 * 1024 * 1024);
    QCOMPARE(QFileInfo(log).size(), 0);
}

#include "tst_generalsettings.moc"
