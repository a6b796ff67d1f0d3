#pragma once

#include "core/format/printercapabilities.h"
#include "core/model/documentdata.h"
#include "core/model/printjob.h"
#include "core/output/linepreview.h"
#include "core/output/printoutput.h"
#include "core/sections/headingsections.h"
#include "core/sections/sectionprinters.h"

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

    Host &host() const { return m_host; }
    int workstation() const { return m_workstation; }
    void setWorkstation(int rnr) { m_workstation = rnr; }
    QSet<int> documentTypes() const { return m_documentTypes; }

    // Reads the workstation's printer record, page setup and options again. A missing or
    // unusable record leaves an engine error (1001..1026) with the message service.
    void Refresh();

    QString Kasso_Typ_Get_Modus() const { return m_mode; }
    QStringList Kasso_Typ_Get_PrinterFonts() const { return m_printerFonts; }
    // The printer font of text lines that name none (text mode).
    QString printerBaseFont() const { return m_baseFont; }
    QString Kasso_Typ_Get_LayoutPrinterKey() const { return m_printerKey; }
    QString Kasso_Typ_Get_PrinterName() const;
    QStringList _Get_PrinterPageSetup() const { return m_pageSetup; }
    bool TextModusDirektVerwendet() const;
    // What the printer in use can do, as its record (or the preset it names) says.
    PrinterCapabilities capabilities() const { return capabilitiesOf(m_printerRecord); }
    // Whether logos print on this till: the rule the header and end editors offer them by.
    bool logoPrints() const;
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

    // ---- printing documents ----------------------------------------------------------------
    // A document is begun, filled section by section and ended; the ended document is kept
    // as the last job and handed to the output.
    void KT_DocBegin();
    void KT_DocEnd(bool keepOpen = false);
    // Prints the section of a print operation ("KT_PrintBonKopf", "KT_PrintBonPos", ...).
    // False for an operation the engine does not know (error 1018 is left).
    bool KT_Print(const QString &operation);
    // Prints a section from the current workstation's layout record: its own record, the
    // template workstation's under the printer key (or "TEST"), else the default design.
    bool printSection(const QString &kennung);
    void KT_PrintLine(const QString &text, const QString &alignment = QStringLiteral("L"),
                      int indent = 0);
    void KT_PrintNewLine(int count = 1);
    // The line kind of the next item or sum line ("P", "G", "R", "S", "U", "Z", ...).
    void setLineKind(const QString &kind)
    {
        m_lineKind = kind;
        m_calls << QStringLiteral("Zeilenart ") + kind;
    }
    // The document-kind text of the current document (the type's name, "Bestellung", ...).
    void setDocumentKind(const QString &text)
    {
        m_document.setText(QStringLiteral("BelegArt"), text);
        m_calls << QStringLiteral("Belegart ") + text;
    }
    QString lineKind() const { return m_lineKind; }

    // Card payment receipts: the section's text, then the card data.
    void KT_PrintECBu(const QStringList &belegDaten, bool withHeader = true);
    void KT_PrintECSto(const QStringList &belegDaten, bool withHeader = true);
    void KT_PrintKKBu(const QStringList &belegDaten, bool withHeader = true);
    void KT_PrintKKSto(const QStringList &belegDaten, bool withHeader = true);
    void KT_PrintKKGut(const QStringList &belegDaten, bool withHeader = true);

    // Cash drawer and customer display of the workstation.
    OutputResult KT_DrawerOpen();
    void KD_Init();
    OutputResult KD_Clear();
    OutputResult KD_Print(const QString &line1, const QString &line2);
    void KD_Done();

    // Where the last ended document went (test mode: nowhere).
    const OutputResult &lastOutput() const { return m_lastOutput; }
    PrintOutput &output() { return m_output; }
    // Ended documents go to the devices unless switched off (previews, measurements).
    void setOutputEnabled(bool enabled) { m_outputEnabled = enabled; }
    bool outputEnabled() const { return m_outputEnabled; }

    bool documentOpen() const { return m_documentOpen; }
    const PrintJob &currentJob() const { return m_job; }
    const PrintJob &lastJob() const { return m_lastJob; }
    // The last document as it looks on paper (text mode: as the printer sets the bytes).
    QImage lastPrintPicture() const { return m_output.pictureOf(m_lastJob, m_lastOutput); }
    // Every print call in order, as the operation names; for tests and the log.
    const QStringList &callLog() const { return m_calls; }
    void clearCallLog() { m_calls.clear(); }

    // One line of an editor as this till prints it on a share of the printable width (1: all of
    // it): with its printer's columns, sizes and code page in text mode, measured and broken as
    // on paper in graphic mode.
    LinePreview previewLine(const LineValues &line, const QString &kennung, bool secondCurrency,
                            double share = 1.0) const;

    // What a section of the current document is printed from: the document, the workstation,
    // the print mode, the currency rule and the logos.
    SectionPrintContext printContext(const QString &kennung) const;

    // The section identifier a print operation prints; empty when unknown.
    static QString sectionOfOperation(const QString &operation);

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
    QString m_baseFont;
    QString m_textPort; // serial port of direct text mode, "aus" or empty when not used
    QStringList m_pageSetup;
    QString m_prGeUebe;
    bool m_refreshFailed = false;
    DocumentData m_document;

    // Card receipts by card type (0 ec, 1 credit card) and operation (0 payment, 1 void,
    // 2 refund).
    void printCard(const QString &operation, int cardType, int cardOperation,
                   const QStringList &data);
    // The text lines from `first` on as the paper takes them: a value's line breaks start new
    // lines, and running text too wide for a graphic printer's paper is broken between words.
    void fitToPaper(qsizetype first);
    bool measuresLines() const;
    PrintJob newJob() const;
    void ensureDocument();

    bool m_documentOpen = false;
    PrintJob m_job;
    PrintJob m_lastJob;
    QString m_lineKind;
    QStringList m_calls;
    PrintOutput m_output;
    OutputResult m_lastOutput;
    bool m_outputEnabled = true;
    QStringList m_displayRecord;
};
