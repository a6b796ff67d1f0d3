#pragma once

#include "store.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// Per-workstation parameters of the installation: short capitalised keys with a text value.
// Parameters read "by name" belong to no workstation.
class OVOParameter
{
public:
    explicit OVOParameter(Store &store)
        : m_store(store)
    {
    }

    QString StringParamRead(const QString &key, int rnr, bool flag = false) const;
    void StringParamWrite(const QString &key, const QString &value, int rnr);
    bool GetBooleanValueByName(const QString &key) const;
    void SetBooleanValueByName(const QString &key, bool value);
    // "J"/"1"/"true" is yes, "N"/"0"/"false" no; anything else (or nothing stored) unknown.
    std::optional<bool> GetBoolean3(const QString &key, int rnr) const;

private:
    std::optional<QString> read(const QString &key, int rnr) const;
    Store &m_store;
};

struct TRVRInfoUmfang
{
    int RNr = 0;
    int RTyp = 0;
    QString name;
};

// The installation's workstation table.
class RVRTab
{
public:
    explicit RVRTab(Store &store)
        : m_store(store)
    {
    }

    int GetUmfangCount();
    TRVRInfoUmfang GetUmfang(int index) const;
    // The entry of workstation rnr; RTyp 0 when the table does not hold it.
    TRVRInfoUmfang GetRNrUmfang(int rnr) const;
    void put(const TRVRInfoUmfang &entry);
    bool remove(int rnr);
    QList<TRVRInfoUmfang> all() const;

private:
    Store &m_store;
    QList<TRVRInfoUmfang> m_entries;
};

// The rights the users of the installation hold, as (group, function) pairs.
class UserRights
{
public:
    UserRights(Store &store, const QString &userName)
        : m_store(store)
        , m_user(userName)
    {
    }

    // rights: group and function number. True when the current user holds the right.
    bool UserRechtePruefen(const QList<quint16> &rights, const QString &text = QString(),
                           int functionType = 1, bool flag = false, int reaction = 0) const;
    void grant(const QString &user, int group, int function);
    void revoke(const QString &user, int group, int function);
    QString userName() const { return m_user; }

private:
    Store &m_store;
    QString m_user;
};

struct BookingIdentity
{
    int rnr = 0;
    int lfdnr = 0;
};

// Booking context: hands out the identity (workstation, running number) that stamps a booking.
class OVOBuchung
{
public:
    explicit OVOBuchung(Store &store)
        : m_store(store)
    {
    }
    BookingIdentity next(int rnr);

private:
    Store &m_store;
};

// Currency converter: rates are kept as units of a currency per unit of currency 1.
class WHRechner
{
public:
    explicit WHRechner(Store &store)
        : m_store(store)
    {
    }
    // Throws StoreError when a currency has no rate.
    double Umrechnen(double amount, const QString &from, const QString &to) const;
    void setRate(const QString &currency, double unitsPerCurrency1);

private:
    double rate(const QString &currency) const;
    Store &m_store;
};

struct FormName
{
    QString Sprache = QStringLiteral("DEU");
    QString Programm = QStringLiteral("KASSOTYP");
    QString Maske;
};

// Presets of layouts: one list of texts per form name and index name. The flag separates the
// presets kept for tills (true) from those of the office computers (false).
class TOVOFormStore
{
public:
    explicit TOVOFormStore(Store &store)
        : m_store(store)
    {
    }

    FormName FormName_;
    QStringList LayOutListe;

    void SetMaske(const QString &maske) { FormName_.Maske = maske; }
    // Fills LayOutListe; false (and the list left empty) when nothing is stored.
    bool restore(const QString &indexName, bool flag);
    void store(const QString &indexName, bool flag);
    bool remove(const QString &indexName, bool flag);
    // Index names stored under the current form name, for either flag.
    QStringList GetStoredForms() const;

private:
    Store &m_store;
};

struct LogoKey
{
    QString kennung1;
    QString kennung2;
    QString logoName;
    int filRech = 0;
};

struct StoredLogo
{
    QByteArray picture; // PNG
    int width = 0;
    int height = 0;
    BookingIdentity stamp;
};

// Logo pictures keyed by program key, section identifier, logo name and workstation.
class LogoStore
{
public:
    explicit LogoStore(Store &store)
        : m_store(store)
    {
    }
    std::optional<StoredLogo> load(const LogoKey &key) const;
    void save(const LogoKey &key, const StoredLogo &logo);
    bool remove(const LogoKey &key);

private:
    Store &m_store;
};

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
    bool removePreset(const QString &name);

private:
    TOVOFormStore formStore(const QString &name) const;

    Store &m_store;
    QString m_maske;
    QList<FormPreset> m_builtIns;
};
