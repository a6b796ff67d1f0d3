#include "core/sections/bonendeformat.h"
#include "core/sections/rechformats.h"
#include "core/sections/sectionprinters.h"
#include "editors/LayRechEnde.h"
#include "editors/LayRechPos.h"
#include "editors/LayRechSumme.h"
#include "tests/support/editorsession.h"
#include "tests/support/guisupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

const QString Printer = QStringLiteral("TM-T88");
constexpr int OwnRnr = 3;

// Positions of the invoice end that are derived rather than kept as stored: the total of the
// counts, the logo name, and the counts the line check may correct.
const QList<int> EndDerived{0, 106, 110, 111};

const LayoutFormat &formatOf(const QString &kennung)
{
    if (kennung == QLatin1String("RECHPOS"))
        return rechPosFormat();
    if (kennung == QLatin1String("RECHSUMM"))
        return rechSummeFormat();
    return rechEndePlan().format;
}

// A stored list in which every entry differs from the window's initial state.
QStringList differing(const QString &kennung, const QStringList &initial)
{
    const LayoutFormat &f = formatOf(kennung);
    QStringList list;
    for (int p = 0; p < f.size(); ++p) {
        const QString &control = f.fields.at(p).control;
        const QString was = initial.value(p);
        if (f.fields.at(p).encoding == FieldEncoding::Flag10)
            list << (was == "1" ? "0" : "1");
        else if (control.startsWith("cmbSchriftArt"))
            list << (was == "Arial" ? "Courier New" : "Arial");
        else if (control.startsWith("cmbSchriftGroesse"))
            list << (was == "12" ? "14" : "12");
        else if (control.startsWith("cmbSchriftStil"))
            list << (was == "fett" ? "kursiv" : "fett");
        else if (control.startsWith("cmbAusrichtung"))
            list << (was == "rechts" ? "links" : "rechts");
        else
            list << QStringLiteral("T%1").arg(p);
    }
    if (kennung == QLatin1String("RECHENDE")) {
        // The logo on (an empty entry switches it on), its size and the counts 3 above, 2 below.
        list[0] = "5";
        for (int p = 105; p <= 111; ++p)
            list[p] = QStringList{"", "", "2,00", "1,50", "2", "3", "2"}.at(p - 105);
    }
    return list;
}

class Session : public EditorSession<LayoutEditor>
{
public:
    LayoutEditor &open(const QString &kennung)
    {
        if (kennung == QLatin1String("RECHPOS"))
            return show(std::make_unique<TfrmLayRechPos>());
        if (kennung == QLatin1String("RECHSUMM"))
            return show(std::make_unique<TfrmLayRechSum>());
        return show(std::make_unique<TfrmLayRechEnde>());
    }
    // Line numbers of the preview labels shown, top to bottom; {-1} when they leave a gap.
    QList<int> previewed() const { return previewedWithoutGaps(); }
};

} // namespace

class TestInvoiceEditors : public QObject
{
    Q_OBJECT

private slots:
    void storedListIsReadByItsLength_data()
    {
        QTest::addColumn<QString>("kennung");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("applied");
        QTest::newRow("items: 72 entries are ignored") << "RECHPOS" << 72 << 0;
        QTest::newRow("items: 73 stop before Je Reduz.Grund") << "RECHPOS" << 73 << 73;
        QTest::newRow("items: 74 likewise") << "RECHPOS" << 74 << 73;
        QTest::newRow("items: 75 everything") << "RECHPOS" << 75 << 75;
        QTest::newRow("sums: 83 entries change nothing") << "RECHSUMM" << 83 << 0;
        QTest::newRow("sums: 84 everything") << "RECHSUMM" << 84 << 84;
        QTest::newRow("end: 64 entries are ignored") << "RECHENDE" << 64 << 0;
        QTest::newRow("end: 79 fill lines 1-12 and the flags") << "RECHENDE" << 79 << 65;
        QTest::newRow("end: 104 add lines 13-15 only") << "RECHENDE" << 104 << 80;
        QTest::newRow("end: 111 add lines 16-20") << "RECHENDE" << 111 << 105;
        QTest::newRow("end: 112 add the logo and counts") << "RECHENDE" << 112 << 112;
    }

    void storedListIsReadByItsLength()
    {
        QFETCH(QString, kennung);
        QFETCH(int, length);
        QFETCH(int, applied);
        Session s;
        s.open(kennung);
        const QStringList initial = s.shown();
        QCOMPARE(initial.size(), formatOf(kennung).size());
        const QStringList list = differing(kennung, initial);
        s.installation.putList(kennung, OwnRnr, Printer, list.mid(0, length));

        s.open(kennung);
        QStringList expected = list.mid(0, applied) + initial.mid(applied);
        QStringList now = s.shown();
        if (kennung == QLatin1String("RECHENDE")) {
            if (applied == 112)
                expected[105] = "1"; // only "0" switches the logo off
            for (int p : EndDerived)
                now[p] = expected[p];
        }
        QCOMPARE(now, expected);
    }

    void savingWritesEveryEntryInItsPosition_data()
    {
        QTest::addColumn<QString>("kennung");
        QTest::addColumn<QString>("control"); // a control whose position is checked directly
        QTest::addColumn<int>("position");
        QTest::newRow("items: 75, Je Reduz.Grund of line 6 last") << "RECHPOS"
                                                                  << "chbText2Zeile6" << 74;
        QTest::newRow("sums: 84, line 14 after line 13") << "RECHSUMM"
                                                         << "edtTxtZeile14" << 79;
        QTest::newRow("end: 112, line 18's style") << "RECHENDE"
                                                   << "cmbSchriftStil18" << 93;
        QTest::newRow("end: 112, flag of line 4") << "RECHENDE"
                                                  << "chbText4" << 64;
    }

    void savingWritesEveryEntryInItsPosition()
    {
        QFETCH(QString, kennung);
        QFETCH(QString, control);
        QFETCH(int, position);
        Session s;
        s.open(kennung);
        QStringList list = differing(kennung, s.shown());
        s.installation.putList(kennung, OwnRnr, Printer, list);
        s.open(kennung);
        QTest::keyClick(s.editor.get(), Qt::Key_F5);
        QCOMPARE(s.editor->result(), int(QDialog::Accepted));
        const QStringList saved = s.installation.list(kennung, OwnRnr, Printer).value();
        if (kennung == QLatin1String("RECHENDE")) {
            list[105] = "1"; // an empty logo entry switches it on and is written as "1"
            list[106] = QStringLiteral("KASSOTYP\\RECHENDE\\%1").arg(OwnRnr);
        }
        QCOMPARE(saved, list);
        QWidget *w = s.find(control);
        const QString value = qobject_cast<QCheckBox *>(w)
                                      ? (static_cast<QCheckBox *>(w)->isChecked() ? "1" : "0")
                              : qobject_cast<QComboBox *>(w)
                                      ? static_cast<QComboBox *>(w)->currentText()
                                      : w->property("text").toString();
        QCOMPARE(saved.at(position), value);
    }

    void previewShowsTheSwitchedLinesInTheEditorsOrder_data()
    {
        QTest::addColumn<QString>("kennung");
        QTest::addColumn<QList<int>>("on");
        QTest::addColumn<QList<int>>("expected");
        QList<int> all;
        for (int n = 1; n <= 14; ++n)
            all << n;
        QTest::newRow("items: every line in number order")
                << "RECHPOS" << all.mid(0, 12) << all.mid(0, 12);
        QTest::newRow("items: all off, nothing shown") << "RECHPOS" << QList<int>{} << QList<int>{};
        QTest::newRow("sums: the total above the rest")
                << "RECHSUMM" << all << QList<int>{11, 12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 14};
        QTest::newRow("sums: line 11 directly above line 3")
                << "RECHSUMM" << QList<int>{3, 11} << QList<int>{11, 3};
    }

    void previewShowsTheSwitchedLinesInTheEditorsOrder()
    {
        QFETCH(QString, kennung);
        QFETCH(QList<int>, on);
        QFETCH(QList<int>, expected);
        Session s;
        auto &editor = static_cast<SwitchedLineEditor &>(s.open(kennung));
        for (int n = 1; n <= editor.previewLabelCount(); ++n) {
            editor.line(n)->text()->setText(QStringLiteral("L%1").arg(n));
            editor.lineSwitch(n)->setChecked(on.contains(n));
        }
        QTest::mouseClick(s.find<QPushButton>("btnPreview"), Qt::LeftButton);
        QCOMPARE(s.previewed(), expected);
    }

    void presetKeepsTheFlagsOfLines3And4()
    {
        Session s;
        s.open("RECHENDE");
        s.find<QCheckBox>("chbText3")->setChecked(false);
        QTest::mouseClick(s.find<QPushButton>("btnVorgabeSpeichern"), Qt::LeftButton);
        TOVOFormStore presets(s.installation.host().store());
        presets.SetMaske("LAYRECHE");
        QVERIFY(presets.restore(QString::number(OwnRnr), false)); // an office computer
        QCOMPARE(presets.LayOutListe.size(), 114);
        QCOMPARE(presets.LayOutListe.at(63), "0");
        QCOMPARE(presets.LayOutListe.mid(112), (QStringList{"0", "1"}));

        s.find<QCheckBox>("chbText3")->setChecked(true);
        QTest::mouseClick(s.find<QPushButton>("btnVorgabeLaden"), Qt::LeftButton);
        QVERIFY(!s.find<QCheckBox>("chbText3")->isChecked());
        QVERIFY(s.find<QCheckBox>("chbText4")->isChecked());
    }

    // Catches the invoice editors locking the font names in text mode, as the heading editors
    // do, instead of the sizes and styles.
    void textModeLocksSizeAndStyleNotTheFont()
    {
        Session s;
        s.installation.givePrinter(OwnRnr, QStringLiteral("TM-U200BT")); // text mode
        s.main.setWorkstation(OwnRnr);
        for (const char *kennung : {"RECHPOS", "RECHSUMM", "RECHENDE"}) {
            s.open(QString::fromLatin1(kennung));
            QCOMPARE(s.enabledSelectors(), QStringLiteral("Art - -"));
            QVERIFY(s.fontListHoldsThePrinterFonts());
        }
    }

    void tooSmallLogoIsSwitchedOffWithMessage1029()
    {
        Session s;
        s.open("RECHENDE");
        QStringList list = differing("RECHENDE", s.shown());
        list[107] = "0,50";
        s.installation.putList("RECHENDE", OwnRnr, Printer, list);
        s.open("RECHENDE");
        QVERIFY(s.installation.messages().sawMessage(1029));
        QVERIFY(!s.find<QCheckBox>("chbLogo")->isChecked());
    }

    void enginePrintsTheLinesOfTheKind_data()
    {
        QTest::addColumn<QString>("kennung");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("printed");
        QTest::newRow("item article") << "RECHPOS"
                                      << "" << QStringList{"L1", "L2"};
        QTest::newRow("item with discount, line 2 off at N") << "RECHPOS"
                                                             << "N" << QStringList{"L1", "L11"};
        QTest::newRow("item per reduction reason") << "RECHPOS"
                                                   << "R" << QStringList{"L6"};
        QTest::newRow("sum total") << "RECHSUMM"
                                   << "" << QStringList{"L11", "L12"};
        QTest::newRow("sum remainder, line 13 off") << "RECHSUMM"
                                                    << "O" << QStringList{"L14"};
    }

    void enginePrintsTheLinesOfTheKind()
    {
        QFETCH(QString, kennung);
        QFETCH(QString, kind);
        QFETCH(QStringList, printed);
        // Every line on except line 13; line 2 "aus bei N/T/E/G", line 6 "Je Reduz.Grund".
        QStringList list;
        const int lines = kennung == QLatin1String("RECHPOS") ? RechPosLines : RechSummeLines;
        for (int n = 1; n <= lines; ++n)
            list << (n == 13 ? "0" : "1") << QStringLiteral("L%1").arg(n) << "Arial"
                 << "10"
                 << "normal"
                 << "links";
        if (kennung == QLatin1String("RECHPOS"))
            list << "1"
                 << "0"
                 << "1";
        Session s;
        const SectionPrinter *printer = sectionPrinterFor(kennung);
        QVERIFY(printer);
        PrintJob job;
        SectionPrintContext context = s.main.engine().printContext(kennung);
        context.lineKind = kind;
        context.secondCurrency = false;
        printer->print(printer->format(kennung).decode(list), context, job);
        QStringList texts;
        for (const JobItem &item : job.items)
            texts << item.text;
        QCOMPARE(texts, printed);
    }

    void screenshot_data()
    {
        QTest::addColumn<QString>("kennung");
        QTest::newRow("invoice-item-editor") << "RECHPOS";
        QTest::newRow("invoice-sum-editor") << "RECHSUMM";
        QTest::newRow("invoice-end-editor") << "RECHENDE";
    }

    void screenshot()
    {
        QFETCH(QString, kennung);
        Session s;
        s.open(kennung);
        s.installation.putList(kennung, OwnRnr, Printer, differing(kennung, s.shown()));
        s.open(kennung);
        const QString path = saveScreenshot(s.editor.get(), QTest::currentDataTag());
        QCOMPARE(QImage(path).size(), s.editor->size() * s.editor->devicePixelRatio());
    }
};

QTEST_MAIN(TestInvoiceEditors)
#include "tst_invoiceeditors.moc"
