#pragma once

#include "core/format/deviceformats.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Built-in presets of the device settings: printers (record "AKTBONDR"), paper width and
// margins ("SEITEEIN") and customer displays ("DISPLAY"). Printer and page presets name their
// values by control, so that where each value is stored is left to the record's format.
struct DevicePreset
{
    QString name;
    QString remark;
    FieldValues values; // control -> stored text; empty when the preset carries no values
};

// A customer display preset: the whole display record, position 0 being the display type.
struct DisplayPreset
{
    QString name;
    QString remark;
    QStringList values;
};

// Still read by tests that index a printer list directly; both follow the printer format.
inline const int PrinterRecordSize = printerRecordFormat().size();
inline const int PrinterPresetNamePos = printerRecordFormat().positionOf(PrinterRecord::PresetName);

const QList<DevicePreset> &printerPresets();
const QList<DevicePreset> &pagePresets();
const QList<DisplayPreset> &displayPresets();

template<typename Preset>
std::optional<Preset> findPreset(const QList<Preset> &presets, const QString &name)
{
    for (const Preset &p : presets) {
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return p;
    }
    return std::nullopt;
}

// A complete printer record made from a preset: the preset's values, its name, the
// initialisation before each job off, everything else empty.
QStringList printerRecordFromPreset(const QString &name);
// A complete page setup record made from a preset: its numbers as written and its name.
QStringList pageSetupFromPreset(const QString &name);
