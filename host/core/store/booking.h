#pragma once

#include "core/store/store.h"

struct BookingIdentity
{
    int rnr = 0;
    int lfdnr = 0;
};

// Booking context: hands out the identity (workstation, running number) that stamps a booking.
class OVOBuchung
{
public:
    explicit OVOBuchung(Store &store)
        : m_store(store)
    {
    }
    BookingIdentity next(int rnr);

private:
    Store &m_store;
};
