#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

// The designed layouts of the fictitious shoe shop a fresh store starts with: one record of
// every section the menus offer for the 23 document types, and of the card payments, as an
// 80 mm receipt printer prints them. Written as template records (workstation 0) by the seed.

// The two demo printers: the template printer in graphic mode and one in text mode.
enum class DemoPrinterMode { Graphic, Text };
struct DemoPrinter
{
    QString key; // printer preset name, the records' printer key
    DemoPrinterMode mode;
};
const QList<DemoPrinter> &demoPrinters();

struct DemoRecord
{
    QString kennung;
    QStringList list; // the stored settings list
};
// Every designed section for a printer of this mode, in menu order.
QList<DemoRecord> demoShopRecords(DemoPrinterMode mode);

// Header sections that print the shop's logo (the documents a customer takes home).
QStringList demoShopLogoSections();
// The shop's logo: a shoe in a ring and the initials, black on white, drawn without fonts so
// that a program without a window system can seed a store.
QImage demoShopLogo();
QByteArray demoShopLogoPng();
