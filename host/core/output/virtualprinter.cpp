#include "core/output/virtualprinter.h"

#include "core/model/barcode.h"
#include "core/output/escpos.h"

#include <QPainter>

namespace {
// Font A is 12 x 24 dots, font B 9 x 17 dots, as on the common 80 mm printers.
constexpr int FontAHeight = 24;
constexpr int FontBHeight = 17;
constexpr int LineSpacing = 6;
constexpr int HriGap = 2; // between the bars and their characters

int cellHeight(const EscPosTextStyle &style)
{
    return (style.fontB ? FontBHeight : FontAHeight) * style.heightTimes;
}

// Text in the printer's fixed grid, one character per cell, from x.
void drawCells(QPainter &p, const QString &text, int x, int y, const EscPosTextStyle &style)
{
    const int cellW = style.cellWidth();
    const int cellH = cellHeight(style);
    QFont font(QStringLiteral("Monospace"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(cellH * 3 / 4);
    font.setBold(style.bold);
    font.setUnderline(style.underline);
    font.setStretch(qBound(50, cellW * 100 * 2 / cellH, 200));
    p.setFont(font);
    for (int c = 0; c < text.size(); ++c)
        p.drawText(QRect(x + c * cellW, y, cellW, cellH), Qt::AlignCenter, text.mid(c, 1));
}

// The characters of Code 128 data as GS k 73 carries them: "{A", "{B" and "{C" select the code
// set, "{{" is a "{", the shift and function characters ("{S", "{1" to "{4") print nothing; in
// code set C each byte is two digits.
QString code128Text(const QByteArray &data)
{
    QString text;
    bool setC = false;
    for (qsizetype i = 0; i < data.size(); ++i) {
        const auto b = static_cast<unsigned char>(data.at(i));
        if (b == '{' && i + 1 < data.size()) {
            const char next = data.at(++i);
            if (next == 'C')
                setC = true;
            else if (next == 'A' || next == 'B')
                setC = false;
            else if (next == '{')
                text += u'{';
            continue;
        }
        if (setC) {
            if (b < 100)
                text += QStringLiteral("%1").arg(int(b), 2, 10, QLatin1Char('0'));
        } else if (b >= 0x20 && b < 0x7F) {
            text += QChar(b);
        }
    }
    return text;
}

// A picture of dots, black where a bit is set; `dot` answers whether (x, y) prints.
template<typename Dot>
QImage dotPicture(int width, int height, Dot dot)
{
    QImage image(qMax(1, width), qMax(1, height), QImage::Format_Mono);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    image.fill(0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (dot(x, y))
                image.setPixel(x, y, 1);
    return image;
}

} // namespace

VirtualEscPosPrinter::VirtualEscPosPrinter(int dotWidth, int fontADots, int fontBDots)
    : m_dotWidth(dotWidth)
    , m_fontADots(fontADots)
    , m_fontBDots(fontBDots)
{
    reset();
}

void VirtualEscPosPrinter::reset()
{
    m_codePage = 0;
    m_alignment = 0;
    m_style = {};
    m_style.fontADots = m_fontADots;
    m_style.fontBDots = m_fontBDots;
    m_barHeight = 162;
    m_moduleDots = 3;
    m_hriPosition = 0;
    m_hriFontB = false;
    m_qrModuleDots = 3;
    m_qrLevel = 'L';
    m_qrData.clear();
    m_areaLeft = 0;
    m_areaWidth = 0;
}

void VirtualEscPosPrinter::endLine()
{
    Row row;
    row.text = m_pending;
    row.alignment = m_alignment;
    row.style = m_style;
    m_rows.append(row);
    m_lines << m_pending;
    m_pending.clear();
}

void VirtualEscPosPrinter::addCharacter(QChar c)
{
    // A full line is printed before the next character, which starts the next line.
    if (m_pending.size() >= m_style.columns(m_dotWidth))
        endLine();
    m_pending += c;
}

qsizetype VirtualEscPosPrinter::barcode(const QByteArray &bytes, qsizetype i)
{
    const auto at = [&](qsizetype k) -> int {
        return k < bytes.size() ? static_cast<unsigned char>(bytes.at(k)) : -1;
    };
    const int m = at(i + 2);
    if (m < 0)
        return bytes.size();
    if (m <= 6) {
        // GS k m d1..dk NUL: the data end with NUL, or with the stream.
        const qsizetype end = bytes.indexOf('\0', i + 3);
        return end < 0 ? bytes.size() : end + 1;
    }
    if (m < 65 || m > 73) {
        const QString code = QStringLiteral("1D6B%1").arg(m, 2, 16, QLatin1Char('0')).toUpper();
        noteUnknown(code);
        return i + 3;
    }
    // GS k m n d1..dn: a stream cut off before n prints nothing, one cut off in the data what
    // it carries.
    if (at(i + 3) < 0)
        return bytes.size();
    const qsizetype data = i + 4;
    const qsizetype end = qMin(bytes.size(), data + at(i + 3));
    if (m != 73)
        return end;
    if (!m_pending.isEmpty())
        endLine();
    Row row;
    row.barcode = true;
    row.text = code128Text(bytes.mid(data, end - data));
    row.modules = Code128::modules(row.text);
    row.moduleDots = m_moduleDots;
    row.barHeight = m_barHeight;
    row.hriPosition = m_hriPosition;
    row.hriFontB = m_hriFontB;
    row.alignment = m_alignment;
    m_rows.append(row);
    m_lines << QStringLiteral("[Barcode %1]").arg(row.text);
    return end;
}

qsizetype VirtualEscPosPrinter::twoDimensionalCode(const QByteArray &bytes, qsizetype i)
{
    // GS ( k pL pH cn fn parameters: pL + pH * 256 bytes after pH. A stream cut off in them
    // prints nothing more.
    if (i + 4 >= bytes.size())
        return bytes.size();
    const qsizetype length = static_cast<unsigned char>(bytes.at(i + 3))
                             + 256 * static_cast<unsigned char>(bytes.at(i + 4));
    const qsizetype end = i + 5 + length;
    if (end > bytes.size())
        return bytes.size();
    const QByteArray parameters = bytes.mid(i + 5, length);
    // Other symbols (cn 48 PDF417, ...) are read past.
    if (parameters.size() < 2 || parameters.at(0) != '\x31')
        return end;
    const int argument = parameters.size() > 2 ? static_cast<unsigned char>(parameters.at(2)) : -1;
    switch (parameters.at(1)) {
    case 0x43: // module size
        if (argument >= QrCode::MinModuleDots && argument <= QrCode::MaxModuleDots)
            m_qrModuleDots = argument;
        break;
    case 0x45: // error correction
        if (argument >= 48 && argument <= 51)
            m_qrLevel = QrCode::levelOfNumber(argument);
        break;
    case 0x50: // store the data
        m_qrData = parameters.mid(3);
        break;
    case 0x51: { // print what is stored; a code that cannot be made or is wider than the
                 // print area prints nothing, as on paper
        if (!m_pending.isEmpty())
            endLine();
        const QrCode::Symbol symbol = QrCode::encode(m_qrData, m_qrLevel);
        const int areaWidth = m_areaWidth > 0 ? qMin(m_areaWidth, m_dotWidth - m_areaLeft)
                                              : m_dotWidth - m_areaLeft;
        const int width = symbol.size * m_qrModuleDots;
        if (symbol.isNull() || width > areaWidth) {
            m_lines << QStringLiteral("[QR-Code nicht gedruckt]");
            break;
        }
        Row row;
        row.qr = symbol;
        row.qrModuleDots = m_qrModuleDots;
        row.qrX = m_areaLeft
                  + (m_alignment == 1   ? (areaWidth - width) / 2
                     : m_alignment == 2 ? areaWidth - width
                                        : 0);
        m_rows.append(row);
        m_lines << QStringLiteral("[QR-Code %1]").arg(QString::fromUtf8(m_qrData));
        break;
    }
    default: // the model and the size report change nothing that is drawn
        break;
    }
    return end;
}

void VirtualEscPosPrinter::noteUnknown(const QString &code)
{
    if (!m_unknown.contains(code))
        m_unknown << code;
}

void VirtualEscPosPrinter::feed(const QByteArray &bytes)
{
    const auto at = [&](qsizetype i) -> int {
        return i < bytes.size() ? static_cast<unsigned char>(bytes.at(i)) : -1;
    };
    qsizetype i = 0;
    while (i < bytes.size()) {
        const int b = at(i);
        if (b == 0x0A) {
            endLine();
            ++i;
        } else if (b == 0x0D) {
            ++i;
        } else if (b == 0x1B) {
            const int cmd = at(i + 1);
            switch (cmd) {
            case 0x40: // ESC @
                reset();
                i += 2;
                break;
            case 0x74: { // ESC t n; a table the printer does not have leaves the one it has
                const int n = at(i + 2);
                if (CodePages::find(n))
                    m_codePage = n;
                else if (n >= 0)
                    noteUnknown(QStringLiteral("1B74%1").arg(n, 2, 16, QLatin1Char('0')).toUpper());
                i += 3;
                break;
            }
            case 0x21: { // ESC ! n
                const int n = qMax(0, at(i + 2));
                m_style.fontB = n & 0x01;
                m_style.bold = n & 0x08;
                m_style.heightTimes = n & 0x10 ? 2 : 1;
                m_style.widthTimes = n & 0x20 ? 2 : 1;
                m_style.underline = n & 0x80;
                i += 3;
                break;
            }
            case 0x45: // ESC E n: emphasised on or off
                m_style.bold = at(i + 2) & 0x01;
                i += 3;
                break;
            case 0x61: { // ESC a n
                const int n = at(i + 2);
                m_alignment = (n == 1 || n == '1') ? 1 : (n == 2 || n == '2') ? 2 : 0;
                i += 3;
                break;
            }
            case 0x4A: { // ESC J n: feed n dots
                Row row;
                row.feedDots = qMax(0, at(i + 2));
                m_rows.append(row);
                i += 3;
                break;
            }
            case 0x64: // ESC d n: print and feed n lines
                endLine();
                for (int n = 1; n < qMax(1, at(i + 2)); ++n)
                    endLine();
                i += 3;
                break;
            case 0x70: // ESC p m t1 t2: drawer pulse
                m_lines << QStringLiteral("[Kassenlade]");
                i += 5;
                break;
            default: {
                const QString code =
                        QStringLiteral("1B%1").arg(cmd, 2, 16, QLatin1Char('0')).toUpper();
                noteUnknown(code);
                i += 2;
            }
            }
        } else if (b == 0x1D) {
            const int cmd = at(i + 1);
            if (cmd == 0x56) { // GS V m [n]
                const int m = at(i + 2);
                if (!m_pending.isEmpty())
                    endLine();
                Row row;
                row.cut = true;
                m_rows.append(row);
                m_lines << QStringLiteral("[Schnitt]");
                i += (m == 65 || m == 66) ? 4 : 3;
            } else if (cmd == 0x68) { // GS h n: bar height in dots
                if (at(i + 2) > 0)
                    m_barHeight = at(i + 2);
                i += 3;
            } else if (cmd == 0x77) { // GS w n: dots per module
                if (at(i + 2) >= 1 && at(i + 2) <= 6)
                    m_moduleDots = at(i + 2);
                i += 3;
            } else if (cmd == 0x48) { // GS H n: characters above (1), below (2), both (3)
                const int n = at(i + 2);
                if (n >= 0)
                    m_hriPosition = (n >= '0' ? n - '0' : n) & 0x03;
                i += 3;
            } else if (cmd == 0x66) { // GS f n: font of those characters
                m_hriFontB = at(i + 2) == 1 || at(i + 2) == '1';
                i += 3;
            } else if (cmd == 0x6B) { // GS k: barcode
                i = barcode(bytes, i);
            } else if (cmd == 0x28 && at(i + 2) == 0x6B) { // GS ( k: QR code
                i = twoDimensionalCode(bytes, i);
            } else if (cmd == 0x4C || cmd == 0x57) { // GS L, GS W: the print area
                const int dots = qMax(0, at(i + 2)) + 256 * qMax(0, at(i + 3));
                if (cmd == 0x4C)
                    m_areaLeft = qMin(dots, m_dotWidth - 1);
                else
                    m_areaWidth = dots;
                i += 4;
            } else if (cmd == 0x21) { // GS ! n: character size
                const int n = qMax(0, at(i + 2));
                m_style.widthTimes = ((n >> 4) & 0x07) + 1;
                m_style.heightTimes = (n & 0x07) + 1;
                i += 3;
            } else if ((cmd == 0x28 || cmd == 0x38) && at(i + 2) == 0x4C) { // GS ( L, GS 8 L
                i = graphics(bytes, i, cmd == 0x28 ? 2 : 4);
            } else if (cmd == 0x76 && at(i + 2) == 0x30) { // GS v 0 m xL xH yL yH data
                const int bytesPerRow = qMax(0, at(i + 4) + 256 * at(i + 5));
                const qsizetype data = i + 8;
                // A cut-off stream shows the rows it carries, not a picture its header claims.
                const qsizetype available = qMax<qsizetype>(0, bytes.size() - data);
                const qsizetype claimedRows = qMax(0, at(i + 6) + 256 * at(i + 7));
                const int rows =
                        bytesPerRow == 0 ? 0 : int(qMin(claimedRows, available / bytesPerRow));
                const QImage image = dotPicture(bytesPerRow * 8, rows, [&](int x, int y) {
                    return at(data + qsizetype(y) * bytesPerRow + x / 8) & (0x80 >> (x % 8));
                });
                addPicture(image);
                i = qMin(bytes.size(), data + qsizetype(bytesPerRow) * claimedRows);
            } else {
                const QString code =
                        QStringLiteral("1D%1").arg(cmd, 2, 16, QLatin1Char('0')).toUpper();
                noteUnknown(code);
                i += 2;
            }
        } else if (b == 0x1C && at(i + 1) == 0x71) { // FS q n [xL xH yL yH d...]...
            i = bitImages(bytes, i);
        } else if (b == 0x1C && at(i + 1) == 0x70) { // FS p n m
            const int n = at(i + 2);
            if (n >= 1 && n <= m_bitImages.size())
                addPicture(m_bitImages.at(n - 1));
            i += 4;
        } else if (b < 0x20 || b == 0x7F) {
            ++i; // other control bytes print nothing
        } else {
            addCharacter(CodePages::decode(QByteArray(1, char(b)), m_codePage).at(0));
            ++i;
        }
    }
}

void VirtualEscPosPrinter::addPicture(const QImage &picture)
{
    Row row;
    row.picture = picture;
    row.alignment = m_alignment;
    m_rows.append(row);
    m_lines << QStringLiteral("[Bild %1x%2]").arg(picture.width()).arg(picture.height());
}

QStringList VirtualEscPosPrinter::heldKeys() const
{
    QStringList keys;
    for (auto it = m_graphics.cbegin(); it != m_graphics.cend(); ++it)
        keys << QString::fromLatin1(it.key());
    keys.sort();
    for (qsizetype n = 1; n <= m_bitImages.size(); ++n)
        keys << QString::number(n);
    return keys;
}

qsizetype VirtualEscPosPrinter::graphics(const QByteArray &bytes, qsizetype i, int sizeBytes)
{
    const auto at = [&](qsizetype k) -> int {
        return k < bytes.size() ? static_cast<unsigned char>(bytes.at(k)) : -1;
    };
    qint64 size = 0;
    for (int n = sizeBytes - 1; n >= 0; --n)
        size = size * 256 + qMax(0, at(i + 3 + n));
    const qsizetype p = i + 3 + sizeBytes; // m
    const qsizetype next = qMin<qint64>(bytes.size(), p + size);
    const int fn = at(p + 1);
    if (fn == 69) { // m fn kc1 kc2 x y: print the picture kept under the key
        const auto found = m_graphics.constFind(bytes.mid(p + 2, 2));
        if (found != m_graphics.cend())
            addPicture(*found);
        return next;
    }
    if (fn != 67) {
        noteUnknown(QStringLiteral("1D%1 fn %2").arg(sizeBytes == 2 ? "28" : "38").arg(fn));
        return next;
    }
    // m fn a kc1 kc2 b xL xH yL yH c d...: a raster picture of one colour under the key.
    const QByteArray key = bytes.mid(p + 3, 2);
    const int width = qMax(0, at(p + 6) + 256 * at(p + 7));
    const int height = qMax(0, at(p + 8) + 256 * at(p + 9));
    const qsizetype data = p + 11;
    const int bytesPerRow = (width + 7) / 8;
    if (width == 0 || height == 0 || data + qsizetype(bytesPerRow) * height > next) {
        noteUnknown(QStringLiteral("1D%1 fn 67 unvollständig").arg(sizeBytes == 2 ? "28" : "38"));
        return next;
    }
    // Shown as wide as whole bytes, like a raster picture of the same dots.
    m_graphics.insert(key, dotPicture(bytesPerRow * 8, height, [&](int x, int y) {
                          return at(data + qsizetype(y) * bytesPerRow + x / 8) & (0x80 >> (x % 8));
                      }));
    // Pictures kept by GS ( L and by FS q cannot be there together.
    m_bitImages.clear();
    return next;
}

qsizetype VirtualEscPosPrinter::bitImages(const QByteArray &bytes, qsizetype i)
{
    const auto at = [&](qsizetype k) -> int {
        return k < bytes.size() ? static_cast<unsigned char>(bytes.at(k)) : -1;
    };
    const int count = qMax(0, at(i + 2));
    qsizetype k = i + 3;
    QList<QImage> pictures;
    for (int n = 0; n < count; ++n) {
        const int across = qMax(0, at(k) + 256 * at(k + 1));
        const int down = qMax(0, at(k + 2) + 256 * at(k + 3));
        const qsizetype data = k + 4;
        k = data + qsizetype(across) * down * 8;
        if (k > bytes.size()) {
            noteUnknown(QStringLiteral("1C71 unvollständig"));
            return bytes.size();
        }
        // Column by column from the left, each from the top, eight dots a byte.
        pictures << dotPicture(across * 8, down * 8, [&](int x, int y) {
            return at(data + qsizetype(x) * down + y / 8) & (0x80 >> (y % 8));
        });
    }
    m_bitImages = pictures;
    m_graphics.clear();
    return k;
}

QImage VirtualEscPosPrinter::picture() const
{
    const auto hriHeight = [](const Row &r) {
        return (r.hriFontB ? FontBHeight : FontAHeight) + HriGap;
    };
    auto rowHeight = [&](const Row &r) {
        if (!r.picture.isNull())
            return r.picture.height();
        if (r.barcode)
            return ((r.hriPosition & 1) ? hriHeight(r) : 0) + r.barHeight
                   + ((r.hriPosition & 2) ? hriHeight(r) : 0) + LineSpacing;
        if (r.cut)
            return 20;
        if (!r.qr.isNull())
            return r.qr.size * r.qrModuleDots;
        if (r.feedDots > 0)
            return r.feedDots;
        return cellHeight(r.style) + LineSpacing;
    };
    // Summed wide: a long stream of feeds must not wrap the height before the cap applies.
    qint64 height = 10;
    for (const Row &r : m_rows)
        height += rowHeight(r);
    QImage image(m_dotWidth + 20, int(qMin<qint64>(height + 10, 30000)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(Qt::black);
    int y = 10;
    for (const Row &r : m_rows) {
        if (y >= image.height())
            break; // the rest lies below the strip's cap
        const int h = rowHeight(r);
        if (!r.picture.isNull()) {
            const int w = qMin(r.picture.width(), m_dotWidth);
            const int x = 10
                          + (r.alignment == 1   ? (m_dotWidth - w) / 2
                             : r.alignment == 2 ? m_dotWidth - w
                                                : 0);
            p.drawImage(QPoint(x, y), r.picture);
        } else if (r.barcode) {
            const int w = int(r.modules.size()) * r.moduleDots;
            const int x = 10
                          + (r.alignment == 1   ? (m_dotWidth - w) / 2
                             : r.alignment == 2 ? m_dotWidth - w
                                                : 0);
            const int barTop = y + ((r.hriPosition & 1) ? hriHeight(r) : 0);
            Code128::paintBars(p, r.modules, x, barTop, r.moduleDots, r.barHeight);
            EscPosTextStyle hri;
            hri.fontB = r.hriFontB;
            const int textX = x + (w - int(r.text.size()) * hri.cellWidth()) / 2;
            if (r.hriPosition & 1)
                drawCells(p, r.text, textX, y, hri);
            if (r.hriPosition & 2)
                drawCells(p, r.text, textX, barTop + r.barHeight + HriGap, hri);
        } else if (!r.qr.isNull()) {
            QrCode::paintModules(p, r.qr, 10 + r.qrX, y, r.qrModuleDots);
        } else if (r.cut) {
            p.setPen(QPen(QColor(CutMarkGrey), 1, Qt::DashLine));
            p.drawLine(0, y + 10, image.width(), y + 10);
            p.setPen(Qt::black);
        } else if (!r.text.isEmpty()) {
            const int textWidth = int(r.text.size()) * r.style.cellWidth();
            int x = 10;
            if (r.alignment == 1)
                x += (m_dotWidth - textWidth) / 2;
            else if (r.alignment == 2)
                x += m_dotWidth - textWidth;
            drawCells(p, r.text, x, y, r.style);
        }
        y += h;
    }
    return image;
}
