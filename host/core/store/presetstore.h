#pragma once

#include "core/store/formstore.h"
#include "core/store/store.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// A named preset of device settings: property assignments by control name.
struct FormPreset
{
    QString name;
    QString remark;
    QMap<QString, QString> properties;
    bool builtIn = false;
};

// Presets of a settings window: the built-in ones it is given, plus those kept in the store
// under its mask. A stored preset of the same name as a built-in one takes its place.
class StoreFormStore
{
public:
    StoreFormStore(Store &store, const QString &maske, const QList<FormPreset> &builtIns);

    // Preset names: built-in ones in their order, then stored ones by name.
    QStringList GetStoredForms() const;
    std::optional<FormPreset> preset(const QString &name) const;
    void storePreset(const FormPreset &preset);

private:
    TOVOFormStore formStore(const QString &name) const;

    Store &m_store;
    QString m_maske;
    QList<FormPreset> m_builtIns;
};
