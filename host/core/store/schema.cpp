#include "core/store/schema.h"

#include "core/store/sqlerrortext.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace StoreSchema {

// A change here needs a migration step that makes it: every update of a store ends with a check
// against this description, and a store that does not match is not updated.
const QList<Table> &tables()
{
    using K = Kind;
    using E = Table::Export;
    static const QList<Table> all = {
            {VersionTable, {{"id", K::Integer}, {"version", K::Integer}}, {"id"}, {}, E::Never},
            {QStringLiteral("workstations"),
             {{"rnr", K::Integer}, {"rtyp", K::Integer}, {"name", K::Text}},
             {"rnr"},
             {},
             E::WholeStoreOnly},
            {QStringLiteral("layout_records"),
             {{"kennung", K::Text},
              {"rnr", K::Integer},
              {"printer_key", K::Text},
              {"filler", K::Text},
              {"blob", K::List}},
             {"rnr", "printer_key", "kennung"},
             QStringLiteral("rnr"),
             E::Always},
            {QStringLiteral("parameters"),
             {{"param_key", K::Text}, {"rnr", K::Integer}, {"value", K::Text}},
             {"rnr", "param_key"},
             QStringLiteral("rnr"),
             E::Always},
            {QStringLiteral("form_store"),
             {{"sprache", K::Text},
              {"programm", K::Text},
              {"maske", K::Text},
              {"index_name", K::Text},
              {"local_scope", K::Integer},
              {"items", K::List}},
             {"sprache", "programm", "maske", "index_name", "local_scope"},
             {},
             E::Always},
            {QStringLiteral("logos"),
             {{"kennung1", K::Text},
              {"kennung2", K::Text},
              {"logo_name", K::Text},
              {"fil_rech", K::Integer},
              {"picture", K::Bytes},
              {"width", K::Integer},
              {"height", K::Integer},
              {"booking_rnr", K::Integer},
              {"booking_lfdnr", K::Integer}},
             {"kennung1", "kennung2", "logo_name", "fil_rech"},
             QStringLiteral("fil_rech"),
             E::Always},
            {QStringLiteral("user_rights"),
             {{"user_name", K::Text}, {"right_group", K::Integer}, {"right_function", K::Integer}},
             {"user_name", "right_group", "right_function"},
             {},
             E::WholeStoreOnly},
            {QStringLiteral("booking_counter"),
             {{"rnr", K::Integer}, {"lfdnr", K::Integer}},
             {"rnr"},
             {},
             E::WholeStoreOnly},
            {QStringLiteral("currency_rates"),
             {{"currency", K::Text}, {"units_per_currency1", K::Real}},
             {"currency"},
             {},
             E::WholeStoreOnly},
            // Exported only when asked for, in a part of its own (see History).
            {QStringLiteral("record_history"),
             {{"id", K::Integer},
              {"change_set", K::Integer},
              {"title", K::Text},
              {"kind", K::Text},
              {"name", K::Text},
              {"rnr", K::Integer},
              {"record_key", K::Text},
              {"value_before", K::Bytes},
              {"value_after", K::Bytes},
              {"user_name", K::Text},
              {"computer", K::Text},
              {"program", K::Text},
              {"when_utc", K::Text}},
             {"id"},
             {},
             E::Never},
            // What the printers hold: a fact about the devices of this installation, which an
            // export to another could only make wrong.
            {QStringLiteral("printer_logos"),
             {{"rnr", K::Integer},
              {"printer_key", K::Text},
              {"device", K::Text},
              {"logo_key", K::Text},
              {"picture_hash", K::Text},
              {"width", K::Integer},
              {"height", K::Integer},
              {"loaded_at", K::Text}},
             {"rnr", "printer_key", "device", "logo_key"},
             QStringLiteral("rnr"),
             E::Never},
    };
    return all;
}

QString unusable(const QSqlDatabase &db, bool sqlite)
{
    QSqlQuery q(db);
    for (const Table &table : tables()) {
        QStringList columns;
        for (const Column &c : table.columns)
            columns << c.name;
        if (!q.exec(QStringLiteral("SELECT %1 FROM %2 LIMIT 0")
                            .arg(columns.join(QStringLiteral(", ")), table.name)))
            return QStringLiteral("Tabelle %1: %2").arg(table.name, sqlErrorText(q.lastError()));
        // Upserts rely on the primary key; on PostgreSQL an index can also be left invalid.
        q.prepare(sqlite ? QStringLiteral("SELECT count(*) FROM pragma_table_info(?) WHERE pk > 0")
                         : QStringLiteral("SELECT count(*) FROM pg_index i JOIN pg_class c ON "
                                          "c.oid = i.indrelid WHERE c.relname = ? AND "
                                          "c.relnamespace = current_schema()::regnamespace AND "
                                          "i.indisprimary AND i.indisvalid AND i.indisready"));
        q.addBindValue(table.name);
        if (!q.exec() || !q.next() || q.value(0).toInt() == 0)
            return QStringLiteral("Tabelle %1 hat keinen gültigen Primärschlüssel").arg(table.name);
    }
    return {};
}

QString mismatch(const QSqlDatabase &db, bool sqlite)
{
    // Every column of every table with its place in the primary key (0: none), in one query.
    QSqlQuery q(db);
    const bool read = q.exec(
            sqlite ? QStringLiteral("SELECT m.name, p.name, p.pk FROM sqlite_master m JOIN "
                                    "pragma_table_info(m.name) p WHERE m.type = 'table' ORDER BY "
                                    "m.name, p.cid")
                   : QStringLiteral("SELECT c.relname, a.attname, array_position(i.indkey::int2[], "
                                    "a.attnum) + 1 FROM pg_class c JOIN pg_attribute a ON "
                                    "a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
                                    "LEFT JOIN pg_index i ON i.indrelid = c.oid AND i.indisprimary "
                                    "AND i.indisvalid AND i.indisready WHERE c.relnamespace = "
                                    "current_schema()::regnamespace AND c.relkind = 'r' ORDER BY "
                                    "c.relname, a.attnum"));
    if (!read)
        return sqlErrorText(q.lastError());
    struct Found
    {
        QStringList columns;
        QList<std::pair<int, QString>> key;
    };
    QHash<QString, Found> found;
    while (q.next()) {
        Found &table = found[q.value(0).toString()];
        table.columns << q.value(1).toString();
        if (q.value(2).toInt() > 0)
            table.key.append({q.value(2).toInt(), q.value(1).toString()});
    }
    for (const Table &table : tables()) {
        const auto it = found.constFind(table.name);
        if (it == found.cend())
            return QStringLiteral("Tabelle %1 fehlt").arg(table.name);
        QStringList columns;
        for (const Column &c : table.columns)
            columns << c.name;
        if (it->columns != columns)
            return QStringLiteral("Tabelle %1 hat die Spalten (%2) statt (%3)")
                    .arg(table.name, it->columns.join(QStringLiteral(", ")),
                         columns.join(QStringLiteral(", ")));
        QList<std::pair<int, QString>> key = it->key;
        std::sort(key.begin(), key.end());
        QStringList keyColumns;
        for (const auto &[place, column] : key)
            keyColumns << column;
        if (keyColumns != table.primaryKey)
            return QStringLiteral("Tabelle %1 hat den Primärschlüssel (%2) statt (%3)")
                    .arg(table.name, keyColumns.join(QStringLiteral(", ")),
                         table.primaryKey.join(QStringLiteral(", ")));
    }
    return {};
}

} // namespace StoreSchema
