#pragma once

#include <QString>
#include <QStringList>

// Configuration of one computer: where the store is, which workstation this computer is,
// where its printer output goes. Read from an INI file; command-line options of the form
// --name=value take precedence. Arguments that do not start with "--" are positional;
// the first of them is the start parameter ("K" or "S").
struct ComputerConfig
{
    QString iniPath;
    QString storeLocation;
    int workstationId = 1;
    QString printerOutput; // name of the system printer; empty: PDF files in the spool folder
    QString spoolFolder;
    QString userName;
    QString logFile;
    QStringList positional;
    QStringList problems; // unknown options, unreadable numbers; shown to the user

    QString startParameter() const { return positional.value(0); }

    // args without the program name. Reads the INI file named by --config=, else the default.
    static ComputerConfig load(const QStringList &args);
    static QString defaultIniPath();
    static QString defaultStorePath();
};
