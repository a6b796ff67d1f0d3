#include "core/store/storeexchange.h"

#include "core/store/schema.h"
#include "core/store/settingslistcodec.h"

#include <QBuffer>
#include <QHash>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <cmath>
#include <limits>

namespace StoreExchange {
namespace {

const QString FormatName = QStringLiteral("kassotyp-export");

using Kind = StoreSchema::Kind;

struct Column
{
    QString name;
    Kind kind;
    bool key = false;
};

// A table of the store as a file holds it.
struct Table
{
    QString name;
    QList<Column> columns;         // key columns in the order records are sorted by
    QString workstationColumn;     // empty: the table belongs to no workstation
    bool installationOnly = false; // exported only with the whole store

    QStringList names(bool keys) const
    {
        QStringList out;
        for (const Column &c : columns) {
            if (c.key == keys)
                out << c.name;
        }
        return out;
    }
};

bool isLong(Kind kind)
{
    return kind == Kind::List || kind == Kind::Bytes;
}

// The columns in the order a file holds them: the key first, which sorts the records, led by the
// workstation so that a workstation's records lie together; then the other values in the table's
// order, the long ones (lists, pictures) last.
Table exchangeTable(const StoreSchema::Table &stored)
{
    Table table{stored.name,
                {},
                stored.workstationColumn,
                stored.exported == StoreSchema::Table::Export::WholeStoreOnly};
    QStringList key = stored.primaryKey;
    if (key.removeOne(stored.workstationColumn))
        key.prepend(stored.workstationColumn);
    for (const QString &name : std::as_const(key)) {
        for (const StoreSchema::Column &c : stored.columns) {
            if (c.name == name)
                table.columns.append({c.name, c.kind, true});
        }
    }
    for (const bool last : {false, true}) {
        for (const StoreSchema::Column &c : stored.columns) {
            if (!stored.isKey(c.name) && isLong(c.kind) == last)
                table.columns.append({c.name, c.kind, false});
        }
    }
    return table;
}

// Every table of the store but the one of its schema version, which the store keeps for itself.
const QList<Table> &tables()
{
    static const QList<Table> all = [] {
        QList<Table> out;
        for (const StoreSchema::Table &stored : StoreSchema::tables()) {
            if (stored.exported != StoreSchema::Table::Export::Never)
                out << exchangeTable(stored);
        }
        return out;
    }();
    return all;
}

const Table *findTable(const QString &name)
{
    for (const Table &t : tables()) {
        if (t.name == name)
            return &t;
    }
    return nullptr;
}

// Indented JSON with members in the order they are written (QJsonDocument sorts them).
class JsonWriter
{
public:
    void begin(const QString &name, char bracket)
    {
        member(name);
        m_out += bracket;
        m_empty.append(true);
    }
    void end(char bracket)
    {
        if (!m_empty.takeLast()) {
            m_out += '\n';
            indent();
        }
        m_out += bracket;
    }
    void value(const QString &name, const QJsonValue &value)
    {
        member(name);
        m_out += scalar(value);
    }
    QByteArray text() const { return m_out + '\n'; }

private:
    static QByteArray scalar(const QJsonValue &value)
    {
        const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
        return array.mid(1, array.size() - 2);
    }
    void indent() { m_out += QByteArray(2 * m_empty.size(), ' '); }
    // Starts a member of the open object (named) or array (name empty).
    void member(const QString &name)
    {
        if (m_empty.isEmpty())
            return;
        if (!m_empty.last())
            m_out += ',';
        m_out += '\n';
        m_empty.last() = false;
        indent();
        if (!name.isEmpty())
            m_out += scalar(name) + ": ";
    }

    QByteArray m_out;
    QList<bool> m_empty; // per open bracket: nothing written into it yet
};

const QString Utf8Name = QStringLiteral("utf-8");
const QString Cp1252Name = QStringLiteral("windows-1252");
const QString Base64Name = QStringLiteral("base64");

bool hasLineBreak(const QStringList &entries)
{
    for (const QString &e : entries) {
        if (e.contains(u'\r') || e.contains(u'\n'))
            return true;
    }
    return false;
}

// The code page a settings list is shown under, or empty when its texts would not give back
// these bytes.
QString listCodePage(const QByteArray &blob, const QStringList &entries)
{
    if (SettingsListCodec::encodeUtf8(entries) == blob)
        return Utf8Name;
    if (SettingsListCodec::encodeWindows1252(entries) == blob)
        return Cp1252Name;
    return {};
}

void writeList(JsonWriter &out, const QString &name, const QByteArray &blob)
{
    out.begin(name, '{');
    const SettingsListCodec::Decoded decoded = SettingsListCodec::decode(blob);
    const QString codePage = decoded.clean ? listCodePage(blob, decoded.entries) : QString();
    if (codePage.isEmpty()) {
        out.value(Base64Name, QString::fromLatin1(blob.toBase64()));
    } else {
        out.begin(codePage, '[');
        for (const QString &entry : decoded.entries)
            out.value({}, entry);
        out.end(']');
    }
    out.end('}');
}

QString keyText(const Table &table, const QVariantList &values)
{
    QStringList parts;
    for (qsizetype i = 0; i < table.columns.size(); ++i) {
        if (table.columns.at(i).key)
            parts << values.at(i).toString();
    }
    return parts.join(QStringLiteral(" / "));
}

int exportTable(JsonWriter &out, Store &store, const Table &table, Scope scope, int workstation)
{
    // Key columns first: the file keeps the table's order of columns.
    const QStringList selected = table.names(true) + table.names(false);
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(selected.join(u','), table.name);
    QVariantList values;
    if (scope != Scope::All && !table.workstationColumn.isEmpty()) {
        sql += QStringLiteral(" WHERE %1 = ?").arg(table.workstationColumn);
        values << workstation;
    }
    sql += QStringLiteral(" ORDER BY ") + table.names(true).join(u',');
    QSqlQuery q = store.run(sql, values, QStringLiteral("Lesen der Tabelle %1").arg(table.name));

    QList<qsizetype> position;
    for (const Column &c : table.columns)
        position << selected.indexOf(c.name);

    int count = 0;
    out.begin(table.name, '[');
    while (q.next()) {
        out.begin({}, '{');
        for (qsizetype i = 0; i < table.columns.size(); ++i) {
            const Column &c = table.columns.at(i);
            const QVariant v = q.value(int(position.at(i)));
            switch (c.kind) {
            case Kind::Integer:
                out.value(c.name, v.toLongLong());
                break;
            case Kind::Real:
                out.value(c.name, v.toDouble());
                break;
            case Kind::Text:
                out.value(c.name, v.toString());
                break;
            case Kind::List:
                writeList(out, c.name, v.toByteArray());
                break;
            case Kind::Bytes:
                out.value(c.name, QString::fromLatin1(v.toByteArray().toBase64()));
                break;
            }
        }
        out.end('}');
        ++count;
    }
    out.end(']');
    return count;
}

QString scopeName(Scope scope)
{
    switch (scope) {
    case Scope::Workstation:
        return QStringLiteral("workstation");
    case Scope::Template:
        return QStringLiteral("template");
    case Scope::All:
        break;
    }
    return QStringLiteral("all");
}

// Reading a file back -------------------------------------------------------------------

[[noreturn]] void fail(const QString &place, const QString &problem)
{
    throw FileError(QStringLiteral("%1: %2").arg(place, problem));
}

QByteArray base64(const QJsonValue &value, const QString &place)
{
    if (!value.isString())
        fail(place, QStringLiteral("erwartet wird ein base64-Text."));
    const auto decoded = QByteArray::fromBase64Encoding(value.toString().toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || value.toString().size() % 4 != 0)
        fail(place, QStringLiteral("ungültiges base64."));
    return sqlBytes(*decoded);
}

QByteArray listBytes(const QJsonValue &value, const QString &place)
{
    const QJsonObject object = value.toObject();
    if (!value.isObject() || object.size() != 1)
        fail(place, QStringLiteral("erwartet wird ein Objekt mit genau einem von \"%1\", \"%2\" "
                                   "oder \"%3\".")
                            .arg(Utf8Name, Cp1252Name, Base64Name));
    const QString form = object.constBegin().key();
    const QJsonValue content = object.constBegin().value();
    if (form == Base64Name)
        return base64(content, place);
    if (form != Utf8Name && form != Cp1252Name)
        fail(place, QStringLiteral("unbekannte Form \"%1\".").arg(form));
    if (!content.isArray())
        fail(place, QStringLiteral("\"%1\" muss eine Liste von Texten sein.").arg(form));
    QStringList entries;
    const QJsonArray array = content.toArray();
    for (qsizetype i = 0; i < array.size(); ++i) {
        if (!array.at(i).isString())
            fail(place, QStringLiteral("Eintrag %1 ist kein Text.").arg(i + 1));
        entries << array.at(i).toString();
    }
    if (hasLineBreak(entries))
        fail(place, QStringLiteral("ein Eintrag enthält einen Zeilenumbruch."));
    if (form == Utf8Name)
        return SettingsListCodec::encodeUtf8(entries);
    if (!SettingsListCodec::fitsWindows1252(entries))
        fail(place, QStringLiteral("die Einträge passen nicht in Windows-1252."));
    return sqlBytes(SettingsListCodec::encodeWindows1252(entries));
}

QVariant columnValue(const Column &column, const QJsonValue &value, const QString &place)
{
    switch (column.kind) {
    case Kind::Integer: {
        const double d = value.toDouble(0.5);
        if (!value.isDouble() || d != std::floor(d) || d < std::numeric_limits<int>::min()
            || d > std::numeric_limits<int>::max())
            fail(place, QStringLiteral("erwartet wird eine ganze Zahl."));
        return int(d);
    }
    case Kind::Real:
        if (!value.isDouble())
            fail(place, QStringLiteral("erwartet wird eine Zahl."));
        return value.toDouble();
    case Kind::Text:
        if (!value.isString())
            fail(place, QStringLiteral("erwartet wird ein Text."));
        return sqlText(value.toString());
    case Kind::List:
        return listBytes(value, place);
    case Kind::Bytes:
        break;
    }
    return base64(value, place);
}

Record record(const Table &table, const QJsonValue &value, const QString &place)
{
    if (!value.isObject())
        fail(place, QStringLiteral("erwartet wird ein Objekt."));
    const QJsonObject object = value.toObject();
    Record r{table.name, {}, {}};
    for (const Column &c : table.columns) {
        const QString field = QStringLiteral("%1, Feld \"%2\"").arg(place, c.name);
        if (!object.contains(c.name))
            fail(field, QStringLiteral("fehlt."));
        r.values << columnValue(c, object.value(c.name), field);
    }
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!table.names(true).contains(it.key()) && !table.names(false).contains(it.key()))
            fail(place, QStringLiteral("unbekanntes Feld \"%1\".").arg(it.key()));
    }
    r.key = keyText(table, r.values);
    return r;
}

// What the windows that edit these values accept; a file is held to the same, so that an import
// never leaves a value that stops the designer or the prints of every till on the store.
constexpr int MaxWorkstationNumber = 32767; // logos keep it in 16 bits
constexpr int MaxWorkstationType = 7;
constexpr qsizetype MaxTextChars = 255;
constexpr qsizetype MaxParameterChars = 4000;
constexpr int MaxPictureSide = 4000; // as for a logo taken from a file

QString valueFault(const Column &column, const QVariant &value)
{
    const QString &name = column.name;
    if (column.kind == Kind::Text) {
        const QString text = value.toString();
        for (const QChar c : text) {
            if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F)
                || c.category() == QChar::Separator_Line
                || c.category() == QChar::Separator_Paragraph)
                return QStringLiteral("enthält ein Steuerzeichen (U+%1).")
                        .arg(c.unicode(), 4, 16, QLatin1Char('0'));
        }
        const qsizetype most = name == QLatin1String("value") ? MaxParameterChars : MaxTextChars;
        if (text.size() > most)
            return QStringLiteral("ist mit %1 Zeichen zu lang (höchstens %2).")
                    .arg(text.size())
                    .arg(most);
        static const QRegularExpression sectionId(QStringLiteral("^[A-Z][A-Z0-9]{0,7}$"));
        if ((name == QLatin1String("kennung") || name == QLatin1String("kennung2"))
            && !sectionId.match(text).hasMatch())
            return QStringLiteral("\"%1\" ist keine Abschnittskennung (ein bis acht "
                                  "Großbuchstaben oder Ziffern, vorn ein Buchstabe).")
                    .arg(text.left(20));
        static const QRegularExpression currency(QStringLiteral("^[A-Z]{3}$"));
        if (name == QLatin1String("currency") && !currency.match(text).hasMatch())
            return QStringLiteral("\"%1\" ist kein Währungskürzel (drei Großbuchstaben).")
                    .arg(text.left(20));
        if ((name == QLatin1String("user_name") || name == QLatin1String("kennung1"))
            && text.trimmed().isEmpty())
            return QStringLiteral("ist leer.");
        return {};
    }
    if (column.kind == Kind::Integer) {
        const int n = value.toInt();
        if ((name == QLatin1String("rnr") || name == QLatin1String("fil_rech")
             || name == QLatin1String("booking_rnr"))
            && (n < 0 || n > MaxWorkstationNumber))
            return QStringLiteral("die Rechnernummer %1 liegt nicht zwischen 0 und %2.")
                    .arg(n)
                    .arg(MaxWorkstationNumber);
        if (name == QLatin1String("rtyp") && (n < 1 || n > MaxWorkstationType))
            return QStringLiteral("unbekannter Rechnertyp %1 (bekannt sind 1 bis %2).")
                    .arg(n)
                    .arg(MaxWorkstationType);
        if (name == QLatin1String("local_scope") && n != 0 && n != 1)
            return QStringLiteral("erwartet wird 0 oder 1.");
        if (n < 0)
            return QStringLiteral("die Zahl %1 ist negativ.").arg(n);
        return {};
    }
    if (column.kind == Kind::Real) {
        const double rate = value.toDouble();
        if (name == QLatin1String("units_per_currency1") && !(rate > 0 && std::isfinite(rate)))
            return QStringLiteral("der Kurs %1 ist nicht größer als 0.").arg(rate);
        return {};
    }
    if (column.kind == Kind::Bytes && name == QLatin1String("picture")) {
        QByteArray bytes = value.toByteArray();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        if (size.isValid() && (size.width() > MaxPictureSide || size.height() > MaxPictureSide))
            return QStringLiteral("das Bild ist mit %1 x %2 Punkten zu groß (höchstens %3 je "
                                  "Seite).")
                    .arg(size.width())
                    .arg(size.height())
                    .arg(MaxPictureSide);
        if (reader.read().isNull())
            return QStringLiteral("ist kein lesbares Bild (PNG, BMP, JPEG, ...).");
    }
    return {};
}

// Faults a person has to fix, each with its place; a few are named, the rest counted.
class Faults
{
public:
    static constexpr qsizetype Named = 10;
    void add(const QString &place, const QString &problem)
    {
        if (m_faults.size() < Named)
            m_faults << QStringLiteral("%1: %2").arg(place, problem);
        ++m_count;
    }
    void throwAny() const
    {
        if (m_count == 0)
            return;
        QString text = m_faults.join(QStringLiteral("\n  "));
        if (m_count > Named)
            text += QStringLiteral("\n  und %1 weitere Fehler").arg(m_count - Named);
        throw FileError(m_count == 1 ? text
                                     : QStringLiteral("%1 Fehler:\n  %2").arg(m_count).arg(text));
    }

private:
    QStringList m_faults;
    qsizetype m_count = 0;
};

// Qt's reasons in the user's words.
QString jsonErrorText(QJsonParseError::ParseError error)
{
    switch (error) {
    case QJsonParseError::UnterminatedObject:
        return QStringLiteral("ein Objekt ist nicht mit \"}\" abgeschlossen");
    case QJsonParseError::MissingNameSeparator:
        return QStringLiteral("nach einem Namen fehlt \":\"");
    case QJsonParseError::UnterminatedArray:
        return QStringLiteral("eine Liste ist nicht mit \"]\" abgeschlossen");
    case QJsonParseError::MissingValueSeparator:
        return QStringLiteral("zwischen zwei Werten fehlt \",\"");
    case QJsonParseError::IllegalValue:
        return QStringLiteral("ungültiger Wert");
    case QJsonParseError::TerminationByNumber:
        return QStringLiteral("die Datei endet mitten in einer Zahl");
    case QJsonParseError::IllegalNumber:
        return QStringLiteral("ungültige Zahl");
    case QJsonParseError::IllegalEscapeSequence:
        return QStringLiteral("ungültige Escape-Folge in einem Text");
    case QJsonParseError::IllegalUTF8String:
        return QStringLiteral("ein Text ist kein gültiges UTF-8");
    case QJsonParseError::UnterminatedString:
        return QStringLiteral("ein Text ist nicht mit \" abgeschlossen");
    case QJsonParseError::MissingObject:
        return QStringLiteral("erwartet wird ein Objekt");
    case QJsonParseError::DeepNesting:
        return QStringLiteral("zu tief verschachtelt");
    case QJsonParseError::DocumentTooLarge:
        return QStringLiteral("das Dokument ist zu groß");
    case QJsonParseError::GarbageAtEnd:
        return QStringLiteral("nach dem Ende des Dokuments folgt noch etwas");
    case QJsonParseError::NoError:
        break;
    }
    return QStringLiteral("unbekannter Fehler");
}

QString keyCondition(const Table &table)
{
    QStringList parts;
    for (const QString &k : table.names(true))
        parts << k + QStringLiteral(" = ?");
    return parts.join(QStringLiteral(" AND "));
}

QVariantList keyValues(const Table &table, const Record &record)
{
    QVariantList out;
    for (qsizetype i = 0; i < table.columns.size(); ++i) {
        if (table.columns.at(i).key)
            out << record.values.at(i);
    }
    return out;
}

bool sameValue(Kind kind, const QVariant &stored, const QVariant &wanted)
{
    switch (kind) {
    case Kind::Integer:
        return stored.toLongLong() == wanted.toLongLong();
    case Kind::Real:
        return stored.toDouble() == wanted.toDouble();
    case Kind::Text:
        return stored.toString() == wanted.toString();
    case Kind::List:
    case Kind::Bytes:
        break;
    }
    return stored.toByteArray() == wanted.toByteArray();
}

Plan::Change change(Store &store, const Table &table, const Record &record)
{
    const QStringList others = table.names(false);
    QSqlQuery &q = store.prepareReused(
            QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                    .arg(others.isEmpty() ? QStringLiteral("1") : others.join(u','), table.name,
                         keyCondition(table)));
    for (const QVariant &v : keyValues(table, record))
        q.addBindValue(v);
    Store::exec(q, [&] {
        return QStringLiteral("Lesen des Datensatzes %1 aus %2").arg(record.key, table.name);
    });
    Plan::Change result = Plan::Change::Add;
    if (q.next()) {
        result = Plan::Change::Same;
        int column = 0;
        for (qsizetype i = 0; i < table.columns.size(); ++i) {
            const Column &c = table.columns.at(i);
            if (!c.key && !sameValue(c.kind, q.value(column++), record.values.at(i)))
                result = Plan::Change::Overwrite;
        }
    }
    q.finish();
    return result;
}

QSet<int> workstationNumbers(Store &store)
{
    QSet<int> numbers;
    QSqlQuery q = store.run(QStringLiteral("SELECT rnr FROM workstations"), {},
                            QStringLiteral("Lesen der Rechnertabelle"));
    while (q.next())
        numbers.insert(q.value(0).toInt());
    return numbers;
}

// History rows ----------------------------------------------------------------------------

const QString HistoryPart = QStringLiteral("history");

QJsonValue bytesValue(const std::optional<QByteArray> &bytes)
{
    return bytes ? QJsonValue(QString::fromLatin1(bytes->toBase64())) : QJsonValue();
}

void exportHistory(JsonWriter &out, Store &store, std::optional<int> workstation)
{
    out.begin(HistoryPart, '[');
    for (const HistoryEntry &e : History(store).between({}, {}, workstation)) {
        out.begin({}, '{');
        out.value(QStringLiteral("id"), e.id);
        out.value(QStringLiteral("change_set"), e.changeSet);
        out.value(QStringLiteral("title"), e.changeSetTitle);
        out.value(QStringLiteral("kind"), e.record.kindName());
        out.value(QStringLiteral("name"), e.record.name);
        out.value(QStringLiteral("rnr"), e.record.rnr);
        out.value(QStringLiteral("record_key"), e.record.key);
        out.value(QStringLiteral("before"), bytesValue(e.before));
        out.value(QStringLiteral("after"), bytesValue(e.after));
        out.value(QStringLiteral("user"), e.user);
        out.value(QStringLiteral("computer"), e.computer);
        out.value(QStringLiteral("program"), e.program);
        out.value(QStringLiteral("when_utc"), e.whenUtc.toString(Qt::ISODateWithMs));
        out.end('}');
    }
    out.end(']');
}

QList<HistoryEntry> parseHistory(const QJsonValue &part)
{
    QList<HistoryEntry> entries;
    if (part.isUndefined())
        return entries;
    if (!part.isArray())
        fail(QStringLiteral("Feld \"%1\"").arg(HistoryPart),
             QStringLiteral("erwartet wird eine Liste von Verlaufseinträgen."));
    const QJsonArray rows = part.toArray();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QString place = QStringLiteral("Verlauf, Eintrag %1").arg(i + 1);
        const QJsonObject o = rows.at(i).toObject();
        const auto text = [&](const char *name) {
            const QJsonValue v = o.value(QLatin1String(name));
            if (!v.isString())
                fail(QStringLiteral("%1, Feld \"%2\"").arg(place, QLatin1String(name)),
                     QStringLiteral("erwartet wird ein Text."));
            return v.toString();
        };
        const auto bytes = [&](const char *name) -> std::optional<QByteArray> {
            const QJsonValue v = o.value(QLatin1String(name));
            if (v.isNull())
                return std::nullopt;
            return base64(v, QStringLiteral("%1, Feld \"%2\"").arg(place, QLatin1String(name)));
        };
        HistoryEntry e;
        const std::optional<RecordRef::Kind> kind = RecordRef::kindFromName(text("kind"));
        if (!kind)
            fail(place, QStringLiteral("unbekannte Art \"%1\".").arg(text("kind")));
        e.record = {*kind, text("name"), o.value(QStringLiteral("rnr")).toInt(),
                    text("record_key")};
        e.id = qint64(o.value(QStringLiteral("id")).toDouble());
        e.changeSet = qint64(o.value(QStringLiteral("change_set")).toDouble());
        e.changeSetTitle = text("title");
        e.before = bytes("before");
        e.after = bytes("after");
        e.user = text("user");
        e.computer = text("computer");
        e.program = text("program");
        e.whenUtc = QDateTime::fromString(text("when_utc"), Qt::ISODateWithMs);
        if (!e.whenUtc.isValid())
            fail(place, QStringLiteral("ungültige Zeit \"%1\".").arg(text("when_utc")));
        entries << e;
    }
    return entries;
}

// The history rows of a file, after the store's own: change sets get numbers no row of the
// store has, so that they never mix with the store's.
void writeHistory(Store &store, const QList<HistoryEntry> &entries)
{
    if (entries.isEmpty())
        return;
    QSqlQuery next = store.run(QStringLiteral("SELECT coalesce(max(id), 0) + 1 FROM "
                                              "record_history"),
                               {}, QStringLiteral("Lesen des Verlaufs"));
    const qint64 base = next.next() ? next.value(0).toLongLong() : 1;
    QHash<qint64, qint64> changeSets;
    for (const HistoryEntry &e : entries) {
        const qint64 changeSet =
                changeSets.contains(e.changeSet)
                        ? changeSets.value(e.changeSet)
                        : changeSets.insert(e.changeSet, base + changeSets.size()).value();
        QSqlQuery &q = store.prepareReused(
                QStringLiteral("INSERT INTO record_history (kind, name, rnr, record_key, "
                               "value_before, value_after, change_set, title, user_name, "
                               "computer, program, when_utc) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, "
                               "?, ?, ?)"));
        const auto bytes = [](const std::optional<QByteArray> &b) {
            return b ? QVariant(sqlBytes(*b)) : QVariant(QMetaType(QMetaType::QByteArray));
        };
        for (const QVariant &v : {QVariant(e.record.kindName()), QVariant(sqlText(e.record.name)),
                                  QVariant(e.record.rnr), QVariant(sqlText(e.record.key)),
                                  bytes(e.before), bytes(e.after), QVariant(changeSet),
                                  QVariant(sqlText(e.changeSetTitle)), QVariant(sqlText(e.user)),
                                  QVariant(sqlText(e.computer)), QVariant(sqlText(e.program)),
                                  QVariant(e.whenUtc.toUTC().toString(Qt::ISODateWithMs))})
            q.addBindValue(v);
        Store::exec(q, [] { return QStringLiteral("Schreiben des Verlaufs"); });
    }
}

// The record of the history that a record of the file is, with the column of its content; none
// for the tables without a history.
std::optional<std::pair<RecordRef, QString>> historyRecord(const Table &table, const Record &r)
{
    const auto value = [&](const char *name) {
        for (qsizetype i = 0; i < table.columns.size(); ++i) {
            if (table.columns.at(i).name == QLatin1String(name))
                return r.values.at(i);
        }
        return QVariant();
    };
    if (table.name == QLatin1String("layout_records"))
        return std::pair{layoutRef({value("kennung").toString(), value("rnr").toInt(),
                                    value("printer_key").toString()}),
                         QStringLiteral("blob")};
    if (table.name == QLatin1String("parameters"))
        return std::pair{parameterRef(value("param_key").toString(), value("rnr").toInt()),
                         QStringLiteral("value")};
    if (table.name == QLatin1String("form_store"))
        return std::pair{
                presetRef(FormName{value("sprache").toString(), value("programm").toString(),
                                   value("maske").toString()},
                          value("index_name").toString(), value("local_scope").toInt() != 0),
                QStringLiteral("items")};
    if (table.name == QLatin1String("logos"))
        return std::pair{logoRef({value("kennung1").toString(), value("kennung2").toString(),
                                  value("logo_name").toString(), value("fil_rech").toInt()}),
                         QStringLiteral("picture")};
    return std::nullopt;
}

QByteArray contentBytes(const QVariant &value)
{
    return value.typeId() == QMetaType::QString ? value.toString().toUtf8() : value.toByteArray();
}

} // namespace

Export exportStore(Store &store, Scope scope, int workstation, bool withHistory)
{
    if (scope == Scope::Template)
        workstation = 0;
    JsonWriter out;
    out.begin({}, '{');
    out.value(QStringLiteral("format"), FormatName);
    out.value(QStringLiteral("version"), FormatVersion);
    out.value(QStringLiteral("scope"), scopeName(scope));
    if (scope != Scope::All)
        out.value(QStringLiteral("workstation"), workstation);
    out.begin(QStringLiteral("tables"), '{');
    Export result;
    // All tables from one snapshot, whatever other programs write meanwhile; inside a write of
    // this program its transaction is that snapshot.
    const bool snapshot = !store.inTransaction();
    if (snapshot)
        store.execSql(store.isSqlite() ? QStringLiteral("BEGIN")
                                       : QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ "
                                                        "READ ONLY"),
                      QStringLiteral("Beginn des Exports"));
    try {
        for (const Table &table : tables()) {
            if (scope == Scope::All || !table.installationOnly)
                result.records += exportTable(out, store, table, scope, workstation);
        }
        out.end('}');
        if (withHistory)
            exportHistory(out, store,
                          scope == Scope::All ? std::nullopt : std::optional<int>(workstation));
    } catch (...) {
        if (snapshot)
            store.execSql(QStringLiteral("ROLLBACK"), QStringLiteral("Ende des Exports"));
        throw;
    }
    if (snapshot)
        store.execSql(QStringLiteral("COMMIT"), QStringLiteral("Ende des Exports"));
    out.end('}');
    result.json = out.text();
    return result;
}

QList<std::pair<QString, qint64>> recordCounts(Store &store)
{
    QList<std::pair<QString, qint64>> counts;
    for (const Table &table : tables()) {
        QSqlQuery q = store.run(QStringLiteral("SELECT count(*) FROM ") + table.name, {},
                                QStringLiteral("Zählen der Tabelle %1").arg(table.name));
        counts.append({table.name, q.next() ? q.value(0).toLongLong() : 0});
    }
    return counts;
}

File parse(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        fail(QStringLiteral("Zeile %1").arg(json.left(error.offset).count('\n') + 1),
             QStringLiteral("kein gültiges JSON (%1).").arg(jsonErrorText(error.error)));
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value(QStringLiteral("format")).toString() != FormatName)
        fail(QStringLiteral("Datei"), QStringLiteral("keine Exportdatei des Layoutdesigners "
                                                     "(\"format\": \"%1\" fehlt).")
                                              .arg(FormatName));
    const QJsonValue version = root.value(QStringLiteral("version"));
    if (version.toInt(-1) != FormatVersion)
        fail(QStringLiteral("Feld \"version\""),
             QStringLiteral(
                     "Formatversion %1 wird nicht gelesen; dieses Programm kennt Version %2.")
                     .arg(version.isDouble() ? QString::number(version.toDouble())
                                             : QStringLiteral("(keine Zahl)"))
                     .arg(FormatVersion));
    if (!root.value(QStringLiteral("tables")).isObject())
        fail(QStringLiteral("Feld \"tables\""), QStringLiteral("erwartet wird ein Objekt."));
    const QJsonObject content = root.value(QStringLiteral("tables")).toObject();

    File file;
    Faults faults;
    // In the order of the store's tables, whatever order the file has.
    for (auto it = content.constBegin(); it != content.constEnd(); ++it) {
        if (!findTable(it.key()))
            fail(QStringLiteral("Tabelle \"%1\"").arg(it.key()),
                 QStringLiteral("unbekannte Tabelle."));
    }
    for (const Table &table : tables()) {
        if (!content.contains(table.name))
            continue;
        const QJsonValue rows = content.value(table.name);
        if (!rows.isArray())
            fail(QStringLiteral("Tabelle %1").arg(table.name),
                 QStringLiteral("erwartet wird eine Liste von Datensätzen."));
        const QJsonArray array = rows.toArray();
        // A key twice would be written twice, the last one winning: which one is meant?
        QHash<QString, qsizetype> keys;
        for (qsizetype i = 0; i < array.size(); ++i) {
            const QString place =
                    QStringLiteral("Tabelle %1, Datensatz %2").arg(table.name).arg(i + 1);
            file.records << record(table, array.at(i), place);
            const Record &r = file.records.constLast();
            for (qsizetype c = 0; c < table.columns.size(); ++c) {
                if (const QString fault = valueFault(table.columns.at(c), r.values.at(c));
                    !fault.isEmpty())
                    faults.add(
                            QStringLiteral("%1, Feld \"%2\"").arg(place, table.columns.at(c).name),
                            fault);
            }
            const auto known = keys.constFind(r.key);
            if (known != keys.constEnd())
                faults.add(place, QStringLiteral("derselbe Schlüssel (%1) wie Datensatz %2.")
                                          .arg(r.key.left(80))
                                          .arg(*known + 1));
            else
                keys.insert(r.key, i);
        }
    }
    faults.throwAny();
    file.history = parseHistory(root.value(HistoryPart));
    return file;
}

int Plan::count(Change wanted) const
{
    return int(std::count_if(items.cbegin(), items.cend(),
                             [&](const Item &item) { return item.change == wanted; }));
}

Plan plan(Store &store, const File &file)
{
    Plan result;
    QSet<int> known = workstationNumbers(store);
    QSet<int> named;
    for (const Record &r : file.records) {
        const Table &table = *findTable(r.table);
        result.items.append({&r, change(store, table, r)});
        if (table.name == QLatin1String("workstations"))
            known.insert(r.values.at(0).toInt());
        else if (!table.workstationColumn.isEmpty())
            named.insert(r.values.at(table.names(true).indexOf(table.workstationColumn)).toInt());
    }
    named.remove(0);
    QList<int> missing = (named - known).values();
    std::sort(missing.begin(), missing.end());
    // One hint, however many: a file of 800 workstations is one fact, not 800 lines.
    constexpr qsizetype shown = 10;
    QStringList numbers;
    for (qsizetype i = 0; i < qMin(missing.size(), shown); ++i)
        numbers << QString::number(missing.at(i));
    if (missing.size() > shown)
        numbers << QStringLiteral("... (%1 Rechner)").arg(missing.size());
    if (missing.size() == 1)
        result.hints << QStringLiteral("Rechner %1 steht nicht in der Rechnertabelle; seine "
                                       "Datensätze werden eingespielt, aber erst verwendet, "
                                       "wenn er eingerichtet ist.")
                                .arg(missing.constFirst());
    else if (!missing.isEmpty())
        result.hints << QStringLiteral("Die Rechner %1 stehen nicht in der Rechnertabelle; ihre "
                                       "Datensätze werden eingespielt, aber erst verwendet, "
                                       "wenn sie eingerichtet sind.")
                                .arg(numbers.join(QStringLiteral(", ")));
    if (known.isEmpty())
        result.hints << QStringLiteral("Der Datenspeicher hat danach keine Rechner: der Designer "
                                       "legt beim nächsten Start die Demo-Installation an und "
                                       "überschreibt dabei gleichnamige Datensätze.");
    return result;
}

void write(Store &store, const File &file)
{
    store.write([&] {
        writeHistory(store, file.history);
        const ChangeSet changeSet(store, QStringLiteral("Import"));
        for (const Record &r : file.records) {
            const Table &table = *findTable(r.table);
            const std::optional<std::pair<RecordRef, QString>> tracked = historyRecord(table, r);
            std::optional<QByteArray> before;
            if (tracked) {
                QSqlQuery q = store.run(
                        QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                                .arg(tracked->second, table.name, keyCondition(table)),
                        keyValues(table, r),
                        QStringLiteral("Lesen des Datensatzes %1 aus %2").arg(r.key, table.name));
                if (q.next())
                    before = contentBytes(q.value(0));
            }
            QStringList all, marks, updates;
            for (const Column &c : table.columns) {
                all << c.name;
                marks << QStringLiteral("?");
                if (!c.key)
                    updates << QStringLiteral("%1 = excluded.%1").arg(c.name);
            }
            QSqlQuery &q = store.prepareReused(
                    QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) ON CONFLICT (%4) DO %5")
                            .arg(table.name, all.join(u','), marks.join(u','),
                                 table.names(true).join(u','),
                                 updates.isEmpty()
                                         ? QStringLiteral("NOTHING")
                                         : QStringLiteral("UPDATE SET ") + updates.join(u',')));
            for (const QVariant &v : r.values)
                q.addBindValue(v);
            Store::exec(q, [&] {
                return QStringLiteral("Schreiben des Datensatzes %1 in %2").arg(r.key, table.name);
            });
            if (tracked)
                History::record(store, tracked->first, before,
                                contentBytes(r.values.at(table.names(false).indexOf(tracked->second)
                                                         + table.names(true).size())));
        }
    });
}

} // namespace StoreExchange
