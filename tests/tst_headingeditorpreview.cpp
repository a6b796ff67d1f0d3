// What the heading editor shows while editing: captions and placeholder hints of the section,
// the preview of the lines and its full-screen view, and placeholders put into the lines.

#include "core/sections/headingsections.h"
#include "preview/Preview.h"
#include "tests/headingeditorsession.h"
#include "widgets/placeholderpicker.h"

#include <QComboBox>
#include <QFont>
#include <QImage>
#include <QTest>

#include <functional>

namespace {

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

class TestHeadingEditorPreview : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { KASSOTYP_SKIP_WITHOUT_TEST_STORE(); }
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

QTEST_MAIN(TestHeadingEditorPreview)
#include "tst_headingeditorpreview.moc"
