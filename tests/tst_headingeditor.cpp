// The heading editor's records: which one it loads, what saving writes (and what it must not),
// the line count and the group boxes that follow it, and the presets of the lines.

#include "core/sections/headingsections.h"
#include "tests/headingeditorsession.h"

#include <QAction>
#include <QTest>

class TestHeadingEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { KASSOTYP_SKIP_WITHOUT_TEST_STORE(); }
    void loadsOwnRecordThenTemplateThenDefaultDesign_data()
    {
        QTest::addColumn<QString>("ownPrinter"); // printer key of the own record; empty: none
        QTest::addColumn<bool>("withPrinter");
        QTest::addColumn<bool>("withTemplates");
        QTest::addColumn<QString>("expected"); // empty: the default design
        QTest::newRow("own record wins") << Printer << true << true << "Eigen";
        QTest::newRow("template under the printer key") << QString() << true << true << "Vorlage";
        QTest::newRow("own record of another printer is not taken")
                << "TM-T20" << true << true << "Vorlage";
        QTest::newRow("no printer: template under TEST") << QString() << false << true << "Test";
        QTest::newRow("no record: default design") << QString() << true << false << QString();
    }

    void loadsOwnRecordThenTemplateThenDefaultDesign()
    {
        QFETCH(QString, ownPrinter);
        QFETCH(bool, withPrinter);
        QFETCH(bool, withTemplates);
        QFETCH(QString, expected);
        Session s;
        if (!ownPrinter.isEmpty())
            s.installation.putList(Receipt, OwnRnr, ownPrinter, QStringList{"1"} + line("Eigen"));
        if (withTemplates) {
            s.installation.putList(Receipt, 0, Printer, QStringList{"1"} + line("Vorlage"));
            s.installation.putList(Receipt, 0, "TEST", QStringList{"1"} + line("Test"));
        }
        if (!withPrinter)
            s.removePrinter();
        s.open(3);

        if (expected.isEmpty()) {
            QVERIFY(s.count()->text().toInt() > 0);
            QVERIFY(!s.text(1)->text().isEmpty());
        } else {
            QCOMPARE(s.count()->text(), QStringLiteral("1"));
            QCOMPARE(s.text(1)->text(), expected);
        }
        QCOMPARE(s.find<QPushButton>("btnBuchen")->isEnabled(), withPrinter);
        QCOMPARE(s.find<QAction>("actBuchen")->isEnabled(), withPrinter);
    }

    void savingWritesOnlyTheWorkstationsOwnRecord()
    {
        Session s;
        s.installation.putList(Receipt, 0, Printer, QStringList{"1"} + line("Vorlage"));
        const QByteArray templateBlob = s.blob({Receipt, 0, Printer});

        s.open(3);
        s.text(1)->setText("Erste Fassung");
        s.click("btnBuchen");
        QCOMPARE(s.editor->result(), int(QDialog::Accepted));
        QVERIFY(!s.editor->isVisible());
        QCOMPARE(s.own(), QStringList{"1"} + line("Erste Fassung"));

        // The second save updates the same record, by F5 this time.
        s.open(3);
        QCOMPARE(s.text(1)->text(), QStringLiteral("Erste Fassung"));
        s.text(1)->setText("Zweite Fassung");
        QTest::keyClick(s.editor.get(), Qt::Key_F5);
        QCOMPARE(s.editor->result(), int(QDialog::Accepted));
        QVERIFY(!s.editor->isVisible());
        QCOMPARE(s.own(), QStringList{"1"} + line("Zweite Fassung"));

        int receiptRecords = 0;
        for (const LayoutRecord &r : s.installation.host().layouts().keys({}))
            receiptRecords += r.key.kennung == Receipt ? 1 : 0;
        QCOMPARE(receiptRecords, 2); // the template's and the workstation's own
        QCOMPARE(s.blob({Receipt, 0, Printer}), templateBlob);
    }

    void lineBreaksAreNotStored()
    {
        Session s;
        s.putOwn(QStringList{"1"} + line("x"));
        s.open(3);
        s.text(1)->setText("Vielen\r\nDank\nund\rGruß");
        QVERIFY(s.text(1)->text().contains(u'\n')); // the edit holds the break
        s.click("btnBuchen");
        QCOMPARE(s.own(), QStringList{"1"} + line("VielenDankundGruß"));
    }

    void failedSaveKeepsTheWindowOpenWithTheEdits()
    {
        // Regression: the window closed after a failed save and the typed lines were lost.
        Session s;
        s.open(3);
        s.refuseLayoutWrites();
        s.text(1)->setText("Nicht verlieren");
        s.installation.messages().clear();
        s.click("btnBuchen");

        QVERIFY(s.editor->isVisible());
        QVERIFY(s.editor->result() != int(QDialog::Accepted));
        QCOMPARE(s.text(1)->text(), QStringLiteral("Nicht verlieren"));
        QCOMPARE(s.own(), QStringList{"<kein Satz>"});
        QCOMPARE(s.installation.messages().count(), 1);
        QVERIFY(s.installation.messages().shown().constFirst().kind == MessageKind::Error);
    }

    void errorsNameTheHeadingEditor()
    {
        // Fails: OVOFormInit runs in LayoutEditor's constructor, so errors say "LayoutEditor.".
        Session s;
        s.open(3);
        s.refuseLayoutWrites();
        s.installation.messages().clear();
        s.click("btnBuchen");
        QCOMPARE(s.installation.messages().count(), 1);
        const QString text = s.installation.messages().shown().constFirst().text;
        QVERIFY2(text.contains("TfrmLayBonueber.btnBuchenClick"), qPrintable(text));
    }

    void storedListsRoundTripUnchanged_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("stored");
        QStringList receipt37{"3"};
        receipt37 << line("Quittung", "Arial", "12", "fett", "links") << "1"
                  << line("#Datum#", "Courier New", "8", "kursiv", "rechts") << "0"
                  << line("", "Arial", "10", "fett/kursiv", "mitte") << "1";
        QStringList payment67{"2"};
        payment67 << line("Zahlung") << "0" << line("#BetragWH1#") << "1";
        QTest::newRow("per-account receipt, 1 + 6 per line") << 37 << receipt37;
        QTest::newRow("payment heading, 1 + 6 per line") << 67 << payment67;
        QTest::newRow("receipt heading, 1 + 5 per line") << 3 << lines(4);
        QTest::newRow("fifteen lines") << 12 << lines(15);
        QTest::newRow("garbage size, unknown font, style and alignment")
                << 3 << QStringList{"1", "Text", "Keine Schrift", "abc", "dick", "oben"};
    }

    void storedListsRoundTripUnchanged()
    {
        QFETCH(int, code);
        QFETCH(QStringList, stored);
        Session s;
        const QString kennung = headingSection(code)->kennung;
        s.installation.putList(kennung, OwnRnr, Printer, stored);
        s.open(code);
        s.click("btnBuchen");
        QCOMPARE(s.editor->result(), int(QDialog::Accepted));
        QCOMPARE(s.own(kennung), stored);
    }

    void shortListLeavesLaterValuesAlone()
    {
        Session s;
        s.putOwn(QStringList{"2"} + line("Eins")
                 + line("Zwei", "Courier", "14", "kursiv", "rechts"));
        s.open(3);
        s.putOwn({"2", "A", "Arial", "10", "fett", "links", "B", "Arial"});
        s.editor->Einstellungen_Laden();
        QCOMPARE(s.shown(), QStringList{"2"} + line("A", "Arial", "10", "fett", "links")
                                    + line("B", "Arial", "14", "kursiv", "rechts"));
    }

    void openingWritesNothing()
    {
        // A record in the code page without byte-order mark and with LF: any rewrite shows.
        Session s;
        const QByteArray blob = "1\nStra\xdf"
                                "e\nArial\nabc\nfett\nirgendwo\n";
        s.installation.putBlob(Receipt, OwnRnr, Printer, blob);
        s.installation.putList(Receipt, 0, Printer, QStringList{"1"} + line("Vorlage"));
        const qint64 records = s.installation.host().layouts().count();

        s.open(3);
        QCOMPARE(s.text(1)->text(), QStringLiteral("Straße"));
        s.click("btnPreview");
        s.click("btnAbbrechen");
        QCOMPARE(s.editor->result(), int(QDialog::Rejected));
        QCOMPARE(s.blob({Receipt, OwnRnr, Printer}), blob);
        QCOMPARE(s.installation.host().layouts().count(), records);
    }

    void sectionCodeShapesTheLines_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("kennung");
        QTest::addColumn<QString>("opened"); // line count after opening; empty: not checked
        QTest::addColumn<int>("maximum");
        QTest::addColumn<bool>("countShown");
        QTest::addColumn<bool>("switchesShown");
        QTest::newRow("receipt heading") << 3 << Receipt << "" << 15 << true << false;
        QTest::newRow("signature-pad text") << 6 << "BONSPWAS"
                                            << "5" << 10 << true << false;
        QTest::newRow("payment signature-pad text") << 69 << "ZAHLSPWA"
                                                    << "5" << 10 << true << false;
        QTest::newRow("signature") << 7 << "BONSPWER"
                                   << "1" << 1 << false << false;
        QTest::newRow("per-account receipt shows its switches") << 37 << "QUITUEBE"
                                                                << "" << 15 << true << true;
        QTest::newRow("payment heading stores them hidden") << 67 << "ZAHLUBER"
                                                            << "" << 15 << true << false;
        QTest::newRow("84 is unused") << 84 << ""
                                      << "1" << 15 << true << false;
        QTest::newRow("99 is beyond the table") << 99 << ""
                                                << "1" << 15 << true << false;
    }

    void sectionCodeShapesTheLines()
    {
        QFETCH(int, code);
        QFETCH(QString, kennung);
        QFETCH(QString, opened);
        QFETCH(int, maximum);
        QFETCH(bool, countShown);
        QFETCH(bool, switchesShown);
        Session s;
        s.open(code);
        QCOMPARE(s.editor->Kennung(), kennung);
        if (kennung.isEmpty())
            QCOMPARE(s.editor->Maske(), QString());
        if (!opened.isEmpty())
            QCOMPARE(s.count()->text(), opened);
        QCOMPARE(s.shows(s.count()), countShown);
        if (countShown) {
            s.count()->setFocus();
            s.count()->selectAll();
            QTest::keyClicks(s.count(), "20");
        } else {
            s.count()->setText("20");
        }
        QCOMPARE(s.count()->text(), QString::number(maximum));
        for (int i = 1; i <= maximum; ++i) {
            QCOMPARE(s.shows(s.find("chbImmer", i)), switchesShown);
            QCOMPARE(s.find("chbImmer", i)->isEnabled(), switchesShown);
        }
    }

    void lineCountNeverSavesFewerThanOneLine_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("leave"); // "tab", "F5", or "" for a count set from outside
        QTest::newRow("cleared from outside") << ""
                                              << "";
        QTest::newRow("cleared while typing, then left") << ""
                                                         << "tab";
        QTest::newRow("cleared, F5 while typing") << ""
                                                  << "F5";
        QTest::newRow("0 typed, F5 while typing") << "0"
                                                  << "F5";
        QTest::newRow("0 typed, then left") << "0"
                                            << "tab";
    }

    void lineCountNeverSavesFewerThanOneLine()
    {
        QFETCH(QString, typed);
        QFETCH(QString, leave);
        Session s;
        s.putOwn(lines(4));
        s.open(3);
        if (leave.isEmpty()) {
            s.text(1)->setFocus();
            s.count()->setText(typed);
            QCOMPARE(s.count()->text(), QStringLiteral("1"));
            QCOMPARE(s.shown(), QStringList{"1"} + line("Zeile 1"));
            return;
        }
        s.count()->setFocus();
        s.count()->selectAll();
        QTest::keyClick(s.count(), Qt::Key_Backspace);
        QTest::keyClicks(s.count(), typed);
        // While the user types, the field waits for the next digit.
        QCOMPARE(s.count()->text(), typed);
        if (leave == QLatin1String("tab")) {
            QTest::keyClick(s.count(), Qt::Key_Tab);
            QVERIFY(!s.count()->hasFocus());
            QCOMPARE(s.count()->text(), QStringLiteral("1"));
            QCOMPARE(s.shown(), QStringList{"1"} + line("Zeile 1"));
        } else {
            QTest::keyClick(s.count(), Qt::Key_F5);
            QCOMPARE(s.editor->result(), int(QDialog::Accepted));
            QCOMPARE(s.own(), QStringList{"1"} + line("Zeile 1"));
        }
    }

    void unusedSectionCodeSavesNoRecord()
    {
        Session s;
        s.open(84);
        const qint64 records = s.installation.host().layouts().count();
        s.text(1)->setText("Ohne Kennung");
        QTest::keyClick(s.editor.get(), Qt::Key_F5);
        QVERIFY(s.editor->isVisible());
        QCOMPARE(s.installation.host().layouts().count(), records);
        QCOMPARE(s.installation.messages().count(), 1);
    }

    void groupBoxesFollowTheLineCount_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("visible");
        QTest::newRow("0 keeps the first box") << "0" << 1;
        QTest::newRow("1") << "1" << 1;
        QTest::newRow("7") << "7" << 7;
        QTest::newRow("15") << "15" << 15;
    }

    void groupBoxesFollowTheLineCount()
    {
        QFETCH(QString, count);
        QFETCH(int, visible);
        Session s;
        s.open(3);
        s.count()->setText(count);
        for (int i = 1; i <= 15; ++i)
            QVERIFY2(s.shows(s.find("OVOStdGroupBox", i)) == (i <= visible),
                     qPrintable(QString::number(i)));
    }

    void presetsKeepRecallAndDeleteTheLines()
    {
        Session s;
        s.putOwn(lines(2, "Vorgabe "));
        s.open(3);
        const QStringList kept = s.shown();

        s.text(1)->setText("Ungespeichert");
        QStringList before = s.shown();
        s.click("btnVorgabeLaden"); // nothing stored yet
        QCOMPARE(s.shown(), before);
        const auto status = [&s] {
            return s.find<QLabel>("lblVorgabeStatus")->text();
        };
        QCOMPARE(status(), QStringLiteral("Es ist kein Layout gespeichert."));

        s.text(1)->setText("Vorgabe 1");
        s.click("btnVorgabeSpeichern");
        QCOMPARE(status(), QStringLiteral("Das Layout wurde gespeichert."));
        s.count()->setText("4");
        s.text(1)->setText("Geändert");
        s.text(3)->setText("Neu");
        s.click("btnVorgabeLaden");
        QCOMPARE(s.shown(), kept);
        QCOMPARE(s.preview(1)->text(), QStringLiteral("Vorgabe 1"));

        QCOMPARE(status(), QStringLiteral("Das gespeicherte Layout wurde geladen."));
        s.text(2)->setText("Bleibt stehen");
        before = s.shown();
        // Deleting asks first; "Nein" keeps the preset.
        s.click("btnVorgabeLoeschen");
        QCOMPARE(s.installation.messages().shown().constLast().kind, MessageKind::Question);
        QCOMPARE(s.preset(false).size(), kept.size());
        s.installation.messages().setNextAnswer(Answer::Yes);
        s.click("btnVorgabeLoeschen");
        QCOMPARE(status(), QStringLiteral("Das gespeicherte Layout wurde gelöscht."));
        QCOMPARE(s.shown(), before);
        QCOMPARE(s.preset(false), QStringList{"<keine>"});
        QCOMPARE(s.own(), lines(2, "Vorgabe ")); // none of this saved the layout
    }

    void presetFlagFollowsTheComputerType_data()
    {
        QTest::addColumn<int>("computer");
        QTest::addColumn<bool>("flag");
        QTest::newRow("till (type 3) keeps it for tills") << 3 << true;
        QTest::newRow("mobile till (type 4)") << 5 << true;
        QTest::newRow("main PC (type 1) keeps it for the office") << 1 << false;
        QTest::newRow("back office (type 2)") << 2 << false;
        QTest::newRow("head office (type 7)") << 90 << false;
    }

    void presetFlagFollowsTheComputerType()
    {
        QFETCH(int, computer);
        QFETCH(bool, flag);
        TestInstallation::Options options;
        options.workstationId = computer;
        Session s(options);
        s.open(3);
        s.click("btnVorgabeSpeichern");
        QCOMPARE(s.preset(flag), s.shown());
        QCOMPARE(s.preset(!flag), QStringList{"<keine>"});
    }
};

QTEST_MAIN(TestHeadingEditor)
#include "tst_headingeditor.moc"
