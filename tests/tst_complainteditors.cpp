#include "core/sections/reklformats.h"
#include "core/sections/sectionprinters.h"
#include "editors/LayReklPos.h"
#include "editors/LayReklReg.h"
#include "tests/support/editorsession.h"
#include "tests/support/guisupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

const QString Printer = QStringLiteral("TM-T88");
const QString Pos = QStringLiteral("REKLPOS");
const QString Reg = QStringLiteral("REKLREG");
constexpr int OwnRnr = 3;

int linesOf(const QString &kennung)
{
    return kennung == Pos ? ReklPosLines : ReklRegLines;
}

// A stored list in which line n reads "L<n>" and is switched on when listed.
QStringList stored(const QString &kennung, const QList<int> &on)
{
    QStringList list;
    for (int line = 1; line <= linesOf(kennung); ++line)
        list << (on.contains(line) ? "1" : "0") << QStringLiteral("L%1").arg(line) << "Arial"
             << "12"
             << "fett"
             << "rechts";
    return list;
}

QList<int> allLines(const QString &kennung)
{
    QList<int> lines;
    for (int line = 1; line <= linesOf(kennung); ++line)
        lines << line;
    return lines;
}

class Session : public EditorSession<SwitchedLineEditor>
{
public:
    explicit Session(const QString &kennung)
        : kennung(kennung)
    {
    }

    SwitchedLineEditor &open()
    {
        if (kennung == Pos)
            return show(std::make_unique<TfrmLayReklPos>());
        return show(std::make_unique<TfrmLayReklReg>());
    }
    // Line numbers of the preview labels shown, top to bottom; the lines follow without gaps.
    QList<int> previewed() const { return previewedWithoutGaps(); }
    void put(const QStringList &list) { installation.putList(kennung, OwnRnr, Printer, list); }

    QString kennung;
};

} // namespace

class TestComplaintEditors : public QObject
{
    Q_OBJECT

private slots:
    void storedListIsAppliedOnlyWhole_data()
    {
        QTest::addColumn<QString>("kennung");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("applied");
        QTest::newRow("item: 41 entries change nothing") << Pos << 41 << false;
        QTest::newRow("item: 42 entries apply all seven lines") << Pos << 42 << true;
        QTest::newRow("item: surplus entries are ignored") << Pos << 45 << true;
        QTest::newRow("register: 59 entries change nothing") << Reg << 59 << false;
        QTest::newRow("register: 60 entries apply all ten lines") << Reg << 60 << true;
    }

    void storedListIsAppliedOnlyWhole()
    {
        QFETCH(QString, kennung);
        QFETCH(int, length);
        QFETCH(bool, applied);
        Session s(kennung);
        s.open();
        const QStringList initial = s.shown();
        // Every switch the opposite of its initial state, every text and selector changed.
        QList<int> flipped;
        for (int line = 1; line <= linesOf(kennung); ++line) {
            if (!s.editor->lineSwitch(line)->isChecked())
                flipped << line;
        }
        QStringList list = stored(kennung, flipped);
        while (list.size() < length)
            list << "Überschuss";
        s.put(list.mid(0, length));

        s.open();
        QCOMPARE(s.shown(), applied ? list.mid(0, initial.size()) : initial);
    }

    void textModeLocksSizeAndStyleNotTheFont()
    {
        for (const QString &kennung : {Pos, Reg}) {
            Session s(kennung);
            s.installation.givePrinter(OwnRnr, QStringLiteral("TM-U200BT"));
            s.main.setWorkstation(OwnRnr);
            s.open();
            QCOMPARE(s.enabledSelectors(), QStringLiteral("Art - -"));
            QVERIFY(s.fontListHoldsThePrinterFonts());
        }
    }

    void savingWritesEveryEntry_data()
    {
        QTest::addColumn<QString>("kennung");
        QTest::addColumn<QStringList>("record"); // empty: none stored
        QTest::addColumn<QStringList>("expected");
        // Switch positions of a fresh window; the item editor centres line 1 only.
        QStringList item = stored(Pos, {});
        QStringList reg = stored(Reg, {});
        for (int p = 0; p < item.size(); p += 6) {
            item[p] = QList<int>{0, 6, 12, 24, 36}.contains(p) ? "1" : "0";
            item[p + 1] = "";
            item[p + 4] = "normal";
            item[p + 5] = p == 0 ? "mitte" : "links";
        }
        for (int p = 0; p < reg.size(); p += 6) {
            reg[p] = p % 12 == 0 ? "1" : "0";
            reg[p + 1] = "";
            reg[p + 4] = "normal";
            reg[p + 5] = "links";
        }
        QTest::newRow("fresh item window") << Pos << QStringList{} << item;
        QTest::newRow("fresh register window") << Reg << QStringList{} << reg;
        QStringList odd = stored(Reg, {1, 10});
        odd[54] = "0 "; // line 10's switch with a trailing blank
        odd[3] = "abc"; // size that is no number
        QStringList oddSaved = odd;
        oddSaved[54] = "0";
        QTest::newRow("register switch \"0 \" reads as off") << Reg << odd << oddSaved;
        odd = stored(Pos, {2, 7});
        odd[6] = "J"; // only exactly "1" is on
        QStringList posSaved = odd;
        posSaved[6] = "0";
        QTest::newRow("item switch other than 1 reads as off") << Pos << odd << posSaved;
    }

    void savingWritesEveryEntry()
    {
        QFETCH(QString, kennung);
        QFETCH(QStringList, record);
        QFETCH(QStringList, expected);
        Session s(kennung);
        if (!record.isEmpty())
            s.put(record);
        s.open();
        QTest::keyClick(s.editor.get(), Qt::Key_F5);
        QCOMPARE(s.editor->result(), int(QDialog::Accepted));
        QStringList saved = s.installation.list(kennung, OwnRnr, Printer).value();
        QCOMPARE(saved.size(), linesOf(kennung) * 6);
        // A fresh window's font and size come from the printer's fonts; not checked here.
        for (int p = 2; record.isEmpty() && p < saved.size(); p += 6) {
            saved[p] = expected.at(p);
            saved[p + 1] = expected.at(p + 1);
        }
        QCOMPARE(saved, expected);
    }

    void previewDrawsOnlySwitchedOnLines_data()
    {
        QTest::addColumn<QString>("kennung");
        QTest::addColumn<QList<int>>("on");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("item: every line in number order") << Pos << allLines(Pos) << allLines(Pos);
        QTest::newRow("item: line 7 directly under line 1")
                << Pos << QList<int>{1, 7} << QList<int>{1, 7};
        QTest::newRow("register: every line in number order")
                << Reg << allLines(Reg) << allLines(Reg);
        QTest::newRow("register: off lines take no room")
                << Reg << QList<int>{2, 5, 10} << QList<int>{2, 5, 10};
        QTest::newRow("register: all off") << Reg << QList<int>{} << QList<int>{};
    }

    void previewDrawsOnlySwitchedOnLines()
    {
        QFETCH(QString, kennung);
        QFETCH(QList<int>, on);
        QFETCH(QList<int>, expected);
        Session s(kennung);
        s.put(stored(kennung, {}));
        s.open();
        for (int line = 1; line <= linesOf(kennung); ++line)
            s.editor->lineSwitch(line)->setChecked(on.contains(line));
        QTest::mouseClick(s.editor->findChild<QPushButton *>("btnPreview"), Qt::LeftButton);
        QCOMPARE(s.previewed(), expected);
    }

    void onlyTheRegisterShowsCurrency2_data()
    {
        QTest::addColumn<QString>("kennung");
        QTest::addColumn<bool>("currency2");
        QTest::newRow("item leaves currency 2 empty") << Pos << false;
        QTest::newRow("register fills currency 2") << Reg << true;
    }

    void onlyTheRegisterShowsCurrency2()
    {
        QFETCH(QString, kennung);
        QFETCH(bool, currency2);
        Session s(kennung);
        QStringList list = stored(kennung, {1});
        list[1] = "#WH1# = #WH2#";
        s.put(list);
        s.open();
        const QString text = s.editor->previewLabel(1)->text();
        QVERIFY2(text.startsWith("EUR = "), qPrintable(text));
        QCOMPARE(text.size() > 6, currency2);
    }

    void enginePrintsTheLinesOfALineKind_data()
    {
        QTest::addColumn<QString>("kennung");
        QTest::addColumn<QList<int>>("on");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("item: article") << Pos << allLines(Pos) << "P" << QStringList{"L1", "L2"};
        QTest::newRow("item: no kind is the article")
                << Pos << allLines(Pos) << "" << QStringList{"L1", "L2"};
        QTest::newRow("item: complained part")
                << Pos << allLines(Pos) << "T" << QStringList{"L3", "L4"};
        QTest::newRow("item: defect with its description")
                << Pos << QList<int>{5, 7} << "M" << QStringList{"L5", "L7"};
        QTest::newRow("register: discount")
                << Reg << allLines(Reg) << "N" << QStringList{"L1", "L2"};
        QTest::newRow("register: switched-off lines stay off")
                << Reg << QList<int>{2, 9} << "T" << QStringList{"L9"};
        QTest::newRow("register: unknown kind") << Reg << allLines(Reg) << "P" << QStringList{};
    }

    void enginePrintsTheLinesOfALineKind()
    {
        QFETCH(QString, kennung);
        QFETCH(QList<int>, on);
        QFETCH(QString, kind);
        QFETCH(QStringList, expected);
        TestInstallation installation;
        FakeMainWindow main(installation, OwnRnr);
        const SectionPrinter *printer = sectionPrinterFor(kennung);
        QVERIFY(printer);
        PrintJob job;
        SectionPrintContext context = main.engine().printContext(kennung);
        context.lineKind = kind;
        context.secondCurrency = false;
        printer->print(printer->format(kennung).decode(stored(kennung, on)), context, job);
        QCOMPARE(job.texts(), expected);
        // A list one entry short is not applied and prints nothing.
        PrintJob shortJob;
        printer->print(printer->format(kennung).decode(stored(kennung, on).mid(1)), context,
                       shortJob);
        QVERIFY(shortJob.items.isEmpty());
    }

    void screenshots_data()
    {
        QTest::addColumn<QString>("kennung");
        QTest::addColumn<QString>("file");
        QTest::newRow("item") << Pos << "complaint-item-editor";
        QTest::newRow("register") << Reg << "complaint-register-editor";
    }

    void screenshots()
    {
        QFETCH(QString, kennung);
        QFETCH(QString, file);
        Session s(kennung);
        s.put(stored(kennung, {1, 3, 5}));
        s.open();
        QCOMPARE(QImage(saveScreenshot(s.editor.get(), file)).size(),
                 s.editor->size() * s.editor->devicePixelRatio());
    }
};

QTEST_MAIN(TestComplaintEditors)
#include "tst_complainteditors.moc"
