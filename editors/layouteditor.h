#pragma once

#include "core/engine/fiscalcheck.h"
#include "core/sections/sectionregistry.h"

#include "core/format/layoutformat.h"
#include "core/store/formstore.h"
#include "core/store/kastfile.h"
#include "editors/linecountfield.h"
#include "editors/linegroup.h"
#include "widgets/tovoform.h"

#include <QList>
#include <QPointer>

#include <optional>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QTimer;
class LogoBlock;
class QVBoxLayout;
class Host;
class TBonPrinter;

// A placeholder the hint panel of an editor names, with what it stands for.
struct PlaceholderHint
{
    QString token;
    QString description;
};

// The base of every section editor: one modal window that edits one layout record. It owns
// the editing cycle (load the record or its fallback, controls <-> settings list, live and
// full-screen preview, placeholders, presets, save) so that each editor only names its
// section, its controls and its stored format.
class LayoutEditor : public TOVOForm
{
    Q_OBJECT
public:
    explicit LayoutEditor(const QString &componentName, QWidget *parent = nullptr);
    ~LayoutEditor() override;

    // A line edit with this property set to true refreshes the preview when it is left, not
    // while it is typed in.
    static constexpr const char *PreviewWhenLeft = "previewWhenLeft";

    QString Kennung() const { return m_kennung; }
    QString Maske() const { return m_maske; }

    // The editing cycle, in the names every editor shares.
    void FormShow();
    // Editors with more to load or save (a logo, fallback sections) extend these.
    virtual void Einstellungen_Laden();
    virtual void Einstellungen_Speichern();
    virtual void Einstellungen_MaskeSchreiben(const QStringList &list);
    virtual void Einstellungen_MaskeLesen(QStringList &list);
    void _ComboBox_SetText(QComboBox *combo, const QString &text);
    void Maske_Fonts_Laden();
    void Maske_FontSize_Laden();
    void btnPreviewClick();
    virtual void scbPreviewClick();
    // The case chosen beside the preview fills the sample data of every preview and test print.
    void cmbBelegFallChange();
    void btnPlatzhalterClick();
    void InsertPlatzhalter(const QString &token);
    virtual void btnVorgabeLadenClick();
    virtual void btnVorgabeSpeichernClick();
    void btnVorgabeLoeschenClick();
    virtual void btnBuchenClick();

    // Printable width of the current printer in screen pixels; asks for the paper width
    // first when the printer has no page setup.
    int printableWidth();
    // The preset flag: false on office computers (types 1, 2, 7), true on tills.
    bool presetFlag() const;
    // The till and the printer the window designs for: "Kasse 3 - Drucker TM-T88 (Grafikmodus)".
    QString targetDescription() const;

    const QList<LineGroup *> &lineGroups() const { return m_lines; }
    LineGroup *line(int number) const { return m_lines.value(number - 1); }
    QLabel *previewLabel(int number) const { return m_previewLabels.value(number - 1); }
    int previewLabelCount() const { return int(m_previewLabels.size()); }

    // Screen resolution used for centimetres; tests fix it.
    double pixelsPerInch() const;

    // The selectors of a line that only graphic mode offers: most editors switch the font
    // name and size off outside graphic mode, the invoice editors the size and the style.
    enum class GraphicOnlySelectors { FontAndSize, SizeAndStyle };

protected:
    // What a concrete editor supplies.
    virtual const LayoutFormat &format() const = 0;
    // How many positions of the format a save writes (all by default).
    virtual int storedLength() const { return format().size(); }
    // FormShow's section-specific steps, before the selectors are filled.
    virtual void applySection() {}
    // The default settings list when no record exists; false when the editor has none.
    virtual bool loadDefaultDesign(QStringList &list);
    // Draws the live preview into the preview labels, starting at y = 10.
    virtual void drawPreview(int width);
    // Line numbers the default preview draws, in order.
    virtual QList<int> previewLines() const;
    virtual bool previewSecondCurrency() const { return false; }
    // The selectors of a line that only graphic mode offers.
    virtual GraphicOnlySelectors graphicOnlySelectors() const
    {
        return GraphicOnlySelectors::FontAndSize;
    }

    // Looks up (Kennung, rnr, printerKey) in the record store; true makes that record current.
    bool lookUp(int rnr, const QString &printerKey);
    // Loads the Kennung's record of this workstation, else of workstation 0 under the printer
    // key (or "TEST"), into the controls; false when neither exists.
    bool loadRecordWithFallback();
    void setKennung(const QString &kennung) { m_kennung = kennung; }
    // The section this window edits: its identifier and its preset key.
    void editSection(const SectionInfo &section)
    {
        m_kennung = section.kennung;
        m_maske = section.maske;
    }
    // Sizes an imported logo from its picture, fitted to the printable width with a note.
    void takeImportedLogo(LogoBlock &logo);
    // What a save would store right now.
    QStringList currentList();
    // The size a line prints with when none is given.
    static constexpr int DefaultPointSize = 10;
    void giveNewLinesAFont();
    static constexpr int PreviewPauseMs = 400;
    // Refreshes the live preview once changes pause for PreviewPauseMs.
    void schedulePreview();
    // The printer key a save writes under; refuses a save when no printer is set up.
    QString printerKeyForSaving() const;
    void setMaske(const QString &maske) { m_maske = maske; }

    // Building blocks for the concrete editors.
    LineGroup *addLine(const LineGroup::Initial &initial);
    void createPreviewLabels(int count);
    // Draws one line into a preview label as the editors share it; advances y.
    void writePreviewLine(QLabel *label, const LineGroup *line, int &y, int width,
                          bool secondCurrency, bool sizeToContent = true, int left = 10);
    void hidePreview();

    // The placeholder hint panel above the preview: a bold title, then a row per hint with
    // the token "lblPH<n>" and its description "lblTxtPH<n>", in columnPairs pairs of columns.
    struct HintRow
    {
        QLabel *token;
        QLabel *description;
    };
    QList<HintRow> addHintPanel(const QString &title, const QList<PlaceholderHint> &hints,
                                int columnPairs = 1);
    // The "Anzahl Zeilen:" row above the lines; the editor shows the lines of the count it
    // signals.
    LineCountField *addLineCountField(int minimum, int maximum, const QString &toolTip);
    // Brings what the user left half-typed (a count field still being edited) to the value a
    // save stores; runs before the controls are read for any save.
    virtual void settleInput();

    // Values of format positions to and from the controls.
    void writeField(const FormatField &field, const QString &stored);
    QString readField(const FormatField &field) const;
    // The canonical values of the fields' controls as a save writes them.
    virtual FieldValues readControls(const QList<FormatField> &fields) const;

    TBonPrinter &engine() const;
    Host &host() const;
    int RNr() const;

    QWidget *headerArea() const { return m_headerArea; }
    QVBoxLayout *lineLayout() const { return m_lineLayout; }
    QVBoxLayout *sideLayout() const { return m_sideLayout; }
    QScrollArea *lineScrollArea() const { return m_lineScroll; }
    QLabel *headline() const { return m_headline; }
    QLabel *elementTitle() const { return m_elementTitle; }
    QPushButton *buchenButton() const { return m_btnBuchen; }

    Tkastfile KASTFile;
    TOVOFormStore FormStore;

    std::optional<AuditEvent> auditedSave() const override;
    // An audit event of this editor's section and workstation.
    AuditEvent auditEvent(AuditAction action) const;

    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool hasUnsavedChanges() const override;

    // The record a save writes and, at a till, the template's record it starts from.
    QList<EditedRecord> editedRecords() override;
    QStringList shownVersion(const EditedRecord &record) override;
    // The controls show the version and the preview follows at once.
    void showVersion(const EditedRecord &record, const QStringList &list) override;

private:
    void buildFrame();
    void followChangesInPreview();
    // Warns when a save left out what the country asks of a receipt that had it before.
    void warnOfFiscalGaps(const QList<FiscalFinding> &before, const QList<FiscalFinding> &after,
                          Country country);
    // Runs a preset button's handler (a virtual one, so a window's own takes over).
    void runPresetOperation(void (LayoutEditor::*handler)(), const QString &operation);

    QString m_kennung;
    QString m_maske;
    QList<LineGroup *> m_lines;
    QList<QLabel *> m_previewLabels;
    // The window's count fields, made with it: looked up once, not among its thousand
    // controls at every save.
    std::optional<QList<QPointer<LineCountField>>> m_countFields;

    QWidget *m_headerArea = nullptr;
    QLabel *m_headline = nullptr;
    QLabel *m_target = nullptr;
    QLabel *m_elementTitle = nullptr;
    QScrollArea *m_lineScroll = nullptr;
    QVBoxLayout *m_lineLayout = nullptr;
    QVBoxLayout *m_sideLayout = nullptr;
    QScrollArea *m_previewScroll = nullptr;
    QWidget *m_previewPage = nullptr;
    QPushButton *m_btnBuchen = nullptr;
    QAction *m_actBuchen = nullptr;
    QMenu *m_popupMenu = nullptr;
    bool m_shown = false;
    // What the window showed once it was loaded; closing asks when the controls differ.
    std::optional<QStringList> m_opened;
    // Refreshes the preview after a pause in typing.
    QTimer *m_previewTimer = nullptr;
    // The printable width in screen pixels the preview is drawn for; lines may take a share.
    int m_previewPaperWidth = 0;
    QLabel *m_presetStatus = nullptr;
    QComboBox *m_case = nullptr;
};

// The section an editor window edits, by the window's class as the section registry names it.
const SectionInfo &sectionEditedBy(const QMetaObject &window);
