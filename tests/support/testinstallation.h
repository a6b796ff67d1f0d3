#pragma once

#include "core/app/host.h"
#include "core/app/messages.h"
#include "core/engine/bonprinter.h"
#include "tests/support/teststore.h"

#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// Records what the message service shows and answers questions and file choosers from
// answers given in advance (Ok / No / empty file when none is left).
class RecordingPresenter : public MessagePresenter
{
public:
    struct Shown
    {
        MessageKind kind;
        QString title;
        QString text;
    };

    Answer present(MessageKind kind, const QString &title, const QString &text) override;
    QString chooseOpenFile(const QString &title, const QString &filter) override;

    void setNextAnswer(Answer answer) { m_answers.append(answer); }
    void setNextFile(const QString &path) { m_files.append(path); }

    const QList<Shown> &shown() const { return m_shown; }
    // True when catalogue message `number` of "KASSOTYP" was shown.
    bool sawMessage(int number) const;
    int count() const { return int(m_shown.size()); }
    void clear() { m_shown.clear(); }

private:
    QList<Shown> m_shown;
    QList<Answer> m_answers;
    QStringList m_files;
};

// One installation of the program in a temporary folder: its own store (an SQLite file, or a
// fresh PostgreSQL schema when the tests run on PostgreSQL; seeded with the demo installation
// unless told otherwise), log file and spool folder, and a recording message service.
// Without the demo shop the store holds the demo's workstations and its template printer
// TM-T88 only: no layout of any section, no logo and no text-mode printer, for tests of what a
// window or the engine does before anything is designed.
class TestInstallation
{
public:
    struct Options
    {
        int workstationId = 1;
        QString userName = QStringLiteral("tester");
        QStringList positional;
        bool demoShop = true;
    };

    TestInstallation();
    explicit TestInstallation(const Options &options);
    ~TestInstallation();

    Host &host() { return *m_host; }
    RecordingPresenter &messages() { return m_messages; }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString storePath() const { return path(QStringLiteral("store.sqlite")); }
    // The store as --store= names it: storePath() or a PostgreSQL URL.
    QString storeLocation() const { return m_storeLocation; }
    const ComputerConfig &config() const { return m_config; }

    // Ends the program's use of the store, as quitting it does.
    void closeHost() { m_host.reset(); }

    // Opens another Host on the same store, as a second program would.
    std::unique_ptr<Host> openSecondHost() const;

    // Writes a settings list into a layout record directly (UTF-8 with byte-order mark).
    void putList(const QString &kennung, int rnr, const QString &printerKey,
                 const QStringList &entries);
    void putBlob(const QString &kennung, int rnr, const QString &printerKey,
                 const QByteArray &blob);
    std::optional<QStringList> list(const QString &kennung, int rnr, const QString &printerKey);

    // Gives workstation rnr a printer record of the named preset under "AKTIV".
    void givePrinter(int rnr, const QString &preset);

private:
    // Takes the demo shop's designs, logos and text-mode printer out of the fresh store.
    void removeDemoShop();

    QTemporaryDir m_dir;
    QString m_storeLocation;
    ComputerConfig m_config;
    RecordingPresenter m_messages;
    std::unique_ptr<Host> m_host;
};
