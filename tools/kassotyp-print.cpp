// kassotyp-print: the test documents of the designer, printed without a window: to the
// workstation's printer as the designer's "Testdruck" does, or into files, for looking at a
// layout on a computer without a receipt printer and for checking a printer's bytes before they
// go to the till.
#include "commandoutput.h"
#include "core/app/headless.h"
#include "core/app/host.h"
#include "core/base/safefiles.h"
#include "core/engine/bonprinter.h"
#include "core/engine/testprints.h"
#include "core/model/hosttables.h"
#include "core/model/sampledocument.h"
#include "core/model/textfunctions.h"
#include "core/output/printoutput.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

// 0: everything written; 1: a document could not be written (the others were);
// 2: nothing was printed, because of the call, the store, the workstation or the output.
enum ExitCode { Done = 0, WriteFailed = 1, Refused = 2 };

enum class Format { Pdf, Png, EscPos };

// The options of this program; all others belong to the computer's configuration.
const QStringList OwnOptions = {QStringLiteral("type"),   QStringLiteral("all"),
                                QStringLiteral("format"), QStringLiteral("output"),
                                QStringLiteral("now"),    QStringLiteral("dry-run"),
                                QStringLiteral("case")};

struct Request
{
    QList<int> types;
    Format format = Format::Pdf;
    QString output; // empty: to the workstation's printer
    QDateTime now;  // of the sample values; invalid: the clock's
    SampleCase sampleCase = SampleCase::Normal;
    bool dryRun = false;
    QStringList configArguments;

    bool toPrinter() const { return output.isEmpty(); }
    // --all --format=pdf --output=FILE.pdf: every document a page of one PDF.
    bool onePdf() const
    {
        return types.size() > 1 && format == Format::Pdf
               && output.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)
               && !QFileInfo(output).isDir();
    }
};

int refuse(const QString &text)
{
    writeLine(stderr, QStringLiteral("kassotyp-print: ") + text);
    return Refused;
}

QString helpText()
{
    return QStringLiteral(
                   "Aufruf: kassotyp-print [--store=ORT] [--workstation=N] (--type=T | --all)\n"
                   "                       [--printer=NAME | --printer-device=GERÄT]\n"
                   "       kassotyp-print [--store=ORT] [--workstation=N] (--type=T | --all)\n"
                   "                       --format=pdf|png|escpos --output=DATEI_ODER_ORDNER\n"
                   "                       [weitere Optionen]\n"
                   "\n"
                   "Druckt den Testbeleg einer Belegart oder aller %1 Belegarten eines Rechners, "
                   "wie ihn der\n"
                   "Layoutdesigner druckt, ohne Fenster. Ohne --output geht er an den Drucker des "
                   "Rechners,\n"
                   "genau wie der \"Testdruck\" des Designers (im Druckmodus des Rechners; "
                   "--printer= und\n"
                   "--printer-device= ersetzen den eingerichteten Drucker für diesen Aufruf), mit "
                   "--output in\n"
                   "Dateien. Der Datenspeicher wird nur gelesen.\n"
                   "\n"
                   "Optionen des Druckbefehls:\n"
                   "  --type=T                Belegart: Nummer 1 bis %1 oder Name (z. B. 13 oder "
                   "Bon)\n"
                   "  --all                   alle %1 Belegarten, je eine Datei im Ordner von "
                   "--output\n"
                   "  --format=F              (nur mit --output)\n"
                   "                          pdf: Grafikdruck auf einer Seite in Papierbreite; "
                   "mit --all und\n"
                   "                          --output=DATEI.pdf eine PDF-Datei mit einer Seite "
                   "je Belegart\n"
                   "                          png: Bild des Belegs\n"
                   "                          escpos: die Bytes des Textmodus (ESC/POS), wie sie "
                   "an den Drucker gehen\n"
                   "                          (png zeigt einen Rechner im Textmodus so, wie der "
                   "Drucker diese Bytes setzt)\n"
                   "  --output=P              Datei (mit --type) oder Ordner (mit --all, wird "
                   "angelegt); ist bei\n"
                   "                          --type ein vorhandener Ordner angegeben, entsteht "
                   "die Datei darin.\n"
                   "                          Ein Gerät (z. B. /dev/usb/lp0) bekommt die Bytes "
                   "direkt.\n"
                   "  --now=ZEIT              Datum und Uhrzeit der Beispieldaten statt der "
                   "aktuellen\n"
                   "                          (z. B. 2024-05-17T10:30:00), für wiederholbare "
                   "Ausgaben\n"
                   "  --case=FALL             Fall der Beispieldaten: normal, ausfall (TSE bzw. "
                   "Sicherheits-\n"
                   "                          einrichtung ausgefallen), duplikat oder training; "
                   "ohne Angabe normal\n"
                   "  --dry-run               nur Datenspeicher öffnen und Druckmodul anlegen, "
                   "nichts drucken\n"
                   "  --help, -h              diese Hilfe\n"
                   "  --version               Version\n"
                   "\n"
                   "%2"
                   "\n"
                   "Der Datenspeicher muss existieren; der Rechner 0 ist der Vorlagerechner.\n"
                   "Dateinamen: Nummer und Name der Belegart, z. B. \"13-Bon.pdf\", "
                   "\"3-Phasenbeleg.png\",\n"
                   "\"20-Reservierung-Auswahl.escpos\". Mit --all meldet stderr den Fortschritt "
                   "(\"[3/%1] Phasenbeleg\");\n"
                   "stdout nennt jede geschriebene Datei.\n"
                   "\n"
                   "Rückgabewert: 0 alles gedruckt; 1 ein Beleg konnte nicht geschrieben werden "
                   "(die übrigen\n"
                   "schon); 2 nichts gedruckt (Aufruf, Belegart, Rechner, Datenspeicher oder Ziel "
                   "unbrauchbar).\n")
            .arg(DocumentTypeCount)
            .arg(ComputerConfig::optionsHelp());
}

// A document type by number or by name; nothing when there is no such type.
std::optional<int> documentType(const QString &text)
{
    bool number = false;
    const int type = text.trimmed().toInt(&number);
    if (number)
        return type >= 1 && type <= DocumentTypeCount ? std::optional<int>(type) : std::nullopt;
    for (int t = 1; t <= DocumentTypeCount; ++t) {
        if (CBelegName(t).compare(text.trimmed(), Qt::CaseInsensitive) == 0)
            return t;
    }
    return std::nullopt;
}

// Reads the command line; an error text when it cannot be carried out.
QString parse(const QStringList &arguments, Request &request)
{
    bool all = false;
    QString format;
    for (const QString &argument : arguments) {
        const qsizetype eq = argument.indexOf(u'=');
        const QString name = argument.startsWith(QLatin1String("--"))
                                     ? argument.mid(2, eq < 0 ? -1 : eq - 2)
                                     : QString();
        const QString value = eq < 0 ? QString() : argument.mid(eq + 1);
        if (name.isEmpty())
            return QStringLiteral("Unerwartetes Argument \"%1\" (siehe --help).").arg(argument);
        if (!OwnOptions.contains(name)) {
            request.configArguments << argument;
        } else if (name == QLatin1String("type")) {
            const std::optional<int> type = documentType(value);
            if (!type)
                return QStringLiteral("Unbekannte Belegart \"%1\": erlaubt sind 1 bis %2 oder "
                                      "ihre Namen (siehe --help).")
                        .arg(value)
                        .arg(DocumentTypeCount);
            request.types = {*type};
        } else if (name == QLatin1String("all")) {
            all = true;
        } else if (name == QLatin1String("format")) {
            format = value.toLower();
        } else if (name == QLatin1String("output")) {
            request.output = value;
        } else if (name == QLatin1String("now")) {
            request.now = QDateTime::fromString(value, Qt::ISODate);
            if (!request.now.isValid())
                return QStringLiteral("Ungültige Zeit \"%1\" für --now: erwartet wird z. B. "
                                      "2024-05-17T10:30:00.")
                        .arg(value);
        } else if (name == QLatin1String("dry-run")) {
            request.dryRun = true;
        } else if (name == QLatin1String("case")) {
            const std::optional<SampleCase> sampleCase = sampleCaseNamed(value.toLower());
            if (!sampleCase) {
                QStringList names;
                for (SampleCase c : sampleCases())
                    names << sampleCaseName(c);
                return QStringLiteral("Unbekannter Fall \"%1\" für --case: erlaubt sind %2.")
                        .arg(value, names.join(QStringLiteral(", ")));
            }
            request.sampleCase = *sampleCase;
        }
    }
    if (all == !request.types.isEmpty())
        return QStringLiteral("Genau eine von --type=T und --all ist anzugeben.");
    if (all) {
        for (int t = 1; t <= DocumentTypeCount; ++t)
            request.types << t;
    }
    const bool printerChosen = std::any_of(
            request.configArguments.cbegin(), request.configArguments.cend(), [](const QString &a) {
                return a.startsWith(QLatin1String("--printer=")) || a == QLatin1String("--printer")
                       || a.startsWith(QLatin1String("--printer-device"));
            });
    if (request.output.isEmpty()) {
        // To the printer: a file format has no meaning there.
        if (!format.isEmpty())
            return QStringLiteral("--format gilt nur mit --output; ohne --output wird auf dem "
                                  "Drucker des Rechners gedruckt.");
        return {};
    }
    if (printerChosen)
        return QStringLiteral("--printer und --printer-device wählen einen Drucker, --output "
                              "eine Datei: nur eines von beiden ist möglich.");
    if (format == QLatin1String("pdf"))
        request.format = Format::Pdf;
    else if (format == QLatin1String("png"))
        request.format = Format::Png;
    else if (format == QLatin1String("escpos"))
        request.format = Format::EscPos;
    else
        return QStringLiteral("--format=pdf, --format=png oder --format=escpos ist anzugeben.");
    request.output = QFileInfo(request.output).absoluteFilePath();
    return {};
}

QString extension(Format format)
{
    switch (format) {
    case Format::Pdf:
        return QStringLiteral("pdf");
    case Format::Png:
        return QStringLiteral("png");
    case Format::EscPos:
        break;
    }
    return QStringLiteral("escpos");
}

QString fileName(int type, Format format)
{
    QString name = CBelegName(type);
    name.replace(u'/', u'-'); // "Reservierung/Auswahl" is one file, not a folder
    return QStringLiteral("%1-%2.%3").arg(type).arg(name, extension(format));
}

bool isFolderTarget(const Request &request)
{
    // Printing goes to the printer, not into a folder.
    if (request.toPrinter())
        return false;
    return !request.onePdf() && (request.types.size() > 1 || QFileInfo(request.output).isDir());
}

// Checked before anything is written: the files can be made where they are to go. Tried with a
// file of the program's own, as permissions alone do not tell (root, read-only mounts, /proc).
QString outputProblem(const Request &request)
{
    if (request.toPrinter())
        return {};
    const QFileInfo target(request.output);
    const bool folder = isFolderTarget(request);
    if (folder && target.exists() && !target.isDir())
        return QStringLiteral("%1 ist kein Ordner.").arg(QDir::toNativeSeparators(request.output));
    if (!folder && target.exists() && !target.isFile()) {
        // A device takes the bytes as they are, through the device link; a PDF is a file, and
        // one written beside the target and renamed would replace the device.
        if (request.format == Format::Pdf)
            return SafeFiles::writeRefusal(request.output);
        return {};
    }
    // The folder the files go to, or the nearest one that exists when it has to be made.
    QFileInfo home(folder ? target.absoluteFilePath() : target.absolutePath());
    while (!home.exists() && !home.isRoot())
        home = QFileInfo(home.absolutePath());
    QTemporaryFile probe(
            QDir(home.absoluteFilePath()).filePath(QStringLiteral(".kassotyp-XXXXXX")));
    if (!home.isDir() || !probe.open())
        return QStringLiteral("In %1 kann nicht geschrieben werden.")
                .arg(QDir::toNativeSeparators(home.absoluteFilePath()));
    // A file is never written into a folder that is not there: a mistyped path would leave a
    // tree of folders behind.
    if (!folder && !target.dir().exists())
        return QStringLiteral("Der Ordner %1 existiert nicht.")
                .arg(QDir::toNativeSeparators(target.absolutePath()));
    return {};
}

// The store must exist: a print command that creates an empty demo store at a mistyped path
// would print the demo installation and call it a success.
std::unique_ptr<Host> openStore(const ComputerConfig &config, QString *problem)
{
    const StoreLocation location = StoreLocation::parse(config.storeLocation);
    if (location.isSqlite() && !QFileInfo::exists(location.databaseName)) {
        *problem =
                QStringLiteral("Der Datenspeicher %1 existiert nicht.").arg(location.displayName());
        return nullptr;
    }
    try {
        // Only read: an empty store or one of another program is refused, never set up.
        return Host::open(config, Store::Access::ReadExisting);
    } catch (const StoreError &e) {
        *problem = e.text();
    }
    return nullptr;
}

// The engine as the designer's main window prepares it: the workstation applied and the
// sample document in place; ended documents stay with the engine.
std::unique_ptr<TBonPrinter> makeEngine(Host &host, int workstation, bool toPrinter,
                                        const QDateTime &now)
{
    auto engine = std::make_unique<TBonPrinter>(host, CAlleBonArten(), -1);
    engine->setOutputEnabled(toPrinter);
    engine->setWorkstation(workstation);
    engine->Refresh();
    OVOProgramm &program = host.program();
    // One unit of currency 2 in currency 1, as the sample document expects it.
    const double factor =
            host.currency().Umrechnen(1.0, program.GetWaehrung2(), program.GetWaehrung());
    engine->setDocument(sampleDocument(factor, program.GetWaehrung(), program.GetWaehrung2(), now));
    return engine;
}

OutputResult write(const Request &request, const ComputerConfig &config, TBonPrinter &engine,
                   const QString &target)
{
    const PrintJob &job = engine.lastJob();
    switch (request.format) {
    case Format::Pdf:
        return PrintOutput(config).writePdf(job, target);
    case Format::Png:
        return PrintOutput(config).writePng(job, target, engine.printerRecord());
    case Format::EscPos:
        break;
    }
    // The same bytes, code page and dot width a till would send, into the target: never to the
    // port the printer record names for direct text mode.
    return PrintOutput(config).printTextTo(job, engine.printerRecord(), target);
}

int run(const Request &request)
{
    const ComputerConfig config = ComputerConfig::load(request.configArguments);
    // A wrong call prints nothing: a misspelled --output would otherwise send the document to
    // the till's printer.
    for (const QString &problem : config.usageErrors)
        refuse(problem);
    if (!config.usageErrors.isEmpty())
        return Refused;
    for (const QString &problem : config.problems)
        writeLine(stderr, QStringLiteral("Hinweis: ") + problem);
    if (const QString problem = outputProblem(request); !problem.isEmpty())
        return refuse(problem);

    QString problem;
    const std::unique_ptr<Host> host = openStore(config, &problem);
    if (!host)
        return refuse(problem);
    const int workstation = config.workstationId;
    try {
        if (workstation != 0 && host->workstations().GetRNrUmfang(workstation).RTyp == 0)
            return refuse(QStringLiteral("Der Rechner %1 steht nicht in der Rechnertabelle von %2.")
                                  .arg(workstation)
                                  .arg(host->store().location().displayName()));
    } catch (const StoreError &e) {
        return refuse(e.text());
    }

    const QDateTime now = request.now.isValid() ? request.now : ovo_Now();
    std::unique_ptr<TBonPrinter> engine;
    try {
        engine = makeEngine(*host, workstation, request.toPrinter(), now);
        applySampleCase(engine->document(), request.sampleCase);
    } catch (const std::exception &e) {
        return refuse(QStringLiteral("Das Druckmodul konnte nicht angelegt werden: %1")
                              .arg(QString::fromLocal8Bit(e.what())));
    }
    // A missing printer record is the engine's to report; the documents still print with its
    // defaults, as the designer's test prints do.
    if (host->info().ErrorNumber() != 0)
        writeLine(stderr, QStringLiteral("Hinweis: ") + host->info().ErrorText());
    if (request.dryRun)
        return Done;

    const bool folder = isFolderTarget(request);
    if (folder)
        QDir().mkpath(request.output);
    QList<PrintJob> pages; // one PDF
    int exitCode = Done;
    const auto count = request.types.size();
    for (qsizetype i = 0; i < count; ++i) {
        const int type = request.types.at(i);
        if (count > 1)
            writeLine(stderr,
                      QStringLiteral("[%1/%2] %3").arg(i + 1).arg(count).arg(CBelegName(type)));
        const QString target =
                folder ? QDir(request.output).filePath(fileName(type, request.format))
                       : request.output;
        OutputResult result;
        try {
            if (request.toPrinter()) {
                // Printed by the engine itself and recorded, as the designer's test prints.
                const AuditEvent event{AuditAction::TestPrint, workstation, CBelegName(type)};
                result = host->audit().trackOutput(event, [&] {
                    runTestPrint(*engine, type, now);
                    return engine->lastOutput();
                });
            } else {
                runTestPrint(*engine, type, now);
                if (request.onePdf()) {
                    pages << engine->lastJob();
                    continue;
                }
                result = write(request, config, *engine, target);
            }
        } catch (const std::exception &e) {
            result.error = QString::fromLocal8Bit(e.what());
        }
        if (!result.ok) {
            writeLine(stderr,
                      QStringLiteral("kassotyp-print: %1: %2").arg(CBelegName(type), result.error));
            exitCode = WriteFailed;
            continue;
        }
        if (!result.warning.isEmpty())
            writeLine(stderr,
                      QStringLiteral("Hinweis (%1): %2").arg(CBelegName(type), result.warning));
        // Where it went, as the output says: the file named, or the printer's device or queue.
        writeLine(stdout,
                  request.toPrinter() ? result.target : QDir::toNativeSeparators(result.target));
    }
    if (!pages.isEmpty()) {
        const OutputResult result = PrintOutput(config).writePdf(pages, request.output);
        if (!result.ok) {
            writeLine(stderr, QStringLiteral("kassotyp-print: ") + result.error);
            return Refused;
        }
        writeLine(stdout, QDir::toNativeSeparators(request.output));
    }
    return exitCode;
}

} // namespace

int main(int argc, char *argv[])
{
    // Before the application object: help and version need no platform and no display.
    if (const QString request = ComputerConfig::infoRequest(argc, argv); !request.isEmpty()) {
        writeLine(stdout, request == QLatin1String("help")
                                  ? helpText().chopped(1)
                                  : QStringLiteral("kassotyp-print " KASSOTYP_VERSION));
        return Done;
    }
    const auto app = startHeadless(argc, argv, QStringLiteral("kassotyp-print"));

    Request request;
    if (const QString problem = parse(QCoreApplication::arguments().mid(1), request);
        !problem.isEmpty())
        return refuse(problem);
    return run(request);
}
