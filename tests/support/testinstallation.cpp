#include "tests/support/testinstallation.h"

#include "core/format/deviceformats.h"
#include "core/format/devicepresets.h"
#include "core/sections/bonkopfformat.h"
#include "core/sections/demoshop.h"
#include "core/store/settingslistcodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThreadPool>

namespace {

// Qt's picture conversions run on its global thread pool, whose idle threads wait half a minute
// and end only as the program exits, while LeakSanitizer stops every thread to look for leaks;
// a thread ending just then now and then crashes the sanitizer's tracer. In the tests idle
// threads end at once.
void endIdlePoolThreadsAtOnce()
{
    QThreadPool::globalInstance()->setExpiryTimeout(0);
}
Q_COREAPP_STARTUP_FUNCTION(endIdlePoolThreadsAtOnce)

} // namespace

Answer RecordingPresenter::present(MessageKind kind, const QString &title, const QString &text)
{
    m_shown.append({kind, title, text});
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return kind == MessageKind::Question ? Answer::No : Answer::Ok;
}

QString RecordingPresenter::chooseOpenFile(const QString &, const QString &)
{
    return m_files.isEmpty() ? QString() : m_files.takeFirst();
}

bool RecordingPresenter::sawMessage(int number) const
{
    const QString tag = QStringLiteral("(KASSOTYP %1)").arg(number);
    for (const Shown &s : m_shown) {
        if (s.text.contains(tag))
            return true;
    }
    return false;
}

TestInstallation::TestInstallation()
    : TestInstallation(Options{})
{
}

TestInstallation::TestInstallation(const Options &options)
    : m_storeLocation(TestStore::freshLocation(storePath()))
{
    // The computer's INI file, empty until a window writes to it.
    QFile(path(QStringLiteral("kassotyp.ini"))).open(QIODevice::WriteOnly | QIODevice::Append);
    QStringList args = {QStringLiteral("--config=") + path(QStringLiteral("kassotyp.ini")),
                        QStringLiteral("--store=") + m_storeLocation,
                        QStringLiteral("--log=") + path(QStringLiteral("kassotyp.log")),
                        QStringLiteral("--spool=") + path(QStringLiteral("spool")),
                        QStringLiteral("--user=") + options.userName,
                        QStringLiteral("--workstation=") + QString::number(options.workstationId)};
    args += options.positional;
    m_config = ComputerConfig::load(args);
    m_host = Host::open(m_config);
    m_host->info().setPresenter(&m_messages);
    m_host->program().setTerminateHandler([] {});
    if (!options.demoShop)
        removeDemoShop();
}

TestInstallation::~TestInstallation() = default;

std::unique_ptr<Host> TestInstallation::openSecondHost() const
{
    return Host::open(m_config);
}

void TestInstallation::putList(const QString &kennung, int rnr, const QString &printerKey,
                               const QStringList &entries)
{
    putBlob(kennung, rnr, printerKey, SettingsListCodec::encodeUtf8(entries));
}

void TestInstallation::putBlob(const QString &kennung, int rnr, const QString &printerKey,
                               const QByteArray &blob)
{
    m_host->layouts().upsert({kennung, rnr, printerKey}, blob);
}

std::optional<QStringList> TestInstallation::list(const QString &kennung, int rnr,
                                                  const QString &printerKey)
{
    return m_host->layouts().readList({kennung, rnr, printerKey});
}

void TestInstallation::removeDemoShop()
{
    LayoutStore &layouts = m_host->layouts();
    const QString graphic = demoPrinters().constFirst().key;
    const QStringList devices = {PrinterRecordKennung, QStringLiteral("SEITEEIN"),
                                 QStringLiteral("DISPLAY")};
    for (const LayoutRecord &r : layouts.keys({})) {
        const bool templateDevice =
                r.key.rnr == 0 && devices.contains(r.key.kennung)
                && (r.key.printerKey == graphic || r.key.printerKey == ActivePrinterKey
                    || r.key.printerKey == QLatin1String("DISPLAY"));
        if (!templateDevice)
            layouts.remove(r.key);
    }
    for (const QString &header : demoShopLogoSections())
        m_host->logos().remove({KassotypProgramKey, header, CurrentLogoName, 0});
}

void TestInstallation::givePrinter(int rnr, const QString &preset)
{
    putList(QStringLiteral("AKTBONDR"), rnr, QStringLiteral("AKTIV"),
            printerRecordFromPreset(preset));
}
