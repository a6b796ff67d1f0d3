#include "core/model/barcode.h"

#include "core/base/lazylibrary.h"
#include "core/model/zintlibrary.h"

#include <QPainter>

#include <cmath>
#include <memory>

const ZintLibrary &zintLibrary()
{
    static const ZintLibrary zint = [] {
        ZintLibrary z;
        LazyLibrary library(QStringLiteral(KASSOTYP_ZINT_SONAME), QString(),
                            QStringLiteral("Die Barcode-Bibliothek (" KASSOTYP_ZINT_SONAME ")"));
        library.find(z.create, "ZBarcode_Create");
        library.find(z.remove, "ZBarcode_Delete");
        library.find(z.encode, "ZBarcode_Encode");
        library.find(z.bufferVector, "ZBarcode_Buffer_Vector");
        z.error = library.error();
        return z;
    }();
    return zint;
}

ZintSymbol newZintSymbol(QString *why)
{
    const ZintLibrary &zint = zintLibrary();
    if (!zint.error.isEmpty()) {
        *why = zint.error;
        return {nullptr, zint.remove};
    }
    ZintSymbol symbol(zint.create(), zint.remove);
    if (!symbol)
        *why = QStringLiteral("Kein Speicher für den Barcode.");
    return symbol;
}

namespace Code128 {

bool canEncode(const QString &data)
{
    if (data.isEmpty() || data.size() > MaxLength)
        return false;
    for (const QChar c : data) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    }
    return true;
}

bool usesCodeSetC(const QString &data)
{
    if (data.isEmpty() || data.size() % 2 != 0)
        return false;
    for (const QChar c : data) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

QList<bool> modules(const QString &data, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return QList<bool>();
    };
    if (!canEncode(data))
        return fail(QStringLiteral("Als Barcode druckbar sind 1 bis %1 Zeichen aus dem "
                                   "ASCII-Zeichensatz ohne Steuerzeichen.")
                            .arg(MaxLength));
    QString why;
    const ZintSymbol symbol = newZintSymbol(&why);
    if (!symbol)
        return fail(why);
    const ZintLibrary &zint = zintLibrary();
    // Zint's own Code 128 picks the shortest code sets, which for an even number of digits is
    // code set C throughout; its subset B variant never uses C.
    symbol->symbology = usesCodeSetC(data) ? BARCODE_CODE128 : BARCODE_CODE128B;
    symbol->show_hrt = 0;
    const QByteArray bytes = data.toLatin1();
    int status =
            zint.encode(symbol.get(), reinterpret_cast<const unsigned char *>(bytes.constData()),
                        int(bytes.size()));
    if (status < ZINT_ERROR)
        status = zint.bufferVector(symbol.get(), 0);
    if (status >= ZINT_ERROR || !symbol->vector || symbol->width <= 0 || symbol->vector->width <= 0)
        return fail(QStringLiteral("Der Barcode konnte nicht erzeugt werden: %1")
                            .arg(QString::fromLatin1(symbol->errtxt)));

    // Without quiet zones, border or text the vector spans exactly the symbol's modules.
    const double unit = double(symbol->vector->width) / symbol->width;
    QList<bool> result(symbol->width, false);
    for (const zint_vector_rect *r = symbol->vector->rectangles; r; r = r->next) {
        const int first = qMax(0, int(std::lround(r->x / unit)));
        const int last = qMin(symbol->width, int(std::lround((r->x + r->width) / unit)));
        for (int m = first; m < last; ++m)
            result[m] = true;
    }
    return result;
}

void paintBars(QPainter &painter, const QList<bool> &modules, double x, double y,
               double moduleWidth, double height)
{
    for (qsizetype m = 0; m < modules.size();) {
        if (!modules.at(m)) {
            ++m;
            continue;
        }
        qsizetype end = m;
        while (end < modules.size() && modules.at(end))
            ++end;
        painter.fillRect(QRectF(x + m * moduleWidth, y, (end - m) * moduleWidth, height),
                         Qt::black);
        m = end;
    }
}

} // namespace Code128
