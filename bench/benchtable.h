#pragma once

#include <QList>
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

// A store of its own in the benchmark's folder, seeded with the demo installation.
std::unique_ptr<Host> openBenchHost(const QString &folder, const QString &name,
                                    int workstation = 3);

// Ends the benchmark with a message: a broken measurement must never look like a fast one.
[[noreturn]] void benchFailure(const QString &why);
