#include "core/sections/bonsummeformat.h"
#include "editors/LayBonsumme.h"
#include "preview/Preview.h"
#include "tests/support/editorsession.h"
#include "tests/support/guisupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QString Printer = QStringLiteral("TM-T88");
const QString Kennung = QStringLiteral("BONSUMME");
constexpr int OwnRnr = 3;
constexpr int Entries = 169;

QStringList lineGroup(const QString &head, int line)
{
    return {head, QStringLiteral("L%1").arg(line), "Arial", "12", "kursiv", "links"};
}

// A stored list whose line texts are "L<n>": heads of lines 1..12 from `on`, of lines 13..18
// from `bank` (two characters each), the bonus flag, and the conditions of lines 19..28.
QStringList stored(const QList<int> &on, const QStringList &bank = {}, const QString &bonus = "0",
                   const QList<int> &conditions = {})
{
    QStringList list;
    for (int line = 1; line <= 12; ++line)
        list += lineGroup(on.contains(line) ? "1" : "0", line);
    for (int line = 13; line <= 18; ++line)
        list += lineGroup(bank.value(line - 13, "00"), line);
    list << bonus;
    for (int line = 19; line <= 28; ++line)
        list += lineGroup(QString::number(conditions.value(line - 19, 0)), line);
    return list;
}

QList<int> range(int from, int to)
{
    QList<int> lines;
    for (int line = from; line <= to; ++line)
        lines << line;
    return lines;
}

class Session : public EditorSession<TfrmLayBonSum>
{
public:
    TfrmLayBonSum &open() { return show(std::make_unique<TfrmLayBonSum>()); }
    // Line numbers of the preview labels shown, top to bottom.
    QList<int> previewed() const
    {
        QList<int> lines;
        for (const QLabel *label : shownPreviewLabels())
            lines << label->text().mid(1).toInt();
        return lines;
    }
    void refresh() const
    {
        QTest::mouseClick(editor->findChild<QPushButton *>("btnPreview"), Qt::LeftButton);
    }
    void put(const QStringList &list) { installation.putList(Kennung, OwnRnr, Printer, list); }
};

} // namespace

class TestSumEditor : public QObject
{
    Q_OBJECT

private slots:
    void storedListIsReadInStages_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("applied");
        QTest::newRow("71 entries are ignored") << 71 << 0;
        QTest::newRow("72: lines 1..12") << 72 << 72;
        QTest::newRow("107 stays at lines 1..12") << 107 << 72;
        QTest::newRow("108: also the bank lines") << 108 << 108;
        QTest::newRow("109: also chbBoniSummiert") << 109 << 109;
        QTest::newRow("168: not yet the conditions") << 168 << 109;
        QTest::newRow("169: everything") << 169 << 169;
    }

    void storedListIsReadInStages()
    {
        QFETCH(int, length);
        QFETCH(int, applied);
        Session s;
        s.open();
        const QStringList initial = s.shown();
        QCOMPARE(initial.size(), Entries);
        QList<int> flipped;
        for (int line = 1; line <= 12; ++line) {
            if (!s.editor->lineSwitch(line)->isChecked())
                flipped << line;
        }
        const QStringList list = stored(flipped, {"11", "10", "01", "11", "10", "01"}, "1",
                                        {1, 2, 3, 4, 5, 6, 1, 2, 3, 4});
        s.put(list.mid(0, length));

        s.open();
        const QStringList now = s.shown();
        QCOMPARE(now.mid(0, applied), list.mid(0, applied));
        QCOMPARE(now.mid(applied), initial.mid(applied));
    }

    void bankLineHeadKeepsBothSwitches_data()
    {
        QTest::addColumn<QString>("head");
        QTest::addColumn<bool>("printed");
        QTest::addColumn<bool>("eachTransfer");
        QTest::newRow("11") << "11" << true << true;
        QTest::newRow("10") << "10" << true << false;
        QTest::newRow("01: only for each transfer") << "01" << false << true;
        QTest::newRow("00") << "00" << false << false;
        // Both switches were ticked by the list loaded first.
        QTest::newRow("anything else leaves both unchanged") << "1" << true << true;
        QTest::newRow("J1 as well") << "J1" << true << true;
    }

    void bankLineHeadKeepsBothSwitches()
    {
        QFETCH(QString, head);
        QFETCH(bool, printed);
        QFETCH(bool, eachTransfer);
        Session s;
        s.put(stored({}, {"11"}));
        s.open();
        s.editor->Einstellungen_MaskeSchreiben(stored({}, {head}));
        QCOMPARE(s.editor->lineSwitch(13)->isChecked(), printed);
        QCOMPARE(s.editor->secondSwitch(13)->isChecked(), eachTransfer);
        QCOMPARE(s.shown().at(72), QString(printed ? u'1' : u'0') + (eachTransfer ? u'1' : u'0'));
    }

    void savingWritesAll169Entries_data()
    {
        QTest::addColumn<QStringList>("record"); // empty: none stored
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("fresh window: conditions 0") << QStringList{} << QStringList{};
        const QStringList varied = stored({1, 4, 11}, {"01", "10", "11", "00", "01", "10"}, "1",
                                          {6, 0, 1, 2, 3, 4, 5, 6, 0, 1});
        QTest::newRow("stored list comes back unchanged") << varied << varied;
        QStringList garbage = varied;
        garbage[109] = "abc"; // condition of line 19
        garbage[115] = "99";  // condition of line 20
        QStringList repaired = varied;
        repaired[109] = "0";
        repaired[115] = "0";
        QTest::newRow("unreadable condition is saved as 0") << garbage << repaired;
    }

    void savingWritesAll169Entries()
    {
        QFETCH(QStringList, record);
        QFETCH(QStringList, expected);
        Session s;
        if (!record.isEmpty())
            s.put(record);
        s.open();
        const QStringList before = s.shown();
        QTest::keyClick(s.editor.get(), Qt::Key_F5);
        QCOMPARE(s.editor->result(), int(QDialog::Accepted));
        const QStringList saved = s.installation.list(Kennung, OwnRnr, Printer).value();
        QCOMPARE(saved.size(), Entries);
        QCOMPARE(saved, expected.isEmpty() ? before : expected);
        if (record.isEmpty()) {
            for (int line = 19; line <= 28; ++line)
                QCOMPARE(saved.at(109 + 6 * (line - 19)), QStringLiteral("0"));
        }
    }

    void previewDrawsDiscountFirstAndProCampaignByCondition_data()
    {
        QTest::addColumn<QList<int>>("on");
        QTest::addColumn<QStringList>("bank");
        QTest::addColumn<QList<int>>("conditions");
        QTest::addColumn<int>("state");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("discount above the total") << QList<int>{1, 3, 11, 12} << QStringList{}
                                                  << QList<int>{} << 0 << QList<int>{11, 12, 1, 3};
        QTest::newRow("bank line drawn by its first switch only")
                << QList<int>{2} << QStringList{"01", "10"} << QList<int>{} << 0
                << QList<int>{2, 14};
        QTest::newRow("condition never, always, registered; customer registered")
                << QList<int>{} << QStringList{} << QList<int>{0, 1, 3} << 1 << QList<int>{20, 21};
        QTest::newRow("same conditions, customer without card")
                << QList<int>{} << QStringList{} << QList<int>{0, 1, 3} << 0 << QList<int>{20};
        QTest::newRow("without card: the lines for customers without card")
                << QList<int>{5} << QStringList{} << QList<int>{5, 2, 5} << 0
                << QList<int>{5, 19, 21};
    }

    void previewDrawsDiscountFirstAndProCampaignByCondition()
    {
        QFETCH(QList<int>, on);
        QFETCH(QStringList, bank);
        QFETCH(QList<int>, conditions);
        QFETCH(int, state);
        QFETCH(QList<int>, expected);
        Session s;
        s.put(stored(on, bank, "0", conditions));
        s.open();
        s.editor->previewState()->setCurrentIndex(state);
        s.refresh();
        QCOMPARE(s.previewed(), expected);
        // The preview state is not stored.
        QCOMPARE(s.shown(), stored(on, bank, "0", conditions));
    }

    void fullScreenPreviewHandsOverTheFirst25LinesShown()
    {
        Session s;
        s.put(stored(range(1, 12), {"10", "10", "10", "10", "10", "10"}, "0",
                     QList<int>(10, 1))); // all 28 lines shown
        s.open();
        QCOMPARE(s.previewed().size(), 28);
        QStringList texts{"<keine Vollbildanzeige>"};
        whenModal<TfrmPreview>([&](TfrmPreview *preview) {
            texts.clear();
            for (int k = 1; k <= TfrmPreview::SourceCount; ++k)
                texts << preview->label(k)->text();
        });
        QTest::mouseDClick(s.editor->previewLabel(1), Qt::LeftButton);
        QStringList expected{"L11", "L12"};
        for (int line : range(1, 10) + range(13, 25))
            expected << QStringLiteral("L%1").arg(line);
        QCOMPARE(texts, expected);
    }

    void proCampaignParameterSwitchesTheControls_data()
    {
        QTest::addColumn<QString>("parameter"); // empty: not set
        QTest::addColumn<bool>("enabled");
        QTest::newRow("J") << "J" << true;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("N") << "N" << false;
        QTest::newRow("not set") << "" << false;
        QTest::newRow("unreadable") << "vielleicht" << false;
    }

    void proCampaignParameterSwitchesTheControls()
    {
        QFETCH(QString, parameter);
        QFETCH(bool, enabled);
        Session s;
        if (!parameter.isEmpty())
            s.installation.host().parameters().StringParamWrite("PROCAMPA", parameter, OwnRnr);
        const QStringList list = stored({}, {}, "0", {6, 5, 4, 3, 2, 1, 0, 1, 2, 3});
        s.put(list);
        s.open();
        for (int line = 19; line <= 28; ++line)
            QCOMPARE(s.editor->line(line)->isEnabled(), enabled);
        QCOMPARE(s.editor->previewState()->isEnabled(), enabled);
        QCOMPARE(s.editor->findChild<QLabel *>("alblVorschaumodusFuerProCampaign")->isEnabled(),
                 enabled);
        QCOMPARE(s.editor->condition(19)->count(), ProCampaignConditionCount);
        QCOMPARE(s.editor->previewState()->count(), ProCampaignStateCount);
        // Switched off or not, the conditions are loaded and saved.
        QCOMPARE(s.editor->condition(19)->currentIndex(), 6);
        QTest::keyClick(s.editor.get(), Qt::Key_F5);
        QCOMPARE(s.installation.list(Kennung, OwnRnr, Printer).value(), list);
    }

    void enginePrintsTheLinesOfALineKind_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("customerState"); // document field ProCaStatus
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("total: discount first") << "S"
                                               << "" << QStringList{"L11", "L1", "L2"};
        QTest::newRow("no kind prints the total") << ""
                                                  << "" << QStringList{"L11", "L1", "L2"};
        QTest::newRow("tax, its second line off") << "U"
                                                  << "" << QStringList{"L3"};
        QTest::newRow("change") << "R"
                                << "" << QStringList{"L9", "L10"};
        QTest::newRow("bank details once") << "B"
                                           << "" << QStringList{"L14"};
        QTest::newRow("each bank transfer; 01 prints nowhere") << "V"
                                                               << "" << QStringList{"L13"};
        QTest::newRow("ProCampaign, customer registered")
                << "P"
                << "1" << QStringList{"L19", "L20", "L22"};
        QTest::newRow("ProCampaign, no customer state") << "P"
                                                        << "" << QStringList{"L19", "L21"};
        QTest::newRow("ProCampaign, state beyond the table") << "P"
                                                             << "9" << QStringList{};
    }

    void enginePrintsTheLinesOfALineKind()
    {
        QFETCH(QString, kind);
        QFETCH(QString, customerState);
        QFETCH(QStringList, expected);
        TestInstallation installation;
        // Bank lines 13..16: "11", "10", "01", garbage; conditions: always, registered,
        // without card, card holder.
        installation.putList(Kennung, OwnRnr, Printer,
                             stored({1, 2, 3, 5, 6, 7, 8, 9, 10, 11},
                                    {"11", "10", "01", "J1", "00", "00"}, "0", {1, 3, 5, 2}));
        FakeMainWindow main(installation, OwnRnr);
        TBonPrinter &engine = main.engine();
        engine.document().setText("ProCaStatus", customerState);
        engine.KT_DocBegin();
        engine.setLineKind(kind);
        QVERIFY(engine.KT_Print(QStringLiteral("KT_PrintBonSum")));
        QCOMPARE(engine.currentJob().texts(), expected);
        for (const JobItem &item : engine.currentJob().items)
            QVERIFY(item.italic && !item.bold && item.pointSize == 12);
    }

    void sumsShowCurrency2InPreviewAndPrint()
    {
        Session s;
        QStringList list = stored({11});
        list[6 * 10 + 1] = "#ZSummeWH1# #WH1# = #WH2#";
        s.put(list);
        s.open();
        const QString text = s.editor->previewLabel(11)->text();
        QVERIFY2(text.endsWith("= CHF"), qPrintable(text));
        s.main.engine().KT_DocBegin();
        s.main.engine().KT_Print(QStringLiteral("KT_PrintBonSum"));
        QCOMPARE(s.main.engine().currentJob().texts(), QStringList{text});
    }

    void screenshot()
    {
        Session s;
        s.installation.host().parameters().StringParamWrite("PROCAMPA", "J", OwnRnr);
        s.put(stored({1, 2, 3, 5, 7, 9, 11}, {"10"}, "1", {1}));
        s.open();
        QCOMPARE(QImage(saveScreenshot(s.editor.get(), "sum-editor")).size(),
                 s.editor->size() * s.editor->devicePixelRatio());
    }
};

QTEST_MAIN(TestSumEditor)
#include "tst_sumeditor.moc"
