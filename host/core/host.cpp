#include "host.h"

#include "devicepresets.h"
#include "settingslistcodec.h"

Host::Host(const ComputerConfig &config, std::unique_ptr<Store> store)
    : m_config(config)
    , m_store(std::move(store))
    , m_info(config.logFile)
    , m_layouts(*m_store)
    , m_program(*this)
    , m_parameters(*m_store)
    , m_workstations(*m_store)
    , m_rights(*m_store, config.userName)
    , m_booking(*m_store)
    , m_logos(*m_store)
    , m_currency(*m_store)
{
}

Host::~Host() = default;

std::unique_ptr<Host> Host::open(const ComputerConfig &config)
{
    std::unique_ptr<Store> store = Store::open(StoreLocation::parse(config.storeLocation));
    if (!store->isReadOnly()) {
        // A store without workstations was just created (or emptied by hand): seed it once,
        // in one transaction, so that a second program starting at the same time sees
        // either nothing or the whole demo installation.
        store->write([&] {
            QSqlQuery q = store->prepare(QStringLiteral("SELECT count(*) FROM workstations"));
            Store::exec(q, QStringLiteral("Prüfen der Rechnertabelle"));
            if (q.next() && q.value(0).toInt() == 0)
                seedDemoInstallation(*store, config.userName);
        });
    }
    return std::unique_ptr<Host>(new Host(config, std::move(store)));
}

void seedDemoInstallation(Store &store, const QString &userName)
{
    RVRTab workstations(store);
    const QList<TRVRInfoUmfang> entries = {
            {1, 1, QStringLiteral("Haupt-PC")},     {2, 2, QStringLiteral("Backoffice")},
            {3, 3, QStringLiteral("Kasse 1")},      {4, 3, QStringLiteral("Kasse 2")},
            {5, 4, QStringLiteral("Mobile Kasse")}, {90, 7, QStringLiteral("Zentrale")},
    };
    for (const TRVRInfoUmfang &e : entries)
        workstations.put(e);

    // The template workstation's printer: one record under the preset name and the active one.
    LayoutStore layouts(store);
    const QString printer = QStringLiteral("TM-T88");
    const QStringList printerRecord = printerRecordFromPreset(printer);
    layouts.writeList({QStringLiteral("AKTBONDR"), 0, printer}, printerRecord);
    layouts.writeList({QStringLiteral("AKTBONDR"), 0, QStringLiteral("AKTIV")}, printerRecord);
    layouts.writeList({QStringLiteral("SEITEEIN"), 0, printer}, pageSetupFromPreset(printer));
    layouts.writeList({QStringLiteral("DISPLAY"), 0, QStringLiteral("DISPLAY")},
                      findPreset(displayPresets(), QStringLiteral("KEIN"))->values);

    UserRights rights(store, userName);
    for (int function : {70, 71, 72, 73, 91})
        rights.grant(userName, 69, function);

    WHRechner currency(store);
    currency.setRate(QStringLiteral("EUR"), 1.0);
    currency.setRate(QStringLiteral("CHF"), 0.94);
}
