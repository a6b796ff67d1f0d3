#pragma once

#include "documentdata.h"
#include "headingsections.h"

#include <QSet>
#include <QString>
#include <QStringList>

class Host;

// The receipt print engine as the designer sees it: the printer settings, page setup and
// options of the current workstation, read from the store by Refresh.
class TBonPrinter
{
public:
    // Print modes as Kasso_Typ_Get_Modus reports them.
    static constexpr char16_t GraphicMode = u'G';
    static constexpr char16_t TextMode = u'T';
    static constexpr char16_t TestMode = u'X';

    TBonPrinter(Host &host, const QSet<int> &documentTypes, int mode = -1);

    int workstation() const { return m_workstation; }
    void setWorkstation(int rnr) { m_workstation = rnr; }
    QSet<int> documentTypes() const { return m_documentTypes; }

    // Reads the workstation's printer record, page setup and options again. A missing or
    // unusable record leaves an engine error (1001..1026) with the message service.
    void Refresh();

    QString Kasso_Typ_Get_Modus() const { return m_mode; }
    QStringList Kasso_Typ_Get_PrinterFonts() const { return m_printerFonts; }
    QString Kasso_Typ_Get_LayoutPrinterKey() const { return m_printerKey; }
    QString Kasso_Typ_Get_PrinterName() const;
    QStringList _Get_PrinterPageSetup() const { return m_pageSetup; }
    bool TextModusDirektVerwendet() const;
    void ReadPrGeUebe();
    QString prGeUebe() const { return m_prGeUebe; }

    // Font of the default designs: the first font the print mode offers, size 10 in graphic
    // mode (text mode has no sizes).
    KTFontInfo GetKTFontInfosForKennung(const QString &kennung) const;

    // The current document whose data fill the placeholders.
    const DocumentData &document() const { return m_document; }
    DocumentData &document() { return m_document; }
    void setDocument(const DocumentData &document) { m_document = document; }

    // Whether amounts in currency 2 are printed in a section; sumSection is true for the
    // sections that carry the document's totals. Follows the option "PRGEUEBE": "A" all
    // prices, "G" totals only, "K" none.
    bool ReplWH2(bool sumSection) const;
    // The text with every placeholder replaced from the current document.
    QString Replace_All(const QString &text, bool secondCurrency, bool all = true) const;

    // The printer record in use (empty when none) and the workstation it was read from.
    QStringList printerRecord() const { return m_printerRecord; }
    int printerRecordWorkstation() const { return m_printerRecordRnr; }

private:
    void readPrinterRecord();
    void readPageSetup();
    void fail(int number, const QStringList &args);

    Host &m_host;
    QSet<int> m_documentTypes;
    int m_workstation = 0;
    QStringList m_printerRecord;
    int m_printerRecordRnr = -1;
    QString m_mode;
    QString m_printerKey;
    QStringList m_printerFonts;
    QStringList m_pageSetup;
    QString m_prGeUebe;
    bool m_refreshFailed = false;
    DocumentData m_document;
};
