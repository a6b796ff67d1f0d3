#include "settings/SeiteEinr.h"
#include "tests/support/guisupport.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

const QString Page = QStringLiteral("SEITEEIN");
const QString Printer = QStringLiteral("TM-T88");
constexpr int OwnRnr = 3;

QStringList page(const QString &width, const QString &name = Printer)
{
    return {width, "0,20", "0,30", "0,40", "12,00", "0,50", name};
}

class Session
{
public:
    explicit Session(int startMode = 1)
        : main(installation, OwnRnr, startMode)
    {
    }

    TfrmBreiteRaender &create()
    {
        window = std::make_unique<TfrmBreiteRaender>();
        return *window;
    }
    TfrmBreiteRaender &open()
    {
        if (!window)
            create();
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("paper width window did not become active");
        return *window;
    }

    QLineEdit *field(const char *name) const { return window->findChild<QLineEdit *>(name); }
    QComboBox *presets() const { return window->findChild<QComboBox *>("ddcEinstellung"); }
    QString width() const { return field("edtPapierbreite")->text(); }
    QStringList own() const
    {
        return installation.list(Page, OwnRnr, Printer).value_or(QStringList{"<kein Satz>"});
    }
    void removePrinter()
    {
        for (const QString &key : {QStringLiteral("AKTIV"), Printer})
            installation.host().layouts().remove({QStringLiteral("AKTBONDR"), 0, key});
        main.setWorkstation(OwnRnr);
    }

    mutable TestInstallation installation;
    FakeMainWindow main;
    std::unique_ptr<TfrmBreiteRaender> window;
};

} // namespace

class TestPaperWidth : public QObject
{
    Q_OBJECT

private slots:
    void loadsOwnRecordThenTemplateWithoutWritingBack_data()
    {
        QTest::addColumn<QStringList>("own");   // empty: no record of its own
        QTest::addColumn<bool>("withTemplate"); // the seeded template record stays
        QTest::addColumn<bool>("printer");      // false: the engine has no printer key
        QTest::addColumn<QString>("width");     // shown after opening
        QTest::addColumn<QString>("preset");    // chosen after opening
        QTest::newRow("own record wins") << page("7,00") << true << true << "7,00" << Printer;
        QTest::newRow("template record when none of its own")
                << QStringList() << true << true << "6,52" << Printer;
        QTest::newRow("neither: fields keep 0,00")
                << QStringList() << false << true << "0,00" << QString();
        QTest::newRow("six entries change nothing, template not consulted")
                << page("7,00").mid(0, 6) << true << true << "0,00" << QString();
        QTest::newRow("garbage number counts as 0")
                << page("sieben") << true << true << "0,00" << Printer;
        QTest::newRow("point as decimal separator")
                << page("7.5") << true << true << "7,50" << Printer;
        QTest::newRow("no printer key: loads under TEST")
                << QStringList() << true << false << "5,00"
                << "TEST";
    }

    void loadsOwnRecordThenTemplateWithoutWritingBack()
    {
        QFETCH(QStringList, own);
        QFETCH(bool, withTemplate);
        QFETCH(bool, printer);
        QFETCH(QString, width);
        QFETCH(QString, preset);
        Session s;
        if (!own.isEmpty())
            s.installation.putList(Page, OwnRnr, Printer, own);
        if (!withTemplate)
            s.installation.host().layouts().remove({Page, 0, Printer});
        s.installation.putList(Page, 0, "TEST", page("5,00", "TEST"));
        if (!printer)
            s.removePrinter();
        s.open();
        QCOMPARE(s.width(), width);
        QCOMPARE(s.presets()->currentText(), preset);
        QCOMPARE(s.own(), own.isEmpty() ? QStringList{"<kein Satz>"} : own);
    }

    void unknownStoredNameSelectsRememberedPrinterIgnoringCase_data()
    {
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("small letters still select TM-T88") << "tm-t88" << Printer;
        QTest::newRow("nothing remembered: nothing chosen") << QString() << QString();
    }

    void unknownStoredNameSelectsRememberedPrinterIgnoringCase()
    {
        QFETCH(QString, remembered);
        QFETCH(QString, chosen);
        Session s;
        s.installation.putList(Page, OwnRnr, Printer, page("7,00", "UNBEKANNT"));
        s.create().SetPrinterIfNotSet(remembered);
        s.presets()->setCurrentIndex(-1);
        s.open();
        QCOMPARE(s.width(), QStringLiteral("7,00"));
        QCOMPARE(s.presets()->currentText(), chosen);
    }

    void setPrinterIfNotSetNeverReplacesAChoice()
    {
        Session s;
        TfrmBreiteRaender &w = s.create();
        QCOMPARE(s.presets()->currentIndex(), -1);
        w.SetPrinterIfNotSet("tm-t88");
        QCOMPARE(s.presets()->currentText(), Printer);

        s.presets()->setCurrentText("TM-U200B");
        w.SetPrinterIfNotSet("TEST");
        QCOMPARE(s.presets()->currentText(), QStringLiteral("TM-U200B"));
        QCOMPARE(w.rememberedPrinter(), QStringLiteral("TEST"));

        // The same name again is not a new printer: an emptied choice stays empty.
        s.presets()->setCurrentIndex(-1);
        w.SetPrinterIfNotSet("TEST");
        QCOMPARE(s.presets()->currentText(), QString());
    }

    void choosingAPresetLoadsItsRecord()
    {
        Session s;
        s.installation.putList(Page, 0, "TM-U200B", page("6,30", "TM-U200B"));
        s.open();
        s.presets()->setCurrentText("TM-U200B");
        s.window->ddcEinstellungClick();
        QCOMPARE(s.width(), QStringLiteral("6,30"));
        QCOMPARE(s.field("edtRandUnten")->text(), QStringLiteral("0,50"));
    }

    void numberFieldsRefuseWhatIsNoCentimetreValue_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("comma decimals") << "6,41"
                                        << "6,41";
        QTest::newRow("letters refused") << "a1b"
                                         << "1";
        QTest::newRow("third decimal refused") << "12,345"
                                               << "12,34";
        QTest::newRow("above 99,99 refused") << "100"
                                             << "10";
        QTest::newRow("minus refused") << "-5"
                                       << "5";
        QTest::newRow("a point is a decimal separator too") << "6.4"
                                                            << "6.4";
    }

    void numberFieldsRefuseWhatIsNoCentimetreValue()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Session s;
        s.open();
        QLineEdit *edit = s.field("edtRandLinks");
        QCOMPARE(edit->text(), QStringLiteral("0,00"));
        edit->clear();
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), shown);
    }

    void takesTheWidthOfThePrinter_data()
    {
        QTest::addColumn<int>("dots");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("width");
        QTest::newRow("512 dots at 203 dpi") << 512 << 203 << "de_DE"
                                             << "6,41";
        QTest::newRow("A4 printable at 600 dpi") << 4760 << 600 << "de_DE"
                                                 << "20,15";
        QTest::newRow("with the system's separator") << 512 << 203 << "en_GB"
                                                     << "6.41";
        QTest::newRow("no resolution empties the field") << 512 << 0 << "de_DE"
                                                         << "";
        QTest::newRow("no width empties the field") << 0 << 203 << "de_DE"
                                                    << "";
    }

    void takesTheWidthOfThePrinter()
    {
        QFETCH(int, dots);
        QFETCH(int, dpi);
        QFETCH(QString, locale);
        QFETCH(QString, width);
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        Session s;
        s.open().takePaperWidth(dots, dpi);
        QLocale::setDefault(before);
        QCOMPARE(s.width(), width);
    }

    // "6.52" typed keeps its point and is saved as 6,52; it must not turn into 652 or 65.
    void typedPointIsADecimalSeparator()
    {
        Session s;
        s.open();
        QLineEdit *width = s.field("edtPapierbreite");
        width->setFocus();
        width->selectAll();
        QTest::keyClicks(width, "6.52");
        QCOMPARE(width->text(), QStringLiteral("6.52"));
        QVERIFY(width->hasAcceptableInput());
        QTest::keyClick(width, Qt::Key_F5);
        QCOMPARE(s.own().value(0), QStringLiteral("6,52"));
    }

    // The button asks the system's default printer through the print module: in the test
    // command that is the private CUPS server's PDF queue. Without one the field is emptied.
    void printerButtonTakesTheDefaultPrintersWidth()
    {
        QString expected;
        if (const QPrinterInfo info = QPrinterInfo::defaultPrinter(); !info.isNull()) {
            QPrinter printer(info, QPrinter::HighResolution);
            const int dpi = printer.resolution();
            const double cm = printer.pageLayout().paintRectPixels(dpi).width() * 2.54 / dpi;
            expected = QLocale().toString(cm, 'f', 2);
            QVERIFY(cm > 1);
        }
        Session s;
        s.open();
        QTest::mouseClick(s.window->findChild<QToolButton *>("sbtAktPaperWidth"), Qt::LeftButton);
        QCOMPARE(s.width(), expected);
        QCOMPARE(s.installation.messages().count(), 0);
    }

    void saveWritesTheOwnRecordAndRefreshesTheEngine()
    {
        Session s;
        s.open();
        s.field("edtPapierbreite")->setText("7,2");
        s.field("edtRandRechts")->setText("");
        QTest::keyClick(s.window.get(), Qt::Key_F5);

        const QStringList expected{"7,20", "0,00", "0,00", "0,00", "0,00", "0,00", Printer};
        QCOMPARE(s.own(), expected);
        QCOMPARE(s.main.engine()._Get_PrinterPageSetup(), expected);
        const QStringList seeded{"6,52", "0,00", "0,00", "0,00", "0,00", "0,00", Printer};
        QCOMPARE(s.installation.list(Page, 0, Printer), seeded); // the template is untouched
        QVERIFY(s.window->isVisible());
        QCOMPARE(s.presets()->count(), 12); // the built-in page presets
        QCOMPARE(s.presets()->currentText(), Printer);
    }

    void staysOpenAfterSavingAndCountsItAsSaved()
    {
        // Catches "Änderungen verwerfen? ... nicht gebucht." asked after "Buchen", and a save
        // that leaves the open window without a word.
        Session s;
        s.open();
        auto *heading = s.window->findChild<QLabel *>(QStringLiteral("lblUeberschrift"));
        QCOMPARE(heading->text(),
                 QStringLiteral("Rechner 3 Kasse 3 – Drucker: Epson TM-T88 Grafikmodus"));
        QLineEdit *width = s.field("edtPapierbreite");
        width->setFocus();
        width->selectAll();
        QTest::keyClicks(width, "8,0");
        QTest::mouseClick(s.window->findChild<QPushButton *>(QStringLiteral("btnBuchen")),
                          Qt::LeftButton);

        QVERIFY(s.window->isVisible());
        QCOMPARE(s.own().value(0), QStringLiteral("8,00"));
        const QString status = s.window->findChild<QLabel *>(QStringLiteral("lblStatus"))->text();
        QVERIFY2(status.startsWith(QStringLiteral("Gebucht: Papierbreite und Ränder des Druckers "
                                                  "TM-T88 für Rechner 3 Kasse 3")),
                 qPrintable(status));

        // Closing right after the save asks nothing; an edit after it asks again.
        QTest::keyClick(s.window.get(), Qt::Key_Escape);
        QVERIFY(!s.window->isVisible());
        QCOMPARE(s.installation.messages().count(), 0);
        s.open();
        s.field("edtRandLinks")->setFocus();
        s.field("edtRandLinks")->selectAll();
        QTest::keyClicks(s.field("edtRandLinks"), "1");
        QTest::keyClick(s.window.get(), Qt::Key_Escape);
        QVERIFY(s.window->isVisible());
        QVERIFY(s.installation.messages().shown().last().text.startsWith(
                QStringLiteral("Änderungen verwerfen?")));
    }

    void failedSaveIsReportedAndChangesNothing_data()
    {
        QTest::addColumn<bool>("storeRefuses");
        QTest::newRow("store refuses the write") << true;
        QTest::newRow("no printer name chosen") << false;
    }

    void failedSaveIsReportedAndChangesNothing()
    {
        // Regression guard: a failed save must neither close the window nor reach the engine.
        QFETCH(bool, storeRefuses);
        Session s;
        s.open();
        if (storeRefuses) {
            s.installation.host().store().execSql(
                    "CREATE TRIGGER refuse BEFORE INSERT ON layout_records BEGIN "
                    "SELECT RAISE(ABORT, 'Speicher gesperrt'); END",
                    "Schreibsperre");
        } else {
            s.presets()->setCurrentIndex(-1);
        }
        s.field("edtPapierbreite")->setText("9,99");
        const QStringList before = s.main.engine()._Get_PrinterPageSetup();
        QTest::mouseClick(s.window->findChild<QPushButton *>("btnBuchen"), Qt::LeftButton);

        QCOMPARE(s.installation.messages().count(), 1);
        QVERIFY(s.installation.messages().shown().constFirst().kind == MessageKind::Error);
        QVERIFY(s.window->isVisible());
        QCOMPARE(s.width(), QStringLiteral("9,99"));
        QCOMPARE(s.own(), QStringList{"<kein Satz>"});
        QCOMPARE(s.main.engine()._Get_PrinterPageSetup(), before);
    }

    void presetChooserOnlyInSystemModeRestoresExactValues()
    {
        {
            Session normal(1);
            normal.open();
            QVERIFY(!normal.window->findChild<QToolButton *>("spbFormStoreDlg")->isVisible());
        }

        Session s(2);
        s.open();
        QVERIFY(s.window->findChild<QToolButton *>("spbFormStoreDlg")->isVisible());
        s.window->spbFormStoreDlgClick();
        auto *menu = s.window->findChild<QMenu *>("mnuVorgaben");
        QVERIFY(menu);
        menu->findChild<QAction *>("actVorgabe_TM-J8000 S")->trigger();
        const QStringList shown{s.width(),
                                s.field("edtPapierHoehe")->text(),
                                s.field("edtRandOben")->text(),
                                s.field("edtRandUnten")->text(),
                                s.field("edtRandLinks")->text(),
                                s.field("edtRandRechts")->text()};
        QCOMPARE(shown, (QStringList{"21,00", "21,00", "1,50", "1,50", "7,30", "2,10"}));
        QCOMPARE(s.own(), QStringList{"<kein Satz>"}); // restoring is no saving
    }

    void screenshot()
    {
        Session s;
        s.open();
        QCOMPARE(QImage(saveScreenshot(s.window.get(), "paper-width")).size(),
                 s.window->size() * s.window->devicePixelRatio());
    }
};

QTEST_MAIN(TestPaperWidth)
#include "tst_paperwidth.moc"
