#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// Text and number conversions of the host. Numbers in stored lists use the fixed format of
// the installation: a decimal comma and two decimals ("6,52").
QString Zeilenumbrueche_entfernen(const QString &text);
QDate ovo_Date();
QDateTime ovo_Now();
QString ovo_DateToStr(const QDate &date);
QString ovo_TimeToStr(const QTime &time);
QString ovo_padleft(const QString &text, int width, QChar fill = u' ');
// Throws std::invalid_argument for text that is not a number.
double StrToFloat_FSKRT(const QString &text);
double StrToFloatDef_FSKRT(const QString &text, double fallback);
QString FloatToStr_FSKRT(double value);
