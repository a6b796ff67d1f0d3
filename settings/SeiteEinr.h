#pragma once

#include "core/format/deviceformats.h"
#include "core/format/layoutformat.h"
#include "core/store/kastfile.h"
#include "widgets/tovoform.h"

#include <QList>

class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;
class StoreFormStore;

// Paper width and margins of a printer for the chosen workstation. Opened from the general
// settings window, and by the main window when an editor finds no page setup; that instance
// is kept and shown again, so every showing loads afresh.
class TfrmBreiteRaender : public TOVOForm
{
    Q_OBJECT
public:
    static constexpr int NumberMaxLength = 5;
    static constexpr int PresetNameMaxLength = 8;

    explicit TfrmBreiteRaender(QWidget *parent = nullptr);
    ~TfrmBreiteRaender() override;

    void FormShow();
    void btnBuchenClick();
    void ddcEinstellungClick();
    void sbtAktPaperWidthClick();
    // Start mode 2 only: restores a preset into the fields or keeps the fields as one.
    void spbFormStoreDlgClick();
    void SetPrinterIfNotSet(const QString &printerName);

    // Writes the width of a page of that many dots at that resolution into the paper width;
    // empties it when either is not a positive number.
    void takePaperWidth(int pageWidthDots, int dotsPerInch);

    // The values the window would store right now.
    QStringList settingsList() const;
    QString rememberedPrinter() const { return m_rememberedPrinter; }

protected:
    void showEvent(QShowEvent *event) override;
    std::optional<AuditEvent> auditedSave() const override;
    // The page setup of the printer the window shows.
    QList<EditedRecord> editedRecords() override;
    QStringList shownVersion(const EditedRecord &record) override;
    void showVersion(const EditedRecord &record, const QStringList &list) override;

private:
    void buildWindow();
    void fillPresetList();
    void load(const QString &presetName, int rnr);
    void applyList(const QStringList &list);
    void selectPresetIgnoringCase(const QString &name);
    void restorePreset(const QString &name);
    void storePreset();
    StoreFormStore presets() const;

    Tkastfile KASTFile;
    QString m_rememberedPrinter;

    QLabel *m_heading = nullptr;
    QComboBox *m_ddcEinstellung = nullptr;
    QToolButton *m_spbFormStoreDlg = nullptr;
};
