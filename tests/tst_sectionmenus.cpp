#include "core/model/hosttables.h"
#include "core/sections/headingsections.h"
#include "core/sections/sectiondispatch.h"
#include "editors/LayBonueber.h"
#include "shell/kassotypu.h"
#include "tests/support/testinstallation.h"
#include "widgets/buttonmenu.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMap>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace {

QString describe(const std::optional<SectionDispatch::Target> &target)
{
    using Kind = SectionDispatch::Target::Kind;
    return !target                               ? QStringLiteral("none")
           : target->kind == Kind::HeaderEditor  ? QStringLiteral("header")
           : target->kind == Kind::HeadingEditor ? QString::number(target->sectionCode)
           : target->kind == Kind::Editor        ? target->editorClass
                                                 : QStringLiteral("test");
}

// Head caption, then each entry's caption with its tag.
QString describe(const TButtonMenu *menu)
{
    QStringList list = {menu->entry(0).caption};
    for (int i = 1; i < menu->count(); ++i)
        list << menu->entry(i).caption + u' ' + QString::number(menu->entry(i).tag);
    return list.join(QStringLiteral("; "));
}

// A shown main window on its own installation; the menus are built when it is shown.
struct ShownMainWindow
{
    explicit ShownMainWindow(int ownWorkstation)
        : installation([ownWorkstation] {
            TestInstallation::Options options;
            options.workstationId = ownWorkstation;
            return options;
        }())
        , window(installation.host(), {})
    {
        window.show();
    }

    TButtonMenu *menu(const char *name) const
    {
        return window.findChild<TButtonMenu *>(QString::fromLatin1(name));
    }
    void choose(const char *menuName, const QString &caption)
    {
        TButtonMenu *m = menu(menuName);
        for (int i = 0; i < m->count(); ++i) {
            if (m->entry(i).caption == caption)
                return m->clickEntry(i);
        }
        QFAIL(qPrintable(caption));
    }
    void selectWorkstation(int rnr)
    {
        auto *combo = window.findChild<QComboBox *>(QStringLiteral("cmbRechner"));
        combo->setCurrentIndex(combo->findData(rnr));
        QCOMPARE(window.workstationNumber(), rnr);
    }

    TestInstallation installation;
    TfrmKassotypHaupt window;
};

} // namespace

class TestSectionMenus : public QObject
{
    Q_OBJECT

private slots:
    void eachTypeOffersItsSections_data();
    void eachTypeOffersItsSections();
    void everyHeadingCodeHasExactlyOneEntry();
    void cardTypesOfferTheirOperations();
    void menusAreBuiltWhenShown();
    void entriesFollowTheSelectedWorkstation_data();
    void entriesFollowTheSelectedWorkstation();
    void headEntriesChangeNothing();
    void sectionEntryOpensItsWindow_data();
    void sectionEntryOpensItsWindow();
    void everyEditorOpensOnTheDemoDesign_data();
    void everyEditorOpensOnTheDemoDesign();
};

void TestSectionMenus::eachTypeOffersItsSections_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("title");    // the header editor's title of the type
    QTest::addColumn<QString>("sections"); // caption=heading code, editor class or test print

    const auto row = [](int type, const char *title, const char *sections) {
        QTest::addRow("type %d", type)
                << type << QString::fromUtf8(title) << QStringLiteral("Kopf=header, ") + sections;
    };
    row(1, "Anzahlungskopfes", "Überschrift=71, Positionen=72, Ende=73, Testdruck=test");
    row(2, "Belegkopfes für Aufgabenlisten", "Überschrift=0, Positionen=1, Ende=2, Testdruck=test");
    row(3, "Belegkopfes für Phasenbelege",
        "Überschrift=74, Positionen=75, Artikelpositionen=76, Textpositionen=77, Ende=78, "
        "Testdruck=test");
    row(4, "Belegkopfes für Beleglisten", "Überschrift=79, Belege=80, Testdruck=test");
    row(5, "Belegkopfes für die Datenschutzerklärung",
        "Überschrift=61, Positionen=62, Ende=63, Testdruck=test");
    row(6, "Belegkopfes für die MwSt-Erstattung",
        "Überschrift=81, Positionen=82, Ende=83, Testdruck=test");
    row(7, "Belegkopfes für den Bestandsabgang", "Bestandsabgang=85, Testdruck=test");
    row(8, "Belegkopfes für Filialaustausch",
        "Überschrift=48, Positionen=49, Ende=50, Testdruck=test");
    row(9, "Gutscheinkopfes",
        "Gutschein=17, Zahlbetrag=18, Teileinlösung(en)=19, Neuer Wert=20, Ende=21, "
        "Testdruck=test");
    row(10, "Belegkopfes für Gutschriften",
        "Gutschrift=22, Teileinlösung(en)=23, Neuer Wert=24, Ende=25, Testdruck=test");
    row(11, "Kassenberichtkopfes",
        "Überschrift=31, Positionen=TfrmLayKassenbericht, Ende=32, Testdruck=test, "
        "Signpad Oben=33, Signpad Unterschrift=34");
    row(12, "Kassenbestandserhöhungskopfes",
        "Überschrift=53, Positionen=54, Ende=55, Testdruck=test, Signpad Oben=56, "
        "Signpad Unterschrift=57");
    row(13, "Bonkopfes",
        "Überschrift=3, Positionen=TfrmLayBonPos, Summen u. Zahlung=TfrmLayBonSum, "
        "Unterschrift bei Rückg. - Stammkunde=4, Unterschrift b. Rückg. - Unbek. Kunde=5, "
        "Ende=TfrmLayBonende, Ende Bonstorno=TfrmLayBonStornoEnde, Testdruck=test, "
        "Signpad Oben=6, Signpad Unterschrift=7, Signpad Kunde Oben=8, "
        "Signpad Kunde Unterschrift=9, Signpad Bonstorno Oben=10, "
        "Signpad Bonstorno Unterschrift=11");
    row(14, "Kassenentnahmekopfes",
        "Überschrift=12, Positionen=13, Ende=14, Testdruck=test, Signpad Oben=15, "
        "Signpad Unterschrift=16");
    row(15, "KRT-Mail-Bonkopfes", "KRT-Mail=51, Ende=52, Testdruck=test");
    row(16, "Nullbonkopfes",
        "Nullbon=26, Ende=TfrmLayNullbonEnde, Testdruck=test, Signpad Oben=27, "
        "Signpad Unterschrift=28");
    row(17, "Quittungskopfes",
        "Quittung=37, Ende=38, Testdruck=test, Signpad Oben=39, Signpad Unterschrift=40");
    row(18, "Rechnungskopfes",
        "Überschrift=29, Positionen=TfrmLayRechPos, Summen u. Zahlung=TfrmLayRechSum, "
        "Unterschrift bei Rückg. - Stammkunde=30, Ende=TfrmLayRechEnde, Testdruck=test");
    row(19, "Reklamationskopfes",
        "Überschrift=35, Positionen=TfrmLayReklPos, Regulierung=TfrmLayReklReg, Ende=36, "
        "Testdruck=test");
    // "Positionen" opens 43 and "Ende" 42, although the end is listed later.
    row(20, "Belegkopfes für Reservierung/Auswahl",
        "Überschrift=41, Positionen=43, Ende=42, Testdruck=test, Signpad Oben=44, "
        "Signpad Unterschrift=45, Signpad Kunde Oben=46, Signpad Kunde Unterschrift=47");
    row(21, "Belegkopfes für RKSV Belege",
        "Überschrift=64, Positionen=65, Ende=66, Testdruck=test");
    row(22, "Belegkopfes für Warenbegleitscheine",
        "Überschrift=58, Positionen=59, Ende=60, Testdruck=test");
    row(23, "Belegkopfes für Zahlungen",
        "Überschrift=67, Ende=68, Testdruck=test, Signpad Oben=69, Signpad Unterschrift=70");
}

void TestSectionMenus::eachTypeOffersItsSections()
{
    QFETCH(int, type);
    QFETCH(QString, title);
    QFETCH(QString, sections);

    QStringList offered;
    QString menu = CBelegName(type); // the main window's menu: the type, then sections and tags
    const quint32 mask = SectionDispatch::sectionMask(type);
    for (int i = 0; i < 32; ++i) {
        const auto target = SectionDispatch::target(type, i);
        if (mask & (1u << i)) {
            offered << SectionDispatch::sectionCaption(i) + u'=' + describe(target);
            menu += QStringLiteral("; %1 %2").arg(SectionDispatch::sectionCaption(i)).arg(i);
        } else {
            QVERIFY2(!target, qPrintable(QStringLiteral("section %1 not offered").arg(i)));
        }
    }
    QCOMPARE(offered.join(QStringLiteral(", ")), sections);
    QCOMPARE(headerTitle(type), title);

    ShownMainWindow w(3);
    w.choose("btnMenuEZ", QStringLiteral("Kreditkarte")); // its menu must make way
    w.choose("btnMenuLinks", CBelegName(type));
    const TButtonMenu *shown = w.menu("btnMenuRechts");
    QVERIFY(shown->isVisible() && !w.menu("btnMenuEZRechts")->isVisible());
    QCOMPARE(describe(shown), menu);
    for (int i = 0; i < shown->count(); ++i)
        QVERIFY(shown->entry(i).enabled && (shown->entry(i).kind == TButtonMenu::Kind::Head) == !i);
}

void TestSectionMenus::everyHeadingCodeHasExactlyOneEntry()
{
    QMap<int, QStringList> reachedFrom;
    for (int type = 1; type <= DocumentTypeCount; ++type) {
        for (int section = 0; section < 32; ++section) {
            const auto target = SectionDispatch::target(type, section);
            if (target && target->kind == SectionDispatch::Target::Kind::HeadingEditor)
                reachedFrom[target->sectionCode] << QStringLiteral("%1/%2").arg(type).arg(section);
        }
    }
    for (int code = 0; code <= 85; ++code) {
        const int expected = code == 84 ? 0 : 1;
        QVERIFY2(reachedFrom.value(code).size() == expected,
                 qPrintable(QString::number(code) + u' ' + reachedFrom.value(code).join(u' ')));
        // The heading editor must know every code the menus hand it.
        QCOMPARE(headingSection(code).has_value(), expected == 1);
    }
    QCOMPARE(reachedFrom.lastKey(), 85);
    QVERIFY(!SectionDispatch::target(0, 0) && !SectionDispatch::target(24, 21));
}

void TestSectionMenus::cardTypesOfferTheirOperations()
{
    QStringList sections;
    for (int card = 0; card <= 2; ++card) {
        for (int operation = 0; operation < 8; ++operation) {
            const auto section = SectionDispatch::cardSection(card, operation);
            QCOMPARE(section.has_value(),
                     bool(SectionDispatch::operationMask(card) & (1u << operation)));
            if (section)
                sections << section->kennung + u' ' + section->caption;
        }
    }
    QCOMPARE(sections.join(QStringLiteral(", ")),
             "ECBUCH ec-Lastschrift - Zahlung, ECSTOR ec-Lastschrift - Stornieren, "
             "KKBUCH Kreditkarte - Zahlung, KKSTOR Kreditkarte - Stornieren, "
             "KKGUTS Kreditkarte - Erstattung");

    ShownMainWindow w(3);
    TButtonMenu *operations = w.menu("btnMenuEZRechts");
    w.choose("btnMenuLinks", CBelegName(13)); // its menu must make way
    w.choose("btnMenuEZ", QStringLiteral("Kreditkarte"));
    QCOMPARE(describe(operations), "Kreditkarte; Zahlung 0; Stornieren 1; Gutschrift 2");
    QVERIFY(operations->isVisible() && !w.menu("btnMenuRechts")->isVisible());
    w.choose("btnMenuEZ", QStringLiteral("ec-Lastschrift"));
    QCOMPARE(describe(operations), "ec-Lastschrift; Zahlung 0; Stornieren 1");
}

void TestSectionMenus::menusAreBuiltWhenShown()
{
    ShownMainWindow w(3);
    QString types = QStringLiteral("Belegtypen");
    for (int t = 1; t <= DocumentTypeCount; ++t)
        types += QStringLiteral("; %1 %2").arg(CBelegName(t)).arg(t);
    // Shown twice: the menus are rebuilt, not appended to.
    w.window.hide();
    w.window.show();
    QCOMPARE(describe(w.menu("btnMenuLinks")), types);
    QCOMPARE(describe(w.menu("btnMenuEZ")),
             "Elektronischer Zahlungsverkehr; ec-Lastschrift 0; Kreditkarte 1");
}

void TestSectionMenus::entriesFollowTheSelectedWorkstation_data()
{
    QTest::addColumn<int>("own");
    QTest::addColumn<QList<int>>("selected"); // chosen in cmbRechner, in order
    QTest::addColumn<bool>("till");

    QTest::newRow("own till") << 3 << QList<int>{} << true;
    // A back-office computer starts on the first till, whose entries are all offered.
    QTest::newRow("own back-office computer starts on a till") << 2 << QList<int>{} << true;
    QTest::newRow("back-office computer chosen") << 1 << QList<int>{2} << false;
    QTest::newRow("main PC is no till") << 2 << QList<int>{1} << false;
    QTest::newRow("mobile till is a till") << 1 << QList<int>{5} << true;
    QTest::newRow("till after back office enables again") << 1 << QList<int>{2, 4} << true;
    QTest::newRow("another till") << 3 << QList<int>{4} << true;
}

void TestSectionMenus::entriesFollowTheSelectedWorkstation()
{
    QFETCH(int, own);
    QFETCH(QList<int>, selected);
    QFETCH(bool, till);

    ShownMainWindow w(own);
    // Right-hand menus filled before the change must be emptied by it.
    w.menu("btnMenuLinks")->clickEntry(9);
    w.menu("btnMenuEZ")->clickEntry(2);
    for (int rnr : selected)
        w.selectWorkstation(rnr);
    if (!selected.isEmpty()) {
        QCOMPARE(w.menu("btnMenuRechts")->count(), 0);
        QCOMPARE(w.menu("btnMenuEZRechts")->count(), 0);
    }

    for (const char *name : {"btnMenuLinks", "btnMenuEZ"}) {
        const TButtonMenu *menu = w.menu(name);
        for (int i = 0; i < menu->count(); ++i) {
            const TButtonMenu::Entry &e = menu->entry(i);
            const bool offTill = name == std::string_view("btnMenuLinks")
                                 && QList<int>{9, 10, 22}.contains(e.tag);
            QVERIFY2(e.enabled == (i == 0 || till || offTill), qPrintable(e.caption));
        }
    }
}

void TestSectionMenus::headEntriesChangeNothing()
{
    ShownMainWindow w(3);
    int opened = 0;
    w.window.onEditorOpened = [&](TOVOForm *) {
        ++opened;
    };
    w.window.setTestPrintHandler([&](int) { ++opened; });
    w.choose("btnMenuLinks", CBelegName(13));
    w.choose("btnMenuEZ", QStringLiteral("Kreditkarte"));
    const QString sections = describe(w.menu("btnMenuRechts"));
    const QString operations = describe(w.menu("btnMenuEZRechts"));

    for (const char *name : {"btnMenuLinks", "btnMenuEZ", "btnMenuRechts", "btnMenuEZRechts"})
        w.menu(name)->clickEntry(0);

    QCOMPARE(w.window.chosenDocumentType(), 13);
    QCOMPARE(w.window.chosenCardType(), 1);
    QCOMPARE(describe(w.menu("btnMenuRechts")), sections);
    QCOMPARE(describe(w.menu("btnMenuEZRechts")), operations);
    QVERIFY(w.menu("btnMenuEZRechts")->isVisible());
    QVERIFY(!w.menu("btnMenuRechts")->isVisible());
    QCOMPARE(opened, 0);
    QCOMPARE(w.installation.messages().count(), 0);
}

void TestSectionMenus::sectionEntryOpensItsWindow_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("opened"); // what opened; "1035" when the error was reported

    QTest::newRow("heading section: its code") << "Überschrift" << 13 << "TfrmLayBonueber 3";
    QTest::newRow("reservation items: 43") << "Positionen" << 20 << "TfrmLayBonueber 43";
    QTest::newRow("reservation end: 42") << "Ende" << 20 << "TfrmLayBonueber 42";
    QTest::newRow("Kopf: header editor with type") << "Kopf" << 7 << "header 7";
    QTest::newRow("class name: that editor") << "Regulierung" << 19 << "TfrmLayReklReg";
    QTest::newRow("Testdruck: test print of type") << "Testdruck" << 18 << "test 18";
    QTest::newRow("editor not built: error 1035") << "Positionen" << 13 << "1035";
}

void TestSectionMenus::sectionEntryOpensItsWindow()
{
    QFETCH(QString, section);
    QFETCH(int, type);
    QFETCH(QString, opened);

    ShownMainWindow w(3);
    const auto fake = [](QWidget *owner, const QString &name) {
        auto form = std::make_unique<TOVOForm>(owner);
        form->setObjectName(name);
        return form;
    };
    w.window.editors() = EditorRegistry(); // only the fakes below are built
    w.window.editors().registerHeaderEditor(
            [=](QWidget *owner, int t) { return fake(owner, QStringLiteral("header %1").arg(t)); });
    w.window.editors().registerEditor(QStringLiteral("TfrmLayReklReg"), [=](QWidget *owner) {
        return fake(owner, QStringLiteral("TfrmLayReklReg"));
    });
    QStringList seen;
    TButtonMenu *types = w.menu("btnMenuLinks");
    w.window.setTestPrintHandler([&](int t) { seen << QStringLiteral("test %1").arg(t); });
    w.window.onEditorOpened = [&](TOVOForm *form) {
        QTimer::singleShot(0, form, &QDialog::reject);
        const auto *heading = qobject_cast<TfrmLayBonueber *>(form);
        seen << (heading ? QStringLiteral("TfrmLayBonueber %1").arg(heading->sectionCode())
                         : form->objectName());
        // While the editor is open the workstation gets a printer of its own and an entry is
        // disabled; closing must refresh the engine and enable the menus anew.
        w.installation.givePrinter(3, QStringLiteral("TM-U200B"));
        types->setEntryEnabled(1, false);
    };

    w.choose("btnMenuLinks", CBelegName(type));
    w.choose("btnMenuRechts", section);

    if (opened == QLatin1String("1035")) {
        QVERIFY(seen.isEmpty());
        QVERIFY(w.installation.messages().sawMessage(1035));
        const QString text = w.installation.messages().shown().last().text;
        QVERIFY2(text.contains(CBelegName(type)) && text.contains(section), qPrintable(text));
        return;
    }
    QCOMPARE(seen, QStringList{opened});
    QCOMPARE(w.installation.messages().count(), 0);
    if (opened.startsWith(QLatin1String("test")))
        return;
    QCOMPARE(w.window.engine().Kasso_Typ_Get_LayoutPrinterKey(), QStringLiteral("TM-U200B"));
    QVERIFY(types->entry(1).enabled);
}

void TestSectionMenus::everyEditorOpensOnTheDemoDesign_data()
{
    QTest::addColumn<int>("till");
    QTest::newRow("Kasse 3, graphic mode") << 3;
    QTest::newRow("Kasse 4, text mode") << 4;
}

// Catches editors of a fresh store that open on filler lines and empty fonts: every section
// the menus offer opens on the demo shop's design, in the fonts of the till's printer.
void TestSectionMenus::everyEditorOpensOnTheDemoDesign()
{
    QFETCH(int, till);
    ShownMainWindow w(2);
    w.selectWorkstation(till);
    const QStringList printerFonts = w.window.engine().Kasso_Typ_Get_PrinterFonts();
    const bool textMode = w.window.engine().Kasso_Typ_Get_Modus() == QLatin1String("T");
    QCOMPARE(textMode, till == 4);
    QStringList problems;
    QString entry;
    int opened = 0;
    w.window.onEditorOpened = [&](TOVOForm *form) {
        // Looked at once the window has loaded its record and is shown.
        QTimer::singleShot(0, form, [&, form] {
            ++opened;
            int designed = 0;
            for (const QLineEdit *line : form->findChildren<QLineEdit *>(
                         QRegularExpression(QStringLiteral("^edtTxtZeile\\d+$")))) {
                designed += !line->text().isEmpty();
                if (line->text().contains(QStringLiteral("xxxxxxxx")))
                    problems << entry + QStringLiteral(": filler in ") + line->objectName();
            }
            if (designed == 0)
                problems << entry + QStringLiteral(": no designed line");
            for (const QComboBox *font : form->findChildren<QComboBox *>(
                         QRegularExpression(QStringLiteral("^cmbSchriftArt\\d+$")))) {
                if (font->currentText().isEmpty()
                    || (textMode && !printerFonts.contains(font->currentText())))
                    problems << entry
                                        + QStringLiteral(": font \"%1\" in %2")
                                                  .arg(font->currentText(), font->objectName());
            }
            form->reject();
        });
    };
    int expected = 0;
    for (const auto &[type, section] : SectionDispatch::allEntries()) {
        if (section == SectionDispatch::TestPrintSection)
            continue;
        entry = CBelegName(type) + u'/' + SectionDispatch::sectionCaption(section);
        w.choose("btnMenuLinks", CBelegName(type));
        // By its tag: a section may have the caption of its document type, the head entry's.
        TButtonMenu *sections = w.menu("btnMenuRechts");
        sections->clickEntry(sections->indexOfTag(section));
        ++expected;
    }
    QCOMPARE(opened, expected);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    QCOMPARE(w.installation.messages().count(), 0);
}

QTEST_MAIN(TestSectionMenus)
#include "tst_sectionmenus.moc"
