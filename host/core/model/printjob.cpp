#include "core/model/printjob.h"

#include "core/model/barcode.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QRawFont>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <vector>

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

// The widest printable ASCII character of the font; 0 when the font lacks one of them and
// another font, perhaps a wider one, would stand in for it.
double maxAsciiWidth(const QFont &font)
{
    const QRawFont own = QRawFont::fromFont(font);
    bool allAscii = own.isValid();
    for (char16_t c = 0x20; allAscii && c < 0x7f; ++c)
        allAscii = own.supportsCharacter(QChar(c));
    return allAscii ? QFontMetricsF(font).maxWidth() : 0;
}

// Whether a text certainly fits `width` without measuring it, in a font whose widest printable
// ASCII character is `widest`: measuring shapes the whole text, and most lines are far from the
// edge of the paper. One character more is allowed for what kerning may add.
bool surelyFits(const QString &text, double widest, double width)
{
    const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() >= 0x20 && c.unicode() < 0x7f;
    });
    return widest > 0 && ascii && (text.size() + 1) * widest <= width;
}

// What painting needs of each item, worked out once per job: its font, its height and, for a
// barcode, its modules. A receipt uses a handful of fonts for dozens of lines, so the fonts'
// metrics are asked once each.
struct ItemLayout
{
    QFont font;
    int height = 0;
    QList<bool> modules;
    // A QR code that fits the paper; null when its value prints as text.
    QrCode::Symbol qr;
    // No printable ASCII character of the font is wider; 0 when the font lacks one of them and
    // another font would stand in for it.
    double maxAsciiWidth = 0;
};

class JobLayout
{
public:
    explicit JobLayout(const PrintJob &job)
        : m_widthCm(job.printableWidthCm())
    {
        m_items.reserve(job.items.size());
        for (const JobItem &item : job.items)
            m_items.push_back(layOut(item));
    }

    const ItemLayout &operator[](qsizetype i) const { return m_items[size_t(i)]; }
    int height() const
    {
        int sum = 0;
        for (const ItemLayout &item : m_items)
            sum += item.height;
        return sum;
    }

private:
    struct Metrics
    {
        int height = 0;
        double maxAsciiWidth = 0;
    };

    ItemLayout layOut(const JobItem &item)
    {
        ItemLayout l;
        if (item.kind == JobItem::Kind::Picture) {
            l.height = int(item.heightCm * LayoutDpi / 2.54) + 4;
            return l;
        }
        if (item.kind == JobItem::Kind::Cut) {
            l.height = 16;
            return l;
        }
        l.font = fontOf(item);
        const Metrics &metrics = metricsOf(l.font);
        l.maxAsciiWidth = metrics.maxAsciiWidth;
        switch (item.kind) {
        case JobItem::Kind::Barcode:
            l.modules = barcodeModules(item);
            l.height = metrics.height + (l.modules.isEmpty() ? 0 : 2 * BarGapPx + BarHeightPx);
            break;
        case JobItem::Kind::QrCode: {
            if (!QrCode::problem(item.text, item.qr, item.qr.dotsAcross(m_widthCm), &l.qr).isEmpty()
                || item.text.isEmpty())
                l.qr = {};
            l.height = l.qr.isNull() ? metrics.height
                                     : int(std::ceil(l.qr.dotsWithQuietZones(item.qr)
                                                     / item.qr.dotsPerMm * LayoutDpi / 25.4));
            break;
        }
        case JobItem::Kind::Feed:
            l.height = item.lines * metrics.height;
            break;
        default:
            l.height = metrics.height;
            break;
        }
        return l;
    }

    const Metrics &metricsOf(const QFont &font)
    {
        const QString key = font.key();
        auto it = m_metrics.find(key);
        if (it == m_metrics.end()) {
            it = m_metrics.insert(key, {QFontMetrics(font).height(), maxAsciiWidth(font)});
        }
        return *it;
    }

    double m_widthCm;
    std::vector<ItemLayout> m_items;
    QHash<QString, Metrics> m_metrics;
};

int scaledHeight(const JobLayout &layout, double dotsPerInch)
{
    return int(std::ceil(layout.height() * dotsPerInch / LayoutDpi));
}

void paintLaidOut(QPainter &p, const PrintJob &job, const JobLayout &layout, double dotsPerInch,
                  int x0, int y0, int width, CutMark cutMark);

} // namespace

bool lineFits(const JobItem &item, double widthCm)
{
    if (item.kind != JobItem::Kind::Text)
        return true;
    const double width = widthCm * LayoutDpi / 2.54 + 0.5;
    const QFont font = fontOf(item);
    return surelyFits(item.text, maxAsciiWidth(font), width)
           || QFontMetricsF(font).horizontalAdvance(item.text) <= width;
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

namespace {

// A line of text without spaces (a QR code's data) in pieces that fit a strip this wide,
// broken between any two characters.
QStringList breakAnywhere(const JobItem &item, double widthCm)
{
    const QFontMetricsF metrics(fontOf(item));
    const double width = widthCm * LayoutDpi / 2.54 + 0.5;
    QStringList lines;
    QString line;
    for (const QChar c : item.text) {
        if (!line.isEmpty() && metrics.horizontalAdvance(line + c) > width) {
            lines << line;
            line.clear();
        }
        line += c;
    }
    lines << line;
    return lines;
}

} // namespace

QList<JobItem> fitToWidth(const JobItem &item, double widthCm, bool measureRunningText)
{
    if (item.kind == JobItem::Kind::QrCode) {
        if (widthCm <= 0
            || QrCode::problem(item.text, item.qr, item.qr.dotsAcross(widthCm)).isEmpty())
            return {item};
        JobItem text = item;
        text.kind = JobItem::Kind::Text;
        text.wrap = true;
        if (!measureRunningText)
            return fitToWidth(text, widthCm, false);
        QList<JobItem> fitted;
        for (JobItem line : fitToWidth(text, widthCm, true)) {
            if (lineFits(line, widthCm)) {
                fitted << line;
                continue;
            }
            for (const QString &piece : breakAnywhere(line, widthCm)) {
                line.text = piece;
                fitted << line;
            }
        }
        return fitted;
    }
    if (item.kind != JobItem::Kind::Text)
        return {item};
    static const QRegularExpression lineBreak(QStringLiteral("\\r\\n|\\r|\\n"));
    QList<JobItem> fitted;
    for (const QString &part : item.text.split(lineBreak)) {
        JobItem line = item;
        line.text = part;
        if (!measureRunningText || !item.wrap || widthCm <= 0 || lineFits(line, widthCm)) {
            fitted << line;
            continue;
        }
        for (const QString &broken : breakToWidth(line, widthCm)) {
            line.text = broken;
            fitted << line;
        }
    }
    return fitted;
}

int jobHeight(const PrintJob &job, double dotsPerInch)
{
    return scaledHeight(JobLayout(job), dotsPerInch);
}

void paintJob(QPainter &p, const PrintJob &job, double dotsPerInch, int x0, int y0, int width,
              CutMark cutMark)
{
    paintLaidOut(p, job, JobLayout(job), dotsPerInch, x0, y0, width, cutMark);
}

namespace {

void paintLaidOut(QPainter &p, const PrintJob &job, const JobLayout &layout, double dotsPerInch,
                  int x0, int y0, int width, CutMark cutMark)
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
    const auto paintText = [&](const JobItem &item, const ItemLayout &l, double top, int h) {
        p.setFont(l.font);
        Qt::Alignment alignment = item.alignment;
        if (!surelyFits(item.text, l.maxAsciiWidth, w + 0.5)
            && QFontMetricsF(l.font).horizontalAdvance(item.text) > w + 0.5) {
            // Too wide for the paper: it starts at the left edge, so that only its end is
            // lost, and a picture for the screen marks it in the margin.
            alignment = Qt::AlignLeft;
            if (cutMark == CutMark::Drawn)
                p.fillRect(QRectF(w + 3, top + 1, 4, h - 2), QColor(0xd0, 0x20, 0x20));
        }
        p.drawText(QRectF(0, top, w, h), int(alignment | Qt::AlignVCenter | Qt::TextDontClip),
                   item.text);
    };
    for (qsizetype i = 0; i < job.items.size(); ++i) {
        const JobItem &item = job.items.at(i);
        const ItemLayout &l = layout[i];
        const int h = l.height;
        switch (item.kind) {
        case JobItem::Kind::Text:
            paintText(item, l, y, h);
            break;
        case JobItem::Kind::Barcode: {
            const QList<bool> &modules = l.modules;
            if (modules.isEmpty()) {
                paintText(item, l, y, h);
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
            p.setFont(l.font);
            const double textWidth =
                    qMax(codeWidth, QFontMetricsF(l.font).horizontalAdvance(item.text));
            const double textX = qMax(0.0, qMin(x + (codeWidth - textWidth) / 2, w - textWidth));
            const double textY = y + 2 * BarGapPx + BarHeightPx;
            p.drawText(QRectF(textX, textY, textWidth, y + h - textY),
                       int(Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextDontClip), item.text);
            break;
        }
        case JobItem::Kind::QrCode: {
            if (l.qr.isNull()) {
                paintText(item, l, y, h);
                break;
            }
            const double mmToLayout = LayoutDpi / 25.4;
            const double quiet = item.qr.quietZoneDots() / item.qr.dotsPerMm * mmToLayout;
            // On whole dots of the picture or printer, so that all modules are alike: exactly
            // at the printer's resolution, slightly larger or smaller on a screen's pixels.
            const double module =
                    qMax(1.0, std::round(item.qr.moduleMm() * mmToLayout * scale)) / scale;
            const double codeWidth = l.qr.size * module;
            double x = quiet;
            if (item.alignment & Qt::AlignHCenter)
                x = (w - codeWidth) / 2;
            else if (item.alignment & Qt::AlignRight)
                x = w - codeWidth - quiet;
            x = std::round(x * scale) / scale;
            const double top = std::round((y + quiet) * scale) / scale;
            QrCode::paintModules(p, l.qr, x, top, module);
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

} // namespace

QImage renderJobToImage(const PrintJob &job, double dotsPerInch)
{
    const JobLayout layout(job);
    const int width = int(job.printableWidthCm() * dotsPerInch / 2.54);
    const int height = qMin(scaledHeight(layout, dotsPerInch) + 2 * MarginPx, 30000);
    QImage image(width + 2 * MarginPx, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    paintLaidOut(p, job, layout, dotsPerInch, MarginPx, MarginPx, width, CutMark::Drawn);
    return image;
}
