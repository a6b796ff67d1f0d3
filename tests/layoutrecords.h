#pragma once

// What the tests of the layout store share: a key as text, the list stored under a key, and a
// record component set to a key.

#include "core/store/kastfile.h"
#include "core/store/layoutstore.h"

#include <QString>
#include <QStringList>

// "BONPOS/5/TM-T88"
inline QString describe(const LayoutKey &key)
{
    return QStringLiteral("%1/%2/%3").arg(key.kennung).arg(key.rnr).arg(key.printerKey);
}

// The stored list, or a marker that no comparison with a real list can match.
inline QStringList storedList(const LayoutStore &layouts, const LayoutKey &key)
{
    return layouts.readList(key).value_or(QStringList{QStringLiteral("<kein Satz>")});
}

// Sets the component's key to the record's key, the workstation included.
inline void setKey(Tkastfile &file, const LayoutKey &key)
{
    file.ClearKey();
    file.Kennung.SetKeyWert(key.kennung);
    file.RNr.SetKeyWert(key.rnr);
    file.Drucker.SetKeyWert(key.printerKey);
}
