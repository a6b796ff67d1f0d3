#pragma once

#include "core/engine/fiscalcheck.h"
#include "widgets/tovoform.h"

#include <functional>

class Host;
class QLabel;
class QPushButton;
class QTableWidget;

// "Belegprüfung": whether the receipts the tills hand to customers carry what the country of
// the installation asks (TSE data in Germany, the RKSV code in Austria, the VAT number in
// Switzerland). Lists each till, printer and document type with what is missing; a button opens
// the editor of the section that mends the chosen row, after which the check runs again.
class TfrmBelegpruefung : public TOVOForm
{
    Q_OBJECT
public:
    using SectionOpener = std::function<void(const FiscalFinding &finding)>;
    TfrmBelegpruefung(Host &host, SectionOpener openSection, QWidget *parent = nullptr);

    const QList<FiscalFinding> &findings() const { return m_findings; }

    void btnPruefenClick();
    void btnAbschnittClick();

private:
    Host &m_host;
    SectionOpener m_openSection;
    QList<FiscalFinding> m_findings;
    QLabel *m_result = nullptr;
    QTableWidget *m_grid = nullptr;
    QPushButton *m_btnAbschnitt = nullptr;
};
