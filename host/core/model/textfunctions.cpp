#include "core/model/textfunctions.h"

#include <QLocale>

#include <cmath>
#include <stdexcept>

QString Zeilenumbrueche_entfernen(const QString &text)
{
    QString out = text;
    out.remove(u'\r');
    out.remove(u'\n');
    return out;
}

QDate ovo_Date()
{
    return QDate::currentDate();
}

QDateTime ovo_Now()
{
    return QDateTime::currentDateTime();
}

QString ovo_DateToStr(const QDate &date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

QString ovo_TimeToStr(const QTime &time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QString ovo_padleft(const QString &text, int width, QChar fill)
{
    return text.rightJustified(width, fill, false);
}

namespace {

std::optional<double> parseNumber(const QString &text)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    // Both separators are accepted; with both present the last one is the decimal separator.
    const qsizetype comma = t.lastIndexOf(u',');
    const qsizetype point = t.lastIndexOf(u'.');
    if (comma >= 0 && point >= 0) {
        if (comma > point) {
            t.remove(u'.');
            t.replace(u',', u'.');
        } else {
            t.remove(u',');
        }
    } else {
        t.replace(u',', u'.');
    }
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

} // namespace

double StrToFloat_FSKRT(const QString &text)
{
    const std::optional<double> v = parseNumber(text);
    if (!v)
        throw std::invalid_argument(
                QStringLiteral("\"%1\" ist keine gültige Zahl.").arg(text).toStdString());
    return *v;
}

double StrToFloatDef_FSKRT(const QString &text, double fallback)
{
    return parseNumber(text).value_or(fallback);
}

QString FloatToStr_FSKRT(double value)
{
    QString s = QString::number(value, 'f', 2);
    s.replace(u'.', u',');
    return s;
}
