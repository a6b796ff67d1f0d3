#pragma once

#include <QMap>
#include <QString>

struct FormatField;
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

// A position of a stored format to and from its control, in the position's encoding
// (text, line text without line breaks, "1"/"0", "J"/"N", item index, centimetres).
void writeEncoded(QWidget *root, const FormatField &field, const QString &stored);
QString readEncoded(const QWidget *root, const FormatField &field);

// Applies every assignment of a preset (control name -> value); unknown names are skipped.
void applyAll(QWidget *root, const QMap<QString, QString> &values);

// Applies property assignments "Control.Property" -> value, as display presets keep them.
// Properties: Caption (text of a label, button or group, or the window title when the control
// is root itself), Visible ("True"/"False"), Hint (tool tip). Unknown controls are skipped.
void applyProperties(QWidget *root, const QMap<QString, QString> &assignments);

} // namespace ControlValues
