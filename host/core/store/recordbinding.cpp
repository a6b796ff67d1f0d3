#include "core/store/recordbinding.h"

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
        if (m_file.Find())
            return true;
    }
    return false;
}

void RecordBinding::book(const LayoutKey &key, const QStringList &list)
{
    setKey(key);
    m_file.BookSettingsList(list);
}
