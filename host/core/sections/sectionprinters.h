#pragma once

#include "core/engine/documentdata.h"
#include "core/engine/printjob.h"
#include "core/format/layoutformat.h"

#include <QMap>
#include <QString>

class TBonPrinter;

// What a section printer is given besides the stored values of its section.
struct SectionPrintContext
{
    const TBonPrinter &engine;
    QString kennung;
    QString lineKind; // the line kind written into the engine before the call, may be empty
    bool secondCurrency = false;
    // The document the lines show; none: the engine's. A section that prints a line once per
    // entry of a list (the reasons of a reduction) shows each entry in a document of its own.
    const DocumentData *document = nullptr;
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

// A text line as the editors show it: the values of its text, font, size, style and alignment
// controls (names with the line number), placeholders replaced. Shared by the printers.
JobItem textLineItem(const QMap<QString, QString> &values, int line,
                     const SectionPrintContext &context);
