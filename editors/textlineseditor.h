#pragma once

#include "editors/layouteditor.h"

#include <utility>

struct TextLinesSection;

// What an editor of plain text lines is made of; the void end, the zero-receipt end and the
// cash report positions differ only in this data.
struct TextLinesWindow
{
    const SectionInfo *section = nullptr;
    QString headline; // also the window title
    QString elements;
    QString lineCaption; // empty: "Textzeile <n>"
    QList<PlaceholderHint> hints;
    // The preset keeps the properties of layNbEndPresetFormat() instead of the settings list.
    bool presetKeepsProperties = false;
};

// An editor of a fixed number of text lines with a count of the lines in use. A stored list
// is applied only as a whole; every line is saved whatever the count.
class TextLinesEditor : public LayoutEditor
{
    Q_OBJECT
public:
    TextLinesEditor(const QString &componentName, const TextLinesWindow &window,
                    QWidget *parent = nullptr);

    void edtTextAnzahlZeilenChange();
    int lineCount() const;

    // The presets of windows that keep properties; the others keep their settings list.
    void btnVorgabeLadenClick() override;
    void btnVorgabeSpeichernClick() override;

protected:
    const LayoutFormat &format() const override;
    QList<int> previewLines() const override;

private:
    void addHints();

    TextLinesWindow m_window;
    const TextLinesSection &m_section;
    LineCountField *m_lineCount = nullptr;
};

// The shared placeholder hints of the void and zero-receipt ends.
QList<PlaceholderHint> sellerAndLineHints();
