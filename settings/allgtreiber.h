#pragma once

#include "core/format/layoutformat.h"
#include "core/store/kastfile.h"
#include "core/store/presetstore.h"
#include "widgets/tovoform.h"

#include <QStringList>

#include <memory>

class QComboBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QToolButton;

// Printer, cash drawer and customer display of the workstation chosen in the main window,
// kept in the records "AKTBONDR" and "DISPLAY". exec() answers Accepted after a save.
class TfrmAllgTreiber : public TOVOForm
{
    Q_OBJECT
public:
    explicit TfrmAllgTreiber(QWidget *parent = nullptr);
    ~TfrmAllgTreiber() override;

    void FormShow();
    void btnBuchenClick();
    void ddcEinstellungClick(const QString &name);
    void cmbKundenanzeigeChange(const QString &type);
    void edtESCOpenSequenzCOMExit();
    void spbFormStoreDlgClick();

    // Applies the printer record of workstation rnr under the third key, or its fallbacks.
    void Druckereinstellung_Laden(int rnr, const QString &printerKey);
    void Kundenanzeige_Laden(int rnr);

protected:
    void showEvent(QShowEvent *event) override;
    std::optional<AuditEvent> auditedSave() const override;
    // The printer record a save writes and the customer display's record.
    QList<EditedRecord> editedRecords() override;
    void showVersion(const EditedRecord &record, const QStringList &list) override;

private:
    void buildPrinterPage(QWidget *page);
    void buildDrawerPage(QWidget *page);
    void buildDisplayPage(QWidget *page);
    QWidget *buildCapabilities(QWidget *page);
    // Graphics memory, cutter and status of the printer; "Logos in den Drucker laden" is
    // offered for a printer that keeps pictures.
    QLayout *buildPrinterMemory(QWidget *box);
    void showLogoLoading();
    void btnLogosLadenClick();
    // The columns of the four fonts across the till's printable width.
    void showColumns();
    void pgcGeraeteChange();
    // Fields with a format (hex sequences, font codes) are marked, with the reason as their
    // tooltip and in the note under the pages, while the printer could not read them.
    void markFormat(QLineEdit *edit);
    void markFormats();
    // False, after saying which fields and why, when a field holds what the printer cannot read.
    bool formatsReadable();
    void fillPresetList();
    QStringList readList(const LayoutFormat &format) const;
    bool lookUp(const QString &kennung, int rnr, const QString &printerKey);
    void book(const QString &kennung, int rnr, const QString &printerKey, const QStringList &list);
    int RNr() const;
    // The printer key a save writes the printer record under.
    QString savedPrinterKey() const;

    Tkastfile KASTFile;
    std::unique_ptr<StoreFormStore> m_printerPresets; // StoreFormStore
    std::unique_ptr<StoreFormStore> m_displayPresets; // KDStore
    bool m_inPresetChange = false;

    QTabWidget *m_pages = nullptr;
    QStringList m_pageNames;
    QLabel *m_headline = nullptr;
    QComboBox *m_presetList = nullptr;
    QToolButton *m_formStoreButton = nullptr;
    QScrollArea *m_functionList = nullptr;
    QLabel *m_columnsCaption = nullptr;
    QLineEdit *m_serialSequence = nullptr;
    QLabel *m_formatNote = nullptr;
    QPushButton *m_loadLogos = nullptr;
    QList<QLineEdit *> m_formatFields;
};
