// The walk through the user guide (docs/user-guide.md): the windows a shop administrator opens
// on a fresh store, with the demo shop's designs in it, driven as a person would, each saved as
// the guide's picture under a stable name, and the outcome the guide promises checked.
// scripts/update-guide-screenshots.sh copies the pictures into docs/images.
#include "core/engine/bonprinter.h"
#include "core/engine/testprints.h"
#include "editors/layouteditor.h"
#include "settings/allgeinstellungenfrm.h"
#include "shell/kassotypu.h"
#include "shell/testdruckanzeige.h"
#include "tests/support/guisupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

constexpr int BackOffice = 2;
constexpr int Till = 3;         // "Kasse 3"
constexpr int SecondTill = 4;   // "Kasse 4", printing in text mode
constexpr int MobileTill = 5;   // "Mobile Kasse 5", not yet set up
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

    // "Drucker Vorgabe Einstellen" for the chosen till, answered Yes.
    void setUpFromTemplate()
    {
        installation.messages().setNextAnswer(Answer::Yes);
        settings().btnMenuClick(QStringLiteral("btnDruckerVorgabeEinstellen"));
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

    // The demo shop's receipt header opens with its logo; saved for the till, it is what the
    // test print of the receipt prints, a whole receipt of the shop.
    void headerWithLogoAndItsTestPrint()
    {
        Tour tour;
        QString preview;
        QString firstLine;
        bool logoOn = false;
        tour.openSection(HeaderSection, [&](QWidget *editor) {
            firstLine = control<QLineEdit>(editor, QStringLiteral("edtTxtZeile1"))->text();
            logoOn = control<QCheckBox>(editor, QStringLiteral("chbLogo"))->isChecked();
            saveScreenshot(editor, QStringLiteral("header-editor"));
            // A double click on the preview opens it full-screen.
            preview =
                    whileModal([editor] { static_cast<LayoutEditor *>(editor)->scbPreviewClick(); },
                               [](QWidget *full) {
                                   saveScreenshot(full, QStringLiteral("full-screen-preview"));
                               });
            control<QPushButton>(editor, QStringLiteral("btnBuchen"))->click();
        });
        QCOMPARE(firstLine, QStringLiteral("#MandName#"));
        QVERIFY(logoOn);
        QCOMPARE(preview, QStringLiteral("TfrmPreview"));
        // The till's own header names the template's logo, which stays where it is.
        const auto header = tour.installation.list(QStringLiteral("BONKOPF"), Till, Printer);
        QVERIFY(header);
        QCOMPARE(header->value(0), QStringLiteral("1"));
        QCOMPARE(header->value(1), QStringLiteral("KASSOTYP\\BONKOPF\\0"));

        QImage shown;
        const QString viewer = tour.openSection(TestPrintSection, [&](QWidget *window) {
            saveScreenshot(window, QStringLiteral("test-print"));
            shown = static_cast<TfrmTestdruckAnzeige *>(window)->picture();
        });
        QCOMPARE(viewer, QStringLiteral("TfrmTestdruckAnzeige"));
        const PrintJob &job = tour.window.engine().lastJob();
        QVERIFY(hasPicture(job));
        for (const char *text :
             {"Schuhhaus Feldmann", "Derby Classic Wildleder", "Vielen Dank für Ihren Einkauf!"})
            QVERIFY2(job.texts().contains(QString::fromUtf8(text)), text);
        QCOMPARE(shown, renderJobToImage(job));
        QCOMPARE(tour.installation.messages().count(), 0);
    }

    // The demo's item lines in their editor; a preset keeps a design under its name and brings
    // it back into the editor.
    void itemLinesAndPresets()
    {
        Tour tour;
        QString designed;
        QString restored;
        const QString editor = tour.openSection(ItemSection, [&](QWidget *window) {
            auto *line = control<QLineEdit>(window, QStringLiteral("edtTxtZeile1"));
            designed = line->text();
            saveScreenshot(window, QStringLiteral("item-editor"));
            QRect buttons;
            for (const char *name : {"btnPreview", "btnVorgabeLaden", "btnVorgabeSpeichern",
                                     "btnVorgabeLoeschen", "btnBuchen", "btnAbbrechen"}) {
                const QWidget *button = control(window, QLatin1String(name));
                buttons |= QRect(button->mapTo(window, QPoint(0, 0)), button->size());
            }
            saveScreenshot(window, QStringLiteral("presets"), buttons.adjusted(-8, -8, 8, 8));

            line->setText(QStringLiteral("#ArtikelBez# in Blau"));
            control<QPushButton>(window, QStringLiteral("btnVorgabeSpeichern"))->click();
            line->setText(QStringLiteral("verworfen"));
            control<QPushButton>(window, QStringLiteral("btnVorgabeLaden"))->click();
            restored = line->text();
        });
        QCOMPARE(editor, QStringLiteral("TfrmLayBonPos"));
        QCOMPARE(designed, QStringLiteral("#ArtikelBez#"));
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

    // The template's records, the shop's whole design, become the new till's with "Drucker
    // Vorgabe Einstellen", after a question.
    void newTillFromTheTemplate()
    {
        Tour tour;
        tour.chooseWorkstation(MobileTill);
        QCOMPARE(tour.recordsOf(MobileTill), 0);
        // Every template record of the printer but the template's own printer record.
        QList<LayoutKey> designed;
        for (const LayoutRecord &r : tour.installation.host().layouts().keys({0, 0, Printer})) {
            if (r.key.kennung != QLatin1String("AKTBONDR"))
                designed << r.key;
        }
        QVERIFY(designed.size() > 100);
        tour.setUpFromTemplate();

        QVERIFY(tour.installation.messages().sawMessage(1024));
        for (const LayoutKey &key : designed) {
            QVERIFY2(tour.installation.list(key.kennung, MobileTill, Printer)
                             == tour.installation.list(key.kennung, 0, Printer),
                     qPrintable(key.kennung));
        }
        QCOMPARE(tour.installation.messages().shown().last().text,
                 QStringLiteral("Für Rechner 5 und den Drucker TM-T88 wurden %1 Layoutsätze "
                                "angelegt.")
                         .arg(designed.size()));
    }

    // The copy window takes the first till's header to the other tills.
    void copySettingsToOtherTills()
    {
        Tour tour;
        tour.setUpFromTemplate(); // the first till's own records
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

    // A header saved twice: the history lists both saves and shows what putting the first back
    // would change, in the editor's words; "Belegprüfung" finds nothing missing in the demo.
    void earlierVersionsAndTheReceiptCheck()
    {
        Tour tour;
        const QString address = QStringLiteral("Marktgasse 9, 04177 Lindenau");
        for (const QString &text : {QString(), address}) {
            tour.openSection(HeaderSection, [&](QWidget *editor) {
                if (!text.isEmpty())
                    control<QLineEdit>(editor, QStringLiteral("edtTxtZeile2"))->setText(text);
                control<QPushButton>(editor, QStringLiteral("btnBuchen"))->click();
            });
        }
        QString difference;
        int versions = 0;
        tour.openSection(HeaderSection, [&](QWidget *editor) {
            whileModal(
                    [editor] {
                        control<QPushButton>(editor, QStringLiteral("btnVerlauf"))->click();
                    },
                    [&](QWidget *history) {
                        auto *list = control<QTreeWidget>(history, QStringLiteral("lvwVersionen"));
                        versions = list->topLevelItemCount();
                        if (versions > 1)
                            list->setCurrentItem(list->topLevelItem(1));
                        difference =
                                control<QPlainTextEdit>(history, QStringLiteral("memUnterschiede"))
                                        ->toPlainText();
                        saveScreenshot(history, QStringLiteral("history"));
                    });
        });
        QVERIFY2(versions >= 2, qPrintable(QString::number(versions)));
        QVERIFY2(difference.contains(QStringLiteral("»") + address + QStringLiteral("« →")),
                 qPrintable(difference));

        QString found;
        const QString check = whileModal(
                [&] {
                    control<QPushButton>(&tour.window, QStringLiteral("btnBelegpruefung"))->click();
                },
                [&](QWidget *window) {
                    for (const QLabel *label : window->findChildren<QLabel *>())
                        found += label->text() + u'\n';
                    saveScreenshot(window, QStringLiteral("receipt-check"));
                });
        QCOMPARE(check, QStringLiteral("TfrmBelegpruefung"));
        QVERIFY2(found.contains(QLatin1String("nichts fehlt")), qPrintable(found));
    }
};

QTEST_MAIN(TestUserGuide)
#include "tst_userguide.moc"
