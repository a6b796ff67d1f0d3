#pragma once

#include "widgets/tovoform.h"

#include <QPointer>

#include <array>

class QLabel;

// "Vollbildanzeige": the editor's small preview enlarged on a white page as wide as the
// printable width. It draws nothing of its own; when shown it copies the look of up to 25
// text labels and one picture that the editor hands it.
class TfrmPreview : public TOVOForm
{
    Q_OBJECT
public:
    static constexpr int SourceCount = 25;

    explicit TfrmPreview(QWidget *parent = nullptr);

    // Source k (1..25) for label k; null leaves the label as designed.
    void setSource(int k, QLabel *source);
    void setImageSource(QLabel *source);

    QLabel *label(int k) const { return m_labels.at(k - 1); }
    QLabel *image() const { return m_image; }

    // Copies every set source into its label and the picture into the image.
    void copySources();

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::array<QLabel *, SourceCount> m_labels{};
    std::array<QPointer<QLabel>, SourceCount> m_sources{};
    QLabel *m_image = nullptr;
    QPointer<QLabel> m_imageSource;
};

// The width of the full-screen preview for a printable width W: W + 52.
constexpr int previewWindowWidth(int printableWidth)
{
    return printableWidth + 52;
}
