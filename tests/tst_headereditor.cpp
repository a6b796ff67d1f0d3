#include "core/model/hosttables.h"
#include "core/sections/sectionformats.h"
#include "core/sections/sectionregistry.h"
#include "editors/LayBonkopf.h"
#include "settings/frmBuchenAlleU.h"
#include "tests/support/editorsession.h"
#include "tests/support/guisupport.h"
#include "tests/support/teststore.h"
#include "widgets/logoanzeige.h"
#include "widgets/radiogroup.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

const QString Printer = QStringLiteral("TM-T88");
const QString Receipt = QStringLiteral("BONKOPF");
const QString OwnLogo = QStringLiteral("KASSOTYP\\BONKOPF\\3");
constexpr int ReceiptType = 13;
constexpr int OwnRnr = 3;

// A header list of `count` lines distributed above, beside and below the logo.
QStringList header(int count, int above, int beside, int below, const QString &logo = "0",
                   const QString &position = "0", const QString &size = "2,00")
{
    const bool on = logo == "1";
    QStringList list{logo,
                     on ? OwnLogo : QStringLiteral("- kein Logo vorhanden -"),
                     on ? size : "0,00",
                     on ? size : "0,00",
                     position,
                     "1",
                     QString::number(count)};
    for (int i = 1; i <= HeaderLineCount; ++i)
        list << QStringLiteral("Kopf %1").arg(i) << "Arial"
             << "10"
             << "normal" << (i <= 4 ? "mitte" : "links");
    list << QString::number(above) << QString::number(beside) << QString::number(below);
    return list;
}

QByteArray png(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkRed);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class Session : public EditorSession<TfrmLayBonkopf>
{
public:
    explicit Session(const QString &printer = QString())
    {
        if (!printer.isEmpty()) {
            installation.givePrinter(OwnRnr, printer);
            main.setWorkstation(OwnRnr);
        }
    }

    explicit Session(const TestInstallation::Options &options)
        : EditorSession(options)
    {
    }

    TfrmLayBonkopf &open(int type = ReceiptType)
    {
        auto window = std::make_unique<TfrmLayBonkopf>();
        window->setDocumentType(type);
        return show(std::move(window));
    }

    QLineEdit *edit(const QString &name) const { return find<QLineEdit>(name); }
    QCheckBox *logoSwitch() const { return find<QCheckBox>("chbLogo"); }
    void click(const QString &button) const { find<QPushButton>(button)->click(); }
    QString counts() const
    {
        return QStringLiteral("%1/%2/%3")
                .arg(edit("edtAnzZeilenUber")->text(), edit("edtAnzZeilenNeben")->text(),
                     edit("edtAnzZeilenUnter")->text());
    }
    void put(const QString &kennung, int rnr, const QStringList &list)
    {
        installation.putList(kennung, rnr, Printer, list);
    }
    std::optional<QStringList> own(const QString &kennung = Receipt)
    {
        return installation.list(kennung, OwnRnr, Printer);
    }
    void putLogo(const QString &kennung, const QSize &size, int lfdnr = 1)
    {
        installation.host().logos().save({"KASSOTYP", kennung, "AKTUELL", OwnRnr},
                                         {png(size), size.width(), size.height(), {0, lfdnr}});
    }
    std::optional<StoredLogo> logo(const QString &kennung = Receipt)
    {
        return installation.host().logos().load({"KASSOTYP", kennung, "AKTUELL", OwnRnr});
    }

    // Answers the type chooser of "Alle Buchen": ticks the types and saves, or cancels.
    void answerTypeChooser(const QList<int> &types, bool save)
    {
        whenModal<TfrmBuchenAlle>(
                [types, save](TfrmBuchenAlle *chooser) {
                    auto *list = chooser->findChild<QListWidget *>("clbBelegtypen");
                    for (int type : types)
                        list->item(type - 1)->setCheckState(Qt::Checked);
                    chooser->findChild<QPushButton *>(save ? "btnBuchen" : "btnAbbrechen")->click();
                },
                ModalExpected::Maybe);
    }
};

} // namespace

class TestHeaderEditor : public QObject
{
    Q_OBJECT

private slots:
    void storedListIsAppliedOnlyFromSixtyEntries_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("applied");
        QTest::newRow("empty list") << 0 << false;
        QTest::newRow("59 entries are ignored") << 59 << false;
        QTest::newRow("60 entries are applied") << 60 << true;
        QTest::newRow("entries beyond 60 are ignored") << 64 << true;
    }

    void storedListIsAppliedOnlyFromSixtyEntries()
    {
        QFETCH(int, length);
        QFETCH(bool, applied);
        Session s;
        QStringList list = header(3, 3, 0, 0) + QStringList{"a", "b", "c", "d"};
        s.put(Receipt, OwnRnr, list.mid(0, length));
        s.open();
        QCOMPARE(s.edit("edtTxtZeile1")->text() == "Kopf 1", applied);
        QCOMPARE(s.edit("edtTextAnzahlZeilen")->text(), applied ? "3" : "0");
        QCOMPARE(s.shown().size(), 60);
    }

    void storedTextsAreReadByTheirRule_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("written");
        QTest::newRow("logo \"J\" is on") << 0 << "J"
                                          << "1";
        QTest::newRow("text \"nein\" is on") << 5 << "nein"
                                             << "1";
        // Regression: an unreadable position raised an error and left lines 1-10 unloaded.
        QTest::newRow("position \"x\" is the centre") << 4 << "x"
                                                      << "1";
    }

    void storedTextsAreReadByTheirRule()
    {
        QFETCH(int, position);
        QFETCH(QString, stored);
        QFETCH(QString, written);
        Session s;
        QStringList list = header(2, 1, 0, 1, "1");
        list[position] = stored;
        s.put(Receipt, OwnRnr, list);
        s.open();
        QCOMPARE(s.shown().at(position), written);
        QCOMPARE(s.edit("edtTxtZeile10")->text(), QStringLiteral("Kopf 10"));
    }

    void savingWritesExactlySixtyEntries_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("logo on, lines above, beside and below") << header(4, 1, 2, 1, "1");
        QTest::newRow("logo off, one line in use") << header(1, 1, 0, 0);
        QTest::newRow("centred logo, text off") << [] {
            QStringList l = header(3, 0, 0, 3, "1", "1");
            l[5] = "0";
            return l;
        }();
    }

    void savingWritesExactlySixtyEntries()
    {
        QFETCH(QStringList, stored);
        Session s;
        s.put(Receipt, OwnRnr, stored);
        s.open();
        s.click("btnBuchen");
        QCOMPARE(s.editor->result(), int(QDialog::Accepted));
        QCOMPARE(s.own(), stored);
    }

    void headerFallsBackInOrder_data()
    {
        QTest::addColumn<QStringList>("records"); // kennung/rnr
        QTest::addColumn<QString>("shown");       // kennung/rnr of the record shown
        QTest::newRow("own header first") << QStringList{"BONKOPF/3", "REKLKOPF/3"} << "BONKOPF/3";
        QTest::newRow("complaint header before voucher header")
                << QStringList{"GUTKOPF/3", "REKLKOPF/3", "BONKOPF/0"} << "REKLKOPF/3";
        QTest::newRow("template workstation last") << QStringList{"BONKOPF/0"} << "BONKOPF/0";
        QTest::newRow("nothing: the window's own values") << QStringList{} << "";
    }

    void headerFallsBackInOrder()
    {
        QFETCH(QStringList, records);
        QFETCH(QString, shown);
        Session s;
        for (const QString &record : records) {
            QStringList list = header(1, 1, 0, 0);
            list[7] = record;
            s.put(record.section(u'/', 0, 0), record.section(u'/', 1).toInt(), list);
        }
        s.open();
        QCOMPARE(s.edit("edtTxtZeile1")->text(), shown.isEmpty() ? QString(150, u'x') : shown);
        s.click("btnBuchen");
        QCOMPARE(s.own().value_or(QStringList{}).value(7), s.edit("edtTxtZeile1")->text());
        for (const QString &record : records) // what was read is never written
            QCOMPARE(s.installation
                             .list(record.section(u'/', 0, 0), record.section(u'/', 1).toInt(),
                                   Printer)
                             ->value(7),
                     record);
    }

    void captionAndPresetMaskFollowTheType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("elements");
        QTest::addColumn<QString>("maske");
        QTest::newRow("receipt") << 13 << "Gestaltung des Bonkopfes"
                                 << "Elemente des Bonkopfes"
                                 << "BONKOPF";
        QTest::newRow("voucher") << 9 << "Gestaltung des Gutscheinkopfes"
                                 << "Elemente des Gutscheinkopfes"
                                 << "GUTSKOPF";
        QTest::newRow("credit note") << 10 << "Gestaltung des Belegkopfes für Gutschriften"
                                     << "Elemente des Belegkopfes für Gutschriften"
                                     << "LAYKOPF";
    }

    void captionAndPresetMaskFollowTheType()
    {
        QFETCH(int, type);
        QFETCH(QString, caption);
        QFETCH(QString, elements);
        QFETCH(QString, maske);
        Session s;
        s.open(type);
        QCOMPARE(s.editor->windowTitle(), caption);
        QCOMPARE(s.find<QLabel>("lblUeberschrift")->text(), caption);
        QCOMPARE(s.find<QLabel>("lblTxtElemente")->text(), elements);
        QCOMPARE(s.editor->Kennung(), CBelegTyp_2_KennungKopf(type));
        QCOMPARE(s.editor->Maske(), maske);
    }

    void linesAreDistributedAroundTheLogo_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("control"); // what the user changes
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected"); // above/beside/below
        QTest::newRow("6 lines, 4 above: the rest goes below")
                << header(6, 6, 0, 0, "1") << "edtAnzZeilenUber"
                << "4"
                << "4/0/2";
        QTest::newRow("6 lines of 8/2/0: all above")
                << header(10, 8, 2, 0, "1") << "edtTextAnzahlZeilen"
                << "6"
                << "6/0/0";
        QTest::newRow("6 lines of 2/6/2: beside cut, nothing below")
                << header(10, 2, 6, 2, "1") << "edtTextAnzahlZeilen"
                << "6"
                << "2/4/0";
        QTest::newRow("centred logo: nothing beside")
                << header(6, 2, 2, 2, "1") << "rgpLogoPosition"
                << "1"
                << "2/0/4";
        QTest::newRow("centred logo keeps beside at 0")
                << header(6, 2, 0, 4, "1", "1") << "edtAnzZeilenNeben"
                << "3"
                << "2/0/4";
    }

    void linesAreDistributedAroundTheLogo()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, control);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        Session s;
        s.put(Receipt, OwnRnr, stored);
        s.open();
        if (control == "rgpLogoPosition")
            s.find<TRadioGroup>(control)->setItemIndex(value.toInt());
        else
            s.edit(control)->setText(value);
        QCOMPARE(s.counts(), expected);
    }

    void previewPlacesLinesAroundTheLogo_data()
    {
        QTest::addColumn<QString>("position");
        QTest::addColumn<int>("beside");
        QTest::newRow("left: lines beside on its right") << "0" << 2;
        QTest::newRow("right: lines beside on its left") << "2" << 2;
        QTest::newRow("centre: nothing beside") << "1" << 0;
    }

    void previewPlacesLinesAroundTheLogo()
    {
        QFETCH(QString, position);
        QFETCH(int, beside);
        Session s;
        s.putLogo(Receipt, {80, 40});
        s.put(Receipt, OwnRnr, header(4, 1, beside, 3 - beside, "1", position));
        s.open();
        const QLabel *picture = s.find<QLabel>("bmpPreview");
        QVERIFY(picture->isVisibleTo(s.editor.get()));
        const int printable = s.find<QLabel>("lblPreview", 1)->width();
        const int x = position == "0"   ? 10
                      : position == "2" ? printable - picture->width() + 10
                                        : (printable - picture->width()) / 2 + 10;
        QCOMPARE(picture->x(), x);
        QVERIFY(s.find<QLabel>("lblPreview", 1)->geometry().bottom() < picture->y());
        int bottom = picture->geometry().bottom();
        for (int n = 2; n <= 4; ++n) {
            const QLabel *label = s.find<QLabel>("lblPreview", n);
            QVERIFY(label->isVisibleTo(s.editor.get()));
            if (n <= 1 + beside) {
                QCOMPARE(label->x(), position == "2" ? 10 : picture->width() + 10);
                QCOMPARE(label->width(), printable - picture->width());
                QVERIFY(label->y() >= picture->y());
            } else {
                QVERIFY2(label->y() > bottom, qPrintable(QString::number(n)));
            }
            bottom = qMax(bottom, label->geometry().bottom());
        }
    }

    void logoBelowOneCentimetreIsRefused_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("Buchen") << "btnBuchen";
        QTest::newRow("Alle Buchen") << "btnBuchenAlle";
        QTest::newRow("preview switches the logo off") << "btnPreview";
    }

    void logoBelowOneCentimetreIsRefused()
    {
        QFETCH(QString, button);
        Session s;
        s.put(Receipt, OwnRnr, header(2, 1, 0, 1, "1"));
        s.open();
        s.installation.messages().clear();
        s.edit("edtLogoBreite")->setText("0,50");
        s.answerTypeChooser({}, false); // would end a chooser that must not open
        s.click(button);
        QVERIFY(s.installation.messages().sawMessage(1029));
        QVERIFY(s.editor->isVisible());
        QCOMPARE(s.own(), header(2, 1, 0, 1, "1"));
        if (button == "btnPreview") {
            QVERIFY(!s.logoSwitch()->isChecked());
            QCOMPARE(s.edit("edtLogoBreite")->text(), QStringLiteral("0,00"));
        } else {
            QVERIFY(s.logoSwitch()->isChecked());
            QVERIFY(s.edit("edtLogoBreite")->hasFocus());
        }
    }

    void logoIsSavedOnlyWhenItsPictureChanged()
    {
        Session s;
        s.putLogo(Receipt, {80, 40}, 7);
        s.put(Receipt, OwnRnr, header(2, 1, 0, 1, "1"));
        s.open();
        QCOMPARE(s.editor->logo()->LogoAnzeige->pictureHeight(), 40);
        s.click("btnBuchen");
        QCOMPARE(s.logo()->stamp.lfdnr, 7);

        const QString file = s.installation.path("neu.png");
        QImage(192, 96, QImage::Format_RGB32).save(file);
        s.open();
        s.installation.messages().setNextFile(file);
        s.click("spbLogo");
        QCOMPARE(s.find<QLabel>("lblLogoName")->text(), OwnLogo);
        const double cmPerPixel = 2.54 / s.editor->pixelsPerInch();
        QCOMPARE(s.editor->logo()->widthCm(), std::round(192 * cmPerPixel * 100) / 100);
        s.click("btnBuchen");
        QCOMPARE(s.logo()->width, 192);
        QCOMPARE(s.logo()->stamp.rnr, OwnRnr);
        QVERIFY(s.logo()->stamp.lfdnr > 0);
    }

    // A picture wider than the paper comes in as wide as the printable width; typing one size
    // brings the other along in the picture's proportion.
    void importedLogoFitsThePaperAndKeepsItsProportion()
    {
        Session s;
        s.put(Receipt, OwnRnr, header(2, 1, 0, 1, "1"));
        s.open();
        const QString file = s.installation.path("breit.png");
        QImage(960, 240, QImage::Format_RGB32).save(file); // 4:1, far wider than 80 mm paper
        s.installation.messages().setNextFile(file);
        s.click("spbLogo");
        const double printable = s.editor->printableWidth() / s.editor->pixelsPerInch() * 2.54;
        QCOMPARE(s.editor->logo()->widthCm(), std::round(printable * 100) / 100);
        QCOMPARE(s.editor->logo()->heightCm(), std::round(printable / 4 * 100) / 100);
        QCOMPARE(s.installation.messages().count(), 1);
        QCOMPARE(s.installation.messages().shown().constFirst().kind, MessageKind::Information);

        QLineEdit *width = s.edit("edtLogoBreite");
        width->setFocus();
        width->selectAll();
        QTest::keyClicks(width, "4");
        QCOMPARE(s.edit("edtLogoHoehe")->text(), QStringLiteral("1,00"));
        QLineEdit *height = s.edit("edtLogoHoehe");
        height->setFocus();
        height->selectAll();
        QTest::keyClicks(height, "1,5");
        QCOMPARE(width->text(), QStringLiteral("6,00"));
    }

    void alleBuchenSavesEveryChosenType_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("secondFails");
        QTest::newRow("types 13 and 18") << true << false;
        QTest::newRow("cancelled: nothing written, editing goes on") << false << false;
        // All or nothing: the receipt header written first is taken back.
        QTest::newRow("18 cannot be written: nothing written, editing goes on") << true << true;
    }

    void alleBuchenSavesEveryChosenType()
    {
        QFETCH(bool, save);
        QFETCH(bool, secondFails);
        Session s;
        s.putLogo(Receipt, {80, 40}, 7);
        s.put(Receipt, OwnRnr, header(2, 1, 0, 1, "1"));
        s.open();
        if (secondFails) {
            TestStore::refuseWrites(s.installation.host().store(), QStringLiteral("layout_records"),
                                    QStringLiteral("NEW.kennung = 'RECHKOPF'"));
        }
        s.edit("edtTxtZeile1")->setText("Für alle");
        s.answerTypeChooser({18}, save);
        s.click("btnBuchenAlle");
        const bool saved = save && !secondFails;
        QCOMPARE(s.editor->isVisible(), !saved);
        QCOMPARE(s.edit("edtTxtZeile1")->text(), QStringLiteral("Für alle"));
        QCOMPARE(s.own().value_or(QStringList{}).value(7), saved ? "Für alle" : "Kopf 1");
        QCOMPARE(s.own("RECHKOPF").has_value(), saved);
        QCOMPARE(s.logo("RECHKOPF").has_value(), saved);
        QCOMPARE(s.logo()->stamp.lfdnr != 7, saved); // written again although unchanged
        QCOMPARE(s.installation.messages().count(), secondFails ? 1 : 0);
        if (saved) {
            QCOMPARE(s.own("RECHKOPF")->mid(2), s.own()->mid(2));
            QCOMPARE(s.logo("RECHKOPF")->width, 80);
        }
    }

    void presetBringsBackTheLogoItNames()
    {
        Session s;
        s.putLogo(Receipt, {80, 40});
        s.put(Receipt, OwnRnr, header(2, 1, 0, 1, "1"));
        s.open();
        s.click("btnVorgabeSpeichern");
        s.editor->logo()->LogoAnzeige->importImage(QImage(30, 30, QImage::Format_RGB32));
        s.edit("edtTxtZeile2")->setText("Geändert");
        s.click("btnVorgabeLaden");
        QCOMPARE(s.editor->logo()->LogoAnzeige->picture().size(), QSize(80, 40));
        QCOMPARE(s.shown(), header(2, 1, 0, 1, "1"));
    }

    void textModeWithoutDirectDriverHasNoLogo()
    {
        Session s(QStringLiteral("TM-U200BT"));
        QCOMPARE(s.main.engine().Kasso_Typ_Get_Modus(), QStringLiteral("T"));
        s.installation.putList(Receipt, OwnRnr, "TM-U200BT", header(2, 1, 0, 1, "1"));
        s.open();
        QVERIFY(!s.logoSwitch()->isChecked());
        QVERIFY(!s.logoSwitch()->isEnabled());
        QVERIFY(!s.edit("edtAnzZeilenUber")->isEnabled());
        QVERIFY(!s.find<QLabel>("bmpPreview")->isVisibleTo(s.editor.get()));
    }

    void enginePrintsTheHeaderWithItsLogo_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("printed"); // "[Logo]" for the picture
        QTest::newRow("logo on: above, logo, beside, below")
                << header(4, 1, 2, 1, "1")
                << QStringList{"Kopf 1", "[Logo]", "Kopf 2", "Kopf 3", "Kopf 4"};
        QTest::newRow("logo off: the lines in use")
                << header(3, 0, 0, 3) << QStringList{"Kopf 1", "Kopf 2", "Kopf 3"};
        QTest::newRow("text off: only the logo") << [] {
            QStringList l = header(3, 1, 1, 1, "1");
            l[5] = "0";
            return l;
        }() << QStringList{"[Logo]"};
        QTest::newRow("59 entries: nothing") << header(3, 3, 0, 0).mid(0, 59) << QStringList{};
    }

    void enginePrintsTheHeaderWithItsLogo()
    {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, printed);
        Session s;
        s.putLogo(Receipt, {80, 40});
        s.put(Receipt, OwnRnr, stored);
        TBonPrinter &engine = s.main.engine();
        engine.KT_DocBegin();
        QVERIFY(engine.KT_Print("KT_PrintBonKopf"));
        QStringList items;
        for (const JobItem &item : engine.currentJob().items) {
            items << (item.kind == JobItem::Kind::Picture ? QStringLiteral("[Logo]") : item.text);
            if (item.kind == JobItem::Kind::Picture) {
                QCOMPARE(item.picture.size(), QSize(80, 40));
                QCOMPARE(item.widthCm, 2.0);
                QVERIFY(item.alignment & Qt::AlignLeft);
            }
        }
        QCOMPARE(items, printed);
    }

    // Catches the editor and the engine finding a logo by different rules: a till with no header
    // and no logo of its own shows the template's logo, keeps showing it after its own header
    // was saved, and the test print still carries it.
    void tillWithoutOwnLogoShowsAndPrintsTheTemplates()
    {
        Session s{TestInstallation::Options{}}; // the demo shop
        s.main.setWorkstation(OwnRnr);
        QVERIFY(!s.own());
        QVERIFY(!s.logo());
        const auto shown = [&s] {
            s.open();
            QVERIFY(s.logoSwitch()->isChecked());
            QCOMPARE(s.editor->logo()->LogoAnzeige->pictureHeight(), 160);
            QCOMPARE(s.edit("edtLogoBreite")->text(), QStringLiteral("4,00"));
            QCOMPARE(s.edit("edtLogoHoehe")->text(), QStringLiteral("1,60"));
            QVERIFY(!s.find<QLabel>("bmpPreview")->isHidden());
            QVERIFY(!s.find<QLabel>("bmpPreview")->pixmap().isNull());
        };
        shown();
        QTest::keyClicks(s.edit("edtTxtZeile2"), QStringLiteral(" (Eingang Hof)"));
        s.click("btnBuchen");
        QVERIFY(s.own());
        QVERIFY(!s.logo()); // the picture did not change: the template's stays the one
        shown();

        TBonPrinter &engine = s.main.engine();
        engine.Refresh();
        engine.KT_DocBegin();
        QVERIFY(engine.KT_Print("KT_PrintBonKopf"));
        QStringList items;
        for (const JobItem &item : engine.currentJob().items)
            items << (item.kind == JobItem::Kind::Picture ? QStringLiteral("[Logo]") : item.text);
        QVERIFY2(items.contains(QStringLiteral("[Logo]")), qPrintable(items.join(u'|')));
        QVERIFY2(items.join(u'|').contains(QStringLiteral("(Eingang Hof)")),
                 qPrintable(items.join(u'|')));
    }

    void everyHeaderIdentifierHasTheHeaderPrinter()
    {
        // The fallbacks are headers of document types themselves.
        QStringList kennungen = SectionRegistry::headerFallbacks();
        for (int type = 1; type <= DocumentTypeCount; ++type)
            kennungen << CBelegTyp_2_KennungKopf(type);
        for (const QString &kennung : kennungen) {
            QVERIFY2(sectionPrinterFor(kennung) == &bonKopfPrinter(), qPrintable(kennung));
            QCOMPARE(SectionRegistry::find(kennung)->kind, SectionKind::Header);
        }
        QVERIFY(sectionPrinterFor(QStringLiteral("BONENDE")) != &bonKopfPrinter());
    }

    void screenshot()
    {
        Session s;
        s.putLogo(Receipt, {80, 40});
        s.put(Receipt, OwnRnr, header(4, 1, 2, 1, "1"));
        s.open();
        QCOMPARE(QImage(saveScreenshot(s.editor.get(), "header-editor")).size(),
                 s.editor->size() * s.editor->devicePixelRatio());
    }
};

QTEST_MAIN(TestHeaderEditor)
#include "tst_headereditor.moc"
