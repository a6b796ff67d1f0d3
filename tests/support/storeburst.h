#pragma once

#include "core/store/layoutstore.h"

#include <QList>
#include <QString>

class Host;

// The saves that tests/support/storeworker.cpp makes and that the concurrency and kill tests
// check afterwards. Every blob names its writer and round on each of its lines, so a record
// mixed from two writes or cut short is told apart from a whole one.
namespace StoreBurst {

constexpr int GroupSize = 6; // records one multi-record write replaces together
constexpr int SetupTarget = 7;
constexpr int CopyTarget = 8;
extern const QString Printer;

QByteArray blob(int writer, int round);
// The writer and round of a whole blob; {-1, -1} when it is not one.
std::pair<int, int> parse(const QByteArray &blob);

LayoutKey sharedKey();
LayoutKey ownKey(int writer);
QList<LayoutKey> groupKeys(int rnr, const QString &kennungPrefix);

// One round of the concurrent saves: the shared record, the writer's own record and the group,
// each in one write.
void saveRound(Host &host, int writer, int round);
// One round of the operations a kill may interrupt: the group, the template's records for the
// setup, SaetzeAnlegen into SetupTarget, then Copy_Rechner_Einstellungen to CopyTarget.
void setupRound(Host &host, int round);

// Empty when every group of `rnr` holds one whole round; else what is wrong. `expectPresent`
// false also accepts a group none of whose records exists yet.
QString checkGroup(Host &host, const QList<LayoutKey> &keys, bool expectPresent,
                   int *round = nullptr);

} // namespace StoreBurst
