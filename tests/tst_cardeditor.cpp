#include "core/sections/cardformat.h"
#include "core/sections/sectionprinters.h"
#include "core/store/settingslistcodec.h"
#include "editors/layEASYU.h"
#include "tests/support/guisupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

const QString Printer = QStringLiteral("TM-T88");
constexpr int OwnRnr = 3;

// The card editor is kept by the main window and shown again for each section.
class Session
{
public:
    Session()
        : main(installation)
        , editor(std::make_unique<TLayEASY>())
    {
    }
    ~Session() { editor->close(); }

    TLayEASY &open(const QString &kennung, const QString &caption = QStringLiteral("Karte"))
    {
        editor->close();
        editor->setSection(kennung, caption);
        editor->show();
        editor->activateWindow();
        if (!QTest::qWaitForWindowActive(editor.get()))
            qWarning("card editor did not become active");
        return *editor;
    }

    template<class T = QWidget>
    T *find(const QString &name) const
    {
        T *w = editor->findChild<T *>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QComboBox *combo(const char *name) const { return find<QComboBox>(name); }
    QPlainTextEdit *text() const { return find<QPlainTextEdit>("memText"); }
    void click(const char *button) const
    {
        QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
    }
    // The check box, the four selectors (text and item index) and the text block.
    QString shown() const
    {
        QStringList parts{find<QCheckBox>("chbBonKopf")->isChecked() ? "1" : "0"};
        for (const char *name :
             {"cmbSchriftArt", "cmbSchriftGroesse", "cmbSchriftStil", "cmbAusrichtung"})
            parts << QStringLiteral("%1[%2]")
                             .arg(combo(name)->currentText())
                             .arg(combo(name)->currentIndex());
        return parts.join(u' ') + " | " + text()->toPlainText();
    }
    QByteArray blob(const QString &kennung, int rnr = OwnRnr)
    {
        return installation.host()
                .layouts()
                .find({kennung, rnr, Printer})
                .value_or(LayoutRecord{})
                .blob;
    }

    TestInstallation installation;
    FakeMainWindow main;
    std::unique_ptr<TLayEASY> editor;
};

} // namespace

class TestCardEditor : public QObject
{
    Q_OBJECT

private slots:
    void storedListSetsTheControls_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("five entries: fonts set, no text")
                << QStringList{"1", "Schrift X", "12", "fett", "links"}
                << "1 Schrift X[-1] 12[8] fett[1] links[0] | ";
        QTest::newRow("size 3 selects nothing") << QStringList{"0", "", "3", "kursiv", "rechts"}
                                                << "0 [-1] 3[-1] kursiv[2] rechts[2] | ";
        QTest::newRow("lines after the head, empty ones too")
                << QStringList{"0", "", "10", "normal", "mitte", "Danke", "", "#Datum#"}
                << "0 [-1] 10[6] normal[0] mitte[1] | Danke\n\n#Datum#";
        QTest::newRow("four entries change nothing") << QStringList{"1", "Schrift X", "12", "fett"}
                                                     << "0 [-1] [-1] normal[0] mitte[1] | ";
    }

    void storedListSetsTheControls()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, shown);
        Session s;
        s.installation.putList("KKBUCH", OwnRnr, Printer, stored);
        s.open("KKBUCH");
        QCOMPARE(s.shown(), shown);
        QVERIFY(!s.editor->textChanged());
    }

    void noFallbackAndNoTestKey()
    {
        Session s;
        s.installation.putList("ECBUCH", OwnRnr, Printer,
                               {"1", "", "14", "fett", "rechts", "Eigen"});
        s.installation.putList("ECSTOR", 0, Printer, {"0", "", "8", "kursiv", "links", "Vorlage"});
        s.installation.putList("ECSTOR", 0, "TEST", {"0", "", "8", "kursiv", "links", "Test"});
        s.open("ECBUCH");
        const QString own = s.shown();
        // A section without a record of its own keeps the controls, but not the text.
        s.open("ECSTOR");
        QCOMPARE(s.shown(), QString(own).replace("| Eigen", "| "));
    }

    void testPrintNeedsTheSavedText_data()
    {
        QTest::addColumn<QString>("kennung");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("cardNumber");
        QTest::newRow("debit payment") << "ECBUCH"
                                       << "KT_PrintECBu"
                                       << "Zahlung"
                                       << "999999";
        QTest::newRow("debit void") << "ECSTOR"
                                    << "KT_PrintECSto"
                                    << "Storno"
                                    << "999999";
        QTest::newRow("credit payment") << "KKBUCH"
                                        << "KT_PrintKKBu"
                                        << "Zahlung"
                                        << "999999";
        QTest::newRow("credit void") << "KKSTOR"
                                     << "KT_PrintKKSto"
                                     << "Storno"
                                     << "9999999999999999";
        QTest::newRow("credit refund") << "KKGUTS"
                                       << "KT_PrintKKGut"
                                       << "Erstattung"
                                       << "9999999999999999";
    }

    void testPrintNeedsTheSavedText()
    {
        QFETCH(QString, kennung);
        QFETCH(QString, operation);
        QFETCH(QString, kind);
        QFETCH(QString, cardNumber);
        Session s;
        TBonPrinter &engine = s.main.engine();
        engine.setOutputEnabled(false);
        s.open(kennung);
        QTest::keyClicks(s.text(), "Vielen Dank");
        QVERIFY(s.editor->textChanged());
        s.click("btnTest");
        QVERIFY(s.installation.messages().sawMessage(1028));
        QVERIFY(engine.callLog().isEmpty());

        QTest::keyClick(s.editor.get(), Qt::Key_F5);
        s.installation.messages().clear();
        s.open(kennung);
        s.combo("cmbSchriftStil")->setCurrentText("fett"); // not the text: prints as stored
        s.click("btnTest");
        QCOMPARE(s.installation.messages().count(), 0);
        QCOMPARE(engine.callLog(), (QStringList{"KT_DocBegin", operation, "KT_DocEnd"}));
        const QStringList printed = engine.lastJob().texts();
        QVERIFY2(printed.contains("Vorgang: " + kind), qPrintable(printed.join('|')));
        QVERIFY(printed.contains("Karten-Nr.: " + cardNumber));
        QVERIFY(printed.contains("Autorisierung: 00000000"));
    }

    void printModeDecidesSizeAndStyle_data()
    {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<bool>("graphic");
        QTest::newRow("graphic mode offers sizes 4 to 20") << "TM-T88" << true;
        QTest::newRow("text mode disables size and style") << "TM-U200BT" << false;
    }

    void printModeDecidesSizeAndStyle()
    {
        QFETCH(QString, printer);
        QFETCH(bool, graphic);
        Session s;
        s.installation.givePrinter(OwnRnr, printer);
        s.main.setWorkstation(OwnRnr);
        s.open("KKSTOR");
        QCOMPARE(s.combo("cmbSchriftGroesse")->isEnabled(), graphic);
        QCOMPARE(s.combo("cmbSchriftStil")->isEnabled(), graphic);
        QCOMPARE(s.combo("cmbSchriftGroesse")->count(), graphic ? 17 : 0);
        QVERIFY(s.combo("cmbSchriftArt")->isEnabled());
        if (!graphic) // the printer's own fonts
            QCOMPARE(s.combo("cmbSchriftArt")->count(),
                     s.main.engine().Kasso_Typ_Get_PrinterFonts().size());
    }

    void savedListKeepsTheCodePageWhenItCan_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("utf8");
        QTest::newRow("Grüße fits Windows-1252: no byte-order mark") << "Grüße" << false;
        QTest::newRow("Zł does not: UTF-8 with byte-order mark") << "Zł" << true;
    }

    void savedListKeepsTheCodePageWhenItCan()
    {
        // Regression: the list was always written in the 8-bit code page, so "ł" became "?".
        QFETCH(QString, text);
        QFETCH(bool, utf8);
        Session s;
        s.open("KKGUTS");
        s.text()->setPlainText(text + "\nzweite Zeile");
        s.click("btnOK");
        QCOMPARE(s.editor->result(), int(QDialog::Accepted));
        const QStringList list{"0", "", "", "normal", "mitte", text, "zweite Zeile"};
        QCOMPARE(s.blob("KKGUTS"), utf8 ? SettingsListCodec::encodeUtf8(list)
                                        : SettingsListCodec::encodeWindows1252(list));
        QCOMPARE(s.blob("KKGUTS").startsWith("\xEF\xBB\xBF"), utf8);

        s.text()->clear();
        s.open("KKGUTS");
        QCOMPARE(s.text()->toPlainText(), text + "\nzweite Zeile");
    }

    void onlyASuccessfulSaveClosesWithOk()
    {
        Session s;
        s.open("ECSTOR");
        s.text()->setPlainText("Abgebrochen");
        QTest::keyClick(s.editor.get(), Qt::Key_Escape);
        QCOMPARE(s.editor->result(), int(QDialog::Rejected));
        QVERIFY(s.blob("ECSTOR").isEmpty());

        s.open("ECSTOR");
        for (const char *when : {"INSERT", "UPDATE"})
            s.installation.host().store().execSql(
                    QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE %1 ON layout_records BEGIN "
                                   "SELECT RAISE(ABORT, 'Speicher gesperrt'); END")
                            .arg(QLatin1String(when)),
                    QStringLiteral("Schreibsperre"));
        s.text()->setPlainText("Nicht verlieren");
        QTest::keyClick(s.editor.get(), Qt::Key_F5);
        QVERIFY(s.editor->isVisible());
        QVERIFY(s.editor->result() != int(QDialog::Accepted));
        QCOMPARE(s.text()->toPlainText(), QStringLiteral("Nicht verlieren"));
        QVERIFY(s.editor->textChanged());
        QVERIFY(s.installation.messages().shown().constLast().text.contains("TLayEASY.btnOKClick"));
    }

    void cardPrinterPrintsTheBlockInItsFont_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("printed");
        QTest::newRow("every line")
                << QStringList{"0", "Mono", "14", "fett/kursiv", "rechts", "Danke", "", "Bis bald"}
                << QStringList{"Danke", "", "Bis bald"};
        QTest::newRow("four entries print nothing")
                << QStringList{"0", "Mono", "14", "fett"} << QStringList{};
    }

    void cardPrinterPrintsTheBlockInItsFont()
    {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, printed);
        Session s;
        const SectionPrinter *printer = sectionPrinterFor(QStringLiteral("KKBUCH"));
        QVERIFY(printer);
        QVERIFY(sectionPrinterFor(QStringLiteral("BONPOS")) != printer);
        PrintJob job;
        printer->print(cardFormat().decode(stored),
                       s.main.engine().printContext(QStringLiteral("KKBUCH")), job);
        QCOMPARE(job.texts(), printed);
        for (const JobItem &item : job.items) {
            QCOMPARE(item.fontName, QStringLiteral("Mono"));
            QCOMPARE(item.pointSize, 14);
            QVERIFY(item.bold && item.italic);
            QVERIFY(item.alignment & Qt::AlignRight);
        }
    }

    void screenshot()
    {
        Session s;
        s.installation.putList("KKBUCH", OwnRnr, Printer,
                               {"1", "DejaVu Sans", "10", "normal", "mitte", "Kreditkartenzahlung",
                                "#Datum# #Uhrzeit#", "Vielen Dank für Ihren Einkauf"});
        s.open("KKBUCH", "Kreditkarte - Zahlung");
        QCOMPARE(s.editor->windowTitle(), QStringLiteral("Kreditkarte - Zahlung"));
        QCOMPARE(QImage(saveScreenshot(s.editor.get(), "card-editor")).size(),
                 s.editor->size() * s.editor->devicePixelRatio());
    }
};

QTEST_MAIN(TestCardEditor)
#include "tst_cardeditor.moc"
