#include "core/format/devicepresets.h"
#include "settings/allgtreiber.h"
#include "tests/support/guisupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

const QString PrinterKennung = QStringLiteral("AKTBONDR");
const QString DisplayKennung = QStringLiteral("DISPLAY");

// A printer list of the given length whose control font name marks where it came from.
QStringList printerList(const QString &marker, int length = PrinterRecordSize)
{
    QStringList list = printerRecordFromPreset(QStringLiteral("TM-T88"));
    list[13] = marker;
    list[42] = QStringLiteral("1");
    list[43] = QStringLiteral("1B70");
    return list.mid(0, length);
}

class Session
{
public:
    explicit Session(int rnr = 3, int startMode = 1)
        : main(installation, rnr, startMode)
    {
    }
    ~Session()
    {
        if (window)
            window->close();
    }

    TfrmAllgTreiber &open()
    {
        window = std::make_unique<TfrmAllgTreiber>();
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("printer settings did not become active");
        return *window;
    }

    template<class T = QLineEdit>
    T *find(const QString &name) const
    {
        T *w = window->findChild<T *>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QString text(const QString &name) const { return find(name)->text(); }
    QString shown(const QString &name) const { return find<QComboBox>(name)->currentText(); }

    // Chooses an entry as a user does, by the keyboard, so that only user changes react.
    void choose(const QString &combo, const QString &entry)
    {
        auto *c = find<QComboBox>(combo);
        const int i = c->findText(entry);
        QVERIFY2(i >= 0, qPrintable(entry));
        c->setCurrentIndex(i == 0 ? 1 : i - 1);
        QTest::keyClick(c, i == 0 ? Qt::Key_Up : Qt::Key_Down);
        QCOMPARE(c->currentText(), entry);
    }
    void save() { QTest::mouseClick(find<QPushButton>("btnBuchen"), Qt::LeftButton); }

    QStringList stored(const QString &kennung, int rnr, const QString &key)
    {
        return installation.list(kennung, rnr, key).value_or(QStringList{"<kein Satz>"});
    }
    void refuseInserts(const QString &kennung)
    {
        installation.host().store().execSql(
                QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON layout_records WHEN "
                               "NEW.kennung = '%1' BEGIN SELECT RAISE(ABORT, 'gesperrt'); END")
                        .arg(kennung),
                QStringLiteral("Schreibsperre"));
    }

    TestInstallation installation;
    FakeMainWindow main;
    std::unique_ptr<TfrmAllgTreiber> window;
};

} // namespace

class TestDrivers : public QObject
{
    Q_OBJECT

private slots:
    void loadsOwnThenTemplateThenDummyPrinter_data()
    {
        QTest::addColumn<bool>("own");
        QTest::addColumn<bool>("templateActive");
        QTest::addColumn<int>("startMode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("own record wins") << true << true << 1 << "eigen";
        QTest::newRow("template's active record") << false << true << 1 << "vorlage";
        QTest::newRow("neither: start mode 1 takes TEST") << false << false << 1 << "dummy";
        QTest::newRow("neither: start mode 2 leaves the fields") << false << false << 2 << "";
    }
    void loadsOwnThenTemplateThenDummyPrinter()
    {
        QFETCH(bool, own);
        QFETCH(bool, templateActive);
        QFETCH(int, startMode);
        QFETCH(QString, expected);
        Session s(3, startMode);
        if (own)
            s.installation.putList(PrinterKennung, 3, "AKTIV", printerList("eigen"));
        if (templateActive)
            s.installation.putList(PrinterKennung, 0, "AKTIV", printerList("vorlage"));
        else
            s.installation.host().layouts().remove({PrinterKennung, 0, "AKTIV"});
        s.installation.putList(PrinterKennung, 0, "TEST", printerList("dummy"));
        s.main.setWorkstation(3);
        s.open();
        QCOMPARE(s.text("edtNameControlFont"), expected);
        QCOMPARE(s.find<QCheckBox>("chbForcePrinterInit")->isChecked(), !expected.isEmpty());
    }

    void shortPrinterListsApplyByStage_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("controlFont");
        QTest::addColumn<bool>("forceInit");
        QTest::addColumn<QString>("serial");
        QTest::newRow("41 entries change nothing")
                << printerList("kurz", 41) << "voll" << true << "1B7000";
        QTest::newRow("42 entries uncheck the box, keep the serial drawer")
                << printerList("kurz", 42) << "kurz" << false << "1B7000";
        QTest::newRow("44 entries reach the serial sequence")
                << printerList("kurz", 44) << "kurz" << true << "1B70";
    }
    void shortPrinterListsApplyByStage()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, controlFont);
        QFETCH(bool, forceInit);
        QFETCH(QString, serial);
        Session s;
        QStringList full = printerList("voll");
        full[43] = "1B7000";
        s.installation.putList(PrinterKennung, 3, "AKTIV", full);
        s.installation.putList(PrinterKennung, 0, "LEX5700", stored);
        s.open();
        s.choose("ddcEinstellung", "LEX5700");
        QCOMPARE(s.text("edtNameControlFont"), controlFont);
        QCOMPARE(s.find<QCheckBox>("chbForcePrinterInit")->isChecked(), forceInit);
        QCOMPARE(s.text("edtESCOpenSequenzCOM"), serial);
        // The stored name (TM-T88) does not replace the one being chosen.
        QCOMPARE(s.shown("ddcEinstellung"), QStringLiteral("LEX5700"));
    }

    void printerModeNotAWholeNumberIsReportedNotApplied()
    {
        Session s;
        QStringList bad = printerList("kaputt");
        bad[0] = "Grafik";
        s.installation.putList(PrinterKennung, 3, "AKTIV", bad);
        s.installation.putList(DisplayKennung, 3, "DISPLAY",
                               {"DSP8000", "COM2", "9600", "Odd", "0C", "0B", "0B0A"});
        s.installation.messages().clear();
        s.open();
        QCOMPARE(s.text("edtNameControlFont"), QString());
        QCOMPARE(s.installation.messages().count(), 1);
        const QString message = s.installation.messages().shown().constFirst().text;
        QVERIFY2(message.contains("AKTBONDR / Rechner 3 / AKTIV") && message.contains("Grafik"),
                 qPrintable(message));
        // The display record is independent of the damaged printer record.
        QCOMPARE(s.shown("cmbKDAnschluss"), QStringLiteral("COM2"));
        QCOMPARE(s.stored(PrinterKennung, 3, "AKTIV"), bad);
    }

    void serialDrawerSequenceIsNormalisedOnLeaving_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<bool>("saved");
        QTest::newRow("blanks trimmed, case kept") << "  1b70 "
                                                   << "1b70" << true;
        QTest::newRow("odd count gets a leading zero") << "B70"
                                                       << "0B70" << true;
        // Not hex: kept as typed and marked (it used to vanish without a word), and not saved.
        QTest::newRow("a non-hex character stays and is refused") << "1B7G"
                                                                  << "1B7G" << false;
        QTest::newRow("a blank inside stays and is refused") << "1B 70"
                                                             << "1B 70" << false;
    }
    void serialDrawerSequenceIsNormalisedOnLeaving()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(bool, saved);
        Session s;
        s.open();
        QTest::keyClick(s.window.get(), Qt::Key_F4);
        QLineEdit *edit = s.find("edtESCOpenSequenzCOM");
        edit->setFocus();
        edit->setText(typed);
        QTest::keyClick(edit, Qt::Key_Tab);
        QCOMPARE(edit->text(), kept);

        // F5 saves without leaving the field; what is stored is normalised all the same.
        const QStringList before = s.stored(PrinterKennung, 3, "AKTIV");
        edit->setFocus();
        edit->setText(typed);
        QTest::keyClick(edit, Qt::Key_F5);
        if (saved)
            QCOMPARE(s.stored(PrinterKennung, 3, "AKTIV").value(43), kept);
        else
            QCOMPARE(s.stored(PrinterKennung, 3, "AKTIV"), before);
    }

    void fieldsThePrinterCannotReadAreMarkedAndRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("corrected");
        QTest::addColumn<int>("position"); // in the record saved after the correction
        QTest::newRow("words as a function's byte sequence")
                << "edtESCOpenDrawer" << 0 << "Schublade auf!"
                << "Bytefolge „Kassenlade öffnen“: „Schublade auf!“ ist keine Bytefolge in Hex"
                << "1B7000" << 17;
        QTest::newRow("odd number of hex digits")
                << "edtESCCutPaper" << 0 << "1D560"
                << "Bytefolge „Papier abschneiden“: „1D560“ ist keine Bytefolge in Hex"
                << "1D5600" << 15;
        QTest::newRow("letters as a font code")
                << "edtNormal2" << 0 << "zz"
                << "ESC-Code der 2. Druckerschriftart: „zz“ ist kein ESC-Code"
                << "01" << 5;
        QTest::newRow("one digit as a font code")
                << "edtGross1" << 0 << "1"
                << "zweiter ESC-Code der 1. Druckerschriftart: „1“ ist kein ESC-Code"
                << "10" << 3;
        QTest::newRow("a display command with a blank")
                << "edtKDLine1" << 2 << "0B 18"
                << "Befehl vor Zeile 1: „0B 18“ ist keine Bytefolge in Hex"
                << "0B18" << -1;
    }
    void fieldsThePrinterCannotReadAreMarkedAndRefused()
    {
        // Catches what the printer cannot read stored without a word ("Schublade auf!" as the
        // drawer's sequence, "zz" as a font code).
        QFETCH(QString, field);
        QFETCH(int, page);
        QFETCH(QString, typed);
        QFETCH(QString, said);
        QFETCH(QString, corrected);
        QFETCH(int, position);
        Session s;
        s.open();
        const QStringList printerBefore = s.stored(PrinterKennung, 3, "AKTIV");
        for (int i = 0; i < page; ++i)
            QTest::keyClick(s.window.get(), Qt::Key_F4);
        QLineEdit *edit = s.find(field);
        auto *note = s.find<QLabel>("lblEingabefehler");
        const QColor plain = edit->palette().color(QPalette::Base);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Tab);

        // Marked where it is, before any save.
        QVERIFY(edit->palette().color(QPalette::Base) != plain);
        QVERIFY2(edit->toolTip().startsWith(said.section(QStringLiteral(": "), 1)),
                 qPrintable(edit->toolTip()));
        QVERIFY(note->isVisible());
        QVERIFY2(note->text().startsWith(said), qPrintable(note->text()));

        // Saving is refused with the reason, and the field gets the focus again.
        QTest::keyClick(s.window.get(), Qt::Key_F5);
        QVERIFY(s.window->isVisible());
        QCOMPARE(s.installation.messages().count(), 1);
        QVERIFY2(s.installation.messages().shown().last().text.contains(said),
                 qPrintable(s.installation.messages().shown().last().text));
        QCOMPARE(s.stored(PrinterKennung, 3, "AKTIV"), printerBefore);
        QCOMPARE(QApplication::focusWidget(), edit);

        // Put right, the mark goes at once and the save goes through.
        edit->selectAll();
        QTest::keyClicks(edit, corrected);
        QCOMPARE(edit->palette().color(QPalette::Base), plain);
        QVERIFY(!note->isVisible());
        QTest::keyClick(s.window.get(), Qt::Key_F5);
        QCOMPARE(s.window->result(), int(QDialog::Accepted));
        if (position >= 0)
            QCOMPARE(s.stored(PrinterKennung, 3, "AKTIV").value(position), corrected);
        else
            QCOMPARE(s.stored(DisplayKennung, 3, "DISPLAY").value(5), corrected);
    }

    void displayTypeAppliesItsPreset_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("expected"); // connection, baud, parity, commands
        QTest::newRow("DM-D106") << "DM-D106"
                                 << QStringList{"Drucker (COM3)", "19200", "None", "0C",
                                                "0B18",           "0B0A18"};
        QTest::newRow("kein empties the commands") << "kein" << QStringList{"", "", "", "", "", ""};
    }
    void displayTypeAppliesItsPreset()
    {
        QFETCH(QString, type);
        QFETCH(QStringList, expected);
        Session s;
        s.installation.putList(DisplayKennung, 3, "DISPLAY",
                               {"DSP8000", "COM2", "9600", "Odd", "11", "22", "33"});
        s.open();
        s.choose("cmbKundenanzeige", type);
        const QStringList shown = {s.shown("cmbKDAnschluss"), s.shown("cmbKDBaudrate"),
                                   s.shown("cmbKDParitaet"),  s.text("edtKDClear"),
                                   s.text("edtKDLine1"),      s.text("edtKDLine2")};
        QCOMPARE(shown, expected);
    }

    void f4CyclesPagesAndMarksTheNextTab()
    {
        Session s;
        s.open();
        auto *pages = s.find<QTabWidget>("pgcGeraete");
        auto captions = [pages] {
            return QStringList{pages->tabText(0), pages->tabText(1), pages->tabText(2)};
        };
        QCOMPARE(captions(), (QStringList{"Drucker", "Kassenlade - F4", "Kundenanzeige"}));
        QTest::keyClick(s.window.get(), Qt::Key_F4);
        QTest::keyClick(s.window.get(), Qt::Key_F4);
        QCOMPARE(pages->currentIndex(), 2);
        QCOMPARE(captions(), (QStringList{"Drucker - F4", "Kassenlade", "Kundenanzeige"}));
        QTest::keyClick(s.window.get(), Qt::Key_F4);
        QCOMPARE(pages->currentIndex(), 0);
    }

    void savingWritesThePrinterAndDisplayRecords_data()
    {
        QTest::addColumn<int>("rnr");
        QTest::addColumn<QStringList>("printerKeys");
        QTest::newRow("a till saves under AKTIV") << 3 << QStringList{"AKTIV"};
        QTest::newRow("the template saves under the preset name and AKTIV")
                << 0 << QStringList{"TM-U200B", "AKTIV"};
    }
    void savingWritesThePrinterAndDisplayRecords()
    {
        QFETCH(int, rnr);
        QFETCH(QStringList, printerKeys);
        Session s(rnr);
        s.open();
        s.find<QComboBox>("ddcEinstellung")->setEditText("TM-U200B");
        s.find("edtNameFont1")->setText("Neu\r\nSchrift");
        s.save();
        QCOMPARE(s.window->result(), int(QDialog::Accepted));
        QVERIFY(!s.window->isVisible());
        for (const QString &key : printerKeys) {
            const QStringList list = s.stored(PrinterKennung, rnr, key);
            QCOMPARE(list.size(), PrinterRecordSize);
            QCOMPARE(list.at(1), QStringLiteral("NeuSchrift"));
            QCOMPARE(list.at(41), QStringLiteral("TM-U200B"));
        }
        QCOMPARE(s.stored(DisplayKennung, rnr, "DISPLAY").size(), displayRecordFormat().size());
        if (rnr != 0)
            QCOMPARE(s.stored(PrinterKennung, rnr, "TM-U200B"), QStringList{"<kein Satz>"});
    }

    void failedSaveWritesNothingAndStaysOpen_data()
    {
        QTest::addColumn<int>("rnr");
        QTest::addColumn<QString>("preset");
        QTest::addColumn<bool>("refuseDisplay");
        QTest::newRow("display record refused") << 3 << "TM-T88" << true;
        QTest::newRow("template without a preset name") << 0 << "" << false;
    }
    void failedSaveWritesNothingAndStaysOpen()
    {
        // Catches a printer record kept although the display record of the same save failed,
        // and a template record under an empty printer key.
        QFETCH(int, rnr);
        QFETCH(QString, preset);
        QFETCH(bool, refuseDisplay);
        Session s(rnr);
        if (refuseDisplay)
            s.refuseInserts(DisplayKennung);
        s.open();
        s.find<QComboBox>("ddcEinstellung")->setEditText(preset);
        s.find("edtNameControlFont")->setText("ungespeichert");
        const QStringList before = s.stored(PrinterKennung, 0, "AKTIV");
        s.installation.messages().clear();
        QTest::keyClick(s.window.get(), Qt::Key_F5);

        QVERIFY(s.window->isVisible());
        QVERIFY(s.window->result() != int(QDialog::Accepted));
        QCOMPARE(s.text("edtNameControlFont"), QStringLiteral("ungespeichert"));
        QCOMPARE(s.installation.messages().count(), 1);
        QCOMPARE(s.stored(PrinterKennung, rnr, rnr == 0 ? preset : "AKTIV"),
                 QStringList{"<kein Satz>"});
        QCOMPARE(s.stored(PrinterKennung, 0, "AKTIV"), before);
    }

    void allPositionsRoundTrip()
    {
        // Catches a control bound to the wrong position or an entry lost on the way back.
        // The older positions, then (47..54) what the printer can do and (55, 56) how it prints
        // QR codes.
        const QStringList printer =
                QStringList{"0",  "F1",     "a1",    "b1",         "F2",     "a2",   "b2",
                            "F3", "a3",     "b3",    "F4",         "a4",     "b4",   "ctrl",
                            "P",  "1D5601", "C",     "1B703019FA", "1",      "11",   "2",
                            "12", "3",      "13",    "5",          "09",     "6",    "0A",
                            "7",  "0D",     "COM2",  "8",          "1B4ADF", "9",    "1B6130",
                            "L",  "1B6131", "R",     "1B6132",     "S",      "1B21", "TM-U200B",
                            "1",  "1B7000", "57600", "COM3",       "128000"}
                + QStringList{"1", "0", "1", "0", "0,16", "7,50", "11", "8"}
                + QStringList{"6", "Q"}
                // (57..60) its graphics memory's commands, its cutter and its status requests
                + QStringList{"FSq", "1", "30", "1"};
        const QStringList display = {"DSP8000", "Drucker (COM8)", "110",   "Space",
                                     "0C",      "0B18",           "0B0A18"};
        Session s;
        s.installation.putList(PrinterKennung, 3, "AKTIV", printer);
        s.installation.putList(DisplayKennung, 3, "DISPLAY", display);
        s.open();
        QCOMPARE(s.window->findChild<QLabel *>("lblUeberschrift")->text(),
                 QStringLiteral("Rechner 3 Kasse 3 – Drucker: Epson TM-T88 Grafikmodus"));
        s.save();
        QCOMPARE(s.stored(PrinterKennung, 3, "AKTIV"), printer);
        QCOMPARE(s.stored(DisplayKennung, 3, "DISPLAY"), display);
    }

    void recordWithoutCapabilitiesShowsAndKeepsItsPresets()
    {
        // Catches a record of 47 entries (written before the printer's capabilities were kept)
        // shown and saved as a printer that can do nothing: an impact printer's preset says it
        // has neither pictures nor barcodes, and saving keeps that.
        Session s;
        s.installation.putList(PrinterKennung, 3, "AKTIV",
                               printerRecordFromPreset(QStringLiteral("TM-U200BT")).mid(0, 47));
        s.open();
        QVERIFY(!s.find<QCheckBox>("chbRasterGrafik")->isChecked());
        QVERIFY(!s.find<QCheckBox>("chbBarcodes")->isChecked());
        QCOMPARE(s.text("edtAufloesung"), QStringLiteral("6,30"));
        s.save();
        QCOMPARE(s.stored(PrinterKennung, 3, "AKTIV"),
                 printerRecordFromPreset(QStringLiteral("TM-U200BT")));
    }

    void unreadableCapabilityIsRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("bad");
        QTest::addColumn<QString>("good");
        QTest::addColumn<int>("position");

        // A code page the program has no table for could not be encoded.
        QTest::newRow("code page without a table") << "edtCodepages"
                                                   << "19, 300"
                                                   << "19, 16" << 51;
        // The printer's QR command takes 1 to 16 dots a module.
        QTest::newRow("QR module size out of range") << "edtQRModulgroesse"
                                                     << "17"
                                                     << "6" << 55;
    }

    void unreadableCapabilityIsRefused()
    {
        // Catches a printer record with a capability the outputs cannot use: saving is refused
        // with what would be right, naming what was typed, and nothing is written.
        QFETCH(QString, field);
        QFETCH(QString, bad);
        QFETCH(QString, good);
        QFETCH(int, position);
        Session s;
        s.open();
        s.find(field)->setText(bad);
        s.installation.messages().clear();
        QTest::keyClick(s.window.get(), Qt::Key_F5);
        QVERIFY(s.window->isVisible());
        QCOMPARE(s.installation.messages().count(), 1);
        const QString said = s.installation.messages().shown().constFirst().text;
        QVERIFY2(said.contains(bad.section(u' ', -1)), qPrintable(said));
        QCOMPARE(s.stored(PrinterKennung, 3, "AKTIV"), QStringList{"<kein Satz>"});
        s.find(field)->setText(good);
        s.save();
        QCOMPARE(s.stored(PrinterKennung, 3, "AKTIV").value(position), good);
    }

    void storedPresetChooserOnlyInSystemMode()
    {
        Session normal(3, 1);
        normal.open();
        QVERIFY(!normal.find<QToolButton>("spbFormStoreDlg")->isVisible());

        Session s(3, 2);
        s.open();
        auto *button = s.find<QToolButton>("spbFormStoreDlg");
        QVERIFY(button->isVisible());
        s.find("edtESCPaperFeed")->setText("1B4A10");
        whenModal<QInputDialog>([](QInputDialog *chooser) {
            chooser->setTextValue("TM-U300PBT");
            chooser->accept();
        });
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(s.text("edtESCOpenDrawer"), QStringLiteral("1B4A04001B70004BFF"));
        QCOMPARE(s.text("edtESCCutPaper"), QStringLiteral("1B6D"));
        // Presets never restore the paper feed sequence.
        QCOMPARE(s.text("edtESCPaperFeed"), QStringLiteral("1B4A10"));
    }

    void cancelLeavesTheRecordsAlone()
    {
        Session s;
        s.open();
        s.find("edtNameControlFont")->setText("verworfen");
        QTest::mouseClick(s.find<QPushButton>("btnAbbrechen"), Qt::LeftButton);
        QCOMPARE(s.window->result(), int(QDialog::Rejected));
        QCOMPARE(s.stored(PrinterKennung, 3, "AKTIV"), QStringList{"<kein Satz>"});
    }

    void screenshot()
    {
        Session s;
        s.installation.putList(
                DisplayKennung, 3, "DISPLAY",
                {"DM-D106", "Drucker (COM3)", "19200", "None", "0C", "0B18", "0B0A18"});
        s.open();
        QCOMPARE(QImage(saveScreenshot(s.window.get(), "printer-settings")).size(),
                 s.window->size());
        QTest::keyClick(s.window.get(), Qt::Key_F4);
        saveScreenshot(s.window.get(), "printer-settings-drawer");
        QTest::keyClick(s.window.get(), Qt::Key_F4);
        saveScreenshot(s.window.get(), "printer-settings-display");
    }
};

QTEST_MAIN(TestDrivers)
#include "tst_drivers.moc"
