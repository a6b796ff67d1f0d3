#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <stdexcept>

class Host;

// A caller passed a value the operation does not define: a programming error, not a user's.
class IllegalParameterError : public std::invalid_argument
{
public:
    IllegalParameterError(const QString &place, const QString &parameter);
    QString place() const { return m_place; }
    QString text() const { return m_text; }

private:
    QString m_place;
    QString m_text;
};

// The user stopped a long-running operation; everything it had done is rolled back.
class OperationCancelled : public std::runtime_error
{
public:
    OperationCancelled();
};

// Setup modes of SaetzeAnlegen.
constexpr int SetupDefault = 1;   // replace existing records by the template's
constexpr int SetupAutomatic = 2; // add only what the workstation does not have yet

// The text written into the fourth field of every record a setup writes: "Default" for
// mode 1, "AutoWert" for mode 2. Throws IllegalParameterError for any other mode.
QString GetFiller(int mode);

// Creates the layout records of `workstation` for `printerKey` from those of the template
// workstation 0 under the same key. The printer and customer display records ("AKTBONDR",
// "DISPLAY", in any letter case) stay the workstation's own. Mode 1 replaces existing records,
// mode 2 keeps them. Workstation 0 is never set up from itself (nothing happens, 0 returned).
// Everything is one transaction: a failure or a progress callback answering false leaves the
// store as it was (OperationCancelled is thrown for the latter). Returns the records written.
int SaetzeAnlegen(Host &host, int workstation, const QString &printerKey, int mode,
                  const std::function<bool(int done, int total)> &progress = {});

// How many records an automatic setup (mode 2) of `workstation` for `printerKey` would add: the
// template's records under that key that the workstation does not have yet.
int missingFromTemplate(Host &host, int workstation, const QString &printerKey);

// Copies the settings of workstation `source` to every target: each of its layout records
// (sections and the device records "AKTBONDR", "DISPLAY", "SEITEEIN", of every printer key,
// with their fillers) replaces the target's record of the same key, and each of its
// per-workstation parameters the target's parameter of the same key. Records and parameters
// the source does not have are left to the target. Targets equal to the source, 0 (the
// template workstation) or repeated are skipped; a source of 0 or less (none chosen) copies
// nothing. One transaction for all targets. `flag` has no meaning for this host; the designer
// passes false.
void Copy_Rechner_Einstellungen(Host &host, int source, const QList<int> &targets, bool flag);
