#pragma once

#include <QByteArray>
#include <QString>

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

// Sends the bytes, within the time limits; never waits for a dead device without end.
OutputResult send(const QString &target, const QByteArray &bytes, const LinkOptions &options);
} // namespace DeviceLink
