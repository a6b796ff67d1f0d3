#pragma once

#include <QLibrary>
#include <QString>
#include <QStringList>

#include <type_traits>

// A library that is loaded at its first use instead of at every start of every program, and
// whose C calls are looked up once: CUPS brings TLS, Kerberos and LDAP with it, barcodes are
// printed by few runs, Qt's print support (our module kassotyp-systemprint) is needed by fewer.
// error() says in German why the library cannot be used.
class LazyLibrary
{
public:
    // `file` and `version` as QLibrary takes them ("cups", "2"; "libzint.so.2.11", ""),
    // `description` names the library in messages ("Die CUPS-Bibliothek (libcups2)").
    LazyLibrary(const QString &file, const QString &version, const QString &description);

    template<typename Call>
    void find(Call &call, const char *name)
    {
        static_assert(std::is_pointer_v<Call>, "a call is found as a function pointer");
        call = m_loaded ? reinterpret_cast<Call>(m_library.resolve(name)) : nullptr;
        if (!call)
            m_missing << QString::fromLatin1(name);
    }

    // Empty when the library was loaded and every call asked for was found.
    QString error() const;

private:
    QLibrary m_library;
    bool m_loaded = false;
    QString m_description;
    QStringList m_missing;
};
