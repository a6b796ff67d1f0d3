#include "startup.h"

#include "Platzhalter.h"
#include "host.h"
#include "kassotypu.h"

#include <QCoreApplication>

std::unique_ptr<TfrmKassotypHaupt> startKassotyp(Host &host, const ComputerConfig &config)
{
    std::unique_ptr<TfrmKassotypHaupt> mainWindow;
    OVOInfo &info = host.info();
    try {
        host.program().Init(QStringLiteral("Kassotyp"), 3, 0, 0, 0, true);
        QCoreApplication::setApplicationName(QStringLiteral("Kassotyp"));
        mainWindow = std::make_unique<TfrmKassotypHaupt>(host, config.positional);
        info.FehlerRaise(QStringLiteral("kassotyp"), 0, QString(), QString(), 0, 0);
        mainWindow->setPlaceholderPicker(std::make_unique<TfrmPlatzhalter>());
        info.FehlerRaise(QStringLiteral("kassotyp"), 0, QString(), QString(), 0, 0);
    } catch (const std::exception &e) {
        host.program().ShowException(e);
    }
    for (const QString &problem : config.problems)
        info.ShowText(MessageKind::Warning, problem);
    if (host.store().isReadOnly())
        info.ShowMeldung(1037, KassotypProgramKey, {host.store().location().displayName()});
    return mainWindow;
}

QString missingDisplayProblem(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return {};
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]).startsWith("-platform"))
            return {};
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return QStringLiteral(
                "Kassotyp: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                "Start it from a desktop session, or choose a Qt platform, for example\n"
                "  QT_QPA_PLATFORM=vnc:port=5900 kassotyp   (then connect a VNC viewer to "
                "port 5900)");
    return {};
}
