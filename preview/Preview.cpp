#include "preview/Preview.h"

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

// The editor's preview page keeps this much white on each side of the printable width.
constexpr int PageMargin = 10;

QFont scaledFont(QFont font, double scale)
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * scale);
    else if (font.pixelSize() > 0)
        font.setPixelSize(qMax(1, qRound(font.pixelSize() * scale)));
    return font;
}

QRect scaledRect(const QRect &r, double scale)
{
    const QPoint topLeft(qRound(r.x() * scale), qRound(r.y() * scale));
    const QPoint bottomRight(qRound((r.x() + r.width()) * scale),
                             qRound((r.y() + r.height()) * scale));
    return {topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y())};
}

} // namespace

TfrmPreview::TfrmPreview(QWidget *parent)
    : TOVOForm(parent)
{
    OVOFormInit(QStringLiteral("frmPreview"), true);
    setWindowTitle(tr("Vollbildanzeige"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    resize(688, 573);
    setWindowState(Qt::WindowMaximized);

    // The paper in the middle of a grey desk; it is scaled to fit, so nothing scrolls.
    m_frame = new QScrollArea(this);
    m_frame->setObjectName(QStringLiteral("scbPage"));
    m_frame->setFrameShape(QFrame::Panel);
    m_frame->setFrameShadow(QFrame::Sunken);
    m_frame->setWidgetResizable(false);
    m_frame->setAlignment(Qt::AlignCenter);
    m_frame->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frame->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette desk = m_frame->palette();
    desk.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    m_frame->setPalette(desk);
    m_frame->viewport()->setPalette(desk);
    m_frame->viewport()->setAutoFillBackground(true);
    m_page = new QWidget;
    m_page->setObjectName(QStringLiteral("pnlPage"));
    m_page->setAutoFillBackground(true);
    QPalette white = m_page->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    m_page->setPalette(white);
    m_frame->setWidget(m_page);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_frame);

    for (int k = 1; k <= SourceCount; ++k) {
        auto *label = new QLabel(QStringLiteral("lblPreview%1").arg(k), m_page);
        label->setObjectName(QStringLiteral("lblPreview%1").arg(k));
        label->setAutoFillBackground(true); // not transparent
        label->setGeometry(10, 10 + (k - 1) * 20, 200, 17);
        label->hide();
        m_labels[k - 1] = label;
    }
    m_image = new QLabel(m_page);
    m_image->setObjectName(QStringLiteral("bmpPreview"));
    m_image->setScaledContents(true);
    m_image->setGeometry(10, 10, 105, 105);
    m_image->hide();

    addGuardedAction(QStringLiteral("actAbbrechen"), QKeySequence(Qt::Key_Escape),
                     QStringLiteral("actAbbrechenExecute"), [this] { TOVOForm::reject(); });
}

void TfrmPreview::setPaperWidth(int printableWidth)
{
    m_paperWidth = printableWidth + 2 * PageMargin;
    resize(previewWindowWidth(printableWidth), height());
}

void TfrmPreview::setSource(int k, QLabel *source)
{
    if (k >= 1 && k <= SourceCount)
        m_sources[k - 1] = source;
}

void TfrmPreview::setImageSource(QLabel *source)
{
    m_imageSource = source;
}

void TfrmPreview::copySources()
{
    int right = 0;
    int bottom = 0;
    const auto extend = [&](const QRect &r) {
        right = qMax(right, r.x() + r.width());
        bottom = qMax(bottom, r.y() + r.height());
    };
    for (int k = 0; k < SourceCount; ++k) {
        const QLabel *source = m_sources[k];
        if (!source)
            continue;
        QLabel *label = m_labels[k];
        Copied &copied = m_copied[k];
        copied = {true, source->geometry(), source->font(), source->pixmap()};
        // A line shows either text or what the printer draws of it.
        if (copied.picture.isNull())
            label->setText(source->text());
        label->setFrameStyle(source->frameStyle());
        label->setAccessibleName(source->accessibleName());
        label->setAlignment(source->alignment());
        label->setPalette(source->palette());
        label->setToolTip(source->toolTip());
        // Visibility as the editor has it, also while the editor itself is not on screen.
        label->setVisible(!source->isHidden());
        if (!source->isHidden())
            extend(copied.geometry);
    }
    if (const QLabel *source = m_imageSource) {
        m_copiedImage = {true, source->geometry(), source->font(), source->pixmap()};
        m_image->setPixmap(source->pixmap());
        m_image->setVisible(!source->isHidden());
        if (!source->isHidden())
            extend(m_copiedImage.geometry);
    }
    m_paper = QSize(qMax(m_paperWidth, right + PageMargin), bottom + PageMargin);
    fitPaper();
}

void TfrmPreview::fitPaper()
{
    if (m_paper.isEmpty())
        return;
    const QSize room = m_frame->viewport()->size();
    m_scale = qMax(0.1, qMin(double(room.width()) / m_paper.width(),
                             double(room.height()) / m_paper.height()));
    m_page->resize(scaledRect(QRect(QPoint(0, 0), m_paper), m_scale).size());
    for (int k = 0; k < SourceCount; ++k) {
        const Copied &copied = m_copied[k];
        if (!copied.set)
            continue;
        QLabel *label = m_labels[k];
        label->setGeometry(scaledRect(copied.geometry, m_scale));
        label->setFont(scaledFont(copied.font, m_scale));
        if (!copied.picture.isNull())
            label->setPixmap(copied.picture.scaled(label->size(), Qt::IgnoreAspectRatio,
                                                   Qt::SmoothTransformation));
    }
    if (m_copiedImage.set)
        m_image->setGeometry(scaledRect(m_copiedImage.geometry, m_scale));
}

void TfrmPreview::showEvent(QShowEvent *event)
{
    TOVOForm::showEvent(event);
    guard(QStringLiteral("FormShow"), [this] { copySources(); });
}

void TfrmPreview::resizeEvent(QResizeEvent *event)
{
    TOVOForm::resizeEvent(event);
    // The layout has sized the frame by now; the paper follows the window.
    guard(QStringLiteral("FormResize"), [this] { fitPaper(); });
}
