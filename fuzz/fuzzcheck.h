#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The bytes libFuzzer hands over, as Qt's byte array (a copy: the input must stay untouched).
inline QByteArray fuzzBytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// An oracle that failed: abort, so that libFuzzer keeps the input as a crash.
inline void fuzzCheck(bool condition, const char *what)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// The application object a target's code needs (fonts, picture plugins, widgets), created once
// for the whole run on Qt's offscreen platform unless another one is set. It is never freed:
// at exit Qt's own statics are gone before it, and its clean-up would reach into them.
template<class Application>
void startApplication(int *argc, char ***argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static const Application *app = new Application(*argc, *argv);
    Q_UNUSED(app);
}
