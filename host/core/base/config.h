#pragma once

#include "core/base/storelocation.h"

#include <QMap>
#include <QString>
#include <QStringList>

// Configuration of one computer: where the store is, which workstation this computer is,
// where its printer output goes. Read from the system-wide INI file (one for every login of a
// till), then the user's INI file, which overrides it; command-line options of the form
// --name=value take precedence over both. Arguments that do not start with "--" are positional;
// the first of them is the start parameter ("K" or "S").
struct ComputerConfig
{
    // The environment variable naming the journal's socket (for tests and diagnosis); empty
    // switches the journal off.
    static constexpr const char *JournalSocketVariable = "KASSOTYP_JOURNAL_SOCKET";
    // This computer's number when none is configured, and the code page of its text-mode
    // printer (ESC t 19: code page 858, which has the euro sign).
    static constexpr int DefaultWorkstation = 1;
    static constexpr int DefaultCodePage = 19;

    QString iniPath;            // the user's INI file, or the one named by --config=
    QStringList systemIniPaths; // system-wide INI files that exist, the one that wins first
    QString storeLocation;
    // A statement, or the wait for another program's write.
    int storeTimeoutSeconds = StoreLocation::DefaultTimeoutSeconds;
    int workstationId = DefaultWorkstation;
    QString printerOutput; // name of the system printer; empty: PDF files in the spool folder
    QString printerDevice; // text mode: device or file the bytes go to; empty: spool folder
    int codePage = DefaultCodePage; // ESC t n of the text-mode printer (16: code page 1252)
    int dotWidth = 0;               // printable dots of a text-mode line; 0: from the paper width
    QMap<QString, QString> ports;   // "COM1".."COM8" -> device of that port
    QString spoolFolder;
    QString userName;
    QString logFile;
    QStringList positional;
    QStringList problems; // unreadable values of the INI files, warnings; shown to the user
    // What makes the command line wrong: unknown options, unreadable values given on it, an
    // INI file named by --config= that cannot be read. A program refuses to run (exit code 2).
    QStringList usageErrors;

    QString startParameter() const { return positional.value(0); }

    // args without the program name. Reads the INI file named by --config=, else the default.
    static ComputerConfig load(const QStringList &args);
    static QString defaultIniPath();
    // kassotyp/kassotyp.ini in every folder of XDG_CONFIG_DIRS (/etc/xdg by default), the one
    // that wins first, whether it exists or not.
    static QStringList systemIniCandidates();
    static QString defaultStorePath();

    // What --help says about the options above and the INI file, with this user's defaults;
    // every program that reads this configuration prints it.
    static QString optionsHelp();
    // "help" or "version" when the command line asks for it (--help or -h, --version), else
    // empty. Reads argv itself, so that both work before an application object (and a
    // display) exists.
    static QString infoRequest(int argc, char *argv[]);
};
