#include "widgets/historywindow.h"

#include "core/format/layoutformat.h"
#include "core/store/settingslistcodec.h"
#include "widgets/fieldlabels.h"
#include "widgets/inputhistory.h"

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString localTime(const QDateTime &utc)
{
    return utc.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
}

// A stored version as the list its window reads: a parameter is its value alone.
SettingsListCodec::Decoded storedList(const EditedRecord &record, const QByteArray &bytes)
{
    SettingsListCodec::Decoded stored =
            record.record.kind == RecordRef::Kind::Parameter
                    ? SettingsListCodec::Decoded{{QString::fromUtf8(bytes)}, true}
                    : SettingsListCodec::decode(bytes);
    if (record.fromStored)
        stored.entries = record.fromStored(stored.entries);
    return stored;
}

} // namespace

THistoryWindow::THistoryWindow(TOVOForm &owner, const QList<EditedRecord> &records,
                               const History &history)
    : TOVOForm(&owner)
    , m_owner(owner)
{
    OVOFormInit(QStringLiteral("frmVerlauf"));
    setUpDialogFrame({820, 560});
    setWindowTitle(tr("Verlauf - %1").arg(owner.windowTitle()));

    for (const EditedRecord &record : records) {
        for (const HistoryEntry &entry : history.versions(record.record))
            m_versions << Version{record, entry};
    }
    // Several records of one window in one list: the newest change first, whichever it was.
    std::stable_sort(m_versions.begin(), m_versions.end(), [](const Version &a, const Version &b) {
        return a.entry.whenUtc > b.entry.whenUtc
               || (a.entry.whenUtc == b.entry.whenUtc && a.entry.id > b.entry.id);
    });

    auto *main = new QVBoxLayout(this);
    m_headline = createHeadline();
    m_headline->setWordWrap(true);
    main->addWidget(m_headline);
    QStringList names;
    for (const EditedRecord &record : records)
        names << record.caption;
    m_headline->setText(
            m_versions.isEmpty()
                    ? tr("Von %1 ist noch keine Version gespeichert.")
                              .arg(names.join(QStringLiteral(", ")))
                    : tr("Gespeicherte Versionen: %1").arg(names.join(QStringLiteral(", "))));

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lvwVersionen"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setHeaderLabels(
            {tr("Gespeichert am"), tr("Benutzer"), tr("Computer"), tr("Datensatz"), tr("Vorgang")});
    QList<QTreeWidgetItem *> items;
    for (const Version &version : std::as_const(m_versions)) {
        const HistoryEntry &e = version.entry;
        const QString what =
                !e.after ? tr("%1 (gelöscht)").arg(version.record.caption) : version.record.caption;
        const QString change = e.changeSetTitle.isEmpty() ? tr("Gespeichert mit %1").arg(e.program)
                                                          : e.changeSetTitle;
        items << new QTreeWidgetItem({localTime(e.whenUtc), e.user, e.computer, what, change});
    }
    m_list->addTopLevelItems(items);
    for (int column = 0; column < 4; ++column)
        m_list->resizeColumnToContents(column);
    main->addWidget(m_list, 3);

    auto *caption = new QLabel(tr("&Unterschiede zur Anzeige im Fenster"), this);
    m_differences = new QPlainTextEdit(this);
    m_differences->setObjectName(QStringLiteral("memUnterschiede"));
    m_differences->setReadOnly(true);
    caption->setBuddy(m_differences);
    main->addWidget(caption);
    main->addWidget(m_differences, 2);

    auto *row = new QHBoxLayout;
    m_restore = new QPushButton(tr("&Wiederherstellen"), this);
    m_restore->setObjectName(QStringLiteral("btnWiederherstellen"));
    m_restore->setToolTip(tr("Diese Version in das Fenster laden; gespeichert wird erst mit "
                             "\"Buchen\" (F5)"));
    auto *close = new QPushButton(tr("Schließen"), this);
    close->setObjectName(QStringLiteral("btnSchliessen"));
    for (QPushButton *button : {m_restore, close}) {
        button->setAutoDefault(false);
        row->addWidget(button);
    }
    row->insertStretch(0, 1);
    main->addLayout(row);

    connectGuarded(m_list, &QTreeWidget::currentItemChanged, "lvwVersionenChange",
                   &THistoryWindow::lvwVersionenChange);
    connectGuarded(m_restore, &QPushButton::clicked, "btnWiederherstellenClick",
                   &THistoryWindow::btnWiederherstellenClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    lvwVersionenChange();
    m_list->setFocus();
}

const THistoryWindow::Version *THistoryWindow::chosen() const
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    return row >= 0 && row < m_versions.size() ? &m_versions.at(row) : nullptr;
}

QString THistoryWindow::differenceText() const
{
    return m_differences->toPlainText();
}

void THistoryWindow::lvwVersionenChange()
{
    const Version *version = chosen();
    m_restore->setEnabled(false);
    if (!version) {
        m_differences->clear();
        return;
    }
    if (!version->entry.after) {
        m_differences->setPlainText(tr("Mit dieser Änderung wurde der Datensatz gelöscht; "
                                       "sie kann nicht wiederhergestellt werden."));
        return;
    }
    const SettingsListCodec::Decoded stored = storedList(version->record, *version->entry.after);
    const QStringList shown = m_owner.shownVersion(version->record);
    const QStringList lines = describeListDifferences(*version->record.format, shown,
                                                      stored.entries, windowFieldLabels(&m_owner));
    QString text = lines.isEmpty()
                           ? tr("Diese Version gleicht der Anzeige im Fenster.")
                           : tr("Wiederherstellen ändert im Fenster:") + u'\n' + lines.join(u'\n');
    // Replacement characters would be saved over what the version really held.
    if (!stored.clean)
        text += u'\n'
                + tr("Diese Version enthält Zeichen, die nicht gelesen werden können; sie wird "
                     "nicht wiederhergestellt.");
    m_restore->setEnabled(stored.clean);
    m_differences->setPlainText(text);
}

void THistoryWindow::btnWiederherstellenClick()
{
    const Version *version = chosen();
    if (!version || !version->entry.after)
        return;
    const SettingsListCodec::Decoded stored = storedList(version->record, *version->entry.after);
    if (!stored.clean)
        return;
    m_owner.showVersion(version->record, stored.entries);
    if (InputHistory *inputs = m_owner.inputHistory())
        inputs->takeStep();
    if (QLabel *status = m_owner.statusLine())
        status->setText(tr("Version vom %1 geladen, noch nicht gespeichert: prüfen Sie sie und "
                           "buchen Sie mit F5.")
                                .arg(localTime(version->entry.whenUtc)));
    accept();
}
