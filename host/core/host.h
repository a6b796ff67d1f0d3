#pragma once

#include "config.h"
#include "layoutstore.h"
#include "messages.h"
#include "program.h"
#include "services.h"
#include "store.h"

#include <memory>

// The host services of one run of the program, all on one store.
class Host
{
public:
    // Opens (and on first use creates and seeds) the store the configuration names.
    // Throws StoreError when it cannot be used.
    static std::unique_ptr<Host> open(const ComputerConfig &config);
    ~Host();

    const ComputerConfig &config() const { return m_config; }
    Store &store() { return *m_store; }
    LayoutStore &layouts() { return m_layouts; }
    const LayoutStore &layouts() const { return m_layouts; }
    OVOInfo &info() { return m_info; }
    OVOProgramm &program() { return m_program; }
    OVOParameter &parameters() { return m_parameters; }
    RVRTab &workstations() { return m_workstations; }
    UserRights &rights() { return m_rights; }
    OVOBuchung &booking() { return m_booking; }
    LogoStore &logos() { return m_logos; }
    WHRechner &currency() { return m_currency; }

private:
    Host(const ComputerConfig &config, std::unique_ptr<Store> store);

    ComputerConfig m_config;
    std::unique_ptr<Store> m_store;
    OVOInfo m_info;
    LayoutStore m_layouts;
    OVOProgramm m_program;
    OVOParameter m_parameters;
    RVRTab m_workstations;
    UserRights m_rights;
    OVOBuchung m_booking;
    LogoStore m_logos;
    WHRechner m_currency;
};

// Fills a new, empty store with a small demo installation so that the program is useful the
// first time it starts: workstations, the template printer and page setup, rights and
// exchange rates. Runs inside the caller's transaction.
void seedDemoInstallation(Store &store, const QString &userName);
