#pragma once

#include "bonendeformat.h"
#include "layouteditor.h"

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

// The logo controls that the header and end editors share: the switch, the picture with its
// size in cm and position, the hidden logo name, and the picture of the live preview. The
// editor places the block and decides what the switch does to its other controls.
class LogoBlock : public QWidget
{
    Q_OBJECT
public:
    explicit LogoBlock(QWidget *parent = nullptr);

    QCheckBox *chbLogo = nullptr;
    QPushButton *spbLogo = nullptr;
    QLabel *lblLogoName = nullptr;
    QLineEdit *edtLogoBreite = nullptr;
    QLineEdit *edtLogoHoehe = nullptr;
    TRadioGroup *rgpLogoPosition = nullptr;
    Tlogoanzeige *LogoAnzeige = nullptr;
    QLabel *bmpPreview = nullptr; // on the editor's preview page, see createPreviewPicture

    static QString noLogoName(); // "- kein Logo vorhanden -"

    // Kennung1\Kennung2\workstation of the logo in the component, or the no-logo name.
    QString logoName() const;
    void showLogoName();
    // False when the logo is on and its width or height is below 1 cm.
    bool CheckLogoSettings() const;
    double widthCm() const;
    double heightCm() const;
    static int cmToPixels(double cm, double pixelsPerInch);
    // Sizes and centres the picture inside the component.
    void sizePictureWidth(double pixelsPerInch);
    void sizePictureHeight(double pixelsPerInch);
    // The controls the switch enables (all but the switch itself).
    void setDetailsEnabled(bool enabled);
    void setSizeCm(double width, double height);

    // Loads the current logo of a section as the layout record of workstation rnr names it.
    void load(const QString &kennung, int rnr);
    // Saves the picture as the section's current logo when the logo is on, there is a
    // picture, and it changed or force is set; stamped with the next booking identity.
    bool saveIfDue(const QString &kennung, int rnr, bool force, OVOBuchung &booking);

    void createPreviewPicture(QWidget *previewPage);
    void hidePreviewPicture();
    // Shows the picture in the live preview below y on a printable width and advances y.
    void placePreview(int &y, int printableWidth, double pixelsPerInch);
    // The full-screen preview of the editor's lines with this picture.
    void showFullScreenPreview(LayoutEditor &editor);

private:
    QRect m_pictureRect;
};

// What sets one end editor apart from another: its section plan and its texts.
struct EndEditorKind
{
    const EndSectionPlan *plan = nullptr;
    QString maske;           // preset mask
    QString caption;         // window caption and headline
    QString logoHeading;     // heading of the logo page
    int leftAlignedFrom = 0; // lines initially aligned "links"
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
    void Einstellungen_MaskeSchreiben(const QStringList &list) override;
    void Einstellungen_MaskeLesen(QStringList &list) override;
    void scbPreviewClick() override;

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
