#pragma once

#include "core/sections/bonkopfformat.h"
#include "editors/LayBonende.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

// The header of one document type: up to 10 lines above, beside and below an optional logo.
// One header can be saved for several document types at once ("Alle Buchen").
class TfrmLayBonkopf : public LayoutEditor
{
    Q_OBJECT
public:
    explicit TfrmLayBonkopf(QWidget *parent = nullptr);
    ~TfrmLayBonkopf() override;

    // Written by the main window before the window is shown (1..23).
    void setDocumentType(int type) { m_type = type; }
    int documentType() const { return m_type; }
    LogoBlock *logo() const { return m_logo; }

    void Einstellungen_Laden() override;
    // Saves for the own document type; the logo only when its picture changed.
    void Einstellungen_Speichern() override;
    void Einstellungen_Speichern(int type, bool forceLogo);
    void Einstellungen_MaskeSchreiben(const QStringList &list) override;
    void Einstellungen_MaskeLesen(QStringList &list) override;
    void btnBuchenClick() override;
    void scbPreviewClick() override;
    void btnBuchenAlleClick();
    // Recalls the preset together with the logo it names.
    void btnVorgabeLadenClick() override;
    void FormStoreRestoreEnd();
    bool CheckLogoSettings() const;
    void chbLogoClick();
    void edtAnzZeilenChange();
    void edtTextAnzahlZeilenChange();
    void edtLogoBreiteChange();
    void edtLogoHoeheChange();
    void rgpLogoPositionClick();
    void spbLogoClick();
    void LogoAnzeigeNeuesBild();

    int lineCount() const;

protected:
    const LayoutFormat &format() const override;
    void applySection() override;
    void drawPreview(int width) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    // Graphic mode, or a text mode driven through the printer driver, can print a logo.
    bool logoUnavailable() const;
    void refuseInvalidLogo();

    int m_type = 0;
    LogoBlock *m_logo = nullptr;
    QCheckBox *m_text = nullptr;
    LineCountField *m_lineCount = nullptr;
    QLineEdit *m_above = nullptr;
    QLineEdit *m_beside = nullptr;
    QLineEdit *m_below = nullptr;
    QPushButton *m_buchenAlle = nullptr;
    int m_besideMaximum = HeaderLineCount;
    bool m_distributing = false;
};
