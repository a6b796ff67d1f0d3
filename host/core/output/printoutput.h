#pragma once

#include "core/base/config.h"
#include "core/model/printjob.h"
#include "core/output/devicelink.h"
#include "core/output/escpos.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

// Where a finished document went, or why it did not.
struct OutputResult
{
    bool ok = false;
    QString target;   // printer name, device or file
    QString warning;  // printed, but the user should know (replaced characters, a slow port)
    QString error;    // nothing was printed
    QByteArray bytes; // text mode: what the printer was sent
    // Text mode: the definitions of the pictures it printed from the printer's memory.
    QByteArray heldDefinitions;
    // The printer's answers to the status requests (hex, before and after), when it was asked.
    QString printerStatus;
};

// Sends finished documents and device commands to the devices of this computer: graphic mode
// through the system's printing (or a PDF file in the spool folder), text mode as ESC/POS bytes
// to the printer's device (or a file in the spool folder), the cash drawer and the customer
// display to the ports the configuration names. Files are written atomically.
class PrintOutput
{
public:
    explicit PrintOutput(const ComputerConfig &config)
        : m_config(config)
    {
    }

    // mode "G" graphic, "T" text; any other mode is the test mode and sends nothing.
    OutputResult print(const PrintJob &job, const QStringList &printerRecord);
    OutputResult printGraphic(const PrintJob &job);
    OutputResult printText(const PrintJob &job, const QStringList &printerRecord);
    // The job's ESC/POS bytes, as printText makes them, to the target given instead of the
    // printer's port: a file, or a device the way the link options say.
    OutputResult printTextTo(const PrintJob &job, const QStringList &printerRecord,
                             const QString &target, LinkOptions link = {}) const;

    // How a printed job looks on paper: in text mode the virtual printer's picture of the
    // bytes that were sent, otherwise the job as drawn for the page.
    QImage pictureOf(const PrintJob &job, const OutputResult &printed) const;

    // The ESC/POS settings of this computer's printer for a job (to the printer at target,
    // whose memory may hold pictures).
    EscPosSettings escPosSettings(const PrintJob &job, const QString &target = {}) const;
    // Which pictures the printer at a target holds: hash of the picture as it prints -> key.
    using HeldPictures = QHash<QString, QString>;
    void setHeldPictures(std::function<HeldPictures(const QString &target)> lookup)
    {
        m_heldPictures = std::move(lookup);
    }

    // Opens the drawer as the printer record says: through the printer ("Drucker") or with
    // the serial sequence to a COM port.
    OutputResult openDrawer(const QStringList &printerRecord);
    // The customer display: clear, then the two lines, as the display record says.
    OutputResult showOnDisplay(const QStringList &displayRecord, const QString &line1,
                               const QString &line2);

    // The job on one PDF page of the paper's width, as long as the document; written
    // atomically, so that a failed write leaves no file behind.
    OutputResult writePdf(const PrintJob &job, const QString &file) const;
    // The jobs as pages of one PDF, each page as wide as its paper and as long as its document.
    OutputResult writePdf(const QList<PrintJob> &jobs, const QString &file) const;
    // The job as a PNG picture of the paper strip, written atomically. A text-mode job given
    // with its printer record is pictured as the printer sets the bytes it would be sent.
    OutputResult writePng(const PrintJob &job, const QString &file,
                          const QStringList &printerRecord = {}) const;

    // Sends bytes to a device (a serial port set up as the options say, a network printer, a
    // CUPS queue, another device file) or writes them to a file (atomically).
    OutputResult writeTo(const QString &target, const QByteArray &bytes,
                         const LinkOptions &options = {}) const;
    // Where text-mode bytes for this printer go and how: the record's port of direct text
    // mode with its baud rate, else the configured printer device; empty: none configured.
    QString printerTarget(const QStringList &printerRecord, LinkOptions *options) const;
    // Why text-mode bytes for this printer cannot go anywhere: its port ("COM3") has no device
    // on this computer. Empty when they can.
    QString unmappedPort(const QStringList &printerRecord) const;
    // The device of a port name ("COM3", "Drucker (COM3)"); empty when none is configured.
    QString deviceOfPort(const QString &port) const;
    QString spoolFile(const QString &suffix) const;

    // Bytes a 9600 baud port needs more than this many seconds for are warned about.
    static constexpr double SlowPortSeconds = 5.0;

private:
    ComputerConfig m_config;
    std::function<HeldPictures(const QString &target)> m_heldPictures;
};
