#pragma once

#include "core/sections/demodesign.h"
#include "core/sections/sectionprinters.h"

#include <QList>
#include <QString>
#include <QStringList>

// Every section the designer edits and the engine prints, in one table keyed by the section
// identifier: what it is, where the menus reach it, which window edits it, how it is stored and
// printed, and how the demo shop designs it. Menus, engine, test prints, editors and the demo
// read it; a section identifier is written nowhere else.

enum class SectionKind {
    Header,  // a document type's header, edited by the header editor
    Heading, // a text-only section, edited by the heading editor by its code
    Editor,  // a section with an editor window of its own
    Card,    // a card payment receipt, edited by the simple text editor
};

// Where a menu reaches a section: document type 1..23 and section index 0..27; for a card
// payment receipt, the card type and the operation.
struct MenuEntry
{
    int first = 0;
    int second = 0;
    friend bool operator==(const MenuEntry &, const MenuEntry &) = default;
};

struct SectionInfo
{
    QString kennung;
    SectionKind kind = SectionKind::Heading;
    // Heading: its section code 0..85; header: its document type.
    int code = -1;
    QString maske;       // preset key of the form store
    QString title;       // heading and card: the section's German name
    QString editorClass; // Editor: the window that edits it
    QString operation;   // the engine's print operation; empty for sections printed otherwise
    MenuEntry menu;
    const SectionPrinter *printer = nullptr;
    // The switch that prints a line at all, for the sections whose lines have one.
    QString (*lineSwitch)(int line) = nullptr;
    Demo::Design demo;

    const LayoutFormat &format() const { return printer->format(kennung); }
};

namespace SectionRegistry {

// In menu order: per document type its header and its sections, then the card receipts.
const QList<SectionInfo> &all();
// Null when no section has that identifier.
const SectionInfo *find(QStringView kennung);
const SectionInfo *header(int documentType);
const SectionInfo *heading(int code);
const SectionInfo *editor(QStringView className);
const SectionInfo *card(int cardType, int operation);
const SectionInfo *atMenu(int documentType, int section);
const SectionInfo *byOperation(QStringView operation);

// The headers the header editor falls back to, in order, when a type's own is missing.
QStringList headerFallbacks();

} // namespace SectionRegistry

// Section identifier of the header section of document type t (1..23); empty outside.
QString CBelegTyp_2_KennungKopf(int type);
