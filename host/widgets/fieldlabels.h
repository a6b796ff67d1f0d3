#pragma once

#include "core/format/recorddiff.h"

class QWidget;

// The captions of a window's controls as the window shows them, for describing a record's
// differences: the standard captions of text lines, logos and printer functions first, so that
// every window names them alike, else what the window puts beside or on the control (a
// switch's text, a field's label or accessible name, a radio group's title) and, for a
// selector or radio group, its items. A control inside a text line is named with its line.
FieldLabeller windowFieldLabels(const QWidget *window);
