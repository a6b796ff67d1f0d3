#include "core/model/hosttables.h"
#include "editors/LayBonkopf.h"
#include "editors/LayBonpos.h"
#include "editors/LayBonueber.h"
#include "placeholders/Platzhalter.h"
#include "settings/SeiteEinr.h"
#include "settings/allgeinstellungenfrm.h"
#include "settings/allgtreiber.h"
#include "settings/frmsettingsu.h"
#include "shell/kassotypu.h"
#include "shell/testdruckanzeige.h"
#include "tests/support/guisupport.h"
#include "widgets/buttonmenu.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>
#include <vector>

namespace {

// Clicks and keys go through the window system as a person's do: to the window, which delivers
// them to the widget under the pointer or with the focus, unless a modal window blocks it.
void click(QWidget *widget, QPoint at = {}, bool twice = false)
{
    if (at.isNull())
        at = widget->rect().center();
    QWindow *window = widget->window()->windowHandle();
    const QPoint inWindow = widget->mapTo(widget->window(), at);
    QTest::mouseClick(window, Qt::LeftButton, {}, inWindow);
    if (twice)
        QTest::mouseDClick(window, Qt::LeftButton, {}, inWindow);
}

void press(QWidget *widget, Qt::Key key)
{
    QTest::keyClick(widget->window()->windowHandle(), key);
}

} // namespace

// Windows as a person uses them together: an editor running modally with the picker beside it.
class TestWindowsTogether : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void pickerHandsTheTokenToTheModalEditor_data();
    void pickerHandsTheTokenToTheModalEditor();
    void escapeHidesThePickerAndTheEditorGoesOn();
    void pickerOutlivesTheEditorThatHeldIt();
    void closingAnEditedEditorAsksOnce_data();
    void closingAnEditedEditorAsksOnce();
    void tabGoesThroughTheLinesInOrder();
    void newLinesShowTheFontTheyPrintWith();
    void settingsWindowsNameTheirWorkstation();
    void previewFollowsTyping();
    void testPrintSaysWhereItWent();
    void failedTestPrintShowsTheErrorAndNoPicture();

private:
    std::unique_ptr<LayoutEditor> createEditor(const QString &kind) const;
    QTableView *grid() const
    {
        return m_picker->findChild<QTableView *>(QStringLiteral("vtvrPlatzhalter"));
    }
    QModelIndex rowOf(const QString &token) const;
    // Puts the caret at the end of the editor's first text line and asks for the picker as
    // the user does: a click on "Platzhalter...".
    QLineEdit *openPickerFrom(LayoutEditor *editor, const QString &text) const;

    std::unique_ptr<TestInstallation> m_installation;
    std::unique_ptr<FakeMainWindow> m_main;
    std::unique_ptr<TfrmPlatzhalter> m_picker;
};

void TestWindowsTogether::init()
{
    m_installation = std::make_unique<TestInstallation>();
    m_main = std::make_unique<FakeMainWindow>(*m_installation, 3);
    m_picker = std::make_unique<TfrmPlatzhalter>();
    m_main->picker = m_picker.get();
}

void TestWindowsTogether::cleanup()
{
    m_picker.reset();
    m_main.reset();
    m_installation.reset();
}

std::unique_ptr<LayoutEditor> TestWindowsTogether::createEditor(const QString &kind) const
{
    if (kind == QLatin1String("Kopf")) {
        auto header = std::make_unique<TfrmLayBonkopf>();
        header->setDocumentType(13);
        return header;
    }
    if (kind == QLatin1String("Überschrift")) {
        auto heading = std::make_unique<TfrmLayBonueber>();
        heading->setSectionCode(3);
        return heading;
    }
    return std::make_unique<TfrmLayBonPos>();
}

QModelIndex TestWindowsTogether::rowOf(const QString &token) const
{
    QAbstractItemModel *model = grid()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 1).data().toString() == token)
            return model->index(row, 1);
    }
    return {};
}

QLineEdit *TestWindowsTogether::openPickerFrom(LayoutEditor *editor, const QString &text) const
{
    auto *line = editor->findChild<QLineEdit *>(QStringLiteral("edtTxtZeile1"));
    line->setText(text);
    // Near its start: on a small screen the line may reach beyond the visible area.
    click(line, QPoint(10, line->height() / 2));
    line->end(false);
    click(editor->findChild<QPushButton *>(QStringLiteral("btnPlatzhalter")));
    return line;
}

void TestWindowsTogether::pickerHandsTheTokenToTheModalEditor_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<bool>("byKey"); // Enter on the chosen row instead of a double click
    for (const char *editor : {"Kopf", "Überschrift", "Positionen"}) {
        QTest::addRow("%s, double click", editor) << QString::fromUtf8(editor) << false;
        QTest::addRow("%s, Enter", editor) << QString::fromUtf8(editor) << true;
    }
}

void TestWindowsTogether::pickerHandsTheTokenToTheModalEditor()
{
    QFETCH(QString, editor);
    QFETCH(bool, byKey);
    std::unique_ptr<LayoutEditor> window = createEditor(editor);
    QString inserted;
    bool pickerShown = false;
    bool pickerAboveTheEditor = false;
    bool pickerBeside = false;
    whenModal<LayoutEditor>([&](LayoutEditor *modal) {
        QLineEdit *line = openPickerFrom(modal, QStringLiteral("Filiale "));
        pickerShown = QTest::qWaitForWindowExposed(m_picker.get());
        pickerAboveTheEditor =
                m_picker->windowHandle()
                && m_picker->windowHandle()->transientParent() == modal->windowHandle();
        pickerBeside = !m_picker->frameGeometry().intersects(modal->frameGeometry())
                       || modal->frameGeometry().width() + m_picker->frameGeometry().width()
                                  > m_picker->screen()->availableGeometry().width();
        // On a real screen: the picture a person sees, editor and picker side by side.
        if (QGuiApplication::platformName() == QLatin1String("xcb") && !byKey) {
            const QRect both = modal->frameGeometry().united(m_picker->frameGeometry());
            QGuiApplication::primaryScreen()
                    ->grabWindow(0, both.x(), both.y(), both.width(), both.height())
                    .save(QStringLiteral(KASSOTYP_SCREENSHOT_DIR "/picker-beside-") + editor
                          + QStringLiteral(".png"));
        }
        const QModelIndex row = rowOf(QStringLiteral("#FilOrt#"));
        grid()->scrollTo(row);
        const QPoint at = grid()->visualRect(row).center();
        click(grid()->viewport(), at, !byKey);
        if (byKey)
            press(grid(), Qt::Key_Return);
        inserted = line->text();
    });
    window->exec();

    QVERIFY(pickerShown);
    QCOMPARE(inserted, QStringLiteral("Filiale #FilOrt#"));
    QVERIFY(pickerAboveTheEditor);
    QVERIFY(pickerBeside);
    QVERIFY(m_picker->isHidden());
}

void TestWindowsTogether::escapeHidesThePickerAndTheEditorGoesOn()
{
    std::unique_ptr<LayoutEditor> window = createEditor(QStringLiteral("Kopf"));
    QString afterEscape;
    bool hidden = false;
    bool editorActive = false;
    whenModal<LayoutEditor>([&](LayoutEditor *modal) {
        QLineEdit *line = openPickerFrom(modal, QStringLiteral("Text"));
        QVERIFY(QTest::qWaitForWindowExposed(m_picker.get()));
        click(grid()->viewport(), grid()->visualRect(rowOf(QStringLiteral("#Datum#"))).center());
        press(grid(), Qt::Key_Escape);
        hidden = m_picker->isHidden();
        // The editor takes typing again at once.
        click(line, QPoint(10, line->height() / 2));
        line->end(false);
        QTest::keyClick(modal->windowHandle(), Qt::Key_X);
        afterEscape = line->text();
        editorActive = modal->isVisible();
    });
    window->exec();
    QVERIFY(hidden);
    QVERIFY(editorActive);
    QCOMPARE(afterEscape, QStringLiteral("Textx"));
}

void TestWindowsTogether::pickerOutlivesTheEditorThatHeldIt()
{
    for (const char *kind : {"Kopf", "Positionen"}) {
        std::unique_ptr<LayoutEditor> window = createEditor(QString::fromUtf8(kind));
        whenModal<LayoutEditor>([&](LayoutEditor *modal) {
            openPickerFrom(modal, QString());
            QVERIFY(m_picker->isVisible());
            // Closed with the picker still open.
        });
        window->exec();
        QVERIFY(m_picker->isHidden());
        QCOMPARE(m_picker->parentWidget(), nullptr);
        QPointer<TfrmPlatzhalter> picker = m_picker.get();
        window.reset();
        QVERIFY(picker);
    }
    // The picker still works for a window that is not modal.
    auto *line = new QLineEdit;
    std::unique_ptr<QLineEdit> owner(line);
    QString got;
    m_picker->openFor(line, [&got](const QString &token) { got = token; });
    QVERIFY(m_picker->isVisible());
    const QModelIndex row = rowOf(QStringLiteral("#Datum#"));
    grid()->scrollTo(row);
    QVERIFY(QTest::qWaitForWindowExposed(m_picker.get()));
    click(grid()->viewport(), grid()->visualRect(row).center(), true);
    QCOMPARE(got, QStringLiteral("#Datum#"));
    QCOMPARE(m_picker->parentWidget(), nullptr);
}

void TestWindowsTogether::closingAnEditedEditorAsksOnce_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("field"); // typed into; empty: the field with the focus
    QTest::addColumn<bool>("edited");
    const struct
    {
        const char *window;
        const char *field;
    } windows[] = {{"Kopf", ""},
                   {"Überschrift", ""},
                   {"Positionen", ""},
                   {"TfrmBreiteRaender", "edtRandOben"},
                   {"TfrmAllgTreiber", "edtNameFont1"}};
    for (const auto &w : windows) {
        for (bool edited : {true, false}) {
            QTest::addRow("%s, %s", w.window, edited ? "edited" : "unchanged")
                    << QString::fromUtf8(w.window) << QString::fromLatin1(w.field) << edited;
        }
    }
}

void TestWindowsTogether::closingAnEditedEditorAsksOnce()
{
    QFETCH(QString, window);
    QFETCH(QString, field);
    QFETCH(bool, edited);
    std::unique_ptr<TOVOForm> form;
    if (window == QLatin1String("TfrmBreiteRaender"))
        form = std::make_unique<TfrmBreiteRaender>();
    else if (window == QLatin1String("TfrmAllgTreiber"))
        form = std::make_unique<TfrmAllgTreiber>();
    else
        form = createEditor(window);
    RecordingPresenter &messages = m_installation->messages();
    const qint64 records = m_installation->host().layouts().count();
    bool keptAfterNo = false;
    QString textAfterNo;
    int questions = 0;
    whenModal<TOVOForm>([&](TOVOForm *modal) {
        auto *typed = field.isEmpty() ? qobject_cast<QLineEdit *>(modal->focusWidget())
                                      : modal->findChild<QLineEdit *>(field);
        // An editor starts with the caret in its first text line.
        QVERIFY(typed);
        if (field.isEmpty())
            QCOMPARE(typed->objectName(), QStringLiteral("edtTxtZeile1"));
        else
            click(typed, QPoint(10, typed->height() / 2));
        if (edited) {
            typed->selectAll();
            QTest::keyClick(modal->windowHandle(), Qt::Key_1);
        }
        // "Nein" keeps the edits on screen; "Ja" throws them away.
        messages.setNextAnswer(Answer::No);
        press(modal, Qt::Key_Escape);
        keptAfterNo = modal->isVisible();
        textAfterNo = typed->text();
        questions = messages.count();
        messages.setNextAnswer(Answer::Yes);
        press(modal, Qt::Key_Escape);
    });
    const int result = form->exec();
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(keptAfterNo, edited);
    QCOMPARE(questions, edited ? 1 : 0);
    if (edited) {
        QVERIFY(textAfterNo.endsWith(u'1'));
        QCOMPARE(messages.shown().constFirst().kind, MessageKind::Question);
        QVERIFY(messages.shown().constFirst().text.startsWith(
                QStringLiteral("Änderungen verwerfen?")));
    }
    QCOMPARE(m_installation->host().layouts().count(), records);
}

void TestWindowsTogether::tabGoesThroughTheLinesInOrder()
{
    for (const char *kind : {"Überschrift", "Positionen"}) {
        std::unique_ptr<LayoutEditor> window = createEditor(QString::fromUtf8(kind));
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QCOMPARE(window->focusWidget()->objectName(), QStringLiteral("edtTxtZeile1"));
        // Line 1's lists, then line 2's text.
        QStringList visited;
        while (visited.size() < 12) {
            press(window.get(), Qt::Key_Tab);
            visited << window->focusWidget()->objectName();
            if (visited.constLast().startsWith(QLatin1String("edtTxtZeile")))
                break;
        }
        QVERIFY2(visited.size() >= 5, qPrintable(visited.join(u' ')));
        QCOMPARE(visited.mid(0, 4), (QStringList{"cmbSchriftArt1", "cmbSchriftGroesse1",
                                                 "cmbSchriftStil1", "cmbAusrichtung1"}));
        QCOMPARE(visited.constLast(), QStringLiteral("edtTxtZeile2"));
        window->QDialog::done(QDialog::Rejected);
    }
}

void TestWindowsTogether::newLinesShowTheFontTheyPrintWith()
{
    // No record and no default design: every line is new.
    m_installation->host().layouts().remove(
            {QStringLiteral("BONPOS"), 0, QStringLiteral("TM-T88")});
    std::unique_ptr<LayoutEditor> window = createEditor(QStringLiteral("Positionen"));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QString family = QFontInfo(QApplication::font()).family();
    for (int line = 1; line <= 17; ++line) {
        const QString n = QString::number(line);
        QCOMPARE(window->findChild<QComboBox *>("cmbSchriftArt" + n)->currentText(), family);
        QCOMPARE(window->findChild<QComboBox *>("cmbSchriftGroesse" + n)->currentText(),
                 QStringLiteral("10"));
    }
    QCOMPARE(QFontInfo(window->findChild<QLabel *>(QStringLiteral("lblPreview1"))->font()).family(),
             family);
    window->QDialog::done(QDialog::Rejected);
}

void TestWindowsTogether::settingsWindowsNameTheirWorkstation()
{
    // The workstation and printer stand in the headline, which wraps: a title bar would cut
    // them ("Allgemeine Einstel…Rechner 3 Kasse 1").
    std::vector<std::unique_ptr<TOVOForm>> windows;
    windows.push_back(std::make_unique<TfrmBreiteRaender>());
    windows.push_back(std::make_unique<TfrmAllgTreiber>());
    windows.push_back(std::make_unique<TfrmSettings>());
    const QStringList titles = {"Einstellungen der Papierbreite und der Ränder",
                                "Drucker, Kassenlade, Kundenanzeige", "Lokale Einstellungen"};
    for (std::size_t i = 0; i < windows.size(); ++i) {
        TOVOForm *window = windows[i].get();
        window->show();
        QCOMPARE(window->windowTitle(), titles.at(qsizetype(i)));
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("lblUeberschrift"))->text(),
                 QStringLiteral("Rechner 3 Kasse 3 – Drucker: Epson TM-T88 Grafikmodus"));
        window->QDialog::done(QDialog::Rejected);
    }
    // The general settings window follows the workstation the main window hands it.
    TfrmAllgEinstellungen general;
    general.setEngine(&m_main->engine());
    general.setWorkstation(4);
    QCOMPARE(general.windowTitle(), QStringLiteral("Allgemeine Einstellungen"));
    auto *headline = general.findChild<QLabel *>(QStringLiteral("lblUeberschrift"));
    QVERIFY2(headline->text().startsWith(QStringLiteral("Rechner 4 Kasse 4 – Drucker: ")),
             qPrintable(headline->text()));
    general.setWorkstation(3);
    QVERIFY2(headline->text().startsWith(QStringLiteral("Rechner 3 Kasse 3 – Drucker: ")),
             qPrintable(headline->text()));
}

void TestWindowsTogether::previewFollowsTyping()
{
    std::unique_ptr<LayoutEditor> window = createEditor(QStringLiteral("Überschrift"));
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    auto *line = window->findChild<QLineEdit *>(QStringLiteral("edtTxtZeile1"));
    auto *preview = window->findChild<QLabel *>(QStringLiteral("lblPreview1"));
    line->setText(QStringLiteral("Zeile "));
    click(line, QPoint(10, line->height() / 2));
    line->end(false);
    for (Qt::Key key : {Qt::Key_A, Qt::Key_B, Qt::Key_C})
        QTest::keyClick(window->windowHandle(), key);
    QVERIFY(line->text().endsWith(QStringLiteral("abc")));
    // No click on "Vorschau aktualisieren": a pause in typing is enough.
    QTRY_VERIFY_WITH_TIMEOUT(preview->text().endsWith(QStringLiteral("abc")), 3000);
    window->QDialog::done(QDialog::Rejected);
}

namespace {

TestInstallation::Options onTill()
{
    TestInstallation::Options options;
    options.workstationId = 3;
    return options;
}

// "Bon", then "Testdruck" in the real main window; returns the viewer's target line, or
// "<kein Fenster>" when no viewer opened.
QString testPrintFromTheMenus(TfrmKassotypHaupt &window, QString *folder = nullptr)
{
    QString said = QStringLiteral("<kein Fenster>");
    window.onEditorOpened = [&](TOVOForm *form) {
        auto *viewer = qobject_cast<TfrmTestdruckAnzeige *>(form);
        QVERIFY(viewer);
        QTimer::singleShot(0, viewer, &QDialog::reject);
        const auto *target = viewer->findChild<QLabel *>(QStringLiteral("lblAusgabe"));
        said = target->isVisibleTo(viewer) ? target->text() : QString();
        if (folder) {
            *folder = viewer->outputFolder();
            QCOMPARE(viewer->findChild<QPushButton *>(QStringLiteral("btnOrdnerOeffnen"))
                             ->isVisibleTo(viewer),
                     !folder->isEmpty());
        }
    };
    auto *types = window.findChild<TButtonMenu *>(QStringLiteral("btnMenuLinks"));
    auto *sections = window.findChild<TButtonMenu *>(QStringLiteral("btnMenuRechts"));
    types->clickEntry(types->indexOfTag(13));
    sections->clickEntry(sections->indexOfTag(21));
    return said;
}

} // namespace

void TestWindowsTogether::testPrintSaysWhereItWent()
{
    TestInstallation installation(onTill());
    TfrmKassotypHaupt window(installation.host(), {});
    window.show();
    QString folder;
    const QString said = testPrintFromTheMenus(window, &folder);
    // The demo printer has no system printer here: the PDF goes to the spool folder.
    QVERIFY2(said.startsWith(QStringLiteral("Ausgegeben auf: ")), qPrintable(said));
    QVERIFY(said.endsWith(QStringLiteral(".pdf")));
    QCOMPARE(QFileInfo(folder).canonicalFilePath(),
             QFileInfo(installation.path(QStringLiteral("spool"))).canonicalFilePath());
    QCOMPARE(installation.messages().count(), 0);
}

void TestWindowsTogether::failedTestPrintShowsTheErrorAndNoPicture()
{
    TestInstallation installation(onTill());
    // A file where the spool folder belongs: nothing can be written there, not even by root.
    QFile blocker(installation.path(QStringLiteral("spool")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TfrmKassotypHaupt window(installation.host(), {});
    window.show();
    QCOMPARE(testPrintFromTheMenus(window), QStringLiteral("<kein Fenster>"));
    QVERIFY(installation.messages().sawMessage(1009));
    const QString text = installation.messages().shown().constLast().text;
    QVERIFY2(text.contains(QStringLiteral("konnte nicht geschrieben")), qPrintable(text));
    // The error is shown once and done with: choosing the workstation again shows nothing.
    QCOMPARE(installation.host().info().ErrorNumber(), 0);
}

QTEST_MAIN(TestWindowsTogether)
#include "tst_windowstogether.moc"
