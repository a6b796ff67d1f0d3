#include "editors/logoblock.h"

#include "core/app/host.h"
#include "core/engine/bonprinter.h"
#include "core/model/textfunctions.h"
#include "core/sections/bonkopfformat.h"
#include "editors/layouteditor.h"
#include "preview/Preview.h"
#include "widgets/logoanzeige.h"
#include "widgets/radiogroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

LogoBlock::LogoBlock(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlLogo"));
    chbLogo = new QCheckBox(tr("&Logo"), this);
    chbLogo->setObjectName(QStringLiteral("chbLogo"));
    chbLogo->setToolTip(tr("nur im Graphikmodus verfügbar"));
    spbLogo = new QPushButton(tr("Logo laden"), this);
    spbLogo->setObjectName(QStringLiteral("spbLogo"));
    spbLogo->setToolTip(tr("Bild suchen"));
    spbLogo->setAutoDefault(false);
    lblLogoName = new QLabel(noLogoName(), this);
    lblLogoName->setObjectName(QStringLiteral("lblLogoName"));
    lblLogoName->hide();

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(chbLogo, 0, 0);
    grid->addWidget(spbLogo, 0, 1);
    // Two digits before and after the comma: at most 99,99 cm.
    const QString centimetres = QStringLiteral("[0-9]{0,2}([,.][0-9]{0,2})?");
    edtLogoBreite = TOVOForm::addLabelledField(grid, 1, QStringLiteral("edtLogoBreite"),
                                               tr("&Breite in cm"), centimetres, 5, 70)
                            .edit;
    edtLogoHoehe = TOVOForm::addLabelledField(grid, 2, QStringLiteral("edtLogoHoehe"),
                                              tr("H&öhe  in cm"), centimetres, 5, 70)
                           .edit;
    for (QLineEdit *size : {edtLogoBreite, edtLogoHoehe}) {
        size->setText(FloatToStr_FSKRT(0));
        // "0,5" on the way to "0,55" must not switch the logo off for being too small.
        size->setProperty(LayoutEditor::PreviewWhenLeft, true);
    }
    int row = 3;
    rgpLogoPosition =
            new TRadioGroup(tr(" Position "), {tr("links"), tr("mitte"), tr("rechts")}, 3, this);
    rgpLogoPosition->setObjectName(QStringLiteral("rgpLogoPosition"));
    rgpLogoPosition->setItemIndex(1);
    grid->addWidget(rgpLogoPosition, row, 0, 1, 2);
    LogoAnzeige = new Tlogoanzeige(this);
    LogoAnzeige->setObjectName(QStringLiteral("LogoAnzeige"));
    LogoAnzeige->setFixedSize(170, 120);
    grid->addWidget(LogoAnzeige, 0, 2, row + 1, 1, Qt::AlignTop);
    grid->addWidget(lblLogoName, row + 1, 0);
    grid->setColumnStretch(3, 1);

    for (QLineEdit *size : {edtLogoBreite, edtLogoHoehe})
        connect(size, &QLineEdit::textEdited, this, [this, size] { keepProportion(size); });
}

namespace {

// Two digits before the comma: the largest size the fields hold.
constexpr double LargestCm = 99.99;

} // namespace

QString LogoBlock::noLogoName()
{
    return tr("- kein Logo vorhanden -");
}

QString LogoBlock::logoName() const
{
    if (LogoAnzeige->Kennung1().isEmpty())
        return noLogoName();
    return LogoAnzeige->Kennung1() + u'\\' + LogoAnzeige->Kennung2() + u'\\'
           + QString::number(LogoAnzeige->Fil_Rech());
}

void LogoBlock::showLogoName()
{
    lblLogoName->setText(logoName());
}

double LogoBlock::widthCm() const
{
    return StrToFloatDef_FSKRT(edtLogoBreite->text(), 0);
}

double LogoBlock::heightCm() const
{
    return StrToFloatDef_FSKRT(edtLogoHoehe->text(), 0);
}

bool LogoBlock::CheckLogoSettings() const
{
    return !chbLogo->isChecked() || (std::trunc(widthCm()) > 0 && std::trunc(heightCm()) > 0);
}

int LogoBlock::cmToPixels(double cm, double pixelsPerInch)
{
    return qMax(0, int(std::trunc(cm * pixelsPerInch / 2.54)));
}

void LogoBlock::sizePictureWidth(double pixelsPerInch)
{
    const int w = cmToPixels(widthCm(), pixelsPerInch);
    m_pictureRect =
            QRect((LogoAnzeige->width() - w) / 2, m_pictureRect.y(), w, m_pictureRect.height());
    LogoAnzeige->setPictureRect(m_pictureRect);
}

void LogoBlock::sizePictureHeight(double pixelsPerInch)
{
    const int h = cmToPixels(heightCm(), pixelsPerInch);
    m_pictureRect =
            QRect(m_pictureRect.x(), (LogoAnzeige->height() - h) / 2, m_pictureRect.width(), h);
    LogoAnzeige->setPictureRect(m_pictureRect);
}

void LogoBlock::setDetailsEnabled(bool enabled)
{
    for (QWidget *w : std::initializer_list<QWidget *>{lblLogoName, spbLogo, edtLogoBreite,
                                                       edtLogoHoehe, rgpLogoPosition, LogoAnzeige})
        w->setEnabled(enabled);
}

void LogoBlock::keepProportion(QLineEdit *typed)
{
    const int w = LogoAnzeige->pictureWidth();
    const int h = LogoAnzeige->pictureHeight();
    if (w <= 0 || h <= 0)
        return;
    const double value = StrToFloatDef_FSKRT(typed->text(), 0);
    if (typed == edtLogoBreite)
        edtLogoHoehe->setText(FloatToStr_FSKRT(qMin(value * h / w, LargestCm)));
    else
        edtLogoBreite->setText(FloatToStr_FSKRT(qMin(value * w / h, LargestCm)));
}

bool LogoBlock::sizeFromPicture(double pixelsPerInch, double printableCm)
{
    const int w = LogoAnzeige->pictureWidth();
    const int h = LogoAnzeige->pictureHeight();
    if (pixelsPerInch <= 0 || w <= 0 || h <= 0)
        return false;
    double width = w / pixelsPerInch * 2.54;
    double height = h / pixelsPerInch * 2.54;
    const bool tooWide = printableCm > 0 && width > printableCm;
    if (tooWide) {
        height *= printableCm / width;
        width = printableCm;
    }
    setSizeCm(qMin(width, LargestCm), qMin(height, LargestCm));
    return tooWide;
}

void LogoBlock::setSizeCm(double width, double height)
{
    edtLogoBreite->setText(FloatToStr_FSKRT(width));
    edtLogoHoehe->setText(FloatToStr_FSKRT(height));
}

void LogoBlock::load(const QString &kennung, int rnr)
{
    LogoAnzeige->Reset();
    LogoAnzeige->SetKennung1(KassotypProgramKey);
    LogoAnzeige->SetKennung2(kennung);
    LogoAnzeige->SetLogoName(CurrentLogoName);
    LogoAnzeige->SetFil_Rech(qint16(rnr));
    LogoAnzeige->LoadWithFallback();
    LogoAnzeige->update();
}

bool LogoBlock::saveIfDue(const QString &kennung, int rnr, bool force, OVOBuchung &booking)
{
    if (!chbLogo->isChecked() || LogoAnzeige->pictureHeight() <= 0
        || !(force || LogoAnzeige->pictureChanged()))
        return false;
    LogoAnzeige->SetKennung1(KassotypProgramKey);
    LogoAnzeige->SetKennung2(kennung);
    LogoAnzeige->SetLogoName(CurrentLogoName);
    LogoAnzeige->SetFil_Rech(qint16(rnr));
    const BookingIdentity stamp = booking.next(rnr);
    LogoAnzeige->SetRNr(stamp.rnr);
    LogoAnzeige->SetLfdNr(stamp.lfdnr);
    LogoAnzeige->SaveTologofile();
    return true;
}

void LogoBlock::createPreviewPicture(QWidget *previewPage)
{
    bmpPreview = new QLabel(previewPage);
    bmpPreview->setObjectName(QStringLiteral("bmpPreview"));
    bmpPreview->setScaledContents(true);
    bmpPreview->hide();
}

void LogoBlock::hidePreviewPicture()
{
    bmpPreview->setGeometry(0, 0, 0, 0);
    bmpPreview->hide();
    // The preview page is as high as its lines; a picture at the end needs room of its own.
    bmpPreview->parentWidget()->setMinimumHeight(0);
}

void LogoBlock::placePreview(int &y, int printableWidth, double pixelsPerInch)
{
    const int w = cmToPixels(widthCm(), pixelsPerInch);
    const int h = cmToPixels(heightCm(), pixelsPerInch);
    int left = (printableWidth - w) / 2 + 10;
    if (rgpLogoPosition->itemIndex() == 0)
        left = 10;
    else if (rgpLogoPosition->itemIndex() == 2)
        left = printableWidth - w + 10;
    bmpPreview->setPixmap(QPixmap::fromImage(LogoAnzeige->picture()));
    bmpPreview->setGeometry(left, y + 4, w, h);
    bmpPreview->show();
    bmpPreview->parentWidget()->setMinimumHeight(bmpPreview->geometry().bottom() + 10);
    y += 4 + h;
}

void LogoBlock::showFullScreenPreview(LayoutEditor &editor)
{
    TfrmPreview preview;
    preview.setPaperWidth(editor.printableWidth());
    for (int k = 1; k <= qMin(editor.previewLabelCount(), int(TfrmPreview::SourceCount)); ++k)
        preview.setSource(k, editor.previewLabel(k));
    preview.setImageSource(bmpPreview);
    preview.exec();
}
