#pragma once

#include <QString>
#include <QStringList>

// What a program of the build tree did when a test ran it.
struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs a program of the build tree (path relative to it) as a service or a root shell runs it,
// without a runtime folder; without a display, when asked, and without a platform chosen.
Run runBuilt(const QString &relativePath, const QStringList &arguments,
             bool withoutDisplay = false);
// The same for a program at any path, e.g. a built program copied elsewhere.
Run runProgram(const QString &program, const QStringList &arguments, bool withoutDisplay = false);
