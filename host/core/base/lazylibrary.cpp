#include "core/base/lazylibrary.h"

LazyLibrary::LazyLibrary(const QString &file, const QString &version, const QString &description)
    : m_library(file, version)
    , m_description(description)
{
    m_loaded = m_library.load();
}

QString LazyLibrary::error() const
{
    if (!m_loaded)
        return QStringLiteral("%1 kann nicht geladen werden: %2")
                .arg(m_description, m_library.errorString());
    if (!m_missing.isEmpty())
        return QStringLiteral("%1 (%2) kennt %3 nicht.")
                .arg(m_description, m_library.fileName(), m_missing.join(QStringLiteral(", ")));
    return {};
}
