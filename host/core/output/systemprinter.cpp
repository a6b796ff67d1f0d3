#include "core/output/systemprinter.h"

#include "core/base/lazylibrary.h"
#include "core/output/systemprintapi.h"

#include <QCoreApplication>
#include <QDir>

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
    using Entry = const SystemPrintApi *(*)();
    Entry entry = nullptr;
    LazyLibrary module(QDir::cleanPath(QCoreApplication::applicationDirPath()
                                       + QStringLiteral("/" KASSOTYP_PRIVATE_LIBRARY_DIR
                                                        "/kassotyp-systemprint.so")),
                       QString(),
                       QStringLiteral("Die Druckunterstützung für Systemdrucker "
                                      "(kassotyp-systemprint)"));
    module.find(entry, KASSOTYP_SYSTEMPRINT_ENTRY);
    if (!entry) {
        loaded.problem = module.error();
        return loaded;
    }
    const SystemPrintApi *api = entry();
    if (!api || api->version != SystemPrintApiVersion) {
        loaded.problem = QStringLiteral("Die Druckunterstützung für Systemdrucker "
                                        "(kassotyp-systemprint) gehört zu einer anderen "
                                        "Programmversion.");
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
