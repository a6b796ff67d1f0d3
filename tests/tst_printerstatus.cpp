// A receipt printer that answers: a stand-in written from the command reference at the far end
// of a pty pair and of a TCP listener, which answers DLE EOT n as a printer without paper, with
// its cover open or ready does, keeps the pictures defined in its memory across connections and
// records every byte it gets. The till's status requests, its logos kept in the printer and the
// test print of the real main window are checked against it.
#include "core/engine/bonprinter.h"
#include "core/engine/printerlogos.h"
#include "core/engine/testprints.h"
#include "core/format/devicepresets.h"
#include "core/model/hosttables.h"
#include "core/output/devicelink.h"
#include "core/output/virtualprinter.h"
#include "core/sections/bonkopfformat.h"
#include "core/sections/demoshop.h"
#include "core/store/logostore.h"
#include "settings/allgtreiber.h"
#include "shell/kassotypu.h"
#include "tests/support/builtprogram.h"
#include "tests/support/guisupport.h"
#include "tests/support/ptypair.h"
#include "widgets/buttonmenu.h"

#include <QBuffer>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <arpa/inet.h>
#include <atomic>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// The printer, as the command reference describes it. Real-time status (DLE EOT n, 10 04 n):
// one byte, bits 1 and 4 always on (12); n = 1 bit 3 off line, n = 2 bit 2 cover open and bit 5
// stopped at the paper's end, n = 3 bit 5 an error that does not recover and bit 6 one that
// does, n = 4 bits 2-3 paper near its end and bits 5-6 no paper. Kept pictures: GS ( L / GS 8 L
// with m = 48, fn = 67 defines a raster picture under the key kc1 kc2, fn = 69 prints one;
// FS q n defines n pictures at once. Raster pictures (GS v 0) are read past by their size.
class StandInPrinter
{
public:
    enum class State { Ready, PaperOut, CoverOpen, NearEnd, Silent };

    ~StandInPrinter() { stop(); }

    void setState(State state) { m_state = state; }

    // Serves the far end of a pty pair until stopped.
    void servePty(const QString &reader)
    {
        const int fd =
                ::open(QFile::encodeName(reader).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY2(fd >= 0, "the pty's far end opens");
        m_thread = std::thread([this, fd] {
            serve(fd, false);
            ::close(fd);
        });
    }

    // Listens on 127.0.0.1; each connection is served until the till closes it. Answers the port.
    quint16 serveTcp()
    {
        const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(listener, reinterpret_cast<sockaddr *>(&address), size) != 0
            || ::listen(listener, 4) != 0
            || ::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &size) != 0)
            return 0;
        m_thread = std::thread([this, listener] {
            while (!m_stop) {
                pollfd p{listener, POLLIN, 0};
                if (::poll(&p, 1, 50) <= 0)
                    continue;
                const int connection = ::accept(listener, nullptr, nullptr);
                if (connection >= 0) {
                    serve(connection, true);
                    ::close(connection);
                }
            }
            ::close(listener);
        });
        return ntohs(address.sin_port);
    }

    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

    QByteArray received()
    {
        const std::lock_guard lock(m_mutex);
        return m_received;
    }
    // What arrived, once it holds `tail` or the time is up.
    QByteArray receivedUntil(const QByteArray &tail, int timeoutMs = 10000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!received().contains(tail) && clock.elapsed() < timeoutMs)
            QThread::msleep(20);
        return received();
    }
    void clearReceived()
    {
        const std::lock_guard lock(m_mutex);
        m_received.clear();
    }
    QStringList keptKeys()
    {
        const std::lock_guard lock(m_mutex);
        QStringList keys = m_kept.keys();
        keys.sort();
        return keys;
    }
    QStringList printedKeys()
    {
        const std::lock_guard lock(m_mutex);
        return m_printed;
    }

private:
    char statusByte(int n) const
    {
        switch (m_state.load()) {
        case State::PaperOut:
            return char(QByteArray("\x1A\x32\x12\x72").at(n - 1));
        case State::CoverOpen:
            return char(QByteArray("\x1A\x16\x12\x12").at(n - 1));
        case State::NearEnd:
            return char(QByteArray("\x12\x12\x12\x1E").at(n - 1));
        default:
            return 0x12;
        }
    }

    void serve(int fd, bool socket)
    {
        QByteArray pending;
        while (!m_stop) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            char buffer[4096];
            const ssize_t n = socket ? ::recv(fd, buffer, sizeof buffer, 0)
                                     : ::read(fd, buffer, sizeof buffer);
            if (n <= 0) {
                if (socket || (n < 0 && errno != EAGAIN && errno != EIO))
                    return;          // the till closed the connection
                QThread::msleep(10); // a pty whose near end is closed until the next open
                continue;
            }
            {
                const std::lock_guard lock(m_mutex);
                m_received.append(buffer, n);
            }
            pending.append(buffer, n);
            pending = interpret(fd, socket, pending);
        }
    }

    // Works through the complete commands; answers what is left for more bytes.
    QByteArray interpret(int fd, bool socket, const QByteArray &bytes)
    {
        const auto at = [&](qsizetype i) {
            return static_cast<unsigned char>(bytes.at(i));
        };
        qsizetype i = 0;
        while (i < bytes.size()) {
            const qsizetype left = bytes.size() - i;
            if (at(i) == 0x10 && left >= 3 && at(i + 1) == 0x04) {
                if (m_state != State::Silent) {
                    const char answer = statusByte(at(i + 2));
                    const ssize_t sent =
                            socket ? ::send(fd, &answer, 1, MSG_NOSIGNAL) : ::write(fd, &answer, 1);
                    Q_UNUSED(sent) // a till that hung up asks no more
                }
                i += 3;
            } else if (at(i) == 0x1D && left >= 3 && (at(i + 1) == 0x28 || at(i + 1) == 0x38)
                       && at(i + 2) == 0x4C) {
                const int sizeBytes = at(i + 1) == 0x28 ? 2 : 4;
                if (left < 3 + sizeBytes)
                    break;
                qsizetype size = 0;
                for (int k = sizeBytes - 1; k >= 0; --k)
                    size = size * 256 + at(i + 3 + k);
                if (left < 3 + sizeBytes + size)
                    break;
                const QByteArray parameters = bytes.mid(i + 3 + sizeBytes, size);
                const std::lock_guard lock(m_mutex);
                if (parameters.at(1) == 67) // m fn a kc1 kc2 b xL xH yL yH c d...
                    m_kept.insert(QString::fromLatin1(parameters.mid(3, 2)), parameters.mid(5));
                else if (parameters.at(1) == 69) // m fn kc1 kc2 x y
                    m_printed << QString::fromLatin1(parameters.mid(2, 2));
                i += 3 + sizeBytes + size;
            } else if (at(i) == 0x1D && left >= 8 && at(i + 1) == 0x76 && at(i + 2) == 0x30) {
                const qsizetype size =
                        qsizetype(at(i + 4) + 256 * at(i + 5)) * (at(i + 6) + 256 * at(i + 7));
                if (left < 8 + size)
                    break;
                i += 8 + size;
            } else if (at(i) == 0x1C && left >= 3 && at(i + 1) == 0x71) {
                qsizetype k = i + 3;
                bool complete = true;
                QStringList numbers;
                for (int n = 1; n <= at(i + 2); ++n) {
                    if (k + 4 > bytes.size()) {
                        complete = false;
                        break;
                    }
                    k += 4 + qsizetype(at(k) + 256 * at(k + 1)) * (at(k + 2) + 256 * at(k + 3)) * 8;
                    numbers << QString::number(n);
                }
                if (!complete || k > bytes.size())
                    break;
                const std::lock_guard lock(m_mutex);
                m_kept.clear(); // FS q replaces every picture kept
                for (const QString &number : numbers)
                    m_kept.insert(number, {});
                i = k;
            } else if ((at(i) == 0x10 || at(i) == 0x1D || at(i) == 0x1C) && left < 3) {
                break;
            } else {
                ++i;
            }
        }
        return bytes.mid(i);
    }

    std::atomic<State> m_state{State::Ready};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    std::mutex m_mutex;
    QByteArray m_received;
    QMap<QString, QByteArray> m_kept; // key -> its parameters after the key
    QStringList m_printed;
};

const QByteArray StatusRequests = hex("10 04 01 10 04 02 10 04 03 10 04 04");
const QByteArray Job = QByteArray("Bon 1\n") + hex("1D 56 42 00");

// The demo till's thermal printer switched to direct text mode on a serial port: its designs
// and logos stay those of its printer key.
QStringList printerOnPort(const QString &port)
{
    QStringList record = printerRecordFromPreset(QStringLiteral("TM-T88"));
    record[printerRecordFormat().positionOf(QStringLiteral("rgpDruckermodus"))] =
            QStringLiteral("0");
    record[printerRecordFormat().positionOf(QStringLiteral("cmbComPortTextmDirekt"))] = port;
    record[printerRecordFormat().positionOf(QStringLiteral("cmbTextmDirektBaudrate"))] =
            QStringLiteral("9600");
    return record;
}

QByteArray png(const QImage &picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

// Till 3, whose printer is the stand-in at the far end of a pty pair on COM1; its printer record
// is the demo's thermal printer in direct text mode unless given.
struct TillWithPrinter
{
    explicit TillWithPrinter(StandInPrinter::State state = StandInPrinter::State::Ready,
                             QStringList record = printerOnPort(QStringLiteral("COM1")))
        : pty(dir.path())
    {
        if (!pty.problem().isEmpty())
            return;
        printer.setState(state);
        printer.servePty(pty.reader);
        TestInstallation::Options options;
        options.workstationId = 3;
        options.positional << QStringLiteral("--port-COM1=") + pty.printer;
        installation = std::make_unique<TestInstallation>(options);
        installation->putList(PrinterRecordKennung, 3, ActivePrinterKey, record);
    }

    QTemporaryDir dir;
    PtyPair pty;
    StandInPrinter printer;
    std::unique_ptr<TestInstallation> installation;
};

} // namespace

class TestPrinterStatus : public QObject
{
    Q_OBJECT

private slots:
    void statusIsAskedBeforeAndAfterPrinting_data();
    void statusIsAskedBeforeAndAfterPrinting();
    void printersThatCannotAnswerAreNotAsked();
    void logosKeptInThePrinterPrintByTheirKey();
    void olderPrintersKeepTheLogosByNumber();
    void printerWindowLoadsTheLogosIntoAPrinterThatKeepsThem();
    void drawerTestAsksThePrinterToo();
    void adminLoadsTheLogosForAScript();
    void testPrintOfTheMainWindowSaysWhatStandsInTheWay();
};

void TestPrinterStatus::statusIsAskedBeforeAndAfterPrinting_data()
{
    QTest::addColumn<bool>("network");
    QTest::addColumn<StandInPrinter::State>("state");
    QTest::addColumn<bool>("printed");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QString>("status");
    using S = StandInPrinter::State;
    for (const bool network : {false, true}) {
        const char *link = network ? "network" : "serial";
        QTest::addRow("%s ready", link)
                << network << S::Ready << true << QString()
                << QStringLiteral("vorher 12 12 12 12, nachher 12 12 12 12");
        QTest::addRow("%s paper out: nothing sent", link)
                << network << S::PaperOut << false << QStringLiteral("Papier zu Ende")
                << QStringLiteral("1a 32 12 72");
        QTest::addRow("%s cover open: nothing sent", link)
                << network << S::CoverOpen << false << QStringLiteral("Deckel offen")
                << QStringLiteral("1a 16 12 12");
        QTest::addRow("%s paper low: printed, said", link)
                << network << S::NearEnd << true << QStringLiteral("Papier geht zu Ende")
                << QStringLiteral("nachher 12 12 12 1e");
        QTest::addRow("%s no answer: printed, said", link)
                << network << S::Silent << true
                << QStringLiteral("Drucker antwortet nicht auf die Statusabfrage")
                << QStringLiteral("vorher -, nachher -");
    }
}

// Catches a print into a printer without paper or with its cover open reported as printed, and
// a printer that keeps quiet failing a print it took.
void TestPrinterStatus::statusIsAskedBeforeAndAfterPrinting()
{
    QFETCH(bool, network);
    QFETCH(StandInPrinter::State, state);
    QFETCH(bool, printed);
    QFETCH(QString, said);
    QFETCH(QString, status);
    QTemporaryDir dir;
    std::unique_ptr<PtyPair> pty;
    StandInPrinter printer;
    printer.setState(state);
    QString target;
    if (network) {
        const quint16 port = printer.serveTcp();
        QVERIFY(port != 0);
        target = QStringLiteral("tcp://127.0.0.1:%1").arg(port);
    } else {
        pty = std::make_unique<PtyPair>(dir.path());
        QVERIFY2(pty->problem().isEmpty(), qPrintable(pty->problem()));
        printer.servePty(pty->reader);
        target = pty->printer;
    }
    LinkOptions options;
    options.askStatus = true;
    options.statusTimeoutMs = 300;
    QElapsedTimer clock;
    clock.start();
    const OutputResult r = DeviceLink::send(target, Job, options);
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(r.ok, printed);
    if (said.isEmpty())
        QVERIFY2(r.warning.isEmpty() && r.error.isEmpty(), qPrintable(r.error + r.warning));
    else
        QVERIFY2((printed ? r.warning : r.error).contains(said), qPrintable(r.error + r.warning));
    QVERIFY2(r.printerStatus.contains(status), qPrintable(r.printerStatus));
    // The four requests, then the job when nothing stands in its way, then the four again.
    const QByteArray expected =
            printed ? QByteArray(StatusRequests + Job + StatusRequests) : StatusRequests;
    const QByteArray arrived = printer.receivedUntil(expected, 3000);
    if (state == StandInPrinter::State::Silent) // one request each time, then it gives up
        QCOMPARE(arrived.toHex(' '),
                 QByteArray(hex("10 04 01") + Job + hex("10 04 01")).toHex(' '));
    else
        QCOMPARE(arrived.toHex(' '), expected.toHex(' '));
}

// Catches status requests sent where no answer can come back, where their bytes would print
// or stay in the queue: a device file (a USB printer's), and a printer that does not answer.
void TestPrinterStatus::printersThatCannotAnswerAreNotAsked()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("usb-drucker"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    LinkOptions options;
    options.askStatus = true;
    QVERIFY(!DeviceLink::answers(fifo));
    const OutputResult r = DeviceLink::send(fifo, Job, options);
    QVERIFY2(r.ok, qPrintable(r.error));
    QByteArray got(256, '\0');
    got.resize(qMax<ssize_t>(0, ::read(reader, got.data(), got.size())));
    ::close(reader);
    QCOMPARE(got.toHex(' '), Job.toHex(' '));
    QVERIFY(r.printerStatus.isEmpty());

    // A serial printer whose record does not say it answers is not asked either.
    PtyPair pty(dir.path());
    QVERIFY2(pty.problem().isEmpty(), qPrintable(pty.problem()));
    StandInPrinter printer;
    printer.servePty(pty.reader);
    const OutputResult plain = DeviceLink::send(pty.printer, Job, LinkOptions{});
    QVERIFY2(plain.ok, qPrintable(plain.error));
    QCOMPARE(printer.receivedUntil(Job).toHex(' '), Job.toHex(' '));
}

// Catches the logo sent whole on every receipt although the printer holds it, a changed logo
// printed from the printer's old picture, and a preview that differs from the paper.
void TestPrinterStatus::logosKeptInThePrinterPrintByTheirKey()
{
    TillWithPrinter till;
    QVERIFY2(till.pty.problem().isEmpty(), qPrintable(till.pty.problem()));
    TBonPrinter engine(till.installation->host(), CAlleBonArten());
    engine.setWorkstation(3);
    engine.Refresh();
    runTestPrint(engine, 13);
    const OutputResult whole = engine.lastOutput();
    QVERIFY2(whole.ok, qPrintable(whole.error));
    QVERIFY(whole.bytes.contains(hex("1D 76 30 00")));
    const QImage wholePicture = engine.lastPrintPicture();

    const OutputResult loaded = PrinterLogos::load(engine);
    QVERIFY2(loaded.ok, qPrintable(loaded.error));
    QCOMPARE(till.printer.keptKeys(), QStringList{QStringLiteral("K1")});
    // A new connection: the printer still has it.
    till.printer.clearReceived();
    runTestPrint(engine, 13);
    const OutputResult byKey = engine.lastOutput();
    QVERIFY2(byKey.ok, qPrintable(byKey.error));
    QVERIFY(!byKey.bytes.contains(hex("1D 76 30")));
    QVERIFY(byKey.bytes.contains(hex("1D 28 4C 06 00 30 45 4B 31 01 01")));
    QVERIFY2(
            whole.bytes.size() - byKey.bytes.size() > 4000,
            qPrintable(QStringLiteral("%1 -> %2").arg(whole.bytes.size()).arg(byKey.bytes.size())));
    till.printer.receivedUntil(hex("1D 56 42"));
    QCOMPARE(till.printer.printedKeys(), QStringList{QStringLiteral("K1")});
    QCOMPARE(engine.lastPrintPicture(), wholePicture);

    // The shop changes its logo: the receipt sends the new one whole until it is loaded again.
    QImage changed(120, 40, QImage::Format_RGB32);
    changed.fill(Qt::white);
    QPainter(&changed).fillRect(10, 10, 60, 20, Qt::black);
    for (const QString &section : demoShopLogoSections())
        till.installation->host().logos().save(
                {KassotypProgramKey, section, CurrentLogoName, 0},
                {png(changed), changed.width(), changed.height(), {}});
    runTestPrint(engine, 13);
    QVERIFY(engine.lastOutput().bytes.contains(hex("1D 76 30 00")));
    QVERIFY(!engine.lastOutput().bytes.contains(hex("1D 28 4C 06 00 30 45")));
}

// Catches FS q pictures numbered otherwise than FS p prints them.
void TestPrinterStatus::olderPrintersKeepTheLogosByNumber()
{
    QStringList record = printerOnPort(QStringLiteral("COM1"));
    record[printerRecordFormat().positionOf(PrinterCapability::MemoryCommands)] =
            QStringLiteral("FSq");
    TillWithPrinter till(StandInPrinter::State::Ready, record);
    QVERIFY2(till.pty.problem().isEmpty(), qPrintable(till.pty.problem()));
    TBonPrinter engine(till.installation->host(), CAlleBonArten());
    engine.setWorkstation(3);
    engine.Refresh();
    const OutputResult loaded = PrinterLogos::load(engine);
    QVERIFY2(loaded.ok, qPrintable(loaded.error));
    QVERIFY(loaded.bytes.startsWith(hex("1C 71 01")));
    runTestPrint(engine, 13);
    QVERIFY(engine.lastOutput().bytes.contains(hex("1C 70 01 00")));
    QVERIFY(!engine.lastOutput().bytes.contains(hex("1D 76 30")));
    till.printer.receivedUntil(hex("1D 56 42"));
    QCOMPARE(till.printer.keptKeys(), QStringList{QStringLiteral("1")});
}

// Catches the loading offered for a printer without graphics memory, and a load through the
// window that leaves the store not knowing what the printer holds.
void TestPrinterStatus::printerWindowLoadsTheLogosIntoAPrinterThatKeepsThem()
{
    TillWithPrinter till;
    QVERIFY2(till.pty.problem().isEmpty(), qPrintable(till.pty.problem()));
    FakeMainWindow main(*till.installation, 3);
    TfrmAllgTreiber window;
    window.show();
    auto *load = window.findChild<QPushButton *>(QStringLiteral("btnLogosLaden"));
    auto *memory = window.findChild<QCheckBox *>(PrinterCapability::GraphicsMemory);
    QVERIFY(load && memory);
    QVERIFY(load->isEnabled());
    QTest::mouseClick(memory, Qt::LeftButton, {}, QPoint(4, memory->height() / 2));
    QVERIFY(!memory->isChecked());
    QVERIFY(!load->isEnabled());
    QTest::mouseClick(memory, Qt::LeftButton, {}, QPoint(4, memory->height() / 2));
    QVERIFY(load->isEnabled());
    // In graphic mode the system's driver prints the logos: nothing to load.
    const auto mode = [&](const QString &caption) {
        for (QRadioButton *button : window.findChildren<QRadioButton *>()) {
            if (button->text().startsWith(caption))
                QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
        }
    };
    mode(QStringLiteral("Grafikmodus"));
    QVERIFY(!load->isEnabled());
    mode(QStringLiteral("Textmodus"));
    QVERIFY(load->isEnabled());

    QTest::mouseClick(load, Qt::LeftButton);
    const QString said = till.installation->messages().shown().constLast().text;
    QVERIFY2(said.contains(QStringLiteral("in den Drucker geladen")), qPrintable(said));
    QTRY_COMPARE(till.printer.keptKeys(), QStringList{QStringLiteral("K1")});
    const QList<HeldPicture> held = PrinterLogoStore(till.installation->host().store())
                                            .held(3, QStringLiteral("TM-T88"), till.pty.printer);
    QCOMPARE(held.size(), 1);
    QCOMPARE(held.constFirst().logoKey, QStringLiteral("K1"));
    QCOMPARE(held.constFirst().pictureHash.size(), 64);
}

// Catches a drawer pulse through the printer sent without asking, and one into a printer with
// its cover open reported as done.
void TestPrinterStatus::drawerTestAsksThePrinterToo()
{
    QStringList record = printerOnPort(QStringLiteral("COM1"));
    record[printerRecordFormat().positionOf(PrinterRecord::Drawer)] = QStringLiteral("Drucker");
    TillWithPrinter till(StandInPrinter::State::Ready, record);
    QVERIFY2(till.pty.problem().isEmpty(), qPrintable(till.pty.problem()));
    TBonPrinter engine(till.installation->host(), CAlleBonArten());
    engine.setWorkstation(3);
    engine.Refresh();
    const QByteArray pulse = hex("1B 70 30 19 FA"); // the record's ESC p
    const OutputResult opened = engine.KT_DrawerOpen();
    QVERIFY2(opened.ok, qPrintable(opened.error));
    const QByteArray expected = StatusRequests + pulse + StatusRequests;
    QCOMPARE(till.printer.receivedUntil(expected).toHex(' '), expected.toHex(' '));

    till.printer.clearReceived();
    till.printer.setState(StandInPrinter::State::CoverOpen);
    const OutputResult refused = engine.KT_DrawerOpen();
    QVERIFY(!refused.ok);
    QVERIFY2(refused.error.contains(QStringLiteral("Deckel offen")), qPrintable(refused.error));
    QCOMPARE(till.printer.receivedUntil(StatusRequests).toHex(' '), StatusRequests.toHex(' '));
}

// Catches the command line loading something else than the window does, or not recording it for
// the till's next print.
void TestPrinterStatus::adminLoadsTheLogosForAScript()
{
    TillWithPrinter till;
    QVERIFY2(till.pty.problem().isEmpty(), qPrintable(till.pty.problem()));
    const QStringList call = {QStringLiteral("--store=") + till.installation->storeLocation(),
                              QStringLiteral("--config="),
                              QStringLiteral("--log=") + till.installation->path("admin.log"),
                              QStringLiteral("--workstation=3"),
                              QStringLiteral("--port-COM1=") + till.pty.printer};
    const Run run = runBuilt(QStringLiteral("tools/kassotyp-admin"),
                             call + QStringList{QStringLiteral("logos"), QStringLiteral("--load")});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains(QStringLiteral("Schlüssel K1")), qPrintable(run.out));
    QTRY_COMPARE(till.printer.keptKeys(), QStringList{QStringLiteral("K1")});

    TBonPrinter engine(till.installation->host(), CAlleBonArten());
    engine.setWorkstation(3);
    engine.Refresh();
    runTestPrint(engine, 13);
    QVERIFY(engine.lastOutput().bytes.contains(hex("1D 28 4C 06 00 30 45 4B 31 01 01")));
    QVERIFY(!engine.lastOutput().bytes.contains(hex("1D 76 30")));

    // A wrong call loads nothing.
    const Run wrong = runBuilt(QStringLiteral("tools/kassotyp-admin"),
                               call + QStringList{QStringLiteral("logos")});
    QCOMPARE(wrong.exitCode, 2);
    QVERIFY2(wrong.err.contains(QStringLiteral("--load")), qPrintable(wrong.err));
}

// Catches a test print into a printer without paper shown as printed, and the time the shop
// waits before it is told.
void TestPrinterStatus::testPrintOfTheMainWindowSaysWhatStandsInTheWay()
{
    TillWithPrinter till(StandInPrinter::State::PaperOut);
    QVERIFY2(till.pty.problem().isEmpty(), qPrintable(till.pty.problem()));
    TfrmKassotypHaupt window(till.installation->host(), {});
    window.show();
    int viewers = 0;
    window.onEditorOpened = [&](TOVOForm *form) {
        ++viewers;
        QTimer::singleShot(0, form, [form] { form->reject(); });
    };
    auto *types = window.findChild<TButtonMenu *>(QStringLiteral("btnMenuLinks"));
    auto *sections = window.findChild<TButtonMenu *>(QStringLiteral("btnMenuRechts"));
    types->clickEntry(types->indexOfTag(13));
    QElapsedTimer clock;
    clock.start();
    sections->clickEntry(sections->indexOfTag(21));
    const qint64 ms = clock.elapsed();
    qInfo("Testdruck bis zur Meldung: %lld ms", ms);
    QCOMPARE(viewers, 0);
    QVERIFY(till.installation->messages().sawMessage(1009));
    QVERIFY2(till.installation->messages().shown().constLast().text.contains(
                     QStringLiteral("Papier zu Ende")),
             qPrintable(till.installation->messages().shown().constLast().text));
    QCOMPARE(till.printer.receivedUntil(StatusRequests, 1000).toHex(' '),
             StatusRequests.toHex(' '));
    // The audit line keeps what the printer said.
    QFile log(till.installation->path(QStringLiteral("kassotyp.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().contains("druckerstatus=\"1a 32 12 72\""));
}

QTEST_MAIN(TestPrinterStatus)
#include "tst_printerstatus.moc"
