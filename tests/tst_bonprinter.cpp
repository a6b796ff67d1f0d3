// What the print engine reads on Refresh: the workstation's printer record with its fallbacks,
// the print mode, fonts, printer key and name, the page setup and the option "PRGEUEBE", and
// the engine errors it leaves when one of them is missing or unusable.

#include "core/engine/bonprinter.h"
#include "core/format/devicepresets.h"
#include "core/model/hosttables.h"
#include "core/store/settingslistcodec.h"
#include "tests/support/testinstallation.h"

#include <QTest>

namespace {

const QString Printer = QStringLiteral("AKTBONDR");
const QString PageSetup = QStringLiteral("SEITEEIN");

// Page setups of every preset on the template workstation, so that a printer record problem
// is not hidden behind a missing page setup.
void givePageSetups(TestInstallation &inst)
{
    for (const DevicePreset &p : pagePresets())
        inst.putList(PageSetup, 0, p.name, pageSetupFromPreset(p.name));
}

void removeTemplatePrinter(TestInstallation &inst)
{
    inst.host().layouts().remove({Printer, 0, QStringLiteral("AKTIV")});
}

QStringList pageSetupOfWidth(const QString &width, const QString &key)
{
    return {width,
            QStringLiteral("0,00"),
            QStringLiteral("0,00"),
            QStringLiteral("0,00"),
            QStringLiteral("0,00"),
            QStringLiteral("0,00"),
            key};
}

// Refreshes for workstation rnr as the main window does, starting without a pending error.
void refresh(TestInstallation &inst, TBonPrinter &engine, int rnr)
{
    OVOInfo &info = inst.host().info();
    info.ResetErrorSpez(info.ErrorNumber());
    engine.setWorkstation(rnr);
    engine.Refresh();
}

} // namespace

class TestBonPrinter : public QObject
{
    Q_OBJECT

private slots:
    void printerRecordFallbacks_data();
    void printerRecordFallbacks();
    void noPrinterRecordLeaves1001();
    void printerErrorIsNotHiddenByMissingPageSetup();
    void shortPrinterListIsNotUsed_data();
    void shortPrinterListIsNotUsed();
    void modeMustBeANumber_data();
    void modeMustBeANumber();
    void modeLetter_data();
    void modeLetter();
    void valuesComeFromTheirPositions();
    void printerFontsLeaveOutEmptyNames();
    void printerName_data();
    void printerName();
    void pageSetupSources_data();
    void pageSetupSources();
    void damagedRecordsAreReportedAndKept_data();
    void damagedRecordsAreReportedAndKept();
    void refreshForgetsThePreviousWorkstation();
    void directTextMode_data();
    void directTextMode();
    void readPrGeUebeReadsTheParameterAgain();
};

void TestBonPrinter::printerRecordFallbacks_data()
{
    QTest::addColumn<QStringList>("records"); // "workstation/third key/preset"
    QTest::addColumn<bool>("keepTemplate");   // the demo's template "AKTIV" record
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("readFrom");
    QTest::addColumn<int>("error");

    QTest::newRow("own AKTIV record")
            << QStringList{"3/AKTIV/TM-U200BT"} << true << "TM-U200BT" << 3 << 0;
    QTest::newRow("template AKTIV record") << QStringList() << true << "TM-T88" << 0 << 0;
    QTest::newRow("template AKTIV wins over TEST")
            << QStringList{"0/TEST/LEX5700"} << true << "TM-T88" << 0 << 0;
    QTest::newRow("template TEST record last")
            << QStringList{"0/TEST/LEX5700"} << false << "LEX5700" << 0 << 0;
    QTest::newRow("own record under a preset name is not used")
            << QStringList{"3/TM-U200B/TM-U200B"} << false << "" << -1 << 1001;
    QTest::newRow("another workstation's record is not used")
            << QStringList{"4/AKTIV/TM-U200B"} << false << "" << -1 << 1001;
    QTest::newRow("template record under its preset name is not used")
            << QStringList() << false << "" << -1 << 1001;
}

void TestBonPrinter::printerRecordFallbacks()
{
    QFETCH(QStringList, records);
    QFETCH(bool, keepTemplate);
    QFETCH(QString, key);
    QFETCH(int, readFrom);
    QFETCH(int, error);

    TestInstallation inst;
    givePageSetups(inst);
    if (!keepTemplate)
        removeTemplatePrinter(inst);
    for (const QString &r : records) {
        const QStringList parts = r.split(u'/');
        inst.putList(Printer, parts[0].toInt(), parts[1], printerRecordFromPreset(parts[2]));
    }

    TBonPrinter engine(inst.host(), CAlleBonArten(), -1);
    refresh(inst, engine, 3);
    QCOMPARE(engine.Kasso_Typ_Get_LayoutPrinterKey(), key);
    QCOMPARE(engine.printerRecordWorkstation(), readFrom);
    QCOMPARE(inst.host().info().ErrorNumber(), error);
}

void TestBonPrinter::noPrinterRecordLeaves1001()
{
    TestInstallation inst;
    givePageSetups(inst);
    removeTemplatePrinter(inst);
    TBonPrinter engine(inst.host(), CAlleBonArten(), -1);
    refresh(inst, engine, 3);

    QCOMPARE(inst.host().info().ErrorNumber(), 1001);
    QVERIFY(inst.host().info().ErrorText().contains(QStringLiteral("Rechner 3")));
    QCOMPARE(engine.Kasso_Typ_Get_LayoutPrinterKey(), QString());
    QCOMPARE(engine.Kasso_Typ_Get_PrinterName(), QString());
    QCOMPARE(engine.Kasso_Typ_Get_Modus(), QString());
    QVERIFY(engine.Kasso_Typ_Get_PrinterFonts().isEmpty());
    QVERIFY(engine.printerRecord().isEmpty());
    // Callers use "TEST" for the empty key; so does the engine for the page setup.
    QCOMPARE(engine._Get_PrinterPageSetup(), pageSetupFromPreset(QStringLiteral("TEST")));
    // Errors are left for the caller, never shown by the engine.
    QCOMPARE(inst.messages().count(), 0);
}

// Catches the cause being overwritten by its consequence: without a printer record the empty
// key also finds no page setup, and only one error number can be left.
void TestBonPrinter::printerErrorIsNotHiddenByMissingPageSetup()
{
    TestInstallation inst;
    removeTemplatePrinter(inst);
    TBonPrinter engine(inst.host(), CAlleBonArten(), -1);
    refresh(inst, engine, 3);
    QCOMPARE(inst.host().info().ErrorNumber(), 1001);
}

void TestBonPrinter::shortPrinterListIsNotUsed_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("key");

    QTest::newRow("empty list") << 0 << 1004 << "";
    QTest::newRow("41 entries, no preset name") << 41 << 1004 << "";
    QTest::newRow("42 entries are enough") << 42 << 0 << "TM-U200BT";
}

void TestBonPrinter::shortPrinterListIsNotUsed()
{
    QFETCH(int, size);
    QFETCH(int, error);
    QFETCH(QString, key);

    TestInstallation inst;
    givePageSetups(inst);
    inst.putList(Printer, 3, QStringLiteral("AKTIV"),
                 printerRecordFromPreset(QStringLiteral("TM-U200BT")).mid(0, size));
    TBonPrinter engine(inst.host(), CAlleBonArten(), -1);
    refresh(inst, engine, 3);

    QCOMPARE(inst.host().info().ErrorNumber(), error);
    QCOMPARE(engine.Kasso_Typ_Get_LayoutPrinterKey(), key);
    QCOMPARE(engine.printerRecord().size(), error ? 0 : size);
    // A short own record is an error of its own, not a reason to use the template's.
    QCOMPARE(engine.Kasso_Typ_Get_Modus().isEmpty(), error != 0);
}

void TestBonPrinter::modeMustBeANumber_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("error");

    QTest::newRow("word") << "Grafik" << 1003;
    QTest::newRow("empty") << "" << 1003;
    QTest::newRow("decimal") << "1,0" << 1003;
    QTest::newRow("number with blanks") << " 1 " << 0;
}

// Catches a record "repaired" by reading it, and garbage taken as mode 0.
void TestBonPrinter::modeMustBeANumber()
{
    QFETCH(QString, mode);
    QFETCH(int, error);

    TestInstallation inst;
    givePageSetups(inst);
    QStringList list = printerRecordFromPreset(QStringLiteral("TM-U200BT"));
    list[0] = mode;
    inst.putList(Printer, 3, QStringLiteral("AKTIV"), list);
    const QByteArray before =
            inst.host().layouts().find({Printer, 3, QStringLiteral("AKTIV")})->blob;

    TBonPrinter engine(inst.host(), CAlleBonArten(), -1);
    refresh(inst, engine, 3);

    QCOMPARE(inst.host().info().ErrorNumber(), error);
    if (error) {
        QVERIFY(inst.host().info().ErrorText().contains(QStringLiteral("\"%1\"").arg(mode)));
        QCOMPARE(engine.Kasso_Typ_Get_Modus(), QString());
        QCOMPARE(engine.Kasso_Typ_Get_LayoutPrinterKey(), QString());
    } else {
        QCOMPARE(engine.Kasso_Typ_Get_Modus(), QStringLiteral("G"));
    }
    QCOMPARE(inst.host().layouts().find({Printer, 3, QStringLiteral("AKTIV")})->blob, before);
}

void TestBonPrinter::modeLetter_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("letter"); // empty: any letter but "G"

    QTest::newRow("0 text mode") << 0 << "T";
    QTest::newRow("1 graphic mode") << 1 << "G";
    QTest::newRow("2 test mode is no graphic mode") << 2 << "";
}

void TestBonPrinter::modeLetter()
{
    QFETCH(int, mode);
    QFETCH(QString, letter);

    TestInstallation inst;
    givePageSetups(inst);
    QStringList list = printerRecordFromPreset(QStringLiteral("TM-T88"));
    list[0] = QString::number(mode);
    inst.putList(Printer, 3, QStringLiteral("AKTIV"), list);
    TBonPrinter engine(inst.host(), CAlleBonArten(), -1);
    refresh(inst, engine, 3);

    QCOMPARE(inst.host().info().ErrorNumber(), 0);
    const QString got = engine.Kasso_Typ_Get_Modus();
    QCOMPARE(got.size(), 1);
    if (letter.isEmpty())
        QVERIFY2(got != QStringLiteral("G"), qPrintable(got));
    else
        QCOMPARE(got, letter);
}

// Catches values read from neighbouring positions: every entry of the record is distinct.
void TestBonPrinter::valuesComeFromTheirPositions()
{
    TestInstallation inst;
    QStringList list;
    for (int i = 0; i < PrinterRecordSize; ++i)
        list << QStringLiteral("p%1").arg(i);
    list[0] = QStringLiteral("0");
    list[45] = QStringLiteral("COM2");
    inst.putList(Printer, 3, QStringLiteral("AKTIV"), list);
    inst.putList(PageSetup, 0, QStringLiteral("p41"),
                 pageSetupOfWidth(QStringLiteral("8,00"), QStringLiteral("p41")));
    TBonPrinter engine(inst.host(), CAlleBonArten(), -1);
    refresh(inst, engine, 3);

    QCOMPARE(inst.host().info().ErrorNumber(), 0);
    QCOMPARE(engine.printerRecord(), list);
    QCOMPARE(engine.Kasso_Typ_Get_PrinterFonts(),
             (QStringList{QStringLiteral("p1"), QStringLiteral("p4"), QStringLiteral("p7"),
                          QStringLiteral("p10")}));
    QCOMPARE(engine.Kasso_Typ_Get_LayoutPrinterKey(), QStringLiteral("p41"));
    QCOMPARE(engine._Get_PrinterPageSetup().value(0), QStringLiteral("8,00"));
    QVERIFY(engine.TextModusDirektVerwendet());
}

void TestBonPrinter::printerFontsLeaveOutEmptyNames()
{
    TestInstallation inst;
    givePageSetups(inst);
    TBonPrinter engine(inst.host(), CAlleBonArten(), -1);
    refresh(inst, engine, 3);
    QCOMPARE(engine.Kasso_Typ_Get_PrinterFonts(),
             (QStringList{QStringLiteral("6.7 cpi"), QStringLiteral("8 cpi"),
                          QStringLiteral("13.3 cpi"), QStringLiteral("16 cpi")}));

    // A font selector must not offer an empty font.
    QStringList list = printerRecordFromPreset(QStringLiteral("TM-U200BT"));
    list[4] = QString();
    list[10] = QString();
    inst.putList(Printer, 3, QStringLiteral("AKTIV"), list);
    refresh(inst, engine, 3);
    QCOMPARE(engine.Kasso_Typ_Get_PrinterFonts(),
             (QStringList{QStringLiteral("6.7 cpi"), QStringLiteral("13.3 cpi")}));
}

void TestBonPrinter::printerName_data()
{
    QTest::addColumn<QString>("preset"); // empty: no printer record at all
    QTest::addColumn<QString>("name");

    QTest::newRow("graphic preset") << "TM-T88"
                                    << "Epson TM-T88 Grafikmodus";
    QTest::newRow("text preset") << "TM-U300PBT"
                                 << "Epson TM-U300PB Textmodus";
    QTest::newRow("unknown preset is named by its key") << "HAUSDRUCK"
                                                        << "HAUSDRUCK";
    QTest::newRow("no printer") << ""
                                << "";
}

void TestBonPrinter::printerName()
{
    QFETCH(QString, preset);
    QFETCH(QString, name);

    TestInstallation inst;
    removeTemplatePrinter(inst);
    if (!preset.isEmpty()) {
        QStringList list = printerRecordFromPreset(QStringLiteral("TM-T88"));
        list[PrinterPresetNamePos] = preset;
        inst.putList(Printer, 3, QStringLiteral("AKTIV"), list);
    }
    TBonPrinter engine(inst.host(), CAlleBonArten(), -1);
    refresh(inst, engine, 3);
    QCOMPARE(engine.Kasso_Typ_Get_LayoutPrinterKey(), preset);
    QCOMPARE(engine.Kasso_Typ_Get_PrinterName(), name);
}

void TestBonPrinter::pageSetupSources_data()
{
    QTest::addColumn<QStringList>("records"); // "workstation/printer key/paper width"
    QTest::addColumn<QString>("width");       // empty: no page setup
    QTest::addColumn<int>("error");

    QTest::newRow("own workstation's page setup first")
            << QStringList{"3/TM-T88/7,00", "0/TM-T88/6,52"} << "7,00" << 0;
    QTest::newRow("template's page setup") << QStringList{"0/TM-T88/6,52"} << "6,52" << 0;
    QTest::newRow("another printer's page setup is not used")
            << QStringList{"3/TM-U200B/6,30", "0/TEST/1,00"} << "" << 1002;
    QTest::newRow("another workstation's page setup is not used")
            << QStringList{"4/TM-T88/9,99"} << "" << 1002;
}

void TestBonPrinter::pageSetupSources()
{
    QFETCH(QStringList, records);
    QFETCH(QString, width);
    QFETCH(int, error);

    TestInstallation inst;
    inst.host().layouts().remove({PageSetup, 0, QStringLiteral("TM-T88")});
    for (const QString &r : records) {
        const QStringList parts = r.split(u'/');
        inst.putList(PageSetup, parts[0].toInt(), parts[1], pageSetupOfWidth(parts[2], parts[1]));
    }
    TBonPrinter engine(inst.host(), CAlleBonArten(), -1);
    refresh(inst, engine, 3);

    QCOMPARE(engine.Kasso_Typ_Get_LayoutPrinterKey(), QStringLiteral("TM-T88"));
    QCOMPARE(inst.host().info().ErrorNumber(), error);
    QCOMPARE(engine._Get_PrinterPageSetup().value(0), width);
    if (error) {
        QVERIFY(engine._Get_PrinterPageSetup().isEmpty());
        QVERIFY(inst.host().info().ErrorText().contains(QStringLiteral("TM-T88")));
    }
}

void TestBonPrinter::damagedRecordsAreReportedAndKept_data()
{
    QTest::addColumn<QString>("kennung");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("error");

    QTest::newRow("printer record") << "AKTBONDR"
                                    << "AKTIV" << 1005;
    QTest::newRow("page setup") << "SEITEEIN"
                                << "TM-T88" << 1006;
}

// Catches a damaged record that stops Refresh with an exception instead of an engine error.
void TestBonPrinter::damagedRecordsAreReportedAndKept()
{
    QFETCH(QString, kennung);
    QFETCH(QString, key);
    QFETCH(int, error);

    TestInstallation inst;
    givePageSetups(inst);
    const QByteArray damaged("\xEF\xBB\xBF"
                             "1\r\nGr\xF6\xDF"
                             "e\r\n");
    inst.putBlob(kennung, 3, key, damaged);
    TBonPrinter engine(inst.host(), CAlleBonArten(), -1);
    refresh(inst, engine, 3);

    QCOMPARE(inst.host().info().ErrorNumber(), error);
    QCOMPARE(inst.host().layouts().find({kennung, 3, key})->blob, damaged);
    if (error == 1005)
        QVERIFY(engine.printerRecord().isEmpty());
    else
        QVERIFY(engine._Get_PrinterPageSetup().isEmpty());
}

// Catches settings of the previous workstation surviving a Refresh that finds nothing.
void TestBonPrinter::refreshForgetsThePreviousWorkstation()
{
    TestInstallation inst;
    givePageSetups(inst);
    inst.givePrinter(3, QStringLiteral("TM-U200BT"));
    inst.host().parameters().StringParamWrite(QStringLiteral("PRGEUEBE"), QStringLiteral("A"), 3);
    TBonPrinter engine(inst.host(), CAlleBonArten(), -1);
    refresh(inst, engine, 3);
    QCOMPARE(engine.Kasso_Typ_Get_Modus(), QStringLiteral("T"));

    removeTemplatePrinter(inst);
    inst.host().layouts().remove({PageSetup, 0, QStringLiteral("TEST")});
    refresh(inst, engine, 5);
    QCOMPARE(engine.workstation(), 5);
    QCOMPARE(engine.Kasso_Typ_Get_LayoutPrinterKey(), QString());
    QCOMPARE(engine.Kasso_Typ_Get_Modus(), QString());
    QVERIFY(engine.Kasso_Typ_Get_PrinterFonts().isEmpty());
    QVERIFY(engine.printerRecord().isEmpty());
    QVERIFY(engine._Get_PrinterPageSetup().isEmpty());
    QCOMPARE(engine.prGeUebe(), QString());
}

void TestBonPrinter::directTextMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("port");
    QTest::addColumn<bool>("direct");

    QTest::newRow("text mode on a serial port") << 0 << 47 << "COM1" << true;
    QTest::newRow("text mode with port off") << 0 << 47 << "aus" << false;
    QTest::newRow("text mode without port") << 0 << 47 << "" << false;
    QTest::newRow("graphic mode on a serial port") << 1 << 47 << "COM1" << false;
    QTest::newRow("test mode on a serial port") << 2 << 47 << "COM3" << false;
    QTest::newRow("old record without the port") << 0 << 42 << "" << false;
}

void TestBonPrinter::directTextMode()
{
    QFETCH(int, mode);
    QFETCH(int, size);
    QFETCH(QString, port);
    QFETCH(bool, direct);

    TestInstallation inst;
    givePageSetups(inst);
    QStringList list = printerRecordFromPreset(QStringLiteral("TM-U200BT")).mid(0, size);
    list[0] = QString::number(mode);
    if (size > 45)
        list[45] = port;
    inst.putList(Printer, 3, QStringLiteral("AKTIV"), list);
    TBonPrinter engine(inst.host(), CAlleBonArten(), -1);
    refresh(inst, engine, 3);
    QCOMPARE(inst.host().info().ErrorNumber(), 0);
    QCOMPARE(engine.TextModusDirektVerwendet(), direct);
}

void TestBonPrinter::readPrGeUebeReadsTheParameterAgain()
{
    TestInstallation inst;
    OVOParameter &params = inst.host().parameters();
    params.StringParamWrite(QStringLiteral("PRGEUEBE"), QStringLiteral("G"), 3);
    params.StringParamWrite(QStringLiteral("PRGEUEBE"), QStringLiteral("K"), 4);
    TBonPrinter engine(inst.host(), CAlleBonArten(), -1);
    refresh(inst, engine, 3);
    QCOMPARE(engine.prGeUebe(), QStringLiteral("G"));

    params.StringParamWrite(QStringLiteral("PRGEUEBE"), QStringLiteral("A"), 3);
    QCOMPARE(engine.prGeUebe(), QStringLiteral("G"));
    engine.ReadPrGeUebe();
    QCOMPARE(engine.prGeUebe(), QStringLiteral("A"));
}

QTEST_GUILESS_MAIN(TestBonPrinter)
#include "tst_bonprinter.moc"
