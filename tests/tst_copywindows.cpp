#include "core/model/hosttables.h"
#include "settings/frmBuchenAlleU.h"
#include "settings/frmCopyOptionsU.h"
#include "tests/support/guisupport.h"

#include <QImage>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

TestInstallation::Options onComputer(int id)
{
    TestInstallation::Options options;
    options.workstationId = id;
    return options;
}

QStringList texts(const QListWidget *list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result << list->item(i)->text();
    return result;
}

QList<int> ticked(const QListWidget *list)
{
    QList<int> rows;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->checkState() == Qt::Checked)
            rows << i;
    }
    return rows;
}

void click(QWidget *window, const char *button)
{
    QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton);
}

// An installation seen from one computer, with the copy window open on it.
struct CopySession
{
    explicit CopySession(int computer)
        : installation(onComputer(computer))
        , main(installation, computer == 90 ? 1 : computer)
    {
    }
    TfrmCopyOptions &open()
    {
        window = std::make_unique<TfrmCopyOptions>();
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("copy window did not become active");
        return *window;
    }
    QListWidget *sources() const { return window->findChild<QListWidget *>("lblRechner"); }
    QListWidget *targets() const { return window->findChild<QListWidget *>("chbRechner"); }

    TestInstallation installation;
    FakeMainWindow main;
    std::unique_ptr<TfrmCopyOptions> window;
};

struct TypesSession
{
    TfrmBuchenAlle &open(int type)
    {
        window = std::make_unique<TfrmBuchenAlle>();
        window->setDocumentType(type);
        window->show();
        return *window;
    }
    QListWidget *list() const { return window->findChild<QListWidget *>("clbBelegtypen"); }

    TestInstallation installation;
    FakeMainWindow main{installation};
    std::unique_ptr<TfrmBuchenAlle> window;
};

} // namespace

class TestCopyWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { KASSOTYP_SKIP_WITHOUT_TEST_STORE(); }
    void copyListsHoldTillsOnlyInTableOrder()
    {
        CopySession s(2);
        s.installation.host().workstations().put({6, 7, "Zentrale 2"});
        s.installation.host().workstations().put({7, 4, "Mobil 2"});
        s.open();
        const QStringList tills{"Rechner 3 Kasse 3", "Rechner 4 Kasse 4",
                                "Rechner 5 Mobile Kasse 5", "Rechner 7 Mobil 2"};
        QCOMPARE(texts(s.sources()), tills);
        QCOMPARE(texts(s.targets()), tills);
    }

    void copyWindowStartsByComputerType_data()
    {
        QTest::addColumn<int>("computer");
        QTest::addColumn<bool>("targetsEnabled");
        QTest::addColumn<QList<int>>("tickedRows");
        QTest::addColumn<int>("message"); // shown by saving at once; 0: the window accepts
        QTest::newRow("till: itself as fixed target, same as first source")
                << 3 << false << QList<int>{0} << 1031;
        QTest::newRow("mobile till (type 4): itself, source differs")
                << 5 << false << QList<int>{2} << 0;
        QTest::newRow("back office: nothing ticked") << 2 << true << QList<int>{} << 1030;
        QTest::newRow("head office: nothing ticked") << 90 << true << QList<int>{} << 1030;
    }

    void copyWindowStartsByComputerType()
    {
        QFETCH(int, computer);
        QFETCH(bool, targetsEnabled);
        QFETCH(QList<int>, tickedRows);
        QFETCH(int, message);
        CopySession s(computer);
        TfrmCopyOptions &w = s.open();
        QCOMPARE(s.targets()->isEnabled(), targetsEnabled);
        QCOMPARE(ticked(s.targets()), tickedRows);
        QCOMPARE(w.sourceWorkstation(), 3);
        QCOMPARE(s.sources()->currentRow(), 0);
        QCOMPARE(s.targets()->currentRow(), 0);

        if (message == 0)
            s.installation.messages().setNextAnswer(Answer::Yes);
        QTest::keyClick(&w, Qt::Key_F5);
        if (message == 0) {
            QCOMPARE(w.result(), int(QDialog::Accepted));
            // Only the question naming the target that is overwritten.
            QCOMPARE(s.installation.messages().count(), 1);
            QVERIFY(s.installation.messages().shown().constFirst().text.contains(
                    QStringLiteral("- Rechner 5 Mobile Kasse 5")));
        } else {
            QVERIFY(s.installation.messages().sawMessage(message));
            QVERIFY(w.isVisible());
        }
    }

    void targetsAreCountedAmongTickedEntries()
    {
        CopySession s(2);
        s.installation.host().workstations().put({7, 3, "Kasse 7"});
        TfrmCopyOptions &w = s.open();
        for (int row : {1, 2, 3}) // workstations 4, 5 and 7
            s.targets()->item(row)->setCheckState(Qt::Checked);
        s.sources()->setCurrentRow(0);
        QCOMPARE(w.targetCount(), 3);
        QCOMPARE(w.GetTarget(0), 4);
        QCOMPARE(w.GetTarget(1), 5);
        QCOMPARE(w.GetTarget(2), 7);
        QCOMPARE(w.GetTarget(3), 0);
        QCOMPARE(w.GetTarget(-1), 0);
        QVERIFY(w.validate());

        s.sources()->setCurrentRow(3); // the source is one of the targets now
        QCOMPARE(w.sourceWorkstation(), 7);
        QVERIFY(!w.validate());
        QVERIFY(s.installation.messages().sawMessage(1031));
    }

    void withoutTillsThereIsNoSource()
    {
        CopySession s(2);
        for (int rnr : {3, 4, 5})
            s.installation.host().workstations().remove(rnr);
        TfrmCopyOptions &w = s.open();
        QCOMPARE(w.sourceWorkstation(), 0);
        QCOMPARE(w.targetCount(), 0);
        click(&w, "btnBuchen");
        QVERIFY(s.installation.messages().sawMessage(1030));
        QVERIFY(w.isVisible());
    }

    void typeChooserNamesTheTypesAndFixesTheCurrentOne()
    {
        TypesSession s;
        TfrmBuchenAlle &w = s.open(4);
        QCOMPARE(s.list()->count(), DocumentTypeCount);
        for (int type = 1; type <= DocumentTypeCount; ++type)
            QCOMPARE(s.list()->item(type - 1)->text(), CBelegName(type));
        QCOMPARE(ticked(s.list()), QList<int>{3});
        QVERIFY(!(s.list()->item(3)->flags() & Qt::ItemIsEnabled));
        QVERIFY(w.result().isEmpty());

        // Two columns: the 13th type heads the second one.
        const QRect first = s.list()->visualItemRect(s.list()->item(0));
        const QRect thirteenth = s.list()->visualItemRect(s.list()->item(12));
        QCOMPARE(thirteenth.top(), first.top());
        QVERIFY(thirteenth.left() >= first.right());
        QVERIFY(s.list()->viewport()->rect().contains(
                s.list()->visualItemRect(s.list()->item(DocumentTypeCount - 1))));
    }

    void typeChooserResult_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QList<int>>("rowsTicked"); // ticked by the test before the clicks
        QTest::addColumn<QList<int>>("result");
        QList<int> all;
        for (int type = 1; type <= DocumentTypeCount; ++type)
            all << type;
        const QList<int> allButFirst = all.mid(1);
        QTest::newRow("nothing else: the current type")
                << QStringList{"btnBuchen"} << QList<int>{} << QList<int>{4};
        QTest::newRow("ascending order")
                << QStringList{"btnBuchen"} << QList<int>{6, 1} << QList<int>{2, 4, 7};
        QTest::newRow("select all")
                << QStringList{"btnSelectAll", "btnBuchen"} << QList<int>{} << all;
        QTest::newRow("switching keeps the current type")
                << QStringList{"btnSwitchSelection", "btnBuchen"} << QList<int>{0} << allButFirst;
        QTest::newRow("switching twice")
                << QStringList{"btnSelectAll", "btnSwitchSelection", "btnBuchen"} << QList<int>{}
                << QList<int>{4};
        QTest::newRow("cancel gives nothing")
                << QStringList{"btnAbbrechen"} << QList<int>{1} << QList<int>{};
    }

    void typeChooserResult()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QList<int>, rowsTicked);
        QFETCH(QList<int>, result);
        TypesSession s;
        TfrmBuchenAlle &w = s.open(4);
        for (int row : rowsTicked)
            s.list()->item(row)->setCheckState(Qt::Checked);
        for (const QString &button : clicks)
            click(&w, qPrintable(button));
        QCOMPARE(w.result(), result);
        QCOMPARE(w.result() == QList<int>{} ? int(QDialog::Rejected) : int(QDialog::Accepted),
                 w.QDialog::result());
    }

    void screenshots()
    {
        {
            CopySession copy(2);
            copy.open();
            copy.targets()->item(1)->setCheckState(Qt::Checked);
            QCOMPARE(QImage(saveScreenshot(copy.window.get(), "copy-options")).size(),
                     copy.window->size() * copy.window->devicePixelRatio());
        }
        TypesSession types;
        types.open(1);
        QCOMPARE(QImage(saveScreenshot(types.window.get(), "save-to-all-types")).size(),
                 types.window->size() * types.window->devicePixelRatio());
    }
};

QTEST_MAIN(TestCopyWindows)
#include "tst_copywindows.moc"
