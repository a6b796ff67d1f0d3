#pragma once

#include "widgets/tovoform.h"

#include <QFont>
#include <QPixmap>
#include <QPointer>

#include <array>

class QLabel;

// "Vollbildanzeige": the editor's small preview enlarged to fill the screen, the paper scaled
// to the screen's height or width, whichever it reaches first. It draws nothing of its own;
// when shown it copies the look of up to 25 text labels and one picture that the editor hands
// it, and scales them with the paper.
class TfrmPreview : public TOVOForm
{
    Q_OBJECT
public:
    static constexpr int SourceCount = 25;

    explicit TfrmPreview(QWidget *parent = nullptr);

    // The printable width in screen pixels the editor drew its preview for; the paper is that
    // wide plus the preview's margins. The window's restored width follows it.
    void setPaperWidth(int printableWidth);

    // Source k (1..25) for label k; null leaves the label as designed.
    void setSource(int k, QLabel *source);
    void setImageSource(QLabel *source);

    QLabel *label(int k) const { return m_labels.at(k - 1); }
    QLabel *image() const { return m_image; }
    // The white paper the labels sit on.
    QWidget *page() const { return m_page; }
    // How much larger than in the editor the paper is shown.
    double scale() const { return m_scale; }

    // Copies every set source into its label and the picture into the image.
    void copySources();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // What a label copied from its source, at the editor's size.
    struct Copied
    {
        bool set = false;
        QRect geometry;
        QFont font;
        QPixmap picture;
    };
    // Sizes the paper to the window and scales what was copied onto it.
    void fitPaper();

    std::array<QLabel *, SourceCount> m_labels{};
    std::array<QPointer<QLabel>, SourceCount> m_sources{};
    std::array<Copied, SourceCount> m_copied{};
    QLabel *m_image = nullptr;
    QPointer<QLabel> m_imageSource;
    Copied m_copiedImage;
    class QScrollArea *m_frame = nullptr;
    QWidget *m_page = nullptr;
    int m_paperWidth = 0;
    QSize m_paper;
    double m_scale = 1.0;
};

// The restored width of the full-screen preview for a printable width W: W + 52.
constexpr int previewWindowWidth(int printableWidth)
{
    return printableWidth + 52;
}
