#pragma once

#include "bench/benchtable.h"

#include <QList>

// The sections of the template the setups copy from, under a printer the demo shop has no
// designs for, so that the template holds these sections only.
constexpr int TemplateSections = 150;
inline const QString BenchPrinter = QStringLiteral("TM-J8000");
QString sectionKennung(int section);
// The numbers first, first + 1, ... (count of them).
QList<int> range(int first, int count);
// A settings list of the size a heading section has.
QByteArray sectionBlob(int section);
// The template on workstation 0, and workstation 1 set up from it with 30 parameters of its own.
void fillTemplate(Host &host);
// The same records copied by plain SQL, without our code (see the definition).
void plainCopy(Host &host, int source, const QList<int> &targets, bool wholeWorkstation,
               bool oneTransaction);

// SaetzeAnlegen from a 150-section template into 500 workstations and copying settings to
// 500 targets, each against the same records copied by plain SQL; on SQLite with their growth
// from 100 to 500.
void benchWorkstationSetup(BudgetTable &table, const QString &folder, int runs, Backend backend);

// Looking up records in a store of a million records against one of ten thousand.
void benchLookup(BudgetTable &table, const QString &folder);

// Looking up and saving one record against one plain prepared statement each.
void benchLookupAndSave(BudgetTable &table, const QString &folder, int runs, Backend backend);
