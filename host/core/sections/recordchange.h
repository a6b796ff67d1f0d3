#pragma once

#include "core/format/recorddiff.h"
#include "core/store/history.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Stored versions of a record in words, for the user deciding about a save and for the auditor
// reading the history: settings lists decoded through the format of their section or device
// record where it has one.

// The format of a record: a section's layout, the printer, display or page-setup record; null
// for any other.
const LayoutFormat *recordFormat(const RecordRef &record);
// A version as text: a settings list's entries one per line, a parameter's value, a picture's
// size; "(nicht vorhanden)" for none.
QString describeVersion(const RecordRef &record, const std::optional<QByteArray> &bytes);
// What changed from one version to the other, one line each: "Zeile 3: »Vielen Dank« →
// »Danke«", "angelegt", "gelöscht". A window passes its own captions for fields the shared
// table does not name.
QStringList describeChange(const RecordRef &record, const std::optional<QByteArray> &before,
                           const std::optional<QByteArray> &after,
                           const FieldLabeller &labels = {});
