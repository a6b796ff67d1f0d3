#include "tests/support/builtprogram.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

Run runBuilt(const QString &relativePath, const QStringList &arguments, bool withoutDisplay)
{
    return runProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/../")
                              + relativePath,
                      arguments, withoutDisplay);
}

Run runProgram(const QString &program, const QStringList &arguments, bool withoutDisplay)
{
    Run run;
    if (!QFileInfo(program).isExecutable()) {
        run.err = QStringLiteral("not built: ") + program;
        return run;
    }
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    if (withoutDisplay) {
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
    }
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}
