#pragma once

#include "core/sections/sectionregistry.h"
#include "core/store/kastfile.h"
#include "widgets/tovoform.h"

#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class TBonPrinter;
class Host;

// The card payment receipts: one free text block with one common font, no line groups,
// preview or presets. The main window creates it once, gives it a section before each
// showing and keeps it for the run.
class TLayEASY : public TOVOForm
{
    Q_OBJECT
public:
    explicit TLayEASY(QWidget *parent = nullptr);
    ~TLayEASY() override;

    // A card payment receipt's section identifier and the window caption.
    void setSection(const QString &kennung, const QString &caption);
    QString Kennung() const { return m_kennung; }
    // Set by any change of the text block since it was loaded or saved.
    bool textChanged() const { return m_textChanged; }

    void FormShow();
    void btnOKClick();
    void btnTestClick();

    // The sample card data of a test print of the section, in the order of the document
    // record's text fields; throws std::invalid_argument for a section that is not a card's.
    static QStringList sampleCardData(const QString &kennung);

protected:
    void showEvent(QShowEvent *event) override;
    std::optional<AuditEvent> auditedSave() const override;
    QList<EditedRecord> editedRecords() override;
    QStringList shownVersion(const EditedRecord &record) override;
    void showVersion(const EditedRecord &record, const QStringList &list) override;

private:
    bool lookUp();
    void applyList(const QStringList &list);
    QStringList readList() const;

    Host &host() const;
    TBonPrinter &engine() const;

    Tkastfile KASTFile;
    QString m_kennung = SectionRegistry::card(0, 0)->kennung; // until the menu sets one
    bool m_textChanged = false;
    const QStringList m_sizes;

    QLabel *m_headline = nullptr;
    QCheckBox *m_chbBonKopf = nullptr;
    QComboBox *m_font = nullptr;
    QComboBox *m_size = nullptr;
    QComboBox *m_style = nullptr;
    QComboBox *m_alignment = nullptr;
    QPlainTextEdit *m_text = nullptr;
};
