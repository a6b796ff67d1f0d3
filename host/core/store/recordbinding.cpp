#include "core/store/recordbinding.h"

#include "core/store/storeerror.h"

#include <QCoreApplication>

void RecordBinding::setKey(const LayoutKey &key)
{
    m_file.ClearKey();
    m_file.Kennung.SetKeyWert(key.kennung);
    m_file.RNr.SetKeyWert(key.rnr);
    m_file.Drucker.SetKeyWert(key.printerKey);
}

bool RecordBinding::find(const QList<LayoutKey> &chain)
{
    for (const LayoutKey &key : chain) {
        setKey(key);
        const bool found = m_file.Find();
        // What the window shows now; its save must not silently replace a newer version.
        m_file.rememberLoaded(key, found);
        if (found)
            return true;
    }
    return false;
}

void RecordBinding::book(const LayoutKey &key, const QStringList &list,
                         const std::optional<QString> &filler)
{
    // A record without a section identifier belongs to no section; nothing would ever read it.
    if (key.kennung.trimmed().isEmpty())
        throw StoreError(QCoreApplication::translate(
                "RecordBinding",
                "Dieser Abschnitt hat keine Kennung; er kann nicht gebucht werden."));
    setKey(key);
    m_file.BookSettingsList(list, filler);
}
