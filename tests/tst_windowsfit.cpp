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
#include "shell/editorregistry.h"
#include "shell/kassotypu.h"
#include "shell/testdruckanzeige.h"
#include "tests/support/guisupport.h"
#include "widgets/tovoform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <functional>
#include <memory>

namespace {

constexpr QSize SmallScreen(1024, 768);

using WindowFactory = std::function<std::unique_ptr<QWidget>()>;

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

private:
    std::unique_ptr<TestInstallation> m_installation;
    std::unique_ptr<FakeMainWindow> m_main;
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
    QTest::newRow("TfrmPlatzhalter")
            << WindowFactory([] { return std::make_unique<TfrmPlatzhalter>(); });
    QTest::newRow("TfrmPreview") << WindowFactory([] { return std::make_unique<TfrmPreview>(); });
    // A long receipt: the viewer scrolls instead of growing past the screen.
    QTest::newRow("TfrmTestdruckAnzeige") << WindowFactory([] {
        QImage strip(300, 3000, QImage::Format_RGB32);
        strip.fill(Qt::white);
        return std::make_unique<TfrmTestdruckAnzeige>(QStringLiteral("Bon"), strip);
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
    // Leaves room for a title bar the window manager adds.
    QVERIFY(window->height() <= SmallScreen.height() - 32);
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
