#include "core/store/kastfile.h"

#include "core/store/settingslistcodec.h"

Tkastfile::Tkastfile(Store &store)
    : m_layouts(store)
{
}

Tkastfile::~Tkastfile() = default;

void Tkastfile::OpenNew(int)
{
    m_open = true;
    m_found = false;
    m_hasCurrent = false;
}

void Tkastfile::Close()
{
    m_open = false;
    m_walk.clear();
    m_writeStream.reset();
}

void Tkastfile::requireOpen() const
{
    if (!m_open)
        throw StoreError(QStringLiteral("Der Layoutspeicher ist nicht geöffnet."));
}

void Tkastfile::ClearKey()
{
    Kennung.clearKey();
    RNr.clearKey();
    Drucker.clearKey();
    Filler.clearKey();
}

LayoutKey Tkastfile::currentKey() const
{
    return {Kennung.GetWert(), RNr.GetWert(), Drucker.GetWert()};
}

void Tkastfile::makeCurrent(const LayoutRecord &record)
{
    Kennung.SetWert(record.key.kennung);
    RNr.SetWert(record.key.rnr);
    Drucker.SetWert(record.key.printerKey);
    Filler.SetWert(record.filler);
    m_currentBlob = record.blob;
    m_hasCurrent = true;
}

bool Tkastfile::Find()
{
    requireOpen();
    const LayoutKey key{Kennung.GetKeyWert(), RNr.GetKeyWert(), Drucker.GetKeyWert()};
    const std::optional<LayoutRecord> record = m_layouts.find(key);
    m_found = record.has_value();
    if (m_found)
        makeCurrent(*record);
    return m_found;
}

void Tkastfile::NewRecord()
{
    requireOpen();
    makeCurrent(LayoutRecord{});
}

void Tkastfile::TakeOverKeyValues()
{
    Kennung.SetWert(Kennung.GetKeyWert());
    RNr.SetWert(RNr.GetKeyWert());
    Drucker.SetWert(Drucker.GetKeyWert());
}

std::unique_ptr<QIODevice> Tkastfile::CreateBlobStream() const
{
    requireOpen();
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(m_currentBlob);
    buffer->open(QIODevice::ReadOnly);
    return buffer;
}

QIODevice *Tkastfile::StartStreamBuchung(TWriteMode mode, bool)
{
    requireOpen();
    if (!m_hasCurrent)
        throw StoreError(QStringLiteral("Es ist kein Layoutsatz zum Schreiben ausgewählt."));
    m_pendingMode = mode;
    m_writeStream = std::make_unique<QBuffer>();
    m_writeStream->open(QIODevice::WriteOnly);
    return m_writeStream.get();
}

void Tkastfile::EndStreamBuchung()
{
    if (!m_writeStream || !m_pendingMode)
        throw StoreError(QStringLiteral("Es wurde kein Schreibvorgang begonnen."));
    const QByteArray blob = m_writeStream->data();
    m_writeStream.reset();
    m_pendingMode.reset();
    // Insert and update are the same atomic upsert: a record that another program inserted
    // between our lookup and this write is updated instead of failing as a duplicate. A record
    // the window loaded is written only as long as it is the version loaded.
    const LayoutKey key = currentKey();
    m_layouts.upsert(key, blob, Filler.GetWert(), loadedVersion(key));
    m_currentBlob = blob;
    if (loadedVersion(key))
        rememberLoaded(key, true);
}

void Tkastfile::rememberLoaded(const LayoutKey &key, bool found)
{
    const RecordVersion version{found ? std::optional<QByteArray>(m_currentBlob) : std::nullopt};
    for (auto &[known, loaded] : m_loaded) {
        if (known == key) {
            loaded = version;
            return;
        }
    }
    m_loaded.append({key, version});
}

std::optional<RecordVersion> Tkastfile::loadedVersion(const LayoutKey &key) const
{
    for (const auto &[known, loaded] : m_loaded) {
        if (known == key)
            return loaded;
    }
    return std::nullopt;
}

bool Tkastfile::First()
{
    requireOpen();
    LayoutFilter filter;
    filter.rnrMin = RNr.filterMin();
    filter.rnrMax = RNr.filterMax();
    filter.printerKey = Drucker.filter();
    m_walk = m_layouts.keys(filter);
    if (const auto &k = Kennung.filter()) {
        m_walk.removeIf([&](const LayoutRecord &r) { return r.key.kennung != *k; });
    }
    m_walkPos = -1;
    return Next();
}

bool Tkastfile::Next()
{
    requireOpen();
    while (++m_walkPos < m_walk.size()) {
        // A record removed by another program since First() is skipped, not reported.
        if (const auto record = m_layouts.find(m_walk.at(m_walkPos).key)) {
            makeCurrent(*record);
            m_found = true;
            return true;
        }
    }
    m_found = false;
    return false;
}

QStringList Tkastfile::ReadSettingsList() const
{
    requireOpen();
    return decodeSettingsList(currentKey(), m_currentBlob);
}

void Tkastfile::BookSettingsList(const QStringList &entries, const std::optional<QString> &filler)
{
    const bool found = Find();
    if (!found) {
        NewRecord();
        TakeOverKeyValues();
    }
    if (filler)
        Filler.SetWert(*filler);
    StartStreamBuchung(found ? wrdonUpdate : wrdonInsert)
            ->write(SettingsListCodec::encodeUtf8(entries));
    EndStreamBuchung();
}
