#include "core/app/headless.h"
#include "core/app/host.h"
#include "shell/kassotypu.h"
#include "shell/startup.h"
#include "widgets/messagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    // Help and version need no display: answered before the application object exists.
    if (const QString request = ComputerConfig::infoRequest(argc, argv); !request.isEmpty()) {
        const QString text = request == QLatin1String("help")
                                     ? commandLineHelp()
                                     : QStringLiteral("kassotyp " KASSOTYP_VERSION "\n");
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (const QString problem = missingDisplayProblem(argc, argv); !problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return 2;
    }
    FontConfigWarmUp fonts;
    const RuntimeFolderWarningFilter quiet;
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("kassotyp"));
    if (!installGermanQtTranslations())
        std::fputs("Kassotyp: Die deutschen Qt-Übersetzungen fehlen (Paket "
                   "qt6-translations-l10n); Qt-eigene Dialoge erscheinen englisch.\n",
                   stderr);

    const ComputerConfig config = ComputerConfig::load(QCoreApplication::arguments().mid(1));
    MessageBoxPresenter presenter;
    if (!mayCreateStore(config, presenter)) {
        std::fprintf(stderr, "Kassotyp: Der Datenspeicher %s wurde nicht angelegt.\n",
                     qPrintable(StoreLocation::parse(config.storeLocation).displayName()));
        return 1;
    }
    std::unique_ptr<Host> host;
    try {
        // The check of the store's file waits until the window is up: on a chain's store it
        // reads hundreds of megabytes, and beside the start it slowed the start by a third.
        host = Host::open(config, Store::Access::ReadWrite, Store::FileCheck::WhenAsked);
    } catch (const StoreError &e) {
        std::fprintf(stderr, "Kassotyp: %s\n", qPrintable(e.text()));
        presenter.present(MessageKind::Error, QStringLiteral("Kassotyp - Fehler"),
                          e.text() + QStringLiteral("\n\nDas Programm wird beendet."));
        return 1;
    }
    host->info().setPresenter(&presenter);

    std::unique_ptr<TfrmKassotypHaupt> mainWindow = startKassotyp(*host, config);
    if (!mainWindow)
        return 1;
    fonts.finish();
    mainWindow->show();
    // The check of the store's file waits a moment longer: the window's first paint and the
    // user's first steps come first. A save before then starts the check and waits for it.
    constexpr int FileCheckDelayMs = 500;
    QTimer::singleShot(FileCheckDelayMs, mainWindow.get(), [&host, &mainWindow] {
        checkStoreFileInBackground(host->store(), host->info(), mainWindow.get());
    });
    if (QCoreApplication::arguments().contains(QStringLiteral("--exit-when-shown")))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    const int rc = QApplication::exec();
    mainWindow.reset();
    return rc;
}
