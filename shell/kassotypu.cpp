#include "shell/kassotypu.h"

#include "shell/belegpruefung.h"

#include "core/app/host.h"
#include "core/engine/bonprinter.h"
#include "core/engine/testprints.h"
#include "core/model/hosttables.h"
#include "core/model/printjob.h"
#include "core/model/sampledocument.h"
#include "core/model/textfunctions.h"
#include "core/sections/sectiondispatch.h"
#include "core/sections/sectionregistry.h"
#include "core/store/templatediff.h"
#include "editors/LayBonueber.h"
#include "editors/layEASYU.h"
#include "placeholders/Platzhalter.h"
#include "settings/SeiteEinr.h"
#include "settings/allgeinstellungenfrm.h"
#include "shell/testdruckanzeige.h"
#include "widgets/controlvalues.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int ClientWidth = 604;
constexpr int ClientHeight = 562;
constexpr int MinHeight = 600 - 38; // the frame's title bar is not part of the client area
constexpr int MaxHeight = 850 - 38;
constexpr int MenuMargin = 8;
constexpr int MenuColumnWidth = 286;
constexpr int TypeRole = Qt::UserRole + 1; // the workstation type of a list entry

bool isEngineError(int number, bool includeSetupQuestions)
{
    if (number < 1001 || number > 1026)
        return false;
    return includeSetupQuestions || (number != 1024 && number != 1025);
}

} // namespace

TfrmKassotypHaupt::TfrmKassotypHaupt(Host &host, const QStringList &startArguments, QWidget *parent)
    : TOVOForm(parent)
    , m_host(host)
    , m_kastFile(host.store())
{
    MainWindowContext::setInstance(this);
    OVOFormInit(QStringLiteral("frmKassotypHaupt"), true);
    buildWindow();
    registerBuiltInEditors(m_editors);
    setSettingsWindowFactory([] { return std::make_unique<TfrmAllgEinstellungen>(); });
    // A test print is shown as a picture as well: the user may not be standing at the printer.
    m_testPrint = [this](int type) {
        const AuditEvent event{AuditAction::TestPrint, m_rnr, CBelegName(type)};
        const OutputResult output = m_host.audit().trackOutput(event, [this, type] {
            runTestPrint(engine(), type);
            return engine().lastOutput();
        });
        // A test print that went nowhere must not look printed: its error instead of a picture.
        if (!output.ok) {
            m_host.info().ResetErrorSpez(1009);
            m_host.info().ShowMeldung(1009, KassotypProgramKey,
                                      {output.error.isEmpty() ? tr("Es ist kein Ausgabeziel "
                                                                   "eingerichtet.")
                                                              : output.error});
            return;
        }
        TfrmTestdruckAnzeige viewer(CBelegName(type), engine().lastPrintPicture(), output, this);
        if (onEditorOpened)
            onEditorOpened(&viewer);
        viewer.exec();
    };

    // Parameter 1 chooses the start mode: "K" normal, "S" system mode; anything else normal.
    m_startMode = 1;
    if (!startArguments.isEmpty()) {
        if (startArguments.first() == QLatin1String("K"))
            m_startMode = 1;
        else if (startArguments.first() == QLatin1String("S"))
            m_startMode = 2;
    }

    m_kastFile.OpenNew(-1);

    guard(QStringLiteral("FormCreate"),
          [this] { m_engine = std::make_unique<TBonPrinter>(m_host, CAlleBonArten(), -1); });
    OVOInfo &info = m_host.info();
    if (isEngineError(info.ErrorNumber(), true))
        info.ResetErrorSpez(info.ErrorNumber(), KassotypProgramKey);

    guard(QStringLiteral("FormCreate"), [this] {
        // One unit of currency 2 in currency 1: amounts of the sample document in currency 2
        // are the currency-1 amounts divided by this factor.
        OVOProgramm &program = m_host.program();
        m_exchangeFactor =
                m_host.currency().Umrechnen(1.0, program.GetWaehrung2(), program.GetWaehrung());
    });

    guard(QStringLiteral("FormCreate"), [this] {
        fillWorkstationList();
        applyWorkstation();
    });

    guard(QStringLiteral("FormCreate"), [this] {
        const OVOProgramm &program = m_host.program();
        engine().setDocument(sampleDocument(m_exchangeFactor, program.GetWaehrung(),
                                            program.GetWaehrung2(), ovo_Now()));
    });
}

TfrmKassotypHaupt::~TfrmKassotypHaupt()
{
    guard(
            QStringLiteral("FormDestroy"), [this] { m_cardEditor.reset(); }, false);
    // Each step on its own, so that a failure in one does not skip the others.
    guard(
            QStringLiteral("FormDestroy"), [this] { m_settingsWindow.reset(); }, false);
    guard(
            QStringLiteral("FormDestroy"), [this] { m_picker.reset(); }, false);
    guard(
            QStringLiteral("FormDestroy"), [this] { m_paperWidthWindow.reset(); }, false);
    guard(
            QStringLiteral("FormDestroy"), [this] { m_kastFile.Close(); }, false);
    guard(
            QStringLiteral("FormDestroy"), [this] { m_engine.reset(); }, false);
    m_host.info().FehlerTerminate(location(QStringLiteral("FormDestroy")));
    if (MainWindowContext::instance() == this)
        MainWindowContext::setInstance(nullptr);
}

TBonPrinter &TfrmKassotypHaupt::engine()
{
    if (!m_engine)
        throw std::runtime_error("Das Druckmodul konnte nicht angelegt werden.");
    return *m_engine;
}

void TfrmKassotypHaupt::buildWindow()
{
    setWindowTitle(tr("Layoutgestaltung des Kassotyps"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedWidth(ClientWidth);
    setMinimumHeight(MinHeight);
    setMaximumHeight(MaxHeight);
    resize(ClientWidth, ClientHeight);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *pnlKopf = new QFrame(this);
    pnlKopf->setObjectName(QStringLiteral("pnlKopf"));
    pnlKopf->setFrameShape(QFrame::StyledPanel);
    auto *kopfZeilen = new QVBoxLayout(pnlKopf);
    auto *kopf = new QHBoxLayout;
    kopfZeilen->addLayout(kopf);
    m_lblRechner = new QLabel(tr("      Layout-Einstellungen für Rechnernummer:"), pnlKopf);
    m_lblRechner->setObjectName(QStringLiteral("lblRechner"));
    QFont bold = m_lblRechner->font();
    bold.setBold(true);
    m_lblRechner->setFont(bold);
    m_cmbRechner = new QComboBox(pnlKopf);
    m_cmbRechner->setObjectName(QStringLiteral("cmbRechner"));
    m_cmbRechner->setToolTip(tr("wählen Sie den Haupt-PC oder eine Kasse aus"));
    m_cmbRechner->setMinimumWidth(200);
    // As wide as the longest name of a kind with a five-digit number: a chain's thousands of
    // workstations are not measured one by one whenever the window is laid out.
    m_cmbRechner->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cmbRechner->setMinimumContentsLength(int(QStringLiteral("Backoffice-PC 99999").size()));
    m_lblRechner->setBuddy(m_cmbRechner);
    kopf->addWidget(m_lblRechner);
    kopf->addWidget(m_cmbRechner);
    m_lblVorlage = new QLabel(pnlKopf);
    m_lblVorlage->setObjectName(QStringLiteral("lblVorlage"));
    m_lblVorlage->setWordWrap(true);
    m_lblVorlage->setAlignment(Qt::AlignHCenter);
    // A line of its own below the choice: the names of the sections need the window's width.
    kopfZeilen->addWidget(m_lblVorlage);
    layout->addWidget(pnlKopf);

    m_pnlMenu = new QWidget(this);
    m_pnlMenu->setObjectName(QStringLiteral("pnlMenu"));
    m_scbMenuLinks = new QScrollArea(m_pnlMenu);
    m_scbMenuLinks->setObjectName(QStringLiteral("scbMenuLinks"));
    m_scbMenuLinks->setFrameShape(QFrame::NoFrame);
    m_scbMenuLinks->setWidgetResizable(true);
    m_scbMenuLinks->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_btnMenuLinks = new TButtonMenu;
    m_btnMenuLinks->setObjectName(QStringLiteral("btnMenuLinks"));
    m_scbMenuLinks->setWidget(m_btnMenuLinks);
    m_btnMenuEZ = new TButtonMenu(m_pnlMenu);
    m_btnMenuEZ->setObjectName(QStringLiteral("btnMenuEZ"));
    m_btnMenuRechts = new TButtonMenu(m_pnlMenu);
    m_btnMenuRechts->setObjectName(QStringLiteral("btnMenuRechts"));
    m_btnMenuEZRechts = new TButtonMenu(m_pnlMenu);
    m_btnMenuEZRechts->setObjectName(QStringLiteral("btnMenuEZRechts"));
    m_btnMenuEZRechts->setVisible(false);
    // The right half is empty until a document type is chosen: it says where to begin.
    m_lblHinweis = new QLabel(tr("Wählen Sie links einen Belegtyp. Hier erscheinen dann seine "
                                 "Abschnitte (Kopf, Positionen, Ende, ...), die Sie gestalten "
                                 "können."),
                              m_pnlMenu);
    m_lblHinweis->setObjectName(QStringLiteral("lblHinweis"));
    m_lblHinweis->setWordWrap(true);
    m_lblHinweis->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(m_pnlMenu, 1);

    auto *pnlButtons = new QFrame(this);
    pnlButtons->setObjectName(QStringLiteral("pnlButtons"));
    pnlButtons->setFrameShape(QFrame::StyledPanel);
    auto *buttons = new QHBoxLayout(pnlButtons);
    m_stbSchliessen = new QPushButton(tr("Schließen"), pnlButtons);
    m_stbSchliessen->setObjectName(QStringLiteral("stbSchliessen"));
    m_stbSchliessen->setToolTip(tr("Programm beenden (Esc)"));
    m_stbSchliessen->setAutoDefault(false);
    m_btnEinstellungen = new QPushButton(tr("Einstellungen"), pnlButtons);
    m_btnEinstellungen->setObjectName(QStringLiteral("btnEinstellungen"));
    m_btnEinstellungen->setToolTip(tr("Allgemeine Einstellungen (F4)"));
    m_btnEinstellungen->setShortcut(QKeySequence(Qt::Key_F4));
    m_btnEinstellungen->setAutoDefault(false);
    m_btnBelegpruefung = new QPushButton(tr("Belegprüfung"), pnlButtons);
    m_btnBelegpruefung->setObjectName(QStringLiteral("btnBelegpruefung"));
    m_btnBelegpruefung->setToolTip(tr("Prüft, ob die Belege an Kunden tragen, was im Land der "
                                      "Installation verlangt wird"));
    m_btnBelegpruefung->setAutoDefault(false);
    buttons->addWidget(m_stbSchliessen);
    buttons->addStretch();
    buttons->addWidget(m_btnBelegpruefung);
    buttons->addWidget(m_btnEinstellungen);
    layout->addWidget(pnlButtons);

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("stbStatus"));
    m_statusBar->setSizeGripEnabled(false);
    m_standingStatus = new QLabel(m_statusBar);
    m_standingStatus->setObjectName(QStringLiteral("lblStatus"));
    m_statusBar->addWidget(m_standingStatus, 1);
    layout->addWidget(m_statusBar);

    connect(m_btnMenuLinks, &TButtonMenu::btnClick, this, [this](int i) {
        guard(QStringLiteral("btnMenuLinksBtnClick"), [this, i] { btnMenuLinksBtnClick(i); });
    });
    connect(m_btnMenuEZ, &TButtonMenu::btnClick, this, [this](int i) {
        guard(QStringLiteral("btnMenuEZBtnClick"), [this, i] { btnMenuEZBtnClick(i); });
    });
    connect(m_btnMenuRechts, &TButtonMenu::btnClick, this, [this](int i) {
        guard(QStringLiteral("btnMenuRechtsBtnClick"), [this, i] { btnMenuRechtsBtnClick(i); });
    });
    connect(m_btnMenuEZRechts, &TButtonMenu::btnClick, this, [this](int i) {
        guard(QStringLiteral("btnMenuEZRechtsBtnClick"), [this, i] { btnMenuEZRechtsBtnClick(i); });
    });
    for (TButtonMenu *menu : {m_btnMenuLinks, m_btnMenuEZ}) {
        connect(menu, &TButtonMenu::highlighted, this,
                [this, menu](int i) { explainEntry(menu, i); });
    }
    connectGuarded(m_cmbRechner, &QComboBox::currentIndexChanged, "cmbRechnerChange",
                   &TfrmKassotypHaupt::cmbRechnerChange);
    connectGuarded(m_stbSchliessen, &QPushButton::clicked, "stbSchliessenClick",
                   &TfrmKassotypHaupt::stbSchliessenClick);
    connectGuarded(m_btnEinstellungen, &QPushButton::clicked, "btnEinstellungenClick",
                   &TfrmKassotypHaupt::btnEinstellungenClick);
    connectGuarded(m_btnBelegpruefung, &QPushButton::clicked, "btnBelegpruefungClick",
                   &TfrmKassotypHaupt::btnBelegpruefungClick);
    m_btnEinstellungen->setEnabled(false); // until a settings window is registered
}

void TfrmKassotypHaupt::setSettingsWindowFactory(SettingsWindowFactory factory)
{
    m_settingsFactory = std::move(factory);
    m_btnEinstellungen->setEnabled(bool(m_settingsFactory));
}

void TfrmKassotypHaupt::fillWorkstationList()
{
    const QSignalBlocker block(m_cmbRechner);
    m_cmbRechner->clear();

    // Sorted by name here and added in one step: a chain's thousands of workstations added one
    // by one, or sorted by the model through its item data, cost the start several times.
    struct ListEntry
    {
        QString text;
        int rnr;
        int type;
    };
    QList<ListEntry> entries;
    if (m_startMode == 2)
        entries.append({QStringLiteral("0"), 0, 0});
    RVRTab &table = m_host.workstations();
    const int n = table.GetUmfangCount();
    for (int i = 0; i < n; ++i) {
        const TRVRInfoUmfang entry = table.GetUmfang(i);
        if (entry.RTyp != 7)
            entries.append({C_RTyp_Text(entry.RTyp) + u' ' + QString::number(entry.RNr), entry.RNr,
                            entry.RTyp});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) {
        return QString::compare(a.text, b.text, Qt::CaseSensitive) < 0;
    });
    QList<QStandardItem *> items;
    items.reserve(entries.size());
    for (const ListEntry &entry : std::as_const(entries)) {
        auto *item = new QStandardItem(entry.text);
        item->setData(entry.rnr, Qt::UserRole);
        item->setData(entry.type, TypeRole);
        items << item;
    }
    qobject_cast<QStandardItemModel *>(m_cmbRechner->model())
            ->invisibleRootItem()
            ->appendRows(items);

    chooseStartWorkstation();

    const int own = m_host.program().GetRId();
    const int ownType = m_host.program().GetRTyp();
    m_cmbRechner->setEnabled(ownType == 1 || ownType == 2 || ownType == 7 || m_startMode == 2);

    if (m_cmbRechner->count() == 0)
        m_host.info().ShowText(MessageKind::Warning,
                               tr("Die Rechnertabelle enthält keinen Rechner. Es werden die "
                                  "Layouts dieses Rechners (Nummer %1) bearbeitet.")
                                       .arg(own));
}

void TfrmKassotypHaupt::chooseStartWorkstation()
{
    const int own = m_host.program().GetRId();
    const int ownIndex = m_cmbRechner->findData(own);
    if (ownIndex >= 0 && isTillType(m_cmbRechner->itemData(ownIndex, TypeRole).toInt())) {
        m_cmbRechner->setCurrentIndex(ownIndex);
        m_standingStatus->setText(tr("%1 ist dieser Rechner; seine Layouts werden bearbeitet.")
                                          .arg(m_cmbRechner->itemText(ownIndex)));
        return;
    }
    // Most document types exist at a till only: starting elsewhere would show them all greyed.
    const QString ownName =
            ownIndex >= 0 ? m_cmbRechner->itemText(ownIndex) : tr("Rechner %1").arg(own);
    for (int i = 0; i < m_cmbRechner->count(); ++i) {
        if (isTillType(m_cmbRechner->itemData(i, TypeRole).toInt())) {
            m_cmbRechner->setCurrentIndex(i);
            m_standingStatus->setText(tr("Dieser Rechner (%1) ist keine Kasse; gewählt ist die "
                                         "erste Kasse der Liste, %2.")
                                              .arg(ownName, m_cmbRechner->itemText(i)));
            return;
        }
    }
    m_cmbRechner->setCurrentIndex(ownIndex);
    m_standingStatus->setText(tr("Die Rechnertabelle enthält keine Kasse; nur die Belegtypen, "
                                 "die es auch ohne Kasse gibt, sind wählbar."));
}

void TfrmKassotypHaupt::showStatus(const QString &text)
{
    m_standingStatus->setText(text);
}

QString TfrmKassotypHaupt::statusText() const
{
    const QString moment = m_statusBar->currentMessage();
    return moment.isEmpty() ? m_standingStatus->text() : moment;
}

void TfrmKassotypHaupt::explainEntry(TButtonMenu *menu, int index)
{
    if (index >= 0 && index < menu->count() && !menu->entry(index).enabled)
        m_statusBar->showMessage(menu->entry(index).toolTip);
    else
        m_statusBar->clearMessage();
}

void TfrmKassotypHaupt::applyWorkstation()
{
    if (m_cmbRechner->currentIndex() < 0 && m_cmbRechner->count() > 0) {
        const QSignalBlocker block(m_cmbRechner);
        m_cmbRechner->setCurrentIndex(0);
    }
    m_rnr = m_cmbRechner->currentIndex() >= 0 ? m_cmbRechner->currentData().toInt()
                                              : m_host.program().GetRId();
    TBonPrinter &printer = engine();
    printer.setWorkstation(m_rnr);
    printer.Refresh();
    OVOInfo &info = m_host.info();
    if (isEngineError(info.ErrorNumber(), false))
        info.ResetErrorSpez(info.ErrorNumber(), KassotypProgramKey);
    enableMenuEntries();
    guard(QStringLiteral("showTemplateDifferences"), [this] { showTemplateDifferences(); });
}

void TfrmKassotypHaupt::showTemplateDifferences()
{
    QStringList sections;
    for (const QString &kennung : recordsDifferingFromTemplate(
                 m_host.store(), m_rnr, engine().Kasso_Typ_Get_LayoutPrinterKey())) {
        const SectionInfo *section = SectionRegistry::find(kennung);
        if (!section) // the device records are settings, not designs
            continue;
        sections << (section->kind == SectionKind::Card
                             ? SectionDispatch::cardTypeCaption(section->menu.first)
                                       + QStringLiteral(" / ")
                                       + SectionDispatch::operationCaption(section->menu.second)
                             : CBelegName(section->menu.first) + QStringLiteral(" / ")
                                       + SectionDispatch::sectionCaption(section->menu.second));
    }
    m_lblVorlage->setVisible(m_rnr != 0);
    m_lblVorlage->setToolTip(sections.join(u'\n'));
    if (sections.isEmpty()) {
        m_lblVorlage->setText(tr("Alle Abschnitte wie die Vorlage (Rechner 0)"));
        return;
    }
    constexpr int Named = 3;
    const QString named = sections.mid(0, Named).join(QStringLiteral(", "));
    m_lblVorlage->setText(sections.size() <= Named
                                  ? tr("Anders als die Vorlage (Rechner 0): %1").arg(named)
                                  : tr("Anders als die Vorlage (Rechner 0): %1 und %2 weitere")
                                            .arg(named)
                                            .arg(sections.size() - Named));
}

void TfrmKassotypHaupt::FormShow()
{
    applyWorkstation();
    buildDocumentTypeMenu();
    buildPaymentMenu();
    enableMenuEntries();
}

void TfrmKassotypHaupt::buildDocumentTypeMenu()
{
    m_btnMenuLinks->clear();
    m_btnMenuLinks->addHead(tr("Belegtypen"));
    for (int t = 1; t <= DocumentTypeCount; ++t)
        m_btnMenuLinks->addEntry(CBelegName(t), t, true);
}

void TfrmKassotypHaupt::buildPaymentMenu()
{
    m_btnMenuEZ->clear();
    m_btnMenuEZ->addHead(tr("Elektronischer Zahlungsverkehr"));
    m_btnMenuEZ->addEntry(SectionDispatch::cardTypeCaption(0), 0, true);
    m_btnMenuEZ->addEntry(SectionDispatch::cardTypeCaption(1), 1, true);
    layoutMenus();
}

void TfrmKassotypHaupt::enableMenuEntries()
{
    const bool till = isTillType(m_host.workstations().GetRNrUmfang(m_rnr).RTyp);
    const QString chosen =
            m_cmbRechner->currentIndex() >= 0 ? m_cmbRechner->currentText() : tr("Dieser Rechner");
    // A greyed entry says which kind of workstation offers it.
    const auto enable = [&](TButtonMenu *menu, int i, bool enabled) {
        menu->setEntryEnabled(i, enabled);
        menu->setEntryToolTip(
                i, enabled ? QString()
                           : tr("„%1“ gibt es nur an einer Kasse (%2 oder %3); %4 ist keine "
                                "Kasse. Wählen Sie oben eine Kasse.")
                                     .arg(menu->entry(i).caption, C_RTyp_Text(3), C_RTyp_Text(4),
                                          chosen));
    };
    for (int i = 0; i < m_btnMenuLinks->count(); ++i) {
        const TButtonMenu::Entry &e = m_btnMenuLinks->entry(i);
        if (e.kind == TButtonMenu::Kind::Menu)
            enable(m_btnMenuLinks, i, till || SectionDispatch::offeredOffTill(e.tag));
    }
    for (int i = 0; i < m_btnMenuEZ->count(); ++i) {
        if (m_btnMenuEZ->entry(i).kind == TButtonMenu::Kind::Menu)
            enable(m_btnMenuEZ, i, till);
    }
}

void TfrmKassotypHaupt::btnMenuLinksBtnClick(int index)
{
    if (index < 0 || index >= m_btnMenuLinks->count()
        || m_btnMenuLinks->entry(index).kind == TButtonMenu::Kind::Head)
        return;
    const TButtonMenu::Entry &chosen = m_btnMenuLinks->entry(index);
    m_documentType = chosen.tag;
    m_btnMenuRechts->setVisible(true);
    m_btnMenuEZRechts->setVisible(false);
    m_btnMenuRechts->clear();
    m_btnMenuRechts->addHead(chosen.caption);
    const quint32 mask = SectionDispatch::sectionMask(m_documentType);
    for (int i = 0; i < 32; ++i) {
        if (mask & (1u << i))
            m_btnMenuRechts->addEntry(SectionDispatch::sectionCaption(i), i, true);
    }
    layoutMenus();
}

void TfrmKassotypHaupt::btnMenuEZBtnClick(int index)
{
    if (index < 0 || index >= m_btnMenuEZ->count()
        || m_btnMenuEZ->entry(index).kind == TButtonMenu::Kind::Head)
        return;
    const TButtonMenu::Entry &chosen = m_btnMenuEZ->entry(index);
    m_cardType = chosen.tag;
    m_btnMenuRechts->setVisible(false);
    m_btnMenuEZRechts->setVisible(true);
    m_btnMenuEZRechts->clear();
    m_btnMenuEZRechts->addHead(chosen.caption);
    const quint8 mask = SectionDispatch::operationMask(m_cardType);
    for (int i = 0; i < 8; ++i) {
        if (mask & (1u << i))
            m_btnMenuEZRechts->addEntry(SectionDispatch::operationCaption(i), i, true);
    }
    layoutMenus();
}

void TfrmKassotypHaupt::btnMenuRechtsBtnClick(int index)
{
    if (index < 0 || index >= m_btnMenuRechts->count()
        || m_btnMenuRechts->entry(index).kind == TButtonMenu::Kind::Head)
        return;
    const int section = m_btnMenuRechts->entry(index).tag;
    const std::optional<SectionDispatch::Target> target =
            SectionDispatch::target(m_documentType, section);
    using Kind = SectionDispatch::Target::Kind;
    std::unique_ptr<TOVOForm> editor;
    const QString auditSection = CBelegName(m_documentType) + QStringLiteral(" / ")
                                 + SectionDispatch::sectionCaption(section);
    if (target && target->kind == Kind::HeadingEditor) {
        openHeadingEditor(target->sectionCode, auditSection);
        return;
    }
    if (target && target->kind == Kind::TestPrint) {
        if (m_testPrint)
            m_testPrint(m_documentType);
        return;
    }
    if (target && target->kind == Kind::HeaderEditor && m_editors.headerEditor())
        editor = m_editors.headerEditor()(this, m_documentType);
    else if (target && target->kind == Kind::Editor && m_editors.editor(target->editorClass))
        editor = m_editors.editor(target->editorClass)(this);
    if (!editor) {
        m_host.info().FehlerRaise(QStringLiteral("TfrmKassotypHaupt.btnMenuRechtsBtnClick"), 1035,
                                  CBelegName(m_documentType),
                                  SectionDispatch::sectionCaption(section));
        return;
    }
    editor->setAuditSection(auditSection);
    openEditor(std::move(editor));
}

void TfrmKassotypHaupt::btnMenuEZRechtsBtnClick(int index)
{
    if (index < 0 || index >= m_btnMenuEZRechts->count()
        || m_btnMenuEZRechts->entry(index).kind == TButtonMenu::Kind::Head)
        return;
    if (m_cardType > 1)
        return;
    const int operation = m_btnMenuEZRechts->entry(index).tag;
    const std::optional<SectionDispatch::CardSection> section =
            SectionDispatch::cardSection(m_cardType, operation);
    if (!section) {
        m_host.info().FehlerRaise(QStringLiteral("TfrmKassotypHaupt.btnMenuEZRechtsBtnClick"), 1035,
                                  SectionDispatch::cardTypeCaption(m_cardType),
                                  SectionDispatch::operationCaption(operation));
        return;
    }
    if (!m_cardEditor)
        m_cardEditor = std::make_unique<TLayEASY>(this);
    m_cardEditor->setSection(section->kennung, section->caption);
    if (onEditorOpened)
        onEditorOpened(m_cardEditor.get());
    if (m_cardEditor->exec() == QDialog::Accepted)
        applyWorkstation();
}

void TfrmKassotypHaupt::openHeadingEditor(int sectionCode, const QString &auditSection)
{
    auto editor = std::make_unique<TfrmLayBonueber>(this);
    editor->setSectionCode(sectionCode);
    editor->setAuditSection(auditSection);
    openEditor(std::move(editor));
}

void TfrmKassotypHaupt::openEditor(std::unique_ptr<TOVOForm> editor)
{
    if (onEditorOpened)
        onEditorOpened(editor.get());
    editor->exec();
    editor.reset();
    applyWorkstation();
}

void TfrmKassotypHaupt::FormActivate()
{
    if (!m_host.rights().UserRechtePruefen({69, 72}, QString(), 1, false, 0)) {
        // The window closes without a word; the log says why.
        m_host.info().log(QStringLiteral("Kassotyp beendet: dem Benutzer \"%1\" fehlt das "
                                         "Recht 69/72 zur Benutzung des Programms.")
                                  .arg(m_host.rights().userName()));
        m_host.program().Terminate();
    }
}

void TfrmKassotypHaupt::cmbRechnerChange()
{
    m_btnMenuRechts->clear();
    m_btnMenuEZRechts->clear();
    applyWorkstation();
    m_standingStatus->setText(
            isTillType(m_cmbRechner->currentData(TypeRole).toInt())
                    ? tr("Gewählt: %1.").arg(m_cmbRechner->currentText())
                    : tr("Gewählt: %1, keine Kasse; die grauen Belegtypen gibt es nur an einer "
                         "Kasse.")
                              .arg(m_cmbRechner->currentText()));
    layoutMenus();
    if (m_settingsWindow) {
        handSelectionToSettingsWindow();
        if (!m_settingsWindow->closedByUser())
            m_settingsWindow->showNonModal();
    }
}

void TfrmKassotypHaupt::handSelectionToSettingsWindow()
{
    const int rnr = m_cmbRechner->currentIndex() >= 0 ? m_cmbRechner->currentData().toInt() : m_rnr;
    m_settingsWindow->setEngine(m_engine.get()); // first: the window names the engine's printer
    m_settingsWindow->setWorkstation(rnr);
    m_settingsWindow->setStartMode(m_startMode);
}

void TfrmKassotypHaupt::btnBelegpruefungClick()
{
    openEditor(std::make_unique<TfrmBelegpruefung>(
            m_host, [this](const FiscalFinding &finding) { openSectionOf(finding); }, this));
}

void TfrmKassotypHaupt::openSectionOf(const FiscalFinding &finding)
{
    // Through the menus, as the user would go: the till, the document type, the section.
    const int till = m_cmbRechner->findData(finding.workstation);
    if (till < 0)
        return;
    m_cmbRechner->setCurrentIndex(till);
    for (int i = 0; i < m_btnMenuLinks->count(); ++i) {
        const TButtonMenu::Entry &entry = m_btnMenuLinks->entry(i);
        if (entry.kind != TButtonMenu::Kind::Head && entry.tag == finding.documentType)
            btnMenuLinksBtnClick(i);
    }
    if (m_documentType != finding.documentType)
        return;
    for (int i = 0; i < m_btnMenuRechts->count(); ++i) {
        const TButtonMenu::Entry &entry = m_btnMenuRechts->entry(i);
        if (entry.kind != TButtonMenu::Kind::Head
            && SectionDispatch::sectionKennung(m_documentType, entry.tag) == finding.kennung) {
            btnMenuRechtsBtnClick(i);
            return;
        }
    }
}

void TfrmKassotypHaupt::btnEinstellungenClick()
{
    if (!m_settingsWindow) {
        if (!m_settingsFactory)
            return;
        m_settingsWindow = m_settingsFactory();
    }
    handSelectionToSettingsWindow();
    m_settingsWindow->setClosedByUser(false);
    m_settingsWindow->showNonModal();
    applyWorkstation();
}

PlaceholderPicker *TfrmKassotypHaupt::placeholderPicker()
{
    return m_picker.get();
}

void TfrmKassotypHaupt::setPlaceholderPicker(std::unique_ptr<TfrmPlatzhalter> picker)
{
    m_picker = std::move(picker);
}

void TfrmKassotypHaupt::stbSchliessenClick()
{
    m_host.program().Terminate();
}

void TfrmKassotypHaupt::paperWidthPrompt(const QString &printerKey)
{
    m_host.info().ShowMeldung(1039, KassotypProgramKey);
    if (!m_paperWidthWindow)
        m_paperWidthWindow = std::make_unique<TfrmBreiteRaender>();
    m_paperWidthWindow->SetPrinterIfNotSet(printerKey);
    m_paperWidthWindow->exec();
}

void TfrmKassotypHaupt::selectByText(QComboBox *combo, const QString &text)
{
    ControlValues::setComboText(combo, text);
}

void TfrmKassotypHaupt::layoutMenus()
{
    const int h = m_pnlMenu->height();
    const int ezHeight = m_btnMenuEZ->sizeHint().height();
    m_btnMenuEZ->setGeometry(MenuMargin, h - ezHeight - MenuMargin, MenuColumnWidth, ezHeight);
    m_scbMenuLinks->setGeometry(MenuMargin, MenuMargin, MenuColumnWidth,
                                qMax(0, h - ezHeight - 3 * MenuMargin));
    const int rightX = 2 * MenuMargin + MenuColumnWidth;
    for (TButtonMenu *menu : {m_btnMenuRechts, m_btnMenuEZRechts})
        menu->resize(ClientWidth - rightX - MenuMargin, menu->sizeHint().height());
    m_lblHinweis->setGeometry(rightX, MenuMargin, ClientWidth - rightX - MenuMargin,
                              m_lblHinweis->heightForWidth(ClientWidth - rightX - MenuMargin));
    m_lblHinweis->setVisible(m_btnMenuRechts->count() == 0 && m_btnMenuEZRechts->count() == 0);
    // The chosen document type stays in view, whatever the height of the window.
    if (m_btnMenuLinks->chosenIndex() >= 0)
        m_btnMenuLinks->setChosenIndex(m_btnMenuLinks->chosenIndex());
    alignRightMenus();
}

void TfrmKassotypHaupt::alignRightMenus()
{
    const int chosen = m_btnMenuLinks->chosenIndex();
    if (chosen < 0)
        return;
    // The entry's top as the user sees it (the left menu scrolls), plus 7; a menu that would
    // run out of the panel is moved up so that all its entries stay reachable.
    const int entryTop =
            m_btnMenuLinks->mapTo(m_pnlMenu, m_btnMenuLinks->entryRect(chosen).topLeft()).y();
    const int rightX = 2 * MenuMargin + MenuColumnWidth;
    for (TButtonMenu *menu : {m_btnMenuRechts, m_btnMenuEZRechts}) {
        if (menu->count() == 0)
            continue;
        const int maxTop = qMax(0, m_pnlMenu->height() - menu->height());
        menu->move(rightX, qBound(0, entryTop + 7, maxTop));
    }
}

void TfrmKassotypHaupt::showEvent(QShowEvent *event)
{
    TOVOForm::showEvent(event);
    guard(QStringLiteral("FormShow"), [this] { FormShow(); });
    layoutMenus();
}

void TfrmKassotypHaupt::changeEvent(QEvent *event)
{
    TOVOForm::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        guard(QStringLiteral("FormActivate"), [this] { FormActivate(); });
}

void TfrmKassotypHaupt::resizeEvent(QResizeEvent *event)
{
    TOVOForm::resizeEvent(event);
    guard(QStringLiteral("FormResize"), [this] { layoutMenus(); });
}

void TfrmKassotypHaupt::closeEvent(QCloseEvent *event)
{
    event->accept();
    guard(QStringLiteral("stbSchliessenClick"), [this] { stbSchliessenClick(); });
}

void TfrmKassotypHaupt::reject()
{
    // Esc is the shortcut of "Schließen".
    guard(QStringLiteral("stbSchliessenClick"), [this] { stbSchliessenClick(); });
}
