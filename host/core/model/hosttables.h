#pragma once

#include <QSet>
#include <QString>

// Document types 1..23 of the installation.
constexpr int DocumentTypeCount = 23;

// Name of document type t (1..23); empty outside that range.
QString CBelegName(int type);
// Name of the header section of document type t, as the header editor titles it after
// "Gestaltung des " and "Elemente des " ("Bonkopfes", "Gutscheinkopfes", ...).
QString headerTitle(int type);
// The set of all document types.
QSet<int> CAlleBonArten();

// Workstation types: 1 main PC, 2 back-office PC, 3 and 4 tills, 7 head office.
QString C_RTyp_Text(int type);
bool isTillType(int type); // the host's cash-register types (C_RTypen_Kassen)
