#include "core/output/systemprinter.h"

#include "core/output/systemprintapi.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace {

struct LoadedModule
{
    const SystemPrintApi *api = nullptr;
    QString problem;
};

// The module lies in the programs' private library folder, found from the program's own folder
// in the build tree as well as in the installed package.
LoadedModule loadModule()
{
    LoadedModule loaded;
    if (!QCoreApplication::instance()) {
        loaded.problem = QStringLiteral("Die Druckunterstützung kann ohne Anwendungsobjekt nicht "
                                        "geladen werden.");
        return loaded;
    }
    QLibrary module(QDir::cleanPath(
            QCoreApplication::applicationDirPath()
            + QStringLiteral("/" KASSOTYP_PRIVATE_LIBRARY_DIR "/kassotyp-systemprint.so")));
    using Entry = const SystemPrintApi *(*)();
    const auto entry = reinterpret_cast<Entry>(module.resolve(KASSOTYP_SYSTEMPRINT_ENTRY));
    if (!entry) {
        loaded.problem = QStringLiteral("Die Druckunterstützung für Systemdrucker "
                                        "(kassotyp-systemprint) kann nicht geladen werden: %1")
                                 .arg(module.errorString());
        return loaded;
    }
    const SystemPrintApi *api = entry();
    if (!api || api->version != SystemPrintApiVersion) {
        loaded.problem = QStringLiteral("Die Druckunterstützung für Systemdrucker %1 gehört zu "
                                        "einer anderen Programmversion.")
                                 .arg(QDir::toNativeSeparators(module.fileName()));
        return loaded;
    }
    loaded.api = api; // the module stays loaded for the rest of the run
    return loaded;
}

const SystemPrintApi *api(QString *problem)
{
    static const LoadedModule loaded = loadModule();
    if (!loaded.api && problem)
        *problem = loaded.problem;
    return loaded.api;
}

} // namespace

namespace SystemPrinter {

bool exists(const QString &name, QString *problem)
{
    const SystemPrintApi *calls = api(problem);
    return calls && calls->exists(name);
}

bool print(const QString &name, const QString &docName, const Painter &paint, QString *problem)
{
    const SystemPrintApi *calls = api(problem);
    return calls && calls->print(name, docName, paint);
}

bool defaultPrintableWidth(int *dots, int *dpi, QString *problem)
{
    const SystemPrintApi *calls = api(problem);
    return calls && calls->defaultPrintableWidth(dots, dpi);
}

} // namespace SystemPrinter
