#include "core/app/host.h"

#include "core/app/demoseed.h"

Host::Host(const ComputerConfig &config, std::unique_ptr<Store> store)
    : m_config(config)
    , m_store(std::move(store))
    , m_info(config.logFile)
    , m_audit(config)
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

std::unique_ptr<Store> Host::openStore(const ComputerConfig &config, Store::Access access,
                                       Store::FileCheck check)
{
    StoreLocation location = StoreLocation::parse(config.storeLocation);
    location.timeoutMs = config.storeTimeoutSeconds * 1000;
    std::unique_ptr<Store> store = Store::open(location, access, check);
    // The history names the user the rights are checked for.
    if (!config.userName.isEmpty()) {
        Store::Author author = store->author();
        author.user = config.userName;
        store->setAuthor(author);
    }
    return store;
}

std::unique_ptr<Host> Host::open(const ComputerConfig &config, Store::Access access,
                                 Store::FileCheck check)
{
    std::unique_ptr<Store> store = openStore(config, access, check);
    // A store without workstations was just created (or emptied by hand): seed it once, in one
    // transaction, so that a second program starting at the same time sees either nothing or
    // the whole demo installation. Only then is it written: a start writes nothing and so
    // never waits for the check of the file that opening began.
    const auto empty = [&] {
        QSqlQuery q = store->prepare(QStringLiteral("SELECT count(*) FROM workstations"));
        Store::exec(q, QStringLiteral("Prüfen der Rechnertabelle"));
        return q.next() && q.value(0).toInt() == 0;
    };
    if (!store->isReadOnly() && empty()) {
        store->write([&] {
            if (empty())
                seedDemoInstallation(*store, config.userName);
        });
    }
    return std::unique_ptr<Host>(new Host(config, std::move(store)));
}
