#include "printjob.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>

double PrintJob::printableWidthCm() const
{
    const double w = paperWidthCm - leftMarginCm - rightMarginCm;
    return w > 0.5 ? w : 7.2; // a job without page setup is shown on 80 mm paper
}

QStringList PrintJob::texts() const
{
    QStringList list;
    for (const JobItem &item : items) {
        if (item.kind == JobItem::Kind::Text)
            list << item.text;
    }
    return list;
}

Qt::Alignment alignmentFromText(const QString &text)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("mitte") || t == QLatin1String("m") || t == QLatin1String("c"))
        return Qt::AlignHCenter;
    if (t == QLatin1String("rechts") || t == QLatin1String("r"))
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

namespace {

constexpr int MarginPx = 12;

QFont fontOf(const JobItem &item, double scale)
{
    QFont font(item.fontName.isEmpty() ? QStringLiteral("Sans Serif") : item.fontName);
    font.setPixelSize(qMax(6, int(std::lround(item.pointSize * scale * 96.0 / 72.0))));
    font.setBold(item.bold);
    font.setItalic(item.italic);
    return font;
}

} // namespace

QImage renderJobToImage(const PrintJob &job, double dotsPerInch)
{
    const double scale = dotsPerInch / 96.0;
    const int width = int(job.printableWidthCm() * dotsPerInch / 2.54);

    // First pass: heights, so that the picture is exactly as long as the strip.
    int height = MarginPx;
    for (const JobItem &item : job.items) {
        switch (item.kind) {
        case JobItem::Kind::Text:
            height += QFontMetrics(fontOf(item, scale)).height();
            break;
        case JobItem::Kind::Picture:
            height += int(item.heightCm * dotsPerInch / 2.54) + 4;
            break;
        case JobItem::Kind::Feed:
            height += item.lines * QFontMetrics(fontOf(item, scale)).height();
            break;
        case JobItem::Kind::Cut:
            height += 16;
            break;
        }
    }
    height += MarginPx;

    QImage image(width + 2 * MarginPx, qMin(height, 30000), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setPen(Qt::black);
    int y = MarginPx;
    for (const JobItem &item : job.items) {
        switch (item.kind) {
        case JobItem::Kind::Text: {
            const QFont font = fontOf(item, scale);
            p.setFont(font);
            const int h = QFontMetrics(font).height();
            p.drawText(QRect(MarginPx, y, width, h), int(item.alignment | Qt::AlignVCenter),
                       item.text);
            y += h;
            break;
        }
        case JobItem::Kind::Picture: {
            const int w = qMin(width, int(item.widthCm * dotsPerInch / 2.54));
            const int h = int(item.heightCm * dotsPerInch / 2.54);
            int x = MarginPx;
            if (item.alignment & Qt::AlignHCenter)
                x += (width - w) / 2;
            else if (item.alignment & Qt::AlignRight)
                x += width - w;
            p.drawImage(QRect(x, y, w, h), item.picture);
            y += h + 4;
            break;
        }
        case JobItem::Kind::Feed:
            y += item.lines * QFontMetrics(fontOf(item, scale)).height();
            break;
        case JobItem::Kind::Cut:
            p.setPen(QPen(Qt::gray, 1, Qt::DashLine));
            p.drawLine(0, y + 8, image.width(), y + 8);
            p.setPen(Qt::black);
            y += 16;
            break;
        }
    }
    return image;
}
