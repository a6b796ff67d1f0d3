#pragma once

#include "core/store/presetstore.h" // FormPreset

#include <QList>

// The display presets of the heading editor: per section, the window caption, headline,
// element title and the placeholder hints shown beside the lines.
QList<FormPreset> layBonueberDisplayPresets();
