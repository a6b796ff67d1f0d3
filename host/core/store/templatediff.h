#pragma once

#include <QMap>
#include <QStringList>

class Store;

// The layout records a workstation keeps of its own that differ from what the template
// workstation 0 holds for it: the template's record under the same printer key, else under
// "TEST", as the fallback chain reads them. A record the template lacks counts as differing;
// a section the workstation has no record of uses the template and does not. Found by
// comparing the stored bytes in one query, so a chain's thousands of workstations cost one
// round trip. Workstation -> record identifiers, in order.
QMap<int, QStringList> recordsDifferingFromTemplate(Store &store);
QStringList recordsDifferingFromTemplate(Store &store, int rnr);
