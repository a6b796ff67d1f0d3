#include "core/output/escpos.h"

#include "core/format/deviceformats.h"
#include "core/model/barcode.h"

#include <QCryptographicHash>

#include <optional>

namespace {

const QByteArray Initialise("\x1B\x40", 2);

QByteArray selectCodePage(int n)
{
    return QByteArray("\x1B\x74", 2) + char(n);
}

// The data of GS k 73 (Code 128): a code set selector first, then "{B" with the characters as
// they are ("{" doubled, as it starts the selectors), or "{C" with one byte (0 to 99) per two
// digits, the same code sets graphic mode draws.
QByteArray code128Data(const QString &value)
{
    QByteArray data;
    if (Code128::usesCodeSetC(value)) {
        data = "{C";
        for (qsizetype i = 0; i + 1 < value.size(); i += 2)
            data += char((value.at(i).unicode() - u'0') * 10 + (value.at(i + 1).unicode() - u'0'));
        return data;
    }
    data = "{B";
    for (const QChar c : value) {
        data += char(c.unicode());
        if (c == u'{')
            data += '{';
    }
    return data;
}

// GS ( k for a QR code (cn 49): model 2, the module size, the error-correction level, the data
// into the symbol storage area, and the symbol printed from it.
QByteArray qrCommands(const QByteArray &data, const QrCode::Options &options)
{
    const auto command = [](const QByteArray &parameters) -> QByteArray {
        const qsizetype n = parameters.size();
        return QByteArray("\x1D\x28\x6B", 3) + char(n & 0xFF) + char((n >> 8) & 0xFF) + parameters;
    };
    return command(QByteArray("\x31\x41\x32\x00", 4))
           + command(QByteArray("\x31\x43", 2) + char(options.moduleDots))
           + command(QByteArray("\x31\x45", 2) + char(QrCode::levelNumber(options.level)))
           + command(QByteArray("\x31\x50\x30", 3) + data) + command(QByteArray("\x31\x51\x30", 3));
}

// Two bytes, low first, as GS L and GS W take a number of dots.
QByteArray dotsParameter(int dots)
{
    return QByteArray(1, char(dots & 0xFF)) + char((dots >> 8) & 0xFF);
}

} // namespace

EscPosEncoder::EscPosEncoder(const QStringList &printerRecord, const EscPosSettings &settings)
    : m_printer(printerRecordFormat().decodeAvailable(printerRecord))
    , m_capabilities(capabilitiesOf(m_printer))
    , m_settings(settings)
{
}

bool EscPosEncoder::hexBytes(const QString &hex, QByteArray *out)
{
    // Only 0-9, A-F, a-f: a number parser would also take signs and other scripts' digits.
    const auto digit = [](QChar c) {
        const char16_t u = c.unicode();
        return u >= u'0' && u <= u'9'   ? u - u'0'
               : u >= u'A' && u <= u'F' ? u - u'A' + 10
               : u >= u'a' && u <= u'f' ? u - u'a' + 10
                                        : -1;
    };
    const QString t = hex.trimmed();
    if (t.size() % 2 != 0)
        return false;
    QByteArray bytes;
    for (qsizetype i = 0; i < t.size(); i += 2) {
        const int high = digit(t.at(i));
        const int low = digit(t.at(i + 1));
        if (high < 0 || low < 0)
            return false;
        bytes += char(high * 16 + low);
    }
    *out = bytes;
    return true;
}

bool EscPosEncoder::initialisesPrinter() const
{
    return m_printer.value(PrinterRecord::ForceInit) == QLatin1String("1");
}

QByteArray EscPosEncoder::sequence(const char *function, const QByteArray &standard) const
{
    QByteArray bytes;
    if (hexBytes(m_printer.value(PrinterRecord::sequence(function)), &bytes) && !bytes.isEmpty())
        return bytes;
    return standard;
}

bool MonoPicture::dot(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return false;
    const auto byte = static_cast<unsigned char>(rows.at(qsizetype(y) * bytesPerRow() + x / 8));
    return byte & (0x80 >> (x % 8));
}

MonoPicture EscPosEncoder::monochrome(const QImage &picture, int maxDots)
{
    MonoPicture mono;
    if (picture.isNull() || maxDots <= 0)
        return mono;
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    if (image.width() > maxDots)
        image = image.scaledToWidth(maxDots, Qt::SmoothTransformation);
    mono.width = image.width();
    mono.height = image.height();
    const int bytesPerRow = mono.bytesPerRow();
    mono.rows.reserve(qsizetype(bytesPerRow) * mono.height);
    for (int y = 0; y < mono.height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int byte = 0; byte < bytesPerRow; ++byte) {
            unsigned char bits = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const int x = byte * 8 + bit;
                if (x >= mono.width)
                    break;
                const QRgb p = line[x];
                // Line art: dark and not transparent prints.
                if (qAlpha(p) >= 128 && qGray(p) < 128)
                    bits |= 0x80 >> bit;
            }
            mono.rows += char(bits);
        }
    }
    return mono;
}

QByteArray EscPosEncoder::raster(const MonoPicture &picture, int bandRows)
{
    QByteArray out;
    const int bytesPerRow = picture.bytesPerRow();
    for (int top = 0; top < picture.height; top += bandRows) {
        const int rows = qMin(bandRows, picture.height - top);
        out += QByteArray("\x1D\x76\x30\x00", 4);
        out += char(bytesPerRow & 0xFF);
        out += char((bytesPerRow >> 8) & 0xFF);
        out += char(rows & 0xFF);
        out += char((rows >> 8) & 0xFF);
        out += picture.rows.mid(qsizetype(top) * bytesPerRow, qsizetype(rows) * bytesPerRow);
    }
    return out;
}

QByteArray EscPosEncoder::raster(const QImage &picture, int maxDots, int bandRows)
{
    return raster(monochrome(picture, maxDots), bandRows);
}

QString EscPosEncoder::pictureHash(const MonoPicture &picture)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QByteArray size =
            QByteArray::number(picture.width) + 'x' + QByteArray::number(picture.height) + ':';
    hash.addData(size);
    hash.addData(picture.rows);
    return QString::fromLatin1(hash.result().toHex());
}

QByteArray EscPosEncoder::defineGraphics(const QByteArray &key, const MonoPicture &picture)
{
    // m = 48, fn = 67, a = 48 (raster), the key, b = 1 colour, width and height in dots, then
    // c = 49 (the first colour) and the rows.
    QByteArray body("\x30\x43\x30", 3);
    body += key.left(2);
    body += char(1);
    body += char(picture.width & 0xFF);
    body += char((picture.width >> 8) & 0xFF);
    body += char(picture.height & 0xFF);
    body += char((picture.height >> 8) & 0xFF);
    body += char(49);
    body += picture.rows;
    const qsizetype size = body.size();
    if (size <= 0xFFFF)
        return QByteArray("\x1D\x28\x4C", 3) + char(size & 0xFF) + char((size >> 8) & 0xFF) + body;
    // GS 8 L counts the parameters in four bytes.
    return QByteArray("\x1D\x38\x4C", 3) + char(size & 0xFF) + char((size >> 8) & 0xFF)
           + char((size >> 16) & 0xFF) + char((size >> 24) & 0xFF) + body;
}

QByteArray EscPosEncoder::printGraphics(const QByteArray &key)
{
    // Six parameters: m = 48, fn = 69, the key, single width and height.
    return QByteArray("\x1D\x28\x4C\x06\x00\x30\x45", 7) + key.left(2) + char(1) + char(1);
}

QByteArray EscPosEncoder::defineBitImages(const QList<MonoPicture> &pictures)
{
    QByteArray out("\x1C\x71", 2);
    out += char(pictures.size());
    for (const MonoPicture &p : pictures) {
        // Width and height in units of eight dots; the dots column by column, each column
        // from the top, eight dots a byte with the highest bit on top.
        const int across = (p.width + 7) / 8;
        const int down = (p.height + 7) / 8;
        out += char(across & 0xFF);
        out += char((across >> 8) & 0xFF);
        out += char(down & 0xFF);
        out += char((down >> 8) & 0xFF);
        for (int x = 0; x < across * 8; ++x) {
            for (int byte = 0; byte < down; ++byte) {
                unsigned char bits = 0;
                for (int bit = 0; bit < 8; ++bit) {
                    if (p.dot(x, byte * 8 + bit))
                        bits |= 0x80 >> bit;
                }
                out += char(bits);
            }
        }
    }
    return out;
}

QByteArray EscPosEncoder::printBitImage(int number)
{
    return QByteArray("\x1C\x70", 2) + char(number) + char(0);
}

QString EscPosEncoder::memoryKey(PrinterCapabilities::Memory memory, int n)
{
    if (memory == PrinterCapabilities::Memory::FsQ)
        return QStringLiteral("%1").arg(n + 1, 2, 10, QLatin1Char('0'));
    static const QString digits = QStringLiteral("123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    return QStringLiteral("K") + digits.at(n % digits.size());
}

QByteArray EscPosEncoder::defineAll(PrinterCapabilities::Memory memory,
                                    const QList<MonoPicture> &pictures)
{
    if (memory == PrinterCapabilities::Memory::FsQ)
        return defineBitImages(pictures);
    QByteArray out;
    for (qsizetype n = 0; n < pictures.size(); ++n)
        out += defineGraphics(memoryKey(memory, int(n)).toLatin1(), pictures.at(n));
    return out;
}

MonoPicture EscPosEncoder::printedPicture(const JobItem &item) const
{
    const int dots =
            item.widthCm > 0 ? m_capabilities.dotsAcross(item.widthCm) : item.picture.width();
    QImage picture = item.picture;
    if (dots > 0 && picture.width() > dots)
        picture = picture.scaledToWidth(dots, Qt::SmoothTransformation);
    return monochrome(picture, m_settings.dotWidth);
}

int EscPosTextStyle::cellWidth() const
{
    return qMax(1, fontB ? fontBDots : fontADots) * qBound(1, widthTimes, 8);
}

int EscPosTextStyle::columns(int dotWidth) const
{
    return qMax(1, dotWidth / cellWidth());
}

int EscPosEncoder::sizeTimes(int pointSize)
{
    return pointSize < 15 ? 1 : qMin(8, (pointSize + 5) / 10);
}

QStringList EscPosEncoder::wrap(const QString &text, int columns)
{
    QStringList lines;
    QString rest = text;
    while (rest.size() > columns) {
        // Break at the last space that leaves a full first part; the space itself goes.
        qsizetype cut = rest.lastIndexOf(u' ', columns);
        if (cut <= 0 || rest.left(cut).trimmed().isEmpty()) {
            lines << rest.left(columns);
            rest = rest.mid(columns);
            continue;
        }
        lines << rest.left(cut);
        rest = rest.mid(cut + 1);
    }
    lines << rest;
    return lines;
}

EscPosTextStyle EscPosEncoder::textStyle(const JobItem &item) const
{
    // The printer's fonts are known by name; a font the record does not name is its base font.
    int font = PrinterRecord::baseFont(m_printer);
    for (int f = 1; f <= 4; ++f) {
        if (!item.fontName.isEmpty()
            && m_printer.value(PrinterRecord::fontName(f)) == item.fontName)
            font = f;
    }
    QByteArray code;
    if (!hexBytes(m_printer.value(PrinterRecord::fontCode(font)), &code) || code.isEmpty())
        code = QByteArray(1, '\0');
    const auto mode = static_cast<unsigned char>(code.at(0));
    const int times = sizeTimes(item.pointSize);
    EscPosTextStyle style;
    style.fontADots = m_settings.fontADots;
    style.fontBDots = m_settings.fontBDots;
    style.fontB = mode & 0x01;
    style.bold = item.bold || (mode & 0x08);
    style.underline = mode & 0x80;
    style.widthTimes = qMin(8, (mode & 0x20 ? 2 : 1) * times);
    style.heightTimes = qMin(8, (mode & 0x10 ? 2 : 1) * times);
    return style;
}

QList<JobItem> EscPosEncoder::printedLines(const JobItem &item) const
{
    const int columns = textStyle(item).columns(m_settings.dotWidth);
    QList<JobItem> lines;
    for (const QString &part : wrap(item.text, columns)) {
        JobItem line = item;
        line.text = part;
        line.columns = columns;
        lines << line;
    }
    return lines;
}

QByteArray EscPosEncoder::styleCommands(const EscPosTextStyle &style) const
{
    unsigned char mode = style.fontB ? 0x01 : 0x00;
    if (style.bold)
        mode |= 0x08;
    if (style.heightTimes == 2)
        mode |= 0x10;
    if (style.widthTimes == 2)
        mode |= 0x20;
    if (style.underline)
        mode |= 0x80;
    QByteArray out = sequence("SetFont", QByteArray("\x1B\x21", 2)) + char(mode);
    // ESC ! knows only single and double size; GS ! sets any size up to eight times and, being
    // the later command, takes precedence.
    if (style.widthTimes > 2 || style.heightTimes > 2)
        out += QByteArray("\x1D\x21", 2)
               + char(((style.widthTimes - 1) << 4) | (style.heightTimes - 1));
    return out;
}

EscPosResult EscPosEncoder::encode(const PrintJob &job) const
{
    EscPosResult result;
    QByteArray &out = result.bytes;
    const QByteArray lineEnd = sequence("CarriageReturn", {}) + sequence("LineFeed", "\n");
    const QByteArray plainStyle = styleCommands(EscPosTextStyle{});
    // Only what changes the printer's state is sent: the print mode when a line needs another,
    // the justification just before something prints in another one. ESC @ leaves both as
    // plain left text; without it, whatever the last job left set stays set, so the print mode
    // is set here (which also ends a larger GS ! size, for a job that starts with a barcode or
    // a picture) and the justification before the first thing that prints. The code page is
    // sent once: nothing in a job changes it. No job sets the line spacing either.
    QByteArray currentFont = plainStyle;
    std::optional<Qt::Alignment> currentAlignment;
    if (initialisesPrinter()) {
        out += Initialise;
        currentAlignment = Qt::AlignLeft;
    } else {
        out += plainStyle;
    }
    out += selectCodePage(m_settings.codePage);

    auto justify = [&](Qt::Alignment a) {
        a &= Qt::AlignHorizontal_Mask;
        const Qt::Alignment side = a & Qt::AlignHCenter ? Qt::AlignHCenter
                                   : a & Qt::AlignRight ? Qt::AlignRight
                                                        : Qt::AlignLeft;
        if (currentAlignment == side)
            return;
        currentAlignment = side;
        if (side == Qt::AlignHCenter)
            out += sequence("JustifyCenter", QByteArray("\x1B\x61\x31", 3));
        else if (side == Qt::AlignRight)
            out += sequence("JustifyRight", QByteArray("\x1B\x61\x32", 3));
        else
            out += sequence("JustifyLeft", QByteArray("\x1B\x61\x30", 3));
    };

    auto printText = [&](const JobItem &item) {
        const QList<JobItem> lines = printedLines(item);
        // The print mode sets an empty line's height too; its justification nothing.
        const QByteArray font = styleCommands(textStyle(item));
        if (font != currentFont) {
            out += font;
            currentFont = font;
        }
        if (lines.size() > 1 || !lines.constFirst().text.trimmed().isEmpty())
            justify(item.alignment);
        // A line longer than the printer's line is broken here between words, so that
        // paper, the virtual printer and the viewer show the same lines.
        for (const JobItem &line : lines) {
            out += CodePages::encode(line.text, m_settings.codePage, &result.unprintable);
            out += lineEnd;
        }
    };

    // The pictures this job prints from the printer's memory, for the record of what it needs.
    QList<QString> heldUsed;
    QList<MonoPicture> heldPictures;

    for (const JobItem &item : job.items) {
        switch (item.kind) {
        case JobItem::Kind::Text:
            printText(item);
            break;
        case JobItem::Kind::Barcode: {
            const qsizetype modules = Code128::modules(item.text).size();
            const QByteArray data = code128Data(item.text);
            // A printer without barcode commands, a value Code 128 cannot carry, or a code
            // wider than the paper even at one dot per module, which the printer would leave
            // out, is printed as its characters.
            if (!m_capabilities.canBarcode() || modules == 0 || modules > m_settings.dotWidth
                || data.size() > 255) {
                printText(item);
                break;
            }
            justify(item.alignment);
            // Two dots per module (0.25 mm at 203 dpi), one when two do not fit the paper; the
            // characters below the bars (GS H 2) in font A (GS f 0). Neither touches the print
            // mode or the justification, so the state kept above stays true.
            out += QByteArray("\x1D\x68", 2) + char(BarcodeHeightDots);
            out += QByteArray("\x1D\x77", 2) + char(modules * 2 <= m_settings.dotWidth ? 2 : 1);
            out += QByteArray("\x1D\x48\x02\x1D\x66\x00", 6);
            out += QByteArray("\x1D\x6B\x49", 3) + char(data.size()) + data;
            out += lineEnd;
            break;
        }
        case JobItem::Kind::QrCode: {
            QrCode::Symbol symbol;
            const bool fits =
                    QrCode::problem(item.text, item.qr, m_settings.dotWidth, &symbol).isEmpty();
            // A code that cannot be made or does not fit, or a printer that can print neither
            // QR codes nor pictures, gets the value as text.
            if (!fits || symbol.isNull()
                || (!m_capabilities.canQrCode() && !m_capabilities.canRaster())) {
                JobItem text = item;
                text.kind = JobItem::Kind::Text;
                printText(text);
                break;
            }
            const Qt::Alignment alignment = item.alignment & Qt::AlignHorizontal_Mask;
            justify(alignment);
            const int quiet = item.qr.quietZoneDots();
            if (!m_capabilities.canQrCode()) {
                // The picture carries the quiet zones on all four sides.
                out += raster(QrCode::picture(symbol, item.qr), m_settings.dotWidth,
                              m_settings.rasterBandRows);
                break;
            }
            // The printer leaves the quiet zones to the sender: blank paper fed above and
            // below, and at the side the code is aligned to, a print area that keeps its
            // distance from the edge (GS L, GS W), set back for the lines that follow.
            const QByteArray feed = QByteArray("\x1B\x4A", 2) + char(qMin(quiet, 255));
            out += feed;
            if (alignment & Qt::AlignRight)
                out += QByteArray("\x1D\x57", 2) + dotsParameter(m_settings.dotWidth - quiet);
            else if (!(alignment & Qt::AlignHCenter))
                out += QByteArray("\x1D\x4C", 2) + dotsParameter(quiet);
            out += qrCommands(QrCode::data(item.text), item.qr);
            if (alignment & Qt::AlignRight)
                out += QByteArray("\x1D\x57", 2) + dotsParameter(m_settings.dotWidth);
            else if (!(alignment & Qt::AlignHCenter))
                out += QByteArray("\x1D\x4C", 2) + dotsParameter(0);
            out += feed;
            break;
        }
        case JobItem::Kind::Picture: {
            // Raster bytes would print as rows of garbage characters on a printer without
            // pictures (an impact printer): the picture prints as nothing.
            if (!m_capabilities.canRaster())
                break;
            const MonoPicture picture = printedPicture(item);
            if (picture.isNull())
                break;
            justify(item.alignment);
            // A picture the printer holds prints by its key; any other, a changed logo among
            // them, is sent whole. Neither touches the print mode or the code page.
            const QString hash = pictureHash(picture);
            const QString key = m_settings.heldPictures.value(hash);
            const auto memory = m_capabilities.memory();
            if (key.isEmpty() || memory == PrinterCapabilities::Memory::None) {
                out += raster(picture, m_settings.rasterBandRows);
                break;
            }
            if (memory == PrinterCapabilities::Memory::FsQ) {
                out += printBitImage(key.toInt());
            } else {
                out += printGraphics(key.toLatin1());
            }
            if (!heldUsed.contains(key)) {
                heldUsed << key;
                heldPictures << picture;
            }
            break;
        }
        case JobItem::Kind::Feed:
            for (int i = 0; i < item.lines; ++i)
                out += lineEnd;
            break;
        case JobItem::Kind::Cut:
            if (m_capabilities.cutsAtPosition()) {
                // The printer knows where its cutter sits: it feeds the last line there (plus
                // the record's dots) and cuts.
                out += QByteArray("\x1D\x56\x42", 3) + char(m_capabilities.cutFeedDots());
                break;
            }
            // The cutter sits some lines above the print head: without a feed the last lines
            // would be cut off and come out on the next receipt. A printer whose record names
            // no feed gets ESC d n, which every ESC/POS printer knows.
            out += sequence("PaperFeed", QByteArray("\x1B\x64", 2) + char(CutFeedLines));
            out += sequence("CutPaper", QByteArray("\x1D\x56\x01", 3));
            break;
        }
    }
    result.heldDefinitions = heldDefinitions(heldUsed, heldPictures);
    return result;
}

QByteArray EscPosEncoder::heldDefinitions(const QList<QString> &keys,
                                          const QList<MonoPicture> &pictures) const
{
    if (keys.isEmpty())
        return {};
    if (m_capabilities.memory() != PrinterCapabilities::Memory::FsQ) {
        QByteArray out;
        for (qsizetype i = 0; i < keys.size(); ++i)
            out += defineGraphics(keys.at(i).toLatin1(), pictures.at(i));
        return out;
    }
    // FS q defines every picture at once, by number: the ones not printed here stand in as
    // empty pictures, which nothing prints.
    int highest = 0;
    for (const QString &key : keys)
        highest = qMax(highest, key.toInt());
    QList<MonoPicture> numbered(qMin(highest, 255), MonoPicture{8, 8, QByteArray(8, '\0')});
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const int n = keys.at(i).toInt();
        if (n >= 1 && n <= numbered.size())
            numbered[n - 1] = pictures.at(i);
    }
    return defineBitImages(numbered);
}
