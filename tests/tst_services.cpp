// Host services the windows call: presets, parameters, rights, booking numbers, currency,
// messages, the computer's configuration, number texts and the built-in device presets.

#include "core/app/config.h"
#include "core/app/messages.h"
#include "core/engine/textfunctions.h"
#include "core/format/devicepresets.h"
#include "core/store/booking.h"
#include "core/store/currency.h"
#include "core/store/formstore.h"
#include "core/store/parameters.h"
#include "core/store/userrights.h"
#include "tests/support/testinstallation.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

namespace {

QString logText(const TestInstallation &inst)
{
    QFile file(inst.path(QStringLiteral("kassotyp.log")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestServices : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { KASSOTYP_SKIP_WITHOUT_TEST_STORE(); }
    void formStoreRestoresWhatWasStored_data();
    void formStoreRestoresWhatWasStored();
    void formStoreKeepsPresetsApart_data();
    void formStoreKeepsPresetsApart();
    void formStoreRemoveAndList();
    void parametersPerWorkstationAndByName();
    void booleanParameterHasThreeStates_data();
    void booleanParameterHasThreeStates();
    void userRights_data();
    void userRights();
    void grantAndRevoke();
    void bookingNumbersCountPerWorkstation();
    void currencyConversion_data();
    void currencyConversion();
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
    void computerConfigSources_data();
    void computerConfigSources();
    void computerConfigOptionsWinOverIni();
    void floatToText_data();
    void floatToText();
    void textToFloat_data();
    void textToFloat();
    void lineBreaksRemoved_data();
    void lineBreaksRemoved();
    void printerPresetTmT88IsExact();
    void printerPresetsDiffer_data();
    void printerPresetsDiffer();
    void pagePresetsAreExact_data();
    void pagePresetsAreExact();
};

// ---- form store ----------------------------------------------------------------------------

void TestServices::formStoreRestoresWhatWasStored_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::newRow("texts with umlauts and euro")
            << QStringList{QStringLiteral("Größe"), QStringLiteral("5 €"), QStringLiteral("fett")};
    QTest::newRow("empty entries in place")
            << QStringList{QString(), QStringLiteral("1"), QString()};
    QTest::newRow("empty list is stored, not missing") << QStringList();
}

void TestServices::formStoreRestoresWhatWasStored()
{
    QFETCH(QStringList, items);
    TestInstallation inst;
    TOVOFormStore writer(inst.host().store());
    writer.SetMaske(QStringLiteral("LAYBONPOS"));
    writer.LayOutListe = items;
    writer.store(QStringLiteral("3"), true);

    TOVOFormStore reader(inst.host().store());
    reader.SetMaske(QStringLiteral("LAYBONPOS"));
    reader.LayOutListe = {QStringLiteral("vorher")};
    QVERIFY(reader.restore(QStringLiteral("3"), true));
    QCOMPARE(reader.LayOutListe, items);
}

void TestServices::formStoreKeepsPresetsApart_data()
{
    QTest::addColumn<QString>("maske");
    QTest::addColumn<QString>("programm");
    QTest::addColumn<QString>("indexName");
    QTest::addColumn<bool>("flag");

    QTest::newRow("other flag") << "LAYBONPOS"
                                << "KASSOTYP"
                                << "3" << false;
    QTest::newRow("other mask") << "LAYBONSUM"
                                << "KASSOTYP"
                                << "3" << true;
    QTest::newRow("other index name") << "LAYBONPOS"
                                      << "KASSOTYP"
                                      << "4" << true;
    QTest::newRow("other program") << "LAYBONPOS"
                                   << "KASSE"
                                   << "3" << true;
}

// Catches presets of tills showing up for office computers (or another editor), and a failed
// restore that leaves the previous list behind for the caller to apply.
void TestServices::formStoreKeepsPresetsApart()
{
    QFETCH(QString, maske);
    QFETCH(QString, programm);
    QFETCH(QString, indexName);
    QFETCH(bool, flag);

    TestInstallation inst;
    TOVOFormStore writer(inst.host().store());
    writer.SetMaske(QStringLiteral("LAYBONPOS"));
    writer.LayOutListe = {QStringLiteral("Kasse")};
    writer.store(QStringLiteral("3"), true);

    TOVOFormStore other(inst.host().store());
    other.SetMaske(maske);
    other.FormName_.Programm = programm;
    other.LayOutListe = {QStringLiteral("vorher")};
    QVERIFY(!other.restore(indexName, flag));
    QVERIFY(other.LayOutListe.isEmpty());
}

void TestServices::formStoreRemoveAndList()
{
    TestInstallation inst;
    TOVOFormStore forms(inst.host().store());
    forms.SetMaske(QStringLiteral("SEITEEIN"));
    QVERIFY(forms.GetStoredForms().isEmpty());
    forms.LayOutListe = {QStringLiteral("6,52")};
    forms.store(QStringLiteral("TM-T88"), false);
    forms.store(QStringLiteral("TM-T88"), true);
    forms.store(QStringLiteral("DEFAULT"), true);

    // Both flags of one name are one entry of the list.
    QCOMPARE(forms.GetStoredForms(),
             (QStringList{QStringLiteral("DEFAULT"), QStringLiteral("TM-T88")}));

    QVERIFY(forms.remove(QStringLiteral("TM-T88"), true));
    QVERIFY(!forms.remove(QStringLiteral("TM-T88"), true));
    QVERIFY(!forms.restore(QStringLiteral("TM-T88"), true));
    QVERIFY(forms.restore(QStringLiteral("TM-T88"), false));
    QCOMPARE(forms.LayOutListe, QStringList{QStringLiteral("6,52")});
    QVERIFY(forms.remove(QStringLiteral("TM-T88"), false));
    QCOMPARE(forms.GetStoredForms(), QStringList{QStringLiteral("DEFAULT")});
}

// ---- parameters ----------------------------------------------------------------------------

void TestServices::parametersPerWorkstationAndByName()
{
    TestInstallation inst;
    OVOParameter &params = inst.host().parameters();
    params.StringParamWrite(QStringLiteral("PRGEUEBE"), QStringLiteral("A"), 3);
    params.StringParamWrite(QStringLiteral("PRGEUEBE"), QStringLiteral("K"), 4);
    params.StringParamWrite(QStringLiteral("PRGEUEBE"), QStringLiteral("G"), 3);
    QCOMPARE(params.StringParamRead(QStringLiteral("PRGEUEBE"), 3), QStringLiteral("G"));
    QCOMPARE(params.StringParamRead(QStringLiteral("PRGEUEBE"), 4), QStringLiteral("K"));
    QCOMPARE(params.StringParamRead(QStringLiteral("PRGEUEBE"), 0), QString());

    QVERIFY(!params.GetBooleanValueByName(QStringLiteral("KTSIGPAD")));
    params.SetBooleanValueByName(QStringLiteral("KTSIGPAD"), true);
    QVERIFY(params.GetBooleanValueByName(QStringLiteral("KTSIGPAD")));
    // A value by name belongs to no workstation, the template included.
    QCOMPARE(params.StringParamRead(QStringLiteral("KTSIGPAD"), 0), QString());
    params.SetBooleanValueByName(QStringLiteral("KTSIGPAD"), false);
    QVERIFY(!params.GetBooleanValueByName(QStringLiteral("KTSIGPAD")));
}

void TestServices::booleanParameterHasThreeStates_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("expected"); // 1 yes, 0 no, -1 unknown

    QTest::newRow("J") << true << "J" << 1;
    QTest::newRow("1") << true << "1" << 1;
    QTest::newRow("true") << true << "true" << 1;
    QTest::newRow("small j with blanks") << true << " j " << 1;
    QTest::newRow("N") << true << "N" << 0;
    QTest::newRow("0") << true << "0" << 0;
    QTest::newRow("FALSE") << true << "FALSE" << 0;
    QTest::newRow("empty value is unknown") << true << "" << -1;
    QTest::newRow("other text is unknown") << true << "vielleicht" << -1;
    QTest::newRow("nothing stored is unknown") << false << "" << -1;
}

void TestServices::booleanParameterHasThreeStates()
{
    QFETCH(bool, write);
    QFETCH(QString, value);
    QFETCH(int, expected);

    TestInstallation inst;
    OVOParameter &params = inst.host().parameters();
    if (write)
        params.StringParamWrite(QStringLiteral("KTBONANZ"), value, 5);
    const std::optional<bool> state = params.GetBoolean3(QStringLiteral("KTBONANZ"), 5);
    QCOMPARE(state ? int(*state) : -1, expected);
    QVERIFY(!params.GetBoolean3(QStringLiteral("KTBONANZ"), 6));
}

// ---- rights, booking, currency -------------------------------------------------------------

void TestServices::userRights_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QList<quint16>>("path");
    QTest::addColumn<bool>("granted");

    for (quint16 function : {70, 71, 72, 73, 91}) {
        QTest::addRow("configured user, function %d", int(function))
                << "tester" << QList<quint16>{69, function} << true;
        QTest::addRow("another user, function %d", int(function))
                << "fremd" << QList<quint16>{69, function} << false;
    }
    QTest::newRow("function not granted") << "tester" << QList<quint16>{69, 74} << false;
    QTest::newRow("other group") << "tester" << QList<quint16>{68, 70} << false;
    QTest::newRow("path without function") << "tester" << QList<quint16>{69} << false;
}

void TestServices::userRights()
{
    QFETCH(QString, user);
    QFETCH(QList<quint16>, path);
    QFETCH(bool, granted);

    TestInstallation inst;
    QCOMPARE(inst.host().rights().userName(), QStringLiteral("tester"));
    const UserRights rights(inst.host().store(), user);
    QCOMPARE(rights.UserRechtePruefen(path), granted);
}

void TestServices::grantAndRevoke()
{
    TestInstallation inst;
    UserRights &admin = inst.host().rights();
    const UserRights other(inst.host().store(), QStringLiteral("fremd"));
    const QList<quint16> right = {69, 71};

    admin.grant(QStringLiteral("fremd"), 69, 71);
    admin.grant(QStringLiteral("fremd"), 69, 71); // granting twice is no error
    QVERIFY(other.UserRechtePruefen(right));
    admin.revoke(QStringLiteral("fremd"), 69, 71);
    QVERIFY(!other.UserRechtePruefen(right));
    // Revoking one user's right leaves the others' alone.
    QVERIFY(admin.UserRechtePruefen(right));
}

void TestServices::bookingNumbersCountPerWorkstation()
{
    TestInstallation inst;
    OVOBuchung &booking = inst.host().booking();
    const BookingIdentity a = booking.next(3);
    QCOMPARE(a.rnr, 3);
    QCOMPARE(a.lfdnr, 1);
    QCOMPARE(booking.next(3).lfdnr, 2);
    QCOMPARE(booking.next(4).lfdnr, 1);
    // A second program on the store continues the same count.
    const std::unique_ptr<Host> other = inst.openSecondHost();
    QCOMPARE(other->booking().next(3).lfdnr, 3);
    QCOMPARE(booking.next(3).lfdnr, 4);
}

void TestServices::currencyConversion_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<double>("expected"); // NaN: no rate, refused

    QTest::newRow("EUR to CHF") << 100.0 << "EUR"
                                << "CHF" << 94.0;
    QTest::newRow("CHF to EUR") << 94.0 << "CHF"
                                << "EUR" << 100.0;
    QTest::newRow("same currency needs no rate") << 12.5 << "XYZ"
                                                 << "XYZ" << 12.5;
    QTest::newRow("source without rate") << 1.0 << "USD"
                                         << "EUR" << qQNaN();
    QTest::newRow("target without rate") << 1.0 << "EUR"
                                         << "USD" << qQNaN();
}

void TestServices::currencyConversion()
{
    QFETCH(double, amount);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(double, expected);

    TestInstallation inst;
    const WHRechner &rates = inst.host().currency();
    if (qIsNaN(expected)) {
        QVERIFY_THROWS_EXCEPTION(StoreError, rates.Umrechnen(amount, from, to));
        return;
    }
    QVERIFY(qFuzzyCompare(rates.Umrechnen(amount, from, to), expected));
}

// ---- messages ------------------------------------------------------------------------------

void TestServices::catalogueHoldsEveryMessage()
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

void TestServices::showMeldungReachesThePresenter_data()
{
    QTest::addColumn<int>("number");
    for (int number : {1028, 1029, 1030, 1031, 1039, 1040})
        QTest::addRow("message %d", number) << number;
}

void TestServices::showMeldungReachesThePresenter()
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

void TestServices::questionsAnswerWhatWasGivenInAdvance_data()
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

void TestServices::questionsAnswerWhatWasGivenInAdvance()
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

void TestServices::fehlerRaiseZeroRaisesOnlyAPendingError_data()
{
    QTest::addColumn<int>("situation");
    QTest::addColumn<int>("raised"); // 0: nothing raised

    QTest::newRow("nothing pending") << 0 << 0;
    QTest::newRow("error left by the engine") << 1 << 1002;
    QTest::newRow("error reset before") << 2 << 0;
    QTest::newRow("error already reported") << 3 << 0;
}

void TestServices::fehlerRaiseZeroRaisesOnlyAPendingError()
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

void TestServices::fehlerRaiseCarriesItsParameters()
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

void TestServices::resetErrorSpezResetsOnlyItsNumber_data()
{
    QTest::addColumn<int>("pending");
    QTest::addColumn<int>("reset");
    QTest::addColumn<int>("left");

    QTest::newRow("matching number") << 1002 << 1002 << 0;
    QTest::newRow("other number") << 1002 << 1001 << 1002;
    QTest::newRow("nothing pending") << 0 << 1002 << 0;
}

void TestServices::resetErrorSpezResetsOnlyItsNumber()
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

void TestServices::registerExceptionLogsTheLocation_data()
{
    QTest::addColumn<bool>("show");
    QTest::newRow("shown") << true;
    QTest::newRow("not shown") << false;
}

void TestServices::registerExceptionLogsTheLocation()
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

// ---- configuration of the computer ---------------------------------------------------------

void TestServices::computerConfigSources_data()
{
    QTest::addColumn<QString>("iniWorkstation"); // empty: not in the INI file
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("workstation");
    QTest::addColumn<QStringList>("positional");
    QTest::addColumn<int>("problems");

    QTest::newRow("workstation from the INI file")
            << "3" << QStringList() << 3 << QStringList() << 0;
    QTest::newRow("option wins over the INI file")
            << "3" << QStringList{"--workstation=7"} << 7 << QStringList() << 0;
    QTest::newRow("positional arguments in order")
            << "" << QStringList{"S", "--workstation=2", "K"} << 2 << QStringList{"S", "K"} << 0;
    QTest::newRow("non-number option becomes a problem and 1")
            << "3" << QStringList{"--workstation=zwei"} << 1 << QStringList() << 1;
    QTest::newRow("non-number in the INI file becomes a problem and 1")
            << "drei" << QStringList() << 1 << QStringList() << 1;
    QTest::newRow("unknown option is a problem")
            << "4" << QStringList{"--farbe=rot", "K"} << 4 << QStringList{"K"} << 1;
}

void TestServices::computerConfigSources()
{
    QFETCH(QString, iniWorkstation);
    QFETCH(QStringList, args);
    QFETCH(int, workstation);
    QFETCH(QStringList, positional);
    QFETCH(int, problems);

    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("kassotyp.ini"));
    if (!iniWorkstation.isEmpty()) {
        QSettings settings(ini, QSettings::IniFormat);
        settings.setValue(QStringLiteral("computer/workstation"), iniWorkstation);
    }
    const ComputerConfig config =
            ComputerConfig::load(QStringList{QStringLiteral("--config=") + ini} + args);
    QCOMPARE(config.workstationId, workstation);
    QCOMPARE(config.positional, positional);
    QCOMPARE(config.startParameter(), positional.value(0));
    QCOMPARE(config.problems.size(), problems);
}

void TestServices::computerConfigOptionsWinOverIni()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("kassotyp.ini"));
    {
        QSettings settings(ini, QSettings::IniFormat);
        settings.setValue(QStringLiteral("store/location"),
                          dir.filePath(QStringLiteral("a.sqlite")));
        settings.setValue(QStringLiteral("computer/printer"), QStringLiteral("Bondrucker"));
        settings.setValue(QStringLiteral("computer/user"), QStringLiteral("kasse1"));
    }
    const QString config = QStringLiteral("--config=") + ini;
    const ComputerConfig fromIni = ComputerConfig::load({config});
    QCOMPARE(fromIni.storeLocation, dir.filePath(QStringLiteral("a.sqlite")));
    QCOMPARE(fromIni.printerOutput, QStringLiteral("Bondrucker"));
    QCOMPARE(fromIni.userName, QStringLiteral("kasse1"));

    const ComputerConfig overridden = ComputerConfig::load(
            {config, QStringLiteral("--store=") + dir.filePath(QStringLiteral("b.sqlite")),
             QStringLiteral("--printer=PDF"), QStringLiteral("--user=chef")});
    QCOMPARE(overridden.storeLocation, dir.filePath(QStringLiteral("b.sqlite")));
    QCOMPARE(overridden.printerOutput, QStringLiteral("PDF"));
    QCOMPARE(overridden.userName, QStringLiteral("chef"));
}

// ---- text functions ------------------------------------------------------------------------

void TestServices::floatToText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("paper width") << 6.52 << "6,52";
    QTest::newRow("zero") << 0.0 << "0,00";
    QTest::newRow("whole number") << 21.0 << "21,00";
    QTest::newRow("one decimal") << 1.5 << "1,50";
    QTest::newRow("negative") << -2.1 << "-2,10";
    QTest::newRow("no thousands separator") << 1234.5 << "1234,50";
}

void TestServices::floatToText()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(FloatToStr_FSKRT(value), expected);
    QCOMPARE(StrToFloatDef_FSKRT(expected, -99), value);
}

void TestServices::textToFloat_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected"); // NaN: not a number, the default -1 applies

    QTest::newRow("decimal comma") << "6,52" << 6.52;
    QTest::newRow("decimal point") << "6.52" << 6.52;
    QTest::newRow("blanks around") << " 7,30 " << 7.3;
    QTest::newRow("thousands point and decimal comma") << "1.234,5" << 1234.5;
    QTest::newRow("thousands comma and decimal point") << "1,234.5" << 1234.5;
    QTest::newRow("whole number") << "2861" << 2861.0;
    QTest::newRow("empty") << "" << qQNaN();
    QTest::newRow("garbage") << "abc" << qQNaN();
    QTest::newRow("number with trailing garbage") << "6,52cm" << qQNaN();
    QTest::newRow("infinity") << "inf" << qQNaN();
    QTest::newRow("not a number") << "nan" << qQNaN();
}

void TestServices::textToFloat()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    if (qIsNaN(expected)) {
        QCOMPARE(StrToFloatDef_FSKRT(text, -1), -1.0);
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, StrToFloat_FSKRT(text));
    } else {
        QCOMPARE(StrToFloatDef_FSKRT(text, -1), expected);
        QCOMPARE(StrToFloat_FSKRT(text), expected);
    }
}

void TestServices::lineBreaksRemoved_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("CR LF") << "Vielen\r\nDank"
                           << "VielenDank";
    QTest::newRow("LF and CR") << "a\nb\rc"
                               << "abc";
    QTest::newRow("only line breaks") << "\r\n\n\r"
                                      << "";
    QTest::newRow("no line break") << "  #Datum#  "
                                   << "  #Datum#  ";
}

void TestServices::lineBreaksRemoved()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(Zeilenumbrueche_entfernen(text), expected);
}

// ---- device presets ------------------------------------------------------------------------

// The printer record is read by the tills' print engine position by position; a shifted or
// missing entry prints with the wrong sequence.
void TestServices::printerPresetTmT88IsExact()
{
    const QStringList expected = {
            "1",                                               // 0 mode: graphic
            "6.7 cpi",  "01",         "",  "8 cpi",  "00", "", // 1..6 fonts 1 and 2
            "13.3 cpi", "11",         "",  "16 cpi", "10", "", // 7..12 fonts 3 and 4
            "control",                                         // 13 control font
            "P",        "1D5601",                              // 14, 15 cut paper
            "C",        "1B703019FA",                          // 16, 17 open drawer
            "1",        "",           "2", "",       "3",  "", // 18..23 journal, receipt, both
            "5",        "",                                    // 24, 25 horizontal tab
            "6",        "0A",         "7", "0D",               // 26..29 line feed, carriage return
            "kein",                                            // 30 drawer
            "",         "",           "",  "",                 // 31..34 paper feed, justify left
            "",         "1B6131",     "",  "1B6132",           // 35..38 justify center, right
            "",         "1B21",                                // 39, 40 set font
            "TM-T88",                                          // 41 preset name
            "0",                                               // 42 no initialisation per job
            "",         "",           "",  ""}; // 43..46 serial drawer, direct text mode
    QCOMPARE(expected.size(), PrinterRecordSize);
    QCOMPARE(printerRecordFromPreset(QStringLiteral("TM-T88")), expected);
    QCOMPARE(findPreset(printerPresets(), QStringLiteral("TM-T88"))->remark,
             QStringLiteral("Epson TM-T88 Grafikmodus"));
}

void TestServices::printerPresetsDiffer_data()
{
    QTest::addColumn<QString>("preset");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("value");

    QTest::newRow("DEFAULT is test mode") << "DEFAULT" << 0 << "2";
    QTest::newRow("DEFAULT paper feed") << "DEFAULT" << 32 << "1B4ADF";
    QTest::newRow("DEFAULT justify left") << "DEFAULT" << 34 << "1B6130";
    QTest::newRow("TM-J8000 S justify center") << "TM-J8000 S" << 36 << "1B6131";
    QTest::newRow("TM-U200B font 1 ESC code") << "TM-U200B" << 2 << "10";
    QTest::newRow("TM-U200B font 4 ESC code") << "TM-U200B" << 11 << "01";
    QTest::newRow("TM-U200BT is text mode") << "TM-U200BT" << 0 << "0";
    QTest::newRow("TM-U300PB cut paper") << "TM-U300PB" << 15 << "1B6D";
    QTest::newRow("TM-U300PB no justify") << "TM-U300PB" << 36 << "";
    QTest::newRow("TM-U300PBT open drawer") << "TM-U300PBT" << 17 << "1B4A04001B70004BFF";
    QTest::newRow("TM-T88-W7 graphic mode") << "TM-T88-W7" << 0 << "1";
    QTest::newRow("LEX5700 has no font") << "LEX5700" << 1 << "";
    QTest::newRow("LEX5700 no drawer") << "LEX5700" << 30 << "kein";
    QTest::newRow("TEST is test mode") << "TEST" << 0 << "2";
    QTest::newRow("TEST has no sequences") << "TEST" << 17 << "";
    QTest::newRow("IBM46101NR carries no values") << "IBM46101NR" << 0 << "";
    QTest::newRow("IBM46101NR keeps its name") << "IBM46101NR" << 41 << "IBM46101NR";
    QTest::newRow("unknown preset keeps its name") << "EIGENER" << 41 << "EIGENER";
}

void TestServices::printerPresetsDiffer()
{
    QFETCH(QString, preset);
    QFETCH(int, position);
    QFETCH(QString, value);

    const QStringList record = printerRecordFromPreset(preset);
    QCOMPARE(record.size(), PrinterRecordSize);
    QCOMPARE(record.at(position), value);
    for (int font : {3, 6, 9, 12}) // the second ESC codes are empty in every preset
        QCOMPARE(record.at(font), QString());
}

void TestServices::pagePresetsAreExact_data()
{
    QTest::addColumn<QString>("preset");
    QTest::addColumn<QString>("remark");
    // stored order: width, top, left, right, height, bottom, preset name
    QTest::addColumn<QStringList>("record");

    const QString z = QStringLiteral("0,00");
    auto narrow = [&](const char *width, const char *name) {
        return QStringList{QString::fromLatin1(width), z, z, z, z, z, QString::fromLatin1(name)};
    };
    QTest::newRow("DEFAULT") << "DEFAULT"
                             << "DEFAULT"
                             << QStringList{"2861", "150", "1212", "375", "2861", "150", "DEFAULT"};
    QTest::newRow("TM-U200B") << "TM-U200B"
                              << "Epson TM-U200B" << narrow("6,30", "TM-U200B");
    QTest::newRow("TM-J8000") << "TM-J8000"
                              << "Epson TM-J8000" << narrow("6,52", "TM-J8000");
    QTest::newRow("TM-J8000 S") << "TM-J8000 S"
                                << "Epson TM-J8000 S DinA5"
                                << QStringList{"21,00", "1,50", "7,30",      "2,10",
                                               "21,00", "1,50", "TM-J8000 S"};
    QTest::newRow("TEST") << "TEST"
                          << "Testdrucker (Dummy)" << QStringList{"", "", "", "", "", "", "TEST"};
    QTest::newRow("LEX5700") << "LEX5700"
                             << "" << QStringList{"21,00", "1,50", "1,30",   "8,10",
                                                  "21,00", "1,50", "LEX5700"};
    QTest::newRow("TM-U300PB") << "TM-U300PB"
                               << "Epson TM-U300PB" << narrow("6,30", "TM-U300PB");
    QTest::newRow("TM-T88") << "TM-T88"
                            << "Epson TM-T88" << narrow("6,52", "TM-T88");
    QTest::newRow("TM-U200BT") << "TM-U200BT"
                               << "Epson TM-U200B Textmodus" << narrow("6,30", "TM-U200BT");
    QTest::newRow("TM-U300PBT") << "TM-U300PBT"
                                << "Epson TM-U300PB Textmodus" << narrow("6,30", "TM-U300PBT");
    QTest::newRow("TM-T88-W7") << "TM-T88-W7"
                               << "Epson TM-T88 W7" << narrow("6,52", "TM-T88-W7");
}

void TestServices::pagePresetsAreExact()
{
    QFETCH(QString, preset);
    QFETCH(QString, remark);
    QFETCH(QStringList, record);

    QCOMPARE(pagePresets().size(), 11);
    const std::optional<DevicePreset> found = findPreset(pagePresets(), preset);
    QVERIFY(found);
    QCOMPARE(found->remark, remark);
    QCOMPARE(pageSetupFromPreset(preset), record);
    QCOMPARE(record.size(), PageSetupSize);
}

QTEST_GUILESS_MAIN(TestServices)
#include "tst_services.moc"
