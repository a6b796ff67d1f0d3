#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

class LayoutEditor;
class OVOBuchung;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
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
    // After an import: the size fields take the picture's size at the screen's resolution,
    // and a picture wider than the paper is made as wide as the printable width (height
    // in proportion). True when it was made smaller.
    bool sizeFromPicture(double pixelsPerInch, double printableCm);

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
    // A width or height typed by the user brings the other along in the picture's proportion.
    void keepProportion(QLineEdit *typed);

    QRect m_pictureRect;
};
