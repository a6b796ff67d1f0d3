#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Built-in presets of the device settings: printers (record "AKTBONDR"), paper width and
// margins ("SEITEEIN") and customer displays ("DISPLAY"). Each preset's values are given in
// the positions of the record it fills.
struct DevicePreset
{
    QString name;
    QString remark;
    QStringList values; // empty when the preset carries no values
};

constexpr int PrinterRecordSize = 47;
constexpr int PrinterRecordMinimum = 42; // shorter printer lists are not applied
constexpr int PrinterPresetNamePos = 41;
constexpr int PageSetupSize = 7;
constexpr int DisplayRecordSize = 7;

const QList<DevicePreset> &printerPresets();
const QList<DevicePreset> &pagePresets();
const QList<DevicePreset> &displayPresets();
std::optional<DevicePreset> findPreset(const QList<DevicePreset> &presets, const QString &name);

// A complete printer record made from a preset: positions 0..40 from the preset, 41 its name,
// 42 "0" (no initialisation before each job), 43..46 empty.
QStringList printerRecordFromPreset(const QString &name);
// A complete page setup record made from a preset (positions 0..5 and the name at 6).
QStringList pageSetupFromPreset(const QString &name);
