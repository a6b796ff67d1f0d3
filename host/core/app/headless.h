#pragma once

#include <QGuiApplication>

#include <memory>

// Run from a root shell or a service there is no XDG_RUNTIME_DIR, and Qt says so on every
// start (choosing the platform looks for a Wayland socket there) although the programs never
// use a runtime folder. While an object of this class lives, that one warning is kept off the
// program's output; every other message passes.
class RuntimeFolderWarningFilter
{
public:
    RuntimeFolderWarningFilter();
    ~RuntimeFolderWarningFilter();
    RuntimeFolderWarningFilter(const RuntimeFolderWarningFilter &) = delete;
    RuntimeFolderWarningFilter &operator=(const RuntimeFolderWarningFilter &) = delete;
};

// The program's organisation, name and version on the application object, as every program of
// the installation sets them (settings, messages and --version read them from there).
void nameProgram(const QString &name);

// The application object of a command-line program: it shows no window but needs fonts and
// painting. Qt's offscreen platform unless one is chosen; the program's name and version set.
std::unique_ptr<QGuiApplication> startHeadless(int &argc, char *argv[], const QString &name);
