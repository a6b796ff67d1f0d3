#include "bench/benchtable.h"

#include "core/app/host.h"

#include <QElapsedTimer>

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

std::unique_ptr<Host> openBenchHost(const QString &folder, const QString &name, int workstation)
{
    const ComputerConfig config = ComputerConfig::load(
            {QStringLiteral("--store=") + folder + u'/' + name + QStringLiteral(".sqlite"),
             QStringLiteral("--config=") + folder + QStringLiteral("/none.ini"),
             QStringLiteral("--log=") + folder + u'/' + name + QStringLiteral(".log"),
             QStringLiteral("--spool=") + folder + QStringLiteral("/spool"),
             QStringLiteral("--workstation=%1").arg(workstation)});
    return Host::open(config);
}

void benchFailure(const QString &why)
{
    std::fprintf(stderr, "benchmark failed: %s\n", qPrintable(why));
    std::exit(1);
}
