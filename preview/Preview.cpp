#include "preview/Preview.h"

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

TfrmPreview::TfrmPreview(QWidget *parent)
    : TOVOForm(parent)
{
    OVOFormInit(QStringLiteral("frmPreview"), true);
    setWindowTitle(tr("Vollbildanzeige"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    resize(688, 573);

    auto *frame = new QScrollArea(this);
    frame->setObjectName(QStringLiteral("scbPage"));
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setWidgetResizable(true);
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("pnlPage"));
    page->setAutoFillBackground(true);
    QPalette white = page->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    page->setPalette(white);
    frame->setWidget(page);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);

    for (int k = 1; k <= SourceCount; ++k) {
        auto *label = new QLabel(QStringLiteral("lblPreview%1").arg(k), page);
        label->setObjectName(QStringLiteral("lblPreview%1").arg(k));
        label->setAutoFillBackground(true); // not transparent
        label->setGeometry(10, 10 + (k - 1) * 20, 200, 17);
        label->hide();
        m_labels[k - 1] = label;
    }
    m_image = new QLabel(page);
    m_image->setObjectName(QStringLiteral("bmpPreview"));
    m_image->setScaledContents(true);
    m_image->setGeometry(10, 10, 105, 105);
    m_image->hide();

    addGuardedAction(QStringLiteral("actAbbrechen"), QKeySequence(Qt::Key_Escape),
                     QStringLiteral("actAbbrechenExecute"), [this] { TOVOForm::reject(); });
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
    int bottom = 0;
    for (int k = 0; k < SourceCount; ++k) {
        const QLabel *source = m_sources[k];
        if (!source)
            continue;
        QLabel *label = m_labels[k];
        label->setFont(source->font());
        // A line shows either text or what the printer draws of it.
        if (!source->pixmap().isNull())
            label->setPixmap(source->pixmap());
        else
            label->setText(source->text());
        label->setFrameStyle(source->frameStyle());
        label->setAccessibleName(source->accessibleName());
        label->setGeometry(source->x(), source->y(), source->width(), source->height());
        label->setAlignment(source->alignment());
        label->setPalette(source->palette());
        label->setToolTip(source->toolTip());
        // Visibility as the editor has it, also while the editor itself is not on screen.
        label->setVisible(!source->isHidden());
        if (!source->isHidden())
            bottom = qMax(bottom, label->geometry().bottom());
    }
    if (const QLabel *source = m_imageSource) {
        m_image->setGeometry(source->geometry());
        m_image->setPixmap(source->pixmap());
        m_image->setVisible(!source->isHidden());
        if (!source->isHidden())
            bottom = qMax(bottom, m_image->geometry().bottom());
    }
    m_image->parentWidget()->setMinimumHeight(bottom + 10);
}

void TfrmPreview::showEvent(QShowEvent *event)
{
    TOVOForm::showEvent(event);
    guard(QStringLiteral("FormShow"), [this] { copySources(); });
}
