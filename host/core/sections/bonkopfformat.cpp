#include "core/sections/bonkopfformat.h"

#include "core/base/programkey.h"
#include "core/model/textfunctions.h"
#include "core/sections/sectionformats.h"

#include <QCache>
#include <QImage>
#include <QMutex>

// Header of a document type, 60 entries:
//
//   0      chbLogo              logo on: any text but "0"
//   1      lblLogoName          "Kennung1\Kennung2\workstation" or "- kein Logo vorhanden -"
//   2, 3   edtLogoBreite/Hoehe  size in cm ("2,50")
//   4      rgpLogoPosition      "0" left, "1" centre, "2" right; anything else the centre
//   5      chbText              text on: any text but "0"
//   6      edtTextAnzahlZeilen  number of lines
//   7..56  line 1..10           text, font, size, style, alignment
//   57..59 edtAnzZeilenUber/Neben/Unter   lines above, beside and below the logo
//
// A paper strip cannot print beside a picture, so the printer flattens the arrangement:
//
//   logo off   lines 1..N in order (the distribution only places lines around a logo)
//   logo on    lines above, the picture, the lines beside it, the lines below
//
// The distribution is bounded by the ten lines; text off prints only the picture.

Qt::Alignment logoAlignment(int position)
{
    switch (position) {
    case 0:
        return Qt::AlignLeft;
    case 2:
        return Qt::AlignRight;
    default:
        return Qt::AlignHCenter;
    }
}

namespace {

// Every print of a header or end decodes its logo: the same few pictures again and again. Each
// stored picture is decoded once, found again by its bytes, so a logo changed in the store is
// decoded anew. A picture that cannot be decoded gives a null image.
QImage decodedLogo(const QByteArray &bytes)
{
    static QMutex mutex;
    static QCache<QByteArray, QImage> decoded(16 * 1024 * 1024); // bytes of decoded pictures
    const QMutexLocker lock(&mutex);
    if (const QImage *known = decoded.object(bytes))
        return *known;
    QImage picture;
    picture.loadFromData(bytes);
    decoded.insert(bytes, new QImage(picture), qMax<qsizetype>(1, picture.sizeInBytes()));
    return picture;
}

} // namespace

std::optional<JobItem> logoItem(const QMap<QString, QString> &values,
                                const SectionPrintContext &context)
{
    if (!context.logoPrints || values.value(QStringLiteral("chbLogo")) != QLatin1String("1"))
        return std::nullopt;
    const double width = StrToFloatDef_FSKRT(values.value(QStringLiteral("edtLogoBreite")), 0);
    const double height = StrToFloatDef_FSKRT(values.value(QStringLiteral("edtLogoHoehe")), 0);
    if (width <= 0 || height <= 0)
        return std::nullopt;
    const QByteArray stored = context.logo ? context.logo(context.kennung) : QByteArray();
    if (stored.isEmpty())
        return std::nullopt;
    JobItem item;
    item.kind = JobItem::Kind::Picture;
    item.logo = true;
    item.section = context.kennung;
    // A picture that cannot be decoded prints as nothing rather than as a hole.
    item.picture = decodedLogo(stored);
    if (item.picture.isNull())
        return std::nullopt;
    item.widthCm = width;
    item.heightCm = height;
    item.alignment = logoAlignment(values.value(QStringLiteral("rgpLogoPosition")).toInt());
    return item;
}

const LayoutFormat &bonKopfFormat()
{
    static const LayoutFormat format = [] {
        LayoutFormat f;
        f.name = QStringLiteral("Belegkopf");
        f.fields << FormatField{QStringLiteral("chbLogo"), FieldEncoding::FlagUnlessZero}
                 << FormatField{QStringLiteral("lblLogoName"), FieldEncoding::Text}
                 << FormatField{QStringLiteral("edtLogoBreite"), FieldEncoding::NumberCm}
                 << FormatField{QStringLiteral("edtLogoHoehe"), FieldEncoding::NumberCm}
                 << FormatField{QStringLiteral("rgpLogoPosition"), FieldEncoding::LogoPosition}
                 << FormatField{QStringLiteral("chbText"), FieldEncoding::FlagUnlessZero}
                 << FormatField{QStringLiteral("edtTextAnzahlZeilen"), FieldEncoding::Text};
        for (int i = 1; i <= HeaderLineCount; ++i)
            f.fields << lineFields(i);
        f.fields << FormatField{QStringLiteral("edtAnzZeilenUber"), FieldEncoding::Text}
                 << FormatField{QStringLiteral("edtAnzZeilenNeben"), FieldEncoding::Text}
                 << FormatField{QStringLiteral("edtAnzZeilenUnter"), FieldEncoding::Text};
        f.stages = {int(f.fields.size())};
        return f;
    }();
    return format;
}

namespace {

int count(const QMap<QString, QString> &values, const QString &control)
{
    return qBound(0, values.value(control).trimmed().toInt(), HeaderLineCount);
}

class HeaderPrinter : public SectionPrinter
{
public:
    const LayoutFormat &format(const QString &) const override { return bonKopfFormat(); }

    void print(const QMap<QString, QString> &values, const SectionPrintContext &context,
               PrintJob &job) const override
    {
        if (values.isEmpty())
            return;
        const bool text = values.value(QStringLiteral("chbText")) == QLatin1String("1");
        const std::optional<JobItem> logo = logoItem(values, context);
        auto printLines = [&](int from, int to) {
            for (int line = from; text && line <= qMin(to, HeaderLineCount); ++line)
                job.items.append(textLineItem(values, line, context));
        };
        // Without a logo on paper the lines around it print in order.
        if (!context.logoPrints || values.value(QStringLiteral("chbLogo")) != QLatin1String("1")) {
            printLines(1, count(values, QStringLiteral("edtTextAnzahlZeilen")));
            return;
        }
        const int above = count(values, QStringLiteral("edtAnzZeilenUber"));
        const int rest = count(values, QStringLiteral("edtAnzZeilenNeben"))
                         + count(values, QStringLiteral("edtAnzZeilenUnter"));
        printLines(1, above);
        if (logo)
            job.items.append(*logo);
        printLines(above + 1, above + rest);
    }
};

} // namespace

const SectionPrinter &bonKopfPrinter()
{
    static const HeaderPrinter printer;
    return printer;
}
