// The message service: its catalogue, what reaches the presenter, questions answered in
// advance, pending errors and the log of exceptions.

#include "core/app/messages.h"
#include "tests/support/testinstallation.h"

#include <QFile>
#include <QSet>
#include <QTest>

#include <stdexcept>

namespace {

QString logText(const TestInstallation &inst)
{
    QFile file(inst.path(QStringLiteral("kassotyp.log")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestMessages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { KASSOTYP_SKIP_WITHOUT_TEST_STORE(); }
    void catalogueHoldsEveryMessage();
    void showMeldungReachesThePresenter_data();
    void showMeldungReachesThePresenter();
    void questionsAnswerWhatWasGivenInAdvance_data();
    void questionsAnswerWhatWasGivenInAdvance();
    void fehlerRaiseZeroRaisesOnlyAPendingError_data();
    void fehlerRaiseZeroRaisesOnlyAPendingError();
    void fehlerRaiseCarriesItsParameters();
    void resetErrorSpezResetsOnlyItsNumber_data();
    void resetErrorSpezResetsOnlyItsNumber();
    void registerExceptionLogsTheLocation_data();
    void registerExceptionLogsTheLocation();
};

void TestMessages::catalogueHoldsEveryMessage()
{
    QSet<QString> texts;
    for (int number = 1001; number <= 1040; ++number) {
        const CatalogueMessage *m = catalogueMessage(number);
        QVERIFY2(m, qPrintable(QString::number(number)));
        QCOMPARE(m->number, number);
        QVERIFY2(m->text.size() > 10, qPrintable(QString::number(number)));
        QVERIFY2(!texts.contains(m->text), qPrintable(QString::number(number)));
        texts.insert(m->text);
    }
    QVERIFY(!catalogueMessage(1000));
    QVERIFY(!catalogueMessage(1041));
    QCOMPARE(catalogueMessage(1024)->kind, MessageKind::Question);
    QVERIFY(catalogueText(1001, {QStringLiteral("5")}).contains(QStringLiteral("Rechner 5")));
}

void TestMessages::showMeldungReachesThePresenter_data()
{
    QTest::addColumn<int>("number");
    for (int number : {1028, 1029, 1030, 1031, 1039, 1040})
        QTest::addRow("message %d", number) << number;
}

void TestMessages::showMeldungReachesThePresenter()
{
    QFETCH(int, number);
    TestInstallation inst;
    inst.host().info().ShowMeldung(number, KassotypProgramKey);

    QCOMPARE(inst.messages().count(), 1);
    const QString shown = inst.messages().shown().first().text;
    QVERIFY2(shown.contains(catalogueText(number)), qPrintable(shown));
    QVERIFY2(shown.contains(QStringLiteral("(KASSOTYP %1)").arg(number)), qPrintable(shown));
    QCOMPARE(inst.messages().shown().first().kind, catalogueMessage(number)->kind);
}

void TestMessages::questionsAnswerWhatWasGivenInAdvance_data()
{
    QTest::addColumn<bool>("withPresenter");
    QTest::addColumn<int>("given"); // -1: nothing given
    QTest::addColumn<int>("expected");

    QTest::newRow("yes given") << true << int(Answer::Yes) << int(Answer::Yes);
    QTest::newRow("no given") << true << int(Answer::No) << int(Answer::No);
    QTest::newRow("cancel given") << true << int(Answer::Cancel) << int(Answer::Cancel);
    // Without anyone to ask, a question must never count as agreed.
    QTest::newRow("nobody to ask") << false << -1 << int(Answer::No);
}

void TestMessages::questionsAnswerWhatWasGivenInAdvance()
{
    QFETCH(bool, withPresenter);
    QFETCH(int, given);
    QFETCH(int, expected);

    TestInstallation inst;
    OVOInfo &info = inst.host().info();
    if (!withPresenter)
        info.setPresenter(nullptr);
    if (given >= 0)
        inst.messages().setNextAnswer(Answer(given));
    QCOMPARE(int(info.ShowMeldung(1024)), expected);
    // The answer is used up by the one question.
    if (withPresenter)
        QCOMPARE(info.ShowMeldung(1024), Answer::No);
}

void TestMessages::fehlerRaiseZeroRaisesOnlyAPendingError_data()
{
    QTest::addColumn<int>("situation");
    QTest::addColumn<int>("raised"); // 0: nothing raised

    QTest::newRow("nothing pending") << 0 << 0;
    QTest::newRow("error left by the engine") << 1 << 1002;
    QTest::newRow("error reset before") << 2 << 0;
    QTest::newRow("error already reported") << 3 << 0;
}

void TestMessages::fehlerRaiseZeroRaisesOnlyAPendingError()
{
    QFETCH(int, situation);
    QFETCH(int, raised);

    TestInstallation inst;
    OVOInfo &info = inst.host().info();
    if (situation >= 1)
        info.SetError(1002, QStringLiteral("TBonPrinter.Refresh"), {QStringLiteral("TM-T88")});
    if (situation == 2)
        info.ResetErrorSpez(1002);
    if (situation == 3)
        info.RegisterException(
                QStringLiteral("TfrmLayBonPos.FormShow"),
                OvoError(1002, QStringLiteral("TBonPrinter.Refresh"), info.ErrorText()), false);

    int number = 0;
    QString text;
    try {
        info.FehlerRaise(QStringLiteral("TfrmKassotypHaupt.FormActivate"), 0);
    } catch (const OvoError &e) {
        number = e.number();
        text = e.text();
    }
    QCOMPARE(number, raised);
    if (raised)
        QVERIFY2(text.contains(QStringLiteral("TM-T88")), qPrintable(text));
}

void TestMessages::fehlerRaiseCarriesItsParameters()
{
    TestInstallation inst;
    OVOInfo &info = inst.host().info();
    try {
        info.FehlerRaise(QStringLiteral("TfrmKassotypHaupt.mnuClick"), 1035, QStringLiteral("Bon"),
                         QStringLiteral("Kopf"));
        QFAIL("FehlerRaise returned");
    } catch (const OvoError &e) {
        QCOMPARE(e.number(), 1035);
        QCOMPARE(e.location(), QStringLiteral("TfrmKassotypHaupt.mnuClick"));
        QVERIFY2(e.text().contains(QStringLiteral("\"Bon\" - \"Kopf\"")), qPrintable(e.text()));
    }
    QCOMPARE(info.ErrorNumber(), 1035);
}

void TestMessages::resetErrorSpezResetsOnlyItsNumber_data()
{
    QTest::addColumn<int>("pending");
    QTest::addColumn<int>("reset");
    QTest::addColumn<int>("left");

    QTest::newRow("matching number") << 1002 << 1002 << 0;
    QTest::newRow("other number") << 1002 << 1001 << 1002;
    QTest::newRow("nothing pending") << 0 << 1002 << 0;
}

void TestMessages::resetErrorSpezResetsOnlyItsNumber()
{
    QFETCH(int, pending);
    QFETCH(int, reset);
    QFETCH(int, left);

    TestInstallation inst;
    OVOInfo &info = inst.host().info();
    if (pending)
        info.SetError(pending, QStringLiteral("TBonPrinter.Refresh"));
    info.ResetErrorSpez(reset, KassotypProgramKey);
    QCOMPARE(info.ErrorNumber(), left);
    QCOMPARE(info.ErrorText().isEmpty(), left == 0);
}

void TestMessages::registerExceptionLogsTheLocation_data()
{
    QTest::addColumn<bool>("show");
    QTest::newRow("shown") << true;
    QTest::newRow("not shown") << false;
}

void TestMessages::registerExceptionLogsTheLocation()
{
    QFETCH(bool, show);
    TestInstallation inst;
    inst.host().info().RegisterException(QStringLiteral("TfrmLayBonueber.FormShow"),
                                         std::runtime_error("Datenspeicher weg"), show);

    const QString log = logText(inst);
    QVERIFY2(log.contains(QStringLiteral("TfrmLayBonueber.FormShow")), qPrintable(log));
    QVERIFY2(log.contains(QStringLiteral("Datenspeicher weg")), qPrintable(log));
    QCOMPARE(inst.messages().count(), show ? 1 : 0);
    if (show) {
        const RecordingPresenter::Shown &shown = inst.messages().shown().first();
        QCOMPARE(shown.kind, MessageKind::Error);
        QVERIFY(shown.text.contains(QStringLiteral("TfrmLayBonueber.FormShow")));
        QVERIFY(shown.text.contains(QStringLiteral("Datenspeicher weg")));
    }
}

QTEST_GUILESS_MAIN(TestMessages)
#include "tst_messages.moc"
