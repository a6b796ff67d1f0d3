#include "settings/frmsettingsu.h"
#include "tests/support/guisupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

constexpr int Rnr = 3;

struct Fixture
{
    Fixture()
        : main(installation, Rnr)
    {
    }

    OVOParameter &parameters() { return installation.host().parameters(); }
    void store(const QString &key, const QString &value)
    {
        parameters().StringParamWrite(key, value, Rnr);
    }
    QString stored(const QString &key) { return parameters().StringParamRead(key, Rnr); }
    // Every per-workstation parameter of the workstation, as "KEY=value".
    QStringList storedAll()
    {
        QSqlQuery q = installation.host().store().prepare(
                "SELECT param_key, value FROM parameters WHERE rnr = ? ORDER BY param_key");
        q.addBindValue(Rnr);
        Store::exec(q, "test");
        QStringList all;
        while (q.next())
            all << q.value(0).toString() + u'=' + q.value(1).toString();
        return all;
    }

    TestInstallation installation;
    FakeMainWindow main;
};

QComboBox *list(const TfrmSettings &window, const QString &name)
{
    auto *combo = window.findChild<QComboBox *>(name);
    if (!combo)
        qFatal("no control %s", qPrintable(name));
    return combo;
}

void choose(const TfrmSettings &window, const QString &name, const QString &text)
{
    QComboBox *combo = list(window, name);
    combo->setCurrentIndex(combo->findText(text));
}

} // namespace

class TestLocalSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { KASSOTYP_SKIP_WITHOUT_TEST_STORE(); }
    void loadingSelectsStoredChoice_data();
    void loadingSelectsStoredChoice();
    void returnCountIsRaisedOnLoading_data();
    void returnCountIsRaisedOnLoading();
    void returnCountBelowNormalIsRefused_data();
    void returnCountBelowNormalIsRefused();
    void savingWritesOnlyChangedOptions();
    void refusedWriteKeepsEverythingAndTheWindow();
    void keyboard();
    void screenshot();
};

void TestLocalSettings::loadingSelectsStoredChoice_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");

    QTest::newRow("lower-case j selects Ja") << "ddcBONKOPIE"
                                             << "j"
                                             << "Ja";
    QTest::newRow("ERHOBONA 0 selects 0") << "ddcERHOBONA"
                                          << "0"
                                          << "0";
    QTest::newRow("nothing stored keeps 1 of ERHOBONA") << "ddcERHOBONA"
                                                        << ""
                                                        << "1";
    QTest::newRow("PRGEUEBE has no preselection") << "ddcPRGEUEBE"
                                                  << ""
                                                  << "";
    QTest::newRow("g selects Gesammtsummen") << "ddcPRGEUEBE"
                                             << "g"
                                             << "Gesammtsummen";
    QTest::newRow("a whole word is no first letter") << "ddcBONKOPIE"
                                                     << "Ja"
                                                     << "Nein";
    QTest::newRow("garbage keeps the preselection") << "ddcANZABONA"
                                                    << "\x01xyz"
                                                    << "1";
    QTest::newRow("signpad code B") << "cmbSPBONSTO"
                                    << "B"
                                    << "Ja - MIT Druck des Bons";
    QTest::newRow("signpad takes the first letter") << "cmbSPNULLBO"
                                                    << "Jx"
                                                    << "Ja - OHNE Druck des Bons";
    QTest::newRow("signpad b in lower case selects nothing") << "cmbSPEINNAH"
                                                             << "b"
                                                             << "";
    QTest::newRow("signpad J is not offered for returns") << "cmbSPRUECKU"
                                                          << "J"
                                                          << "";
}

void TestLocalSettings::loadingSelectsStoredChoice()
{
    QFETCH(QString, control);
    QFETCH(QString, stored);
    QFETCH(QString, shown);

    Fixture f;
    f.store(control.mid(3), stored);
    TfrmSettings window;
    QCOMPARE(list(window, control)->currentText(), shown);
    QCOMPARE(list(window, control)->currentIndex() < 0, shown.isEmpty());
}

void TestLocalSettings::returnCountIsRaisedOnLoading_data()
{
    QTest::addColumn<QString>("bons");
    QTest::addColumn<QString>("returns");
    QTest::addColumn<QString>("shown");

    QTest::newRow("3 and 1 opens with 3") << "3"
                                          << "1"
                                          << "3";
    QTest::newRow("2 and 4 stays 4") << "2"
                                     << "4"
                                     << "4";
}

void TestLocalSettings::returnCountIsRaisedOnLoading()
{
    QFETCH(QString, bons);
    QFETCH(QString, returns);
    QFETCH(QString, shown);

    Fixture f;
    f.store("BONSBONA", bons);
    f.store("BORUBONA", returns);
    TfrmSettings window;
    QCOMPARE(list(window, "ddcBORUBONA")->currentText(), shown);
    // Loading never writes.
    QCOMPARE(f.stored("BORUBONA"), returns);
}

void TestLocalSettings::returnCountBelowNormalIsRefused_data()
{
    QTest::addColumn<QString>("bons");
    QTest::addColumn<QString>("returns");
    QTest::addColumn<bool>("saved");

    QTest::newRow("4 and 2 shows 1040") << "4"
                                        << "2" << false;
    QTest::newRow("equal counts are saved") << "4"
                                            << "4" << true;
}

void TestLocalSettings::returnCountBelowNormalIsRefused()
{
    QFETCH(QString, bons);
    QFETCH(QString, returns);
    QFETCH(bool, saved);

    Fixture f;
    TfrmSettings window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    choose(window, "ddcBONSBONA", bons);
    choose(window, "ddcBORUBONA", returns);
    QTest::keyClick(&window, Qt::Key_F5);

    QCOMPARE(f.installation.messages().sawMessage(1040), !saved);
    QCOMPARE(window.isVisible(), !saved);
    QCOMPARE(window.result() == QDialog::Accepted, saved);
    QCOMPARE(f.stored("BONSBONA"), saved ? bons : QString());
}

void TestLocalSettings::savingWritesOnlyChangedOptions()
{
    Fixture f;
    // Every option stored, some as an older program wrote them (lower case, longer text).
    for (const TfrmSettings::Option &option : TfrmSettings::options())
        f.store(option.key, option.signpad() ? QStringLiteral("Nx") : option.choices[1].code);
    f.store("BDVKNANR", "n");
    f.store("PRGEUEBE", "");
    f.store("SPAUSGAB", "");
    const QStringList before = f.storedAll();
    f.main.engine().ReadPrGeUebe();

    {
        TfrmSettings window;
        QVERIFY(list(window, "ddcPRGEUEBE")->currentIndex() < 0);
        QVERIFY(list(window, "cmbSPAUSGAB")->currentIndex() < 0);
        QTest::mouseClick(window.findChild<QPushButton *>("btnOk"), Qt::LeftButton);
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }
    // Nothing chosen and nothing changed: nothing written but the by-name switch.
    QCOMPARE(f.storedAll(), before);
    QVERIFY(!f.parameters().GetBooleanValueByName("ZVTTRDRU"));
    QCOMPARE(f.parameters().GetBoolean3("ZVTTRDRU", -1), std::optional<bool>(false));

    TfrmSettings window;
    choose(window, "ddcPRGEUEBE", "alle Preise");
    choose(window, "cmbSPAUSGAB", "Ja - OHNE Druck des Bons");
    window.findChild<QCheckBox *>("chbZVTTRDRU")->setChecked(true);
    window.actF5Execute();

    QStringList after = before;
    after.replace(after.indexOf("PRGEUEBE="), "PRGEUEBE=A");
    after.replace(after.indexOf("SPAUSGAB="), "SPAUSGAB=J");
    QCOMPARE(f.storedAll(), after);
    QVERIFY(f.parameters().GetBooleanValueByName("ZVTTRDRU"));
    // The engine prints with the new currency option at once.
    QCOMPARE(f.main.engine().prGeUebe(), QStringLiteral("A"));
}

void TestLocalSettings::refusedWriteKeepsEverythingAndTheWindow()
{
    Fixture f;
    TestStore::refuseWrites(f.installation.host().store(), QStringLiteral("parameters"),
                            QStringLiteral("NEW.param_key = 'TESTBON'"));
    TfrmSettings window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    choose(window, "ddcANZABONA", "5");
    QTest::keyClick(&window, Qt::Key_F5);

    QVERIFY(window.isVisible());
    QCOMPARE(list(window, "ddcANZABONA")->currentText(), QStringLiteral("5"));
    QCOMPARE(f.storedAll(), QStringList{});
    QCOMPARE(f.installation.messages().shown().size(), 1);
    QVERIFY(f.installation.messages().shown().first().text.contains("refused by test"));
}

void TestLocalSettings::keyboard()
{
    Fixture f;
    TfrmSettings window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *pages = window.findChild<QTabWidget *>("pgcEinstellungen");
    QCOMPARE(pages->count(), 3);
    QCOMPARE(pages->tabText(0), QStringLiteral("Beleganzahl"));
    for (int expected : {1, 2, 0}) {
        QTest::keyClick(&window, Qt::Key_F4);
        QCOMPARE(pages->currentIndex(), expected);
    }
    choose(window, "ddcANZABONA", "5");
    // A changed window asks before it throws the change away.
    f.installation.messages().setNextAnswer(Answer::Yes);
    QTest::keyClick(&window, Qt::Key_Escape);
    QCOMPARE(f.installation.messages().count(), 1);
    QCOMPARE(f.installation.messages().shown().constFirst().kind, MessageKind::Question);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Rejected));
    QCOMPARE(f.storedAll(), QStringList{});
}

void TestLocalSettings::screenshot()
{
    Fixture f;
    TfrmSettings window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QStringList names = {"beleganzahl", "allgemein", "signpad"};
    auto *pages = window.findChild<QTabWidget *>("pgcEinstellungen");
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        QVERIFY(!saveScreenshot(&window, "localsettings-" + names[i]).isEmpty());
    }
}

QTEST_MAIN(TestLocalSettings)
#include "tst_localsettings.moc"
