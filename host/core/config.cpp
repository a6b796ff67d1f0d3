#include "config.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString dataFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.local/share");
    return folder + QStringLiteral("/kassotyp");
}

QString currentUserName()
{
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty())
        name = qEnvironmentVariable("USERNAME");
    return name.isEmpty() ? QStringLiteral("kasse") : name;
}

} // namespace

QString ComputerConfig::defaultIniPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.config");
    return folder + QStringLiteral("/kassotyp/kassotyp.ini");
}

QString ComputerConfig::defaultStorePath()
{
    return dataFolder() + QStringLiteral("/kassotyp.sqlite");
}

ComputerConfig ComputerConfig::load(const QStringList &args)
{
    QMap<QString, QString> options;
    ComputerConfig config;
    for (const QString &arg : args) {
        if (arg.startsWith(QLatin1String("--"))) {
            const qsizetype eq = arg.indexOf(u'=');
            const QString name = arg.mid(2, eq < 0 ? -1 : eq - 2);
            options[name] = eq < 0 ? QString() : arg.mid(eq + 1);
        } else {
            config.positional << arg;
        }
    }

    config.iniPath = options.value(QStringLiteral("config"), defaultIniPath());
    const QSettings ini(config.iniPath, QSettings::IniFormat);
    auto value = [&](const QString &option, const QString &iniKey, const QString &fallback) {
        if (options.contains(option))
            return options.value(option);
        return ini.value(iniKey, fallback).toString();
    };

    config.storeLocation =
            value(QStringLiteral("store"), QStringLiteral("store/location"), defaultStorePath());
    const QString ws = value(QStringLiteral("workstation"), QStringLiteral("computer/workstation"),
                             QStringLiteral("1"));
    bool ok = false;
    const int wsNumber = ws.trimmed().toInt(&ok);
    if (ok)
        config.workstationId = wsNumber;
    else
        config.problems << QStringLiteral("Die Rechnernummer \"%1\" ist keine Zahl; es wird "
                                          "Rechner 1 verwendet.")
                                   .arg(ws);
    config.printerOutput = value(QStringLiteral("printer"), QStringLiteral("computer/printer"), {});
    config.printerDevice =
            value(QStringLiteral("printer-device"), QStringLiteral("computer/printerdevice"), {});
    auto number = [&](const QString &option, const QString &iniKey, int fallback) {
        const QString text = value(option, iniKey, QString::number(fallback));
        bool ok = false;
        const int n = text.trimmed().toInt(&ok);
        if (!ok || n < 0) {
            config.problems << QStringLiteral("Der Wert \"%1\" von %2 ist keine Zahl; es wird %3 "
                                              "verwendet.")
                                       .arg(text, option)
                                       .arg(fallback);
            return fallback;
        }
        return n;
    };
    config.codePage = number(QStringLiteral("codepage"), QStringLiteral("computer/codepage"), 19);
    config.dotWidth = number(QStringLiteral("dots"), QStringLiteral("computer/dots"), 0);
    for (int com = 1; com <= 8; ++com) {
        const QString port = QStringLiteral("COM%1").arg(com);
        const QString device =
                value(QStringLiteral("port-") + port, QStringLiteral("ports/") + port, {});
        if (!device.isEmpty())
            config.ports.insert(port, device);
    }
    config.spoolFolder = value(QStringLiteral("spool"), QStringLiteral("computer/spool"),
                               dataFolder() + QStringLiteral("/spool"));
    config.userName =
            value(QStringLiteral("user"), QStringLiteral("computer/user"), currentUserName());
    config.logFile = value(QStringLiteral("log"), QStringLiteral("computer/log"),
                           dataFolder() + QStringLiteral("/kassotyp.log"));

    static const QStringList known = {QStringLiteral("config"),
                                      QStringLiteral("store"),
                                      QStringLiteral("workstation"),
                                      QStringLiteral("printer"),
                                      QStringLiteral("spool"),
                                      QStringLiteral("user"),
                                      QStringLiteral("log"),
                                      QStringLiteral("platform"),
                                      QStringLiteral("exit-when-shown"),
                                      QStringLiteral("printer-device"),
                                      QStringLiteral("codepage"),
                                      QStringLiteral("dots")};
    for (auto it = options.cbegin(); it != options.cend(); ++it) {
        if (!known.contains(it.key()) && !it.key().startsWith(QLatin1String("port-COM")))
            config.problems
                    << QStringLiteral("Unbekannte Option --%1 wird ignoriert.").arg(it.key());
    }
    return config;
}
