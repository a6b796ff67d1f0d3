#include "core/format/pagesetup.h"
#include "preview/Preview.h"
#include "tests/support/guisupport.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QTest>
#include <QTimer>

#include <memory>
#include <tuple>

namespace {

// What an editor's small preview looks like: one label per layout line, an optional logo.
class EditorPreview : public QWidget
{
public:
    explicit EditorPreview(int lines)
    {
        resize(400, 600);
        for (int k = 1; k <= lines; ++k) {
            auto *line = new QLabel(this);
            line->setObjectName(QStringLiteral("lblVorschau%1").arg(k));
            m_lines << line;
        }
        logo = new QLabel(this);
        logo->setObjectName(QStringLiteral("imgLogo"));
        logo->setScaledContents(true);
        logo->hide();
    }

    QLabel *line(int k) const { return m_lines.at(k - 1); }
    int lineCount() const { return int(m_lines.size()); }

    // Gives every line its own font, style, text, place and alignment, so that any attribute
    // copied from the wrong line or not at all shows up.
    void styleLines()
    {
        const char *families[] = {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono"};
        const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
        for (int k = 1; k <= lineCount(); ++k) {
            QLabel *label = line(k);
            QFont font(QString::fromLatin1(families[k % 3]));
            font.setPointSize(6 + k);
            font.setBold(k % 2 == 0);
            font.setItalic(k % 3 == 0);
            font.setUnderline(k % 4 == 0);
            font.setStrikeOut(k == 5);
            label->setFont(font);
            label->setText(QStringLiteral("Zeile %1: Bonnummer 130000001").arg(k));
            label->setGeometry(10 + k, 14 + 22 * k, 240 - k, 18 + k % 3);
            label->setAlignment(alignments[k % 3] | Qt::AlignVCenter);
            label->setVisible(k != 4 && k != 7);
        }
    }

    QLabel *logo = nullptr;

private:
    QList<QLabel *> m_lines;
};

QPixmap testLogo()
{
    QPixmap pixmap(40, 30);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.fillRect(5, 5, 30, 20, QColor(200, 30, 30));
    return pixmap;
}

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void captionIsVollbildanzeige();
    void windowWidthFollowsThePrintableWidth_data();
    void windowWidthFollowsThePrintableWidth();
    void pageSetupWithFewerThanFourEntriesHasNoWidth_data();
    void pageSetupWithFewerThanFourEntriesHasNoWidth();
    void labelsCopyTheirSourcesWhenShown();
    void labelsWithoutSourceKeepTheirDesign();
    void visibilityFollowsTheSource_data();
    void visibilityFollowsTheSource();
    void imageCopiesItsSource_data();
    void imageCopiesItsSource();
    void escapeClosesWithCancel_data();
    void escapeClosesWithCancel();
    void screenshot();

private:
    std::unique_ptr<TestInstallation> m_installation;
    std::unique_ptr<TfrmPreview> m_preview;
};

void TestPreview::init()
{
    m_installation = std::make_unique<TestInstallation>();
    m_preview = std::make_unique<TfrmPreview>();
}

void TestPreview::cleanup()
{
    m_preview.reset();
    m_installation.reset();
}

void TestPreview::captionIsVollbildanzeige()
{
    QCOMPARE(m_preview->windowTitle(), QStringLiteral("Vollbildanzeige"));
}

void TestPreview::windowWidthFollowsThePrintableWidth_data()
{
    QTest::addColumn<QStringList>("pageSetup");
    QTest::addColumn<double>("pixelsPerInch");
    QTest::addColumn<int>("printable");
    // 7 cm at 96 ppi are 264.57 pixels: truncated, not rounded.
    QTest::newRow("8 cm with 0.5 cm margins at 96 ppi")
            << QStringList{"8", "0", "0.5", "0.5"} << 96.0 << 264;
    QTest::newRow("decimal commas") << QStringList{"8,0", "0", "0,5", "0,5"} << 96.0 << 264;
    QTest::newRow("entry 1 is not a margin") << QStringList{"8", "3", "0.5", "0.5"} << 96.0 << 264;
    QTest::newRow("more than four entries")
            << QStringList{"8", "0", "0.5", "0.5", "2", "x"} << 96.0 << 264;
    QTest::newRow("other screen resolution")
            << QStringList{"8", "0", "0.5", "0.5"} << 120.0 << 330;                // 330.71
    QTest::newRow("no margins") << QStringList{"8", "0", "0", "0"} << 96.0 << 302; // 302.36
    QTest::newRow("garbage left margin counts as 0")
            << QStringList{"8", "0", "abc", "0.5"} << 96.0 << 283; // 7.5 cm
    QTest::newRow("empty right margin counts as 0")
            << QStringList{"8", "0", "0.5", ""} << 96.0 << 283;
    QTest::newRow("garbage paper width counts as 0")
            << QStringList{"breit", "0", "0", "0"} << 96.0 << 0;
}

void TestPreview::windowWidthFollowsThePrintableWidth()
{
    QFETCH(QStringList, pageSetup);
    QFETCH(double, pixelsPerInch);
    QFETCH(int, printable);
    const std::optional<int> width = printableWidthPixels(pageSetup, pixelsPerInch);
    QVERIFY(width.has_value());
    QCOMPARE(*width, printable);
    QCOMPARE(previewWindowWidth(*width), printable + 52);
    if (pageSetup == QStringList{"8", "0", "0.5", "0.5"} && pixelsPerInch == 96.0)
        QCOMPARE(previewWindowWidth(*width), 316);
}

void TestPreview::pageSetupWithFewerThanFourEntriesHasNoWidth_data()
{
    QTest::addColumn<QStringList>("pageSetup");
    QTest::newRow("empty") << QStringList{};
    QTest::newRow("width only") << QStringList{"8"};
    QTest::newRow("three entries") << QStringList{"8", "0", "0.5"};
}

void TestPreview::pageSetupWithFewerThanFourEntriesHasNoWidth()
{
    QFETCH(QStringList, pageSetup);
    QVERIFY(!printableWidthPixels(pageSetup, 96.0).has_value());
    QVERIFY(!isPageSetUp(pageSetup));
}

void TestPreview::labelsCopyTheirSourcesWhenShown()
{
    EditorPreview editor(10);
    // Sources are set before the lines are drawn: the window copies when it is shown, so it
    // must see the editor's state at that moment.
    for (int k = 1; k <= editor.lineCount(); ++k)
        m_preview->setSource(k, editor.line(k));
    editor.styleLines();
    m_preview->show();

    for (int k = 1; k <= editor.lineCount(); ++k) {
        const QLabel *source = editor.line(k);
        const QLabel *label = m_preview->findChild<QLabel *>(QStringLiteral("lblPreview%1").arg(k));
        QVERIFY(label);
        const QByteArray where = "line " + QByteArray::number(k);
        QVERIFY2(label->font().family() == source->font().family(), where);
        // Fonts, places and sizes grow with the paper, by one factor.
        const double scale = m_preview->scale();
        QVERIFY2(qAbs(label->font().pointSizeF() - source->font().pointSizeF() * scale) < 0.01,
                 where);
        QVERIFY2(label->font().bold() == source->font().bold(), where);
        QVERIFY2(label->font().italic() == source->font().italic(), where);
        QVERIFY2(label->font().underline() == source->font().underline(), where);
        QVERIFY2(label->font().strikeOut() == source->font().strikeOut(), where);
        QVERIFY2(label->text() == source->text(), where);
        QVERIFY2(qAbs(label->x() - source->x() * scale) <= 1, where);
        QVERIFY2(qAbs(label->y() - source->y() * scale) <= 1, where);
        QVERIFY2(qAbs(label->width() - source->width() * scale) <= 1, where);
        QVERIFY2((label->alignment() & Qt::AlignHorizontal_Mask)
                         == (source->alignment() & Qt::AlignHorizontal_Mask),
                 where);
        QVERIFY2(label->isVisible() == !source->isHidden(), where);
    }
}

void TestPreview::labelsWithoutSourceKeepTheirDesign()
{
    QList<QRect> designed;
    for (int k = 1; k <= TfrmPreview::SourceCount; ++k)
        designed << m_preview->label(k)->geometry();

    EditorPreview editor(10);
    editor.styleLines();
    for (int k = 1; k <= editor.lineCount(); ++k)
        m_preview->setSource(k, editor.line(k));
    m_preview->show();

    for (int k = 11; k <= TfrmPreview::SourceCount; ++k) {
        const QLabel *label = m_preview->findChild<QLabel *>(QStringLiteral("lblPreview%1").arg(k));
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("lblPreview%1").arg(k));
        QCOMPARE(label->geometry(), designed.at(k - 1));
        QVERIFY(!label->isVisible());
    }
    const QLabel *image = m_preview->findChild<QLabel *>(QStringLiteral("bmpPreview"));
    QVERIFY(image);
    QVERIFY(!image->isVisible());
}

void TestPreview::visibilityFollowsTheSource_data()
{
    QTest::addColumn<bool>("editorOnScreen");
    QTest::addColumn<bool>("lineHidden");
    QTest::addColumn<bool>("labelVisible");
    QTest::newRow("suppressed line stays hidden") << true << true << false;
    QTest::newRow("shown line is shown") << true << false << true;
    QTest::newRow("suppressed line of an editor off screen") << false << true << false;
    // The editor's small preview may sit on a page that is not on screen.
    QTest::newRow("line of an editor off screen is shown") << false << false << true;
}

void TestPreview::visibilityFollowsTheSource()
{
    QFETCH(bool, editorOnScreen);
    QFETCH(bool, lineHidden);
    QFETCH(bool, labelVisible);
    EditorPreview editor(3);
    editor.styleLines();
    editor.line(2)->setVisible(!lineHidden);
    if (editorOnScreen)
        editor.show();
    for (int k = 1; k <= editor.lineCount(); ++k)
        m_preview->setSource(k, editor.line(k));
    m_preview->show();
    QCOMPARE(m_preview->label(2)->isVisible(), labelVisible);
    QVERIFY(m_preview->label(1)->isVisible());
    QVERIFY(m_preview->label(3)->isVisible());
}

void TestPreview::imageCopiesItsSource_data()
{
    QTest::addColumn<bool>("withSource");
    QTest::addColumn<bool>("sourceHidden");
    QTest::newRow("no logo: image stays hidden") << false << false;
    QTest::newRow("logo shown") << true << false;
    QTest::newRow("logo switched off") << true << true;
}

void TestPreview::imageCopiesItsSource()
{
    QFETCH(bool, withSource);
    QFETCH(bool, sourceHidden);
    const QLabel *image = m_preview->findChild<QLabel *>(QStringLiteral("bmpPreview"));
    QVERIFY(image);
    const QRect designed = image->geometry();

    EditorPreview editor(2);
    editor.styleLines();
    editor.logo->setPixmap(testLogo());
    editor.logo->setGeometry(73, 12, 151, 64);
    editor.logo->setVisible(!sourceHidden);
    m_preview->setSource(1, editor.line(1));
    if (withSource)
        m_preview->setImageSource(editor.logo);
    m_preview->show();

    if (!withSource) {
        QVERIFY(!image->isVisible());
        QCOMPARE(image->geometry(), designed);
        return;
    }
    QCOMPARE(image->isVisible(), !sourceHidden);
    const double scale = m_preview->scale();
    const QRect shown = image->geometry();
    QVERIFY(qAbs(shown.x() - 73 * scale) <= 1 && qAbs(shown.y() - 12 * scale) <= 1);
    QVERIFY(qAbs(shown.width() - 151 * scale) <= 1 && qAbs(shown.height() - 64 * scale) <= 1);
    QCOMPARE(image->pixmap().toImage(), testLogo().toImage());
}

void TestPreview::escapeClosesWithCancel_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("Esc") << true;
    QTest::newRow("actAbbrechen") << false;
}

void TestPreview::escapeClosesWithCancel()
{
    QFETCH(bool, byKey);
    TfrmPreview *preview = m_preview.get();
    QTimer::singleShot(0, preview, [preview, byKey] {
        QWidget *modal = QApplication::activeModalWidget();
        QWidget *target = modal ? modal : preview;
        if (byKey) {
            QTest::keyClick(target, Qt::Key_Escape);
        } else if (auto *action = target->findChild<QAction *>(QStringLiteral("actAbbrechen"))) {
            action->trigger();
        }
    });
    // Ends the loop with a distinct result if neither closed the window, instead of hanging.
    QTimer::singleShot(3000, preview, [preview] {
        if (preview->isVisible())
            preview->done(42);
    });
    QCOMPARE(preview->exec(), int(QDialog::Rejected));
    QVERIFY(!preview->isVisible());
}

void TestPreview::screenshot()
{
    // A receipt header as an editor would hand it over: lines across the printable width.
    const std::optional<int> width =
            printableWidthPixels(QStringList{"8", "0", "0.5", "0.5"}, 96.0);
    QVERIFY(width);
    const std::tuple<const char *, int, bool, Qt::Alignment> lines[] = {
            {"Schuhhaus Feldmann", 14, true, Qt::AlignHCenter},
            {"Filiale Altstadt", 10, false, Qt::AlignHCenter},
            {"Marktgasse 7, 04177 Lindenau", 9, false, Qt::AlignHCenter},
            {"Tel. 0341 998 20 40", 9, false, Qt::AlignHCenter},
            {"", 9, false, Qt::AlignLeft},
            {"Beleg 130000001", 10, true, Qt::AlignLeft},
            {"15.03.2024          09:05:07", 9, false, Qt::AlignLeft},
            {"Es bediente Sie Frau Kessler", 9, false, Qt::AlignLeft},
            {"Summe EUR             459,70", 11, true, Qt::AlignRight},
            {"Vielen Dank für Ihren Einkauf!", 9, false, Qt::AlignHCenter},
    };
    EditorPreview editor(10);
    int y = 80;
    for (int k = 1; k <= editor.lineCount(); ++k) {
        const auto &[text, size, bold, alignment] = lines[k - 1];
        QLabel *label = editor.line(k);
        QFont font(QStringLiteral("DejaVu Sans"), size);
        font.setBold(bold);
        label->setFont(font);
        label->setText(QString::fromUtf8(text));
        label->setAlignment(alignment | Qt::AlignVCenter);
        label->setGeometry(10, y, *width - 20, label->sizeHint().height());
        y += label->height() + 4;
        m_preview->setSource(k, label);
    }
    editor.logo->setPixmap(testLogo());
    editor.logo->setGeometry((*width - 80) / 2, 10, 80, 60);
    editor.logo->show();
    m_preview->setImageSource(editor.logo);
    m_preview->resize(previewWindowWidth(*width), 573);
    m_preview->show();
    const QString file = saveScreenshot(m_preview.get(), QStringLiteral("preview"));
    QVERIFY(!QImage(file).isNull());
}

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
