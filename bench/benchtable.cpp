#include "bench/benchtable.h"

#include "core/app/host.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

QList<double> sorted(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values;
}

} // namespace

double Figure::min() const
{
    return samples.isEmpty() ? 0 : sorted(samples).first();
}

double Figure::median() const
{
    if (samples.isEmpty())
        return 0;
    const QList<double> s = sorted(samples);
    const qsizetype n = s.size();
    return n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2;
}

double Figure::max() const
{
    return samples.isEmpty() ? 0 : sorted(samples).last();
}

QString Figure::text(int decimals) const
{
    if (samples.size() == 1)
        return QString::number(median(), 'f', decimals);
    return QStringLiteral("%1 (%2–%3)")
            .arg(QString::number(median(), 'f', decimals), QString::number(min(), 'f', decimals),
                 QString::number(max(), 'f', decimals));
}

double elapsedMsOf(const std::function<void()> &fn)
{
    QElapsedTimer timer;
    timer.start();
    fn();
    return double(timer.nsecsElapsed()) / 1e6;
}

Figure microsecondsPerCall(int runs, int calls, const std::function<void(int call)> &fn)
{
    Figure f;
    int call = 0;
    for (int run = 0; run < runs; ++run)
        f.samples << elapsedMsOf([&] {
                         for (int i = 0; i < calls; ++i)
                             fn(++call);
                     }) * 1000.0
                             / calls;
    return f;
}

Figure timeMs(int runs, const std::function<void()> &fn)
{
    Figure f;
    for (int i = 0; i < runs; ++i)
        f.samples << elapsedMsOf(fn);
    return f;
}

BudgetCheck atMost(double factor)
{
    return [factor](double measured, double baseline) {
        return measured <= factor * baseline;
    };
}

void BudgetTable::add(const QString &what, const Figure &measured, const QString &baselineWhat,
                      const Figure &baseline, const QString &budgetText, const BudgetCheck &check,
                      const QString &unit, const QString &note)
{
    m_rows << Row{what, measured, baselineWhat, baseline, budgetText, check, unit, note};
}

int BudgetTable::print(QTextStream &out) const
{
    out << "| What | Measured: median (min–max) | Baseline in the same run: median (min–max) "
           "| Ratio | Budget | |\n";
    out << "|---|---|---|---|---|---|\n";
    int missed = 0;
    for (const Row &r : m_rows) {
        const double ratio = r.measured.median() / r.baseline.median();
        const bool ok = r.check(r.measured.median(), r.baseline.median());
        missed += ok ? 0 : 1;
        out << "| " << r.what << " | " << r.measured.text() << ' ' << r.unit << " | "
            << r.baselineWhat << ": " << r.baseline.text() << ' ' << r.unit << " | "
            << QString::number(ratio, 'f', 2) << " | " << r.budgetText << " | "
            << (ok ? "met" : "MISSED") << (r.note.isEmpty() ? QString() : u' ' + r.note) << " |\n";
        out.flush();
    }
    return missed;
}

QString backendName(Backend backend)
{
    return backend == Backend::Sqlite ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL");
}

namespace {

QString schemaOf(const QString &name)
{
    return QStringLiteral("bench_") + QString(name).replace(u'-', u'_');
}

// Runs a statement on the server's own database, on one connection for the whole run.
void serverSql(const QString &sql)
{
    const QString connection = QStringLiteral("kassotyp-bench-admin");
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    if (!db.isValid()) {
        const StoreLocation server = StoreLocation::parse(qEnvironmentVariable("KASSOTYP_TEST_PG"));
        db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        db.setHostName(server.host);
        db.setPort(server.port);
        db.setUserName(server.user);
        db.setPassword(server.password);
        db.setDatabaseName(server.databaseName);
        // Dropping a schema lists every table it takes along.
        db.setConnectOptions(QStringLiteral("options=-cclient_min_messages=warning"));
    }
    if (!db.isOpen() && !db.open())
        benchFailure(QStringLiteral("no connection to the PostgreSQL server: ")
                     + db.lastError().text());
    QSqlQuery q(db);
    if (!q.exec(sql))
        benchFailure(sql + QStringLiteral(": ") + q.lastError().text());
}

// The programs measured find the server's password where a shop keeps it, in a password file
// that PGPASSFILE names, not on their command line (where they would stop to warn about it).
void usePasswordFile(const QUrl &server)
{
    // Removed when the run ends.
    static struct PasswordFile
    {
        QString path;
        ~PasswordFile()
        {
            if (!path.isEmpty())
                QFile::remove(path);
        }
    } written;
    if (!written.path.isEmpty() || server.password().isEmpty())
        return;
    const QString path = QDir::temp().filePath(
            QStringLiteral("kassotyp-bench-%1.pgpass").arg(QCoreApplication::applicationPid()));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        benchFailure(QStringLiteral("cannot write the password file ") + path);
    file.write(QStringLiteral("%1:%2:*:%3:%4\n")
                       .arg(server.host())
                       .arg(server.port(5432))
                       .arg(server.userName(), server.password())
                       .toUtf8());
    file.close();
    qputenv("PGPASSFILE", QFile::encodeName(path));
    written.path = path;
}

} // namespace

QString benchStoreLocation(Backend backend, const QString &folder, const QString &name)
{
    if (backend == Backend::Sqlite)
        return folder + u'/' + name + QStringLiteral(".sqlite");
    serverSql(QStringLiteral("CREATE SCHEMA IF NOT EXISTS ") + schemaOf(name));
    QUrl url(qEnvironmentVariable("KASSOTYP_TEST_PG"));
    usePasswordFile(url);
    url.setPassword(QString());
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("options"),
                       QStringLiteral("-csearch_path=") + schemaOf(name));
    url.setQuery(query);
    return url.toString(QUrl::FullyEncoded);
}

void removeBenchStore(Backend backend, const QString &folder, const QString &name)
{
    if (backend == Backend::Postgres) {
        serverSql(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(schemaOf(name)));
        return;
    }
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(benchStoreLocation(backend, folder, name) + suffix);
}

void removeEveryBenchSchema()
{
    serverSql(QStringLiteral("DO $$DECLARE s text; BEGIN FOR s IN SELECT nspname FROM "
                             "pg_namespace WHERE nspname LIKE 'bench\\_%' LOOP EXECUTE 'DROP "
                             "SCHEMA ' || s || ' CASCADE'; END LOOP; END$$"));
}

QStringList benchProgramArguments(const QString &store, const QString &folder, int workstation)
{
    return {QStringLiteral("--store=") + store, QStringLiteral("--config="),
            QStringLiteral("--log=") + folder + QStringLiteral("/bench.log"),
            QStringLiteral("--spool=") + folder + QStringLiteral("/spool"),
            QStringLiteral("--workstation=%1").arg(workstation)};
}

std::unique_ptr<Host> openBenchHost(const QString &folder, const QString &name, int workstation,
                                    Backend backend)
{
    return Host::open(ComputerConfig::load(
            benchProgramArguments(benchStoreLocation(backend, folder, name), folder, workstation)));
}

namespace {
QString g_runtimeDir;
} // namespace

void setChildRuntimeDir(const QString &folder)
{
    g_runtimeDir = folder;
}

QProcessEnvironment childEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), g_runtimeDir);
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.qpa.*=false"));
    return env;
}

double runProgram(const QString &program, const QStringList &args, QByteArray *output)
{
    QProcess process;
    process.setProcessEnvironment(childEnvironment());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const double ms = elapsedMsOf([&] {
        process.start(program, args);
        process.waitForFinished(600000);
    });
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        benchFailure(QStringLiteral("%1 failed (exit %2)").arg(program).arg(process.exitCode()));
    if (output)
        *output = process.readAllStandardOutput();
    return ms;
}

void benchFailure(const QString &why)
{
    std::fprintf(stderr, "benchmark failed: %s\n", qPrintable(why));
    std::exit(1);
}
