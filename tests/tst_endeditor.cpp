#include "core/format/devicepresets.h"
#include "core/sections/sectionprinters.h"
#include "editors/LayBonende.h"
#include "tests/support/editorsession.h"
#include "tests/support/guisupport.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include <memory>

namespace {

const QString Printer = QStringLiteral("TM-T88");
const QString End = QStringLiteral("BONENDE");
const QString OwnLogo = QStringLiteral("KASSOTYP\\BONENDE\\3");
constexpr int OwnRnr = 3;

QStringList line(int n)
{
    return {QStringLiteral("Ende %1").arg(n), "Arial", "10", "fett", "rechts"};
}

// A full end list whose every switch differs from the window's initial state.
QStringList endList(int above, int below, const QString &logo = "0", const QString &width = "2,00",
                    const QString &position = "0")
{
    QStringList list{QString::number(above + below)};
    for (int n = 1; n <= 10; ++n)
        list += line(n);
    list << "0"
         << "0";
    for (int n = 3; n <= 10; ++n)
        list << "1";
    for (int n = 11; n <= 25; ++n)
        list += line(n);
    for (int n = 11; n <= 25; ++n)
        list << "0";
    list << logo << (logo == "1" ? OwnLogo : QStringLiteral("- kein Logo vorhanden -"))
         << (logo == "1" ? width : "0,00") << (logo == "1" ? width : "0,00") << position
         << QString::number(above) << QString::number(below);
    return list;
}

QByteArray png(const QSize &size, Qt::GlobalColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class Session : public EditorSession<TfrmLayBonende>
{
public:
    TfrmLayBonende &open() { return show(std::make_unique<TfrmLayBonende>()); }

    QLineEdit *edit(const QString &name) const { return find<QLineEdit>(name); }
    bool checked(const QString &name, int number = 0) const
    {
        return find<QCheckBox>(name, number)->isChecked();
    }
    bool shows(const QWidget *w) const { return w->isVisibleTo(editor.get()); }
    // Leaves the edit the way a user does: focus in, then elsewhere.
    void leave(QLineEdit *edit) const
    {
        edit->setFocus();
        find<QLineEdit>("edtTxtZeile", 1)->setFocus();
    }
    void putOwn(const QStringList &list) { installation.putList(End, OwnRnr, Printer, list); }
    QStringList own() { return installation.list(End, OwnRnr, Printer).value_or(QStringList{}); }
    void putLogo(const QByteArray &picture)
    {
        installation.host().logos().save({"KASSOTYP", End, "AKTUELL", OwnRnr},
                                         {picture, 80, 40, {OwnRnr, 1}});
    }
};

} // namespace

class TestEndEditor : public QObject
{
    Q_OBJECT

private slots:
    void storedListAppliesTheStepsItReaches_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("steps"); // how many of the four steps are applied
        QTest::newRow("52 entries: nothing") << 52 << 0;
        QTest::newRow("53: lines 1-10, switches 1-2") << 53 << 1;
        QTest::newRow("60: still the first step") << 60 << 1;
        QTest::newRow("61: adds switches 3-10") << 61 << 2;
        QTest::newRow("150: still the second step") << 150 << 2;
        QTest::newRow("151: adds lines 11-25") << 151 << 3;
        QTest::newRow("157: still the third step") << 157 << 3;
        QTest::newRow("158: adds logo and both counts") << 158 << 4;
    }

    void storedListAppliesTheStepsItReaches()
    {
        QFETCH(int, length);
        QFETCH(int, steps);
        Session s;
        s.putOwn(endList(3, 2, "1").mid(0, length));
        s.open();
        QCOMPARE(s.edit("edtTxtZeile1")->text() == "Ende 1", steps >= 1);
        QCOMPARE(s.checked("chbText", 2), steps < 1);
        QCOMPARE(s.checked("chbNurBeiGefPlatz", 10), steps >= 2);
        QCOMPARE(s.edit("edtTxtZeile25")->text() == "Ende 25", steps >= 3);
        QCOMPARE(s.checked("chbNurBeiRueckgabe", 25), steps < 3);
        QCOMPARE(s.checked("chbLogo"), steps >= 4);
        // Position 0 fills the first count until the full list sets both; empty counts 0.
        const QString counts = QStringLiteral("%1/%2")
                                       .arg(s.edit("edtAnzZeilenUber")->text().toInt())
                                       .arg(s.edit("edtAnzZeilenUnter")->text().toInt());
        QCOMPARE(counts, steps == 0 ? "0/0" : steps < 4 ? "5/0" : "3/2");
    }

    void savingWritesAll158Positions_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("expected"); // empty: as stored
        QTest::newRow("full list, logo on, unchanged") << endList(3, 2, "1") << QStringList();
        QTest::newRow("full list, logo off, unchanged") << endList(6, 0) << QStringList();
        QStringList older = endList(4, 0).mid(0, 60);
        QStringList written = endList(4, 0);
        for (int p = 53; p <= 60; ++p)
            written[p] = "0"; // switches 3-10 keep their initial state
        // Lines 11-25 were never designed: they get the font and size they print with.
        const QString font = QFontInfo(QApplication::font()).family();
        for (int p = 61; p <= 150; ++p)
            written[p] = p <= 135 ? QStringList{QString(150, u'x'), font, "10", "normal",
                                                "mitte"}[(p - 61) % 5]
                                  : "1";
        written[155] = "1"; // the logo keeps its initial position
        written[157] = "";  // and the lower count its empty text
        QTest::newRow("60-entry list is written with 158") << older << written;
    }

    void savingWritesAll158Positions()
    {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, expected);
        Session s;
        s.putOwn(stored);
        s.open();
        QTest::keyClick(s.editor.get(), Qt::Key_F5);
        QCOMPARE(s.editor->result(), int(QDialog::Accepted));
        QCOMPARE(s.own().size(), 158);
        QCOMPARE(s.own(), expected.isEmpty() ? stored : expected);
    }

    void storedTextsAreReadByTheirRule_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("writtenPosition");
        QTest::addColumn<QString>("written");
        QTest::newRow("logo \"J\" is off") << 151 << "J" << 151 << "0";
        QTest::newRow("switch \"J\" is clear") << 53 << "J" << 53 << "0";
        QTest::newRow("position \"x\" is the centre") << 155 << "x" << 155 << "1";
        QTest::newRow("unreadable width is 0") << 153 << "breit" << 153 << "0,00";
        QTest::newRow("position 0 is ignored in a full list") << 0 << "17" << 0 << "5";
    }

    void storedTextsAreReadByTheirRule()
    {
        QFETCH(int, position);
        QFETCH(QString, stored);
        QFETCH(int, writtenPosition);
        QFETCH(QString, written);
        Session s;
        QStringList list = endList(3, 2, "1");
        list[position] = stored;
        s.putOwn(list);
        s.open();
        QCOMPARE(s.shown().at(writtenPosition), written);
    }

    void aCountKeepsTheTotalAt25_data()
    {
        QTest::addColumn<int>("above");
        QTest::addColumn<int>("below");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("expected"); // above/below
        const struct
        {
            const char *name;
            int above;
            int below;
            const char *left;
            const char *expected;
        } cases[] = {
                {"below is cut to the rest", 20, 10, "edtAnzZeilenUnter", "20/5"},
                {"above is cut to the rest", 20, 10, "edtAnzZeilenUber", "15/10"},
                {"other count alone too big: both 0", 30, 5, "edtAnzZeilenUnter", "0/0"},
                {"within 25 nothing changes", 4, 3, "edtAnzZeilenUber", "4/3"},
        };
        // F5 while the count still has the focus saves what leaving the count would leave.
        for (const char *how : {"left", "F5 while typing"}) {
            for (const auto &c : cases) {
                QTest::addRow("%s, %s", c.name, how)
                        << c.above << c.below << QString::fromLatin1(c.left) << c.expected;
            }
        }
    }

    void aCountKeepsTheTotalAt25()
    {
        QFETCH(int, above);
        QFETCH(int, below);
        QFETCH(QString, left);
        QFETCH(QString, expected);
        const bool save = QByteArray(QTest::currentDataTag()).endsWith("F5 while typing");
        Session s;
        s.putOwn(endList(1, 1, "1"));
        s.open();
        s.edit("edtAnzZeilenUber")->setText(QString::number(above));
        s.edit("edtAnzZeilenUnter")->setText(QString::number(below));
        const QStringList counts = expected.split(u'/');
        const int total = counts.at(0).toInt() + counts.at(1).toInt();
        if (save) {
            s.edit(left)->setFocus();
            QTest::keyClick(s.edit(left), Qt::Key_F5);
            QCOMPARE(s.editor->result(), int(QDialog::Accepted));
            const QStringList saved = s.own();
            QCOMPARE(saved.mid(saved.size() - 2).join(u'/'), expected);
            QCOMPARE(saved.first(), QString::number(total));
            return;
        }
        s.leave(s.edit(left));
        QCOMPARE(s.edit("edtAnzZeilenUber")->text() + u'/' + s.edit("edtAnzZeilenUnter")->text(),
                 expected);
        for (int i = 1; i <= 25; ++i)
            QVERIFY2(s.shows(s.find("OVOStdGroupBox", i)) == (i <= total),
                     qPrintable(QString::number(i)));
    }

    void textModeLocksSizeAndStyleNotTheFont()
    {
        Session s;
        s.installation.givePrinter(OwnRnr, QStringLiteral("TM-U200BT"));
        s.main.setWorkstation(OwnRnr);
        s.open();
        QCOMPARE(s.enabledSelectors(25), QStringLiteral("Art - -"));
        QVERIFY(s.fontListHoldsThePrinterFonts(25));
    }

    void logoIsOfferedWhereTheTillPrintsIt_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("directPort");
        QTest::addColumn<bool>("offered");
        QTest::newRow("graphic mode") << "1"
                                      << "aus" << true;
        QTest::newRow("plain text mode") << "0"
                                         << "aus" << false;
        QTest::newRow("direct text mode") << "0"
                                          << "COM1" << true;
    }
    void logoIsOfferedWhereTheTillPrintsIt()
    {
        // Catches an end editor that keeps a logo the engine leaves out of the print: the same
        // rule as the header editor's, read from the engine.
        QFETCH(QString, mode);
        QFETCH(QString, directPort);
        QFETCH(bool, offered);
        Session s;
        FieldValues printer = printerRecordFormat().decode(printerRecordFromPreset(Printer));
        printer.insert(QStringLiteral("rgpDruckermodus"), mode);
        printer.insert(QStringLiteral("cmbComPortTextmDirekt"), directPort);
        s.installation.putList(QStringLiteral("AKTBONDR"), OwnRnr, QStringLiteral("AKTIV"),
                               printerRecordFormat().encode(printer));
        s.putOwn(endList(4, 3, "1"));
        s.main.setWorkstation(OwnRnr);
        s.open();
        QCOMPARE(s.main.engine().logoPrints(), offered);
        QCOMPARE(s.find<QCheckBox>("chbLogo")->isEnabled(), offered);
        QCOMPARE(s.checked("chbLogo"), offered);
    }

    void switchingTheLogoOffPutsAllLinesAbove()
    {
        Session s;
        s.putOwn(endList(4, 3, "1"));
        s.open();
        QVERIFY(s.shows(s.edit("edtAnzZeilenUnter")));
        s.find<QCheckBox>("chbLogo")->click();
        QCOMPARE(s.edit("edtAnzZeilenUber")->text(), QStringLiteral("7"));
        QCOMPARE(s.edit("edtAnzZeilenUnter")->text(), QStringLiteral("0"));
        QCOMPARE(s.find<QLabel>("lblTxtAnzZeilenUeber")->text(),
                 QStringLiteral("Anzahl Textzeilen"));
        QVERIFY(!s.shows(s.edit("edtAnzZeilenUnter")));
        QCOMPARE(s.edit("edtLogoBreite")->text(), QStringLiteral("0,00"));
        QCOMPARE(s.edit("edtLogoHoehe")->text(), QStringLiteral("0,00"));
    }

    void previewPutsTheLogoBetweenUpperAndLowerLines_data()
    {
        QTest::addColumn<QString>("logo");
        QTest::addColumn<QString>("width");
        QTest::addColumn<bool>("pictureShown");
        QTest::addColumn<bool>("refused"); // message 1029 and the logo switched off
        QTest::newRow("logo on: 3 lines, picture, 2 lines") << "1"
                                                            << "2,00" << true << false;
        QTest::newRow("logo off: the lines one after the other") << "0"
                                                                 << "2,00" << false << false;
        QTest::newRow("logo of 0,50 cm: message, switched off, lines above")
                << "1"
                << "0,50" << false << true;
    }

    void previewPutsTheLogoBetweenUpperAndLowerLines()
    {
        QFETCH(QString, logo);
        QFETCH(QString, width);
        QFETCH(bool, pictureShown);
        QFETCH(bool, refused);
        Session s;
        s.putLogo(png({80, 40}, Qt::darkBlue));
        s.putOwn(endList(3, 2, logo, width));
        s.open();
        const QLabel *picture = s.find<QLabel>("bmpPreview");
        QCOMPARE(s.shows(picture), pictureShown);
        QCOMPARE(s.installation.messages().sawMessage(1029), refused);
        QCOMPARE(s.checked("chbLogo"), logo == "1" && !refused);
        int lastTop = 0;
        for (int n = 1; n <= 5; ++n) {
            const QLabel *label = s.find<QLabel>("lblPreview", n);
            QVERIFY(s.shows(label));
            QCOMPARE(label->text(), QStringLiteral("Ende %1").arg(n));
            QVERIFY(label->y() > lastTop);
            lastTop = label->y();
            if (pictureShown)
                QCOMPARE(label->y() > picture->y(), n > 3);
        }
        QVERIFY(!s.shows(s.find<QLabel>("lblPreview", 6)));
        if (refused) {
            QCOMPARE(s.edit("edtAnzZeilenUber")->text(), QStringLiteral("5"));
            QCOMPARE(s.edit("edtLogoBreite")->text(), QStringLiteral("0,00"));
        }
    }

    void logoWiderThanThePaperIsWarned()
    {
        Session s;
        s.installation.host().layouts().remove({QStringLiteral("SEITEEIN"), 0, Printer});
        s.main.setWorkstation(OwnRnr);
        s.putOwn(endList(3, 2, "1"));
        s.open();
        s.find<QTabWidget>("pgcDaten")->setCurrentIndex(1);
        s.main.paperPrompts.clear();
        s.edit("edtLogoBreite")->setText("9,50");
        s.leave(s.edit("edtLogoBreite"));
        QCOMPARE(s.main.paperPrompts, QStringList{Printer}); // message 1039 and the page setup
        QVERIFY(s.shows(s.find<QLabel>("lblLogoZuBreit")));
        s.edit("edtLogoBreite")->setText("2,00");
        s.leave(s.edit("edtLogoBreite"));
        QVERIFY(!s.shows(s.find<QLabel>("lblLogoZuBreit")));
    }

    void enginePrintsTheStoredEndWithItsLogo_data()
    {
        QTest::addColumn<QString>("returned"); // document text "Rückgabe"
        QTest::addColumn<double>("reduction");
        QTest::addColumn<QString>("first"); // which of the lines "nur bei Bedarf" prints
        QTest::newRow("sale with reduction") << "" << 10.0 << "Ende 2";
        QTest::newRow("sale without reduction") << "" << 0.0 << "Ende 1";
        QTest::newRow("return prints the return line") << "J" << 10.0 << "Ende 2";
    }

    void enginePrintsTheStoredEndWithItsLogo()
    {
        QFETCH(QString, returned);
        QFETCH(double, reduction);
        QFETCH(QString, first);
        Session s;
        s.putLogo(png({80, 40}, Qt::darkBlue));
        // Five lines above the logo, six below; the switches of lines 1-10 are set.
        QStringList list = endList(5, 6, "1", "2,00", "2");
        list[51] = list[52] = "1";
        list[1 + 5 * 2] = "Kunde #KndNr#";   // filled placeholder: prints
        list[1 + 5 * 3] = "#Ungefuellt#";    // no placeholder of the catalogue: prints
        list[1 + 5 * 4] = "Abt. #KndName2#"; // empty placeholder: left out
        list[61] = "Nur Rückgabe";           // line 11
        list[136] = "1";                     // its switch "nur Rückgabe"
        s.putOwn(list);
        TBonPrinter &engine = s.main.engine();
        engine.document().setText("Rückgabe", returned);
        engine.document().setText("KndNr", "4711");
        engine.document().setText("KndName2", "");
        engine.document().setAmount("Reduz", reduction);
        QVERIFY(sectionPrinterFor(End));
        engine.KT_DocBegin();
        QVERIFY(engine.printSection(End));
        const QList<JobItem> items = engine.currentJob().items;
        QStringList printed;
        int picture = -1;
        for (int i = 0; i < items.size(); ++i) {
            if (items.at(i).kind == JobItem::Kind::Picture)
                picture = i;
            else
                printed << items.at(i).text;
        }
        QStringList expected{first, "Kunde 4711", "#Ungefuellt#"};
        for (int n = 6; n <= 10; ++n)
            expected << QStringLiteral("Ende %1").arg(n);
        if (returned == "J")
            expected << "Nur Rückgabe";
        QCOMPARE(printed, expected);
        QCOMPARE(picture, 3);
        QCOMPARE(items.at(picture).widthCm, 2.0);
        QVERIFY(items.at(picture).alignment & Qt::AlignRight);
        QCOMPARE(items.at(picture).picture.size(), QSize(80, 40));
    }

    void screenshot()
    {
        Session s;
        s.putLogo(png({80, 40}, Qt::darkBlue));
        s.putOwn(endList(3, 2, "1"));
        s.open();
        QCOMPARE(QImage(saveScreenshot(s.editor.get(), "end-editor")).size(),
                 s.editor->size() * s.editor->devicePixelRatio());
    }
};

QTEST_MAIN(TestEndEditor)
#include "tst_endeditor.moc"
