#pragma once

#include "core/store/history.h"
#include "widgets/tovoform.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <utility>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
struct LayoutFormat;

// A record a window edits, as its history shows it: what the window calls it, which record of
// the store it is and the format its stored list is read through.
struct EditedRecord
{
    EditedRecord(QString caption, RecordRef record, const LayoutFormat *format,
                 std::function<QStringList(const QStringList &)> fromStored = {})
        : caption(std::move(caption))
        , record(std::move(record))
        , format(format)
        , fromStored(std::move(fromStored))
    {
    }

    QString caption;
    RecordRef record;
    const LayoutFormat *format = nullptr;
    // How the window reads a stored version when its controls do not take the stored list as
    // it is (an option stored by its code and shown by its item); none: as it is.
    std::function<QStringList(const QStringList &)> fromStored;
};

// "Verlauf": the saved versions of the records a window edits, newest first, with when (local
// time), who and on which computer, and the change they were part of. For a chosen version it
// shows how it differs from what the window shows now, in the window's own terms;
// "Wiederherstellen" puts that version into the window as an edit, which the user checks in
// the preview and saves as a new version, or takes back with undo.
class THistoryWindow : public TOVOForm
{
    Q_OBJECT
public:
    THistoryWindow(TOVOForm &owner, const QList<EditedRecord> &records, const History &history);

    // The differences of the chosen version to the window, one per line; empty when none is
    // chosen.
    QString differenceText() const;
    int versionCount() const { return int(m_versions.size()); }

    void lvwVersionenChange();
    void btnWiederherstellenClick();

private:
    struct Version
    {
        EditedRecord record;
        HistoryEntry entry;
    };
    const Version *chosen() const;

    TOVOForm &m_owner;
    QList<Version> m_versions;
    QTreeWidget *m_list = nullptr;
    QPlainTextEdit *m_differences = nullptr;
    QPushButton *m_restore = nullptr;
    QLabel *m_headline = nullptr;
};
