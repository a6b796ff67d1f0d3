// The headless print command as a user calls it: the built program on a seeded store.
#include "core/format/deviceformats.h"
#include "core/format/devicepresets.h"
#include "core/model/placeholdervalues.h"
#include "core/model/sampledocument.h"
#include "tests/support/builtprogram.h"
#include "tests/support/ptypair.h"
#include "tests/support/testinstallation.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

class TestPrintCommand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { KASSOTYP_SKIP_WITHOUT_TEST_STORE(); }
    void init();
    void helpExplainsOptionsIniAndNames();
    void helpAndVersionNeedNoDisplay_data();
    void helpAndVersionNeedNoDisplay();
    void allTypesAsPngWriteOneFilePerType();
    void escPosOfOneTypeStartsBySettingItsModes();
    void escPosOutputIsTheFileWhateverPortTheRecordNames();
    void pictureOfATextModeTillIsThePrintersOwn();
    void allTypesAsOnePdfOfPages();
    void withoutOutputPrintsOnTheWorkstationsPrinter();
    void graphicPrintGoesThroughTheCupsQueue();
    void graphicPrintWithoutThePrintModuleFailsLoudly();
    void refusedCallWritesNothing_data();
    void refusedCallWritesNothing();
    void everyCaseScansToItsFiscalData_data();
    void everyCaseScansToItsFiscalData();
    void designerStartsQuietlyFromARootShell();

private:
    // Runs the program on the installation's store with the given arguments.
    Run print(const QStringList &arguments);

    std::unique_ptr<TestInstallation> m_installation;
    std::unique_ptr<QTemporaryDir> m_out;
};

void TestPrintCommand::init()
{
    m_installation = std::make_unique<TestInstallation>();
    m_out = std::make_unique<QTemporaryDir>();
}

Run TestPrintCommand::print(const QStringList &arguments)
{
    return runBuilt(QStringLiteral("tools/kassotyp-print"),
                    QStringList{QStringLiteral("--store=") + m_installation->storeLocation(),
                                QStringLiteral("--config="),
                                QStringLiteral("--log=") + m_installation->path("print.log")}
                            + arguments);
}

void TestPrintCommand::helpExplainsOptionsIniAndNames()
{
    const Run run = print({QStringLiteral("--help")});
    QCOMPARE(run.exitCode, 0);
    for (const char *part :
         {"--store=", "--workstation=", "--type=", "--all",
          "--format=", "--output=", "--now=", "--dry-run", "--codepage=", "--dots=", "--version",
          "kassotyp.ini", "[store]", "[computer]", "13-Bon.pdf"})
        QVERIFY2(run.out.contains(QLatin1String(part)), part);
}

void TestPrintCommand::helpAndVersionNeedNoDisplay_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("parts");
    QTest::newRow("kassotyp-print")
            << "tools/kassotyp-print" << QStringList{"Aufruf: kassotyp-print", "--format=F"};
    QTest::newRow("kassotyp") << "shell/kassotyp"
                              << QStringList{"Aufruf: kassotyp [K|S]", "\n  K   normaler Start",
                                             "\n  S   Systemmodus", "Vorlagerechner 0"};
}

void TestPrintCommand::helpAndVersionNeedNoDisplay()
{
    QFETCH(QString, program);
    QFETCH(QStringList, parts);
    const Run help = runBuilt(program, {QStringLiteral("--help")}, true);
    QVERIFY2(help.exitCode == 0, qPrintable(help.err));
    // Both programs print the one description of the computer's options.
    QVERIFY(help.out.contains(ComputerConfig::optionsHelp()));
    for (const char *shared : {"--store=ORT", "postgresql://", "location=postgresql://",
                               "[computer]", "printerdevice=", "[ports]", "--port-COMn="})
        QVERIFY2(help.out.contains(QLatin1String(shared)), shared);
    for (const QString &part : parts)
        QVERIFY2(help.out.contains(part), qPrintable(part));

    const Run version = runBuilt(program, {QStringLiteral("--version")}, true);
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out,
             QFileInfo(program).fileName() + QStringLiteral(" " KASSOTYP_VERSION "\n"));
}

void TestPrintCommand::allTypesAsPngWriteOneFilePerType()
{
    const QString folder = m_out->filePath("bilder");
    const Run run = print({QStringLiteral("--workstation=3"), QStringLiteral("--all"),
                           QStringLiteral("--format=png"), QStringLiteral("--output=") + folder});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QStringList files = QDir(folder).entryList(QDir::Files);
    QCOMPARE(files.size(), 23);
    QVERIFY(files.contains(QStringLiteral("20-Reservierung-Auswahl.png")));
    for (const QString &file : files)
        QVERIFY2(!QImage(QDir(folder).filePath(file)).isNull(), qPrintable(file));
    QVERIFY(run.err.contains(QLatin1String("[3/23] Phasenbeleg")));
    QVERIFY(run.err.contains(QLatin1String("[23/23] Zahlung")));
    // Progress only: nothing from Qt about a runtime folder such a program never uses.
    QVERIFY2(!run.err.contains(QLatin1String("QStandardPaths")), qPrintable(run.err));
}

void TestPrintCommand::escPosOfOneTypeStartsBySettingItsModes()
{
    const QString file = m_out->filePath("bon.escpos");
    const Run run = print({QStringLiteral("--type=13"), QStringLiteral("--format=escpos"),
                           QStringLiteral("--output=") + file});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QFile bytes(file);
    QVERIFY(bytes.open(QIODevice::ReadOnly));
    // The demo printers do not initialise before each job, so the job sets its modes first.
    QVERIFY(bytes.readAll().startsWith(QByteArray::fromHex("1b21001b7413")));
}

// Catches --output sending the bytes to the port a printer record names for direct text mode,
// writing no file, naming the file and exiting 0.
void TestPrintCommand::escPosOutputIsTheFileWhateverPortTheRecordNames()
{
    PtyPair com1(m_out->path());
    QVERIFY2(com1.problem().isEmpty(), qPrintable(com1.problem()));
    com1.openReader();
    QStringList record = printerRecordFromPreset(QStringLiteral("TM-U200BT"));
    record[printerRecordFormat().positionOf(QStringLiteral("cmbComPortTextmDirekt"))] =
            QStringLiteral("COM1");
    m_installation->putList(PrinterRecordKennung, 3, ActivePrinterKey, record);
    const QStringList till = {QStringLiteral("--workstation=3"), QStringLiteral("--type=Bon"),
                              QStringLiteral("--now=2024-05-17T10:30:00"),
                              QStringLiteral("--port-COM1=") + com1.printer};

    const QString file = m_out->filePath("bon.escpos");
    const Run toFile = print(
            till
            + QStringList{QStringLiteral("--format=escpos"), QStringLiteral("--output=") + file});
    QVERIFY2(toFile.exitCode == 0, qPrintable(toFile.err));
    QCOMPARE(toFile.out.trimmed(), file);
    QFile written(file);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    QVERIFY(bytes.startsWith(QByteArray::fromHex("1b21001b7413")));
    QVERIFY(bytes.contains("Bon"));
    QVERIFY(bytes.endsWith("\x1D\x56\x01"));
    QCOMPARE(com1.read(1, 1000), QByteArray());

    // The port is really there: the till's own test print goes to it, with the same bytes.
    const Run toPrinter = print(till);
    QVERIFY2(toPrinter.exitCode == 0, qPrintable(toPrinter.err));
    QCOMPARE(toPrinter.out.trimmed(), com1.printer);
    QCOMPARE(com1.read(bytes.size(), 10000).toHex(' '), bytes.toHex(' '));
}

// Catches a text-mode picture drawn as graphic mode would: the virtual printer sets the bytes
// on 576 dots, and two runs at the same --now are the same picture.
void TestPrintCommand::pictureOfATextModeTillIsThePrintersOwn()
{
    QStringList files;
    for (const char *name : {"kasse2-a.png", "kasse2-b.png"}) {
        files << m_out->filePath(QLatin1String(name));
        const Run run =
                print({QStringLiteral("--workstation=4"), QStringLiteral("--type=13"),
                       QStringLiteral("--now=2024-05-17T10:30:00"), QStringLiteral("--format=png"),
                       QStringLiteral("--output=") + files.last()});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    }
    const QImage picture(files.first());
    QCOMPARE(picture.width(), 576 + 20);
    QCOMPARE(picture, QImage(files.last()));
}

void TestPrintCommand::allTypesAsOnePdfOfPages()
{
    const QString file = m_out->filePath("alle.pdf");
    const Run run = print({QStringLiteral("--workstation=3"), QStringLiteral("--all"),
                           QStringLiteral("--format=pdf"), QStringLiteral("--output=") + file});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(run.out.trimmed(), file);
    QCOMPARE(QDir(m_out->path()).entryList(QDir::Files), QStringList{QStringLiteral("alle.pdf")});
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {file});
    QVERIFY2(info.waitForFinished(20000) && info.exitCode() == 0,
             "pdfinfo (poppler-utils) reads the PDF");
    QVERIFY(QString::fromLocal8Bit(info.readAllStandardOutput())
                    .contains(QRegularExpression(QStringLiteral("Pages:\\s+23\\n"))));
}

void TestPrintCommand::withoutOutputPrintsOnTheWorkstationsPrinter()
{
    // Workstation 3 prints in text mode, to a network printer named for this run only.
    m_installation->putList(PrinterRecordKennung, 3, ActivePrinterKey,
                            printerRecordFromPreset(QStringLiteral("TM-U200BT")));
    QTcpServer printer;
    QVERIFY(printer.listen(QHostAddress::LocalHost));
    const QString device = QStringLiteral("tcp://127.0.0.1:%1").arg(printer.serverPort());
    const Run run = print({QStringLiteral("--workstation=3"), QStringLiteral("--type=Bon"),
                           QStringLiteral("--printer-device=") + device,
                           QStringLiteral("--spool=") + m_out->filePath("spool")});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(run.out.trimmed(), device);
    QVERIFY(printer.waitForNewConnection(5000));
    QTcpSocket *socket = printer.nextPendingConnection();
    QByteArray bytes;
    while (socket->state() == QAbstractSocket::ConnectedState && socket->waitForReadyRead(2000))
        bytes += socket->readAll();
    bytes += socket->readAll();
    QVERIFY(bytes.startsWith(QByteArray::fromHex("1b21001b7413")));
    QVERIFY(bytes.contains("Bon"));
    QVERIFY(bytes.endsWith("\x1D\x56\x01"));
    // Nothing went to files; the audit trail names the print and where it went.
    QVERIFY(QDir(m_out->filePath("spool")).isEmpty());
    QFile log(m_installation->path("print.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString trail = QString::fromUtf8(log.readAll());
    QVERIFY2(trail.contains(QLatin1String("aktion=testdruck")) && trail.contains(device),
             qPrintable(trail));
}

void TestPrintCommand::graphicPrintGoesThroughTheCupsQueue()
{
    const QString queue = qEnvironmentVariable("KASSOTYP_TEST_CUPS_QUEUE");
    QVERIFY2(!queue.isEmpty() && !qEnvironmentVariableIsEmpty("CUPS_SERVER"),
             "no CUPS server for the tests: the test command starts one with "
             "scripts/print-services.sh");
    const QDir out(qEnvironmentVariable("KASSOTYP_TEST_CUPS_PDF_DIR"));
    const QStringList name{QStringLiteral("Bon_Rechner_3-job_*.pdf")};
    const QStringList before = out.entryList(name, QDir::Files);
    const Run run = print({QStringLiteral("--workstation=3"), QStringLiteral("--type=13"),
                           QStringLiteral("--printer=") + queue});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(run.out.trimmed(), queue);
    // The queue names the PDF after the job: document type and workstation.
    QTRY_VERIFY_WITH_TIMEOUT(out.entryList(name, QDir::Files).size() > before.size(), 30000);
}

// An installation that lost kassotyp-systemprint must not quietly write a PDF into the spool
// folder instead of printing: the user is told what is missing.
void TestPrintCommand::graphicPrintWithoutThePrintModuleFailsLoudly()
{
    const QString queue = qEnvironmentVariable("KASSOTYP_TEST_CUPS_QUEUE");
    QVERIFY2(!queue.isEmpty(), "no CUPS queue for the tests: see scripts/print-services.sh");
    const QString built =
            QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/kassotyp-print");
    QVERIFY(QDir().mkpath(m_out->filePath("bin")));
    const QString alone = m_out->filePath("bin/kassotyp-print");
    QVERIFY(QFile::copy(built, alone));
    const QString spool = m_out->filePath("spool");
    const Run run = runProgram(
            alone, {QStringLiteral("--store=") + m_installation->storeLocation(),
                    QStringLiteral("--config="),
                    QStringLiteral("--log=") + m_installation->path("print.log"),
                    QStringLiteral("--spool=") + spool, QStringLiteral("--workstation=3"),
                    QStringLiteral("--type=13"), QStringLiteral("--printer=") + queue});
    QVERIFY2(run.exitCode != 0, qPrintable(run.out));
    QVERIFY2(run.err.contains(QLatin1String("kassotyp-systemprint")), qPrintable(run.err));
    QVERIFY(QDir(spool).entryList(QDir::Files).isEmpty());
}

void TestPrintCommand::refusedCallWritesNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    const QString out = QStringLiteral("--output=out");
    QTest::newRow("unknown type") << QStringList{QStringLiteral("--type=24"), out}
                                  << QStringLiteral("Belegart \"24\"");
    QTest::newRow("unknown type name") << QStringList{QStringLiteral("--type=Kassenzettel"), out}
                                       << QStringLiteral("Belegart \"Kassenzettel\"");
    QTest::newRow("workstation not in the table")
            << QStringList{QStringLiteral("--type=13"), QStringLiteral("--workstation=77"), out}
            << QStringLiteral("Rechner 77");
    QTest::newRow("store that does not exist")
            << QStringList{QStringLiteral("--all"), QStringLiteral("--store=nix.sqlite"), out}
            << QStringLiteral("existiert nicht");
    QTest::newRow("store that is no database")
            << QStringList{QStringLiteral("--all"), QStringLiteral("--store=kein.sqlite"), out}
            << QStringLiteral("keine Datenbank");
    // Only read: an empty file is not set up as a store.
    QTest::newRow("empty store file")
            << QStringList{QStringLiteral("--all"), QStringLiteral("--store=leer.sqlite"), out}
            << QStringLiteral("ist leer");
    QTest::newRow("output folder is a file")
            << QStringList{QStringLiteral("--all"), QStringLiteral("--output=kein.sqlite")}
            << QStringLiteral("kein Ordner");
    QTest::newRow("output below a file")
            << QStringList{QStringLiteral("--type=13"), QStringLiteral("--output=kein.sqlite/b")}
            << QStringLiteral("nicht geschrieben");
    QTest::newRow("file and printer at once")
            << QStringList{QStringLiteral("--type=13"),
                           QStringLiteral("--printer-device=/dev/null"), out}
            << QStringLiteral("nur eines von beiden");
    QTest::newRow("case that is none")
            << QStringList{QStringLiteral("--type=13"), QStringLiteral("--case=morgen"), out}
            << QStringLiteral("Unbekannter Fall \"morgen\" für --case: erlaubt sind normal, "
                              "ausfall, duplikat, training.");
    QTest::newRow("time that is none")
            << QStringList{QStringLiteral("--type=13"), QStringLiteral("--now=gestern"), out}
            << QStringLiteral("Ungültige Zeit \"gestern\"");
    QTest::newRow("file format without a file")
            << QStringList{QStringLiteral("--type=13")} << QStringLiteral("nur mit --output");
    QTest::newRow("output in /proc")
            << QStringList{QStringLiteral("--type=13"),
                           QStringLiteral("--output=/proc/kassotyp/13.pdf")}
            << QStringLiteral("nicht geschrieben");
}

void TestPrintCommand::refusedCallWritesNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QFile garbage(m_out->filePath("kein.sqlite"));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();
    QFile empty(m_out->filePath("leer.sqlite"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    // Relative names are meant inside the temporary folder.
    for (QString &argument : arguments) {
        for (const QLatin1String option : {QLatin1String("--output="), QLatin1String("--store=")}) {
            const QString value = argument.mid(option.size());
            if (argument.startsWith(option) && !value.startsWith(u'/'))
                argument = option + m_out->filePath(value);
        }
    }
    const Run run = print(arguments << QStringLiteral("--format=pdf"));
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
    QCOMPARE(QDir(m_out->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             (QStringList{QStringLiteral("kein.sqlite"), QStringLiteral("leer.sqlite")}));
    QCOMPARE(QFileInfo(m_out->filePath("kein.sqlite")).size(), 4096);
    QCOMPARE(QFileInfo(m_out->filePath("leer.sqlite")).size(), 0);
    QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/kassotyp")));
}

QTEST_MAIN(TestPrintCommand)
// The designer started as from a root shell (no runtime folder) on the same store says nothing
// on its way to the main window.
void TestPrintCommand::everyCaseScansToItsFiscalData_data()
{
    QTest::addColumn<int>("sampleCase");
    for (SampleCase c : sampleCases())
        QTest::newRow(qPrintable(sampleCaseName(c))) << int(c);
}

// The receipt and the RKSV receipt of the graphic till and of the text-mode till (as its printer
// sets the bytes), in each case: a phone reads the case's fiscal data from the paper.
void TestPrintCommand::everyCaseScansToItsFiscalData()
{
    if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty())
        QSKIP("zbarimg is missing (Debian package zbar-tools, scripts/install-deps.sh)");
    QFETCH(int, sampleCase);
    const QDateTime now(QDate(2024, 5, 17), QTime(10, 30));
    DocumentData expected = sampleDocument(1.0, QStringLiteral("EUR"), QString(), now);
    applySampleCase(expected, SampleCase(sampleCase));
    const bool failed = SampleCase(sampleCase) == SampleCase::Ausfall;
    for (const char *workstation : {"3", "4"}) {
        for (const char *type : {"13", "21"}) {
            const QString file =
                    m_out->filePath(QStringLiteral("%1-%2.png").arg(workstation, type));
            const Run run =
                    print({QStringLiteral("--workstation=") + QLatin1String(workstation),
                           QStringLiteral("--type=") + QLatin1String(type),
                           QStringLiteral("--case=") + sampleCaseName(SampleCase(sampleCase)),
                           QStringLiteral("--now=2024-05-17T10:30:00"),
                           QStringLiteral("--format=png"), QStringLiteral("--output=") + file});
            QVERIFY2(run.exitCode == 0, qPrintable(run.err));
            QProcess zbar;
            zbar.start(QStringLiteral("zbarimg"),
                       {QStringLiteral("--raw"), QStringLiteral("-q"), QStringLiteral("-Sdisable"),
                        QStringLiteral("-Sqrcode.enable"), file});
            QVERIFY(zbar.waitForFinished(30000));
            const QString read = QString::fromUtf8(zbar.readAllStandardOutput()).trimmed();
            const QString token =
                    QLatin1String(type) == QLatin1String("13") ? "#TSE-QR#" : "#RKSV-QR#";
            // A failed TSE signed nothing: the sales receipt has no code, its line no paper.
            const QString value = replacePlaceholders(token, expected, false);
            QCOMPARE(value.isEmpty(), failed && token == QLatin1String("#TSE-QR#"));
            QCOMPARE(read, value);
        }
    }
}

void TestPrintCommand::designerStartsQuietlyFromARootShell()
{
    // A password on the command line is warned about; it comes from the environment, as from
    // ~/.pgpass on a till.
    const StoreLocation location = StoreLocation::parse(m_installation->storeLocation());
    QString store = m_installation->storeLocation();
    if (!location.password.isEmpty()) {
        qputenv("PGPASSWORD", location.password.toUtf8());
        const qsizetype colon = store.indexOf(u':', store.indexOf(QLatin1String("://")) + 3);
        store.remove(colon, store.lastIndexOf(u'@') - colon);
    }
    const Run run = runBuilt(QStringLiteral("shell/kassotyp"),
                             {QStringLiteral("--store=") + store, QStringLiteral("--config="),
                              QStringLiteral("--log=") + m_installation->path("designer.log"),
                              QStringLiteral("--exit-when-shown")});
    qunsetenv("PGPASSWORD");
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
}

#include "tst_printcommand.moc"
