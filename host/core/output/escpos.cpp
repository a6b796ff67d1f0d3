#include "core/output/escpos.h"

#include "core/format/deviceformats.h"
#include "core/model/barcode.h"

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

QByteArray EscPosEncoder::raster(const QImage &picture, int maxDots, int bandRows)
{
    if (picture.isNull() || maxDots <= 0)
        return {};
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    if (image.width() > maxDots)
        image = image.scaledToWidth(maxDots, Qt::SmoothTransformation);
    const int width = image.width();
    const int bytesPerRow = (width + 7) / 8;
    QByteArray out;
    for (int top = 0; top < image.height(); top += bandRows) {
        const int rows = qMin(bandRows, image.height() - top);
        out += QByteArray("\x1D\x76\x30\x00", 4);
        out += char(bytesPerRow & 0xFF);
        out += char((bytesPerRow >> 8) & 0xFF);
        out += char(rows & 0xFF);
        out += char((rows >> 8) & 0xFF);
        for (int y = top; y < top + rows; ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int byte = 0; byte < bytesPerRow; ++byte) {
                unsigned char bits = 0;
                for (int bit = 0; bit < 8; ++bit) {
                    const int x = byte * 8 + bit;
                    if (x >= width)
                        break;
                    const QRgb p = line[x];
                    // Line art: dark and not transparent prints.
                    const bool black = qAlpha(p) >= 128 && qGray(p) < 128;
                    if (black)
                        bits |= 0x80 >> bit;
                }
                out += char(bits);
            }
        }
    }
    return out;
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
    const QByteArray codePage = selectCodePage(m_settings.codePage);
    const QByteArray lineEnd = sequence("CarriageReturn", {}) + sequence("LineFeed", "\n");
    if (initialisesPrinter()) {
        out += Initialise + codePage;
    } else {
        // Without ESC @ whatever the last job left set stays set, so every mode a job uses is
        // set here: the print mode as ESC @ would leave it (which also ends a larger GS !
        // size, for a job that starts with a barcode or a picture), the code page and, below,
        // the justification. No job sets the line spacing, so none can leave it changed.
        out += styleCommands(EscPosTextStyle{}) + codePage;
    }

    QByteArray currentFont;
    Qt::Alignment currentAlignment = Qt::AlignLeft;
    out += sequence("JustifyLeft", QByteArray("\x1B\x61\x30", 3));
    auto justify = [&](Qt::Alignment a) {
        if (a == currentAlignment)
            return;
        currentAlignment = a;
        if (a & Qt::AlignHCenter)
            out += sequence("JustifyCenter", QByteArray("\x1B\x61\x31", 3));
        else if (a & Qt::AlignRight)
            out += sequence("JustifyRight", QByteArray("\x1B\x61\x32", 3));
        else
            out += sequence("JustifyLeft", QByteArray("\x1B\x61\x30", 3));
    };

    auto printText = [&](const JobItem &item) {
        const EscPosTextStyle style = textStyle(item);
        const QByteArray font = styleCommands(style);
        if (font != currentFont) {
            // Some printers reset the code page with the font; it is sent again.
            out += font + codePage;
            currentFont = font;
        }
        justify(item.alignment & Qt::AlignHorizontal_Mask);
        // A line longer than the printer's line is broken here between words, so that
        // paper, the virtual printer and the viewer show the same lines.
        for (const JobItem &line : printedLines(item)) {
            out += CodePages::encode(line.text, m_settings.codePage, &result.unprintable);
            out += lineEnd;
        }
    };

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
            justify(item.alignment & Qt::AlignHorizontal_Mask);
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
            justify(item.alignment & Qt::AlignHorizontal_Mask);
            const int dots = item.widthCm > 0 ? m_capabilities.dotsAcross(item.widthCm)
                                              : item.picture.width();
            QImage picture = item.picture;
            if (dots > 0 && picture.width() > dots)
                picture = picture.scaledToWidth(dots, Qt::SmoothTransformation);
            out += raster(picture, m_settings.dotWidth, m_settings.rasterBandRows);
            out += codePage;
            currentFont.clear();
            break;
        }
        case JobItem::Kind::Feed:
            for (int i = 0; i < item.lines; ++i)
                out += lineEnd;
            break;
        case JobItem::Kind::Cut:
            // The cutter sits some lines above the print head: without a feed the last lines
            // would be cut off and come out on the next receipt. A printer whose record names
            // no feed gets ESC d n, which every ESC/POS printer knows.
            out += sequence("PaperFeed", QByteArray("\x1B\x64", 2) + char(CutFeedLines));
            out += sequence("CutPaper", QByteArray("\x1D\x56\x01", 3));
            break;
        }
    }
    return result;
}
