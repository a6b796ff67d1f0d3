#pragma once

class QString;
class QTextStream;

// kassotyp-print of all 23 document types as PDF and as ESC/POS bytes, against the same
// program that only opens the store and creates the engine (--dry-run), one run each, on a
// demo store in `folder`. Prints markdown table rows: what | measured | baseline | ratio | .
void benchPrintCommand(QTextStream &out, const QString &folder);
