#include "core/engine/printjob.h"

#include "core/engine/barcode.h"

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
// Every output lays the document out in pixels of a 96 dpi screen and scales that to its own
// resolution, so that the live preview, the picture, the PDF and the printer break, align and
// place every line alike.
constexpr double LayoutDpi = 96.0;

QFont fontOf(const JobItem &item)
{
    QFont font(item.fontName.isEmpty() ? QStringLiteral("Sans Serif") : item.fontName);
    font.setPixelSize(qMax(6, int(std::lround(item.pointSize * LayoutDpi / 72.0))));
    font.setBold(item.bold);
    font.setItalic(item.italic);
    // Unhinted glyphs are as wide at 96 dpi as in a PDF: a line that fits one fits all.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// Bars 1.2 cm high, set off from the lines around them and from the characters below.
constexpr int BarHeightPx = 45;
constexpr int BarGapPx = 4;

// The modules of a barcode item; empty when its value is no barcode, so that it prints as text.
QList<bool> barcodeModules(const JobItem &item)
{
    return item.kind == JobItem::Kind::Barcode ? Code128::modules(item.text) : QList<bool>();
}

int itemHeight(const JobItem &item)
{
    switch (item.kind) {
    case JobItem::Kind::Text:
        return QFontMetrics(fontOf(item)).height();
    case JobItem::Kind::Barcode:
        return QFontMetrics(fontOf(item)).height()
               + (barcodeModules(item).isEmpty() ? 0 : 2 * BarGapPx + BarHeightPx);
    case JobItem::Kind::Picture:
        return int(item.heightCm * LayoutDpi / 2.54) + 4;
    case JobItem::Kind::Feed:
        return item.lines * QFontMetrics(fontOf(item)).height();
    case JobItem::Kind::Cut:
        return 16;
    }
    return 0;
}

} // namespace

bool lineFits(const JobItem &item, double widthCm)
{
    if (item.kind != JobItem::Kind::Text)
        return true;
    const double width = widthCm * LayoutDpi / 2.54;
    return QFontMetricsF(fontOf(item)).horizontalAdvance(item.text) <= width + 0.5;
}

QStringList breakToWidth(const JobItem &item, double widthCm)
{
    const QFontMetricsF metrics(fontOf(item));
    const double width = widthCm * LayoutDpi / 2.54 + 0.5;
    QStringList lines;
    QString line;
    for (const QString &word : item.text.split(u' ', Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + u' ' + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
            lines << line;
            line = word;
        } else {
            line = longer;
        }
    }
    lines << line;
    return lines;
}

int jobHeight(const PrintJob &job, double dotsPerInch)
{
    int height = 0;
    for (const JobItem &item : job.items)
        height += itemHeight(item);
    return int(std::ceil(height * dotsPerInch / LayoutDpi));
}

void paintJob(QPainter &p, const PrintJob &job, double dotsPerInch, int x0, int y0, int width,
              CutMark cutMark)
{
    const double scale = dotsPerInch / LayoutDpi;
    const double w = width / scale;
    p.save();
    p.translate(x0, y0);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setPen(Qt::black);
    double y = 0;
    const auto paintText = [&](const JobItem &item, double top, int h) {
        const QFont font = fontOf(item);
        p.setFont(font);
        const double advance = QFontMetricsF(font).horizontalAdvance(item.text);
        Qt::Alignment alignment = item.alignment;
        if (advance > w + 0.5) {
            // Too wide for the paper: it starts at the left edge, so that only its end is
            // lost, and a picture for the screen marks it in the margin.
            alignment = Qt::AlignLeft;
            if (cutMark == CutMark::Drawn)
                p.fillRect(QRectF(w + 3, top + 1, 4, h - 2), QColor(0xd0, 0x20, 0x20));
        }
        p.drawText(QRectF(0, top, w, h), int(alignment | Qt::AlignVCenter | Qt::TextDontClip),
                   item.text);
    };
    for (const JobItem &item : job.items) {
        const int h = itemHeight(item);
        switch (item.kind) {
        case JobItem::Kind::Text:
            paintText(item, y, h);
            break;
        case JobItem::Kind::Barcode: {
            const QList<bool> modules = barcodeModules(item);
            if (modules.isEmpty()) {
                paintText(item, y, h);
                break;
            }
            // One layout pixel (0.26 mm) per module, about the narrowest bar a receipt
            // printer sets; a code wider than the paper is narrowed to fit it.
            const double module = qMin(1.0, w / modules.size());
            const double codeWidth = module * modules.size();
            double x = 0;
            if (item.alignment & Qt::AlignHCenter)
                x = std::floor((w - codeWidth) / 2);
            else if (item.alignment & Qt::AlignRight)
                x = std::floor(w - codeWidth);
            Code128::paintBars(p, modules, x, y + BarGapPx, module, BarHeightPx);
            // The characters are centred below the bars, as a printer sets them, and kept on
            // the paper when they are wider than the code.
            const QFont font = fontOf(item);
            p.setFont(font);
            const double textWidth =
                    qMax(codeWidth, QFontMetricsF(font).horizontalAdvance(item.text));
            const double textX = qMax(0.0, qMin(x + (codeWidth - textWidth) / 2, w - textWidth));
            const double textY = y + 2 * BarGapPx + BarHeightPx;
            p.drawText(QRectF(textX, textY, textWidth, y + h - textY),
                       int(Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextDontClip), item.text);
            break;
        }
        case JobItem::Kind::Picture: {
            const double pw = qMin(w, item.widthCm * LayoutDpi / 2.54);
            const double ph = item.heightCm * LayoutDpi / 2.54;
            double x = 0;
            if (item.alignment & Qt::AlignHCenter)
                x += (w - pw) / 2;
            else if (item.alignment & Qt::AlignRight)
                x += w - pw;
            p.drawImage(QRectF(x, y, pw, ph), item.picture);
            break;
        }
        case JobItem::Kind::Feed:
            break;
        case JobItem::Kind::Cut:
            if (cutMark == CutMark::Drawn) {
                p.setPen(QPen(QColor(CutMarkGrey), 0, Qt::DashLine));
                p.drawLine(QPointF(-MarginPx, y + h / 2.0), QPointF(w + MarginPx, y + h / 2.0));
                p.setPen(Qt::black);
            }
            break;
        }
        y += h;
    }
    p.restore();
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
