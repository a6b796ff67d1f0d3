#pragma once

#include <QByteArray>
#include <QSerialPort>
#include <QString>

struct OutputResult;

// How a serial port is set up before anything is sent: the device record's baud rate and
// parity; 8 data bits, 1 stop bit and no flow control unless the record says otherwise.
struct SerialSettings
{
    qint32 baudRate = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    QSerialPort::FlowControl flowControl = QSerialPort::NoFlowControl;

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
