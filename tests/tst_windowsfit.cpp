#include "core/engine/bonprinter.h"
#include "editors/LayBonueber.h"
#include "editors/layEASYU.h"
#include "placeholders/Platzhalter.h"
#include "preview/Preview.h"
#include "settings/SeiteEinr.h"
#include "settings/allgeinstellungenfrm.h"
#include "settings/allgtreiber.h"
#include "settings/frmBuchenAlleU.h"
#include "settings/frmCopyOptionsU.h"
#include "settings/frmsettingsu.h"
#include "shell/belegpruefung.h"
#include "shell/editorregistry.h"
#include "shell/kassotypu.h"
#include "shell/testdruckanzeige.h"
#include "tests/support/guisupport.h"
#include "widgets/historywindow.h"
#include "widgets/tovoform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <functional>
#include <memory>

namespace {

constexpr QSize SmallScreen(1024, 768);

using WindowFactory = std::function<std::unique_ptr<QWidget>()>;

// A window's scroll areas that scroll sideways: a person would have to scroll to see the
// style and alignment of a line.
QStringList scrollingSideways(const QWidget *window)
{
    QStringList found;
    for (const QScrollArea *area : window->findChildren<QScrollArea *>()) {
        const QScrollBar *bar = area->horizontalScrollBar();
        if (area->isVisibleTo(window) && bar->isVisibleTo(window) && bar->maximum() > 0)
            found << QStringLiteral("%1 (%2 px)").arg(area->objectName()).arg(bar->maximum());
    }
    return found;
}

std::unique_ptr<QWidget> openEditor(const QString &className)
{
    EditorRegistry registry;
    registerBuiltInEditors(registry);
    std::unique_ptr<QWidget> editor(registry.editor(className)(nullptr));
    editor->show();
    if (!QTest::qWaitForWindowExposed(editor.get()))
        return {};
    return editor;
}

// The buttons a person must reach without moving the window, where the window has them.
const char *const ReachableButtons[] = {"btnBuchen", "btnAbbrechen", "btnSchliessen", "btnPreview",
                                        "btnOK"};

} // namespace

Q_DECLARE_METATYPE(WindowFactory)

// Every window on the smallest screen the program is made for: 1024x768, the size of the
// remote session of scripts/run.sh.
class TestWindowsFit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyWindowFitsTheScreen_data();
    void everyWindowFitsTheScreen();
    void mainWindowFitsTheScreen();
    void pickerLeavesTheLinesFree_data();
    void pickerLeavesTheLinesFree();
    void fullScreenPreviewFillsTheScreen();

private:
    std::unique_ptr<TestInstallation> m_installation;
    std::unique_ptr<FakeMainWindow> m_main;
    std::unique_ptr<TOVOForm> m_historyOwner; // the window a history window belongs to
};

void TestWindowsFit::initTestCase()
{
    QCOMPARE(QGuiApplication::primaryScreen()->geometry().size(), SmallScreen);
    TestInstallation::Options options;
    options.workstationId = 3;
    m_installation = std::make_unique<TestInstallation>(options);
    m_main = std::make_unique<FakeMainWindow>(*m_installation, 3);
}

void TestWindowsFit::everyWindowFitsTheScreen_data()
{
    QTest::addColumn<WindowFactory>("create");
    EditorRegistry registry;
    registerBuiltInEditors(registry);
    for (const QString &name : registry.classNames()) {
        const EditorRegistry::Factory factory = registry.editor(name);
        QTest::newRow(qPrintable(name))
                << WindowFactory([factory] { return std::unique_ptr<QWidget>(factory(nullptr)); });
    }
    const EditorRegistry::HeaderFactory header = registry.headerEditor();
    QTest::newRow("TfrmLayBonkopf")
            << WindowFactory([header] { return std::unique_ptr<QWidget>(header(nullptr, 13)); });
    QTest::newRow("TfrmLayBonueber") << WindowFactory([] {
        auto heading = std::make_unique<TfrmLayBonueber>();
        heading->setSectionCode(3);
        return std::unique_ptr<QWidget>(std::move(heading));
    });
    QTest::newRow("TLayEASY") << WindowFactory([] { return std::make_unique<TLayEASY>(); });
    QTest::newRow("TfrmAllgEinstellungen") << WindowFactory([this] {
        auto settings = std::make_unique<TfrmAllgEinstellungen>();
        settings->setEngine(&m_main->engine());
        settings->setWorkstation(3);
        return std::unique_ptr<QWidget>(std::move(settings));
    });
    QTest::newRow("TfrmAllgTreiber")
            << WindowFactory([] { return std::make_unique<TfrmAllgTreiber>(); });
    QTest::newRow("TfrmBreiteRaender")
            << WindowFactory([] { return std::make_unique<TfrmBreiteRaender>(); });
    QTest::newRow("TfrmBuchenAlle")
            << WindowFactory([] { return std::make_unique<TfrmBuchenAlle>(); });
    QTest::newRow("TfrmCopyOptions")
            << WindowFactory([] { return std::make_unique<TfrmCopyOptions>(); });
    QTest::newRow("TfrmSettings") << WindowFactory([] { return std::make_unique<TfrmSettings>(); });
    QTest::newRow("THistoryWindow") << WindowFactory([this] {
        m_installation->givePrinter(3, QStringLiteral("TM-T88"));
        m_historyOwner = std::make_unique<TfrmAllgTreiber>();
        return std::make_unique<THistoryWindow>(*m_historyOwner, m_historyOwner->editedRecords(),
                                                History(m_installation->host().store()));
    });
    QTest::newRow("TfrmPlatzhalter")
            << WindowFactory([] { return std::make_unique<TfrmPlatzhalter>(); });
    QTest::newRow("TfrmPreview") << WindowFactory([] { return std::make_unique<TfrmPreview>(); });
    // A long receipt: the viewer scrolls instead of growing past the screen.
    QTest::newRow("TfrmTestdruckAnzeige") << WindowFactory([] {
        QImage strip(300, 3000, QImage::Format_RGB32);
        strip.fill(Qt::white);
        return std::make_unique<TfrmTestdruckAnzeige>(QStringLiteral("Bon"), strip);
    });
    QTest::newRow("TfrmBelegpruefung") << WindowFactory([this] {
        return std::make_unique<TfrmBelegpruefung>(m_installation->host(),
                                                   TfrmBelegpruefung::SectionOpener());
    });
}

void TestWindowsFit::everyWindowFitsTheScreen()
{
    QFETCH(WindowFactory, create);
    std::unique_ptr<QWidget> window = create();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QRect screen = window->screen()->availableGeometry();
    QVERIFY2(screen.contains(window->frameGeometry()),
             qPrintable(QStringLiteral("%1x%2 at %3,%4")
                                .arg(window->frameGeometry().width())
                                .arg(window->frameGeometry().height())
                                .arg(window->frameGeometry().x())
                                .arg(window->frameGeometry().y())));
    // Leaves room for a title bar the window manager adds, unless the window manager sizes
    // the window to the screen.
    if (!window->isMaximized())
        QVERIFY(window->height() <= SmallScreen.height() - 32);
    // Lines whose selectors did not fit once hid the style and alignment off to the right.
    QCoreApplication::processEvents();
    const QStringList sideways = scrollingSideways(window.get());
    QVERIFY2(sideways.isEmpty(), qPrintable(sideways.join(QStringLiteral(", "))));
    // A window manager cuts a title wider than the window; a long title belongs in the
    // headline. Room is left for its icon and buttons.
    const QFontMetrics title(QApplication::font());
    QVERIFY2(title.horizontalAdvance(window->windowTitle()) + 160 <= window->width(),
             qPrintable(QStringLiteral("%1: %2 px wide")
                                .arg(window->windowTitle())
                                .arg(window->width())));
    // Nothing of the window lies beyond its edges, where the screen may end.
    for (const QWidget *child : window->findChildren<QWidget *>()) {
        if (!child->isVisibleTo(window.get()) || child->parentWidget() != window.get())
            continue;
        QVERIFY2(window->rect().contains(child->geometry()), qPrintable(child->objectName()));
    }
    for (const char *name : ReachableButtons) {
        for (const QPushButton *button : window->findChildren<QPushButton *>(name)) {
            if (!button->isVisibleTo(window.get()))
                continue;
            const QRect inWindow(button->mapTo(window.get(), QPoint(0, 0)), button->size());
            QVERIFY2(window->rect().contains(inWindow), name);
        }
    }
    saveScreenshot(window.get(),
                   QStringLiteral("1024x768-") + QString::fromUtf8(QTest::currentDataTag()));
}

void TestWindowsFit::mainWindowFitsTheScreen()
{
    m_main.reset();
    TfrmKassotypHaupt window(m_installation->host(), {});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.screen()->availableGeometry().contains(window.frameGeometry()));
    saveScreenshot(&window, QStringLiteral("1024x768-TfrmKassotypHaupt"));
}

void TestWindowsFit::pickerLeavesTheLinesFree_data()
{
    QTest::addColumn<QString>("editor");
    QTest::newRow("item editor") << QStringLiteral("TfrmLayBonPos");
    QTest::newRow("end editor") << QStringLiteral("TfrmLayBonende");
}

// The picker once opened over the right half of the screen, over half the text lines that
// take its token.
void TestWindowsFit::pickerLeavesTheLinesFree()
{
    QFETCH(QString, editor);
    TfrmPlatzhalter picker;
    m_main = std::make_unique<FakeMainWindow>(*m_installation, 3);
    m_main->picker = &picker;
    std::unique_ptr<QWidget> window = openEditor(editor);
    QVERIFY(window);
    auto *lines = window->findChild<QScrollArea *>(QStringLiteral("OVOStdScrollBox1"));
    QVERIFY(lines);
    // The line being edited keeps the focus; the button is clicked as a person would.
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("btnPlatzhalter")),
                      Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    const QRect linesOnScreen(lines->mapToGlobal(QPoint(0, 0)), lines->size());
    const QRect pickerOnScreen = picker.frameGeometry();
    QVERIFY2(!pickerOnScreen.intersects(linesOnScreen),
             qPrintable(QStringLiteral("picker %1,%2 %3x%4, lines end at x %5")
                                .arg(pickerOnScreen.x())
                                .arg(pickerOnScreen.y())
                                .arg(pickerOnScreen.width())
                                .arg(pickerOnScreen.height())
                                .arg(linesOnScreen.right())));
    QVERIFY(picker.screen()->availableGeometry().contains(pickerOnScreen));
    QVERIFY(pickerOnScreen.width() >= 380);
    // The screen as a person sees it: the editor with the picker over it.
    QPixmap screen = window->grab();
    QPainter painter(&screen);
    painter.drawPixmap(picker.geometry().topLeft() - window->geometry().topLeft(), picker.grab());
    painter.end();
    QLabel picture;
    picture.setPixmap(screen);
    picture.resize(screen.size());
    saveScreenshot(&picture, QStringLiteral("1024x768-picker-") + editor);
    picker.hide();
    window.reset();
    m_main.reset();
}

void TestWindowsFit::fullScreenPreviewFillsTheScreen()
{
    m_main = std::make_unique<FakeMainWindow>(*m_installation, 3);
    std::unique_ptr<QWidget> window = openEditor(QStringLiteral("TfrmLayBonPos"));
    QVERIFY(window);
    auto *source = window->findChild<QLabel *>(QStringLiteral("lblPreview1"));
    QVERIFY(source && source->isVisible());
    QRect shownAt;
    QRect room;
    QSize paper;
    QSize desk;
    double fontRatio = 0;
    double widthRatio = 0;
    QString text;
    whenModal<TfrmPreview>([&](TfrmPreview *preview) {
        if (!QTest::qWaitForWindowExposed(preview))
            return;
        QCoreApplication::processEvents();
        shownAt = preview->frameGeometry();
        room = preview->screen()->availableGeometry();
        paper = preview->page()->size();
        desk = preview->page()->parentWidget()->size();
        const QLabel *label = preview->label(1);
        fontRatio = label->font().pointSizeF() / source->font().pointSizeF();
        widthRatio = double(label->width()) / source->width();
        text = label->text();
        saveScreenshot(preview, QStringLiteral("1024x768-TfrmPreview-Vollbild"));
        preview->reject();
    });
    QTest::mouseDClick(source, Qt::LeftButton);
    // A window of the small preview's size at the small preview's scale was no full screen.
    QCOMPARE(shownAt, room);
    QVERIFY2(qAbs(paper.width() - desk.width()) <= 1 || qAbs(paper.height() - desk.height()) <= 1,
             qPrintable(QStringLiteral("paper %1x%2 on %3x%4")
                                .arg(paper.width())
                                .arg(paper.height())
                                .arg(desk.width())
                                .arg(desk.height())));
    QVERIFY(paper.width() <= desk.width() && paper.height() <= desk.height());
    // The lines grow with the paper, the text as much as the room it takes.
    QVERIFY2(widthRatio > 1.5, qPrintable(QString::number(widthRatio)));
    QVERIFY2(qAbs(fontRatio - widthRatio) < 0.05,
             qPrintable(QStringLiteral("%1 %2").arg(fontRatio).arg(widthRatio)));
    QCOMPARE(text, source->text());
    window.reset();
    m_main.reset();
}

int main(int argc, char **argv)
{
    // The offscreen platform takes its screens from a file.
    const QString config = QDir::temp().filePath(QStringLiteral("kassotyp-screen-1024x768.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(config));
    file.write(R"({"screens": [{"name": "klein", "x": 0, "y": 0, "width": 1024, "height": 768,
                   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QApplication app(argc, argv);
    TestWindowsFit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowsfit.moc"
