#pragma once

class QString;
class QTextStream;

// Setting workstations up from the template workstation and copying settings, on a SQLite
// store in `folder`, against single-record transactions on the same store. Prints markdown
// table rows: what | measured | baseline | ratio | (empty budget).
void benchWorkstationSetup(QTextStream &out, const QString &folder);
