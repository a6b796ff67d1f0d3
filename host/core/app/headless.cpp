#include "core/app/headless.h"

namespace {

QtMessageHandler g_previousHandler = nullptr;

void withoutRuntimeFolderWarning(QtMsgType type, const QMessageLogContext &context,
                                 const QString &message)
{
    if (type == QtWarningMsg
        && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

} // namespace

std::unique_ptr<QGuiApplication> startHeadless(int &argc, char *argv[], const QString &name)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Choosing the platform looks for a Wayland socket in the runtime folder.
    g_previousHandler = qInstallMessageHandler(withoutRuntimeFolderWarning);
    auto app = std::make_unique<QGuiApplication>(argc, argv);
    qInstallMessageHandler(g_previousHandler);
    QCoreApplication::setOrganizationName(QStringLiteral("kassotyp"));
    QCoreApplication::setApplicationName(name);
    QCoreApplication::setApplicationVersion(QStringLiteral(KASSOTYP_VERSION));
    return app;
}
