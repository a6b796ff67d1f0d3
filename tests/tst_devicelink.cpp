// Where a till's bytes really go: a serial port (a pty pair from socat, checked with stty), a
// network printer (a listener on 127.0.0.1, also one that stops reading), a raw CUPS queue and
// a CUPS PDF queue on the private server the test command starts (scripts/print-services.sh).
// A component that cannot be started fails the test with the reason; nothing is skipped.
#include "core/output/devicelink.h"
#include "core/output/printoutput.h"
#include "tests/support/ptypair.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// A raster band and text lines: every 0A and 0D 0A must arrive as they were sent.
const QByteArray Receipt =
        hex("1B 40 1D 76 30 00 01 00 03 00 0A 0D 0A") + "Bon 1" + hex("0D 0A 1B 64 04 1D 56 01");

// Everything a connection to the listener brings until it is closed.
QByteArray receive(QTcpServer &server, int timeoutMs = 10000)
{
    if (!server.waitForNewConnection(timeoutMs))
        return {};
    QTcpSocket *socket = server.nextPendingConnection();
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        got += socket->readAll();
        if (socket->state() == QAbstractSocket::UnconnectedState)
            break;
        socket->waitForReadyRead(100);
    }
    return got + socket->readAll();
}

QString cupsProblem()
{
    if (qEnvironmentVariableIsEmpty("CUPS_SERVER")
        || qEnvironmentVariableIsEmpty("KASSOTYP_TEST_CUPS_QUEUE"))
        return QStringLiteral("no CUPS server for the tests: the test command starts one with "
                              "scripts/print-services.sh (eval \"export $(scripts/"
                              "print-services.sh)\" when running a test alone)");
    return {};
}

int lpadmin(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral("lpadmin"),
            QStringList{QStringLiteral("-h"), qEnvironmentVariable("CUPS_SERVER")} + arguments);
    return p.waitForFinished(10000) ? p.exitCode() : -1;
}

} // namespace

class TestDeviceLink : public QObject
{
    Q_OBJECT

private slots:
    void serialPortIsSetUpRawAtTheRecordsSpeed_data();
    void serialPortIsSetUpRawAtTheRecordsSpeed();
    void serialPortThatTakesNothingIsLetGoInTime();
    void absentDevicesAreReportedClearly_data();
    void absentDevicesAreReportedClearly();
    void networkPrinterGetsTheBytes();
    void stalledNetworkPrinterTimesOut();
    void rawCupsQueuePassesTheBytesOn();
    void graphicPrintArrivesInCupsAsNamedPdf();
};

void TestDeviceLink::serialPortIsSetUpRawAtTheRecordsSpeed_data()
{
    // (A pty keeps no parity: Linux sets its ptys to 8 bits without parity whatever is asked.)
    QTest::addColumn<QString>("baud");
    QTest::addColumn<QString>("expected");
    QTest::newRow("display's 19200") << "19200"
                                     << "speed 19200 baud";
    QTest::newRow("115200") << "115200"
                            << "speed 115200 baud";
    QTest::newRow("no baud rate: 9600") << ""
                                        << "speed 9600 baud";
}

void TestDeviceLink::serialPortIsSetUpRawAtTheRecordsSpeed()
{
    QFETCH(QString, baud);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    PtyPair pty(dir.path());
    QVERIFY2(pty.problem().isEmpty(), qPrintable(pty.problem()));
    pty.openReader();

    // More than the ptys buffer: the port stays open, and its settings can be looked at, until
    // the reader takes the bytes.
    const QByteArray bytes = Receipt.repeated(20000);
    OutputResult r;
    QThread *sender = QThread::create([&] {
        LinkOptions options;
        options.serial = SerialSettings::fromRecord(baud);
        r = DeviceLink::send(pty.printer, bytes, options);
    });
    sender->start();
    QString settings;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000 && !settings.contains(expected)) {
        QTest::qWait(20);
        settings = pty.stty();
    }
    const QByteArray arrived = pty.read(bytes.size(), 20000);
    QVERIFY(sender->wait(20000));
    delete sender;

    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY2(settings.contains(expected), qPrintable(settings));
    // Raw: no output processing (0A would become 0D 0A), no line editing, 8 bits.
    for (const char *flag : {"-opost", "-icanon", "-echo ", "cs8"})
        QVERIFY2(settings.contains(QLatin1String(flag)), qPrintable(settings));
    // Byte for byte: no 0D inserted before 0A, none doubled.
    QCOMPARE(arrived.size(), bytes.size());
    QVERIFY(arrived == bytes);
}

void TestDeviceLink::serialPortThatTakesNothingIsLetGoInTime()
{
    QTemporaryDir dir;
    PtyPair pty(dir.path());
    QVERIFY2(pty.problem().isEmpty(), qPrintable(pty.problem()));
    pty.openReader(); // and never read: a display that is switched off

    // A speed no port has is refused before anything is sent.
    LinkOptions options;
    options.serial = SerialSettings::fromRecord(QStringLiteral("12345"));
    OutputResult r = DeviceLink::send(pty.printer, Receipt, options);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(QStringLiteral("12345 Baud")), qPrintable(r.error));

    // Far more than the pty takes: the send ends at its deadline (the bytes' time at the
    // port's speed, 1.6 s here, and the device's allowance) with the time-out message.
    options.serial = SerialSettings::fromRecord(QStringLiteral("921600"));
    options.writeTimeoutMs = 1000;
    QElapsedTimer clock;
    clock.start();
    r = DeviceLink::send(pty.printer, Receipt.repeated(5000), options);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(QStringLiteral("Zeitüberschreitung")), qPrintable(r.error));
    QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));

    // ... and the port is free again for the next print.
    options.writeTimeoutMs = 10000;
    pty.read(64 * 1024 * 1024, 200); // the display is switched on and takes what was queued
    r = DeviceLink::send(pty.printer, Receipt, options);
    QVERIFY2(r.ok, qPrintable(r.error));
}

void TestDeviceLink::absentDevicesAreReportedClearly_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("message");
    QTest::newRow("serial port not there") << "/dev/ttyKassotyp9"
                                           << "kann nicht geöffnet";
    QTest::newRow("nothing listens") << "tcp://127.0.0.1:1"
                                     << "nicht erreichbar";
    QTest::newRow("not an address") << "tcp://"
                                    << "keine Druckeradresse";
    QTest::newRow("queue without name") << "cups:"
                                        << "Warteschlange";
}

void TestDeviceLink::absentDevicesAreReportedClearly()
{
    QFETCH(QString, target);
    QFETCH(QString, message);
    QElapsedTimer clock;
    clock.start();
    const OutputResult r = DeviceLink::send(target, Receipt, {});
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(message), qPrintable(r.error));
    QVERIFY(clock.elapsed() < 8000);
}

void TestDeviceLink::networkPrinterGetsTheBytes()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    QTemporaryDir dir;
    // Through the printer output, as a till's text-mode print goes.
    const ComputerConfig config = ComputerConfig::load(
            {QStringLiteral("--config="), QStringLiteral("--spool=") + dir.filePath("spool"),
             QStringLiteral("--printer-device=tcp://127.0.0.1:%1").arg(server.serverPort())});
    const OutputResult r = PrintOutput(config).writeTo(config.printerDevice, Receipt);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(receive(server).toHex(' '), Receipt.toHex(' '));
    QVERIFY(QDir(dir.filePath("spool")).isEmpty());
}

void TestDeviceLink::stalledNetworkPrinterTimesOut()
{
    // A printer that takes the connection and then reads nothing (out of paper, cover open).
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    LinkOptions options;
    options.writeTimeoutMs = 1500;
    QElapsedTimer clock;
    clock.start();
    const OutputResult r =
            DeviceLink::send(QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort()),
                             QByteArray(64 * 1024 * 1024, 'x'), options);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(QStringLiteral("Zeitüberschreitung")), qPrintable(r.error));
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
}

void TestDeviceLink::rawCupsQueuePassesTheBytesOn()
{
    QVERIFY2(cupsProblem().isEmpty(), qPrintable(cupsProblem()));
    // A receipt printer on the network behind a raw queue, as shops set them up.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    const QString queue = QStringLiteral("KassotypRoh%1").arg(server.serverPort());
    QCOMPARE(lpadmin({QStringLiteral("-p"), queue, QStringLiteral("-E"), QStringLiteral("-v"),
                      QStringLiteral("socket://127.0.0.1:%1").arg(server.serverPort())}),
             0);
    LinkOptions options;
    options.jobName = QStringLiteral("Bon Rechner 3");
    const OutputResult r = DeviceLink::send(QStringLiteral("cups:") + queue, Receipt, options);
    const QByteArray arrived = receive(server, 20000);
    lpadmin({QStringLiteral("-x"), queue});
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(r.target.contains(QLatin1String("Auftrag")));
    QCOMPARE(arrived.toHex(' '), Receipt.toHex(' '));

    const OutputResult missing =
            DeviceLink::send(QStringLiteral("cups:GibtEsNicht"), Receipt, options);
    QVERIFY(!missing.ok);
    QVERIFY2(missing.error.contains(QLatin1String("GibtEsNicht")), qPrintable(missing.error));
}

void TestDeviceLink::graphicPrintArrivesInCupsAsNamedPdf()
{
    QVERIFY2(cupsProblem().isEmpty(), qPrintable(cupsProblem()));
    QTemporaryDir dir;
    const ComputerConfig config = ComputerConfig::load(
            {QStringLiteral("--config="), QStringLiteral("--spool=") + dir.filePath("spool"),
             QStringLiteral("--printer=") + qEnvironmentVariable("KASSOTYP_TEST_CUPS_QUEUE")});
    PrintJob job;
    job.mode = QStringLiteral("G");
    job.title = QStringLiteral("Bon Rechner %1").arg(QCoreApplication::applicationPid());
    job.paperWidthCm = 8.0;
    JobItem line;
    line.text = QStringLiteral("Schuhhaus Beispiel");
    job.items << line;
    const OutputResult r = PrintOutput(config).printGraphic(job);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.target, qEnvironmentVariable("KASSOTYP_TEST_CUPS_QUEUE"));
    QVERIFY(QDir(dir.filePath("spool")).isEmpty());

    // The PDF queue names its file after the job: "Bon_Rechner_<pid>-job_<n>.pdf".
    const QDir out(qEnvironmentVariable("KASSOTYP_TEST_CUPS_PDF_DIR"));
    const QString pattern = QString(job.title).replace(u' ', u'_') + QStringLiteral("-job_*.pdf");
    QByteArray pdf;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 30000 && !pdf.trimmed().endsWith("%%EOF")) {
        QTest::qWait(100);
        const QStringList files = out.entryList({pattern}, QDir::Files);
        if (files.isEmpty())
            continue;
        QFile file(out.filePath(files.constFirst()));
        if (file.open(QIODevice::ReadOnly))
            pdf = file.readAll();
    }
    QVERIFY2(pdf.startsWith("%PDF"), qPrintable(out.path() + u'/' + pattern));
    QVERIFY(pdf.trimmed().endsWith("%%EOF"));
}

QTEST_MAIN(TestDeviceLink)
#include "tst_devicelink.moc"
