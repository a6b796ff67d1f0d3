#include "core/engine/bonprinter.h"
#include "core/model/hosttables.h"
#include "core/output/escpos.h"
#include "core/output/virtualprinter.h"
#include "editors/LayBonkopf.h"
#include "editors/linecountfield.h"
#include "shell/editorregistry.h"
#include "tests/support/editorsession.h"
#include "tests/support/guisupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <vector>

// The editors' live preview against what the till's printer makes of the same lines: in text
// mode the printer's cells, as the virtual printer reads the bytes of the section; in graphic
// mode running text broken as on paper. And the preview follows every change.
namespace {

constexpr int GraphicTill = 3; // "Kasse 3" of the demo shop
constexpr int TextTill = 4;    // "Kasse 4"
constexpr int ReceiptType = 13;

TestInstallation::Options demoShop()
{
    return TestInstallation::Options{};
}

class HeaderSession : public EditorSession<TfrmLayBonkopf>
{
public:
    explicit HeaderSession(int till)
        : EditorSession(demoShop())
    {
        main.setWorkstation(till);
    }
    TfrmLayBonkopf &open()
    {
        auto window = std::make_unique<TfrmLayBonkopf>();
        window->setDocumentType(ReceiptType);
        return show(std::move(window));
    }
    QLineEdit *text(int line) const { return find<QLineEdit>("edtTxtZeile", line); }
    // Printed rows of a preview label, as it keeps them beside its picture.
    QStringList rows(int line) const
    {
        return editor->previewLabel(line)->accessibleName().split(u'\n');
    }
    // Waits for the preview's pause after a change to pass.
    void letPreviewFollow() const { QTest::qWait(LayoutEditorPause + 150); }
    static constexpr int LayoutEditorPause = 400;
};

// What the printer prints of the till's receipt header: the engine prints the section, the
// encoder makes the bytes, the virtual printer reads them back.
QStringList printedHeaderRows(TBonPrinter &engine)
{
    engine.Refresh();
    engine.KT_DocBegin();
    if (!engine.KT_Print(QStringLiteral("KT_PrintBonKopf")))
        return {QStringLiteral("(nicht gedruckt)")};
    const PrintJob &job = engine.currentJob();
    const EscPosSettings settings = engine.output().escPosSettings(job);
    VirtualEscPosPrinter printer(settings.dotWidth);
    printer.feed(EscPosEncoder(engine.printerRecord(), settings).encode(job).bytes);
    return printer.lines();
}

} // namespace

class TestLinePreview : public QObject
{
    Q_OBJECT

private slots:
    void textModePreviewShowsThePrintersRows()
    {
        HeaderSession s(TextTill);
        QCOMPARE(s.main.engine().Kasso_Typ_Get_Modus(), QStringLiteral("T"));
        s.open();
        // A line longer than the printer's line: the printer breaks it, nothing is lost.
        s.text(2)->setFocus();
        s.text(2)->selectAll();
        QTest::keyClicks(s.text(2), QString(120, u'W') + QStringLiteral(" Ende"));
        s.letPreviewFollow();

        QStringList previewed;
        for (const QLabel *label : s.shownPreviewLabels()) {
            // Pictures of the printer's dots, as wide as the paper on screen, never red.
            QVERIFY(!label->pixmap().isNull());
            QCOMPARE(label->width(), s.editor->printableWidth());
            QVERIFY2(label->toolTip().isEmpty(), qPrintable(label->toolTip()));
            previewed += label->accessibleName().split(u'\n');
        }
        const QStringList long2 = s.rows(2);
        QVERIFY2(long2.size() >= 3, qPrintable(long2.join(u'|')));
        QCOMPARE(long2.join(QString()).remove(u' '), QString(120, u'W') + QStringLiteral("Ende"));

        // Saved and printed, the section comes out row for row as the preview showed it.
        QTest::keyClick(s.editor.get(), Qt::Key_F5);
        QVERIFY(s.editor->isHidden());
        QCOMPARE(printedHeaderRows(s.main.engine()), previewed);
    }

    void textModeMarksWhatTheCodePageCannotPrint()
    {
        HeaderSession s(TextTill);
        s.open();
        s.text(1)->setFocus();
        s.text(1)->selectAll();
        QTest::keyClicks(s.text(1), QStringLiteral("Preis 5 "));
        // Keys beyond Latin-1, as a keyboard layout delivers them.
        for (const QString &typed : {QStringLiteral("€"), QStringLiteral(" "), QStringLiteral("☃")})
            QTest::sendKeyEvent(QTest::Click, s.text(1), Qt::Key_unknown, typed, Qt::NoModifier);
        s.letPreviewFollow();
        const QLabel *label = s.editor->previewLabel(1);
        QVERIFY2(label->toolTip().contains(QStringLiteral("☃")), qPrintable(label->toolTip()));
        QVERIFY(!label->toolTip().contains(QStringLiteral("€")));
        QCOMPARE(label->frameShape(), QFrame::Box);
        QCOMPARE(s.rows(1).constFirst(), QStringLiteral("Preis 5 € ?"));
    }

    void barcodeShowsWhatThePrinterMakesOfIt()
    {
        // The thermal printer of the text-mode till sets the barcode by its own command.
        HeaderSession thermal(TextTill);
        thermal.open();
        thermal.text(1)->setFocus();
        thermal.text(1)->selectAll();
        QTest::keyClicks(thermal.text(1), QStringLiteral("#BonNrBarcode#"));
        thermal.letPreviewFollow();
        QVERIFY2(thermal.rows(1).constFirst().startsWith(QStringLiteral("[Barcode ")),
                 qPrintable(thermal.rows(1).join(u'|')));
        QVERIFY(!thermal.text(1)->font().strikeOut());

        // An impact printer has no barcodes: the preview shows the digits it prints, the
        // designed line is struck through and says why.
        HeaderSession impact(TextTill);
        impact.installation.givePrinter(TextTill, QStringLiteral("TM-U200BT"));
        impact.main.setWorkstation(TextTill);
        QVERIFY(!impact.main.engine().capabilities().canBarcode());
        impact.open();
        // A printer without designs of its own: one line of text.
        auto *textSwitch = impact.find<QCheckBox>("chbText");
        if (!textSwitch->isChecked())
            QTest::mouseClick(textSwitch, Qt::LeftButton, {}, QPoint(4, textSwitch->height() / 2));
        auto *count = impact.editor->findChild<LineCountField *>();
        count->setFocus();
        count->selectAll();
        QTest::keyClicks(count, QStringLiteral("1"));
        QTest::keyClick(count, Qt::Key_Tab);
        impact.text(1)->setFocus();
        impact.text(1)->selectAll();
        QTest::keyClicks(impact.text(1), QStringLiteral("#BonNrBarcode#"));
        impact.letPreviewFollow();
        QVERIFY(!impact.editor->previewLabel(1)->isHidden());
        const QString printed = impact.rows(1).join(QString());
        QVERIFY2(!printed.contains(u'[') && printed.trimmed().toLongLong() > 0,
                 qPrintable(printed));
        QVERIFY(impact.text(1)->font().strikeOut());
        QVERIFY(impact.text(1)->toolTip().contains(QStringLiteral("keine Barcodes")));
        QVERIFY(impact.editor->previewLabel(1)->toolTip().contains(QStringLiteral("Ziffern")));
    }

    void graphicModeMarksOnlyLinesThePaperCuts()
    {
        HeaderSession s(GraphicTill);
        QCOMPARE(s.main.engine().Kasso_Typ_Get_Modus(), QStringLiteral("G"));
        s.open();
        s.text(1)->setFocus();
        s.text(1)->selectAll();
        QTest::keyClicks(s.text(1), QString(90, u'M'));
        s.text(2)->setFocus();
        s.text(2)->selectAll();
        QTest::keyClicks(s.text(2), QStringLiteral("#KndAlles#"));
        s.letPreviewFollow();

        const QLabel *cut = s.editor->previewLabel(1);
        QVERIFY(cut->toolTip().contains(QStringLiteral("breiter als das Papier")));
        QCOMPARE(cut->palette().color(QPalette::WindowText), QColor(0xc0, 0x10, 0x10));
        // Running text is broken onto rows as the engine breaks it, and is not red.
        const QLabel *running = s.editor->previewLabel(2);
        QVERIFY(running->toolTip().isEmpty());
        QVERIFY2(s.rows(2).size() > 1, qPrintable(s.rows(2).join(u'|')));
        QVERIFY(s.rows(2).join(u' ').startsWith(QStringLiteral("Lindenhof Sportartikel")));
        QVERIFY(running->height() > 2 * QFontMetrics(running->font()).height());
    }

    void previewFollowsPlaceholdersSwitchesAndCounts()
    {
        HeaderSession s(GraphicTill);
        s.open();
        // A placeholder inserted as the picker inserts it.
        s.text(1)->setFocus();
        s.text(1)->setCursorPosition(0);
        s.editor->InsertPlatzhalter(QStringLiteral("#Datum# "));
        s.letPreviewFollow();
        QVERIFY2(!s.rows(1).constFirst().contains(u'#'), qPrintable(s.rows(1).join(u'|')));
        QCOMPARE(s.rows(1).constFirst(), s.main.engine().Replace_All(s.text(1)->text(), false));

        // The count of lines: one line fewer shown without pressing a button.
        const int before = int(s.shownPreviewLabels().size());
        auto *count = s.editor->findChild<LineCountField *>();
        QVERIFY(count);
        count->setFocus();
        count->selectAll();
        QTest::keyClicks(count, QString::number(count->text().toInt() - 1));
        QTest::keyClick(count, Qt::Key_Tab);
        s.letPreviewFollow();
        QCOMPARE(int(s.shownPreviewLabels().size()), before - 1);

        // Switching the text off leaves only the logo.
        auto *textSwitch = s.find<QCheckBox>("chbText");
        QTest::mouseClick(textSwitch, Qt::LeftButton, {}, QPoint(4, textSwitch->height() / 2));
        QVERIFY(!textSwitch->isChecked());
        s.letPreviewFollow();
        QVERIFY(s.shownPreviewLabels().isEmpty());
    }

    // The demo shop's designs print whole on both tills, so no editor shows a line of them red:
    // every header and every editor with lines of its own, on the graphic and the text-mode till.
    void demoDesignsShowNoLineRed()
    {
        EditorRegistry registry;
        registerBuiltInEditors(registry);
        for (const int till : {GraphicTill, TextTill}) {
            TestInstallation installation(demoShop());
            FakeMainWindow main(installation, till);
            std::vector<std::unique_ptr<TOVOForm>> windows;
            for (int type = 1; type <= DocumentTypeCount; ++type)
                windows.push_back(registry.headerEditor()(nullptr, type));
            for (const QString &name : registry.classNames())
                windows.push_back(registry.editor(name)(nullptr));
            int lines = 0;
            QStringList red;
            for (const std::unique_ptr<TOVOForm> &window : windows) {
                window->show();
                auto *editor = qobject_cast<LayoutEditor *>(window.get());
                QVERIFY(editor);
                for (int n = 1; n <= editor->previewLabelCount(); ++n) {
                    const QLabel *label = editor->previewLabel(n);
                    if (label->isHidden())
                        continue;
                    ++lines;
                    if (!label->toolTip().isEmpty())
                        red << QStringLiteral("%1 %2 (%3): %4")
                                        .arg(editor->Kennung())
                                        .arg(n)
                                        .arg(label->accessibleName(), label->toolTip());
                }
                window->close();
            }
            qInfo("till %d: %d preview lines, %d red", till, lines, int(red.size()));
            QVERIFY(lines > 100);
            QVERIFY2(red.isEmpty(), qPrintable(red.join(u'\n')));
        }
    }
};

QTEST_MAIN(TestLinePreview)
#include "tst_linepreview.moc"
