#pragma once

#include "core/store/history.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// The history of the records as an auditor reads it: one row per change with when, who, where,
// which record, what changed, and the version before and after in words (settings lists decoded
// through the format of their section or device record).
namespace HistoryExport {

enum class Format { Csv, Json };

// CSV after RFC 4180 (comma, every field quoted, CRLF), UTF-8, with a header row; or JSON.
QByteArray write(const QList<HistoryEntry> &entries, Format format);

// A time given on the command line: "2026-12-01" (local midnight, or with endOfDay the midnight
// after, so that --until=DATE takes in that day) or an ISO date and time ("2026-12-01T14:30",
// local unless it ends with Z or an offset). None when it is neither.
std::optional<QDateTime> parseTime(const QString &text, bool endOfDay);

} // namespace HistoryExport
