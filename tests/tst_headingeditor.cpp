#include "core/sections/headingsections.h"
#include "editors/LayBonueber.h"
#include "preview/Preview.h"
#include "tests/support/editorsession.h"
#include "tests/support/guisupport.h"
#include "widgets/placeholderpicker.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

const QString Printer = QStringLiteral("TM-T88");
const QString Receipt = QStringLiteral("BONUEBER");
constexpr int OwnRnr = 3;

// One line of a heading settings list.
QStringList line(const QString &text, const QString &font = QStringLiteral("Arial"),
                 const QString &size = QStringLiteral("10"),
                 const QString &style = QStringLiteral("normal"),
                 const QString &alignment = QStringLiteral("mitte"))
{
    return {text, font, size, style, alignment};
}

QStringList lines(int count, const QString &prefix = QStringLiteral("Zeile "))
{
    QStringList list{QString::number(count)};
    for (int i = 1; i <= count; ++i)
        list += line(prefix + QString::number(i));
    return list;
}

// An installation, a main window and the heading editor, torn down in that reverse order.
class Session : public EditorSession<TfrmLayBonueber>
{
public:
    using EditorSession::EditorSession;

    TfrmLayBonueber &open(int code)
    {
        auto window = std::make_unique<TfrmLayBonueber>();
        window->setSectionCode(code);
        return show(std::move(window));
    }

    QLineEdit *count() const { return find<QLineEdit>("edtTextAnzahlZeilen"); }
    QLineEdit *text(int i) const { return find<QLineEdit>("edtTxtZeile", i); }
    QLabel *preview(int i) const { return find<QLabel>("lblPreview", i); }
    void click(const QString &button) const
    {
        QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
    }
    bool shows(const QWidget *w) const { return w->isVisibleTo(editor.get()); }

    void putOwn(const QStringList &list) { installation.putList(Receipt, OwnRnr, Printer, list); }
    QStringList own(const QString &kennung = Receipt)
    {
        return installation.list(kennung, OwnRnr, Printer).value_or(QStringList{"<kein Satz>"});
    }
    QByteArray blob(const LayoutKey &key)
    {
        return installation.host().layouts().find(key).value_or(LayoutRecord{}).blob;
    }
    QStringList preset(bool flag)
    {
        TOVOFormStore presets(installation.host().store());
        presets.SetMaske("LAYBONUE");
        return presets.restore(QString::number(OwnRnr), flag) ? presets.LayOutListe
                                                              : QStringList{"<keine>"};
    }
    void removePrinter()
    {
        for (const QString &key : {QStringLiteral("AKTIV"), Printer})
            installation.host().layouts().remove({QStringLiteral("AKTBONDR"), 0, key});
        main.setWorkstation(OwnRnr);
    }
    // Every write of a layout record fails from now on; reading still works.
    void refuseLayoutWrites()
    {
        TestStore::refuseWrites(installation.host().store(), QStringLiteral("layout_records"), {},
                                QStringLiteral("Speicher gesperrt"));
    }
};

// How a preview label looks: size, weight, slant and alignment.
QString looks(const QLabel *label)
{
    const QFont f = label->font();
    const Qt::Alignment h = label->alignment() & Qt::AlignHorizontal_Mask;
    const char *side = h == Qt::AlignLeft ? "left" : h == Qt::AlignRight ? "right" : "centre";
    return QStringLiteral("%1 %2 %3 %4")
            .arg(f.pointSize())
            .arg(f.bold() ? "bold" : "regular", f.italic() ? "italic" : "upright", side);
}

class FakePicker : public PlaceholderPicker
{
public:
    void openFor(QObject *target, std::function<void(const QString &)> callback) override
    {
        ++opens;
        receiver = target;
        insert = std::move(callback);
    }
    int opens = 0;
    QObject *receiver = nullptr;
    std::function<void(const QString &)> insert;
};

} // namespace

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

    void captionsAndHintsFollowTheSection_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("headline");
        QTest::addColumn<QString>("elements");
        QTest::addColumn<QString>("hints"); // token=description, in label order
        QTest::newRow("receipt heading")
                << 3 << "Gestaltung der Bonüberschrift zu den Positionen"
                << "Elemente der Bonüberschrift"
                << "#Datum#=Datum; #Uhrzeit#=Uhrzeit; #Bonnummer#=Bonnummer; #WH1#=Währung 1; "
                   "#WH2#=Währung 2; #Linie#=Linie";
        QTest::newRow("voucher payment amount")
                << 18 << "Gestaltung des Gutscheinzahlbetrags"
                << "Elemente von Gutscheinzahlbetrag"
                << "#Datum#=Datum; #Bonnummer#=Gutschein Nr.; #WH1#=Währung 1; "
                   "#VknNr#=Verkäufer/in Nr.; #KndNr#=Kunden Nr.; #Linie#=Linie; "
                   "#BetragWH2#=Betrag WH2; #WH2#=Währung WH2; #VknName#=Verkäufer/in Name; "
                   "#KndName#=Kunde Name; #GesIstVkWH1#=Zahlbetrag";
        QTest::newRow("tax refund heading")
                << 81 << "Gestaltung der Überschrift von MwSt-Erstattungsbelegen"
                << "Elemente der Überschrift(en)"
                << "#Datum#=Datum; #KndName#=Kundenname 1; #KndName2#=Kundenname 2; "
                   "#KndVorname#=Kunde - Vorname; #KndStrasse#=Kunde - Straße; "
                   "#KndPlz#=Kunde - PLZ; #KndOrt#=Kunde - Ort; #KndLand#=Kunde - Land; "
                   "#Linie#=Linie; #KndAlles#=Alle Kundendaten";
    }

    void captionsAndHintsFollowTheSection()
    {
        QFETCH(int, code);
        QFETCH(QString, headline);
        QFETCH(QString, elements);
        QFETCH(QString, hints);
        Session s;
        s.open(code);
        QCOMPARE(s.editor->windowTitle(), headline);
        QCOMPARE(s.find<QLabel>("lblUeberschrift")->text(), headline);
        QCOMPARE(s.find<QLabel>("lblTxtElemente")->text(), elements);
        QStringList shownHints;
        for (int n = 1; n <= TfrmLayBonueber::HintCount; ++n) {
            const QLabel *token = s.find<QLabel>("lblPH", n);
            const QLabel *text = s.find<QLabel>("lblTxtPH", n);
            QCOMPARE(s.shows(text), s.shows(token));
            if (s.shows(token))
                shownHints << token->text() + u'=' + text->text();
        }
        QCOMPARE(shownHints.join("; "), hints);
    }

    void previewFollowsTheLineFormat_data()
    {
        // Each step sets size|style|alignment of line 1 and refreshes the preview.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("expected"); // size, weight, slant and alignment
        QTest::newRow("normal after fett is regular again")
                << QStringList{"12|fett|mitte", "12|normal|mitte"} << "12 regular upright centre";
        QTest::newRow("kursiv") << QStringList{"8|kursiv|links"} << "8 regular italic left";
        QTest::newRow("fett/kursiv")
                << QStringList{"10|fett/kursiv|rechts"} << "10 bold italic right";
        QTest::newRow("unknown style is regular")
                << QStringList{"10|fett|mitte", "10|dick|mitte"} << "10 regular upright centre";
        QTest::newRow("size that is no number previews at 10")
                << QStringList{"18|normal|mitte", "abc|normal|mitte"}
                << "10 regular upright centre";
        QTest::newRow("unknown alignment keeps rechts")
                << QStringList{"10|normal|rechts", "10|normal|oben"} << "10 regular upright right";
        QTest::newRow("unknown alignment keeps links")
                << QStringList{"10|normal|links", "10|normal|Mitte"} << "10 regular upright left";
    }

    void previewFollowsTheLineFormat()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, expected);
        Session s;
        s.putOwn(QStringList{"1"} + line("Text"));
        s.open(3);
        for (const QString &step : steps) {
            const QStringList format = step.split(u'|');
            s.find<QComboBox>("cmbSchriftGroesse", 1)->setCurrentText(format.at(0));
            s.find<QComboBox>("cmbSchriftStil", 1)->setCurrentText(format.at(1));
            s.find<QComboBox>("cmbAusrichtung", 1)->setCurrentText(format.at(2));
            s.click("btnPreview");
        }
        QCOMPARE(looks(s.preview(1)), expected);
        QCOMPARE(s.shown().mid(3, 3), steps.constLast().split(u'|')); // stored as typed
    }

    void previewFillsPlaceholders_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("document number")
                << 12 << "Beleg #BelegNr#" << QStringLiteral("Beleg 130000001");
        QTest::newRow("receipt heading shows currency 2")
                << 3 << "in #WH2#" << QStringLiteral("in CHF");
        QTest::newRow("invoice heading shows currency 2")
                << 29 << "in #WH2#" << QStringLiteral("in CHF");
        QTest::newRow("other sections leave currency 2 empty")
                << 12 << "in #WH2#" << QStringLiteral("in ");
        QTest::newRow("currency 1 everywhere") << 12 << "in #WH1#" << QStringLiteral("in EUR");
    }

    void previewFillsPlaceholders()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        Session s;
        QVERIFY(s.main.engine().prGeUebe().isEmpty());
        s.installation.putList(headingSection(code)->kennung, OwnRnr, Printer,
                               QStringList{"1"} + line(text));
        s.open(code);
        QVERIFY(s.shows(s.preview(1)));
        QCOMPARE(s.preview(1)->text(), expected);
    }

    void missingPageSetupAsksForThePaperWidth()
    {
        Session s;
        s.installation.host().layouts().remove({QStringLiteral("SEITEEIN"), 0, Printer});
        s.main.setWorkstation(OwnRnr);
        s.putOwn(QStringList{"1"} + line("Beleg #BelegNr#"));
        s.open(3);
        QVERIFY(!s.main.paperPrompts.isEmpty());
        QCOMPARE(s.main.paperPrompts.constFirst(), Printer);
        QVERIFY(s.shows(s.preview(1)));
        QCOMPARE(s.preview(1)->text(), QStringLiteral("Beleg 130000001"));
        QVERIFY(s.preview(1)->width() > 0);
    }

    void fullScreenPreviewShowsFifteenLines()
    {
        Session s;
        s.putOwn(lines(15));
        s.open(3);
        QStringList visibleTexts{"<keine Vollbildanzeige>"};
        whenModal<TfrmPreview>([&](TfrmPreview *preview) {
            visibleTexts.clear();
            for (int k = 1; k <= TfrmPreview::SourceCount; ++k) {
                if (preview->label(k)->isVisibleTo(preview))
                    visibleTexts << preview->label(k)->text();
            }
        });
        QTest::mouseDClick(s.preview(1), Qt::LeftButton);
        QCOMPARE(visibleTexts, lines(15).mid(1).filter("Zeile"));
    }

    void placeholderGoesToTheCaretOfTheFocusedLine_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("expected"); // text of line 2 afterwards
        QTest::newRow("caret 0 puts it in front") << "edtTxtZeile2" << 0 << "#Datum#Beleg";
        QTest::newRow("middle") << "edtTxtZeile2" << 2 << "Be#Datum#leg";
        QTest::newRow("end") << "edtTxtZeile2" << 5 << "Beleg#Datum#";
        QTest::newRow("focus on a selector: nothing happens") << "cmbSchriftArt2" << 0 << "Beleg";
    }

    void placeholderGoesToTheCaretOfTheFocusedLine()
    {
        QFETCH(QString, focus);
        QFETCH(int, caret);
        QFETCH(QString, expected);
        Session s;
        s.putOwn(QStringList{"2"} + line("Eins") + line("Beleg", "Keine Schrift"));
        s.open(3);
        s.text(2)->setCursorPosition(caret);
        s.find(focus)->setFocus();
        s.editor->InsertPlatzhalter("#Datum#");
        QCOMPARE(s.shown(), QStringList{"2"} + line("Eins") + line(expected, "Keine Schrift"));
    }

    void placeholderButtonRegistersTheInsertion()
    {
        Session s;
        FakePicker picker;
        s.main.picker = &picker;
        s.putOwn(QStringList{"1"} + line("Nr. "));
        s.open(3);
        s.text(1)->setFocus();
        s.text(1)->end(false);
        s.click("btnPlatzhalter");
        QCOMPARE(picker.opens, 1);
        QVERIFY(picker.receiver == s.editor.get());
        QVERIFY(picker.insert);
        picker.insert("#BelegNr#");
        QCOMPARE(s.text(1)->text(), QStringLiteral("Nr. #BelegNr#"));
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

        s.text(1)->setText("Vorgabe 1");
        s.click("btnVorgabeSpeichern");
        s.count()->setText("4");
        s.text(1)->setText("Geändert");
        s.text(3)->setText("Neu");
        s.click("btnVorgabeLaden");
        QCOMPARE(s.shown(), kept);
        QCOMPARE(s.preview(1)->text(), QStringLiteral("Vorgabe 1"));

        s.text(2)->setText("Bleibt stehen");
        before = s.shown();
        s.click("btnVorgabeLoeschen");
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

    void screenshot_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("receipt heading") << 3 << "heading-editor-receipt";
        QTest::newRow("signature-pad text") << 6 << "heading-editor-signpad";
    }

    void screenshot()
    {
        QFETCH(int, code);
        QFETCH(QString, name);
        Session s;
        s.open(code);
        QCOMPARE(QImage(saveScreenshot(s.editor.get(), name)).size(),
                 s.editor->size() * s.editor->devicePixelRatio());
    }
};

QTEST_MAIN(TestHeadingEditor)
#include "tst_headingeditor.moc"
