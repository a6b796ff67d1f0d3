#pragma once

#include <QStringList>

class Store;

// The layout records a workstation keeps of its own under the printer key it prints with that
// differ from what the template workstation 0 holds for it: the template's record under that
// key, else under "TEST", as the fallback chain reads them. A record the template lacks counts as
// differing; a section the workstation has no record of uses the template and does not. Found by
// comparing the stored bytes in one query on the key's leading workstation number: one
// round trip, and none for workstation 0 itself. Record identifiers, in order.
QStringList recordsDifferingFromTemplate(Store &store, int rnr, const QString &printerKey);
