#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct OutputResult;

// How a serial port is set up before anything is sent: the device record's baud rate and
// parity; 8 data bits, 1 stop bit and no flow control unless the record says otherwise.
struct SerialSettings
{
    enum class Parity { None, Even, Odd, Mark, Space };
    enum class FlowControl { None, Hardware, Software };

    qint32 baudRate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8; // 5 to 8
    int stopBits = 1; // 1 or 2
    FlowControl flowControl = FlowControl::None;

    // From the texts of a device record ("19200", "Even"); empty or unreadable texts keep
    // the defaults.
    static SerialSettings fromRecord(const QString &baudRate, const QString &parity = {});
};

// What a connection to a device needs besides the bytes.
struct LinkOptions
{
    SerialSettings serial;
    QString jobName;             // the job's name in a CUPS queue
    int connectTimeoutMs = 5000; // network printers
    // Time a device may take to accept the bytes, beyond what the baud rate needs for them.
    int writeTimeoutMs = 10000;
    // A printer whose connection answers (a serial port or a network printer, not a device file
    // or a CUPS queue) is asked for its real-time status before and after the bytes, each
    // answer awaited this long.
    bool askStatus = false;
    int statusTimeoutMs = 500;
};

// What a printer says of itself when asked DLE EOT 1 to 4: one byte each for the printer, the
// cause of being off line, errors and the paper roll.
struct PrinterStatus
{
    QByteArray bytes; // the answers in order; shorter when the printer stopped answering

    bool answered() const { return bytes.size() == 4; }
    // What stands in the way of printing, in German ("Papier zu Ende", "Deckel offen", ...).
    QStringList blocking() const;
    // What the shop should know but does not stop a print ("Papier geht zu Ende").
    QStringList warnings() const;
    // The answers as hex for the record ("12 12 12 72"); "-" when there was none.
    QString hex() const;
    // Whether a byte is a real-time status answer: bits 1 and 4 on, 0 and 7 off.
    static bool isStatusByte(char byte);
};

// Where receipt printers, drawers and displays are connected: "tcp://HOST[:PORT]" (raw port,
// 9100 when none is given), "cups:QUEUE" (a raw job), a serial port (any terminal device:
// set up as the settings say, raw) or another device file.
namespace DeviceLink {
constexpr quint16 RawPrinterPort = 9100;

bool isNetwork(const QString &target);
bool isCupsQueue(const QString &target);
// A path that names a device rather than a file.
bool isDevice(const QString &path);

// Whether the target can answer a status request: a serial port or a network printer.
bool answers(const QString &target);
// Asks the printer at the target for its status (DLE EOT 1 to 4), within the time limits.
PrinterStatus askStatus(const QString &target, const LinkOptions &options);

// Sends the bytes, within the time limits; never waits for a dead device without end. With
// askStatus, a printer that answers is asked before and after: one that reports paper out, an
// open cover, being off line or an error before gets nothing, and such a report after the
// bytes fails the print; one that does not answer gets the bytes, with a warning.
OutputResult send(const QString &target, const QByteArray &bytes, const LinkOptions &options);
} // namespace DeviceLink
