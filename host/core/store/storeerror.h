#pragma once

#include <QString>

#include <stdexcept>

// A failure of the record store that the user has to learn about: the store cannot be
// opened, is read-only, or a statement failed. The text is German and ready to show.
class StoreError : public std::runtime_error
{
public:
    explicit StoreError(const QString &text)
        : std::runtime_error(text.toStdString())
        , m_text(text)
    {
    }
    QString text() const { return m_text; }

private:
    QString m_text;
};

// The server rolled a transaction back because it collided with another program's (PostgreSQL's
// serialization failure or deadlock): running the whole transaction again is the remedy.
class StoreConflictError : public StoreError
{
public:
    using StoreError::StoreError;
};

// A stored settings list that claims UTF-8 but is not. It is reported and never written back.
class DamagedRecordError : public StoreError
{
public:
    using StoreError::StoreError;
};
