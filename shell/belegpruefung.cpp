#include "shell/belegpruefung.h"

#include "core/app/host.h"
#include "core/model/hosttables.h"
#include "core/sections/sectionregistry.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TfrmBelegpruefung::TfrmBelegpruefung(Host &host, SectionOpener openSection, QWidget *parent)
    : TOVOForm(parent)
    , m_host(host)
    , m_openSection(std::move(openSection))
{
    OVOFormInit(QStringLiteral("frmBelegpruefung"), true);
    setWindowTitle(tr("Belegprüfung"));
    const Country country = installationCountry(host.parameters());
    auto *headline = new QLabel(
            tr("Was ein Beleg an Kunden in %1 tragen muss, geprüft für jede Kasse, ihren Drucker "
               "und jede Belegart an Kunden. Das Land wird in den Allgemeinen Einstellungen "
               "gewählt.")
                    .arg(countryName(country)),
            this);
    headline->setObjectName(QStringLiteral("lblUeberschrift"));
    headline->setWordWrap(true);
    m_result = new QLabel(this);
    m_result->setObjectName(QStringLiteral("lblErgebnis"));
    m_result->setWordWrap(true);
    QFont bold = m_result->font();
    bold.setBold(true);
    m_result->setFont(bold);

    m_grid = new QTableWidget(0, 5, this);
    m_grid->setObjectName(QStringLiteral("grdBefunde"));
    m_grid->setHorizontalHeaderLabels(
            {tr("Kasse"), tr("Drucker"), tr("Belegart"), tr("Abschnitt"), tr("Es fehlt")});
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setWordWrap(true);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setStretchLastSection(true);

    m_btnAbschnitt = new QPushButton(tr("&Abschnitt bearbeiten..."), this);
    m_btnAbschnitt->setObjectName(QStringLiteral("btnAbschnitt"));
    m_btnAbschnitt->setToolTip(tr("Öffnet den Editor des Abschnitts, in den die fehlende Angabe "
                                  "gehört, für die Kasse der gewählten Zeile"));
    m_btnAbschnitt->setAutoDefault(false);
    auto *btnPruefen = new QPushButton(tr("&Erneut prüfen"), this);
    btnPruefen->setObjectName(QStringLiteral("btnPruefen"));
    btnPruefen->setAutoDefault(false);
    auto *btnSchliessen = new QPushButton(tr("Schließen"), this);
    btnSchliessen->setObjectName(QStringLiteral("btnSchliessen"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_btnAbschnitt);
    buttons->addWidget(btnPruefen);
    buttons->addStretch();
    buttons->addWidget(btnSchliessen);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(headline);
    layout->addWidget(m_result);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    resize(820, 520);

    connectGuarded(btnPruefen, &QPushButton::clicked, "btnPruefenClick",
                   &TfrmBelegpruefung::btnPruefenClick);
    connectGuarded(m_btnAbschnitt, &QPushButton::clicked, "btnAbschnittClick",
                   &TfrmBelegpruefung::btnAbschnittClick);
    connectGuarded(m_grid, &QTableWidget::cellDoubleClicked, "btnAbschnittClick",
                   &TfrmBelegpruefung::btnAbschnittClick);
    connect(btnSchliessen, &QPushButton::clicked, this, &QDialog::accept);
    guard(QStringLiteral("FormCreate"), [this] { btnPruefenClick(); });
}

void TfrmBelegpruefung::btnPruefenClick()
{
    const Country country = installationCountry(m_host.parameters());
    m_findings = checkFiscalRules(m_host, country);
    m_grid->setRowCount(int(m_findings.size()));
    for (int row = 0; row < m_findings.size(); ++row) {
        const FiscalFinding &f = m_findings.at(row);
        const QStringList cells = {
                f.workstationName, f.printerKey,
                QStringLiteral("%1 %2").arg(f.documentType).arg(CBelegName(f.documentType)),
                f.section, f.missing};
        for (int column = 0; column < cells.size(); ++column)
            m_grid->setItem(row, column, new QTableWidgetItem(cells.at(column)));
    }
    m_grid->resizeColumnsToContents();
    m_grid->resizeRowsToContents();
    if (!m_findings.isEmpty())
        m_grid->selectRow(0);
    m_btnAbschnitt->setEnabled(!m_findings.isEmpty());
    m_result->setText(fiscalSummary(m_findings, country));
}

void TfrmBelegpruefung::btnAbschnittClick()
{
    const int row = m_grid->currentRow();
    if (row < 0 || row >= m_findings.size() || !m_openSection)
        return;
    m_openSection(m_findings.at(row));
    btnPruefenClick();
}
