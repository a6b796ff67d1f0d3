#include "editors/textlineseditor.h"

#include "core/sections/textlinesformat.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TextLinesEditor::TextLinesEditor(const QString &componentName, const TextLinesWindow &window,
                                 QWidget *parent)
    : LayoutEditor(componentName, parent)
    , m_window(window)
    , m_section(*textLinesSection(window.section->kennung))
{
    editSection(*window.section);
    setWindowTitle(window.headline);
    headline()->setText(window.headline);
    elementTitle()->setText(window.elements);

    m_lineCount = addLineCountField(1, m_section.lines, tr("Kopfzeilen: Anzahl von 0 bis 10 "));

    for (int i = 1; i <= m_section.lines; ++i) {
        LineGroup *group = addLine({});
        if (!window.lineCaption.isEmpty())
            group->caption()->setText(window.lineCaption);
        // A line shows its initial alignment without selecting the item; the preset keeps
        // item numbers and would bring back the first item instead.
        _ComboBox_SetText(group->alignment(), group->alignment()->currentText());
    }
    createPreviewLabels(m_section.lines);
    addHints();

    connectGuarded(m_lineCount, &LineCountField::countChanged, "edtTextAnzahlZeilenChange",
                   &TextLinesEditor::edtTextAnzahlZeilenChange);
    m_lineCount->setText(QStringLiteral("1"));
}

void TextLinesEditor::addHints()
{
    addHintPanel(tr("Häufig verwendete Platzhalter"), m_window.hints);
}

const LayoutFormat &TextLinesEditor::format() const
{
    return m_section.format;
}

int TextLinesEditor::lineCount() const
{
    return m_lineCount->count();
}

void TextLinesEditor::edtTextAnzahlZeilenChange()
{
    const int n = lineCount();
    for (LineGroup *group : lineGroups())
        group->setVisible(group->number() <= n);
}

QList<int> TextLinesEditor::previewLines() const
{
    QList<int> numbers;
    for (int i = 1; i <= lineCount(); ++i)
        numbers << i;
    return numbers;
}

void TextLinesEditor::btnVorgabeSpeichernClick()
{
    if (!m_window.presetKeepsProperties) {
        LayoutEditor::btnVorgabeSpeichernClick();
        return;
    }
    FormStore.SetMaske(Maske());
    FormStore.LayOutListe.clear();
    for (const FormatField &field : layNbEndPresetFormat().fields)
        FormStore.LayOutListe << readField(field);
    FormStore.store(QString::number(RNr()), presetFlag());
}

void TextLinesEditor::btnVorgabeLadenClick()
{
    if (!m_window.presetKeepsProperties) {
        LayoutEditor::btnVorgabeLadenClick();
        return;
    }
    FormStore.LayOutListe.clear();
    FormStore.SetMaske(Maske());
    if (FormStore.restore(QString::number(RNr()), presetFlag())) {
        const LayoutFormat &kept = layNbEndPresetFormat();
        const int n = kept.applicableLength(FormStore.LayOutListe.size());
        for (int p = 0; p < n; ++p)
            writeField(kept.fields.at(p), FormStore.LayOutListe.at(p));
    }
    btnPreviewClick();
}

QList<PlaceholderHint> sellerAndLineHints()
{
    return {{QStringLiteral("#VknNr#"), QObject::tr("Verkäuferin Nummer")},
            {QStringLiteral("#VknName#"), QObject::tr("Verkäuferin Name")},
            {QStringLiteral("#Linie#"), QObject::tr("Linie")}};
}
