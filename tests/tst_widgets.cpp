#include "core/store/store.h"
#include "core/store/storeerror.h"
#include "shell/kassotypu.h"
#include "shell/startup.h"
#include "tests/support/guisupport.h"
#include "tests/support/teststore.h"
#include "widgets/buttonmenu.h"
#include "widgets/logoanzeige.h"
#include "widgets/tovoform.h"

#include <QAction>
#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A window of the program reduced to what the guard needs: a class name of its own.
class TfrmGuardProbe : public TOVOForm
{
    Q_OBJECT
public:
    TfrmGuardProbe()
    {
        OVOFormInit(QStringLiteral("frmGuardProbe"), true);
        resize(200, 100);
    }
};

// Head "Belegtypen", then three menu entries of which the middle one is disabled.
void fillMenu(TButtonMenu &menu)
{
    menu.addHead(QStringLiteral("Belegtypen"));
    menu.addEntry(QStringLiteral("Anzahlung"), 1);
    menu.addEntry(QStringLiteral("Aufgabenliste"), 2, false);
    menu.addEntry(QStringLiteral("Phasenbeleg"), 3);
    menu.resize(260, menu.sizeHint().height());
}

QImage testPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(20, 120, 220));
    image.setPixelColor(0, 0, Qt::red);
    return image;
}

QString writePicture(TestInstallation &installation, const QString &name, const QImage &image)
{
    const QString path = installation.path(name);
    if (!image.save(path, "PNG"))
        return {};
    return path;
}

QString writeBytes(TestInstallation &installation, const QString &name, const QByteArray &bytes)
{
    const QString path = installation.path(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

// A PNG whose header claims width x height, with an empty picture data chunk after it.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    auto crc32 = [](const QByteArray &bytes) {
        quint32 crc = 0xFFFFFFFF;
        for (const char c : bytes) {
            crc ^= quint8(c);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (crc & 1 ? 0xEDB88320 : 0);
        }
        return ~crc;
    };
    QByteArray header("IHDR");
    QDataStream out(&header, QIODevice::WriteOnly | QIODevice::Append);
    out << width << height << quint8(8) << quint8(2) << quint8(0) << quint8(0) << quint8(0);
    QByteArray png("\x89PNG\r\n\x1a\n");
    QDataStream file(&png, QIODevice::WriteOnly | QIODevice::Append);
    file << quint32(13);
    file.writeRawData(header.constData(), int(header.size()));
    file << crc32(header);
    for (const char *chunk : {"IDAT", "IEND"}) {
        file << quint32(0);
        file.writeRawData(chunk, 4);
        file << crc32(chunk);
    }
    return png;
}

void identify(Tlogoanzeige &logo, int filRech)
{
    logo.SetKennung1(QStringLiteral("KASSOTYP"));
    logo.SetKennung2(QStringLiteral("BONKOPF"));
    logo.SetLogoName(QStringLiteral("LOGO1"));
    logo.SetFil_Rech(qint16(filRech));
}

} // namespace

class TestWidgets : public QObject
{
    Q_OBJECT

private slots:
    void buttonMenuClickChoosesOnlyEnabledMenuEntries_data();
    void buttonMenuClickChoosesOnlyEnabledMenuEntries();
    void buttonMenuEntriesAre25HighWith5Between_data();
    void buttonMenuEntriesAre25HighWith5Between();
    void buttonMenuDrawsHeadWhiteOnRed();
    void buttonMenuKeyboardChoosesEnabledMenuEntries_data();
    void buttonMenuKeyboardChoosesEnabledMenuEntries();
    void buttonMenuKeepsTheKeyboardEntryInView();
    void buttonMenuScreenshot();

    void logoImportsReadablePicture();
    void logoRefusesUnreadablePictureFile_data();
    void logoRefusesUnreadablePictureFile();
    void logoSavedPictureLoadsIntoFreshComponent();
    void logoStoredGarbageIsReportedNotShown_data();
    void logoStoredGarbageIsReportedNotShown();
    void logoFileImportAsksForFile_data();
    void logoFileImportAsksForFile();

    void guardReportsExceptionWithLocation_data();
    void guardReportsExceptionWithLocation();
    void guardedActionRunsOnItsKey();
    void startUpShowsPendingErrorAndStillMakesMainWindow_data();
    void startUpShowsPendingErrorAndStillMakesMainWindow();
    void damageFoundAfterStartIsShownWithoutASave();
};

void TestWidgets::buttonMenuClickChoosesOnlyEnabledMenuEntries_data()
{
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<int>("signalled"); // -1: no btnClick; a head may only report itself

    // Entry 1 is chosen beforehand; entries start every 30 points.
    QTest::newRow("enabled entry") << 3 * 30 + 12 << 3 << 3;
    QTest::newRow("enabled entry, top edge") << 3 * 30 << 3 << 3;
    QTest::newRow("enabled entry, bottom edge") << 3 * 30 + 24 << 3 << 3;
    QTest::newRow("already chosen entry again") << 30 + 12 << 1 << 1;
    QTest::newRow("head entry changes nothing") << 12 << 1 << 0;
    QTest::newRow("disabled entry ignored") << 2 * 30 + 12 << 1 << -1;
    QTest::newRow("gap between entries ignored") << 30 + 27 << 1 << -1;
    QTest::newRow("below the last entry ignored") << 4 * 30 + 10 << 1 << -1;
}

void TestWidgets::buttonMenuClickChoosesOnlyEnabledMenuEntries()
{
    QFETCH(int, y);
    QFETCH(int, chosen);
    QFETCH(int, signalled);

    QWidget frame;
    frame.resize(300, 200);
    TButtonMenu menu(&frame);
    fillMenu(menu);
    menu.setChosenIndex(1);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));

    QSignalSpy spy(&menu, &TButtonMenu::btnClick);
    QTest::mouseClick(&menu, Qt::LeftButton, {}, QPoint(100, y));
    QCOMPARE(menu.chosenIndex(), chosen);
    if (signalled == -1) {
        QCOMPARE(spy.count(), 0);
    } else if (signalled == 0) {
        // The menu's owner ignores heads, so reporting one is harmless; reporting another
        // entry is not.
        QVERIFY(spy.count() <= 1);
        for (const QList<QVariant> &args : spy)
            QCOMPARE(args.first().toInt(), 0);
    } else {
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().first().toInt(), signalled);
    }
}

void TestWidgets::buttonMenuEntriesAre25HighWith5Between_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("top");

    QTest::newRow("head entry") << 0 << 0;
    QTest::newRow("first menu entry") << 1 << 30;
    QTest::newRow("disabled entry keeps its place") << 2 << 60;
    QTest::newRow("last entry") << 3 << 90;
}

void TestWidgets::buttonMenuEntriesAre25HighWith5Between()
{
    QFETCH(int, index);
    QFETCH(int, top);

    TButtonMenu menu;
    fillMenu(menu);
    const QRect rect = menu.entryRect(index);
    QCOMPARE(rect.top(), top);
    QCOMPARE(rect.height(), 25);
    QCOMPARE(rect.width(), menu.width());
    // Four entries: three gaps of 5 between four entries of 25.
    QCOMPARE(menu.sizeHint().height(), 4 * 25 + 3 * 5);
}

void TestWidgets::buttonMenuDrawsHeadWhiteOnRed()
{
    TButtonMenu menu;
    fillMenu(menu);
    const QImage picture = menu.grab().toImage();
    const qreal ratio = picture.devicePixelRatio();
    auto at = [&](int x, int y) {
        return picture.pixelColor(QPoint(x, y) * ratio);
    };

    const QRect head = menu.entryRect(0);
    // The right end of the head holds no text: pure head colour.
    QCOMPARE(at(head.right() - 2, head.center().y()), QColor(184, 16, 32));
    QCOMPARE(at(head.left() + 2, head.top() + 1), QColor(184, 16, 32));

    // The caption is drawn in white: some pixels of the head are (almost) white.
    int light = 0;
    for (int x = head.left(); x < head.left() + 120; ++x) {
        for (int y = head.top(); y <= head.bottom(); ++y) {
            const QColor c = at(x, y);
            if (c.red() > 230 && c.green() > 230 && c.blue() > 230)
                ++light;
        }
    }
    QVERIFY2(light > 10, "no white caption in the head entry");

    // Menu entries are grey, never the head colour.
    const QColor entry = at(menu.entryRect(1).right() - 2, menu.entryRect(1).center().y());
    QVERIFY(entry != QColor(184, 16, 32));
    QCOMPARE(entry.red(), entry.green());
    QCOMPARE(entry.green(), entry.blue());
}

void TestWidgets::buttonMenuKeyboardChoosesEnabledMenuEntries_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("chosen");

    const int down = Qt::Key_Down, up = Qt::Key_Up, enter = Qt::Key_Return;
    QTest::newRow("first Down skips head") << QList<int>{down, enter} << 1;
    QTest::newRow("Down skips disabled entry") << QList<int>{down, down, enter} << 3;
    QTest::newRow("Down stops at last entry") << QList<int>{down, down, down, enter} << 3;
    QTest::newRow("Up skips disabled entry") << QList<int>{down, down, up, enter} << 1;
    QTest::newRow("Up stops before head") << QList<int>{down, up, up, enter} << 1;
    QTest::newRow("Up without focus goes to last") << QList<int>{up, enter} << 3;
    QTest::newRow("Enter without focus chooses nothing") << QList<int>{enter} << -1;
    QTest::newRow("keypad Enter") << QList<int>{down, int(Qt::Key_Enter)} << 1;
    QTest::newRow("End goes to the last enabled entry") << QList<int>{int(Qt::Key_End), enter} << 3;
    QTest::newRow("Home goes to the first")
            << QList<int>{down, down, int(Qt::Key_Home), enter} << 1;
}

void TestWidgets::buttonMenuKeyboardChoosesEnabledMenuEntries()
{
    QFETCH(QList<int>, keys);
    QFETCH(int, chosen);

    TButtonMenu menu;
    fillMenu(menu);
    menu.show();
    QVERIFY(QTest::qWaitForWindowExposed(&menu));

    QSignalSpy spy(&menu, &TButtonMenu::btnClick);
    for (int key : keys)
        QTest::keyClick(&menu, Qt::Key(key));
    QCOMPARE(menu.chosenIndex(), chosen);
    QCOMPARE(spy.count(), chosen < 0 ? 0 : 1);
    if (chosen >= 0)
        QCOMPARE(spy.first().first().toInt(), chosen);
}

// A menu longer than its scroll area: the entry the keyboard reaches, and the chosen one, are
// scrolled into view.
void TestWidgets::buttonMenuKeepsTheKeyboardEntryInView()
{
    QScrollArea area;
    area.setWidgetResizable(true);
    auto *menu = new TButtonMenu;
    menu->addHead(QStringLiteral("Belegtypen"));
    for (int i = 1; i <= 23; ++i)
        menu->addEntry(QStringLiteral("Typ %1").arg(i), i);
    area.setWidget(menu);
    area.resize(280, 200);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    const auto seen = [&](int index) {
        const QRect shown(menu->mapFrom(area.viewport(), QPoint(0, 0)), area.viewport()->size());
        return shown.contains(menu->entryRect(index));
    };
    menu->setFocus();
    QTest::keyClick(menu, Qt::Key_End);
    QVERIFY(seen(23));
    QTest::keyClick(menu, Qt::Key_Home);
    QVERIFY(seen(1));
    menu->setChosenIndex(menu->indexOfTag(20));
    QVERIFY(seen(20));
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
    QCOMPARE(menu->chosenIndex(), menu->indexOfTag(21));
    QVERIFY(seen(21));
}

void TestWidgets::buttonMenuScreenshot()
{
    TButtonMenu menu;
    menu.addHead(QStringLiteral("Belegtypen"));
    menu.addEntry(QStringLiteral("Anzahlung"), 1);
    menu.addEntry(QStringLiteral("Belegkopf für Aufgabenlisten"), 2, false);
    menu.addEntry(QStringLiteral("Phasenbeleg"), 3);
    menu.addEntry(QStringLiteral("Unterschrift b. Rückg. - Unbek. Kunde"), 4);
    menu.setChosenIndex(3);
    menu.resize(286, menu.sizeHint().height());
    menu.show();
    QVERIFY(QTest::qWaitForWindowExposed(&menu));

    const QString file = saveScreenshot(&menu, QStringLiteral("buttonmenu"));
    const QFileInfo info(file);
    QVERIFY2(info.exists(), qPrintable(file));
    QVERIFY(info.size() > 0);
}

void TestWidgets::logoImportsReadablePicture()
{
    TestInstallation installation;
    FakeMainWindow main(installation);
    Tlogoanzeige logo;
    QVERIFY(!logo.pictureChanged());

    const QString path =
            writePicture(installation, QStringLiteral("logo.png"), testPicture(40, 20));
    QVERIFY(!path.isEmpty());
    QVERIFY(logo.importFile(path));
    QCOMPARE(logo.picture().size(), QSize(40, 20));
    QCOMPARE(logo.picture().pixelColor(0, 0), QColor(Qt::red));
    QVERIFY(logo.pictureChanged());
    QCOMPARE(installation.messages().count(), 0);
}

void TestWidgets::logoRefusesUnreadablePictureFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason"); // what the message tells the user

    QTest::newRow("text in a .png file") << "garbage"
                                         << "kein Bild";
    QTest::newRow("empty file") << "empty"
                                << "kein Bild";
    QTest::newRow("missing file") << "missing"
                                  << "nicht gefunden";
    QTest::newRow("PNG cut off after its header") << "truncated"
                                                  << "unvollständig";
    QTest::newRow("PNG cut off in its picture data") << "cut"
                                                     << "unvollständig";
    QTest::newRow("picture over 4000 points wide") << "huge"
                                                   << "4001 x 4 Punkten zu groß";
    // Refused from the header alone: decoding it would take gigabytes.
    QTest::newRow("PNG header claiming 20000 x 20000") << "claims"
                                                       << "20000 x 20000 Punkten";
    QTest::newRow("real PNG of 20000 x 20000") << "real20000"
                                               << "20000 x 20000 Punkten";
}

void TestWidgets::logoRefusesUnreadablePictureFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);

    TestInstallation installation;
    FakeMainWindow main(installation);
    Tlogoanzeige logo;
    QVERIFY(logo.importFile(
            writePicture(installation, QStringLiteral("good.png"), testPicture(40, 20))));
    logo.setPictureChanged(false);
    const QImage before = logo.picture();

    QString path;
    if (kind == QLatin1String("garbage")) {
        path = writeBytes(installation, QStringLiteral("bad.png"), "this is no picture");
    } else if (kind == QLatin1String("empty")) {
        path = writeBytes(installation, QStringLiteral("bad.png"), QByteArray());
    } else if (kind == QLatin1String("missing")) {
        path = installation.path(QStringLiteral("nowhere.png"));
    } else if (kind == QLatin1String("truncated")) {
        QFile good(installation.path(QStringLiteral("good.png")));
        QVERIFY(good.open(QIODevice::ReadOnly));
        path = writeBytes(installation, QStringLiteral("bad.png"), good.read(40));
    } else if (kind == QLatin1String("cut")) {
        QImage noise(300, 200, QImage::Format_RGB32);
        for (int y = 0; y < noise.height(); ++y) {
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, qRgb(x * y % 251, (x + 7 * y) % 253, (x ^ y) & 0xff));
        }
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && noise.save(&buffer, "PNG"));
        path = writeBytes(installation, QStringLiteral("bad.png"), png.left(png.size() / 2));
    } else if (kind == QLatin1String("claims")) {
        path = writeBytes(installation, QStringLiteral("bad.png"), pngClaiming(20000, 20000));
    } else if (kind == QLatin1String("real20000")) {
        QImage big(20000, 20000, QImage::Format_Mono);
        big.fill(0);
        path = writePicture(installation, QStringLiteral("big.png"), big);
    } else {
        path = writePicture(installation, QStringLiteral("bad.png"), testPicture(4001, 4));
    }
    QVERIFY(!path.isEmpty());

    QVERIFY(!logo.importFile(path));
    QVERIFY(installation.messages().sawMessage(1034));
    QVERIFY2(installation.messages().shown().last().text.contains(reason),
             qPrintable(installation.messages().shown().last().text));
    // One full stop ends the sentence, also after a reason that brings its own.
    const QString said = installation.messages().shown().last().text.section(u'\n', 0, 0);
    QVERIFY2(said.endsWith(u'.') && !said.endsWith(QStringLiteral("..")), qPrintable(said));
    QCOMPARE(logo.picture(), before);
    QVERIFY(!logo.pictureChanged());
}

void TestWidgets::logoSavedPictureLoadsIntoFreshComponent()
{
    TestInstallation installation;
    FakeMainWindow main(installation);
    Tlogoanzeige logo;
    identify(logo, 3);
    logo.SetRNr(3);
    logo.SetLfdNr(17);
    QVERIFY(logo.importFile(
            writePicture(installation, QStringLiteral("logo.png"), testPicture(48, 24))));
    QVERIFY(logo.pictureChanged());
    logo.SaveTologofile();
    QVERIFY(!logo.pictureChanged());

    Tlogoanzeige fresh;
    identify(fresh, 3);
    fresh.importImage(testPicture(5, 5)); // an unsaved picture that loading must replace
    QVERIFY(fresh.LoadFromlogofile());
    QCOMPARE(fresh.picture().size(), QSize(48, 24));
    QCOMPARE(fresh.picture().pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(fresh.stamp().rnr, 3);
    QCOMPARE(fresh.stamp().lfdnr, 17);
    QVERIFY(!fresh.pictureChanged());

    // Another workstation's logo is a different one: nothing stored there.
    Tlogoanzeige other;
    identify(other, 4);
    QVERIFY(!other.LoadFromlogofile());
    QVERIFY(other.picture().isNull());
}

void TestWidgets::logoStoredGarbageIsReportedNotShown_data()
{
    QTest::addColumn<QByteArray>("stored");

    QTest::newRow("garbage") << QByteArray("\x89PNG garbage");
    QTest::newRow("header claiming 20000 x 20000") << pngClaiming(20000, 20000);
    // Small enough for Qt to decode: only the logo bound keeps such a record from being shown.
    QImage big(6000, 6000, QImage::Format_Mono);
    big.fill(0);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    big.save(&buffer, "PNG");
    QTest::newRow("real picture of 6000 x 6000") << png;
}

void TestWidgets::logoStoredGarbageIsReportedNotShown()
{
    QFETCH(QByteArray, stored);

    TestInstallation installation;
    FakeMainWindow main(installation);
    installation.host().logos().save(
            {QStringLiteral("KASSOTYP"), QStringLiteral("BONKOPF"), QStringLiteral("LOGO1"), 3},
            StoredLogo{stored, 10, 10, {3, 1}});

    TfrmGuardProbe form;
    auto *logo = new Tlogoanzeige(&form);
    identify(*logo, 3);
    logo->importImage(testPicture(5, 5));
    QVERIFY_THROWS_EXCEPTION(StoreError, logo->LoadFromlogofile());
    QVERIFY(logo->picture().isNull());

    // Inside a window's handler it becomes a report, and the window carries on.
    QVERIFY(!form.guard(QStringLiteral("FormShow"), [&] { logo->LoadFromlogofile(); }));
    const auto &shown = installation.messages().shown();
    QVERIFY(!shown.isEmpty());
    QVERIFY(shown.last().text.contains(QStringLiteral("Ort: TfrmGuardProbe.FormShow")));
    QVERIFY(shown.last().text.contains(QStringLiteral("LOGO1")));
}

void TestWidgets::logoFileImportAsksForFile_data()
{
    QTest::addColumn<QString>("chosen"); // "good", "bad" or "" for a cancelled chooser
    QTest::addColumn<bool>("imported");

    QTest::newRow("readable picture chosen") << "good" << true;
    QTest::newRow("unreadable file chosen") << "bad" << false;
    QTest::newRow("no file chosen") << "" << false;
}

void TestWidgets::logoFileImportAsksForFile()
{
    QFETCH(QString, chosen);
    QFETCH(bool, imported);

    TestInstallation installation;
    FakeMainWindow main(installation);
    Tlogoanzeige logo;
    logo.importImage(testPicture(5, 5));
    logo.setPictureChanged(false);
    if (chosen == QLatin1String("good"))
        installation.messages().setNextFile(
                writePicture(installation, QStringLiteral("new.png"), testPicture(30, 30)));
    else if (chosen == QLatin1String("bad"))
        installation.messages().setNextFile(
                writeBytes(installation, QStringLiteral("new.png"), "no picture"));

    QSignalSpy spy(&logo, &Tlogoanzeige::neuesBild);
    logo.lamitFileImportClick();
    QCOMPARE(spy.count(), imported ? 1 : 0);
    QCOMPARE(logo.pictureChanged(), imported);
    QCOMPARE(logo.picture().size(), imported ? QSize(30, 30) : QSize(5, 5));
    QCOMPARE(installation.messages().sawMessage(1034), chosen == QLatin1String("bad"));
}

void TestWidgets::guardReportsExceptionWithLocation_data()
{
    QTest::addColumn<QString>("thrown");
    QTest::addColumn<bool>("show");
    QTest::addColumn<QString>("expectedText");

    QTest::newRow("runtime error") << "runtime" << true << "Drucker brennt";
    QTest::newRow("store error") << "store" << true << "Datenspeicher weg";
    QTest::newRow("numbered error") << "ovo" << true << "mindestens einen Ziel-Rechner";
    QTest::newRow("not a std::exception") << "other" << true << "Unbekannter Fehler";
    QTest::newRow("only logged while destroying") << "runtime" << false << "Drucker brennt";
}

void TestWidgets::guardReportsExceptionWithLocation()
{
    QFETCH(QString, thrown);
    QFETCH(bool, show);
    QFETCH(QString, expectedText);

    TestInstallation installation;
    FakeMainWindow main(installation);
    TfrmGuardProbe form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    bool after = false;
    const bool ok = form.guard(
            QStringLiteral("btnTestClick"),
            [&] {
                if (thrown == QLatin1String("runtime"))
                    throw std::runtime_error("Drucker brennt");
                if (thrown == QLatin1String("store"))
                    throw StoreError(QStringLiteral("Datenspeicher weg"));
                if (thrown == QLatin1String("ovo"))
                    installation.host().info().FehlerRaise(QStringLiteral("TfrmGuardProbe"), 1030);
                if (thrown == QLatin1String("other"))
                    throw 42;
                after = true;
            },
            show);
    QVERIFY(!ok);
    QVERIFY(!after);

    const QString location = QStringLiteral("TfrmGuardProbe.btnTestClick");
    QFile log(installation.path(QStringLiteral("kassotyp.log")));
    QVERIFY(log.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString logged = QString::fromUtf8(log.readAll());
    QVERIFY2(logged.contains(location), qPrintable(logged));
    QVERIFY2(logged.contains(expectedText), qPrintable(logged));

    const auto &shown = installation.messages().shown();
    if (show) {
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, MessageKind::Error);
        QVERIFY(shown.first().text.contains(QStringLiteral("Ort: ") + location));
        QVERIFY(shown.first().text.contains(expectedText));
    } else {
        QCOMPARE(shown.size(), 0);
    }
    // A reported numbered error must not surface again at the next check.
    QCOMPARE(installation.host().info().ErrorNumber(), 0);

    // The window stays open and its next handler runs normally.
    QVERIFY(form.isVisible());
    QVERIFY(form.guard(QStringLiteral("btnTestClick"), [&] { after = true; }));
    QVERIFY(after);
}

void TestWidgets::guardedActionRunsOnItsKey()
{
    TestInstallation installation;
    FakeMainWindow main(installation);
    TfrmGuardProbe form;
    int runs = 0;
    bool fail = false;
    QAction *action = form.addGuardedAction(QStringLiteral("actBuchen"), Qt::Key_F5,
                                            QStringLiteral("btnBuchenClick"), [&] {
                                                ++runs;
                                                if (fail)
                                                    throw std::runtime_error("Buchen gescheitert");
                                            });
    QCOMPARE(form.findChild<QAction *>(QStringLiteral("actBuchen")), action);
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    QTest::keyClick(&form, Qt::Key_F5);
    QCOMPARE(runs, 1);
    QCOMPARE(installation.messages().count(), 0);

    fail = true;
    QTest::keyClick(&form, Qt::Key_F5);
    QCOMPARE(runs, 2);
    QCOMPARE(installation.messages().count(), 1);
    QVERIFY(installation.messages().shown().first().text.contains(
            QStringLiteral("Ort: TfrmGuardProbe.btnBuchenClick")));
    QVERIFY(form.isVisible());

    // Other keys leave it alone.
    QTest::keyClick(&form, Qt::Key_F6);
    QCOMPARE(runs, 2);
}

void TestWidgets::startUpShowsPendingErrorAndStillMakesMainWindow_data()
{
    QTest::addColumn<int>("pending");
    QTest::addColumn<bool>("shown");

    QTest::newRow("no pending error") << 0 << false;
    QTest::newRow("pending non-engine error is shown") << 1030 << true;
    // Engine errors left before the engine is made are dropped with the engine's own.
    QTest::newRow("pending engine error 1010") << 1010 << false;
}

void TestWidgets::startUpShowsPendingErrorAndStillMakesMainWindow()
{
    QFETCH(int, pending);
    QFETCH(bool, shown);

    TestInstallation installation;
    Host &host = installation.host();
    if (pending != 0)
        host.info().SetError(pending, QStringLiteral("kassotyp"));

    std::unique_ptr<TfrmKassotypHaupt> window = startKassotyp(host, installation.config());
    QVERIFY(window);
    QCOMPARE(MainWindowContext::instance(), static_cast<MainWindowContext *>(window.get()));
    QCOMPARE(host.program().programName(), QStringLiteral("Kassotyp"));
    // The icon comes from the program's own resources, not from an installed theme.
    QVERIFY(!window->windowIcon().isNull());
    QCOMPARE(window->windowIcon().availableSizes(), QList<QSize>{QSize(256, 256)});
    // Read when a window system asks for it, at the size it asks for.
    const QImage icon = window->windowIcon().pixmap(QSize(32, 32)).toImage();
    QCOMPARE(icon.size(), QSize(32, 32));
    QVERIFY(qAlpha(icon.pixel(16, 16)) > 0);
    QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("kassotyp"));

    QCOMPARE(installation.messages().sawMessage(pending), shown);
    if (shown) {
        const auto &messages = installation.messages().shown();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().kind, MessageKind::Error);
        QVERIFY(messages.first().text.contains(QStringLiteral("Ort: Kassotyp")));
    } else {
        QCOMPARE(installation.messages().count(), 0);
    }
    // Shown once means handled: it must not come up again.
    QCOMPARE(host.info().ErrorNumber(), 0);

    // The window that start-up made is a working one.
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(window->workstationNumber(), 3); // the main PC starts on the first till
}

void TestWidgets::damageFoundAfterStartIsShownWithoutASave()
{
    // The designer lets the check of its file run once the window is up: what it finds is
    // shown when it has finished, once, and the store is only read from then on.
    TestInstallation installation;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kaputt.sqlite"));
    QVERIFY(TestStore::writeDamagedSqliteStore(path));
    const std::unique_ptr<Store> store = Store::open(
            StoreLocation::parse(path), Store::Access::ReadWrite, Store::FileCheck::WhenAsked);
    QVERIFY(store->knownDamage().isEmpty());
    QVERIFY(store->fileCheckPending());

    QWidget window;
    checkStoreFileInBackground(*store, installation.host().info(), &window);
    QTRY_COMPARE(installation.messages().count(), 1);
    QCOMPARE(installation.messages().shown().first().kind, MessageKind::Error);
    QVERIFY(installation.messages().shown().first().text.contains(QStringLiteral("Schäden")));
    QVERIFY(store->isReadOnly());

    QWidget again;
    checkStoreFileInBackground(*store, installation.host().info(), &again);
    QTest::qWait(300);
    QCOMPARE(installation.messages().count(), 1);
}

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
