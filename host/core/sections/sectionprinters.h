#pragma once

#include "core/format/layoutformat.h"
#include "core/model/documentdata.h"
#include "core/model/printjob.h"

#include <QByteArray>
#include <QMap>
#include <QString>

#include <functional>

// The stored picture of a section's logo as the till prints it; empty when there is none.
using LogoLookup = std::function<QByteArray(const QString &kennung)>;

// What a section printer prints from besides the stored values of its section.
struct SectionPrintContext
{
    // The document the lines show. A section that prints a line once per entry of a list (the
    // reasons of a reduction) shows each entry in a document of its own.
    const DocumentData *document = nullptr;
    QString kennung;
    QString lineKind; // the line kind of the item or sum line, may be empty
    QString mode;     // the print mode ("G" graphic, "T" text, ...)
    int workstation = 0;
    // Whether amounts in currency 2 print: in this section, and in the sections that carry the
    // document's totals.
    bool secondCurrency = false;
    bool secondCurrencyInSums = false;
    LogoLookup logo;
    // Whether the till prints logos at all (logoPrints()); a section's logo is left out if not.
    bool logoPrints = true;
    // How the till's printer makes QR codes: module size, resolution, error correction.
    QrCode::Options qr;
};

// Turns the stored list of one kind of section into job items: which lines print, in which
// order, with which font. Each kind of section has one, next to its stored format.
class SectionPrinter
{
public:
    virtual ~SectionPrinter() = default;
    virtual const LayoutFormat &format(const QString &kennung) const = 0;
    virtual void print(const QMap<QString, QString> &values, const SectionPrintContext &context,
                       PrintJob &job) const = 0;
};

// The printer for a section identifier; null for a section without a stored format here.
const SectionPrinter *sectionPrinterFor(const QString &kennung);

// The stored values of one text line: its text, font, size, style and alignment.
struct LineValues
{
    QString text;
    QString font;
    QString size;
    QString style;
    QString alignment;
};

// A text line as it prints, placeholders replaced: one item, or none for a line of nothing but
// fiscal placeholders that are all empty in the document. Shared by the printers and the
// editors' live preview.
QList<JobItem> textLineItem(const LineValues &line, const SectionPrintContext &context);
// The same from the values of a section: the line's controls are named with its number.
QList<JobItem> textLineItem(const QMap<QString, QString> &values, int line,
                            const SectionPrintContext &context);
