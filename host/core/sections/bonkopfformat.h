#pragma once

#include "core/format/layoutformat.h"
#include "core/model/printjob.h"
#include "core/sections/sectionprinters.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// ---- sections with a logo -------------------------------------------------------------------

// The logo of a section is kept in the logo store under the program key, the section
// identifier, this name and the workstation of the layout record.
inline const QString CurrentLogoName = QStringLiteral("AKTUELL");

// Logo position as its radio group keeps it, as an alignment on the paper strip.
Qt::Alignment logoAlignment(int position);

// The stored logo picture of a section, at its size in cm and alignment from the values of
// chbLogo's block; the workstation's own logo, else the template workstation's. Nothing when
// the logo is off, too small to print, or not stored.
std::optional<JobItem> logoItem(const QMap<QString, QString> &values,
                                const SectionPrintContext &context);

// ---- document headers -----------------------------------------------------------------------

constexpr int HeaderLineCount = 10;

// The header format of every document type: always 60 entries, shorter lists are ignored.
const LayoutFormat &bonKopfFormat();
