#include "editors/LayBonpos.h"
#include "preview/Preview.h"
#include "tests/support/editorsession.h"
#include "tests/support/guisupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QString Printer = QStringLiteral("TM-T88");
const QString Kennung = QStringLiteral("BONPOS");
constexpr int OwnRnr = 3;
constexpr int Entries = 109;

QStringList lineGroup(bool on, int line)
{
    return {on ? "1" : "0", QStringLiteral("L%1").arg(line), "Arial", "12", "fett", "rechts"};
}

// A stored list in which every line's text is "L<n>" and the switches are as given.
QStringList stored(const QList<int> &on, const QList<int> &secondOn = {})
{
    QStringList list;
    for (int line = 1; line <= 13; ++line)
        list += lineGroup(on.contains(line), line);
    for (int line : {2, 5, 6})
        list << (secondOn.contains(line) ? "1" : "0");
    for (int line = 14; line <= 17; ++line)
        list += lineGroup(on.contains(line), line) << (secondOn.contains(line) ? "1" : "0");
    return list;
}

QList<int> allLines()
{
    QList<int> lines;
    for (int line = 1; line <= 17; ++line)
        lines << line;
    return lines;
}

class Session : public EditorSession<TfrmLayBonPos>
{
public:
    TfrmLayBonPos &open() { return show(std::make_unique<TfrmLayBonPos>()); }
    // Line numbers of the preview labels shown, top to bottom; the lines follow without gaps.
    QList<int> previewed() const { return previewedWithoutGaps(); }
    void put(const QStringList &list) { installation.putList(Kennung, OwnRnr, Printer, list); }
};

} // namespace

class TestItemEditor : public QObject
{
    Q_OBJECT

private slots:
    void storedListIsReadInStages_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("applied");
        QTest::newRow("78 entries are ignored") << 78 << 0;
        QTest::newRow("79: lines 1..13 and aus bei N/T/E/G") << 79 << 79;
        QTest::newRow("80 stays at the first stage") << 80 << 79;
        QTest::newRow("81: also Je Reduz.Grund") << 81 << 81;
        QTest::newRow("108: not yet lines 14..17") << 108 << 81;
        QTest::newRow("109: everything") << 109 << 109;
        QTest::newRow("surplus entries are ignored") << 115 << 109;
    }

    void storedListIsReadInStages()
    {
        QFETCH(int, length);
        QFETCH(int, applied);
        Session s;
        s.open();
        const QStringList initial = s.shown();
        QCOMPARE(initial.size(), Entries);
        // Every entry differs from the window's initial state.
        QList<int> flipped, secondFlipped;
        for (int line = 1; line <= 17; ++line) {
            if (!s.editor->lineSwitch(line)->isChecked())
                flipped << line;
        }
        for (int line : {2, 5, 6, 14, 15, 16, 17}) {
            if (!s.editor->secondSwitch(line)->isChecked())
                secondFlipped << line;
        }
        QStringList list = stored(flipped, secondFlipped);
        while (list.size() < length)
            list << "Überschuss";
        s.put(list.mid(0, length));

        s.open();
        const QStringList now = s.shown();
        QCOMPARE(now.mid(0, applied), list.mid(0, applied));
        QCOMPARE(now.mid(applied), initial.mid(applied));
    }

    void savingWritesAll109Entries_data()
    {
        QTest::addColumn<QStringList>("record"); // empty: none stored
        QTest::newRow("fresh window") << QStringList{};
        QStringList odd = stored({1, 3, 14, 17}, {2, 6, 15});
        odd[3] = "abc";           // size that is no number
        odd[2] = "Keine Schrift"; // font that is not installed
        odd[10] = "dick";         // unknown style
        QTest::newRow("stored list comes back unchanged") << odd;
    }

    void savingWritesAll109Entries()
    {
        QFETCH(QStringList, record);
        Session s;
        if (!record.isEmpty())
            s.put(record);
        s.open();
        const QStringList before = s.shown();
        QTest::keyClick(s.editor.get(), Qt::Key_F5);
        QCOMPARE(s.editor->result(), int(QDialog::Accepted));
        const QStringList saved = s.installation.list(Kennung, OwnRnr, Printer).value();
        QCOMPARE(saved.size(), Entries);
        QCOMPARE(saved, record.isEmpty() ? before : record);
        if (record.isEmpty()) // the initial text is 150 letters x
            QCOMPARE(saved.at(1), QString(150, u'x'));
    }

    void previewDrawsSwitchedLinesInItemOrder_data()
    {
        QTest::addColumn<QList<int>>("on");
        QTest::addColumn<QList<int>>("secondOn");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("every line: 14..17 directly below line 2")
                << allLines() << QList<int>{}
                << QList<int>{1, 2, 14, 15, 16, 17, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
        QTest::newRow("line 1 off moves line 2 to the top")
                << QList<int>{2, 3, 13} << QList<int>{} << QList<int>{2, 3, 13};
        QTest::newRow("second switches do not matter")
                << QList<int>{2, 5, 15} << QList<int>{2, 5, 15} << QList<int>{2, 15, 5};
        QTest::newRow("all off: empty") << QList<int>{} << QList<int>{} << QList<int>{};
    }

    void previewDrawsSwitchedLinesInItemOrder()
    {
        QFETCH(QList<int>, on);
        QFETCH(QList<int>, secondOn);
        QFETCH(QList<int>, expected);
        Session s;
        s.put(stored(allLines()));
        s.open();
        const QList<int> itemOrder{1, 2, 14, 15, 16, 17, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
        QCOMPARE(s.previewed(), itemOrder);
        for (int line = 1; line <= 17; ++line) {
            s.editor->lineSwitch(line)->setChecked(on.contains(line));
            if (QCheckBox *second = s.editor->secondSwitch(line))
                second->setChecked(secondOn.contains(line));
        }
        QTest::mouseClick(s.find<QPushButton>("btnPreview"), Qt::LeftButton);
        QCOMPARE(s.previewed(), expected);
    }

    void fullScreenPreviewShowsTheLinesInDrawingOrder()
    {
        Session s;
        s.put(stored({1, 2, 3, 14}));
        s.open();
        QStringList texts{"<keine Vollbildanzeige>"};
        whenModal<TfrmPreview>([&](TfrmPreview *preview) {
            texts.clear();
            for (int k = 1; k <= TfrmPreview::SourceCount; ++k) {
                if (preview->label(k)->isVisibleTo(preview))
                    texts << preview->label(k)->text();
            }
        });
        QTest::mouseDClick(s.editor->previewLabel(1), Qt::LeftButton);
        QCOMPARE(texts, (QStringList{"L1", "L2", "L14", "L3"}));
    }

    void missingPageSetupAsksForThePaperWidth()
    {
        Session s;
        s.installation.host().layouts().remove({QStringLiteral("SEITEEIN"), 0, Printer});
        s.main.setWorkstation(OwnRnr);
        s.open();
        QCOMPARE(s.main.paperPrompts.value(0), Printer);
    }

    void presetIsKeptUnderItsOwnMask()
    {
        Session s;
        s.put(stored({4, 16}, {5}));
        s.open();
        QTest::mouseClick(s.find<QPushButton>("btnVorgabeSpeichern"), Qt::LeftButton);
        TOVOFormStore presets(s.installation.host().store());
        presets.SetMaske("LAYBONPO");
        QVERIFY(presets.restore(QString::number(OwnRnr), false)); // an office computer
        QCOMPARE(presets.LayOutListe, stored({4, 16}, {5}));
    }

    void enginePrintsTheLinesOfALineKind_data()
    {
        QTest::addColumn<QStringList>("record");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("expected");
        const QStringList all = stored(allLines(), {2, 14});
        QTest::newRow("article line in preview order")
                << all << "P" << QStringList{"L1", "L2", "L14", "L15", "L16", "L17"};
        QTest::newRow("no kind prints the article line")
                << all << "" << QStringList{"L1", "L2", "L14", "L15", "L16", "L17"};
        QTest::newRow("discount leaves out lines switched aus bei N/T/E/G")
                << all << "N" << QStringList{"L1", "L15", "L16", "L17", "L11"};
        QTest::newRow("replacement prints its own line")
                << all << "E" << QStringList{"L1", "L15", "L16", "L17", "L12"};
        QTest::newRow("reduction: the lines not printed per reason")
                << stored(allLines(), {6}) << "G" << QStringList{"L5"};
        QTest::newRow("one reduction reason: the lines Je Reduz.Grund")
                << stored(allLines(), {6}) << "R" << QStringList{"L6"};
        QTest::newRow("switched-off lines stay off") << stored({2, 3}) << "P" << QStringList{"L2"};
        QTest::newRow("total quantity") << all << "M" << QStringList{"L3", "L4"};
        QTest::newRow("79 entries know no lines 14..17")
                << all.mid(0, 79) << "P" << QStringList{"L1", "L2"};
        QTest::newRow("78 entries print nothing") << all.mid(0, 78) << "P" << QStringList{};
        QTest::newRow("unknown kind prints nothing") << all << "Q" << QStringList{};
    }

    void enginePrintsTheLinesOfALineKind()
    {
        QFETCH(QStringList, record);
        QFETCH(QString, kind);
        QFETCH(QStringList, expected);
        TestInstallation installation;
        installation.putList(Kennung, OwnRnr, Printer, record);
        FakeMainWindow main(installation, OwnRnr);
        TBonPrinter &engine = main.engine();
        engine.KT_DocBegin();
        engine.setLineKind(kind);
        QVERIFY(engine.KT_Print(QStringLiteral("KT_PrintBonPos")));
        QCOMPARE(engine.currentJob().texts(), expected);
        for (const JobItem &item : engine.currentJob().items) {
            QCOMPARE(item.fontName, QStringLiteral("Arial"));
            QCOMPARE(item.pointSize, 12);
            QVERIFY(item.bold);
            QCOMPARE(item.alignment, Qt::AlignRight);
        }
    }

    void itemLinesLeaveCurrency2Empty()
    {
        Session s;
        QStringList list = stored({1});
        list[1] = "#IstVkWH1# #WH1# = #WH2#";
        s.put(list);
        s.open();
        const QString text = s.editor->previewLabel(1)->text();
        QVERIFY2(text.endsWith(" EUR = "), qPrintable(text));
        s.main.engine().KT_DocBegin();
        s.main.engine().KT_Print(QStringLiteral("KT_PrintBonPos"));
        QCOMPARE(s.main.engine().currentJob().texts(), QStringList{text});
    }

    void screenshot()
    {
        Session s;
        s.put(stored({1, 2, 3, 5, 14}));
        s.open();
        QCOMPARE(QImage(saveScreenshot(s.editor.get(), "item-editor")).size(),
                 s.editor->size() * s.editor->devicePixelRatio());
    }
};

QTEST_MAIN(TestItemEditor)
#include "tst_itemeditor.moc"
