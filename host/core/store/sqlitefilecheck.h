#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>

struct sqlite3;

// The connection a running check of the file works on, so that closing the store stops it.
struct FileCheckState
{
    std::mutex mutex;
    sqlite3 *connection = nullptr;
    bool stopped = false;

    // Interrupts the check where it is; one that has not opened its connection yet never does.
    void stop();
};

// SQLite's check of the file's pages and trees, on a connection of its own (named
// connectionName) so that it can run beside the program's work; the findings, empty when the
// file is sound.
QStringList checkSqliteFile(const QString &connectionName, const QString &path,
                            const QString &connectOptions,
                            const std::shared_ptr<FileCheckState> &state);
