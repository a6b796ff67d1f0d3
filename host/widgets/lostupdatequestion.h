#pragma once

#include "core/store/history.h"

class QWidget;

// What the user chose when a save found its record changed by someone else since the window
// loaded it.
enum class LostUpdateChoice { Overwrite, BackToEditing };

// Says who changed the record when and on which computer, and asks: "Unterschiede anzeigen"
// (the stored version against the window's, decoded; then asks again), "Überschreiben" or
// "Zurück zur Bearbeitung" (the default, also Esc). Nothing is written while it asks.
LostUpdateChoice askAboutLostUpdate(QWidget *parent, const LostUpdateError &error);
