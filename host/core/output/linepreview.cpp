#include "core/output/linepreview.h"

#include "core/output/virtualprinter.h"

#include <QCache>

namespace {

// The virtual printer's picture has a margin of this many dots on every side.
constexpr int PictureMargin = 10;
// Lines whose printed picture is kept: more than the largest editor shows.
constexpr int PreviewCacheLines = 256;

} // namespace

LinePreview textModeLinePreview(const QList<JobItem> &items, const QStringList &printerRecord,
                                const EscPosSettings &settings)
{
    PrintJob job;
    job.mode = QStringLiteral("T");
    job.items = items;
    const EscPosResult encoded = EscPosEncoder(printerRecord, settings).encode(job);
    LinePreview preview;
    preview.dotWidth = settings.dotWidth;
    preview.unprintable = encoded.unprintable;
    // Reading the bytes back draws every character; a refresh after typing in one line finds
    // the others here. The same bytes on the same width are the same dots.
    struct Printed
    {
        QImage picture;
        QStringList rows;
    };
    static QCache<QByteArray, Printed> printed(PreviewCacheLines);
    const QByteArray key = QByteArray::number(settings.dotWidth) + ':' + encoded.bytes;
    if (const Printed *known = printed.object(key)) {
        preview.picture = known->picture;
        preview.rows = known->rows;
        return preview;
    }
    VirtualEscPosPrinter printer(settings.dotWidth);
    printer.feed(encoded.bytes);
    const QImage strip = printer.picture();
    preview.picture = strip.copy(PictureMargin, PictureMargin, settings.dotWidth,
                                 qMax(1, strip.height() - 2 * PictureMargin));
    preview.rows = printer.lines();
    printed.insert(key, new Printed{preview.picture, preview.rows});
    return preview;
}

LinePreview graphicLinePreview(const QList<JobItem> &items, double widthCm, double dotsPerInch)
{
    LinePreview preview;
    bool barcode = false;
    for (const JobItem &item : items) {
        barcode = barcode || item.kind == JobItem::Kind::Barcode
                  || item.kind == JobItem::Kind::QrCode;
        preview.rows << item.text;
        preview.cut = preview.cut || (widthCm > 0 && !lineFits(item, widthCm));
    }
    if (barcode) {
        PrintJob job;
        job.mode = QStringLiteral("G");
        job.paperWidthCm = widthCm;
        job.items = items;
        const QImage strip = renderJobToImage(job, dotsPerInch);
        // The strip has the same margin on every side; the preview has its own.
        const int margin = qMax(0, (strip.width() - int(widthCm * dotsPerInch / 2.54)) / 2);
        preview.picture = strip.copy(margin, margin, strip.width() - 2 * margin,
                                     qMax(1, strip.height() - 2 * margin));
    }
    return preview;
}
