#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The character code tables of receipt printers, by the number n of ESC t n that selects them,
// with the tables of the C library's iconv. Each character is looked up on its own: one the
// table lacks prints as "?" and is reported, so that what cannot print is seen while designing
// and before a receipt goes out. Control characters never reach the printer (ESC p would open
// the drawer, GS V cut the paper); they are left out and not reported.
namespace CodePages {

struct CodePage
{
    int escT;              // n of ESC t n
    const char *iconvName; // the table's name for iconv
    const char *label;     // what the user sees: "PC858 (Westeuropa mit Euro)"
};

// ESC t 19: code page 858, code page 850 with the euro sign.
constexpr int Cp858 = 19;
constexpr int Cp1252 = 16;
// What a character the table lacks prints as.
constexpr char Substitute = '?';

// Every table the program knows, in the order of their numbers.
QList<CodePage> known();
// The table of ESC t n; null when the program does not know n.
const CodePage *find(int escT);
// "0, 2, 3, ..." for messages that say which numbers there are.
QString knownNumbers();

// The text in the table of ESC t n. Characters it lacks become Substitute and are added to
// unprintable, each once. A number the program does not know prints plain ASCII.
QByteArray encode(const QString &text, int escT, QString *unprintable = nullptr);
// What the printer prints for bytes in the table of ESC t n; a byte the table has no character
// for, and a control byte, is U+FFFD.
QString decode(const QByteArray &bytes, int escT);
// Whether the table of ESC t n has every character of the text; the ones it lacks are added to
// unprintable (may be null), each once.
bool canPrint(const QString &text, int escT, QString *unprintable);

} // namespace CodePages
