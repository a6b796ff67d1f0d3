#pragma once

#include "editors/layouteditor.h"

class QLabel;
class QLineEdit;

// The heading editor: one window for the 85 text-only sections, chosen by a section code.
// Up to 15 text lines, each with font, size, style and alignment.
class TfrmLayBonueber : public LayoutEditor
{
    Q_OBJECT
public:
    static constexpr int HintCount = 12;

    explicit TfrmLayBonueber(QWidget *parent = nullptr);

    // Written by the main window before the window is shown (0..85).
    void setSectionCode(int code) { m_code = code; }
    int sectionCode() const { return m_code; }

    void edtTextAnzahlZeilenChange();
    void ChbImmerSchalten(bool show);
    int lineCount() const;
    int lineCountMaximum() const { return m_lineCount->maximum(); }

    struct Hint
    {
        QString token;
        QString description;
        bool visible = false;
    };
    const QList<Hint> &hints() const { return m_hints; }

protected:
    const LayoutFormat &format() const override;
    int storedLength() const override;
    void applySection() override;
    bool loadDefaultDesign(QStringList &list) override;
    QList<int> previewLines() const override;
    bool previewSecondCurrency() const override;

private:
    void showHints();

    int m_code = -1;
    LineCountField *m_lineCount = nullptr;
    QList<Hint> m_hints;
    QList<QLabel *> m_hintTokens;
    QList<QLabel *> m_hintTexts;
};
