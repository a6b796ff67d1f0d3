#pragma once

#include <QString>

#include <cstdio>

// One line of a command's output (stdout) or messages (stderr), in the locale's encoding and
// at once, so that the lines of both streams keep their order on a terminal.
inline void writeLine(FILE *stream, const QString &text)
{
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stream);
}
