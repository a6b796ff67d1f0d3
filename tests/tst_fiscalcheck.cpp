// What a receipt must carry by the installation's country: the check through the admin command
// and through its window, the warning of an editor's save, the cases of the preview and the
// country in the general settings.
#include "core/engine/fiscalcheck.h"
#include "core/model/sampledocument.h"
#include "editors/LayBonende.h"
#include "settings/allgeinstellungenfrm.h"
#include "shell/belegpruefung.h"
#include "shell/kassotypu.h"
#include "tests/support/builtprogram.h"
#include "tests/support/editorsession.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

const QString Qr = QStringLiteral("#TSE-QR#");

// The receipt's end on till 3 as the demo designs it, without its QR line: the only place of the
// signature on the demo's receipt.
void removeQrLineOfTill3(TestInstallation &installation)
{
    QStringList list = *installation.list(QStringLiteral("BONENDE"), 0, QStringLiteral("TM-T88"));
    QVERIFY(list.contains(Qr));
    list.replace(list.indexOf(Qr), QString());
    installation.putList(QStringLiteral("BONENDE"), 3, QStringLiteral("TM-T88"), list);
}

// Chooses an entry of a list as a user does, by keys.
void choose(QComboBox *combo, const QString &text)
{
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; combo->currentText() != text && i < combo->count(); ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentText(), text);
}

} // namespace

class TestFiscalCheck : public QObject
{
    Q_OBJECT

private slots:
    void adminCommandNamesTillTypeAndField();
    void windowListsWhatIsMissingAndOpensTheSection();
    void caseChoiceChangesThePreview();
    void saveLeavingOutTheQrCodeWarnsButSaves();
    void countryIsChosenInTheGeneralSettings();
};

void TestFiscalCheck::adminCommandNamesTillTypeAndField()
{
    TestInstallation installation;
    auto admin = [&installation](const QStringList &arguments) {
        return runBuilt(QStringLiteral("tools/kassotyp-admin"),
                        QStringList{QStringLiteral("--store=") + installation.storeLocation(),
                                    QStringLiteral("--config="),
                                    QStringLiteral("--log=") + installation.path("admin.log")}
                                + arguments);
    };
    // The demo shop is a lawful German shop.
    Run run = admin({QStringLiteral("check"), QStringLiteral("--fiscal")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(QLatin1String("Deutschland (DE): nichts fehlt")),
             qPrintable(run.out));

    removeQrLineOfTill3(installation);
    run = admin({QStringLiteral("check"), QStringLiteral("--fiscal")});
    QCOMPARE(run.exitCode, 1);
    const QStringList lines = run.out.trimmed().split(u'\n');
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.first(), QStringLiteral("Belegprüfung für Deutschland (DE): 1 Lücke"));
    // That till only, that type, the section to mend and the fields the receipt now lacks.
    QCOMPARE(lines.at(1).trimmed(),
             QStringLiteral("Rechner 3 Kasse 3, Drucker TM-T88, Belegart 13 Bon (Abschnitt Ende): "
                            "fehlt TSE-Daten: #TSE-QR# oder #TSE-Seriennummer#, #TSE-Signatur#"));

    // Another country asks for something else; a wrong one is refused and changes nothing.
    run = admin({QStringLiteral("country"), QStringLiteral("XY")});
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.contains(QLatin1String("Unbekanntes Land \"XY\"")));
    run = admin({QStringLiteral("country"), QStringLiteral("AT")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out.trimmed(), QStringLiteral("Land der Installation: Österreich (AT)"));
    run = admin({QStringLiteral("check"), QStringLiteral("--fiscal")});
    QCOMPARE(run.exitCode, 1);
    // The RKSV receipt carries its code; the German receipts of the three tills do not.
    QVERIFY(!run.out.contains(QLatin1String("RKSV-Beleg")));
    QCOMPARE(run.out.count(QLatin1String("fehlt Maschinenlesbarer Code: #RKSV-QR# oder "
                                         "#RKSV-Code#")),
             3 * 7);
    run = admin({QStringLiteral("check"), QStringLiteral("--fiscal"), QStringLiteral("--all")});
    QCOMPARE(run.exitCode, 2);
}

void TestFiscalCheck::windowListsWhatIsMissingAndOpensTheSection()
{
    TestInstallation installation;
    {
        TfrmBelegpruefung window(installation.host(), {});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.findChild<QTableWidget *>(QStringLiteral("grdBefunde"))->rowCount(), 0);
        QVERIFY(!window.findChild<QPushButton *>(QStringLiteral("btnAbschnitt"))->isEnabled());
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lblErgebnis"))->text(),
                 QStringLiteral("Belegprüfung für Deutschland (DE): nichts fehlt"));
    }
    removeQrLineOfTill3(installation);
    // From the main window, as the user goes: the check, then the section of the row.
    TfrmKassotypHaupt main(installation.host(), installation.config().positional);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QStringList opened;
    QStringList rows;
    main.onEditorOpened = [&](TOVOForm *window) {
        opened << QString::fromLatin1(window->metaObject()->className());
        if (auto *check = qobject_cast<TfrmBelegpruefung *>(window)) {
            auto *grid = check->findChild<QTableWidget *>(QStringLiteral("grdBefunde"));
            for (int row = 0; row < grid->rowCount(); ++row) {
                QStringList cells;
                for (int column = 0; column < grid->columnCount(); ++column)
                    cells << grid->item(row, column)->text();
                rows << cells.join(u'|');
            }
            QTimer::singleShot(0, check, [check] {
                QTest::mouseClick(check->findChild<QPushButton *>(QStringLiteral("btnAbschnitt")),
                                  Qt::LeftButton);
                check->reject();
            });
        } else {
            QTimer::singleShot(0, window, [window] { window->reject(); });
        }
    };
    QTest::mouseClick(main.findChild<QPushButton *>(QStringLiteral("btnBelegpruefung")),
                      Qt::LeftButton);
    QCOMPARE(rows, QStringList{QStringLiteral("Rechner 3 Kasse 3|TM-T88|13 Bon|Ende|TSE-Daten: "
                                              "#TSE-QR# oder #TSE-Seriennummer#, "
                                              "#TSE-Signatur#")});
    // The button opened the receipt's end editor on till 3.
    QCOMPARE(opened,
             (QStringList{QStringLiteral("TfrmBelegpruefung"), QStringLiteral("TfrmLayBonende")}));
    QCOMPARE(main.workstationNumber(), 3);
}

void TestFiscalCheck::caseChoiceChangesThePreview()
{
    EditorSession<TfrmLayBonende> session(TestInstallation::Options{});
    session.main.setWorkstation(3);
    TfrmLayBonende &editor = session.show(std::make_unique<TfrmLayBonende>());
    auto *cases = session.find<QComboBox>(QStringLiteral("cmbBelegFall"));
    // The demo's lines 12 and 13: the copy and training marks, the failure line.
    auto preview = [&editor](int line) {
        return editor.previewLabel(line)->accessibleName();
    };
    QCOMPARE(session.find<QLineEdit>(QStringLiteral("edtTxtZeile"), 13)->text(),
             QStringLiteral("#TSE-Ausfall#"));
    QCOMPARE(cases->currentText(), QStringLiteral("Normalfall"));
    QCOMPARE(preview(12), QString());
    QCOMPARE(preview(13), QString());
    choose(cases, QStringLiteral("TSE ausgefallen"));
    QCOMPARE(preview(13).trimmed(), QStringLiteral("TSE ausgefallen"));
    QCOMPARE(preview(12), QString());
    QCOMPARE(sampleCaseOf(session.main.engine().document()), SampleCase::Ausfall);
    choose(cases, QStringLiteral("Duplikat"));
    QCOMPARE(preview(12).trimmed(), QStringLiteral("Duplikat"));
    QCOMPARE(preview(13), QString());
    choose(cases, QStringLiteral("Trainingsbeleg"));
    QCOMPARE(preview(12).trimmed(), QStringLiteral("Trainingsbeleg"));
    // Another editor opened now shows the case chosen last.
    session.show(std::make_unique<TfrmLayBonende>());
    QCOMPARE(session.find<QComboBox>(QStringLiteral("cmbBelegFall"))->currentText(),
             QStringLiteral("Trainingsbeleg"));
}

void TestFiscalCheck::saveLeavingOutTheQrCodeWarnsButSaves()
{
    EditorSession<TfrmLayBonende> session(TestInstallation::Options{});
    session.main.setWorkstation(3);
    session.show(std::make_unique<TfrmLayBonende>());
    QLineEdit *qrLine = session.find<QLineEdit>(QStringLiteral("edtTxtZeile"), 19);
    QCOMPARE(qrLine->text(), Qr);
    qrLine->selectAll();
    QTest::keyClick(qrLine, Qt::Key_Delete);
    QTest::keyClick(session.editor.get(), Qt::Key_F5);
    const QList<RecordingPresenter::Shown> &shown = session.installation.messages().shown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().kind, MessageKind::Warning);
    QVERIFY2(shown.first().text.contains(QLatin1String("Rechner 3 Kasse 3, Bon: TSE-Daten: "
                                                       "#TSE-QR# oder")),
             qPrintable(shown.first().text));
    // Saved all the same.
    const QStringList saved =
            *session.installation.list(QStringLiteral("BONENDE"), 3, QStringLiteral("TM-T88"));
    QVERIFY(!saved.contains(Qr));
}

void TestFiscalCheck::countryIsChosenInTheGeneralSettings()
{
    TestInstallation installation;
    FakeMainWindow main(installation);
    TfrmAllgEinstellungen settings;
    settings.setEngine(&main.engine());
    settings.setWorkstation(3);
    settings.show();
    QVERIFY(QTest::qWaitForWindowExposed(&settings));
    auto *country = settings.findChild<QComboBox *>(QStringLiteral("cmbLand"));
    QCOMPARE(country->currentText(), QStringLiteral("Deutschland"));
    choose(country, QStringLiteral("Schweiz"));
    QCOMPARE(installationCountry(installation.host().parameters()), Country::Switzerland);
    // The check follows: the demo's zero receipt names the branch, not the VAT number.
    const QList<FiscalFinding> findings =
            checkFiscalRules(installation.host(), Country::Switzerland);
    QVERIFY(!findings.isEmpty());
    for (const FiscalFinding &f : findings) {
        QCOMPARE(f.documentType, 16);
        QCOMPARE(f.missing, QStringLiteral("MWST-Nummer: #UStID#"));
    }
}

QTEST_MAIN(TestFiscalCheck)
#include "tst_fiscalcheck.moc"
