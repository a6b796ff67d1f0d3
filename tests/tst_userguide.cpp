// The walk through the user guide (docs/user-guide.md): the windows a shop administrator opens,
// driven as a person would, each saved as the guide's picture under a stable name, and the
// outcome the guide promises checked. scripts/update-guide-screenshots.sh copies the pictures
// into docs/images.
#include "core/engine/bonprinter.h"
#include "core/engine/testprints.h"
#include "editors/layouteditor.h"
#include "settings/allgeinstellungenfrm.h"
#include "shell/kassotypu.h"
#include "shell/testdruckanzeige.h"
#include "tests/support/guisupport.h"
#include "widgets/controlvalues.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

constexpr int BackOffice = 2;
constexpr int Till = 3;         // "Kasse 1"
constexpr int SecondTill = 4;   // "Kasse 2", not yet set up
constexpr int ReceiptType = 13; // "Bon"
constexpr int HeaderSection = 0;
constexpr int ItemSection = 2;
constexpr int TestPrintSection = 21;
const QString Printer = QStringLiteral("TM-T88");

// Runs `open`, which shows a modal window; `look` gets that window once it is shown, and the
// window is closed afterwards unless `look` closed it. Returns the window's class name.
QString whileModal(const std::function<void()> &open, const std::function<void(QWidget *)> &look)
{
    QString shown;
    whenModal<QDialog>([&](QDialog *window) {
        shown = QString::fromLatin1(window->metaObject()->className());
        if (!QTest::qWaitForWindowExposed(window))
            qWarning("%s was not shown", qPrintable(shown));
        look(window);
    });
    open();
    return shown;
}

template<class T = QWidget>
T *control(const QWidget *window, const QString &name)
{
    T *found = window->findChild<T *>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

// A shop's logo as a user would have it: a PNG file.
QString drawLogo(const QString &file)
{
    QImage image(180, 72, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x15, 0x65, 0xc0));
    painter.drawRoundedRect(QRectF(3, 3, 66, 66), 14, 14);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(30);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(3, 3, 66, 66), Qt::AlignCenter, QStringLiteral("SF"));
    font.setPixelSize(15);
    painter.setFont(font);
    painter.setPen(QColor(0x26, 0x32, 0x38));
    painter.drawText(QRectF(76, 0, 104, 72), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("Schuhhaus\nFeldmann"));
    painter.end();
    image.save(file);
    return file;
}

// The designer as the shop's back-office PC starts it, with the first till chosen.
struct Tour
{
    Tour()
        : installation(onBackOffice())
        , window(installation.host(), {})
    {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qWarning("main window not shown");
        chooseWorkstation(Till);
    }

    static TestInstallation::Options onBackOffice()
    {
        TestInstallation::Options options;
        options.workstationId = BackOffice;
        return options;
    }

    TButtonMenu *menu(const QString &name) { return control<TButtonMenu>(&window, name); }

    void chooseWorkstation(int rnr)
    {
        auto *combo = control<QComboBox>(&window, QStringLiteral("cmbRechner"));
        combo->setCurrentIndex(combo->findData(rnr));
        // A new workstation empties the section menu until a document type is chosen again.
        TButtonMenu *types = menu(QStringLiteral("btnMenuLinks"));
        types->clickEntry(types->indexOfTag(ReceiptType));
    }

    // Opens a section of the receipt from the right-hand menu.
    QString openSection(int section, const std::function<void(QWidget *)> &look)
    {
        TButtonMenu *sections = menu(QStringLiteral("btnMenuRechts"));
        return whileModal([&] { sections->clickEntry(sections->indexOfTag(section)); }, look);
    }

    // The header of the receipt with four lines and the shop's logo, saved with F5.
    void saveHeaderWithLogo(const std::function<void(QWidget *)> &beforeSaving = {})
    {
        const QString logo = drawLogo(installation.path(QStringLiteral("logo.png")));
        openSection(HeaderSection, [&](QWidget *editor) {
            control<QCheckBox>(editor, QStringLiteral("chbText"))->setChecked(true);
            control<QLineEdit>(editor, QStringLiteral("edtTextAnzahlZeilen"))->setText("4");
            setLine(editor, 1, "Schuhhaus Feldmann", "12", "fett");
            setLine(editor, 2, "Marktgasse 7, 04177 Lindenau", "9", "normal");
            setLine(editor, 3, "Tel. 0341 998 20 40", "9", "normal");
            setLine(editor, 4, "Bon #BelegNr#   #Datum#", "9", "fett");
            control<QCheckBox>(editor, QStringLiteral("chbLogo"))->setChecked(true);
            installation.messages().setNextFile(logo);
            control<QPushButton>(editor, QStringLiteral("spbLogo"))->click();
            control<QPushButton>(editor, QStringLiteral("btnPreview"))->click();
            if (beforeSaving)
                beforeSaving(editor);
            control<QPushButton>(editor, QStringLiteral("btnBuchen"))->click();
        });
    }

    // Text, font, size and style of an editor's line.
    static void setLine(QWidget *editor, int line, const char *text, const char *size,
                        const char *style)
    {
        const QString n = QString::number(line);
        control<QLineEdit>(editor, "edtTxtZeile" + n)->setText(QString::fromUtf8(text));
        ControlValues::setComboText(control<QComboBox>(editor, "cmbSchriftArt" + n),
                                    QStringLiteral("DejaVu Sans"));
        ControlValues::setComboText(control<QComboBox>(editor, "cmbSchriftGroesse" + n),
                                    QLatin1String(size));
        ControlValues::setComboText(control<QComboBox>(editor, "cmbSchriftStil" + n),
                                    QLatin1String(style));
    }

    TfrmAllgEinstellungen &settings()
    {
        control<QPushButton>(&window, QStringLiteral("btnEinstellungen"))->click();
        auto *settings = dynamic_cast<TfrmAllgEinstellungen *>(window.settingsWindow());
        if (!settings || !QTest::qWaitForWindowExposed(settings))
            qFatal("general settings not shown");
        return *settings;
    }

    int recordsOf(int rnr)
    {
        return int(installation.host().layouts().keys({rnr, rnr, std::nullopt}).size());
    }

    TestInstallation installation;
    TfrmKassotypHaupt window;
};

QStringList captions(const TButtonMenu *menu)
{
    QStringList texts;
    for (int i = 0; i < menu->count(); ++i)
        texts << menu->entry(i).caption;
    return texts;
}

bool hasPicture(const PrintJob &job)
{
    return std::any_of(job.items.cbegin(), job.items.cend(),
                       [](const JobItem &item) { return item.kind == JobItem::Kind::Picture; });
}

} // namespace

class TestUserGuide : public QObject
{
    Q_OBJECT

private slots:
    void chooseATillAndASection()
    {
        Tour tour;
        saveScreenshot(&tour.window, QStringLiteral("main-window"));
        QVERIFY(control<QComboBox>(&tour.window, QStringLiteral("cmbRechner"))->isEnabled());
        QCOMPARE(tour.window.workstationNumber(), Till);
        const QStringList sections = captions(tour.menu(QStringLiteral("btnMenuRechts")));
        for (const char *section : {"Kopf", "Positionen", "Summen u. Zahlung", "Testdruck"})
            QVERIFY2(sections.contains(QLatin1String(section)), qPrintable(sections.join(u',')));
    }

    // The header with a logo is what the test print of the receipt then prints.
    void headerWithLogoAndItsTestPrint()
    {
        Tour tour;
        QString preview;
        tour.saveHeaderWithLogo([&](QWidget *editor) {
            saveScreenshot(editor, QStringLiteral("header-editor"));
            // A double click on the preview opens it full-screen.
            preview =
                    whileModal([editor] { static_cast<LayoutEditor *>(editor)->scbPreviewClick(); },
                               [](QWidget *full) {
                                   saveScreenshot(full, QStringLiteral("full-screen-preview"));
                               });
        });
        QCOMPARE(preview, QStringLiteral("TfrmPreview"));
        QVERIFY(tour.installation.host().logos().load({QStringLiteral("KASSOTYP"),
                                                       QStringLiteral("BONKOPF"),
                                                       QStringLiteral("AKTUELL"), Till}));
        QCOMPARE(tour.installation.list(QStringLiteral("BONKOPF"), Till, Printer)->value(0),
                 QStringLiteral("1"));

        QImage shown;
        const QString viewer = tour.openSection(TestPrintSection, [&](QWidget *window) {
            saveScreenshot(window, QStringLiteral("test-print"));
            shown = static_cast<TfrmTestdruckAnzeige *>(window)->picture();
        });
        QCOMPARE(viewer, QStringLiteral("TfrmTestdruckAnzeige"));
        const PrintJob &job = tour.window.engine().lastJob();
        QVERIFY(hasPicture(job));
        QVERIFY(job.texts().contains(QStringLiteral("Schuhhaus Feldmann")));
        QCOMPARE(shown, renderJobToImage(job));
        QCOMPARE(tour.installation.messages().count(), 0);
    }

    // A preset keeps a design under its name and brings it back into the editor.
    void itemLinesAndPresets()
    {
        Tour tour;
        QString restored;
        const QString editor = tour.openSection(ItemSection, [&](QWidget *window) {
            // An article's lines: number and name, quantity and prices, size.
            for (int n = 1; window->findChild<QLineEdit *>("edtTxtZeile" + QString::number(n)); ++n)
                Tour::setLine(window, n, "", "9", "normal");
            Tour::setLine(window, 1, "#ArtikelNr#  #ArtikelBez#", "9", "fett");
            Tour::setLine(window, 2, "#Menge# x #IstVkWH1#", "9", "normal");
            Tour::setLine(window, 3, "#GesIstVkWH1#", "9", "fett");
            Tour::setLine(window, 4, "Größe #Größe#", "8", "normal");
            control<QPushButton>(window, QStringLiteral("btnPreview"))->click();
            saveScreenshot(window, QStringLiteral("item-editor"));
            QRect buttons;
            for (const char *name : {"btnPreview", "btnVorgabeLaden", "btnVorgabeSpeichern",
                                     "btnVorgabeLoeschen", "btnBuchen", "btnAbbrechen"}) {
                const QWidget *button = control(window, QLatin1String(name));
                buttons |= QRect(button->mapTo(window, QPoint(0, 0)), button->size());
            }
            saveScreenshot(window, QStringLiteral("presets"), buttons.adjusted(-8, -8, 8, 8));

            auto *line = control<QLineEdit>(window, QStringLiteral("edtTxtZeile1"));
            line->setText(QStringLiteral("#ArtikelBez# in Blau"));
            control<QPushButton>(window, QStringLiteral("btnVorgabeSpeichern"))->click();
            line->setText(QStringLiteral("verworfen"));
            control<QPushButton>(window, QStringLiteral("btnVorgabeLaden"))->click();
            restored = line->text();
        });
        QCOMPARE(editor, QStringLiteral("TfrmLayBonPos"));
        QCOMPARE(restored, QStringLiteral("#ArtikelBez# in Blau"));
        // Closed with Esc: the preset is kept, the layout itself was not saved.
        QVERIFY(!tour.installation.list(QStringLiteral("BONPOS"), Till, Printer));
    }

    void paperWidthPrinterAndDisplay()
    {
        Tour tour;
        TfrmAllgEinstellungen &settings = tour.settings();
        saveScreenshot(&settings, QStringLiteral("general-settings"));
        QCOMPARE(settings.workstation(), Till);

        auto open = [&](const char *button) {
            return [&settings, button] {
                settings.btnMenuClick(QLatin1String(button));
            };
        };
        QCOMPARE(whileModal(open("btnDruckerPapierbreiteRaender"),
                            [](QWidget *w) { saveScreenshot(w, QStringLiteral("paper-width")); }),
                 QStringLiteral("TfrmBreiteRaender"));
        QCOMPARE(whileModal(open("btnDruckerKassenladeKundeanzeige"),
                            [](QWidget *w) {
                                saveScreenshot(w, QStringLiteral("printer-settings"));
                                QTest::keyClick(w, Qt::Key_F4);
                                // The upper part: these pages have few fields.
                                const QRect upper(0, 0, w->width(), 290);
                                saveScreenshot(w, QStringLiteral("printer-drawer"), upper);
                                QTest::keyClick(w, Qt::Key_F4);
                                saveScreenshot(w, QStringLiteral("printer-display"), upper);
                            }),
                 QStringLiteral("TfrmAllgTreiber"));
        QCOMPARE(
                whileModal(open("btnLokaleEinstellungen"),
                           [](QWidget *w) { saveScreenshot(w, QStringLiteral("local-settings")); }),
                QStringLiteral("TfrmSettings"));
        QCOMPARE(tour.installation.messages().count(), 0);
    }

    // The template's records become the new till's with "Drucker Vorgabe Einstellen", after a
    // question.
    void newTillFromTheTemplate()
    {
        Tour tour;
        tour.saveHeaderWithLogo();
        const auto header = tour.installation.list(QStringLiteral("BONKOPF"), Till, Printer);
        QVERIFY(header);
        // The installation's template: the header designed on the first till.
        tour.installation.putList(QStringLiteral("BONKOPF"), 0, Printer, *header);
        tour.chooseWorkstation(SecondTill);
        QCOMPARE(tour.recordsOf(SecondTill), 0);
        tour.installation.messages().setNextAnswer(Answer::Yes);
        tour.settings().btnMenuClick(QStringLiteral("btnDruckerVorgabeEinstellen"));

        QVERIFY(tour.installation.messages().sawMessage(1024));
        QCOMPARE(tour.installation.list(QStringLiteral("BONKOPF"), SecondTill, Printer), header);
        QVERIFY(tour.installation.list(QStringLiteral("SEITEEIN"), SecondTill, Printer));
        QCOMPARE(tour.installation.messages().shown().last().text,
                 QStringLiteral("Für Rechner 4 und den Drucker TM-T88 wurden 2 Layoutsätze "
                                "angelegt."));
    }

    // The copy window takes the first till's header to the other tills.
    void copySettingsToOtherTills()
    {
        Tour tour;
        tour.saveHeaderWithLogo();
        TfrmAllgEinstellungen &settings = tour.settings();
        tour.installation.messages().setNextAnswer(Answer::Yes); // "overwrite these tills?"
        const QString window = whileModal(
                [&] {
                    settings.btnMenuClick(
                            QStringLiteral("btnDruckerEinstellungenaufandereRechnerkopieren"));
                },
                [](QWidget *copy) {
                    auto *sources = control<QListWidget>(copy, QStringLiteral("lblRechner"));
                    auto *targets = control<QListWidget>(copy, QStringLiteral("chbRechner"));
                    sources->setCurrentRow(0);
                    for (int row = 1; row < targets->count(); ++row)
                        targets->item(row)->setCheckState(Qt::Checked);
                    saveScreenshot(copy, QStringLiteral("copy-settings"));
                    control<QPushButton>(copy, QStringLiteral("btnBuchen"))->click();
                });
        QCOMPARE(window, QStringLiteral("TfrmCopyOptions"));
        QVERIFY(tour.installation.messages().sawMessage(1032));
        const auto header = tour.installation.list(QStringLiteral("BONKOPF"), Till, Printer);
        QVERIFY(header);
        QCOMPARE(tour.installation.list(QStringLiteral("BONKOPF"), SecondTill, Printer), header);
    }
};

QTEST_MAIN(TestUserGuide)
#include "tst_userguide.moc"
