#include "core/app/host.h"
#include "core/engine/bonprinter.h"
#include "core/store/workstationtable.h"
#include "editors/LayBonkopf.h"
#include "editors/LayBonpos.h"
#include "settings/frmsettingsu.h"
#include "tests/support/editorsession.h"
#include "tests/support/guisupport.h"
#include "widgets/helpwindow.h"
#include "widgets/inputhistory.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>

// Working in a window as people expect: undo and redo over every kind of input, the guide at
// the window's own chapter on F1, Esc on an open list closing only the list, and a save that
// says what it wrote.
namespace {

constexpr int Till = 3;

class HeaderSession : public EditorSession<TfrmLayBonkopf>
{
public:
    HeaderSession()
        : EditorSession(TestInstallation::Options{})
    {
        main.setWorkstation(Till);
    }
    TfrmLayBonkopf &open()
    {
        auto window = std::make_unique<TfrmLayBonkopf>();
        window->setDocumentType(13);
        return show(std::move(window));
    }
    QLineEdit *text(int line) const { return find<QLineEdit>("edtTxtZeile", line); }
    QComboBox *style(int line) const { return find<QComboBox>("cmbSchriftStil", line); }
    // Lets a change settle into a step of its own and the preview follow it.
    static void pause() { QTest::qWait(InputHistory::PauseMs + 150); }
};

HelpWindow *openHelp()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *help = qobject_cast<HelpWindow *>(w); help && help->isVisible())
            return help;
    }
    return nullptr;
}

QString chapterShown(const HelpWindow *help)
{
    return help->browser()->textCursor().block().text();
}

} // namespace

class TestWindowWork : public QObject
{
    Q_OBJECT

private slots:
    void undoAndRedoOverTextListsAndSwitches()
    {
        HeaderSession s;
        s.open();
        const QStringList opened = s.shown();
        const QString text = s.text(2)->text();
        const QString style = s.style(2)->currentText();

        // Typing, a style chosen from its list, the text switched off: three steps.
        s.text(2)->setFocus();
        s.text(2)->end(false);
        QTest::keyClicks(s.text(2), QStringLiteral(" am Markt"));
        s.pause();
        s.style(2)->setFocus();
        QTest::keyClick(s.style(2), Qt::Key_Down);
        QVERIFY(s.style(2)->currentText() != style);
        s.pause();
        auto *textSwitch = s.find<QCheckBox>("chbText");
        QTest::mouseClick(textSwitch, Qt::LeftButton, {}, QPoint(4, textSwitch->height() / 2));
        QVERIFY(!textSwitch->isChecked());
        s.pause();

        QTest::keyClick(s.editor.get(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(textSwitch->isChecked());
        QTest::keyClick(s.editor.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(s.style(2)->currentText(), style);
        // In an entry field Ctrl+Z is the window's too, not only the field's typing.
        s.text(2)->setFocus();
        QTest::keyClick(s.text(2), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(s.text(2)->text(), text);
        QCOMPARE(s.shown(), opened);
        QVERIFY(!s.editor->undoAction()->isEnabled());
        s.pause();
        QCOMPARE(s.editor->previewLabel(2)->accessibleName(),
                 s.main.engine().Replace_All(text, false));

        // Redo by both keys, and through the preview's menu.
        QTest::keyClick(s.text(2), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(s.text(2)->text(), text + QStringLiteral(" am Markt"));
        QTest::keyClick(s.editor.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(s.style(2)->currentText() != style);
        s.editor->redoAction()->trigger();
        QVERIFY(!textSwitch->isChecked());
        QVERIFY(!s.editor->redoAction()->isEnabled());

        // Undone to what was loaded, closing asks nothing.
        for (int i = 0; i < 3; ++i)
            s.editor->undoAction()->trigger();
        QCOMPARE(s.shown(), opened);
        const int questions = int(s.installation.messages().count());
        QTest::keyClick(s.editor.get(), Qt::Key_Escape);
        QVERIFY(s.editor->isHidden());
        QCOMPARE(int(s.installation.messages().count()), questions);
    }

    void f1OpensTheGuideAtTheWindowsChapter()
    {
        QVERIFY2(!HelpWindow::guidePath().isEmpty(), "the user guide is not found");
        HeaderSession s;
        s.open();
        QTest::keyClick(s.editor.get(), Qt::Key_F1);
        HelpWindow *help = openHelp();
        QVERIFY(help);
        QVERIFY2(chapterShown(help).startsWith(QStringLiteral("3. ")),
                 qPrintable(chapterShown(help)));
        // The guide's pictures come along.
        QVERIFY(!help->browser()
                         ->loadResource(QTextDocument::ImageResource,
                                        QUrl(QStringLiteral("images/header-editor.png")))
                         .isNull());
        help->close();

        // The item editor's "Hilfe" button: the chapter on item lines.
        auto item = std::make_unique<TfrmLayBonPos>();
        item->show();
        QVERIFY(QTest::qWaitForWindowExposed(item.get()));
        QTest::mouseClick(item->findChild<QPushButton *>(QStringLiteral("btnHilfe")),
                          Qt::LeftButton);
        help = openHelp();
        QVERIFY(help);
        QVERIFY2(chapterShown(help).startsWith(QStringLiteral("4. ")),
                 qPrintable(chapterShown(help)));
        help->close();
        item->close();
    }

    void escOnAnOpenListClosesOnlyTheList()
    {
        TestInstallation installation;
        FakeMainWindow main(installation, Till);
        TfrmSettings window;
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QComboBox *list = nullptr;
        for (QComboBox *candidate : window.findChildren<QComboBox *>()) {
            if (candidate->isVisible() && candidate->isEnabled()) {
                list = candidate;
                break;
            }
        }
        QVERIFY(list);
        list->setFocus();
        list->showPopup();
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QVERIFY(window.isVisible());
        // The next Esc is the window's.
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    }

    void saveSaysWhatItWrote()
    {
        HeaderSession s;
        s.open();
        // The editor names the till and the printer it designs for.
        const QString target = s.find<QLabel>("lblRechnerDrucker")->text();
        const QString till =
                RVRTab::displayName(s.installation.host().workstations().GetRNrUmfang(Till));
        const QString printer = s.main.engine().Kasso_Typ_Get_LayoutPrinterKey();
        QVERIFY2(target.startsWith(till) && target.contains(QStringLiteral("Drucker ") + printer),
                 qPrintable(target));
        QTest::keyClicks(s.text(1), QStringLiteral("!"));
        QTest::keyClick(s.editor.get(), Qt::Key_F5);
        QVERIFY(s.editor->isHidden());
        QCOMPARE(s.main.statusTexts.size(), 1);
        const QString said = s.main.statusTexts.constFirst();
        QVERIFY2(said.startsWith(QStringLiteral("Gebucht: "))
                         && said.contains(QStringLiteral("Kasse 3")),
                 qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("BONKOPF")), qPrintable(said));
    }
};

QTEST_MAIN(TestWindowWork)
#include "tst_windowwork.moc"
