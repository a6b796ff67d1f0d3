#include "core/app/auditlog.h"

#include "core/base/config.h"
#include "core/output/printoutput.h"
#include "core/store/store.h"

#include <QFile>
#include <QSysInfo>
#include <QtEndian>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cstring>

namespace {

constexpr const char *DefaultJournalSocket = "/run/systemd/journal/socket";
constexpr const char *SyslogIdentifier = "kassotyp";
// Journal priorities (syslog levels).
constexpr int PriorityInfo = 6;
constexpr int PriorityWarning = 4;

struct ActionName
{
    AuditAction action;
    const char *name;
};
constexpr std::array<ActionName, 10> actionNames = {{
        {AuditAction::SectionSaved, "abschnitt-gebucht"},
        {AuditAction::SettingsSaved, "einstellung-gebucht"},
        {AuditAction::PresetSaved, "layout-gespeichert"},
        {AuditAction::PresetDeleted, "layout-geloescht"},
        {AuditAction::WorkstationSetUp, "rechner-eingerichtet"},
        {AuditAction::SettingsCopied, "einstellungen-kopiert"},
        {AuditAction::SavedForAllTypes, "alle-gebucht"},
        {AuditAction::FileImported, "datei-importiert"},
        {AuditAction::TestPrint, "testdruck"},
        {AuditAction::DeviceTest, "geraetetest"},
}};

// A value as a log line shows it: bare when it is one word, else in double quotes with
// backslash escapes. Whatever a value holds, it stays inside its field and its line: every
// control character (C0, DEL, C1, NUL), the Unicode line and paragraph separators and the
// invisible format characters (which can turn the text around on a screen) are written as
// escapes, and a value longer than AuditLog::MaxValueChars is cut with a mark.
QString quoted(const QString &value)
{
    QString escaped;
    bool bare = !value.isEmpty();
    const qsizetype kept = qMin(value.size(), AuditLog::MaxValueChars);
    for (qsizetype i = 0; i < kept; ++i) {
        const QChar c = value.at(i);
        const char16_t u = c.unicode();
        if (c == u'\\' || c == u'"') {
            escaped += u'\\';
            escaped += c;
        } else if (c == u'\n') {
            escaped += QLatin1String("\\n");
        } else if (c == u'\r') {
            escaped += QLatin1String("\\r");
        } else if (c == u'\t') {
            escaped += QLatin1String("\\t");
        } else if (u < 0x20 || (u >= 0x7F && u <= 0x9F)) {
            escaped += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        } else if (c.category() == QChar::Separator_Line
                   || c.category() == QChar::Separator_Paragraph
                   || c.category() == QChar::Other_Format || c.isSurrogate()) {
            escaped += QStringLiteral("\\u%1").arg(u, 4, 16, QLatin1Char('0'));
        } else {
            escaped += c;
            bare = bare && !c.isSpace() && c != u'=';
            continue;
        }
        bare = false;
    }
    if (kept < value.size()) {
        escaped += QStringLiteral("…[gekürzt, %1 Zeichen]").arg(value.size());
        bare = false;
    }
    return bare ? escaped : u'"' + escaped + u'"';
}

// One field of the journal's native protocol: NAME=value, or for a value with a line break
// NAME, a line break, the value's length as 64-bit little endian, and the value.
void appendJournalField(QByteArray &datagram, const QByteArray &name, const QString &value)
{
    const QByteArray bytes = value.toUtf8();
    datagram += name;
    if (bytes.contains('\n')) {
        datagram += '\n';
        char size[8];
        qToLittleEndian<quint64>(quint64(bytes.size()), size);
        datagram.append(size, sizeof size);
    } else {
        datagram += '=';
    }
    datagram += bytes;
    datagram += '\n';
}

} // namespace

QString auditActionName(AuditAction action)
{
    for (const ActionName &a : actionNames) {
        if (a.action == action)
            return QLatin1String(a.name);
    }
    return QStringLiteral("unbekannt");
}

QString AuditLog::journalSocket()
{
    if (qEnvironmentVariableIsSet(JournalSocketVariable))
        return qEnvironmentVariable(JournalSocketVariable);
    return QLatin1String(DefaultJournalSocket);
}

AuditLog::AuditLog(const ComputerConfig &config)
    : m_file(config.logFile)
    , m_user(config.userName)
    , m_computer(QSysInfo::machineHostName())
    , m_store(StoreLocation::parse(config.storeLocation).displayName())
{
}

QList<AuditLog::Field> AuditLog::fields(const AuditEvent &event) const
{
    QList<Field> list = {
            {"ACTION", QStringLiteral("aktion"), auditActionName(event.action)},
            {"RESULT", QStringLiteral("ergebnis"),
             event.error.isEmpty() ? QStringLiteral("ok") : QStringLiteral("fehler")},
            {"USER", QStringLiteral("benutzer"), m_user},
            {"COMPUTER", QStringLiteral("computer"), m_computer},
    };
    if (event.workstation >= 0)
        list.append({"WORKSTATION", QStringLiteral("rechner"), QString::number(event.workstation)});
    const Field optional[] = {
            {"SECTION", QStringLiteral("abschnitt"), event.section},
            {"DETAIL", QStringLiteral("angaben"), event.detail},
            {"TARGET", QStringLiteral("ziel"), event.target},
            {"PRINTER_STATUS", QStringLiteral("druckerstatus"), event.printerStatus},
            {"STORE", QStringLiteral("speicher"), m_store},
            {"ERROR", QStringLiteral("fehler"), event.error},
    };
    for (const Field &field : optional) {
        if (!field.value.isEmpty())
            list.append(field);
    }
    return list;
}

QString AuditLog::line(const AuditEvent &event) const
{
    QStringList parts = {QStringLiteral("AUDIT")};
    for (const Field &field : fields(event))
        parts << field.key + u'=' + quoted(field.value);
    return parts.join(u' ');
}

QString AuditLog::record(const AuditEvent &event) const
{
    const QString text = line(event);
    const QString problem = m_file.append(LogFile::timeStamp() + u' ' + text);
    sendToJournal(event, text);
    return problem;
}

void AuditLog::sendToJournal(const AuditEvent &event, const QString &message) const
{
    const QByteArray path = QFile::encodeName(journalSocket());
    sockaddr_un address{};
    if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path)
        return;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));

    QByteArray datagram;
    appendJournalField(datagram, "MESSAGE", QStringLiteral("Kassotyp: ") + message);
    appendJournalField(datagram, "PRIORITY",
                       QString::number(event.error.isEmpty() ? PriorityInfo : PriorityWarning));
    appendJournalField(datagram, "SYSLOG_IDENTIFIER", QLatin1String(SyslogIdentifier));
    for (const Field &field : fields(event))
        appendJournalField(datagram, "KASSOTYP_" + field.name, field.value);

    // No journal (no systemd, a socket that is gone, a full queue) is no reason to fail:
    // the line is in the log file already.
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    ::sendto(fd, datagram.constData(), size_t(datagram.size()), MSG_NOSIGNAL,
             reinterpret_cast<const sockaddr *>(&address), sizeof address);
    ::close(fd);
}

void AuditLog::recordFailure(AuditEvent &event, const std::function<void()> &fn) const
{
    try {
        fn();
    } catch (const std::exception &e) {
        event.error = QString::fromStdString(e.what());
        record(event);
        throw;
    }
}

void AuditLog::track(AuditEvent event, const std::function<void()> &fn) const
{
    recordFailure(event, fn);
    record(event);
}

OutputResult AuditLog::trackOutput(AuditEvent event, const std::function<OutputResult()> &fn) const
{
    OutputResult result;
    recordFailure(event, [&] { result = fn(); });
    event.target = result.target;
    event.printerStatus = result.printerStatus;
    if (!result.ok)
        event.error = result.error.isEmpty() ? QStringLiteral("keine Ausgabe") : result.error;
    record(event);
    return result;
}

QString AuditLog::recordImport(const QString &file, int workstation, const QString &summary,
                               const QString &error) const
{
    AuditEvent event(AuditAction::FileImported, workstation, QString(), summary);
    event.target = file;
    event.error = error;
    return record(event);
}
