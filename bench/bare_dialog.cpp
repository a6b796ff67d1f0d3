// The baseline of the start-up and memory figures: a bare Qt program that shows one empty
// dialog and ends as soon as it is shown, exactly as the designer does with --exit-when-shown.
// With --peak-memory it prints its peak resident set in kilobytes at the end.
#include "bench/peakmemory.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.resize(604, 562);
    dialog.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    const int rc = QApplication::exec();
    if (QCoreApplication::arguments().contains(QStringLiteral("--peak-memory")))
        std::printf("%lld\n", peakResidentKilobytes());
    return rc;
}
