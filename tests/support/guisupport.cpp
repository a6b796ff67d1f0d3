#include "tests/support/guisupport.h"

#include "core/model/hosttables.h"
#include "core/model/sampledocument.h"
#include "core/model/textfunctions.h"
#include "widgets/controlvalues.h"

#include <QComboBox>
#include <QDir>

FakeMainWindow::FakeMainWindow(TestInstallation &installation, int rnr, int startMode)
    : m_installation(installation)
    , m_rnr(rnr)
    , m_startMode(startMode)
{
    MainWindowContext::setInstance(this);
    m_engine = std::make_unique<TBonPrinter>(installation.host(), CAlleBonArten(), -1);
    // The same sample document the main window writes into its engine at start-up.
    Host &host = installation.host();
    const double factor = host.currency().Umrechnen(1.0, host.program().GetWaehrung2(),
                                                    host.program().GetWaehrung());
    m_engine->setDocument(sampleDocument(factor, host.program().GetWaehrung(),
                                         host.program().GetWaehrung2(), ovo_Now()));
    setWorkstation(rnr);
}

FakeMainWindow::~FakeMainWindow()
{
    if (MainWindowContext::instance() == this)
        MainWindowContext::setInstance(nullptr);
}

void FakeMainWindow::setWorkstation(int rnr)
{
    m_rnr = rnr;
    m_engine->setWorkstation(rnr);
    m_engine->Refresh();
}

void FakeMainWindow::selectByText(QComboBox *combo, const QString &text)
{
    ControlValues::setComboText(combo, text);
}

QString saveScreenshot(QWidget *widget, const QString &name, const QRect &area)
{
    const QString folder = QStringLiteral(KASSOTYP_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    const QString file = folder + u'/' + name + QStringLiteral(".png");
    widget->grab(area.isNull() ? QRect(QPoint(0, 0), QSize(-1, -1)) : area).save(file);
    return file;
}
