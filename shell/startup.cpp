#include "shell/startup.h"

#include "core/app/host.h"
#include "core/base/config.h"
#include "core/store/store.h"
#include "placeholders/Platzhalter.h"
#include "shell/kassotypu.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QIconEngine>
#include <QImageReader>
#include <QLibraryInfo>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QTranslator>

#include <fontconfig/fontconfig.h>
#ifdef Q_OS_LINUX
#include <pthread.h>
#include <sched.h>
#endif

namespace {

// The program's icon, read from the resources when a window system first asks for a picture of
// it. QIcon(file) reads it at once and lets every picture plug-in look at it first, which cost
// a start a tenth of its time; the offscreen platform never asks.
class ResourceIconEngine final : public QIconEngine
{
public:
    explicit ResourceIconEngine(QString path)
        : m_path(std::move(path))
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode, QIcon::State) override
    {
        painter->drawImage(rect, image());
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const QImage &full = image();
        return QPixmap::fromImage(full.size() == size ? full
                                                      : full.scaled(size, Qt::KeepAspectRatio,
                                                                    Qt::SmoothTransformation));
    }
    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        return fullSize().scaled(size, Qt::KeepAspectRatio).boundedTo(fullSize());
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {fullSize()}; }
    bool isNull() override { return fullSize().isEmpty(); }
    QString key() const override { return QStringLiteral("kassotyp-resource"); }
    QIconEngine *clone() const override { return new ResourceIconEngine(m_path); }

private:
    // The file is ours and a PNG: no plug-in is asked what it is.
    QSize fullSize()
    {
        if (!m_size.isValid()) {
            QImageReader reader(m_path, "png");
            reader.setAutoDetectImageFormat(false);
            m_size = reader.size();
        }
        return m_size;
    }
    const QImage &image()
    {
        if (m_image.isNull()) {
            QImageReader reader(m_path, "png");
            reader.setAutoDetectImageFormat(false);
            m_image = reader.read();
        }
        return m_image;
    }

    QString m_path;
    QSize m_size;
    QImage m_image;
};

} // namespace

std::unique_ptr<TfrmKassotypHaupt> startKassotyp(Host &host, const ComputerConfig &config)
{
    std::unique_ptr<TfrmKassotypHaupt> mainWindow;
    OVOInfo &info = host.info();
    try {
        host.program().Init(QStringLiteral("Kassotyp"), 3, 0, 0, 0, true);
        QCoreApplication::setApplicationName(QStringLiteral("Kassotyp"));
        // The icon travels inside the program, so the windows have it even where the
        // desktop does not look up kassotyp.desktop (for the task bar, Wayland does).
        QGuiApplication::setWindowIcon(
                QIcon(new ResourceIconEngine(QStringLiteral(":/kassotyp/kassotyp.png"))));
        QGuiApplication::setDesktopFileName(QStringLiteral("kassotyp"));
        mainWindow = std::make_unique<TfrmKassotypHaupt>(host, config.positional);
        info.FehlerRaise(QStringLiteral("kassotyp"), 0, QString(), QString(), 0, 0);
        mainWindow->setPlaceholderPicker(std::make_unique<TfrmPlatzhalter>());
        info.FehlerRaise(QStringLiteral("kassotyp"), 0, QString(), QString(), 0, 0);
    } catch (const std::exception &e) {
        host.program().ShowException(e);
    }
    for (const QString &problem : config.usageErrors + config.problems)
        info.ShowText(MessageKind::Warning, problem);
    // The check of a large file may still run: its damage is then reported by the first
    // attempt to save.
    if (!host.store().knownDamage().isEmpty())
        info.ShowText(MessageKind::Error, host.store().knownDamage());
    else if (host.store().isReadOnly())
        info.ShowMeldung(1037, KassotypProgramKey, {host.store().location().displayName()});
    return mainWindow;
}

void checkStoreFileInBackground(Store &store, OVOInfo &info, QObject *context)
{
    if (!store.knownDamage().isEmpty())
        return;
    store.beginFileCheck();
    auto *poll = new QTimer(context);
    poll->setInterval(100);
    QObject::connect(poll, &QTimer::timeout, context, [&store, &info, poll] {
        if (store.fileCheckPending())
            return;
        poll->deleteLater();
        if (const QString &damage = store.damage(); !damage.isEmpty())
            info.ShowText(MessageKind::Error, damage);
    });
    poll->start();
}

FontConfigWarmUp::FontConfigWarmUp()
    : m_reader([] { FcInit(); })
{
#ifdef Q_OS_LINUX
    // Linux starts a new thread on its parent's processor, where the two then take turns for
    // milliseconds instead of running side by side: the reader goes to the other processors.
    cpu_set_t others;
    const int here = sched_getcpu();
    if (here >= 0 && sched_getaffinity(0, sizeof(others), &others) == 0 && CPU_ISSET(here, &others)
        && CPU_COUNT(&others) > 1) {
        CPU_CLR(here, &others);
        pthread_setaffinity_np(m_reader.native_handle(), sizeof(others), &others);
    }
#endif
}

FontConfigWarmUp::~FontConfigWarmUp()
{
    finish();
}

void FontConfigWarmUp::finish()
{
    if (m_reader.joinable())
        m_reader.join();
}

bool mayCreateStore(const ComputerConfig &config, MessagePresenter &presenter)
{
    const StoreLocation location = StoreLocation::parse(config.storeLocation);
    if (!location.isSqlite() || QFileInfo::exists(location.databaseName))
        return true;
    if (QFileInfo(location.databaseName).absoluteFilePath()
        == QFileInfo(ComputerConfig::defaultStorePath()).absoluteFilePath())
        return true;
    const QString question =
            QCoreApplication::translate(
                    "Kassotyp", "Den Datenspeicher %1 gibt es nicht.\n\nSoll dort ein neuer "
                                "Datenspeicher mit der Demo-Installation angelegt werden?")
                    .arg(location.displayName());
    return presenter.present(MessageKind::Question, QStringLiteral("Kassotyp"), question)
           == Answer::Yes;
}

bool installGermanQtTranslations()
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

QString missingDisplayProblem(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return {};
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]).startsWith("-platform"))
            return {};
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return QStringLiteral(
                "Kassotyp: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                "Start it from a desktop session, or choose a Qt platform, for example\n"
                "  QT_QPA_PLATFORM=vnc:port=5900 kassotyp   (then connect a VNC viewer to "
                "port 5900)");
    return {};
}

QString commandLineHelp()
{
    return QStringLiteral(
                   "Aufruf: kassotyp [K|S] [Optionen]\n"
                   "\n"
                   "Layoutgestaltung des Kassotyps: Kopf, Positionen, Summen, Ende, Logos und "
                   "Texte der Belege,\n"
                   "die die Kassen drucken, je Rechner und Drucker, mit Vorschau und Testdruck; "
                   "dazu die\n"
                   "Einstellungen von Drucker, Schublade, Kundenanzeige und Papierbreite.\n"
                   "\n"
                   "Startmodus (das erste Argument, das nicht mit \"--\" beginnt):\n"
                   "  K   normaler Start (Standard). Haupt- und Büro-PCs wählen jeden Rechner der "
                   "Installation,\n"
                   "      eine Kasse bearbeitet nur ihre eigenen Layouts.\n"
                   "  S   Systemmodus: die Rechnerliste beginnt mit dem Vorlagerechner 0 und ist "
                   "auf jedem\n"
                   "      Rechner wählbar; die Allgemeinen Einstellungen fragen keine Rechte ab "
                   "(außer beim\n"
                   "      Schubladentest).\n"
                   "\n"
                   "Programmoptionen:\n"
                   "  --help, -h              diese Hilfe\n"
                   "  --version               Version\n"
                   "  -platform NAME          Qt-Plattform, z. B. -platform vnc:port=5900 auf "
                   "einem Rechner\n"
                   "                          ohne Bildschirm (dann mit einem VNC-Betrachter "
                   "verbinden)\n"
                   "\n")
           + ComputerConfig::optionsHelp();
}
