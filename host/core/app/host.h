#pragma once

#include "core/app/auditlog.h"
#include "core/app/messages.h"
#include "core/app/program.h"
#include "core/base/config.h"
#include "core/store/booking.h"
#include "core/store/currency.h"
#include "core/store/layoutstore.h"
#include "core/store/logostore.h"
#include "core/store/parameters.h"
#include "core/store/store.h"
#include "core/store/userrights.h"
#include "core/store/workstationtable.h"

#include <memory>

// The host services of one run of the program, all on one store.
class Host
{
public:
    // Opens (and on first use creates and seeds) the store the configuration names.
    // Throws StoreError when it cannot be used.
    static std::unique_ptr<Host> open(const ComputerConfig &config,
                                      Store::Access access = Store::Access::ReadWrite,
                                      Store::FileCheck check = Store::FileCheck::WithOpening);
    // Only the store the configuration names, neither seeded nor with the host services, for
    // tools that work on its records as they are.
    static std::unique_ptr<Store> openStore(const ComputerConfig &config, Store::Access access,
                                            Store::FileCheck check = Store::FileCheck::WithOpening);
    ~Host();

    const ComputerConfig &config() const { return m_config; }
    Store &store() { return *m_store; }
    LayoutStore &layouts() { return m_layouts; }
    const LayoutStore &layouts() const { return m_layouts; }
    OVOInfo &info() { return m_info; }
    const AuditLog &audit() const { return m_audit; }
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
    AuditLog m_audit;
    LayoutStore m_layouts;
    OVOProgramm m_program;
    OVOParameter m_parameters;
    RVRTab m_workstations;
    UserRights m_rights;
    OVOBuchung m_booking;
    LogoStore m_logos;
    WHRechner m_currency;
};
