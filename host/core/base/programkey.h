#pragma once

#include <QString>

// The key under which the installation keeps this program's presets, messages and logos.
inline const QString KassotypProgramKey = QStringLiteral("KASSOTYP");
