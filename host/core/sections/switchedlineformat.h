#pragma once

#include "core/sections/sectionprinters.h"

#include <QList>
#include <QMap>
#include <QString>

#include <optional>
#include <span>
#include <utility>
#include <vector>

// Sections of fixed lines (the item and sum lines of receipts and invoices). Every line is
// stored as a head entry followed by its text, font, size, style and alignment; the head is
// the line's switch, a pair of switches or a print condition. Single switches may sit between
// the lines. Editors and printers of these sections share what is declared here; the
// definitions live with the item format in bonposformat.cpp.

// Appends line n: the head, then edtTxtZeile<n>, cmbSchriftArt<n>, cmbSchriftGroesse<n>,
// cmbSchriftStil<n>, cmbAusrichtung<n>.
void appendLine(LayoutFormat &format, int line, const FormatField &head);
// Appends line n whose head is the pair of switches first and second.
void appendFlagPairLine(LayoutFormat &format, int line, const QString &first,
                        const QString &second);

// Which lines a line kind prints, and what besides the line's switch decides it.
enum class LineNeeds : quint8 {
    Switch,          // the line's switch
    SwitchSecondOff, // the line's switch, and its second switch clear
    SwitchSecondOn,  // the line's switch, and its second switch ticked
    Condition,       // the print condition of the line holds for the document
};

// The switches of a line by line number; shared by a section's editor and its printer.
struct LineSwitchNames
{
    QString (*lineSwitch)(int line);
    QString (*secondSwitch)(int line); // empty: the line has none
};

struct KindLine
{
    char16_t kind;
    quint8 line;
    LineNeeds needs = LineNeeds::Switch;
};
using KindLines = std::vector<KindLine>;
// Appends the rows of one kind for the lines, in their order.
void addRows(KindLines &rows, char16_t kind, std::initializer_list<int> lines,
             LineNeeds needs = LineNeeds::Switch);
void addRowRange(KindLines &rows, char16_t kind, int from, int to, LineNeeds needs);

// Prints the lines of one kind from a table of KindLine rows, in table order.
class SwitchedLinePrinter : public SectionPrinter
{
public:
    SwitchedLinePrinter(const LayoutFormat &format, std::span<const KindLine> rows,
                        LineSwitchNames names, char16_t defaultKind);

    const LayoutFormat &format(const QString &) const override { return m_format; }
    void print(const QMap<QString, QString> &values, const SectionPrintContext &context,
               PrintJob &job) const override;

protected:
    // Whether a line of kind Condition prints; none do unless a section says so.
    virtual bool conditionHolds(const QMap<QString, QString> &, int,
                                const SectionPrintContext &) const
    {
        return false;
    }
    // The context the lines print with (a sum section prints currency 2 as its totals do).
    virtual SectionPrintContext lineContext(const SectionPrintContext &context) const
    {
        return context;
    }

private:
    const LayoutFormat &m_format;
    std::span<const KindLine> m_rows;
    LineSwitchNames m_names;
    char16_t m_defaultKind;
};
