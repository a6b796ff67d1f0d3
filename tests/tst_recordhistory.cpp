#include "core/app/workstationsetup.h"
#include "core/sections/bonkopfformat.h"
#include "core/store/history.h"
#include "core/store/settingslistcodec.h"
#include "editors/LayBonende.h"
#include "tests/support/builtprogram.h"
#include "tests/support/editorsession.h"
#include "tests/support/guisupport.h"
#include "widgets/logoanzeige.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSysInfo>
#include <QTest>
#include <QTimer>

#include <csignal>

namespace {

const QString Printer = QStringLiteral("TM-T88");
const QString End = QStringLiteral("BONENDE");
constexpr int OwnRnr = 3;
const LayoutKey EndKey{End, OwnRnr, Printer};

QByteArray utf8List(const QStringList &list)
{
    return SettingsListCodec::encodeUtf8(list);
}

class Session : public EditorSession<TfrmLayBonende>
{
public:
    Run admin(const QStringList &arguments)
    {
        return runBuilt(QStringLiteral("tools/kassotyp-admin"),
                        QStringList{QStringLiteral("--store=") + installation.storeLocation(),
                                    QStringLiteral("--config="),
                                    QStringLiteral("--log=") + installation.path("admin.log")}
                                + arguments);
    }
    // Another program replaces the end record of workstation 3: an import by kassotyp-admin.
    void otherProgramWrites(const QStringList &list)
    {
        QJsonArray entries;
        for (const QString &entry : list)
            entries.append(entry);
        const QJsonObject record{{"rnr", OwnRnr},
                                 {"printer_key", Printer},
                                 {"kennung", End},
                                 {"filler", ""},
                                 {"blob", QJsonObject{{"utf-8", entries}}}};
        const QJsonObject file{{"format", "kassotyp-export"},
                               {"version", 1},
                               {"scope", "workstation"},
                               {"workstation", OwnRnr},
                               {"tables", QJsonObject{{"layout_records", QJsonArray{record}}}}};
        const QString path = installation.path("andere.json");
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(QJsonDocument(file).toJson());
        out.close();
        const Run run = admin({QStringLiteral("import"), path});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    }
    std::optional<QByteArray> stored()
    {
        const std::optional<LayoutRecord> r = installation.host().layouts().find(EndKey);
        return r ? std::optional<QByteArray>(r->blob) : std::nullopt;
    }
};

// Every record's newest history row holds what the record holds, and every row whose record
// is gone says it was deleted: the record and its history were written together or not at all.
QString historyMismatch(Store &store)
{
    QSqlQuery q = store.run(
            QStringLiteral("SELECT count(*) FROM layout_records r LEFT JOIN record_history h ON "
                           "h.id = (SELECT max(id) FROM record_history x WHERE x.kind = 'layout' "
                           "AND x.name = r.kennung AND x.rnr = r.rnr AND x.record_key = "
                           "r.printer_key) WHERE h.id IS NULL OR h.value_after IS NULL OR "
                           "h.value_after <> r.blob"),
            {}, QStringLiteral("Test"));
    const int records = q.next() ? q.value(0).toInt() : -1;
    QSqlQuery gone = store.run(
            QStringLiteral("SELECT count(*) FROM record_history h WHERE h.kind = 'layout' AND "
                           "h.value_after IS NOT NULL AND h.id = (SELECT max(id) FROM "
                           "record_history x WHERE x.kind = 'layout' AND x.name = h.name AND "
                           "x.rnr = h.rnr AND x.record_key = h.record_key) AND NOT EXISTS "
                           "(SELECT 1 FROM layout_records r WHERE r.kennung = h.name AND r.rnr "
                           "= h.rnr AND r.printer_key = h.record_key)"),
            {}, QStringLiteral("Test"));
    const int rows = gone.next() ? gone.value(0).toInt() : -1;
    if (records == 0 && rows == 0)
        return {};
    return QStringLiteral("%1 Sätze ohne passenden Verlauf, %2 Verlaufszeilen ohne Satz")
            .arg(records)
            .arg(rows);
}

// Runs fn on the modal window called `name` once it is shown and `ready` (when given) holds.
void whenModalNamed(const QString &name, const std::function<void(QWidget *)> &fn,
                    const std::function<bool()> &ready = {})
{
    auto *timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        QWidget *window = QApplication::activeModalWidget();
        if (!window || window->objectName() != name || (ready && !ready()))
            return;
        timer->stop();
        timer->deleteLater();
        fn(window);
    });
    timer->start(20);
}

} // namespace

class TestRecordHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { KASSOTYP_SKIP_WITHOUT_TEST_STORE(); }

    void savesKeepWhatTheyReplaced();
    void secondSaveAsksAndWritesNothingUntilAnswered_data();
    void secondSaveAsksAndWritesNothingUntilAnswered();
    void logoChangedMeanwhileIsNotOverwrittenUnasked();
    void setupAndImportAreChangeSets();
    void killedWritersLeaveRecordsAndHistoryTogether();
    void auditExportReadsBackAsCsvAndJson();
};

void TestRecordHistory::savesKeepWhatTheyReplaced()
{
    TestInstallation inst;
    Host &host = inst.host();
    const LayoutKey key{QStringLiteral("BONPOS"), 4, Printer};
    host.layouts().writeList(key, {QStringLiteral("eins")});
    host.layouts().writeList(key, {QStringLiteral("eins")}); // the same bytes: no new version
    host.layouts().writeList(key, {QStringLiteral("zwei")});
    QVERIFY(host.layouts().remove(key));
    host.parameters().StringParamWrite(QStringLiteral("GRUSS"), QStringLiteral("Hallo \\n"), 4);

    const QList<HistoryEntry> versions = History(host.store()).versions(layoutRef(key));
    QCOMPARE(versions.size(), 3);
    QVERIFY(!versions.at(0).after); // deleted
    QCOMPARE(versions.at(0).before, utf8List({QStringLiteral("zwei")}));
    QCOMPARE(versions.at(1).before, utf8List({QStringLiteral("eins")}));
    QCOMPARE(versions.at(1).after, utf8List({QStringLiteral("zwei")}));
    QVERIFY(!versions.at(2).before); // created
    QCOMPARE(versions.at(2).user, QStringLiteral("tester"));
    QCOMPARE(versions.at(2).computer, QSysInfo::machineHostName());
    QVERIFY(versions.at(2).whenUtc.secsTo(QDateTime::currentDateTimeUtc()) < 60);
    QVERIFY(versions.at(0).changeSet != versions.at(1).changeSet);
    const QList<HistoryEntry> parameter =
            History(host.store()).versions(parameterRef(QStringLiteral("GRUSS"), 4));
    QCOMPARE(parameter.size(), 1);
    QCOMPARE(parameter.at(0).after, QByteArray("Hallo \\n")); // a backslash is no escape
}

void TestRecordHistory::secondSaveAsksAndWritesNothingUntilAnswered_data()
{
    QTest::addColumn<QString>("choice");
    QTest::newRow("back to editing") << QStringLiteral("btnZurueck");
    QTest::newRow("overwrite") << QStringLiteral("btnUeberschreiben");
    QTest::newRow("differences, then back") << QStringLiteral("btnUnterschiede");
}

// The designer's window loads the record, another program (kassotyp-admin) changes it, the
// window saves with F5.
void TestRecordHistory::secondSaveAsksAndWritesNothingUntilAnswered()
{
    QFETCH(QString, choice);
    Session s;
    s.installation.putList(End, OwnRnr, Printer, QStringList(3, QStringLiteral("x")));
    TfrmLayBonende &editor = s.show(std::make_unique<TfrmLayBonende>());
    auto *line = s.find<QLineEdit>(QStringLiteral("edtTxtZeile"), 1);
    line->setText(QStringLiteral("Vom Fenster"));
    const QStringList mine = s.shown();
    const qsizetype place = mine.indexOf(QStringLiteral("Vom Fenster"));
    QVERIFY(place >= 0);
    QStringList theirs = mine;
    theirs[place] = QStringLiteral("Von der Kasse 2");
    s.otherProgramWrites(theirs);
    const QByteArray theirBytes = *s.stored();

    QString asked;
    QString differences;
    std::optional<QByteArray> storedWhileAsking;
    const QString question = QStringLiteral("frmInzwischenGeaendert");
    whenModalNamed(question, [&](QWidget *window) {
        auto *box = qobject_cast<QMessageBox *>(window);
        asked = box->text();
        storedWhileAsking = s.stored();
        if (choice == QLatin1String("btnUnterschiede")) {
            whenModalNamed(QStringLiteral("frmUnterschiede"), [&](QWidget *dialog) {
                differences = dialog->findChild<QPlainTextEdit *>()->toPlainText();
                qobject_cast<QDialog *>(dialog)->reject();
            });
            // The question comes again; this time back to editing.
            whenModalNamed(
                    question,
                    [&](QWidget *again) {
                        again->findChild<QPushButton *>(QStringLiteral("btnZurueck"))->click();
                    },
                    [&] { return !differences.isEmpty(); });
        }
        box->findChild<QPushButton *>(choice)->click();
    });
    QTest::keyClick(&editor, Qt::Key_F5);
    QTRY_VERIFY(!asked.isEmpty());

    // Who, where and with what, from the other program's history row; nothing written yet.
    QVERIFY2(asked.contains(QSysInfo::machineHostName()), qPrintable(asked));
    QVERIFY2(asked.contains(QLatin1String("kassotyp-admin")), qPrintable(asked));
    QVERIFY2(asked.contains(QLatin1String("Import")), qPrintable(asked));
    QCOMPARE(storedWhileAsking, theirBytes);
    if (choice == QLatin1String("btnUeberschreiben")) {
        QTRY_COMPARE(s.stored(), utf8List(mine));
        const HistoryEntry last = *History(s.installation.host().store()).latest(layoutRef(EndKey));
        QCOMPARE(last.before, theirBytes);
        QCOMPARE(last.after, utf8List(mine));
        return;
    }
    QTest::qWait(100);
    QCOMPARE(s.stored(), theirBytes);
    QCOMPARE(History(s.installation.host().store()).latest(layoutRef(EndKey))->after, theirBytes);
    QVERIFY(editor.isVisible());
    QCOMPARE(line->text(), QStringLiteral("Vom Fenster"));
    if (choice == QLatin1String("btnUnterschiede")) {
        QVERIFY2(differences.contains(QStringLiteral("»Von der Kasse 2«"))
                         && differences.contains(QStringLiteral("»Vom Fenster«")),
                 qPrintable(differences));
    }
}

// The window shows the till's end logo; meanwhile another program gives the till another one.
// The window's new picture is not saved over it unasked, and overwriting does write it.
void TestRecordHistory::logoChangedMeanwhileIsNotOverwrittenUnasked()
{
    Session s;
    const auto png = [](Qt::GlobalColor colour) {
        QImage image(80, 40, QImage::Format_RGB32);
        image.fill(colour);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return std::pair{image, bytes};
    };
    // A first window gives the till's end a logo of its own, and closes with the save.
    TfrmLayBonende *editor = &s.show(std::make_unique<TfrmLayBonende>());
    s.find<QCheckBox>(QStringLiteral("chbLogo"))->setChecked(true);
    editor->findChild<Tlogoanzeige *>()->importImage(png(Qt::green).first);
    QTest::keyClick(editor, Qt::Key_F5);
    QTRY_VERIFY(!editor->isVisible());

    editor = &s.show(std::make_unique<TfrmLayBonende>());
    auto *logo = editor->findChild<Tlogoanzeige *>();
    const LogoKey own{logo->Kennung1(), logo->Kennung2(), CurrentLogoName, OwnRnr};
    QVERIFY(s.installation.host().logos().load(own));
    const QByteArray theirs = png(Qt::red).second;
    s.installation.host().logos().save(own, StoredLogo{theirs, 80, 40, {}});
    s.find<QCheckBox>(QStringLiteral("chbLogo"))->setChecked(true);
    logo->importImage(png(Qt::blue).first);
    for (const QString &choice :
         {QStringLiteral("btnZurueck"), QStringLiteral("btnUeberschreiben")}) {
        QString asked;
        std::optional<QByteArray> storedWhileAsking;
        whenModalNamed(QStringLiteral("frmInzwischenGeaendert"), [&](QWidget *window) {
            asked = qobject_cast<QMessageBox *>(window)->text();
            storedWhileAsking = s.installation.host().logos().load(own)->picture;
            window->findChild<QPushButton *>(choice)->click();
        });
        // Back from the question, the window is the active one again, as for the user.
        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QTest::keyClick(editor, Qt::Key_F5);
        QTRY_VERIFY2(!asked.isEmpty(), qPrintable(choice));
        QCOMPARE(storedWhileAsking, theirs);
    }
    // Overwritten: the window's blue picture, with the red one kept in the history.
    QTRY_VERIFY(!editor->isVisible());
    QImage saved;
    QVERIFY(saved.loadFromData(s.installation.host().logos().load(own)->picture));
    QCOMPARE(saved.pixelColor(10, 10), QColor(Qt::blue));
    QCOMPARE(History(s.installation.host().store()).latest(logoRef(own))->before, theirs);
}

void TestRecordHistory::setupAndImportAreChangeSets()
{
    TestInstallation inst;
    Host &host = inst.host();
    History history(host.store());
    const QDateTime start = QDateTime::currentDateTimeUtc();
    const int written = SaetzeAnlegen(host, 9, Printer, SetupDefault);
    QVERIFY(written > 3);
    const QList<HistoryEntry> setup = history.between(start, {}, 9);
    QCOMPARE(setup.size(), written);
    for (const HistoryEntry &e : setup) {
        QCOMPARE(e.changeSetTitle, QStringLiteral("Einrichten aus der Vorlage"));
        QCOMPARE(e.changeSet, setup.first().changeSet);
        QVERIFY(!e.before);
        QCOMPARE(host.layouts().find({e.record.name, 9, e.record.key})->blob, *e.after);
    }
    // The setup's versions are restorable: the template's record as it was copied.
    const HistoryEntry first = setup.first();
    QCOMPARE(history.versions(first.record).first().after, first.after);

    // Exported with its history into a second store and imported there: the history comes
    // along, the import is a change set of its own after it.
    host.layouts().writeList({End, 9, Printer}, {QStringLiteral("geändert")});
    const QString file = inst.path("mit-verlauf.json");
    const auto admin = [&](const QString &store, const QStringList &arguments) {
        return runBuilt(QStringLiteral("tools/kassotyp-admin"),
                        QStringList{QStringLiteral("--store=") + store, QStringLiteral("--config="),
                                    QStringLiteral("--log=") + inst.path("admin.log")}
                                + arguments);
    };
    Run run = admin(inst.storeLocation(),
                    {QStringLiteral("export"), QStringLiteral("--all"),
                     QStringLiteral("--with-history"), QStringLiteral("--output=") + file});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QString target = TestStore::freshLocation(inst.path("ziel.sqlite"));
    run = admin(target, {QStringLiteral("import"), file});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const std::unique_ptr<Store> copy = Store::open(StoreLocation::parse(target));
    const QList<HistoryEntry> all = History(*copy).between({}, {}, std::nullopt);
    const QList<HistoryEntry> original = History(host.store()).between({}, {}, std::nullopt);
    QList<HistoryEntry> kept;
    QList<HistoryEntry> imported;
    for (const HistoryEntry &e : all)
        (e.changeSetTitle == QLatin1String("Import") && e.program != host.store().author().program
                 ? imported
                 : kept)
                << e;
    QCOMPARE(kept.size(), original.size());
    for (qsizetype i = 0; i < kept.size(); ++i) {
        QCOMPARE(kept.at(i).record, original.at(i).record);
        QCOMPARE(kept.at(i).after, original.at(i).after);
        QCOMPARE(kept.at(i).whenUtc, original.at(i).whenUtc);
        QCOMPARE(kept.at(i).changeSetTitle, original.at(i).changeSetTitle);
    }
    QVERIFY(!imported.isEmpty());
    for (const HistoryEntry &e : imported) {
        QCOMPARE(e.changeSet, imported.first().changeSet);
        QVERIFY(e.id > kept.last().id);
    }
}

void TestRecordHistory::killedWritersLeaveRecordsAndHistoryTogether()
{
    TestInstallation inst;
    for (int attempt = 0; attempt < 6; ++attempt) {
        QProcess worker;
        worker.start(QCoreApplication::applicationDirPath() + QStringLiteral("/storeworker"),
                     attempt % 2 == 0
                             ? QStringList{inst.storeLocation(), QStringLiteral("setup"),
                                           QString::number(attempt * 1000)}
                             : QStringList{inst.storeLocation(), QStringLiteral("saves"),
                                           QString::number(attempt), QStringLiteral("100000")});
        QVERIFY(worker.waitForReadyRead(20000));
        QTest::qWait(150 + 70 * attempt);
        ::kill(pid_t(worker.processId()), SIGKILL);
        QVERIFY(worker.waitForFinished(10000));
        // A store opened anew, as after a power cut.
        const std::unique_ptr<Store> store =
                Store::open(StoreLocation::parse(inst.storeLocation()));
        QCOMPARE(historyMismatch(*store), QString());
    }
}

void TestRecordHistory::auditExportReadsBackAsCsvAndJson()
{
    TestInstallation inst;
    Host &host = inst.host();
    const QDateTime start = QDateTime::currentDateTimeUtc();
    // Quotes, commas and a line break in a value: the cases a careless CSV writer breaks.
    const QString tricky = QStringLiteral("Danke, \"Ihr\" Team");
    host.layouts().writeList(EndKey, {QStringLiteral("alt")});
    host.layouts().writeList(EndKey, {tricky, QStringLiteral("zweite Zeile")});
    host.layouts().writeList({End, 4, Printer}, {QStringLiteral("andere Kasse")});
    const auto admin = [&](const QStringList &arguments) {
        return runBuilt(QStringLiteral("tools/kassotyp-admin"),
                        QStringList{QStringLiteral("--store=") + inst.storeLocation(),
                                    QStringLiteral("--config="),
                                    QStringLiteral("--log=") + inst.path("admin.log")}
                                + arguments);
    };
    const QString since = QStringLiteral("--since=") + start.toString(Qt::ISODateWithMs);
    const QString csv = inst.path("verlauf.csv");
    Run run = admin({QStringLiteral("history"), since, QStringLiteral("--workstation=3"),
                     QStringLiteral("--output=") + csv});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    // Python's csv module reads it back into JSON.
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv, json, sys; print(json.dumps(list(csv.reader(open("
                                 "sys.argv[1], newline='', encoding='utf-8')))))"),
                  csv});
    QVERIFY(python.waitForFinished(20000));
    QCOMPARE(python.exitCode(), 0);
    const QJsonArray rows = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    QCOMPARE(rows.size(), 3); // the header and the two versions of workstation 3
    const QJsonArray header = rows.at(0).toArray();
    const QJsonArray changed = rows.at(2).toArray();
    QCOMPARE(changed.size(), header.size());
    const auto column = [&](const QJsonArray &row, const QString &caption) {
        for (qsizetype i = 0; i < header.size(); ++i) {
            if (header.at(i).toString() == caption)
                return row.at(i).toString();
        }
        return QStringLiteral("(keine Spalte %1)").arg(caption);
    };
    QCOMPARE(column(changed, QStringLiteral("Vorher")), QStringLiteral("alt"));
    QCOMPARE(column(changed, QStringLiteral("Nachher")),
             tricky + u'\n' + QStringLiteral("zweite Zeile"));
    QCOMPARE(column(changed, QStringLiteral("Aktion")), QStringLiteral("geändert"));
    QCOMPARE(column(changed, QStringLiteral("Benutzer")), QStringLiteral("tester"));
    QVERIFY(!column(changed, QStringLiteral("Änderungen")).isEmpty());
    QCOMPARE(column(rows.at(1).toArray(), QStringLiteral("Aktion")), QStringLiteral("angelegt"));

    const QString json = inst.path("verlauf.json");
    run = admin({QStringLiteral("history"), since, QStringLiteral("--format=json"),
                 QStringLiteral("--output=") + json});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QFile file(json);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonArray entries = document.object().value(QStringLiteral("entries")).toArray();
    QCOMPARE(entries.size(), 3); // both workstations
    QCOMPARE(entries.at(1).toObject().value(QStringLiteral("after")).toString(),
             tricky + u'\n' + QStringLiteral("zweite Zeile"));
    QCOMPARE(entries.at(2).toObject().value(QStringLiteral("workstation")).toInt(), 4);

    run = admin({QStringLiteral("history"), QStringLiteral("--since=gestern"),
                 QStringLiteral("--output=") + json});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(QLatin1String("kein Datum")), qPrintable(run.err));
}

QTEST_MAIN(TestRecordHistory)
#include "tst_recordhistory.moc"
