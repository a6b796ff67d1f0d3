#pragma once

#include "core/format/layoutformat.h"

#include <QMap>
#include <QString>

class QComboBox;
class QWidget;

// Reads and writes the value of a control found by its object name, as the control shows
// it: the text of an edit or selector, "1"/"0" for a check box, the item index of a radio
// group in decimal. Stored formats and presets go through here, so that each window's
// controls are bound by name only.
namespace ControlValues {

// Shows the text in the selector and selects the first item equal to it (case-sensitive);
// a text not in the list stays shown (editable selectors) with no item selected.
void setComboText(QComboBox *combo, const QString &text);

// Throws std::invalid_argument when root has no such control or it is of an unknown kind.
QString read(const QWidget *root, const QString &objectName);
void write(QWidget *root, const QString &objectName, const QString &value);

// Item index of a selector or radio group (-1: none) and choosing by index.
int readIndex(const QWidget *root, const QString &objectName);
void writeIndex(QWidget *root, const QString &objectName, int index);

// Shows canonical values (LayoutFormat::decode) in the controls of the fields; a control
// without a value is left as it is. Selectors and radio groups of an index field are set by
// index, every other control by its text.
void writeFields(QWidget *root, const QList<FormatField> &fields, const FieldValues &values);
// The canonical values of the fields' controls, for LayoutFormat::encode.
FieldValues readFields(const QWidget *root, const QList<FormatField> &fields);

// Stored entries into the controls of their fields, position by position (as far as both go),
// and the stored entries of the fields read from their controls.
void writeList(QWidget *root, const QList<FormatField> &fields, const QStringList &list);
QStringList readList(const QWidget *root, const QList<FormatField> &fields);

// Applies every assignment of a preset (control name -> value); unknown names are skipped.
void applyAll(QWidget *root, const QMap<QString, QString> &values);

// Applies property assignments "Control.Property" -> value, as display presets keep them.
// Properties: Caption (text of a label, button or group, or the window title when the control
// is root itself), Visible ("True"/"False"), Hint (tool tip). Unknown controls are skipped.
void applyProperties(QWidget *root, const QMap<QString, QString> &assignments);

} // namespace ControlValues
