#pragma once

#include "core/engine/printjob.h"
#include "core/format/layoutformat.h"
#include "core/sections/sectionprinters.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// ---- sections with a logo -------------------------------------------------------------------

// The logo of a section is kept in the logo store under the program key, the section
// identifier, this name and the workstation of the layout record.
inline const QString CurrentLogoName = QStringLiteral("AKTUELL");

// A stored text that is not read by the plain encoding of its control.
enum class StoredReading {
    FlagUnlessZero,   // a switch that any text but "0" sets
    PositionOrCentre, // logo position "0" left, "1" centre, "2" right; anything else the centre
};

// The stored format of a section with a logo: the table of positions plus the positions that
// are read by a rule of their own. Editors and printers read stored lists only through here.
struct LogoSectionFormat
{
    LayoutFormat table;
    QMap<QString, StoredReading> readings; // control -> rule

    // The stored text as the plain encoding of its control expects it ("1"/"0", "0".."2").
    QString canonical(const QString &control, const QString &stored) const;
    // A stored list with every ruled position made canonical (same length).
    QStringList canonicalList(const QStringList &stored) const;
    // Control -> canonical text for the positions a stored list reaches.
    QMap<QString, QString> canonicalValues(QMap<QString, QString> values) const;
};

// Logo position as its radio group keeps it, as an alignment on the paper strip.
Qt::Alignment logoAlignment(int position);

// The stored logo picture of a section, at its size in cm and alignment from the values of
// chbLogo's block; the workstation's own logo, else the template workstation's. Nothing when
// the logo is off, too small to print, or not stored.
std::optional<JobItem> logoItem(const QMap<QString, QString> &canonicalValues,
                                const SectionPrintContext &context);

// ---- document headers -----------------------------------------------------------------------

constexpr int HeaderLineCount = 10;

// The header format of every document type: always 60 entries, shorter lists are ignored.
const LogoSectionFormat &bonKopfFormat();

// Header identifiers tried, in this order, when a document type's own header has no record.
const QStringList &bonKopfFallbackKennungen();
