#pragma once

#include "core/format/layoutformat.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// What a control is called where the user sees it, and for a selector or radio group kept by
// item index the texts of its items, so that a stored index reads as what was chosen.
struct FieldLabel
{
    QString caption;
    QStringList items;
};
using FieldLabeller = std::function<FieldLabel(const QString &control)>;

// The captions every window gives the same controls: the entries of text line n ("Zeile 3",
// "Zeile 3, Stil"), the line count, the printer functions and fonts of the printer record and
// the logo's position. Empty for any other control; a window names those itself.
FieldLabel standardFieldLabel(const QString &control);

// The differences between two versions of a record, in the order of the format, one line per
// control that differs, as the window that edits the record names it: "Zeile 3: »Vielen Dank«
// → »Danke für Ihren Einkauf«", "Logo: aus → an", "Baudrate: 9600 → 19200". A control one of
// the versions does not reach (a shorter list) shows as "(nicht gespeichert)". Without a
// labeller the standard captions are used, else the control's name.
QStringList describeDifferences(const LayoutFormat &format, const FieldValues &before,
                                const FieldValues &after, const FieldLabeller &labels = {});
// The same for two stored lists, decoded through the format as far as each reaches.
QStringList describeListDifferences(const LayoutFormat &format, const QStringList &before,
                                    const QStringList &after, const FieldLabeller &labels = {});
// One value of a field as the window shows it: "an"/"aus", the chosen item, »text«, "6,52 cm".
QString describeValue(const FormatField &field, const std::optional<QString> &value,
                      const FieldLabel &label);
