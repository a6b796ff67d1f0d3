#pragma once

#include <QString>
#include <QTextStream>

// Opening each section editor (create, show, load, live preview, close) against creating and
// showing a plain dialog with the same number of controls, in one run.
void benchEditorOpening(QTextStream &out, const QString &folder);
