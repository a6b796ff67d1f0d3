#include "core/store/booking.h"

BookingIdentity OVOBuchung::next(int rnr)
{
    BookingIdentity id{rnr, 0};
    m_store.write([&] {
        m_store.run(
                QStringLiteral("INSERT INTO booking_counter (rnr, lfdnr) VALUES (?, 1) ON CONFLICT "
                               "(rnr) DO UPDATE SET lfdnr = booking_counter.lfdnr + 1"),
                {rnr}, QStringLiteral("Vergeben einer Buchungsnummer"));
        QSqlQuery q = m_store.run(QStringLiteral("SELECT lfdnr FROM booking_counter WHERE rnr = ?"),
                                  {rnr}, QStringLiteral("Lesen der Buchungsnummer"));
        if (q.next())
            id.lfdnr = q.value(0).toInt();
    });
    return id;
}
