#include "services.h"

#include "settingslistcodec.h"

// ---- parameters ----------------------------------------------------------------------------

namespace {
constexpr int NoWorkstation = -1; // parameters that are read and written by name only
}

std::optional<QString> OVOParameter::read(const QString &key, int rnr) const
{
    QSqlQuery q = m_store.run(
            QStringLiteral("SELECT value FROM parameters WHERE param_key = ? AND rnr = ?"),
            {sqlText(key), rnr}, QStringLiteral("Lesen des Parameters %1").arg(key));
    if (!q.next())
        return std::nullopt;
    return q.value(0).toString();
}

QString OVOParameter::StringParamRead(const QString &key, int rnr, bool) const
{
    return read(key, rnr).value_or(QString());
}

void OVOParameter::StringParamWrite(const QString &key, const QString &value, int rnr)
{
    m_store.write([&] {
        QSqlQuery &q = m_store.prepareReused(
                QStringLiteral("INSERT INTO parameters (param_key, rnr, value) VALUES (?, ?, ?) ON "
                               "CONFLICT (rnr, param_key) DO UPDATE SET value = excluded.value"));
        q.addBindValue(sqlText(key));
        q.addBindValue(rnr);
        q.addBindValue(sqlText(value));
        Store::exec(q, [&] { return QStringLiteral("Schreiben des Parameters %1").arg(key); });
    });
}

bool OVOParameter::GetBooleanValueByName(const QString &key) const
{
    return GetBoolean3(key, NoWorkstation).value_or(false);
}

void OVOParameter::SetBooleanValueByName(const QString &key, bool value)
{
    StringParamWrite(key, value ? QStringLiteral("1") : QStringLiteral("0"), NoWorkstation);
}

std::optional<bool> OVOParameter::GetBoolean3(const QString &key, int rnr) const
{
    const QString v = read(key, rnr).value_or(QString()).trimmed().toUpper();
    if (v == QLatin1String("J") || v == QLatin1String("1") || v == QLatin1String("TRUE"))
        return true;
    if (v == QLatin1String("N") || v == QLatin1String("0") || v == QLatin1String("FALSE"))
        return false;
    return std::nullopt;
}

// ---- workstation table ---------------------------------------------------------------------

QList<TRVRInfoUmfang> RVRTab::all() const
{
    QSqlQuery q = m_store.prepare(
            QStringLiteral("SELECT rnr, rtyp, name FROM workstations ORDER BY rnr"));
    Store::exec(q, QStringLiteral("Lesen der Rechnertabelle"));
    QList<TRVRInfoUmfang> result;
    while (q.next())
        result.append({q.value(0).toInt(), q.value(1).toInt(), q.value(2).toString()});
    return result;
}

int RVRTab::GetUmfangCount()
{
    m_entries = all();
    return int(m_entries.size());
}

TRVRInfoUmfang RVRTab::GetUmfang(int index) const
{
    return m_entries.value(index);
}

TRVRInfoUmfang RVRTab::GetRNrUmfang(int rnr) const
{
    QSqlQuery q = m_store.run(QStringLiteral("SELECT rtyp, name FROM workstations WHERE rnr = ?"),
                              {rnr}, QStringLiteral("Lesen des Rechners %1").arg(rnr));
    if (!q.next())
        return {rnr, 0, QString()};
    return {rnr, q.value(0).toInt(), q.value(1).toString()};
}

void RVRTab::put(const TRVRInfoUmfang &entry)
{
    m_store.write([&] {
        m_store.run(
                QStringLiteral(
                        "INSERT INTO workstations (rnr, rtyp, name) VALUES (?, ?, ?) ON CONFLICT "
                        "(rnr) DO UPDATE SET rtyp = excluded.rtyp, name = excluded.name"),
                {entry.RNr, entry.RTyp, sqlText(entry.name)},
                QStringLiteral("Schreiben des Rechners %1").arg(entry.RNr));
    });
}

bool RVRTab::remove(int rnr)
{
    bool removed = false;
    m_store.write([&] {
        QSqlQuery q = m_store.run(QStringLiteral("DELETE FROM workstations WHERE rnr = ?"), {rnr},
                                  QStringLiteral("Löschen des Rechners %1").arg(rnr));
        removed = q.numRowsAffected() > 0;
    });
    return removed;
}

// ---- rights --------------------------------------------------------------------------------

bool UserRights::UserRechtePruefen(const QList<quint16> &rights, const QString &, int, bool,
                                   int) const
{
    if (rights.size() < 2)
        return false;
    QSqlQuery q = m_store.run(QStringLiteral("SELECT 1 FROM user_rights WHERE user_name = ? AND "
                                             "right_group = ? AND right_function = ?"),
                              {sqlText(m_user), int(rights.at(0)), int(rights.at(1))},
                              QStringLiteral("Prüfen der Benutzerrechte"));
    return q.next();
}

void UserRights::grant(const QString &user, int group, int function)
{
    m_store.write([&] {
        m_store.run(QStringLiteral("INSERT INTO user_rights (user_name, right_group, "
                                   "right_function) VALUES (?, ?, ?) ON CONFLICT (user_name, "
                                   "right_group, right_function) DO NOTHING"),
                    {sqlText(user), group, function},
                    QStringLiteral("Vergeben eines Benutzerrechts"));
    });
}

void UserRights::revoke(const QString &user, int group, int function)
{
    m_store.write([&] {
        m_store.run(QStringLiteral("DELETE FROM user_rights WHERE user_name = ? AND right_group = "
                                   "? AND right_function = ?"),
                    {sqlText(user), group, function},
                    QStringLiteral("Entziehen eines Benutzerrechts"));
    });
}

// ---- booking context -----------------------------------------------------------------------

BookingIdentity OVOBuchung::next(int rnr)
{
    BookingIdentity id{rnr, 0};
    m_store.write([&] {
        m_store.run(
                QStringLiteral("INSERT INTO booking_counter (rnr, lfdnr) VALUES (?, 1) ON CONFLICT "
                               "(rnr) DO UPDATE SET lfdnr = booking_counter.lfdnr + 1"),
                {rnr}, QStringLiteral("Vergeben einer Buchungsnummer"));
        QSqlQuery q = m_store.run(QStringLiteral("SELECT lfdnr FROM booking_counter WHERE rnr = ?"),
                                  {rnr}, QStringLiteral("Lesen der Buchungsnummer"));
        if (q.next())
            id.lfdnr = q.value(0).toInt();
    });
    return id;
}

// ---- currency converter --------------------------------------------------------------------

double WHRechner::rate(const QString &currency) const
{
    QSqlQuery q = m_store.run(
            QStringLiteral("SELECT units_per_currency1 FROM currency_rates WHERE currency = ?"),
            {sqlText(currency)}, QStringLiteral("Lesen des Währungskurses %1").arg(currency));
    if (!q.next() || q.value(0).toDouble() <= 0)
        throw StoreError(
                QStringLiteral("Für die Währung %1 ist kein Kurs hinterlegt.").arg(currency));
    return q.value(0).toDouble();
}

double WHRechner::Umrechnen(double amount, const QString &from, const QString &to) const
{
    if (from == to)
        return amount;
    return amount / rate(from) * rate(to);
}

void WHRechner::setRate(const QString &currency, double unitsPerCurrency1)
{
    m_store.write([&] {
        m_store.run(QStringLiteral("INSERT INTO currency_rates (currency, units_per_currency1) "
                                   "VALUES (?, ?) ON CONFLICT (currency) DO UPDATE SET "
                                   "units_per_currency1 = excluded.units_per_currency1"),
                    {sqlText(currency), unitsPerCurrency1},
                    QStringLiteral("Schreiben des Währungskurses %1").arg(currency));
    });
}

// ---- form store ----------------------------------------------------------------------------

namespace {

// The key columns of a stored preset, in the order of the form store's key.
QVariantList presetKey(const FormName &form, const QString &indexName, bool flag)
{
    return {sqlText(form.Sprache), sqlText(form.Programm), sqlText(form.Maske), sqlText(indexName),
            flag ? 1 : 0};
}

} // namespace

bool TOVOFormStore::restore(const QString &indexName, bool flag)
{
    LayOutListe.clear();
    QSqlQuery q = m_store.run(
            QStringLiteral("SELECT items FROM form_store WHERE sprache = ? AND programm = ? AND "
                           "maske = ? AND index_name = ? AND local_scope = ?"),
            presetKey(FormName_, indexName, flag),
            QStringLiteral("Lesen der Vorgabe %1").arg(FormName_.Maske));
    if (!q.next())
        return false;
    const SettingsListCodec::Decoded decoded = SettingsListCodec::decode(q.value(0).toByteArray());
    if (!decoded.clean)
        throw DamagedRecordError(
                QStringLiteral("Die Vorgabe %1 (%2) ist beschädigt und wird nicht verwendet.")
                        .arg(FormName_.Maske, indexName));
    LayOutListe = decoded.entries;
    return true;
}

void TOVOFormStore::store(const QString &indexName, bool flag)
{
    m_store.write([&] {
        m_store.run(QStringLiteral("INSERT INTO form_store (sprache, programm, maske, index_name, "
                                   "local_scope, items) VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT "
                                   "(sprache, programm, maske, index_name, local_scope) DO UPDATE "
                                   "SET items = excluded.items"),
                    presetKey(FormName_, indexName, flag)
                            << SettingsListCodec::encodeUtf8(LayOutListe),
                    QStringLiteral("Speichern der Vorgabe %1").arg(FormName_.Maske));
    });
}

bool TOVOFormStore::remove(const QString &indexName, bool flag)
{
    bool removed = false;
    m_store.write([&] {
        QSqlQuery q = m_store.run(
                QStringLiteral("DELETE FROM form_store WHERE sprache = ? AND programm = ? AND "
                               "maske = ? AND index_name = ? AND local_scope = ?"),
                presetKey(FormName_, indexName, flag),
                QStringLiteral("Löschen der Vorgabe %1").arg(FormName_.Maske));
        removed = q.numRowsAffected() > 0;
    });
    return removed;
}

QStringList TOVOFormStore::GetStoredForms() const
{
    QSqlQuery q = m_store.run(
            QStringLiteral("SELECT DISTINCT index_name FROM form_store WHERE sprache = ? AND "
                           "programm = ? AND maske = ? ORDER BY index_name"),
            {sqlText(FormName_.Sprache), sqlText(FormName_.Programm), sqlText(FormName_.Maske)},
            QStringLiteral("Auflisten der Vorgaben %1").arg(FormName_.Maske));
    QStringList names;
    while (q.next())
        names << q.value(0).toString();
    return names;
}

// ---- logos ---------------------------------------------------------------------------------

std::optional<StoredLogo> LogoStore::load(const LogoKey &key) const
{
    QSqlQuery q = m_store.run(
            QStringLiteral(
                    "SELECT picture, width, height, booking_rnr, booking_lfdnr FROM logos WHERE "
                    "kennung1 = ? AND kennung2 = ? AND logo_name = ? AND fil_rech = ?"),
            {sqlText(key.kennung1), sqlText(key.kennung2), sqlText(key.logoName), key.filRech},
            QStringLiteral("Lesen des Logos %1").arg(key.kennung2));
    if (!q.next())
        return std::nullopt;
    return StoredLogo{q.value(0).toByteArray(),
                      q.value(1).toInt(),
                      q.value(2).toInt(),
                      {q.value(3).toInt(), q.value(4).toInt()}};
}

void LogoStore::save(const LogoKey &key, const StoredLogo &logo)
{
    m_store.write([&] {
        m_store.run(
                QStringLiteral("INSERT INTO logos (kennung1, kennung2, logo_name, fil_rech, "
                               "picture, width, height, booking_rnr, booking_lfdnr) VALUES (?, ?, "
                               "?, ?, ?, ?, ?, ?, ?) ON CONFLICT (kennung1, kennung2, logo_name, "
                               "fil_rech) DO UPDATE SET picture = excluded.picture, width = "
                               "excluded.width, height = excluded.height, booking_rnr = "
                               "excluded.booking_rnr, booking_lfdnr = excluded.booking_lfdnr"),
                {sqlText(key.kennung1), sqlText(key.kennung2), sqlText(key.logoName), key.filRech,
                 sqlBytes(logo.picture), logo.width, logo.height, logo.stamp.rnr, logo.stamp.lfdnr},
                QStringLiteral("Speichern des Logos %1").arg(key.kennung2));
    });
}

bool LogoStore::remove(const LogoKey &key)
{
    bool removed = false;
    m_store.write([&] {
        QSqlQuery q = m_store.run(
                QStringLiteral("DELETE FROM logos WHERE kennung1 = ? AND kennung2 = ? AND "
                               "logo_name = ? AND fil_rech = ?"),
                {sqlText(key.kennung1), sqlText(key.kennung2), sqlText(key.logoName), key.filRech},
                QStringLiteral("Löschen des Logos %1").arg(key.kennung2));
        removed = q.numRowsAffected() > 0;
    });
    return removed;
}

// ---- device presets ------------------------------------------------------------------------

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

bool StoreFormStore::removePreset(const QString &name)
{
    return formStore(name).remove(PresetIndexName, false);
}
