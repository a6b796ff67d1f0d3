#pragma once

#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QTextStream>

#include <functional>
#include <memory>

class Host;

// Repeated timings of one thing: the table shows the median and, as the machine's noise,
// the smallest and largest.
struct Figure
{
    QList<double> samples;

    double min() const;
    double median() const;
    double max() const;
    // "12.3 (11.9–14.0)"
    QString text(int decimals = 1) const;
};

// Runs fn `runs` times and records each run's milliseconds.
Figure timeMs(int runs, const std::function<void()> &fn);
double elapsedMsOf(const std::function<void()> &fn);
// `runs` times `calls` calls of fn (numbered from 1 on), each run's time per call in
// microseconds.
Figure microsecondsPerCall(int runs, int calls, const std::function<void(int call)> &fn);

using BudgetCheck = std::function<bool(double measured, double baseline)>;

// A ratio budget: measured at most `factor` times the baseline.
BudgetCheck atMost(double factor);

// The budget table: each figure against its baseline measured in the same run.
class BudgetTable
{
public:
    // The budget is met when check(measured median, baseline median) holds; budgetText says
    // what it is. The note follows the verdict.
    void add(const QString &what, const Figure &measured, const QString &baselineWhat,
             const Figure &baseline, const QString &budgetText, const BudgetCheck &check,
             const QString &unit = QStringLiteral("ms"), const QString &note = QString());
    // Prints the table in Markdown; returns the number of missed budgets.
    int print(QTextStream &out) const;

private:
    struct Row
    {
        QString what;
        Figure measured;
        QString baselineWhat;
        Figure baseline;
        QString budgetText;
        BudgetCheck check;
        QString unit;
        QString note;
    };
    QList<Row> m_rows;
};

// The kinds of store the figures are measured on.
enum class Backend { Sqlite, Postgres };
QString backendName(Backend backend);

// The --store text of a store of the benchmark's own: an SQLite file in its folder, or a schema
// of its own (created when missing) on the PostgreSQL server KASSOTYP_TEST_PG names.
QString benchStoreLocation(Backend backend, const QString &folder, const QString &name);
// Removes such a store (the file with its log, or the schema).
void removeBenchStore(Backend backend, const QString &folder, const QString &name);
// Drops the schemas every earlier run left on the server.
void removeEveryBenchSchema();
// The command line of a program of ours on that store, its settings and log in the folder.
QStringList benchProgramArguments(const QString &store, const QString &folder, int workstation = 3);

// A store of its own, seeded with the demo installation on its first opening.
std::unique_ptr<Host> openBenchHost(const QString &folder, const QString &name, int workstation = 3,
                                    Backend backend = Backend::Sqlite);

// The environment of the programs the benchmark starts: offscreen, with a runtime folder of
// their own (set once at the start).
void setChildRuntimeDir(const QString &folder);
QProcessEnvironment childEnvironment();
// Runs a program to its end; returns its milliseconds and what it printed. A program that
// fails ends the benchmark.
double runProgram(const QString &program, const QStringList &args, QByteArray *output = nullptr);

// Ends the benchmark with a message: a broken measurement must never look like a fast one.
[[noreturn]] void benchFailure(const QString &why);
