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

RuntimeFolderWarningFilter::RuntimeFolderWarningFilter()
{
    g_previousHandler = qInstallMessageHandler(withoutRuntimeFolderWarning);
}

RuntimeFolderWarningFilter::~RuntimeFolderWarningFilter()
{
    qInstallMessageHandler(g_previousHandler);
}

void nameProgram(const QString &name)
{
    QCoreApplication::setOrganizationName(QStringLiteral("kassotyp"));
    QCoreApplication::setApplicationName(name);
    QCoreApplication::setApplicationVersion(QStringLiteral(KASSOTYP_VERSION));
}

std::unique_ptr<QGuiApplication> startHeadless(int &argc, char *argv[], const QString &name)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const RuntimeFolderWarningFilter quiet;
    auto app = std::make_unique<QGuiApplication>(argc, argv);
    nameProgram(name);
    return app;
}
