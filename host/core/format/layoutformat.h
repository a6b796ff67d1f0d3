#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <utility>

// How a control's value is kept in a stored settings list. Decoding gives every control its
// canonical value, the one the control shows: "1"/"0" for a switch, the item index in decimal
// for a selector or radio group, the text otherwise. Editors and printers both read stored
// lists through here, so a record means the same in the window and on paper.
enum class FieldEncoding {
    Text,           // as the control shows it
    LineText,       // a text line; line breaks are removed on writing
    Flag10,         // switch: "1" / "0"; anything but "1" is off
    FlagJN,         // switch: "J" / "N"; anything but "J" is off
    FlagUnlessZero, // switch written "1" / "0" that any text but "0" sets
    FlagPair,       // two switches in two characters: "11", "10", "01", "00"; any other text
                    // sets neither
    ItemIndex,      // selector or radio group: the item index in decimal; not a number: none
    LogoPosition,   // radio group left/centre/right: "0".."2", anything else the centre
    NumberCm,       // a number of centimetres in the installation's fixed format ("6,52")
};

// One position of a settings list: the control it belongs to and how it is encoded.
struct FormatField
{
    FormatField() = default;
    FormatField(QString control, FieldEncoding encoding = FieldEncoding::Text,
                QString secondControl = {})
        : control(std::move(control))
        , encoding(encoding)
        , secondControl(std::move(secondControl))
    {
    }

    QString control;
    FieldEncoding encoding = FieldEncoding::Text;
    QString secondControl; // FlagPair: the second switch (control is the first)
};

// Control -> canonical value.
using FieldValues = QMap<QString, QString>;

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
    // Canonical values of the positions a stored list reaches.
    FieldValues decode(const QStringList &list) const;
    // Canonical values of every position a list reaches, whatever the stages: device records
    // are read by the engine and the output as far as they go.
    FieldValues decodeAvailable(const QStringList &list) const;
    // The first count positions written from canonical values (all when count < 0).
    QStringList encode(const FieldValues &values, int count = -1) const;

    // One position alone: its canonical values added to values, and its stored text.
    static void decodeField(const FormatField &field, const QString &stored, FieldValues &values);
    static QString encodeField(const FormatField &field, const FieldValues &values);
};

// The five entries of text line n as every format keeps them: edtTxtZeile<n> (line text),
// cmbSchriftArt<n>, cmbSchriftGroesse<n>, cmbSchriftStil<n>, cmbAusrichtung<n>.
struct LineFieldNames
{
    QString text;
    QString font;
    QString size;
    QString style;
    QString alignment;
};
LineFieldNames lineFieldNames(int line);
QList<FormatField> lineFields(int line);

// The heading editor's format: position 0 is the line count, then per line the text, font,
// size, style, alignment and, for the per-account sections, the "Je Sachkonto" flag.
// 15 lines; a list holds only the lines in use.
constexpr int HeadingMaxLines = 15;
const LayoutFormat &headingFormat(bool perAccountFlag);
// Entries per line of the heading format: 5, or 6 with the per-account flag.
int headingLineWidth(bool perAccountFlag);
