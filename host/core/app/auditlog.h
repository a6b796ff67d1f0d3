#pragma once

#include "core/base/config.h"
#include "core/base/logfile.h"

#include <QList>
#include <QString>

#include <functional>

struct ComputerConfig;
struct OutputResult;

// What the designer wrote or sent to a device. The names are what the log lines and the
// journal carry (KASSOTYP_ACTION).
enum class AuditAction {
    SectionSaved,     // a section editor's save
    SettingsSaved,    // a device record, the page setup or the local settings
    PresetSaved,      // "Layout speichern" and the page presets
    PresetDeleted,    // "Layout löschen"
    WorkstationSetUp, // layout records from the template workstation
    SettingsCopied,   // settings of one workstation to others
    SavedForAllTypes, // "Alle Buchen" of the header editor
    FileImported,     // a file taken into the store
    TestPrint,
    DeviceTest, // cash drawer, customer display
};
QString auditActionName(AuditAction action);

struct AuditEvent
{
    AuditEvent(AuditAction action = AuditAction::SectionSaved, int workstation = -1,
               const QString &section = QString(), const QString &detail = QString())
        : action(action)
        , workstation(workstation)
        , section(section)
        , detail(detail)
    {
    }

    AuditAction action;
    int workstation;       // none when negative
    QString section;       // document type and section as the menus name them
    QString detail;        // what else identifies the write: printer key, targets, types
    QString target;        // where a print or device command went
    QString error;         // empty when it succeeded
    QString printerStatus; // what the printer answered when asked for its status (hex)
};

// The audit trail of one run: every write and every print or device test, with the time, the
// user, this computer and the store, one line each in the program's log file and, where the
// program runs under systemd, as a structured entry in the journal. Recording never fails the
// operation it records.
class AuditLog
{
public:
    // The journal's socket unless KASSOTYP_JOURNAL_SOCKET names another (tests, diagnosis;
    // empty switches the journal off).
    static constexpr const char *JournalSocketVariable = ComputerConfig::JournalSocketVariable;
    static QString journalSocket();

    // A value longer than this is cut, with a mark saying how long it was: one line stays
    // readable and a huge value never pushes older files out of the log's rotation.
    static constexpr qsizetype MaxValueChars = 500;

    explicit AuditLog(const ComputerConfig &config);

    // Empty when the line was written to the log file, else why not (in German).
    QString record(const AuditEvent &event) const;
    // Runs fn and records the event as succeeded or, when fn throws, with the error, which is
    // thrown on.
    void track(AuditEvent event, const std::function<void()> &fn) const;
    // Runs fn; only when it throws, records the event with the error and throws on. The caller
    // records the success, with what it learnt on the way.
    void recordFailure(AuditEvent &event, const std::function<void()> &fn) const;
    // The same for a print or device command, which may also fail by its result.
    OutputResult trackOutput(AuditEvent event, const std::function<OutputResult()> &fn) const;
    // Records the import of a file: what it brought in, or why it failed.
    QString recordImport(const QString &file, int workstation, const QString &summary,
                         const QString &error = QString()) const;

    // The log line of an event as record() writes it, after the time stamp.
    QString line(const AuditEvent &event) const;

private:
    struct Field
    {
        QByteArray name; // journal field after "KASSOTYP_"; empty: only in MESSAGE
        QString key;     // key in the log line
        QString value;
    };
    QList<Field> fields(const AuditEvent &event) const;
    void sendToJournal(const AuditEvent &event, const QString &message) const;

    LogFile m_file;
    QString m_user;
    QString m_computer;
    QString m_store; // without a password
};
