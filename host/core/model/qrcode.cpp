#include "core/model/qrcode.h"

#include "core/model/zintlibrary.h"

#include <QCache>
#include <QHash>
#include <QMutex>
#include <QPainter>

#include <cmath>
#include <memory>

namespace QrCode {

int Options::quietZoneDots() const
{
    return qMax(QuietZoneModules * moduleDots, int(std::ceil(MinQuietZoneMm * dotsPerMm - 1e-6)));
}

int Options::dotsAcross(double widthCm) const
{
    return qMax(0, int(std::floor(widthCm * 10.0 * dotsPerMm + 1e-6)));
}

int Symbol::dotsWithQuietZones(const Options &options) const
{
    return size * options.moduleDots + 2 * options.quietZoneDots();
}

char levelFromText(const QString &text)
{
    const QString t = text.trimmed().toUpper();
    if (!t.isEmpty() && QStringLiteral("LMQH").contains(t.at(0))
        && (t.size() == 1 || !t.at(1).isLetterOrNumber()))
        return char(t.at(0).unicode());
    return DefaultLevel;
}

int levelNumber(char level)
{
    switch (level) {
    case 'L':
        return 48;
    case 'Q':
        return 50;
    case 'H':
        return 51;
    default:
        return 49;
    }
}

char levelOfNumber(int number)
{
    // The printers take the level as a number or as its digit.
    switch (number) {
    case 48:
    case 0:
        return 'L';
    case 50:
    case 2:
        return 'Q';
    case 51:
    case 3:
        return 'H';
    default:
        return 'M';
    }
}

QByteArray data(const QString &value)
{
    return value.toUtf8();
}

namespace {

Symbol encodeNew(const QByteArray &bytes, char level, QString *error);

} // namespace

Symbol encode(const QByteArray &bytes, char level, QString *error)
{
    // A receipt's code is asked for by the line's layout, its painting and the preview again
    // at every key typed elsewhere; making it costs milliseconds, finding it here nothing.
    struct Made
    {
        Symbol symbol;
        QString error;
    };
    static QMutex mutex;
    static QCache<QByteArray, Made> made(64);
    const QByteArray key = QByteArray(1, level) + bytes;
    const QMutexLocker lock(&mutex);
    if (const Made *known = made.object(key)) {
        if (error && known->symbol.isNull())
            *error = known->error;
        return known->symbol;
    }
    auto *fresh = new Made;
    fresh->symbol = encodeNew(bytes, level, &fresh->error);
    const Made result = *fresh;
    made.insert(key, fresh);
    if (error && result.symbol.isNull())
        *error = result.error;
    return result.symbol;
}

namespace {

Symbol encodeNew(const QByteArray &bytes, char level, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return Symbol();
    };
    if (bytes.isEmpty())
        return fail(QStringLiteral("Ein leerer Wert ergibt keinen QR-Code."));
    QString why;
    const ZintSymbol symbol = newZintSymbol(&why);
    if (!symbol)
        return fail(why);
    const ZintLibrary &zint = zintLibrary();
    symbol->symbology = BARCODE_QRCODE;
    symbol->input_mode = DATA_MODE; // the bytes as they are, as the printer's command takes them
    symbol->option_1 = levelNumber(level) - 47; // 1 (L) to 4 (H)
    symbol->show_hrt = 0;
    int status =
            zint.encode(symbol.get(), reinterpret_cast<const unsigned char *>(bytes.constData()),
                        int(bytes.size()));
    if (status == ZINT_ERROR_TOO_LONG)
        return fail(QStringLiteral("Ein QR-Code fasst bei Fehlerkorrektur %1 nicht %2 Byte.")
                            .arg(QChar::fromLatin1(level))
                            .arg(bytes.size()));
    if (status < ZINT_ERROR)
        status = zint.bufferVector(symbol.get(), 0);
    if (status >= ZINT_ERROR || !symbol->vector || symbol->width <= 0
        || symbol->rows != symbol->width || symbol->vector->width <= 0
        || symbol->vector->height <= 0)
        return fail(QStringLiteral("Der QR-Code konnte nicht erzeugt werden (Fehler %1 der "
                                   "Barcode-Bibliothek).")
                            .arg(status));

    // Without quiet zones or border the vector spans exactly the symbol's modules.
    Symbol result;
    result.size = symbol->width;
    result.modules = QList<bool>(qsizetype(result.size) * result.size, false);
    const double unitX = double(symbol->vector->width) / result.size;
    const double unitY = double(symbol->vector->height) / result.size;
    for (const zint_vector_rect *r = symbol->vector->rectangles; r; r = r->next) {
        const int left = qMax(0, int(std::lround(r->x / unitX)));
        const int right = qMin(result.size, int(std::lround((r->x + r->width) / unitX)));
        const int top = qMax(0, int(std::lround(r->y / unitY)));
        const int bottom = qMin(result.size, int(std::lround((r->y + r->height) / unitY)));
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x)
                result.modules[qsizetype(y) * result.size + x] = true;
        }
    }
    return result;
}

} // namespace

QString problem(const QString &value, const Options &options, int widthDots, Symbol *symbol)
{
    if (value.isEmpty())
        return {};
    QString why;
    const Symbol made = encode(data(value), options.level, &why);
    if (symbol)
        *symbol = made;
    if (made.isNull())
        return why + QStringLiteral(" Der Inhalt wird als Text gedruckt.");
    const int needed = made.dotsWithQuietZones(options);
    if (needed <= widthDots)
        return {};
    const auto mm = [&](int dots) {
        return QString::number(dots / options.dotsPerMm, 'f', 1).replace(u'.', u',');
    };
    return QStringLiteral("Der QR-Code ist mit seiner Ruhezone %1 mm breit, die Zeile nur %2 mm; "
                          "der Inhalt wird als Text gedruckt. Kleinere Module oder eine "
                          "niedrigere Fehlerkorrektur (Druckereinstellungen) machen ihn schmaler.")
            .arg(mm(needed), mm(widthDots));
}

void paintModules(QPainter &painter, const Symbol &symbol, double x, double y, double module)
{
    // The dark runs of each row, and a run that continues one of the row above exactly as one
    // taller rectangle: a PDF gets a few hundred rectangles filled at once per code.
    QList<QRectF> rects;
    QHash<quint32, qsizetype> open; // run (first column, end) of the row above -> its rectangle
    for (int row = 0; row < symbol.size; ++row) {
        QHash<quint32, qsizetype> continued;
        for (int column = 0; column < symbol.size;) {
            if (!symbol.dark(column, row)) {
                ++column;
                continue;
            }
            int end = column;
            while (end < symbol.size && symbol.dark(end, row))
                ++end;
            const quint32 run = quint32(column) << 16 | quint32(end);
            if (const auto above = open.constFind(run); above != open.cend()) {
                rects[*above].setBottom(rects[*above].bottom() + module);
                continued.insert(run, *above);
            } else {
                continued.insert(run, rects.size());
                rects << QRectF(x + column * module, y + row * module, (end - column) * module,
                                module);
            }
            column = end;
        }
        open.swap(continued);
    }
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawRects(rects);
    painter.restore();
}

QImage picture(const Symbol &symbol, const Options &options)
{
    const int quiet = options.quietZoneDots();
    const int side = symbol.dotsWithQuietZones(options);
    QImage image(side, side, QImage::Format_Mono);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    image.fill(0);
    const int m = options.moduleDots;
    for (int row = 0; row < symbol.size; ++row) {
        for (int column = 0; column < symbol.size; ++column) {
            if (!symbol.dark(column, row))
                continue;
            for (int dy = 0; dy < m; ++dy) {
                for (int dx = 0; dx < m; ++dx)
                    image.setPixel(quiet + column * m + dx, quiet + row * m + dy, 1);
            }
        }
    }
    return image;
}

} // namespace QrCode
