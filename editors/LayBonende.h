#pragma once

#include "core/sections/bonendeformat.h"
#include "editors/layouteditor.h"
#include "editors/logoblock.h"

#include <QList>
#include <QPair>

class OVOBuchung;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class TRadioGroup;
class Tlogoanzeige;

// What sets one end editor apart from another: its section plan and its texts.
struct EndEditorKind
{
    const EndSectionPlan *plan = nullptr;
    const SectionInfo *section = nullptr; // the section edited
    QString caption;                      // window caption and headline
    QString logoHeading;                  // heading of the logo page
    int leftAlignedFrom = 0;              // lines initially aligned "links"
    int leftAlignedTo = 0;
    QList<QPair<QString, QString>> frequentPlaceholders; // token, meaning
};

// "Gestaltung des Bonendes": up to 25 lines with a print condition each, and a logo between
// the upper and the lower lines. The invoice end editor is the same window with its own kind
// (it derives, passes its kind and names itself with OVOFormInit in its own constructor).
class TfrmLayBonende : public LayoutEditor
{
    Q_OBJECT
public:
    explicit TfrmLayBonende(QWidget *parent = nullptr);
    ~TfrmLayBonende() override;

    static const EndEditorKind &bonEndeKind();
    const EndEditorKind &kind() const { return m_kind; }
    LogoBlock *logo() const { return m_logo; }

    void Einstellungen_Laden() override;
    void Einstellungen_Speichern() override;
    void Einstellungen_MaskeLesen(QStringList &list) override;
    void scbPreviewClick() override;
    void LogoAnzeigeNeuesBild();

    void chbLogoClick();
    void spbLogoClick();
    void edtAnzZeilenExit(QLineEdit *left);
    void edtTextAnzahlZeilenChange();
    void edtLogoBreiteExit();
    void edtLogoHoeheExit();
    bool CheckLogoSettings() const;

    int above() const;
    int below() const;

protected:
    TfrmLayBonende(const EndEditorKind &kind, const QString &componentName, QWidget *parent);

    const LayoutFormat &format() const override;
    void applySection() override;
    void drawPreview(int width) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void settleInput() override;
    // In text mode the font list offers the printer's fonts; only size and style are graphic.
    GraphicOnlySelectors graphicOnlySelectors() const override
    {
        return GraphicOnlySelectors::SizeAndStyle;
    }

private:
    void buildPages();
    void buildArrangementPanel();
    void printPreviewLogo(int &y, int printableWidth);

    const EndEditorKind &m_kind;
    LogoBlock *m_logo = nullptr;
    QTabWidget *m_pages = nullptr;
    QLineEdit *m_above = nullptr;
    QLineEdit *m_below = nullptr;
    QLabel *m_aboveCaption = nullptr;
    QLabel *m_belowCaption = nullptr;
    QLabel *m_arrangement = nullptr;
    QLabel *m_tooWide = nullptr;
};

// A count edit's value; empty or no number counts as 0.
int countValue(const QLineEdit *edit);
// Writes a count only when its value changes, so an empty count stays empty at 0.
void setCountValue(QLineEdit *edit, int value);
