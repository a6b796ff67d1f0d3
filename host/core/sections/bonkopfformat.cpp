#include "core/sections/bonkopfformat.h"

#include "core/app/host.h"
#include "core/engine/bonprinter.h"
#include "core/engine/hosttables.h"
#include "core/engine/textfunctions.h"
#include "core/sections/sectionformats.h"

#include <QImage>

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

QString LogoSectionFormat::canonical(const QString &control, const QString &stored) const
{
    const auto rule = readings.constFind(control);
    if (rule == readings.cend())
        return stored;
    switch (*rule) {
    case StoredReading::FlagUnlessZero:
        return stored == QLatin1String("0") ? QStringLiteral("0") : QStringLiteral("1");
    case StoredReading::PositionOrCentre: {
        bool ok = false;
        const int position = stored.trimmed().toInt(&ok);
        return ok && position >= 0 && position <= 2 ? QString::number(position)
                                                    : QStringLiteral("1");
    }
    }
    return stored;
}

QStringList LogoSectionFormat::canonicalList(const QStringList &stored) const
{
    QStringList list = stored;
    const int n = int(qMin<qsizetype>(list.size(), table.fields.size()));
    for (int p = 0; p < n; ++p)
        list[p] = canonical(table.fields.at(p).control, list.at(p));
    return list;
}

QMap<QString, QString> LogoSectionFormat::canonicalValues(QMap<QString, QString> values) const
{
    for (auto it = values.begin(); it != values.end(); ++it)
        it.value() = canonical(it.key(), it.value());
    return values;
}

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

std::optional<JobItem> logoItem(const QMap<QString, QString> &values,
                                const SectionPrintContext &context)
{
    if (values.value(QStringLiteral("chbLogo")) != QLatin1String("1"))
        return std::nullopt;
    const double width = StrToFloatDef_FSKRT(values.value(QStringLiteral("edtLogoBreite")), 0);
    const double height = StrToFloatDef_FSKRT(values.value(QStringLiteral("edtLogoHoehe")), 0);
    if (width <= 0 || height <= 0)
        return std::nullopt;
    const LogoStore &logos = context.engine.host().logos();
    for (int rnr : {context.engine.workstation(), 0}) {
        const std::optional<StoredLogo> stored =
                logos.load({KassotypProgramKey, context.kennung, CurrentLogoName, rnr});
        if (!stored)
            continue;
        JobItem item;
        item.kind = JobItem::Kind::Picture;
        item.section = context.kennung;
        // A picture that cannot be decoded prints as nothing rather than as a hole.
        if (!item.picture.loadFromData(stored->picture))
            return std::nullopt;
        item.widthCm = width;
        item.heightCm = height;
        item.alignment = logoAlignment(values.value(QStringLiteral("rgpLogoPosition")).toInt());
        return item;
    }
    return std::nullopt;
}

const LogoSectionFormat &bonKopfFormat()
{
    static const LogoSectionFormat format = [] {
        LogoSectionFormat f;
        f.table.name = QStringLiteral("Belegkopf");
        f.table.fields << FormatField{QStringLiteral("chbLogo"), FieldEncoding::Flag10}
                       << FormatField{QStringLiteral("lblLogoName"), FieldEncoding::Text}
                       << FormatField{QStringLiteral("edtLogoBreite"), FieldEncoding::NumberCm}
                       << FormatField{QStringLiteral("edtLogoHoehe"), FieldEncoding::NumberCm}
                       << FormatField{QStringLiteral("rgpLogoPosition"), FieldEncoding::ItemIndex}
                       << FormatField{QStringLiteral("chbText"), FieldEncoding::Flag10}
                       << FormatField{QStringLiteral("edtTextAnzahlZeilen"), FieldEncoding::Text};
        for (int i = 1; i <= HeaderLineCount; ++i) {
            const QString n = QString::number(i);
            f.table.fields
                    << FormatField{QStringLiteral("edtTxtZeile") + n, FieldEncoding::LineText}
                    << FormatField{QStringLiteral("cmbSchriftArt") + n, FieldEncoding::Text}
                    << FormatField{QStringLiteral("cmbSchriftGroesse") + n, FieldEncoding::Text}
                    << FormatField{QStringLiteral("cmbSchriftStil") + n, FieldEncoding::Text}
                    << FormatField{QStringLiteral("cmbAusrichtung") + n, FieldEncoding::Text};
        }
        f.table.fields << FormatField{QStringLiteral("edtAnzZeilenUber"), FieldEncoding::Text}
                       << FormatField{QStringLiteral("edtAnzZeilenNeben"), FieldEncoding::Text}
                       << FormatField{QStringLiteral("edtAnzZeilenUnter"), FieldEncoding::Text};
        f.table.stages = {int(f.table.fields.size())};
        f.readings = {{QStringLiteral("chbLogo"), StoredReading::FlagUnlessZero},
                      {QStringLiteral("chbText"), StoredReading::FlagUnlessZero},
                      {QStringLiteral("rgpLogoPosition"), StoredReading::PositionOrCentre}};
        return f;
    }();
    return format;
}

const QStringList &bonKopfFallbackKennungen()
{
    static const QStringList list = {
            QStringLiteral("BONKOPF"),  QStringLiteral("REKLKOPF"), QStringLiteral("GUTKOPF"),
            QStringLiteral("NULLKOPF"), QStringLiteral("KASKOPF"),  QStringLiteral("RECHKOPF"),
            QStringLiteral("ENTKOPF"),  QStringLiteral("QUITKOPF"), QStringLiteral("RESEKOPF"),
            QStringLiteral("FAKOPF"),   QStringLiteral("MAILKOPF"), QStringLiteral("GSCHRKPF")};
    return list;
}

namespace {

int count(const QMap<QString, QString> &values, const QString &control)
{
    return qBound(0, values.value(control).trimmed().toInt(), HeaderLineCount);
}

class HeaderPrinter : public SectionPrinter
{
public:
    const LayoutFormat &format(const QString &) const override { return bonKopfFormat().table; }

    void print(const QMap<QString, QString> &stored, const SectionPrintContext &context,
               PrintJob &job) const override
    {
        if (stored.isEmpty())
            return;
        const QMap<QString, QString> values = bonKopfFormat().canonicalValues(stored);
        const bool text = values.value(QStringLiteral("chbText")) == QLatin1String("1");
        const std::optional<JobItem> logo = logoItem(values, context);
        auto printLines = [&](int from, int to) {
            for (int line = from; text && line <= qMin(to, HeaderLineCount); ++line)
                job.items.append(textLineItem(values, line, context));
        };
        if (values.value(QStringLiteral("chbLogo")) != QLatin1String("1")) {
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

const SectionPrinter *bonKopfPrinter(const QString &kennung)
{
    static const HeaderPrinter printer;
    if (kennung.isEmpty())
        return nullptr;
    for (int type = 1; type <= DocumentTypeCount; ++type) {
        if (CBelegTyp_2_KennungKopf(type) == kennung)
            return &printer;
    }
    return bonKopfFallbackKennungen().contains(kennung) ? &printer : nullptr;
}
