#pragma once

#include <QGroupBox>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// The controls of one text line of an editor, named with the line number: the group box
// OVOStdGroupBox<i> holding the text edtTxtZeile<i>, font cmbSchriftArt<i>, size
// cmbSchriftGroesse<i>, style cmbSchriftStil<i>, alignment cmbAusrichtung<i>, and the
// switches an editor adds (chbImmer<i>, ...).
class LineGroup : public QGroupBox
{
    Q_OBJECT
public:
    static const QStringList &styles();     // "normal", "fett", "kursiv", "fett/kursiv"
    static const QStringList &alignments(); // "links", "mitte", "rechts"

    struct Initial
    {
        QString text;
        QString style = QStringLiteral("normal");
        QString alignment = QStringLiteral("mitte");
        int maxLength = 150;
    };

    LineGroup(int number, const Initial &initial, QWidget *parent = nullptr);

    int number() const { return m_number; }
    QLineEdit *text() const { return m_text; }
    QComboBox *font() const { return m_font; }
    QComboBox *size() const { return m_size; }
    QComboBox *style() const { return m_style; }
    QComboBox *alignment() const { return m_alignment; }
    QLabel *caption() const { return m_caption; }

    // Adds a check box named <prefix><number>; it starts hidden when asked.
    QCheckBox *addSwitch(const QString &prefix, const QString &caption, bool hidden = false);
    QCheckBox *findSwitch(const QString &prefix) const;

private:
    int m_number;
    QLabel *m_caption;
    QLineEdit *m_text;
    QComboBox *m_font;
    QComboBox *m_size;
    QComboBox *m_style;
    QComboBox *m_alignment;
    class QLayout *m_switches;
};
