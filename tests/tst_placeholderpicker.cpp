// The placeholder picker: a window beside the editors that lists the catalogue, searches it
// and hands the chosen token to the editor that opened it last.

#include "core/model/placeholdercatalogue.h"
#include "placeholders/Platzhalter.h"
#include "tests/support/guisupport.h"

#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <functional>
#include <memory>

namespace {

// Stands in for an editor that receives the chosen token.
struct TokenSink
{
    QObject editor;
    QStringList received;

    std::function<void(const QString &)> insert()
    {
        return [this](const QString &token) {
            received << token;
        };
    }
};

} // namespace

class TestPlaceholderPicker : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // The catalogue
    void descriptionsAreShownAsWritten_data();
    void descriptionsAreShownAsWritten();

    // The picker
    void pickerStartsHiddenAndOpensWithoutBlocking();
    void chooseWithoutSelectionDoesNothing();
    void chooseHandsTheTokenCellOver_data();
    void chooseHandsTheTokenCellOver();
    void tokenGoesToTheEditorThatOpenedLast();
    void destroyedEditorIsNotCalled();
    void cancelHidesWithoutHandingOver_data();
    void cancelHidesWithoutHandingOver();
    void typingStartsTheSearch_data();
    void typingStartsTheSearch();
    void searchCanBeStartedExplicitly_data();
    void searchCanBeStartedExplicitly();
    void searchThenEnterChoosesTheFoundRow();
    void screenshot();

private:
    TfrmPlatzhalter &openPicker(TokenSink &sink);
    QTableView *grid()
    {
        return m_picker->findChild<QTableView *>(QStringLiteral("vtvrPlatzhalter"));
    }
    QLineEdit *searchEdit()
    {
        return m_picker->findChild<QLineEdit *>(QStringLiteral("edtSuchen"));
    }
    QPushButton *button(const char *name)
    {
        return m_picker->findChild<QPushButton *>(QString::fromLatin1(name));
    }
    QModelIndex rowOf(const QString &token);

    std::unique_ptr<TestInstallation> m_installation;
    std::unique_ptr<FakeMainWindow> m_main;
    std::unique_ptr<TfrmPlatzhalter> m_picker;
};

void TestPlaceholderPicker::init()
{
    m_installation = std::make_unique<TestInstallation>();
    m_main = std::make_unique<FakeMainWindow>(*m_installation, 3);
    m_picker = std::make_unique<TfrmPlatzhalter>();
    m_main->picker = m_picker.get();
}

void TestPlaceholderPicker::cleanup()
{
    m_picker.reset();
    m_main.reset();
    m_installation.reset();
}

TfrmPlatzhalter &TestPlaceholderPicker::openPicker(TokenSink &sink)
{
    m_main->placeholderPicker()->openFor(&sink.editor, sink.insert());
    return *m_picker;
}

QModelIndex TestPlaceholderPicker::rowOf(const QString &token)
{
    QAbstractItemModel *model = grid()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 1).data().toString() == token)
            return model->index(row, 1);
    }
    return {};
}

// ---- the catalogue in the picker -----------------------------------------------------------

void TestPlaceholderPicker::descriptionsAreShownAsWritten_data()
{
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("description");
    const std::pair<const char *, const char *> rows[] = {
            {"#AnFiliale#", "Filiale an"},
            {"#BarCode#", "Barcode - Enthält die Belegnummer"},
            {"#Datum#", "Bondatum"},
            {"#AktDatum#", "Tagesdatum"},
            {"#BonNrBarcode#", "BonNrBarcode - Enthält Belegtyp und Belegnummer"},
            {"#KopfVknNr#", "Kopfverkäufer - Nummer"},
            {"#KndAllesDeEnFr#", "Kunde - Alle Kundendaten De,En,Fr"},
            {"#KndNr_x#", "Kunde - eigene KundenNummer x (x Name der KundenNr)"},
            {"#WH1#", "Währung 1"},
            {"#WH2#", "Währung 2"},
            {"#ArtMerk_x#", "Eigenes Art-Merkmal x (x Name des MM)"},
            {"#AntGesIstVkWH1_x#", "Proz. Anteil x (Pr.Sz. * 100 | 1250 =  12,5%) von GesIstVkWH1"},
            {"#ReduzProzent#", "Reduzierung (0,00 %)"},
            {"#ReduzProzent1#", "Reduzierung (0,0 %)"},
            {"#ReduzProzent0#", "Reduzierung (0 %)"},
            {"#Max(I/S)WH1#", "Maximum (IstVk/SollVk) Währung 1"},
            {"#WGOderBez#", "Warengruppe (oder Bezeichnung bei Dienstleistung)"},
            {"#UST#", "MwSt - Prozentsatz"},
            {"#ZM#", "Zahlungsmittel - Beschreibung"},
            {"#Teil#", "beanstandetes Teil"},
            {"#Bonus#", "Bonus: mit diesem Verk. generierter Sofortbonus"},
            {"#MwSt-Hinweistext-Abtrennen#", "MwSt - Erstattungshinweis mit Abtrennen"},
            {"#MwSt-ZollbestaetigungDeEnFr#", "MwSt - Zollbestätigung De,En,Fr"},
            {"#VknAbschluss#", "KB Verant.Abschl."},
            {"#VknVorlAbschluss#", "KB Verant.Vorl.Abschl."},
            {"#LiefArtNeu#", "Lieferant - Artikelnummer"},
            {"#LiefArt#", "alter Lieferant (eigentlich Hersteller) - Artikelnummer"},
            {"#WGMerk_x#", "WG-Merkmal x (Name des WG-Merkmals)"},
            {"#ExtGutscheinNr#", "Ext. Gutschein-Nr/Gutscheincode"},
            {"#Person#", "Benutzer - Zug. Person"},
            {"#PersonalOrKundNr#", "Personalkauf - Personalnr. sonst KndNr"},
            {"#{LXXXX}#", "Horizontale Ausrichtung linksbündig - X ist Punktzahl"},
            {"#{RXXXX}#", "Horizontale Ausrichtung rechtbündig - X ist Punktzahl"},
            {"#FilOrt#", "Filiale - Ort"},
            {"#MailBetreff#", "Mail - Betreff"},
            {"#Menge#", "Menge"},
    };
    for (const auto &[token, description] : rows)
        QTest::newRow(token) << QString::fromUtf8(token) << QString::fromUtf8(description);
}

void TestPlaceholderPicker::descriptionsAreShownAsWritten()
{
    QFETCH(QString, token);
    QFETCH(QString, description);
    // Read from the picker's grid: the "Bezeichnung" column is what the user sees.
    TokenSink sink;
    openPicker(sink);
    const QModelIndex index = rowOf(token);
    QVERIFY(index.isValid());
    QCOMPARE(index.siblingAtColumn(0).data().toString(), description);
}

// ---- the picker ----------------------------------------------------------------------------

void TestPlaceholderPicker::pickerStartsHiddenAndOpensWithoutBlocking()
{
    QVERIFY(!m_picker->isVisible());
    TokenSink sink;
    openPicker(sink);
    QCOMPARE(grid()->model()->rowCount(), int(placeholderCatalogue().size()));
    QCOMPARE(grid()->model()->headerData(0, Qt::Horizontal).toString(),
             QStringLiteral("Bezeichnung"));
    QCOMPARE(grid()->model()->headerData(1, Qt::Horizontal).toString(),
             QStringLiteral("Platzhalter"));
    QVERIFY(m_picker->isVisible());
    QVERIFY(!m_picker->isModal());
    QVERIFY(sink.received.isEmpty());
}

void TestPlaceholderPicker::chooseWithoutSelectionDoesNothing()
{
    TokenSink sink;
    openPicker(sink);
    grid()->clearSelection();
    QTest::mouseClick(button("btnAuswaehlen"), Qt::LeftButton);
    QVERIFY(sink.received.isEmpty());
    QVERIFY(m_picker->isVisible());
}

void TestPlaceholderPicker::chooseHandsTheTokenCellOver_data()
{
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("way");
    QTest::newRow("Auswählen, plain token") << "#Datum#"
                                            << "button";
    QTest::newRow("Auswählen, first row") << "#AnFiliale#"
                                          << "button";
    QTest::newRow("Auswählen, template as it stands") << "#{LXXXX}#"
                                                      << "button";
    QTest::newRow("Enter, token with umlaut") << "#Größe#"
                                              << "enter";
    QTest::newRow("double-click, plain token") << "#MailBetreff#"
                                               << "double-click";
    QTest::newRow("double-click, template as it stands") << "#KndNr_x#"
                                                         << "double-click";
}

void TestPlaceholderPicker::chooseHandsTheTokenCellOver()
{
    QFETCH(QString, token);
    QFETCH(QString, way);
    TokenSink sink;
    openPicker(sink);
    const QModelIndex index = rowOf(token);
    QVERIFY(index.isValid());
    grid()->scrollTo(index);
    if (way == QLatin1String("double-click")) {
        // On the description cell: the whole row is chosen, not the clicked cell's text.
        const QPoint at = grid()->visualRect(index.siblingAtColumn(0)).center();
        // A real double-click: a click, then the double-click event on the same cell.
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, at);
    } else {
        grid()->selectRow(index.row());
        if (way == QLatin1String("enter"))
            QTest::keyClick(grid(), Qt::Key_Return);
        else
            QTest::mouseClick(button("btnAuswaehlen"), Qt::LeftButton);
    }
    QCOMPARE(sink.received, QStringList{token});
    QVERIFY(!m_picker->isVisible());
}

void TestPlaceholderPicker::tokenGoesToTheEditorThatOpenedLast()
{
    TokenSink editorA;
    TokenSink editorB;
    openPicker(editorA);
    openPicker(editorB);
    grid()->selectRow(rowOf(QStringLiteral("#Regal#")).row());
    QTest::mouseClick(button("btnAuswaehlen"), Qt::LeftButton);
    QVERIFY(editorA.received.isEmpty());
    QCOMPARE(editorB.received, QStringList{QStringLiteral("#Regal#")});

    // And back to A for the next opening.
    openPicker(editorA);
    grid()->selectRow(rowOf(QStringLiteral("#Farbe#")).row());
    QTest::mouseClick(button("btnAuswaehlen"), Qt::LeftButton);
    QCOMPARE(editorA.received, QStringList{QStringLiteral("#Farbe#")});
    QCOMPARE(editorB.received.size(), 1);
}

void TestPlaceholderPicker::destroyedEditorIsNotCalled()
{
    // Catches a picker that calls into an editor window freed after it opened the picker.
    bool called = false;
    auto editor = std::make_unique<QObject>();
    m_picker->openFor(editor.get(), [&called](const QString &) { called = true; });
    editor.reset();
    grid()->selectRow(0);
    QTest::mouseClick(button("btnAuswaehlen"), Qt::LeftButton);
    QVERIFY(!called);
    QCOMPARE(m_installation->messages().count(), 0);
}

void TestPlaceholderPicker::cancelHidesWithoutHandingOver_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("Abbrechen") << false;
    QTest::newRow("Esc") << true;
}

void TestPlaceholderPicker::cancelHidesWithoutHandingOver()
{
    QFETCH(bool, byKey);
    TokenSink sink;
    openPicker(sink);
    grid()->selectRow(3);
    if (byKey)
        QTest::keyClick(grid(), Qt::Key_Escape);
    else
        QTest::mouseClick(button("btnAbbrechen"), Qt::LeftButton);
    QVERIFY(!m_picker->isVisible());
    QVERIFY(sink.received.isEmpty());
}

void TestPlaceholderPicker::typingStartsTheSearch_data()
{
    QTest::addColumn<bool>("onGrid");
    QTest::addColumn<char>("key");
    QTest::newRow("letter on the window") << false << 'M';
    QTest::newRow("letter on the grid") << true << 'k';
    QTest::newRow("digit on the grid") << true << '2';
}

void TestPlaceholderPicker::typingStartsTheSearch()
{
    QFETCH(bool, onGrid);
    QFETCH(char, key);
    TokenSink sink;
    openPicker(sink);
    QVERIFY(!searchEdit()->isVisible());
    QTest::keyClick(onGrid ? static_cast<QWidget *>(grid()) : m_picker.get(), key);
    QVERIFY(searchEdit()->isVisible());
    QCOMPARE(searchEdit()->text(), QString(QChar::fromLatin1(key)));

    QAbstractItemModel *model = grid()->model();
    QVERIFY(model->rowCount() > 0);
    QVERIFY(model->rowCount() < 195);
    for (int row = 0; row < model->rowCount(); ++row) {
        const QString shown = model->index(row, 0).data().toString() + u' '
                              + model->index(row, 1).data().toString();
        QVERIFY2(shown.contains(QChar::fromLatin1(key), Qt::CaseInsensitive), qPrintable(shown));
    }
    QVERIFY(sink.received.isEmpty());
}

void TestPlaceholderPicker::searchCanBeStartedExplicitly_data()
{
    QTest::addColumn<bool>("byShortcut");
    QTest::newRow("Ctrl+F") << true;
    QTest::newRow("btnSearch") << false;
}

void TestPlaceholderPicker::searchCanBeStartedExplicitly()
{
    QFETCH(bool, byShortcut);
    TokenSink sink;
    openPicker(sink);
    m_picker->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_picker.get()));
    QVERIFY(!searchEdit()->isVisible());
    if (byShortcut)
        QTest::keyClick(grid(), Qt::Key_F, Qt::ControlModifier);
    else
        QTest::mouseClick(button("btnSearch"), Qt::LeftButton);
    QVERIFY(searchEdit()->isVisible());
    QVERIFY(searchEdit()->hasFocus());
    QCOMPARE(grid()->model()->rowCount(), int(placeholderCatalogue().size()));
    QVERIFY(m_picker->isVisible());
}

void TestPlaceholderPicker::searchThenEnterChoosesTheFoundRow()
{
    TokenSink sink;
    openPicker(sink);
    QTest::keyClick(m_picker.get(), 'W');
    QTest::keyClicks(searchEdit(), QStringLiteral("GMerk"));
    QCOMPARE(searchEdit()->text(), QStringLiteral("WGMerk"));
    QCOMPARE(grid()->model()->rowCount(), 1);
    QTest::keyClick(searchEdit(), Qt::Key_Return);
    // Fails today: Enter in edtSuchen hands the token over twice (returnPressed, then the
    // window's own Enter handling of the same key), so the editor inserts it twice.
    QCOMPARE(sink.received, QStringList{QStringLiteral("#WGMerk_x#")});
    QVERIFY(!m_picker->isVisible());
}

void TestPlaceholderPicker::screenshot()
{
    TokenSink sink;
    openPicker(sink);
    const QModelIndex index = rowOf(QStringLiteral("#Datum#"));
    grid()->selectRow(index.row());
    grid()->scrollTo(index);
    const QString file = saveScreenshot(m_picker.get(), QStringLiteral("placeholder-picker"));
    QVERIFY(!QImage(file).isNull());
}

QTEST_MAIN(TestPlaceholderPicker)
#include "tst_placeholderpicker.moc"
