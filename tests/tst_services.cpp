// Host services that keep their data in the store: presets, parameters, rights, booking numbers
// and currency rates.

#include "core/base/lazylibrary.h"
#include "core/store/booking.h"
#include "core/store/currency.h"
#include "core/store/formstore.h"
#include "core/store/parameters.h"
#include "core/store/userrights.h"
#include "tests/support/testinstallation.h"

#include <QTest>

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
    void lazyLibraryNamesWhatIsMissing();
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

// CUPS and zint are loaded at their first use: what cannot be had is named, not a crash later.
void TestServices::lazyLibraryNamesWhatIsMissing()
{
    LazyLibrary absent(QStringLiteral("kassotyp-gibt-es-nicht"), QStringLiteral("1"),
                       QStringLiteral("Die Testbibliothek"));
    int (*call)(int) = nullptr;
    absent.find(call, "abs");
    QVERIFY(!call);
    QVERIFY2(absent.error().startsWith(QLatin1String("Die Testbibliothek kann nicht geladen "
                                                     "werden: ")),
             qPrintable(absent.error()));

    LazyLibrary libc(QStringLiteral("c"), QStringLiteral("6"), QStringLiteral("Die C-Bibliothek"));
    libc.find(call, "abs");
    QVERIFY(call);
    QCOMPARE(call(-7), 7);
    QCOMPARE(libc.error(), QString());
    int (*unknown)() = nullptr;
    libc.find(unknown, "kassotyp_gibt_es_nicht");
    libc.find(unknown, "auch_nicht");
    QVERIFY(!unknown);
    QVERIFY2(libc.error().endsWith(QLatin1String("kennt kassotyp_gibt_es_nicht, auch_nicht "
                                                 "nicht.")),
             qPrintable(libc.error()));
}

QTEST_GUILESS_MAIN(TestServices)
#include "tst_services.moc"
