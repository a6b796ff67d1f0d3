#pragma once

#include <QGuiApplication>

#include <memory>

// The application object of a command-line program: it shows no window but needs fonts and
// painting. Qt's offscreen platform unless one is chosen; the program's name and version set.
// Run from a root shell or a service there is no XDG_RUNTIME_DIR, and Qt would say so on
// every start although such a program never uses a runtime folder: that one warning is kept
// off the program's output.
std::unique_ptr<QGuiApplication> startHeadless(int &argc, char *argv[], const QString &name);
