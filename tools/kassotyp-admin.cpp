// kassotyp-admin: looking after an installation's store without the designer: designs moved
// between installations as readable files, backups, the store's check and its tables listed.
#include "commandoutput.h"
#include "core/app/headless.h"
#include "core/app/historyexport.h"
#include "core/app/host.h"
#include "core/base/safefiles.h"
#include "core/engine/bonprinter.h"
#include "core/engine/fiscalcheck.h"
#include "core/engine/printerlogos.h"
#include "core/model/hosttables.h"
#include "core/store/storeexchange.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QSaveFile>
#include <QTranslator>

#include <cstdio>
#include <memory>

namespace {

// 0: done; 1: it could not be done (the reason is on stderr); 2: the call itself is wrong.
enum ExitCode { Done = 0, Failed = 1, WrongUsage = 2 };

// The options of this program; all others belong to the computer's configuration.
const QStringList OwnOptions = {QStringLiteral("output"),  QStringLiteral("template"),
                                QStringLiteral("all"),     QStringLiteral("dry-run"),
                                QStringLiteral("verbose"), QStringLiteral("load"),
                                QStringLiteral("since"),   QStringLiteral("until"),
                                QStringLiteral("format"),  QStringLiteral("with-history")};
const QStringList Commands = {
        QStringLiteral("export"), QStringLiteral("import"),       QStringLiteral("backup"),
        QStringLiteral("check"),  QStringLiteral("workstations"), QStringLiteral("types"),
        QStringLiteral("logos"),  QStringLiteral("country"),      QStringLiteral("history")};

struct Request
{
    QString command;
    QString file; // import, backup: the file named after the command
    QString output;
    bool templateOnly = false;
    bool all = false;
    bool workstationGiven = false;
    bool dryRun = false;
    bool verbose = false;
    bool load = false;        // logos: into the printer
    bool fiscal = false;      // check: the receipts against the country's rules, not the store
    bool withHistory = false; // export: with the history rows
    QString since;            // history: from when, to when, as what
    QString until;
    QString format;
    QStringList configArguments;
};

int report(ExitCode code, const QString &text)
{
    writeLine(stderr, QStringLiteral("kassotyp-admin: ") + text);
    return code;
}

QString helpText()
{
    return QStringLiteral(
                   "Aufruf: kassotyp-admin BEFEHL [Optionen]\n"
                   "\n"
                   "Pflegt den Datenspeicher einer Installation ohne den Layoutdesigner.\n"
                   "\n"
                   "Befehle:\n"
                   "  export [--workstation=N | --template | --all] --output=DATEI\n"
                   "          schreibt Layoutsätze, Gerätesätze (Drucker, Anzeige, Seite), "
                   "Parameter und\n"
                   "          Logos eines Rechners (ohne Angabe: des eingerichteten), des "
                   "Vorlagerechners 0\n"
                   "          (--template) oder mit --all den ganzen Datenspeicher "
                   "(Rechnertabelle, Rechte,\n"
                   "          Zähler, Währungskurse) in eine JSON-Datei; die Vorgaben der "
                   "Einstellungsfenster\n"
                   "          gehören zu jedem Export. Derselbe Stand ergibt stets dieselbe "
                   "Datei (sortiert,\n"
                   "          ohne Zeitstempel): sie lässt sich vergleichen und in git "
                   "ablegen.\n"
                   "  import [--dry-run] [--verbose] DATEI\n"
                   "          (eine gewöhnliche Datei bis %3; Logos darin bis %4 je Bild)\n"
                   "          spielt eine solche Datei in einer Transaktion ein: alles oder "
                   "nichts. Vorher\n"
                   "          wird gemeldet, wie viele Datensätze neu sind, überschrieben werden "
                   "oder gleich\n"
                   "          bleiben (--verbose: jeder mit Schlüssel). Datensätze, die die "
                   "Datei nicht\n"
                   "          enthält, bleiben unberührt. --dry-run meldet nur und schreibt "
                   "nichts.\n"
                   "  backup DATEI\n"
                   "          sichert einen SQLite-Datenspeicher in eine neue Datei, auch während "
                   "andere\n"
                   "          Programme mit ihm arbeiten (ein in sich stimmiger Stand). "
                   "PostgreSQL-Datenspeicher\n"
                   "          sichert pg_dump.\n"
                   "  check   prüft den Datenspeicher (SQLite: die ganze Datei; beide: "
                   "Schemaversion,\n"
                   "          Tabellen, Primärschlüssel) und zählt die Datensätze.\n"
                   "  check --fiscal\n"
                   "          prüft für jede Kasse, ihren Drucker und jede Belegart an Kunden, ob "
                   "das Layout\n"
                   "          trägt, was im Land der Installation verlangt wird (Deutschland: "
                   "TSE-Daten oder\n"
                   "          TSE-QR-Code, Datum, Beginn und Ende, Ausfallvermerk; Österreich: "
                   "RKSV-Code;\n"
                   "          Schweiz: MWST-Nummer), und listet, was fehlt.\n"
                   "  country [DE|AT|CH]\n"
                   "          zeigt das Land der Installation oder setzt es (Deutschland, "
                   "Österreich, Schweiz).\n"
                   "  workstations\n"
                   "          listet die Rechnertabelle: Nummer, Rechnertyp, Name.\n"
                   "  logos --load [--workstation=N] [--printer-device=GERÄT]\n"
                   "          lädt die Logos der Layouts des Rechners in den Grafikspeicher "
                   "seines Druckers\n"
                   "          (Textmodus, Druckersatz mit Grafikspeicher) und hält fest, welches "
                   "Bild unter\n"
                   "          welchem Schlüssel dort liegt; Belege drucken es dann über den "
                   "Schlüssel.\n"
                   "  history [--since=DATUM] [--until=DATUM] [--workstation=N] "
                   "[--format=csv|json]\n"
                   "          --output=DATEI\n"
                   "          schreibt den Verlauf der Layout- und Gerätesätze, Parameter, "
                   "Vorgaben und Logos:\n"
                   "          wann, wer, an welchem Computer, mit welchem Programm, welcher "
                   "Datensatz, was sich\n"
                   "          änderte, vorher und nachher lesbar (CSV nach RFC 4180 oder "
                   "JSON). DATUM ist ein\n"
                   "          Tag (2026-12-01, --until schließt ihn ein) oder eine Zeit "
                   "(2026-12-01T14:30).\n"
                   "  types   listet die %1 Belegarten mit den Nummern, die kassotyp-print "
                   "--type= nimmt.\n"
                   "\n"
                   "Optionen:\n"
                   "  --workstation=N         Rechner des Exports (sonst der eingerichtete)\n"
                   "  --template              Export des Vorlagerechners 0\n"
                   "  --all                   Export des ganzen Datenspeichers\n"
                   "  --output=DATEI          Ziel des Exports und des Verlaufs\n"
                   "  --with-history          export: mit dem Verlauf (import übernimmt ihn)\n"
                   "  --since=, --until=      history: Zeitraum\n"
                   "  --format=csv|json       history: Dateiformat (ohne Angabe csv)\n"
                   "  --dry-run               Import nur prüfen und melden\n"
                   "  --verbose               Import: jeden Datensatz nennen\n"
                   "  --load                  logos: in den Drucker laden\n"
                   "  --help, -h              diese Hilfe\n"
                   "  --version               Version\n"
                   "\n"
                   "%2"
                   "\n"
                   "In den Datenspeicher schreiben nur import, logos --load (was der Drucker "
                   "hält) und\ncountry mit einem Land. import und logos --load legen dabei einen "
                   "neuen SQLite-\nDatenspeicher an (ohne Demo-Installation), country nicht. "
                   "Alle anderen Befehle\nlesen nur.\n"
                   "\n"
                   "Rückgabewert: 0 erledigt (check: keine Schäden, check --fiscal: nichts "
                   "fehlt); 1 nicht\nerledigt, Schäden gefunden oder etwas fehlt auf einem "
                   "Beleg "
                   "(Grund auf stderr); 2 falscher Aufruf.\n")
            .arg(DocumentTypeCount)
            .arg(ComputerConfig::optionsHelp(), SafeFiles::sizeText(SafeFiles::MaxImportBytes),
                 SafeFiles::sizeText(SafeFiles::MaxPictureBytes));
}

// A lower layer's sentence ends in a full stop; ours go on after it.
QString withoutStop(const QString &text)
{
    return text.endsWith(u'.') ? text.chopped(1) : text;
}

// Reads the command line; an error text when it is not a call of this program.
QString parse(const QStringList &arguments, Request &request)
{
    QStringList positional;
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--fiscal")) {
            request.fiscal = true;
            continue;
        }
        if (!argument.startsWith(QLatin1String("--"))) {
            positional << argument;
            continue;
        }
        const qsizetype eq = argument.indexOf(u'=');
        const QString name = argument.mid(2, eq < 0 ? -1 : eq - 2);
        if (!OwnOptions.contains(name)) {
            request.configArguments << argument;
            request.workstationGiven =
                    request.workstationGiven || name == QLatin1String("workstation");
        } else if (name == QLatin1String("output")) {
            request.output = argument.mid(eq + 1);
        } else if (name == QLatin1String("since") || name == QLatin1String("until")
                   || name == QLatin1String("format")) {
            (name == QLatin1String("since")   ? request.since
             : name == QLatin1String("until") ? request.until
                                              : request.format) = argument.mid(eq + 1);
        } else if (name == QLatin1String("with-history")) {
            request.withHistory = true;
        } else {
            (name == QLatin1String("template")  ? request.templateOnly
             : name == QLatin1String("all")     ? request.all
             : name == QLatin1String("dry-run") ? request.dryRun
             : name == QLatin1String("load")    ? request.load
                                                : request.verbose) = true;
        }
    }
    request.command = positional.value(0);
    if (!Commands.contains(request.command))
        return request.command.isEmpty()
                       ? QStringLiteral("Es fehlt ein Befehl (siehe --help).")
                       : QStringLiteral("Unbekannter Befehl \"%1\" (siehe --help).")
                                 .arg(request.command);
    const bool withFile = request.command == QLatin1String("import")
                          || request.command == QLatin1String("backup");
    const bool country = request.command == QLatin1String("country");
    if (request.fiscal && request.command != QLatin1String("check"))
        return QStringLiteral("--fiscal gilt nur für check.");
    if (country && positional.size() > 2)
        return QStringLiteral("Unerwartetes Argument \"%1\".").arg(positional.last());
    if (!country && positional.size() != (withFile ? 2 : 1))
        return withFile ? QStringLiteral("%1 braucht genau eine Datei.").arg(request.command)
                        : QStringLiteral("Unerwartetes Argument \"%1\".").arg(positional.last());
    request.file = positional.value(1);
    const bool exporting = request.command == QLatin1String("export");
    const bool history = request.command == QLatin1String("history");
    if (request.withHistory && !exporting)
        return QStringLiteral("--with-history gilt nur für export.");
    if (!history && !QString(request.since + request.until + request.format).isEmpty())
        return QStringLiteral("--since, --until und --format gelten nur für history.");
    if (history && request.output.isEmpty())
        return QStringLiteral("history braucht --output=DATEI.");
    if (history && !request.format.isEmpty() && request.format != QLatin1String("csv")
        && request.format != QLatin1String("json"))
        return QStringLiteral("--format=%1: bekannt sind csv und json.").arg(request.format);
    if (exporting && request.output.isEmpty())
        return QStringLiteral("export braucht --output=DATEI.");
    if (exporting
        && int(request.templateOnly) + int(request.all) + int(request.workstationGiven) > 1)
        return QStringLiteral("Nur eines von --workstation=N, --template und --all ist möglich.");
    if (!exporting && (request.templateOnly || request.all))
        return QStringLiteral("--template und --all gelten nur für export.");
    if (!exporting && !history && !request.output.isEmpty())
        return QStringLiteral("--output gilt nur für export und history.");
    if (request.command != QLatin1String("import") && (request.dryRun || request.verbose))
        return QStringLiteral("--dry-run und --verbose gelten nur für import.");
    if ((request.command == QLatin1String("logos")) != request.load)
        return request.load ? QStringLiteral("--load gilt nur für logos.")
                            : QStringLiteral("logos braucht --load.");
    return {};
}

std::unique_ptr<Store> openStore(const ComputerConfig &config, Store::Access access,
                                 QString *problem)
{
    try {
        return Host::openStore(config, access);
    } catch (const StoreError &e) {
        *problem = e.text();
    }
    return nullptr;
}

QString seconds(const QElapsedTimer &timer)
{
    return QString::number(timer.elapsed() / 1000.0, 'f', 2);
}

int exportFile(const Request &request, const ComputerConfig &config, Store &store)
{
    using StoreExchange::Scope;
    const Scope scope = request.all            ? Scope::All
                        : request.templateOnly ? Scope::Template
                                               : Scope::Workstation;
    const int workstation = config.workstationId;
    if (scope == Scope::Workstation && workstation != 0
        && RVRTab(store).GetRNrUmfang(workstation).RTyp == 0)
        return report(Failed, QStringLiteral("Der Rechner %1 steht nicht in der Rechnertabelle.")
                                      .arg(workstation));
    // QSaveFile writes straight into a device or named pipe, or renames over it: neither is an
    // export.
    if (const QString refusal = SafeFiles::writeRefusal(request.output); !refusal.isEmpty())
        return report(Failed, refusal);
    QElapsedTimer timer;
    timer.start();
    const StoreExchange::Export result =
            StoreExchange::exportStore(store, scope, workstation, request.withHistory);
    QSaveFile file(request.output);
    if (!file.open(QIODevice::WriteOnly) || file.write(result.json) != result.json.size()
        || !file.commit())
        return report(Failed, SafeFiles::writeFailure(request.output, file));
    writeLine(stdout, QStringLiteral("%1 Datensätze (%2 Bytes) nach %3 exportiert in %4 s.")
                              .arg(result.records)
                              .arg(result.json.size())
                              .arg(QDir::toNativeSeparators(request.output), seconds(timer)));
    return Done;
}

// The history of the records for an audit: the rows of the period and workstation asked for.
int historyFile(const Request &request, const ComputerConfig &config, Store &store)
{
    const std::optional<QDateTime> since = request.since.isEmpty()
                                                   ? std::optional<QDateTime>(QDateTime())
                                                   : HistoryExport::parseTime(request.since, false);
    const std::optional<QDateTime> until = request.until.isEmpty()
                                                   ? std::optional<QDateTime>(QDateTime())
                                                   : HistoryExport::parseTime(request.until, true);
    if (!since || !until)
        return report(WrongUsage,
                      QStringLiteral("\"%1\" ist kein Datum (2026-12-01) und keine Zeit "
                                     "(2026-12-01T14:30).")
                              .arg(!since ? request.since : request.until));
    if (const QString refusal = SafeFiles::writeRefusal(request.output); !refusal.isEmpty())
        return report(Failed, refusal);
    const QList<HistoryEntry> entries = History(store).between(
            *since, *until,
            request.workstationGiven ? std::optional<int>(config.workstationId) : std::nullopt);
    const QByteArray bytes = HistoryExport::write(entries, request.format == QLatin1String("json")
                                                                   ? HistoryExport::Format::Json
                                                                   : HistoryExport::Format::Csv);
    QSaveFile file(request.output);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return report(Failed, SafeFiles::writeFailure(request.output, file));
    writeLine(stdout, QStringLiteral("%1 Einträge des Verlaufs nach %2 geschrieben.")
                              .arg(entries.size())
                              .arg(QDir::toNativeSeparators(request.output)));
    return Done;
}

int importFile(const Request &request, const ComputerConfig &config, Store &store)
{
    const SafeFiles::ReadResult file =
            SafeFiles::readRegular(request.file, SafeFiles::MaxImportBytes);
    if (!file.error.isEmpty())
        return report(Failed,
                      withoutStop(file.error) + QStringLiteral("; es wurde nichts eingespielt."));
    if (!request.dryRun && store.isReadOnly())
        return report(Failed, !store.damage().isEmpty()
                                      ? store.damage()
                                      : QStringLiteral("Der Datenspeicher %1 ist "
                                                       "schreibgeschützt; es wurde nichts "
                                                       "eingespielt.")
                                                .arg(store.location().displayName()));
    QElapsedTimer timer;
    timer.start();
    StoreExchange::File content;
    try {
        content = StoreExchange::parse(file.bytes);
    } catch (const StoreExchange::FileError &e) {
        return report(Failed,
                      QStringLiteral("%1: %2; es wurde nichts eingespielt.")
                              .arg(QDir::toNativeSeparators(request.file), withoutStop(e.text())));
    }
    using Change = StoreExchange::Plan::Change;
    const StoreExchange::Plan plan = StoreExchange::plan(store, content);
    writeLine(stdout,
              QStringLiteral("%1 nach %2: %3 neu, %4 überschrieben, %5 unverändert.")
                      .arg(QDir::toNativeSeparators(request.file), store.location().displayName())
                      .arg(plan.count(Change::Add))
                      .arg(plan.count(Change::Overwrite))
                      .arg(plan.count(Change::Same)));
    for (const StoreExchange::Plan::Item &item : plan.items) {
        if (request.verbose && item.change != Change::Same)
            writeLine(stdout,
                      QStringLiteral("  %1 %2: %3")
                              .arg(item.change == Change::Add ? QStringLiteral("neu")
                                                              : QStringLiteral("überschrieben"),
                                   item.record->table, item.record->key));
    }
    for (const QString &hint : plan.hints)
        writeLine(stderr, QStringLiteral("Hinweis: ") + hint);
    if (request.dryRun) {
        writeLine(stdout, QStringLiteral("Probelauf: nichts geschrieben."));
        return Done;
    }
    // The audit trail names the file and what it brought in, or why nothing was.
    const AuditLog audit(config);
    const QString imported = QFileInfo(request.file).absoluteFilePath();
    const QString summary = QStringLiteral("%1 neu, %2 überschrieben")
                                    .arg(plan.count(Change::Add))
                                    .arg(plan.count(Change::Overwrite));
    try {
        StoreExchange::write(store, content);
    } catch (const StoreError &e) {
        if (const QString problem = audit.recordImport(imported, -1, summary, e.text());
            !problem.isEmpty())
            writeLine(stderr, QStringLiteral("Hinweis: ") + problem);
        throw;
    }
    // Written and recorded are two things: a log that could not take the line is said so.
    if (const QString problem = audit.recordImport(imported, -1, summary); !problem.isEmpty())
        writeLine(stderr, QStringLiteral("Hinweis: ") + problem);
    writeLine(stdout, QStringLiteral("%1 Datensätze eingespielt in %2 s.")
                              .arg(content.records.size())
                              .arg(seconds(timer)));
    return Done;
}

int backup(const Request &request, Store &store)
{
    const StoreLocation &location = store.location();
    if (!store.isSqlite())
        return report(Failed,
                      QStringLiteral("%1 ist ein PostgreSQL-Datenspeicher; er wird mit pg_dump "
                                     "gesichert, z. B.:\n  pg_dump -h %2 -p %3 -U %4 -Fc -f %5 %6\n"
                                     "(das Kennwort aus ~/.pgpass oder PGPASSWORD; zurückspielen "
                                     "mit pg_restore -d DATENBANK %5)")
                              .arg(location.displayName(), location.host)
                              .arg(location.port > 0 ? location.port : 5432)
                              .arg(location.user, request.file, location.databaseName));
    const QString target = QFileInfo(request.file).absoluteFilePath();
    if (QFileInfo::exists(target))
        return report(Failed, QStringLiteral("%1 existiert schon; die Sicherung überschreibt "
                                             "keine Datei.")
                                      .arg(QDir::toNativeSeparators(target)));
    // A copy made by SQLite itself in one read transaction: consistent while others write.
    // A copy that failed half way (a full disk) is no backup: it goes, with its journal, so that
    // nobody takes it for one and the next attempt is not refused for it.
    try {
        store.run(QStringLiteral("VACUUM INTO ?"), {target},
                  QStringLiteral("Sichern nach %1").arg(QDir::toNativeSeparators(target)));
    } catch (const StoreError &e) {
        const bool full = SafeFiles::diskFull(target);
        for (const QString &suffix : {QString(), QStringLiteral("-journal"), QStringLiteral("-wal"),
                                      QStringLiteral("-shm")})
            QFile::remove(target + suffix);
        if (full)
            return report(Failed, SafeFiles::diskFullText(target)
                                          + QStringLiteral(" Es wurde keine Sicherung angelegt."));
        return report(Failed, withoutStop(e.text())
                                      + QStringLiteral("; es wurde keine Sicherung angelegt."));
    }
    writeLine(stdout, QStringLiteral("Gesichert nach %1.").arg(QDir::toNativeSeparators(target)));
    return Done;
}

int check(Store &store)
{
    const QString result = store.integrityCheck();
    const bool sound = result == QLatin1String("ok") && store.damage().isEmpty();
    writeLine(stdout,
              QStringLiteral("Datenspeicher %1: %2")
                      .arg(store.location().displayName(),
                           sound ? QStringLiteral("in Ordnung") : QStringLiteral("BESCHÄDIGT")));
    if (!sound)
        return report(Failed, store.damage().isEmpty() ? result : store.damage());
    writeLine(stdout, QStringLiteral("Schemaversion %1").arg(store.schemaVersion()));
    for (const auto &[table, count] : StoreExchange::recordCounts(store))
        writeLine(stdout, QStringLiteral("  %1: %2 Datensätze").arg(table).arg(count));
    return Done;
}

// What the check says of a store it could not open: damage only when a file is there and holds
// something else; a refused login or a server that does not answer is no damage.
QString openingVerdict(const QString &problem)
{
    if (problem.contains(QLatin1String("keine Datenbank des")))
        return QStringLiteral("BESCHÄDIGT");
    // libpq's words, in English or in the server's language.
    for (const char *login : {"password authentication failed", "no password supplied",
                              "Passwort-Authentifizierung", "kein Passwort angegeben"}) {
        if (problem.contains(QLatin1String(login)))
            return QStringLiteral("Anmeldung abgelehnt (Benutzer oder Kennwort falsch), nicht "
                                  "beschädigt");
    }
    return QStringLiteral("nicht erreichbar oder nicht lesbar, nicht beschädigt");
}

// What the receipts of each till lack of what the installation's country asks.
int checkFiscal(const ComputerConfig &config)
{
    std::unique_ptr<Host> host;
    try {
        host = Host::open(config, Store::Access::ReadExisting);
    } catch (const StoreError &e) {
        return report(Failed, e.text());
    }
    const Country country = installationCountry(host->parameters());
    const QList<FiscalFinding> findings = checkFiscalRules(*host, country);
    writeLine(stdout, fiscalSummary(findings, country));
    for (const FiscalFinding &f : findings)
        writeLine(stdout, QStringLiteral("  %1, Drucker %2, Belegart %3 %4 (Abschnitt %5): fehlt "
                                         "%6")
                                  .arg(f.workstationName, f.printerKey)
                                  .arg(f.documentType)
                                  .arg(CBelegName(f.documentType), f.section, f.missing));
    return findings.isEmpty() ? Done : Failed;
}

// Shows the installation's country, or sets it when one is named.
int country(const ComputerConfig &config, const QString &named)
{
    const std::optional<Country> chosen = named.isEmpty() ? std::nullopt : countryNamed(named);
    if (!named.isEmpty() && !chosen) {
        QStringList allowed;
        for (Country c : countries())
            allowed << QStringLiteral("%1 (%2)").arg(countryCode(c), countryName(c));
        return report(WrongUsage, QStringLiteral("Unbekanntes Land \"%1\": erlaubt sind %2.")
                                          .arg(named, allowed.join(QStringLiteral(", "))));
    }
    QString problem;
    // Only a store that is there gets a country; none is created for it.
    std::unique_ptr<Store> store = openStore(config, Store::Access::ReadExisting, &problem);
    if (store && chosen) {
        store.reset();
        store = openStore(config, Store::Access::ReadWrite, &problem);
    }
    if (!store)
        return report(Failed, problem);
    OVOParameter parameters(*store);
    if (chosen)
        setInstallationCountry(parameters, *chosen);
    const Country now = installationCountry(parameters);
    writeLine(stdout, QStringLiteral("Land der Installation: %1 (%2)")
                              .arg(countryName(now), countryCode(now)));
    return Done;
}

int listWorkstations(Store &store)
{
    writeLine(stdout, QStringLiteral("Nr.  Typ                Name"));
    for (const TRVRInfoUmfang &entry : RVRTab(store).all())
        writeLine(
                stdout,
                QStringLiteral("%1  %2 %3")
                        .arg(entry.RNr, 3)
                        .arg(QStringLiteral("%1 (%2)").arg(C_RTyp_Text(entry.RTyp)).arg(entry.RTyp),
                             -18)
                        .arg(entry.name));
    return Done;
}

int listTypes()
{
    for (int type = 1; type <= DocumentTypeCount; ++type)
        writeLine(stdout, QStringLiteral("%1  %2").arg(type, 2).arg(CBelegName(type)));
    return Done;
}

// The logos of the workstation's designs into its printer's memory, as the printer window's
// "Logos in den Drucker laden" does: to the printer's device or --printer-device.
int loadLogos(const ComputerConfig &config)
{
    std::unique_ptr<Host> host;
    try {
        host = Host::open(config, Store::Access::ReadWrite);
    } catch (const StoreError &e) {
        return report(Failed, e.text());
    }
    try {
        TBonPrinter engine(*host, CAlleBonArten(), -1);
        engine.setWorkstation(config.workstationId);
        engine.Refresh();
        const OutputResult result = host->audit().trackOutput(
                {AuditAction::DeviceTest, config.workstationId,
                 QStringLiteral("Logos in den Drucker laden")},
                [&] { return PrinterLogos::load(engine, config.printerDevice); });
        if (!result.ok)
            return report(Failed, result.error);
        writeLine(stdout, QStringLiteral("%1: %2").arg(result.target, result.warning));
        return Done;
    } catch (const std::exception &e) {
        return report(Failed, QString::fromLocal8Bit(e.what()));
    }
}

int run(const Request &request)
{
    const ComputerConfig config = ComputerConfig::load(request.configArguments);
    // A wrong call does nothing: "check --fiscal" would report a check it did not make.
    for (const QString &problem : config.usageErrors)
        report(WrongUsage, problem);
    if (!config.usageErrors.isEmpty())
        return WrongUsage;
    if (request.command == QLatin1String("types"))
        return listTypes();
    for (const QString &problem : config.problems)
        writeLine(stderr, QStringLiteral("Hinweis: ") + problem);
    if (request.command == QLatin1String("logos"))
        return loadLogos(config);
    // Only an import writes; it may set up a new store, but never seeds it with the demo.
    const bool importing = request.command == QLatin1String("import") && !request.dryRun;
    if (request.command == QLatin1String("country"))
        return country(config, request.file);
    if (request.fiscal)
        return checkFiscal(config);
    QString problem;
    const std::unique_ptr<Store> store = openStore(
            config, importing ? Store::Access::ReadWrite : Store::Access::ReadExisting, &problem);
    if (!store) {
        // Only a file that is there and holds something else is damage; a server that does not
        // answer or refuses the password, a missing file or a full disk is not.
        if (request.command == QLatin1String("check"))
            writeLine(stdout, QStringLiteral("Datenspeicher %1: %2")
                                      .arg(StoreLocation::parse(config.storeLocation).displayName(),
                                           openingVerdict(problem)));
        return report(Failed, problem);
    }
    try {
        if (request.command == QLatin1String("export"))
            return exportFile(request, config, *store);
        if (request.command == QLatin1String("import"))
            return importFile(request, config, *store);
        if (request.command == QLatin1String("backup"))
            return backup(request, *store);
        if (request.command == QLatin1String("history"))
            return historyFile(request, config, *store);
        if (request.command == QLatin1String("check"))
            return check(*store);
        return listWorkstations(*store);
    } catch (const StoreError &e) {
        return report(Failed, e.text());
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (const QString request = ComputerConfig::infoRequest(argc, argv); !request.isEmpty()) {
        writeLine(stdout, request == QLatin1String("help")
                                  ? helpText().chopped(1)
                                  : QStringLiteral("kassotyp-admin " KASSOTYP_VERSION));
        return Done;
    }
    QCoreApplication app(argc, argv);
    nameProgram(QStringLiteral("kassotyp-admin"));
    // Qt's own messages (files, the database drivers) in German.
    QTranslator qtMessages;
    if (qtMessages.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtMessages);

    Request request;
    if (const QString problem = parse(QCoreApplication::arguments().mid(1), request);
        !problem.isEmpty())
        return report(WrongUsage, problem);
    return run(request);
}
