#include "core/sections/demoshop.h"

#include "core/base/programkey.h"
#include "core/model/hosttables.h"
#include "core/sections/cardformat.h"
#include "core/sections/headingsections.h"
#include "core/sections/sectionregistry.h"
#include "core/sections/textlinesformat.h"

#include <QBuffer>
#include <QPainter>
#include <QPainterPath>

const QList<DemoPrinter> &demoPrinters()
{
    static const QList<DemoPrinter> printers = {
            {QStringLiteral("TM-T88"), DemoPrinterMode::Graphic},
            {QStringLiteral("TM-T88T"), DemoPrinterMode::Text},
    };
    return printers;
}

namespace {

using namespace Demo;
using enum Look;

struct LookStyle
{
    const char16_t *font;
    const char16_t *size;
    const char16_t *style;
    int columns;
};

const LookStyle &lookStyle(Look look, DemoPrinterMode mode)
{
    // Graphic mode: a proportional face for text, the monospaced one where amounts stand in a
    // column, so that the tabs line up; 36 columns of 8 points fit the TM-T88's 6.52 cm.
    static const LookStyle graphic[] = {
            {u"DejaVu Sans", u"14", u"fett", 20},     {u"DejaVu Sans", u"12", u"fett", 24},
            {u"DejaVu Sans", u"9", u"normal", 32},    {u"DejaVu Sans", u"9", u"fett", 30},
            {u"DejaVu Sans", u"8", u"normal", 38},    {u"DejaVu Sans Mono", u"8", u"normal", 36},
            {u"DejaVu Sans Mono", u"8", u"fett", 36}, {u"DejaVu Sans Mono", u"10", u"fett", 30},
    };
    // Text mode: the thermal printer's fonts on its 72 mm (576 dots at 203 dpi), font A 48
    // columns, font B 64, and both at double width.
    static const LookStyle text[] = {
            {u"8.5 cpi", u"", u"fett", 24},    {u"11.3 cpi", u"", u"fett", 32},
            {u"16.9 cpi", u"", u"normal", 48}, {u"16.9 cpi", u"", u"fett", 48},
            {u"22.6 cpi", u"", u"normal", 64}, {u"16.9 cpi", u"", u"normal", 48},
            {u"16.9 cpi", u"", u"fett", 48},   {u"11.3 cpi", u"", u"fett", 32},
    };
    return (mode == DemoPrinterMode::Graphic ? graphic : text)[int(look)];
}

// ---- turning designs into settings lists -----------------------------------------------------

QString expanded(const QString &text, const LookStyle &style, const QString &typeName)
{
    QString out = text;
    out.replace(QStringLiteral("#{R}#"), QStringLiteral("#{R%1}#").arg(style.columns * 6));
    out.replace(QStringLiteral("{LINIE}"), QString(style.columns, u'-'));
    out.replace(QStringLiteral("{TYP}"), typeName);
    return out;
}

void setLine(FieldValues &values, int line, Look look, char16_t align, const QString &text,
             DemoPrinterMode mode)
{
    const LookStyle &style = lookStyle(look, mode);
    const LineFieldNames names = lineFieldNames(line);
    values.insert(names.text, text);
    values.insert(names.font, QString::fromUtf16(style.font));
    values.insert(names.size, QString::fromUtf16(style.size));
    values.insert(names.style, QString::fromUtf16(style.style));
    values.insert(names.alignment, align == u'm'   ? QStringLiteral("mitte")
                                   : align == u'r' ? QStringLiteral("rechts")
                                                   : QStringLiteral("links"));
}

QStringList encode(const SectionInfo &section, DemoPrinterMode mode, const QString &typeName)
{
    const QString &kennung = section.kennung;
    const Design &design = section.demo;
    const LayoutFormat &format = section.format();
    FieldValues values;
    // Lines the design leaves empty still get the plain look, so that an editor opens on a
    // usable font.
    for (int line = 1; format.positionOf(lineFieldNames(line).text) >= 0; ++line)
        setLine(values, line, Text, u'l', QString(), mode);
    for (const Line &line : design.lines) {
        setLine(values, line.number, line.look, line.align,
                expanded(QString::fromUtf16(line.text), lookStyle(line.look, mode), typeName),
                mode);
        if (section.lineSwitch) {
            if (const QString control = section.lineSwitch(line.number); !control.isEmpty())
                values.insert(control, QStringLiteral("1"));
        }
    }
    for (const auto &[control, value] : design.values)
        values.insert(control, value);
    if (design.logo && mode == DemoPrinterMode::Text) {
        // Plain text mode prints no logo, and its header editor offers none.
        values.insert(QStringLiteral("chbLogo"), QStringLiteral("0"));
        values.insert(QStringLiteral("lblLogoName"), QStringLiteral("- kein Logo vorhanden -"));
        values.insert(QStringLiteral("edtLogoBreite"), QStringLiteral("0"));
        values.insert(QStringLiteral("edtLogoHoehe"), QStringLiteral("0"));
    } else if (design.logo) {
        values.insert(QStringLiteral("lblLogoName"),
                      KassotypProgramKey + u'\\' + kennung + QStringLiteral("\\0"));
    }
    if (const std::optional<HeadingSection> heading = headingSectionByKennung(kennung)) {
        // A heading list holds the lines in use only.
        values.insert(QStringLiteral("edtTextAnzahlZeilen"), QString::number(design.lines.size()));
        return format.encode(
                values,
                1 + int(design.lines.size()) * headingLineWidth(hasPerAccountFlag(heading->code)));
    }
    return format.encode(values);
}

QStringList encodeCard(const SectionInfo &card, DemoPrinterMode mode)
{
    const LookStyle &style = lookStyle(Text, mode);
    FieldValues values = {{QStringLiteral("chbBonKopf"), QStringLiteral("1")},
                          {QStringLiteral("cmbSchriftArt"), QString::fromUtf16(style.font)},
                          {QStringLiteral("cmbSchriftGroesse"), QString::fromUtf16(style.size)},
                          {QStringLiteral("cmbSchriftStil"), QString::fromUtf16(style.style)},
                          {QStringLiteral("cmbAusrichtung"), QStringLiteral("links")}};
    for (const Line &line : card.demo.lines)
        values.insert(cardTextLine(line.number), QString::fromUtf16(line.text));
    return cardFormat().encode(values, CardHeadLength + int(card.demo.lines.size()));
}

} // namespace

QList<DemoRecord> demoShopRecords(DemoPrinterMode mode)
{
    QList<DemoRecord> records;
    for (const SectionInfo &section : SectionRegistry::all()) {
        if (section.kind == SectionKind::Card) {
            records.append({section.kennung, encodeCard(section, mode)});
            continue;
        }
        const int type = section.menu.first;
        records.append({section.kennung, encode(section, mode, CBelegName(type))});
    }
    return records;
}

QStringList demoShopLogoSections()
{
    QStringList sections;
    for (const SectionInfo &section : SectionRegistry::all()) {
        if (section.demo.logo)
            sections << section.kennung;
    }
    return sections;
}

QImage demoShopLogo()
{
    // 400 x 160, printed 4 x 1.6 cm: a ring with a lace-up shoe in it, then the initials.
    QImage image(400, 160, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    QPainterPath ring;
    ring.addEllipse(QPointF(80, 80), 76, 76);
    ring.addEllipse(QPointF(80, 80), 66, 66);
    p.drawPath(ring);

    QPainterPath shoe;
    shoe.moveTo(30, 104);
    shoe.cubicTo(26, 90, 26, 70, 32, 58); // heel counter
    shoe.cubicTo(40, 54, 50, 56, 56, 62); // collar
    shoe.cubicTo(62, 66, 70, 64, 76, 58);
    shoe.lineTo(88, 62);                       // tongue
    shoe.cubicTo(104, 76, 122, 80, 134, 86);   // vamp
    shoe.cubicTo(144, 91, 146, 100, 140, 104); // toe
    shoe.closeSubpath();
    p.drawPath(shoe);
    QPainterPath sole;
    sole.moveTo(28, 108);
    sole.lineTo(140, 108);
    sole.cubicTo(146, 108, 146, 114, 140, 115);
    sole.lineTo(56, 115);
    sole.lineTo(52, 124);
    sole.lineTo(32, 124);
    sole.closeSubpath();
    p.drawPath(sole);
    // Laces and the welt's stitches, cut out in white.
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(84 + i * 10, 67 + i * 5), QPointF(77 + i * 10, 77 + i * 5));
    p.setPen(QPen(Qt::white, 2, Qt::DashLine));
    p.drawLine(QPointF(34, 97), QPointF(136, 97));

    // "SF" in strokes rather than a font.
    p.setPen(QPen(Qt::black, 14, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath s;
    s.moveTo(262, 44);
    s.cubicTo(248, 26, 196, 26, 196, 56);
    s.cubicTo(196, 84, 262, 76, 262, 106);
    s.cubicTo(262, 136, 204, 136, 192, 116);
    p.drawPath(s);
    QPainterPath f;
    f.moveTo(370, 32);
    f.lineTo(300, 32);
    f.lineTo(300, 130);
    f.moveTo(300, 78);
    f.lineTo(352, 78);
    p.drawPath(f);
    p.end();
    return image;
}

QByteArray demoShopLogoPng()
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    demoShopLogo().save(&buffer, "PNG");
    return png;
}
