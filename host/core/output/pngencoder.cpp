#include "core/output/pngencoder.h"

#include "core/base/lazylibrary.h"

#include <QImage>
#include <QPainter>

#include <libdeflate.h>

#include <memory>

namespace {

// libdeflate is loaded with the first picture written.
struct DeflateLibrary
{
    decltype(&libdeflate_alloc_compressor) allocCompressor = nullptr;
    decltype(&libdeflate_free_compressor) freeCompressor = nullptr;
    decltype(&libdeflate_zlib_compress_bound) zlibCompressBound = nullptr;
    decltype(&libdeflate_zlib_compress) zlibCompress = nullptr;
    decltype(&libdeflate_crc32) crc32 = nullptr;
    QString error; // why it could not be used; empty when every call was found
};

const DeflateLibrary &deflateLibrary()
{
    static const DeflateLibrary deflate = [] {
        DeflateLibrary d;
        LazyLibrary library(
                QStringLiteral(KASSOTYP_DEFLATE_SONAME), QString(),
                QStringLiteral("Die Kompressionsbibliothek (" KASSOTYP_DEFLATE_SONAME ")"));
        library.find(d.allocCompressor, "libdeflate_alloc_compressor");
        library.find(d.freeCompressor, "libdeflate_free_compressor");
        library.find(d.zlibCompressBound, "libdeflate_zlib_compress_bound");
        library.find(d.zlibCompress, "libdeflate_zlib_compress");
        library.find(d.crc32, "libdeflate_crc32");
        d.error = library.error();
        return d;
    }();
    return deflate;
}

void appendBigEndian(QByteArray &out, quint32 value)
{
    const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    out.append(bytes, 4);
}

// A chunk of the PNG file: length, type, data and the CRC of type and data.
void appendChunk(QByteArray &png, const char (&type)[5], const QByteArray &data)
{
    appendBigEndian(png, quint32(data.size()));
    const qsizetype typeAt = png.size();
    png.append(type, 4);
    png.append(data);
    appendBigEndian(png,
                    deflateLibrary().crc32(0, png.constData() + typeAt, size_t(4 + data.size())));
}

// The rows as PNG stores them, each a filter byte ("none") and its pixels' grey levels; false
// as soon as a pixel has colour. One pass: Qt's allGray() and conversion take two.
bool greyRows(const QImage &rgb, QByteArray &raw)
{
    const int width = rgb.width();
    const int height = rgb.height();
    raw.resize(qsizetype(height) * (width + 1));
    auto *out = reinterpret_cast<uchar *>(raw.data());
    for (int y = 0; y < height; ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        *out++ = 0;
        for (int x = 0; x < width; ++x) {
            const QRgb p = in[x];
            const uchar blue = uchar(qBlue(p));
            if (uchar(qRed(p)) != blue || uchar(qGreen(p)) != blue)
                return false;
            *out++ = blue;
        }
    }
    return true;
}

void rgbRows(const QImage &rgb, QByteArray &raw)
{
    const int width = rgb.width();
    const int height = rgb.height();
    raw.resize(qsizetype(height) * (3 * width + 1));
    auto *out = reinterpret_cast<uchar *>(raw.data());
    for (int y = 0; y < height; ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        *out++ = 0;
        for (int x = 0; x < width; ++x) {
            *out++ = uchar(qRed(in[x]));
            *out++ = uchar(qGreen(in[x]));
            *out++ = uchar(qBlue(in[x]));
        }
    }
}

// The rows as one zlib stream at libdeflate's fastest level: faster than zlib's fastest and
// smaller.
QByteArray compressed(const DeflateLibrary &deflate, const QByteArray &raw)
{
    const std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> compressor(
            deflate.allocCompressor(1), deflate.freeCompressor);
    if (!compressor)
        return {};
    QByteArray out(qsizetype(deflate.zlibCompressBound(compressor.get(), size_t(raw.size()))),
                   Qt::Uninitialized);
    const size_t size = deflate.zlibCompress(compressor.get(), raw.constData(), size_t(raw.size()),
                                             out.data(), size_t(out.size()));
    if (size == 0)
        return {};
    out.truncate(qsizetype(size));
    return out;
}

} // namespace

QByteArray encodePrintPng(const QImage &picture, QString *problem)
{
    if (picture.isNull())
        return {};
    const DeflateLibrary &deflate = deflateLibrary();
    if (!deflate.error.isEmpty()) {
        if (problem)
            *problem = deflate.error;
        return {};
    }
    // Pictures of prints are painted opaque (RGB32); anything else is laid on white paper first.
    QImage rgb = picture;
    if (picture.hasAlphaChannel()) {
        rgb = QImage(picture.size(), QImage::Format_RGB32);
        rgb.fill(Qt::white);
        QPainter(&rgb).drawImage(0, 0, picture);
    } else if (picture.format() != QImage::Format_RGB32) {
        rgb = picture.convertToFormat(QImage::Format_RGB32);
    }
    QByteArray raw;
    const bool grey = greyRows(rgb, raw);
    if (!grey)
        rgbRows(rgb, raw);
    const QByteArray stream = compressed(deflate, raw);
    if (stream.isEmpty())
        return {};

    QByteArray header;
    appendBigEndian(header, quint32(rgb.width()));
    appendBigEndian(header, quint32(rgb.height()));
    header.append(char(8));            // bits per sample
    header.append(char(grey ? 0 : 2)); // grey levels or RGB
    header.append(3, char(0));         // deflate, the standard filters, not interlaced
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    png.reserve(png.size() + 3 * 12 + header.size() + stream.size());
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", stream);
    appendChunk(png, "IEND", QByteArray());
    return png;
}
