#include "core/store/presetstore.h"

namespace {
// Stored presets live under one index name; the preset's name is part of the mask.
const QString PresetIndexName = QStringLiteral("0");
} // namespace

StoreFormStore::StoreFormStore(Store &store, const QString &maske,
                               const QList<FormPreset> &builtIns)
    : m_store(store)
    , m_maske(maske)
    , m_builtIns(builtIns)
{
    for (FormPreset &p : m_builtIns)
        p.builtIn = true;
}

TOVOFormStore StoreFormStore::formStore(const QString &name) const
{
    TOVOFormStore fs(m_store);
    fs.SetMaske(m_maske + u'/' + name);
    return fs;
}

QStringList StoreFormStore::GetStoredForms() const
{
    QStringList names;
    for (const FormPreset &p : m_builtIns)
        names << p.name;
    const FormName form;
    QSqlQuery q = m_store.run(
            QStringLiteral("SELECT maske FROM form_store WHERE sprache = ? AND programm = ? AND "
                           "maske LIKE ? AND index_name = ? ORDER BY maske"),
            {form.Sprache, form.Programm, QString(m_maske + QStringLiteral("/%")), PresetIndexName},
            QStringLiteral("Auflisten der Vorgaben %1").arg(m_maske));
    while (q.next()) {
        const QString maske = q.value(0).toString();
        if (!maske.startsWith(m_maske + u'/')) // '_' in a mask is a LIKE wildcard
            continue;
        const QString name = maske.mid(m_maske.size() + 1);
        if (!names.contains(name))
            names << name;
    }
    return names;
}

std::optional<FormPreset> StoreFormStore::preset(const QString &name) const
{
    TOVOFormStore fs = formStore(name);
    if (fs.restore(PresetIndexName, false)) {
        FormPreset p{name, fs.LayOutListe.value(0), {}, false};
        for (qsizetype i = 1; i < fs.LayOutListe.size(); ++i) {
            const QString &line = fs.LayOutListe.at(i);
            const qsizetype eq = line.indexOf(u'=');
            if (eq > 0)
                p.properties.insert(line.left(eq), line.mid(eq + 1));
        }
        return p;
    }
    for (const FormPreset &p : m_builtIns) {
        if (p.name == name)
            return p;
    }
    return std::nullopt;
}

void StoreFormStore::storePreset(const FormPreset &preset)
{
    TOVOFormStore fs = formStore(preset.name);
    fs.LayOutListe = {preset.remark};
    for (auto it = preset.properties.cbegin(); it != preset.properties.cend(); ++it)
        fs.LayOutListe << it.key() + u'=' + it.value();
    fs.store(PresetIndexName, false);
}
