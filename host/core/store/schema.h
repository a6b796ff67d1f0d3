#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QSqlDatabase;

// The tables of the store as this program's schema version has them, described once. The check
// that ends every migration and the store's integrity check test a store against it; the export
// and import read and write the tables through it. The migrations themselves keep the statements
// their versions ran, so that a store of every older version ends up as a new one does.
namespace StoreSchema {

// What a column holds, and so how an export shows it.
enum class Kind {
    Integer,
    Real,
    Text,
    List, // a settings list (BLOB/BYTEA): texts in an export when they give back the same bytes
    Bytes // any other bytes (BLOB/BYTEA): base64 in an export
};

struct Column
{
    QString name;
    Kind kind;
};

struct Table
{
    // Whether an export holds the table's records.
    enum class Export {
        Never,          // the store's own bookkeeping
        WholeStoreOnly, // the installation's tables
        Always
    };

    QString name;
    QList<Column> columns; // in the order the table declares them
    QStringList primaryKey;
    QString workstationColumn; // the workstation a record belongs to; empty: none
    Export exported = Export::Always;

    bool isKey(const QString &column) const { return primaryKey.contains(column); }
};

// The name of the table that holds the schema version; a store without it is empty or none of
// this program's.
inline const QString VersionTable = QStringLiteral("schema_info");

// Every table, in the order an export writes them (the version table first: it is never
// exported).
const QList<Table> &tables();

// The first fault of the connection's tables that a program would trip over (a table or column
// missing, a primary key missing or left invalid); empty when there is none. Columns the
// description does not name are no fault here.
QString unusable(const QSqlDatabase &db, bool sqlite);
// The first way the connection's tables differ from the description at all: a table missing, its
// columns not exactly the described ones in their order, its primary key not the described one.
// Empty when the store is as described.
QString mismatch(const QSqlDatabase &db, bool sqlite);

} // namespace StoreSchema
