#include "core/engine/printjob.h"

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

LineStyle lineStyle(const QString &fontName, const QString &size, const QString &style)
{
    LineStyle line;
    line.fontName = fontName;
    bool ok = false;
    const int points = size.trimmed().toInt(&ok);
    line.pointSize = ok && points > 0 ? points : 10;
    line.bold = style == QLatin1String("fett") || style == QLatin1String("fett/kursiv");
    line.italic = style == QLatin1String("kursiv") || style == QLatin1String("fett/kursiv");
    return line;
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

int jobHeight(const PrintJob &job, double dotsPerInch)
{
    const double scale = dotsPerInch / 96.0;
    int height = 0;
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
            height += int(16 * scale);
            break;
        }
    }
    return height;
}

void paintJob(QPainter &p, const PrintJob &job, double dotsPerInch, int x0, int y, int width,
              CutMark cutMark)
{
    const double scale = dotsPerInch / 96.0;
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setPen(Qt::black);
    for (const JobItem &item : job.items) {
        switch (item.kind) {
        case JobItem::Kind::Text: {
            const QFont font = fontOf(item, scale);
            p.setFont(font);
            const int h = QFontMetrics(font).height();
            p.drawText(QRect(x0, y, width, h), int(item.alignment | Qt::AlignVCenter), item.text);
            y += h;
            break;
        }
        case JobItem::Kind::Picture: {
            const int w = qMin(width, int(item.widthCm * dotsPerInch / 2.54));
            const int h = int(item.heightCm * dotsPerInch / 2.54);
            int x = x0;
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
        case JobItem::Kind::Cut: {
            const int h = int(16 * scale);
            if (cutMark == CutMark::Drawn) {
                p.setPen(QPen(Qt::gray, 1, Qt::DashLine));
                p.drawLine(x0 - MarginPx, y + h / 2, x0 + width + MarginPx, y + h / 2);
                p.setPen(Qt::black);
            }
            y += h;
            break;
        }
        }
    }
}

QImage renderJobToImage(const PrintJob &job, double dotsPerInch)
{
    const int width = int(job.printableWidthCm() * dotsPerInch / 2.54);
    const int height = qMin(jobHeight(job, dotsPerInch) + 2 * MarginPx, 30000);
    QImage image(width + 2 * MarginPx, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    paintJob(p, job, dotsPerInch, MarginPx, MarginPx, width);
    return image;
}
