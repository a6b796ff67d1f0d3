#include "core/output/pngencoder.h"

#include <QImage>
#include <QPainter>

#include <csetjmp>
#include <png.h>

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t size)
{
    static_cast<QByteArray *>(png_get_io_ptr(png))
            ->append(reinterpret_cast<const char *>(data), qsizetype(size));
}

void noFlush(png_structp) {}

// libpng reports failures by jumping back to its setjmp: nothing between here and there may
// need a destructor, so the rows are prepared by the caller and only pointers cross.
bool writeRows(QByteArray *out, int width, int height, bool grey, const uchar *const *rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, appendBytes, noFlush);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8,
                 grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, rows[y]);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

// The grey level of every pixel, or a null picture as soon as one has colour. One pass over
// the pixels: Qt's allGray() and conversion take two, the conversion a slow one.
QImage greyLevels(const QImage &rgb)
{
    QImage grey(rgb.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        uchar *out = grey.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = in[x];
            if (qRed(p) != qBlue(p) || qGreen(p) != qBlue(p))
                return {};
            out[x] = uchar(qBlue(p));
        }
    }
    return grey;
}

} // namespace

QByteArray encodePrintPng(const QImage &picture)
{
    if (picture.isNull())
        return {};
    // Pictures of prints are painted opaque (RGB32); anything else is laid on white paper first.
    QImage rgb = picture;
    if (picture.hasAlphaChannel()) {
        rgb = QImage(picture.size(), QImage::Format_RGB32);
        rgb.fill(Qt::white);
        QPainter(&rgb).drawImage(0, 0, picture);
    } else if (picture.format() != QImage::Format_RGB32) {
        rgb = picture.convertToFormat(QImage::Format_RGB32);
    }
    QImage rows = greyLevels(rgb);
    const bool grey = !rows.isNull();
    if (!grey)
        rows = rgb.convertToFormat(QImage::Format_RGB888);
    QList<const uchar *> lines(rows.height());
    for (int y = 0; y < rows.height(); ++y)
        lines[y] = rows.constScanLine(y);
    QByteArray png;
    png.reserve(qsizetype(rows.sizeInBytes() / 8));
    if (!writeRows(&png, rows.width(), rows.height(), grey, lines.constData()))
        return {};
    return png;
}
