#include "core/output/printoutput.h"

#include "core/base/safefiles.h"
#include "core/format/deviceformats.h"
#include "core/format/pagesetup.h"
#include "core/output/pngencoder.h"
#include "core/output/systemprinter.h"
#include "core/output/virtualprinter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <atomic>

namespace {

// The paper of a job: its width, and as long as the document, so that a receipt is one page.
QPageLayout receiptPage(const PrintJob &job, double dpi)
{
    const double widthCm = job.paperWidthCm > 0.5 ? job.paperWidthCm : 8.0;
    const double contentCm = jobHeight(job, dpi) / dpi * 2.54;
    const double heightCm = qMax(2.0, contentCm + 1.0);
    return QPageLayout(QPageSize(QSizeF(widthCm * 10, heightCm * 10), QPageSize::Millimeter,
                                 QStringLiteral("Bon"), QPageSize::ExactMatch),
                       QPageLayout::Portrait,
                       QMarginsF(job.leftMarginCm * 10, 5, job.rightMarginCm * 10, 5),
                       QPageLayout::Millimeter);
}

// A text-mode job on a page: each line broken where the printer breaks it (at the columns the
// engine gave it), in a monospaced face just narrow enough for those columns to fill the
// printable width, so that the page carries every word the paper does.
PrintJob inPrinterCells(const PrintJob &job)
{
    PrintJob cells = job;
    cells.items.clear();
    // Pages are laid out in pixels of a 96 dpi screen; a monospaced glyph advances 0.602 of the
    // face's pixel size (DejaVu Sans Mono), and whole points round to pixels no larger.
    const double widthPx = job.printableWidthCm() / 2.54 * 96.0;
    for (const JobItem &item : job.items) {
        if (item.kind != JobItem::Kind::Text || item.columns <= 0) {
            cells.items << item;
            continue;
        }
        JobItem line = item;
        const int pixels = int(widthPx / item.columns / 0.602);
        line.fontName = QStringLiteral("DejaVu Sans Mono");
        line.pointSize = qMax(1, int(pixels * 0.75));
        line.italic = false;
        for (const QString &part : EscPosEncoder::wrap(item.text, item.columns)) {
            line.text = part;
            cells.items << line;
        }
    }
    return cells;
}

// Each job on a page of its own size: its paper's width, as long as the document.
bool paintReceipts(QPagedPaintDevice &device, const QList<PrintJob> &givenJobs, double dpi)
{
    QList<PrintJob> jobs;
    for (const PrintJob &job : givenJobs)
        jobs << (job.text.dots > 0 ? inPrinterCells(job) : job);
    if (jobs.isEmpty())
        return false;
    device.setPageLayout(receiptPage(jobs.constFirst(), dpi));
    QPainter painter;
    bool painted = painter.begin(&device);
    for (qsizetype i = 0; painted && i < jobs.size(); ++i) {
        const PrintJob &job = jobs.at(i);
        if (i > 0)
            painted = device.setPageLayout(receiptPage(job, dpi)) && device.newPage();
        if (painted)
            paintJob(painter, job, dpi, 0, 0, int(job.printableWidthCm() * dpi / 2.54),
                     CutMark::Left);
    }
    if (painter.isActive())
        painted = painter.end() && painted;
    return painted;
}

// A link planted in a shared output or spool folder under the name of the next file would have
// the file written over whatever it points to.
bool refuseLink(const QString &file, OutputResult &r)
{
    if (!QFileInfo(file).isSymLink())
        return false;
    r.error = QStringLiteral("%1 ist eine symbolische Verknüpfung (auf %2); dorthin wird nicht "
                             "geschrieben. Bitte die Verknüpfung entfernen.")
                      .arg(QDir::toNativeSeparators(file),
                           QDir::toNativeSeparators(QFileInfo(file).symLinkTarget()));
    return true;
}

// A device path or file whose folder is not there is a typing error: the folder is not made, and
// nothing goes to the root of a folder tree that nobody asked for.
bool refuseMissingFolder(const QString &file, OutputResult &r)
{
    const QFileInfo folder(QFileInfo(file).absolutePath());
    if (folder.isDir())
        return false;
    r.error = (folder.exists()
                       ? QStringLiteral("%1 ist kein Ordner; die Datei %2 konnte nicht geschrieben "
                                        "werden.")
                       : QStringLiteral("Der Ordner %1 existiert nicht; die Datei %2 konnte nicht "
                                        "geschrieben werden."))
                      .arg(QDir::toNativeSeparators(folder.absoluteFilePath()),
                           QDir::toNativeSeparators(file));
    return true;
}

bool guiAvailable(OutputResult &r)
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return true;
    r.error = QStringLiteral("Der Grafikdruck braucht die grafische Oberfläche (auch ohne "
                             "Bildschirm: QT_QPA_PLATFORM=offscreen).");
    return false;
}

} // namespace

QString PrintOutput::spoolFile(const QString &suffix) const
{
    static std::atomic<int> counter{0};
    QDir().mkpath(m_config.spoolFolder);
    return QDir(m_config.spoolFolder)
            .filePath(QStringLiteral("kassotyp-%1-%2.%3")
                              .arg(QDateTime::currentDateTime().toString(
                                      QStringLiteral("yyyyMMdd-HHmmss-zzz")))
                              .arg(++counter)
                              .arg(suffix));
}

OutputResult PrintOutput::writeTo(const QString &target, const QByteArray &bytes,
                                  const LinkOptions &options) const
{
    OutputResult r;
    r.target = target;
    if (QFileInfo(target).isDir()) {
        r.error = QStringLiteral("%1 ist ein Ordner; dorthin kann nicht gedruckt werden.")
                          .arg(QDir::toNativeSeparators(target));
        return r;
    }
    if (DeviceLink::isDevice(target))
        return DeviceLink::send(target, bytes, options);
    if (refuseLink(target, r) || refuseMissingFolder(target, r))
        return r;
    // A file appears whole or not at all: a full disk never leaves half a print behind.
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        r.error = SafeFiles::writeFailure(target, file);
        return r;
    }
    r.ok = true;
    return r;
}

QString PrintOutput::deviceOfPort(const QString &port) const
{
    const qsizetype open = port.indexOf(u'(');
    const QString name = open >= 0 ? port.mid(open + 1).chopped(1) : port;
    return m_config.ports.value(name.trimmed());
}

EscPosSettings PrintOutput::escPosSettings(const PrintJob &job, const QString &target) const
{
    EscPosSettings s;
    s.codePage = m_config.codePage;
    if (m_heldPictures && !target.isEmpty())
        s.heldPictures = m_heldPictures(target);
    if (job.text.dots > 0) {
        // Laid out by the engine for the till's printer: its page setup, resolution and fonts.
        s.dotWidth = job.text.dots;
        s.fontADots = job.text.fontADots;
        s.fontBDots = job.text.fontBDots;
    } else {
        // A job made without a printer record: the common receipt printer on the job's page.
        s.dotWidth = textModeDots({job.paperWidthCm, job.leftMarginCm, job.rightMarginCm},
                                  PrinterCapabilities{}, m_config.dotWidth);
    }
    return s;
}

QImage PrintOutput::pictureOf(const PrintJob &job, const OutputResult &printed) const
{
    if (job.mode != QLatin1String("T") || printed.bytes.isEmpty())
        return renderJobToImage(job);
    const EscPosSettings settings = escPosSettings(job);
    VirtualEscPosPrinter printer(settings.dotWidth, settings.fontADots, settings.fontBDots);
    // What the printer holds first, so that the picture shows what the paper does.
    printer.feed(printed.heldDefinitions);
    printer.feed(printed.bytes);
    return printer.picture();
}

QString PrintOutput::printerTarget(const QStringList &printerRecord, LinkOptions *options) const
{
    const FieldValues printer = printerRecordFormat().decodeAvailable(printerRecord);
    const QString directPort = printer.value(QStringLiteral("cmbComPortTextmDirekt"));
    if (directPort.startsWith(QLatin1String("COM"))) {
        options->serial =
                SerialSettings::fromRecord(printer.value(QStringLiteral("cmbTextmDirektBaudrate")));
        return deviceOfPort(directPort);
    }
    return m_config.printerDevice.startsWith(QLatin1String("COM"))
                   ? deviceOfPort(m_config.printerDevice)
                   : m_config.printerDevice;
}

QString PrintOutput::unmappedPort(const QStringList &printerRecord) const
{
    const FieldValues printer = printerRecordFormat().decodeAvailable(printerRecord);
    QString port = printer.value(QStringLiteral("cmbComPortTextmDirekt"));
    if (!port.startsWith(QLatin1String("COM")))
        port = m_config.printerDevice;
    if (!port.startsWith(QLatin1String("COM")) || !deviceOfPort(port).isEmpty())
        return {};
    return QStringLiteral("Die Schnittstelle %1 ist auf diesem Rechner keinem Gerät zugeordnet "
                          "(--port-%1=GERÄT oder [ports] %1=GERÄT in der INI-Datei); es wurde "
                          "nichts gedruckt.")
            .arg(port);
}

OutputResult PrintOutput::print(const PrintJob &job, const QStringList &printerRecord)
{
    if (job.mode == QLatin1String("G"))
        return printGraphic(job);
    if (job.mode == QLatin1String("T"))
        return printText(job, printerRecord);
    OutputResult r;
    r.ok = true;
    r.target = QStringLiteral("Testmodus (keine Druckausgabe)");
    return r;
}

OutputResult PrintOutput::printText(const PrintJob &job, const QStringList &printerRecord)
{
    LinkOptions link;
    QString target = printerTarget(printerRecord, &link);
    if (const QString unmapped = unmappedPort(printerRecord); !unmapped.isEmpty()) {
        OutputResult r;
        r.error = unmapped;
        return r;
    }
    if (target.isEmpty())
        target = spoolFile(QStringLiteral("escpos"));
    return printTextTo(job, printerRecord, target, link);
}

OutputResult PrintOutput::printTextTo(const PrintJob &job, const QStringList &printerRecord,
                                      const QString &target, LinkOptions link) const
{
    const EscPosSettings settings = escPosSettings(job, target);
    const EscPosEncoder encoder(printerRecord, settings);
    const EscPosResult encoded = encoder.encode(job);
    link.jobName = job.title;
    link.askStatus = encoder.capabilities().answersStatus();
    OutputResult r = writeTo(target, encoded.bytes, link);
    r.bytes = encoded.bytes;
    r.heldDefinitions = encoded.heldDefinitions;
    // At 9600 baud a line of text takes milliseconds, a big logo many seconds.
    const double seconds = double(encoded.bytes.size()) * 10.0 / link.serial.baudRate;
    QStringList warnings;
    if (!r.warning.isEmpty())
        warnings << r.warning; // what the printer said of itself
    if (r.ok && target.contains(QLatin1String("/dev/tty")) && seconds > SlowPortSeconds)
        warnings << QStringLiteral("Der Beleg ist %1 KB groß und braucht über die serielle "
                                   "Schnittstelle etwa %2 Sekunden; ein kleineres Logo druckt "
                                   "schneller.")
                            .arg(encoded.bytes.size() / 1024)
                            .arg(qRound(seconds));
    if (!encoded.unprintable.isEmpty())
        warnings << QStringLiteral("Diese Zeichen kann der Drucker nicht drucken; sie wurden "
                                   "durch \"?\" ersetzt: %1")
                            .arg(encoded.unprintable);
    r.warning = warnings.join(u'\n');
    return r;
}

OutputResult PrintOutput::printGraphic(const PrintJob &job)
{
    OutputResult r;
    if (!guiAvailable(r))
        return r;
    const QString &printer = m_config.printerOutput;
    if (printer.isEmpty())
        return writePdf(job, spoolFile(QStringLiteral("pdf"))); // no printer here
    // A printer that is named but not found is a fault, never a file in the spool folder that
    // nobody looks for.
    QString problem;
    if (!SystemPrinter::exists(printer, &problem)) {
        r.target = printer;
        r.error = problem.isEmpty()
                          ? QStringLiteral("Den Systemdrucker \"%1\" gibt es nicht, oder das "
                                           "Drucksystem (CUPS) ist nicht erreichbar; es wurde "
                                           "nichts gedruckt.")
                                    .arg(printer)
                          : problem;
        return r;
    }
    r.target = printer;
    // The job's name in the queue (and the file name a PDF queue gives it).
    const QString docName = job.title.isEmpty() ? QStringLiteral("Kassotyp") : job.title;
    const auto paint = [&job](QPagedPaintDevice &device, double dpi) {
        return paintReceipts(device, {job}, dpi);
    };
    if (!SystemPrinter::print(printer, docName, paint, &problem)) {
        r.error = problem.isEmpty()
                          ? QStringLiteral("Der Drucker %1 kann nicht drucken.").arg(printer)
                          : problem;
        return r;
    }
    r.ok = true;
    return r;
}

OutputResult PrintOutput::writePdf(const PrintJob &job, const QString &file) const
{
    return writePdf(QList<PrintJob>{job}, file);
}

OutputResult PrintOutput::writePdf(const QList<PrintJob> &jobs, const QString &file) const
{
    OutputResult r;
    r.target = file;
    if (!guiAvailable(r) || refuseLink(file, r) || refuseMissingFolder(file, r))
        return r;
    // A PDF is a file: a device or named pipe in its place would be replaced by the rename.
    if (const QString refusal = SafeFiles::writeRefusal(file); !refusal.isEmpty()) {
        r.error = refusal;
        return r;
    }
    QSaveFile out(file);
    if (out.open(QIODevice::WriteOnly)) {
        QPdfWriter writer(&out);
        writer.setCreator(QStringLiteral("Kassotyp"));
        const QString &title = jobs.size() == 1 ? jobs.constFirst().title : QString();
        writer.setTitle(title.isEmpty() ? QFileInfo(file).completeBaseName() : title);
        if (paintReceipts(writer, jobs, writer.resolution()) && out.commit()) {
            r.ok = true;
            return r;
        }
    }
    r.error = SafeFiles::writeFailure(file, out);
    return r;
}

OutputResult PrintOutput::writePng(const PrintJob &job, const QString &file,
                                   const QStringList &printerRecord) const
{
    OutputResult r;
    r.target = file;
    if (!guiAvailable(r))
        return r;
    OutputResult sent;
    if (job.mode == QLatin1String("T") && !printerRecord.isEmpty())
        sent.bytes = EscPosEncoder(printerRecord, escPosSettings(job)).encode(job).bytes;
    QString problem;
    const QByteArray png = encodePrintPng(pictureOf(job, sent), &problem);
    if (png.isEmpty()) {
        r.error = QStringLiteral("Das Bild des Belegs konnte nicht erzeugt werden.");
        if (!problem.isEmpty())
            r.error += u' ' + problem;
        return r;
    }
    return writeTo(file, png);
}

OutputResult PrintOutput::openDrawer(const QStringList &printerRecord)
{
    OutputResult r;
    const FieldValues printer = printerRecordFormat().decodeAvailable(printerRecord);
    const QString connection = printer.value(PrinterRecord::Drawer);
    QByteArray bytes;
    QString target;
    LinkOptions link;
    link.jobName = QStringLiteral("Kassenlade");
    if (connection == QLatin1String("Drucker")) {
        const EscPosEncoder encoder(printerRecord, {});
        bytes = encoder.sequence("OpenDrawer", QByteArray("\x1B\x70\x00\x19\xFA", 5));
        target = printerTarget(printerRecord, &link);
        link.askStatus = encoder.capabilities().answersStatus();
    } else if (connection.startsWith(QLatin1String("COM"))) {
        if (!EscPosEncoder::hexBytes(printer.value(PrinterRecord::SerialDrawerSequence), &bytes)
            || bytes.isEmpty())
            bytes = QByteArray(1, '\x07'); // a plain pulse for drawers that open on any byte
        target = deviceOfPort(connection);
        link.serial = SerialSettings::fromRecord(printer.value(QStringLiteral("cmbKLBaudrate")));
    } else {
        r.error = QStringLiteral("Für diesen Rechner ist keine Kassenlade eingerichtet.");
        return r;
    }
    if (target.isEmpty())
        target = spoolFile(QStringLiteral("kassenlade"));
    return writeTo(target, bytes, link);
}

OutputResult PrintOutput::showOnDisplay(const QStringList &displayRecord, const QString &line1,
                                        const QString &line2)
{
    OutputResult r;
    const FieldValues display = displayRecordFormat().decode(displayRecord);
    if (display.value(DisplayRecord::Type, QStringLiteral("kein")) == QLatin1String("kein")) {
        r.error = QStringLiteral("Für diesen Rechner ist keine Kundenanzeige eingerichtet.");
        return r;
    }
    QByteArray clear, first, second;
    if (!EscPosEncoder::hexBytes(display.value(DisplayRecord::Clear), &clear)
        || !EscPosEncoder::hexBytes(display.value(DisplayRecord::Line1), &first)
        || !EscPosEncoder::hexBytes(display.value(DisplayRecord::Line2), &second)) {
        r.error = QStringLiteral("Die Befehle der Kundenanzeige sind keine gültigen Hex-Folgen.");
        return r;
    }
    // ESC/POS displays start in their own code table: umlauts and the euro sign need 858.
    const QByteArray codeTable = display.value(DisplayRecord::Type).startsWith(QLatin1String("DM-"))
                                         ? QByteArray("\x1B\x74", 2) + char(CodePages::Cp858)
                                         : QByteArray();
    const QByteArray bytes = clear + codeTable + first
                             + CodePages::encode(line1.left(20), CodePages::Cp858) + second
                             + CodePages::encode(line2.left(20), CodePages::Cp858);
    QString target = deviceOfPort(display.value(DisplayRecord::Port));
    if (target.isEmpty())
        target = spoolFile(QStringLiteral("anzeige"));
    LinkOptions link;
    link.jobName = QStringLiteral("Kundenanzeige");
    link.serial = SerialSettings::fromRecord(display.value(QStringLiteral("cmbKDBaudrate")),
                                             display.value(QStringLiteral("cmbKDParitaet")));
    return writeTo(target, bytes, link);
}
