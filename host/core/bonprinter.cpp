#include "bonprinter.h"

#include "devicepresets.h"

#include "host.h"
#include "layoutstore.h"
#include "placeholdervalues.h"
#include <QFontDatabase>
#include <QGuiApplication>

namespace {
const QString Location = QStringLiteral("TBonPrinter.Refresh");
}

TBonPrinter::TBonPrinter(Host &host, const QSet<int> &documentTypes, int)
    : m_host(host)
    , m_documentTypes(documentTypes)
    , m_workstation(host.program().GetRId())
{
    Refresh();
}

void TBonPrinter::fail(int number, const QStringList &args)
{
    // The first failure of a refresh is its cause; a missing page setup of a missing
    // printer must not hide that the printer is missing.
    if (m_refreshFailed)
        return;
    m_refreshFailed = true;
    m_host.info().SetError(number, Location, args);
}

void TBonPrinter::Refresh()
{
    m_printerRecord.clear();
    m_printerRecordRnr = -1;
    m_mode.clear();
    m_printerKey.clear();
    m_printerFonts.clear();
    m_pageSetup.clear();
    m_refreshFailed = false;
    readPrinterRecord();
    readPageSetup();
    ReadPrGeUebe();
}

void TBonPrinter::readPrinterRecord()
{
    const LayoutStore &layouts = m_host.layouts();
    const QString ws = QString::number(m_workstation);
    // The workstation's own record, then the template's active one, then the dummy printer.
    const QList<LayoutKey> candidates = {
            {QStringLiteral("AKTBONDR"), m_workstation, QStringLiteral("AKTIV")},
            {QStringLiteral("AKTBONDR"), 0, QStringLiteral("AKTIV")},
            {QStringLiteral("AKTBONDR"), 0, QStringLiteral("TEST")},
    };
    QStringList list;
    bool found = false;
    try {
        for (const LayoutKey &key : candidates) {
            if (const auto stored = layouts.readList(key)) {
                list = *stored;
                m_printerRecordRnr = key.rnr;
                found = true;
                break;
            }
        }
    } catch (const StoreError &e) {
        fail(1005, {ws, e.text()});
        return;
    }
    if (!found) {
        fail(1001, {ws});
        return;
    }
    if (list.size() < PrinterRecordMinimum) {
        fail(1004, {ws});
        return;
    }
    bool ok = false;
    const int mode = list.at(0).trimmed().toInt(&ok);
    if (!ok || mode < 0 || mode > 2) {
        fail(1003, {ws, list.at(0)});
        return;
    }
    m_printerRecord = list;
    m_mode = QString(mode == 1 ? GraphicMode : mode == 0 ? TextMode : TestMode);
    m_printerKey = list.at(PrinterPresetNamePos).trimmed();
    for (int pos : {1, 4, 7, 10}) {
        if (!list.at(pos).isEmpty())
            m_printerFonts << list.at(pos);
    }
}

void TBonPrinter::readPageSetup()
{
    const QString key = m_printerKey.isEmpty() ? QStringLiteral("TEST") : m_printerKey;
    try {
        for (int rnr : {m_workstation, 0}) {
            if (const auto stored =
                        m_host.layouts().readList({QStringLiteral("SEITEEIN"), rnr, key})) {
                m_pageSetup = *stored;
                return;
            }
        }
    } catch (const StoreError &e) {
        fail(1006, {key, e.text()});
        return;
    }
    fail(1002, {key});
}

QString TBonPrinter::Kasso_Typ_Get_PrinterName() const
{
    if (const auto preset = findPreset(printerPresets(), m_printerKey))
        return preset->remark;
    return m_printerKey;
}

bool TBonPrinter::TextModusDirektVerwendet() const
{
    if (m_mode != QString(TextMode) || m_printerRecord.size() <= 45)
        return false;
    return m_printerRecord.at(45).startsWith(QLatin1String("COM"));
}

void TBonPrinter::ReadPrGeUebe()
{
    try {
        m_prGeUebe = m_host.parameters().StringParamRead(QStringLiteral("PRGEUEBE"), m_workstation);
    } catch (const StoreError &e) {
        m_prGeUebe.clear();
        fail(1007, {QStringLiteral("PRGEUEBE"), e.text()});
    }
}

bool TBonPrinter::ReplWH2(bool sumSection) const
{
    const QString option = m_prGeUebe.trimmed().left(1).toUpper();
    if (option == QLatin1String("A"))
        return true;
    if (option == QLatin1String("K"))
        return false;
    return sumSection;
}

QString TBonPrinter::Replace_All(const QString &text, bool secondCurrency, bool) const
{
    return replacePlaceholders(text, m_document, secondCurrency);
}

KTFontInfo TBonPrinter::GetKTFontInfosForKennung(const QString &) const
{
    if (m_mode == QString(GraphicMode)) {
        // The font database needs a GUI application; the print command may run without one.
        const bool gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
        return {gui ? QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()
                    : QStringLiteral("Sans Serif"),
                QStringLiteral("10")};
    }
    return {m_printerFonts.value(0), QString()};
}
