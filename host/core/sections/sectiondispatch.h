#pragma once

#include <QList>
#include <QString>

#include <optional>

// What the section menus offer and what each entry opens.
namespace SectionDispatch {

constexpr int SectionCount = 28;
constexpr int HeaderSection = 0;     // "Kopf"
constexpr int TestPrintSection = 21; // "Testdruck"

QString sectionCaption(int index); // 0..27

struct Target
{
    enum class Kind { HeaderEditor, HeadingEditor, Editor, TestPrint };
    Kind kind = Kind::TestPrint;
    int sectionCode = -1; // heading editor
    QString editorClass;  // named editor
};

// The target of (document type, section index); nullopt for a pair the menus never offer.
std::optional<Target> target(int documentType, int section);
// Sections offered for a document type, as a mask: bit i set offers section i.
quint32 sectionMask(int documentType);
// Every (type, section) pair of the table, in type and menu order.
QList<std::pair<int, int>> allEntries();
// The section identifier a menu entry edits ("BONKOPF", "BONPOS", "AUUEBER", ...); empty for
// the test print and for a pair the menus never offer.
QString sectionKennung(int documentType, int section);

// Electronic payment: card types 0 "ec-Lastschrift" and 1 "Kreditkarte", operations
// 0 "Zahlung", 1 "Stornieren", 2 "Gutschrift".
QString cardTypeCaption(int cardType);
QString operationCaption(int operation);
quint8 operationMask(int cardType);
struct CardSection
{
    QString kennung;
    QString caption;
};
std::optional<CardSection> cardSection(int cardType, int operation);

// Types a workstation that is not a till may choose.
bool offeredOffTill(int documentType);

} // namespace SectionDispatch
