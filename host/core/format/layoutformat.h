#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// How a control's value is kept in a stored settings list.
enum class FieldEncoding {
    Text,      // as the control shows it
    LineText,  // a text line; line breaks are removed on writing
    Flag10,    // check box: "1" / "0"
    FlagJN,    // check box: "J" / "N"
    ItemIndex, // selector or radio group: the item index in decimal
    NumberCm,  // a number of centimetres in the installation's fixed format ("6,52")
};

// One position of a settings list: the control it belongs to and how it is encoded.
struct FormatField
{
    QString control;
    FieldEncoding encoding = FieldEncoding::Text;
};

// The stored format of one kind of layout record, described once: the editors read and write
// their controls through it, the print engine reads the same record through it.
struct LayoutFormat
{
    QString name;
    QList<FormatField> fields; // position = index
    // Minimum list lengths in rising order: a stored list shorter than the first stage is
    // ignored; a longer one is applied up to the largest stage it reaches. Empty: a list
    // is applied as far as it goes.
    QList<int> stages;

    int size() const { return int(fields.size()); }
    int positionOf(const QString &control) const;
    // How many positions of a stored list of this length are applied.
    int applicableLength(qsizetype listLength) const;
    // Control name -> stored text for the positions a stored list reaches.
    QMap<QString, QString> decode(const QStringList &list) const;
};

// The heading editor's format: position 0 is the line count, then per line the text, font,
// size, style, alignment and, for the per-account sections, the "Je Sachkonto" flag.
// 15 lines; a list holds only the lines in use.
constexpr int HeadingMaxLines = 15;
const LayoutFormat &headingFormat(bool perAccountFlag);
// Entries per line of the heading format: 5, or 6 with the per-account flag.
int headingLineWidth(bool perAccountFlag);
