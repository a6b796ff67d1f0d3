#include "settings/allgeinstellungenfrm.h"

#include "core/app/host.h"
#include "core/app/workstationsetup.h"
#include "core/engine/bonprinter.h"
#include "core/engine/fiscalcheck.h"
#include "core/model/hosttables.h"
#include "core/model/textfunctions.h"
#include "core/output/printoutput.h"
#include "core/store/layoutstore.h"
#include "core/store/workstationtable.h"
#include "settings/SeiteEinr.h"
#include "settings/allgtreiber.h"
#include "settings/frmCopyOptionsU.h"
#include "settings/frmsettingsu.h"
#include "settings/workstationheadline.h"
#include "widgets/buttonmenu.h"
#include "widgets/mainwindowcontext.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

namespace {

constexpr int RightsGroup = 69;
// Below this many records a setup is over before a progress dialog could be read.
constexpr int ProgressThreshold = 50;

} // namespace

struct TfrmAllgEinstellungen::MenuButton
{
    const char *name;
    const char *caption;
    bool tillOnly; // tests a device that only tills have
    void (TfrmAllgEinstellungen::*action)();
};

const QList<TfrmAllgEinstellungen::MenuButton> &TfrmAllgEinstellungen::menuButtons()
{
    using W = TfrmAllgEinstellungen;
    static const QList<MenuButton> list = {
            {"btnLokaleEinstellungen", QT_TR_NOOP("Lokale Einstellungen"), false,
             &W::openLocalSettings},
            {"btnDruckerKassenladeKundeanzeige", QT_TR_NOOP("Drucker, Kassenlade, Kundenanzeige"),
             false, &W::openDriverSettings},
            {"btnDruckerPapierbreiteRaender", QT_TR_NOOP("Drucker Papierbreite/Ränder"), false,
             &W::openPaperWidth},
            {"btnDruckerAutomatischEinstellen", QT_TR_NOOP("Drucker Automatisch Einstellen"), false,
             &W::automaticSetup},
            {"btnDruckerVorgabeEinstellen", QT_TR_NOOP("Drucker Vorgabe Einstellen"), false,
             &W::defaultSetup},
            {"btnDruckerEinstellungenaufandereRechnerkopieren",
             QT_TR_NOOP("Drucker Einstellungen auf andere Rechner kopieren"), false,
             &W::copySettings},
            {"btnTestKassenlade", QT_TR_NOOP("Test Kassenlade"), true, &W::testDrawer},
            {"btnTestKundenanzeige", QT_TR_NOOP("Test Kundenanzeige"), true, &W::testDisplay},
    };
    return list;
}

QStringList TfrmAllgEinstellungen::buttonNames()
{
    QStringList names;
    for (const MenuButton &b : menuButtons())
        names << QString::fromLatin1(b.name);
    return names;
}

TfrmAllgEinstellungen::TfrmAllgEinstellungen(QWidget *parent)
    : TOVOForm(parent)
{
    OVOFormInit(QStringLiteral("frmAllgEinstellungen"), true);
    m_engine = nullptr;
    m_startMode = 0;
    buildWindow();
}

TfrmAllgEinstellungen::~TfrmAllgEinstellungen() = default;

void TfrmAllgEinstellungen::buildWindow()
{
    setWindowTitle(tr("Allgemeine Einstellungen"));
    setModal(false);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);

    m_menu = new TButtonMenu(this);
    m_menu->setObjectName(QStringLiteral("btnMenu"));
    m_menu->setMinimumWidth(340);
    connect(m_menu, &TButtonMenu::btnClick, this, [this](int index) {
        const int tag = m_menu->entry(index).tag;
        btnMenuClick(buttonNames().value(tag - 1));
    });

    auto *close = new QPushButton(tr("Schließen"), this);
    close->setObjectName(QStringLiteral("stbSchliessen"));
    close->setToolTip(tr("Fenster schließen (Esc)"));
    close->setAutoDefault(false);
    connectGuarded(close, &QPushButton::clicked, "stbSchliessenClick",
                   &TfrmAllgEinstellungen::stbSchliessenClick);

    // The title bar of this narrow window would cut a title that named the workstation.
    m_headline = createHeadline();
    m_headline->setWordWrap(true);
    m_headline->setMaximumWidth(m_menu->minimumWidth());
    // The country of the whole installation: what its receipts must carry.
    m_country = new QComboBox(this);
    m_country->setObjectName(QStringLiteral("cmbLand"));
    m_country->setToolTip(tr("Land der Installation: bestimmt, was die Belegprüfung auf Belegen "
                             "an Kunden verlangt (TSE-Daten, RKSV-Code oder MWST-Nummer)"));
    for (Country c : countries())
        m_country->addItem(countryName(c), countryCode(c));
    auto *countryLabel = new QLabel(tr("&Land der Installation:"), this);
    countryLabel->setBuddy(m_country);
    auto *countryRow = new QHBoxLayout;
    countryRow->addWidget(countryLabel);
    countryRow->addWidget(m_country, 1);
    connectGuarded(m_country, &QComboBox::activated, "cmbLandChange",
                   &TfrmAllgEinstellungen::cmbLandChange);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_headline);
    layout->addWidget(m_menu);
    layout->addLayout(countryRow);
    layout->addStretch();
    layout->addWidget(close, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    rebuildMenu();
}

void TfrmAllgEinstellungen::cmbLandChange()
{
    const std::optional<Country> country = countryNamed(m_country->currentData().toString());
    if (country && *country != installationCountry(host().parameters()))
        setInstallationCountry(host().parameters(), *country);
}

void TfrmAllgEinstellungen::showCountry()
{
    const Country country = installationCountry(host().parameters());
    m_country->setCurrentIndex(m_country->findData(countryCode(country)));
}

void TfrmAllgEinstellungen::rebuildMenu()
{
    m_menu->clear();
    m_menu->addHead(tr("Allgemeine Einstellungen"));
    int tag = 0;
    for (const MenuButton &b : menuButtons())
        m_menu->addEntry(tr(b.caption), ++tag, true);
}

int TfrmAllgEinstellungen::menuIndex(const QString &buttonName) const
{
    const qsizetype position = buttonNames().indexOf(buttonName);
    return position < 0 ? -1 : m_menu->indexOfTag(int(position) + 1);
}

bool TfrmAllgEinstellungen::isButtonEnabled(const QString &buttonName) const
{
    const int index = menuIndex(buttonName);
    return index >= 0 && m_menu->entry(index).enabled;
}

void TfrmAllgEinstellungen::enableButtons()
{
    const int type = host().workstations().GetRNrUmfang(m_rnr).RTyp;
    const QList<MenuButton> &buttons = menuButtons();
    for (int i = 0; i < buttons.size(); ++i)
        m_menu->setEntryEnabled(m_menu->indexOfTag(i + 1),
                                !buttons[i].tillOnly || isTillType(type));
}

void TfrmAllgEinstellungen::setWorkstation(int rnr)
{
    m_rnr = rnr;
    guard(QStringLiteral("SetRNr"), [this] {
        m_headline->setText(workstationHeadline(m_rnr, m_engine));
        enableButtons();
    });
}

void TfrmAllgEinstellungen::showNonModal()
{
    show();
    raise();
    activateWindow();
}

void TfrmAllgEinstellungen::showEvent(QShowEvent *event)
{
    TOVOForm::showEvent(event);
    m_closed = false;
    guard(QStringLiteral("FormShow"), [this] {
        m_headline->setText(workstationHeadline(m_rnr, m_engine));
        rebuildMenu();
        enableButtons();
        showCountry();
    });
}

void TfrmAllgEinstellungen::reject()
{
    // Esc, the close button and the frame all end here: the window is hidden, not freed, and
    // stays hidden when the main window changes the workstation.
    m_closed = true;
    hide();
    setResult(QDialog::Rejected);
}

void TfrmAllgEinstellungen::stbSchliessenClick()
{
    reject();
}

void TfrmAllgEinstellungen::btnMenuClick(const QString &buttonName)
{
    guard(buttonName + QStringLiteral("Click"), [&] {
        for (const MenuButton &b : menuButtons()) {
            if (QLatin1String(b.name) == buttonName && isButtonEnabled(buttonName)) {
                (this->*b.action)();
                return;
            }
        }
    });
}

Host &TfrmAllgEinstellungen::host() const
{
    return frmKassotypHaupt().host();
}

TBonPrinter &TfrmAllgEinstellungen::engine() const
{
    if (!m_engine)
        throw std::runtime_error(tr("Das Druckmodul ist nicht verfügbar.").toStdString());
    return *m_engine;
}

bool TfrmAllgEinstellungen::hasRight(int function) const
{
    return host().rights().UserRechtePruefen({RightsGroup, quint16(function)}, QString(), 1, false,
                                             0);
}

bool TfrmAllgEinstellungen::rightUnlessSystemMode(int function) const
{
    return m_startMode == 2 || hasRight(function);
}

void TfrmAllgEinstellungen::refreshEngine()
{
    TBonPrinter &printer = engine();
    printer.Refresh();
    m_headline->setText(workstationHeadline(m_rnr, m_engine));
    OVOInfo &info = host().info();
    const int error = info.ErrorNumber();
    if ((error >= 1001 && error <= 1023) || error == 1026)
        info.ResetErrorSpez(error, KassotypProgramKey);
}

void TfrmAllgEinstellungen::openLocalSettings()
{
    TfrmSettings settings(this);
    settings.exec();
}

void TfrmAllgEinstellungen::openDriverSettings()
{
    int result = QDialog::Rejected;
    if (rightUnlessSystemMode(91)) {
        TfrmAllgTreiber driver(this);
        result = driver.exec();
    }
    if (result != QDialog::Accepted)
        return;
    // The driver window may have chosen another printer: set up for the one now in use.
    refreshEngine();
    const QString printerKey = engine().Kasso_Typ_Get_LayoutPrinterKey();
    if (printerKey == DummyPrinterKey || !rightUnlessSystemMode(70) || m_rnr == 0)
        return;
    // Many records written as a side effect of saving a printer would come unannounced: the
    // user is asked first, and only when something is missing.
    const int missing = missingFromTemplate(host(), m_rnr, printerKey);
    if (missing == 0)
        return;
    const QString workstation = RVRTab::displayName(host().workstations().GetRNrUmfang(m_rnr));
    const QString what = missing == 1 ? tr("fehlt 1 Layoutsatz. Soll er")
                                      : tr("fehlen %1 Layoutsätze. Sollen sie").arg(missing);
    const QString question =
            tr("Die Druckereinstellungen sind gebucht.\n\nFür %1 und den Drucker %2 %3 jetzt "
               "aus der Vorlage (Rechner 0) angelegt werden? Vorhandene Layouts bleiben, wie sie "
               "sind.\n\nDas geht auch später mit „Drucker Automatisch Einstellen“.")
                    .arg(workstation, printerKey, what);
    if (host().info().ShowText(MessageKind::Question, question) == Answer::Yes)
        SaetzeAnlegen(SetupAutomatic);
}

void TfrmAllgEinstellungen::openPaperWidth()
{
    TfrmBreiteRaender paper(this);
    paper.exec();
}

void TfrmAllgEinstellungen::automaticSetup()
{
    if (!rightUnlessSystemMode(70) || m_rnr == 0)
        return;
    SaetzeAnlegen(SetupAutomatic);
}

void TfrmAllgEinstellungen::defaultSetup()
{
    if (!rightUnlessSystemMode(71))
        return;
    if (host().info().ShowMeldung(1024, KassotypProgramKey) != Answer::Yes)
        return;
    if (m_rnr == 0)
        return;
    SaetzeAnlegen(SetupDefault);
}

void TfrmAllgEinstellungen::SaetzeAnlegen(int mode)
{
    const QString printerKey = engine().Kasso_Typ_Get_LayoutPrinterKey();
    OVOInfo &info = host().info();
    if (printerKey.isEmpty() && (mode == SetupDefault || mode == SetupAutomatic)) {
        info.ShowText(MessageKind::Warning,
                      tr("Für Rechner %1 ist kein Drucker eingerichtet; es wurden keine "
                         "Layoutsätze angelegt.")
                              .arg(m_rnr));
        return;
    }

    std::unique_ptr<QProgressDialog> dialog;
    const auto progress = [&](int done, int total) {
        if (total <= ProgressThreshold)
            return true;
        if (!dialog) {
            dialog = std::make_unique<QProgressDialog>(tr("Layoutsätze werden angelegt ..."),
                                                       tr("Abbrechen"), 0, total, this);
            dialog->setObjectName(QStringLiteral("dlgFortschritt"));
            dialog->setWindowTitle(windowTitle());
            dialog->setWindowModality(Qt::WindowModal);
            dialog->setMinimumDuration(0);
        }
        // A cancel is looked for before the value is set: reaching the end resets the dialog and
        // forgets it, and the store copies the template in one step from start to end.
        QCoreApplication::processEvents();
        if (dialog->wasCanceled())
            return false;
        dialog->setValue(done);
        return true;
    };

    int written = 0;
    try {
        written = ::SaetzeAnlegen(host(), m_rnr, printerKey, mode, progress);
    } catch (const OperationCancelled &) {
        dialog.reset();
        info.ShowMeldung(1027, KassotypProgramKey);
        return;
    }
    dialog.reset();
    refreshEngine();
    const QString text =
            written == 1 ? tr("Für Rechner %1 und den Drucker %2 wurde 1 Layoutsatz angelegt.")
                                   .arg(m_rnr)
                                   .arg(printerKey)
                         : tr("Für Rechner %1 und den Drucker %2 wurden %3 Layoutsätze angelegt.")
                                   .arg(m_rnr)
                                   .arg(printerKey)
                                   .arg(written);
    info.ShowText(MessageKind::Information, text);
}

void TfrmAllgEinstellungen::copySettings()
{
    TfrmCopyOptions options(this);
    if (options.exec() != QDialog::Accepted)
        return;
    QList<int> targets;
    for (int i = 0; i < options.targetCount(); ++i)
        targets << options.GetTarget(i);
    Copy_Rechner_Einstellungen(host(), options.sourceWorkstation(), targets, false);
    if (m_engine && targets.contains(m_engine->workstation()))
        refreshEngine();
    host().info().ShowMeldung(1032, KassotypProgramKey);
}

OutputResult TfrmAllgEinstellungen::deviceTest(const QString &device,
                                               const std::function<OutputResult()> &test)
{
    return host().audit().trackOutput({AuditAction::DeviceTest, m_rnr, device}, test);
}

void TfrmAllgEinstellungen::reportDevice(const OutputResult &result, int errorNumber)
{
    OVOInfo &info = host().info();
    if (!result.ok) {
        info.ShowMeldung(errorNumber, KassotypProgramKey, {result.error});
        info.ResetErrorSpez(errorNumber, KassotypProgramKey);
    } else if (!result.warning.isEmpty()) {
        info.ShowText(MessageKind::Warning, result.warning);
    }
}

void TfrmAllgEinstellungen::testDrawer()
{
    if (!hasRight(73))
        return;
    reportDevice(deviceTest(tr("Kassenlade"), [this] { return engine().KT_DrawerOpen(); }), 1010);
}

void TfrmAllgEinstellungen::testDisplay()
{
    TBonPrinter &printer = engine();
    const OutputResult result = deviceTest(tr("Kundenanzeige"), [&] {
        printer.KD_Init();
        OutputResult shown = printer.KD_Clear();
        if (shown.ok)
            shown = printer.KD_Print(tr("Datum:   ") + ovo_DateToStr(ovo_Date()),
                                     tr("Uhrzeit: ") + ovo_TimeToStr(QTime::currentTime()));
        printer.KD_Done();
        return shown;
    });
    reportDevice(result, 1011);
}
