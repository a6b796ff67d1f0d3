#include "core/format/deviceformats.h"
#include "core/format/recorddiff.h"
#include "core/sections/sectionregistry.h"
#include "editors/LayBonende.h"
#include "settings/allgtreiber.h"
#include "settings/frmsettingsu.h"
#include "shell/kassotypu.h"
#include "tests/support/editorsession.h"
#include "tests/support/guisupport.h"
#include "widgets/historywindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSysInfo>
#include <QTest>
#include <QTreeWidget>

#include <memory>

namespace {

const QString Printer = QStringLiteral("TM-T88");

// What the history window of the window shows: the rows of its list and, for each row, the
// difference text it shows when the row is chosen by the keyboard.
struct SeenHistory
{
    QStringList rows;
    QStringList differences;
};

QString rowText(const QTreeWidgetItem *item)
{
    QStringList columns;
    for (int c = 0; c < item->columnCount(); ++c)
        columns << item->text(c);
    return columns.join(QStringLiteral(" | "));
}

// Opens the history with Ctrl+H in the window, walks its list with the arrow keys and, when
// restoreRow >= 0, restores that row with the button.
SeenHistory openHistory(QWidget *window, int restoreRow = -1)
{
    SeenHistory seen;
    whenModal<THistoryWindow>([&](THistoryWindow *history) {
        auto *list = history->findChild<QTreeWidget *>(QStringLiteral("lvwVersionen"));
        QVERIFY(list);
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            if (row > 0)
                QTest::keyClick(list, Qt::Key_Down);
            QCOMPARE(list->indexOfTopLevelItem(list->currentItem()), row);
            seen.rows << rowText(list->topLevelItem(row));
            seen.differences << history->differenceText();
        }
        if (restoreRow < 0)
            return;
        QTest::keyClick(list, Qt::Key_Home);
        for (int row = 0; row < restoreRow; ++row)
            QTest::keyClick(list, Qt::Key_Down);
        QTest::mouseClick(history->findChild<QPushButton *>(QStringLiteral("btnWiederherstellen")),
                          Qt::LeftButton);
        QVERIFY(!history->isVisible());
    });
    // A shortcut reaches the active window only, as it does the user's.
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        qWarning("the window did not become active");
    QTest::keyClick(window, Qt::Key_H, Qt::ControlModifier);
    return seen;
}

void typeInto(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    // Key by key as typed; a letter beyond ASCII comes as the text of its key.
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(edit, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { KASSOTYP_SKIP_WITHOUT_TEST_STORE(); }
    // What differs is named as the window names it, never by its position in the list.
    void differencesAreNamedInTheWindowsTerms_data();
    void differencesAreNamedInTheWindowsTerms();
    void editorRestoresAnOlderTextIntoFieldAndPreview();
    void printerWindowShowsBaudRateAndSwitchAndRestoresThem();
    void localSettingsShowAnOptionByItsChoice();
    void mainWindowNamesTheSectionsThatDifferFromTheTemplate();
};

void TestHistory::differencesAreNamedInTheWindowsTerms_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("expected");
    QTest::newRow("line text") << "edtTxtZeile3"
                               << "Vielen Dank"
                               << "Danke für Ihren Einkauf"
                               << "Zeile 3: »Vielen Dank« → »Danke für Ihren Einkauf«";
    QTest::newRow("line emptied") << "edtTxtZeile1"
                                  << "Filiale Nord" << QString()
                                  << "Zeile 1: »Filiale Nord« → (leer)";
    QTest::newRow("line style") << "cmbSchriftStil2"
                                << "normal"
                                << "fett"
                                << "Zeile 2, Stil: normal → fett";
    QTest::newRow("logo switch") << "chbLogo"
                                 << "0"
                                 << "1"
                                 << "Logo: aus → an";
    QTest::newRow("logo size in cm") << "edtLogoBreite"
                                     << "2,00"
                                     << "3,5"
                                     << "Logo, Breite: 2,00 cm → 3,50 cm";
    QTest::newRow("logo position by its item") << "rgpLogoPosition"
                                               << "0"
                                               << "2"
                                               << "Logo, Position: links → rechts";
    QTest::newRow("same value") << "edtTxtZeile4"
                                << "Auf Wiedersehen"
                                << "Auf Wiedersehen" << QString();
}

void TestHistory::differencesAreNamedInTheWindowsTerms()
{
    QFETCH(QString, control);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, expected);
    const LayoutFormat &end = SectionRegistry::find(u"BONENDE")->format();
    QVERIFY(end.positionOf(control) >= 0);
    // Two stored lists of the end section that differ at that one position only.
    FieldValues values = end.decodeAvailable(end.encode({}));
    values.insert(control, before);
    const QStringList was = end.encode(values);
    values.insert(control, after);
    const QStringList is = end.encode(values);
    const QStringList lines = describeListDifferences(end, was, is);
    QCOMPARE(lines, expected.isEmpty() ? QStringList() : QStringList{expected});
}

void TestHistory::editorRestoresAnOlderTextIntoFieldAndPreview()
{
    EditorSession<TfrmLayBonende> s;
    // Two versions saved through the window: first "Vielen Dank", then the longer thanks.
    for (const QString &text :
         {QStringLiteral("Vielen Dank"), QStringLiteral("Danke für Ihren Einkauf")}) {
        s.show(std::make_unique<TfrmLayBonende>());
        typeInto(s.find<QLineEdit>(QStringLiteral("edtAnzZeilenUber")), QStringLiteral("2"));
        typeInto(s.find<QLineEdit>(QStringLiteral("edtTxtZeile1")), text);
        QTest::keyClick(s.editor.get(), Qt::Key_F5);
        QVERIFY2(!s.editor->isVisible(), "the save did not go through");
    }

    TfrmLayBonende &editor = s.show(std::make_unique<TfrmLayBonende>());
    auto *line = s.find<QLineEdit>(QStringLiteral("edtTxtZeile1"));
    QCOMPARE(line->text(), QStringLiteral("Danke für Ihren Einkauf"));
    QVERIFY(s.find<QPushButton>(QStringLiteral("btnVerlauf"))->isVisible());

    const SeenHistory seen = openHistory(&editor, 1);
    // The till's own record twice, newest first, by this computer's user, before the
    // template's versions (the fixture took the demo shop's design out of it).
    QVERIFY(seen.rows.size() >= 2);
    for (int row = 0; row < seen.rows.size(); ++row)
        QCOMPARE(seen.rows.at(row).contains(QStringLiteral("| tester | ")
                                            + QSysInfo::machineHostName()
                                            + QStringLiteral(" | Layout |")),
                 row < 2);
    QCOMPARE(seen.differences.at(0),
             QStringLiteral("Diese Version gleicht der Anzeige im Fenster."));
    QVERIFY2(seen.differences.at(1).contains(
                     QStringLiteral("Zeile 1: »Danke für Ihren Einkauf« → »Vielen Dank«")),
             qPrintable(seen.differences.at(1)));

    // Restored into the field and the preview, not saved: the store still holds the newest.
    QCOMPARE(line->text(), QStringLiteral("Vielen Dank"));
    bool previewed = false;
    for (const QLabel *label : s.shownPreviewLabels())
        previewed = previewed || label->accessibleName().contains(QStringLiteral("Vielen Dank"));
    QVERIFY(previewed);
    QCOMPARE(s.installation.list(QStringLiteral("BONENDE"), 3, Printer)->value(1),
             QStringLiteral("Danke für Ihren Einkauf"));
    QVERIFY(editor.statusLine()->text().contains(QStringLiteral("noch nicht gespeichert")));

    // An edit like one typed: undo takes it back.
    editor.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(line->text(), QStringLiteral("Danke für Ihren Einkauf"));
    QTest::keyClick(&editor, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(line->text(), QStringLiteral("Vielen Dank"));

    // Saved, the old text is the newest version.
    QTest::keyClick(&editor, Qt::Key_F5);
    QCOMPARE(s.installation.list(QStringLiteral("BONENDE"), 3, Printer)->value(1),
             QStringLiteral("Vielen Dank"));
}

void TestHistory::printerWindowShowsBaudRateAndSwitchAndRestoresThem()
{
    TestInstallation installation;
    FakeMainWindow main(installation, 3);
    const auto save = [](TfrmAllgTreiber &window, const QString &baud, bool init) {
        window.findChild<QComboBox *>(QStringLiteral("cmbKDBaudrate"))->setCurrentText(baud);
        window.findChild<QCheckBox *>(QStringLiteral("chbForcePrinterInit"))->setChecked(init);
        QTest::keyClick(&window, Qt::Key_F5);
    };
    for (const auto &[baud, init] :
         {std::pair{QStringLiteral("9600"), false}, std::pair{QStringLiteral("19200"), true}}) {
        TfrmAllgTreiber window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        save(window, baud, init);
        QVERIFY2(!window.isVisible(), "the save did not go through");
    }

    TfrmAllgTreiber window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto *init = window.findChild<QCheckBox *>(QStringLiteral("chbForcePrinterInit"));
    auto *baud = window.findChild<QComboBox *>(QStringLiteral("cmbKDBaudrate"));
    QVERIFY(init->isChecked());

    // Printer and display each twice; the older of each is the one to compare.
    SeenHistory seen = openHistory(&window);
    QCOMPARE(seen.rows.size(), 4);
    const QString all = seen.differences.join(u'\n');
    QVERIFY2(all.contains(QStringLiteral("Baudrate: 19200 → 9600")), qPrintable(all));
    QVERIFY2(all.contains(QStringLiteral(
                     "Initialisierung vor jedem Druckauftrag durchführen: an → aus")),
             qPrintable(all));
    QVERIFY2(!all.contains(QStringLiteral("cmb")) && !all.contains(QStringLiteral("chb")),
             qPrintable(all));

    // Restoring the older printer record switches the initialisation off again.
    int olderPrinter = -1;
    for (int row = 0; row < seen.rows.size(); ++row) {
        if (seen.differences.at(row).contains(QStringLiteral("Initialisierung")))
            olderPrinter = row;
    }
    QVERIFY(olderPrinter >= 0);
    openHistory(&window, olderPrinter);
    QVERIFY(!init->isChecked());
    QCOMPARE(baud->currentText(), QStringLiteral("19200")); // the display record is its own
    // Not saved: closing asks before the restored version is thrown away.
    installation.messages().clear();
    installation.messages().setNextAnswer(Answer::No);
    QTest::keyClick(&window, Qt::Key_Escape);
    QCOMPARE(installation.messages().count(), 1);
    QVERIFY(window.isVisible());
}

void TestHistory::localSettingsShowAnOptionByItsChoice()
{
    TestInstallation installation;
    FakeMainWindow main(installation, 3);
    const QString copyMark = QStringLiteral("ddcBONKOPIE");
    for (const QString &choice : {QStringLiteral("Ja"), QStringLiteral("Nein")}) {
        TfrmSettings window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *combo = window.findChild<QComboBox *>(copyMark);
        combo->setCurrentIndex(combo->findText(choice));
        QTest::keyClick(&window, Qt::Key_F5);
        QVERIFY2(!window.isVisible(), "the save did not go through");
    }

    TfrmSettings window;
    window.show();
    auto *combo = window.findChild<QComboBox *>(copyMark);
    QCOMPARE(combo->currentText(), QStringLiteral("Nein"));
    // The option is stored as "J"/"N" but named by its label and shown by its choice; the
    // first save wrote every option the window preselected as well.
    const QString label = QStringLiteral("\"Kopie\" auf nachgedruckte Belege?");
    SeenHistory seen = openHistory(&window);
    QList<int> rows;
    for (int row = 0; row < seen.rows.size(); ++row) {
        if (seen.rows.at(row).contains(QStringLiteral("| ") + label + QStringLiteral(" |")))
            rows << row;
    }
    QCOMPARE(rows.size(), 2);
    QCOMPARE(seen.differences.at(rows.at(0)),
             QStringLiteral("Diese Version gleicht der Anzeige im Fenster."));
    QCOMPARE(seen.differences.at(rows.at(1)),
             QStringLiteral("Wiederherstellen ändert im Fenster:\n") + label
                     + QStringLiteral(": Nein → Ja"));
    openHistory(&window, rows.at(1));
    QCOMPARE(combo->currentText(), QStringLiteral("Ja"));
}

void TestHistory::mainWindowNamesTheSectionsThatDifferFromTheTemplate()
{
    TestInstallation installation;
    TfrmKassotypHaupt window(installation.host(), installation.config().positional);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *tills = window.findChild<QComboBox *>(QStringLiteral("cmbRechner"));
    auto *marker = window.findChild<QLabel *>(QStringLiteral("lblVorlage"));
    const auto choose = [&](int rnr) {
        tills->setCurrentIndex(tills->findData(rnr));
        return marker->text();
    };
    // The demo tills print the template's designs.
    QCOMPARE(choose(3), QStringLiteral("Alle Abschnitte wie die Vorlage (Rechner 0)"));

    // One section of till 3 saved with a text of its own; the same bytes as the template's
    // in another section do not count.
    std::optional<QStringList> end = installation.list(QStringLiteral("BONENDE"), 0, Printer);
    QVERIFY(end);
    (*end)[1] = QStringLiteral("Nur in Kasse 3");
    installation.putList(QStringLiteral("BONENDE"), 3, Printer, *end);
    const QString headerKennung = CBelegTyp_2_KennungKopf(1);
    const std::optional<QStringList> header = installation.list(headerKennung, 0, Printer);
    QVERIFY(header);
    installation.putList(headerKennung, 3, Printer, *header);
    // Nor does a design kept for a printer the till does not print on.
    installation.putList(QStringLiteral("BONPOS"), 3, QStringLiteral("TM-U200"), *end);

    choose(4);
    const QString till3 = choose(3);
    QVERIFY2(till3.startsWith(QStringLiteral("Anders als die Vorlage (Rechner 0): ")),
             qPrintable(till3));
    QVERIFY2(till3.contains(QStringLiteral("Ende")) && !till3.contains(u','), qPrintable(till3));
    QCOMPARE(choose(4), QStringLiteral("Alle Abschnitte wie die Vorlage (Rechner 0)"));
}

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
