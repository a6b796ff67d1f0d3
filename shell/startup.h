#pragma once

#include <QString>

#include <memory>
#include <thread>

class Host;
class MessagePresenter;
class OVOInfo;
class QObject;
class Store;
class TfrmKassotypHaupt;
struct ComputerConfig;

// Reads the system's font configuration (some sixty files) on a second thread while the
// application object is made, the store opens and the main window is built. Qt would read it on
// the main thread when the window first measures its text, which was a sixth of every start.
// finish() waits for it; so does the destructor.
class FontConfigWarmUp
{
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp &) = delete;
    FontConfigWarmUp &operator=(const FontConfigWarmUp &) = delete;

    void finish();

private:
    std::thread m_reader;
};

// The start-up sequence: program service, application title, main window, placeholder
// picker, each step checked for a pending error. Failures are shown and start-up goes on;
// returns null only when no main window could be made.
std::unique_ptr<TfrmKassotypHaupt> startKassotyp(Host &host, const ComputerConfig &config);

// Lets the check of the store's file run (held back while the window was made) and shows the
// damage it finds as soon as it has finished, not only at the first save. Damage known
// already was shown by startKassotyp(). Stops with `context`.
void checkStoreFileInBackground(Store &store, OVOInfo &info, QObject *context);

// A store file named on the command line or in the INI file that does not exist is created
// (as a new demo installation) only when the user agrees: a mistyped path must not silently
// start an empty shop. The default location is created without asking. False: do not open.
bool mayCreateStore(const ComputerConfig &config, MessagePresenter &presenter);

// Qt's own texts (message box buttons, file chooser) in German, from the system's Qt
// translations; false when they are not installed.
bool installGermanQtTranslations();

// What "kassotyp --help" prints: the call, the start modes and the computer's options.
QString commandLineHelp();

// A text explaining why no window can be shown here (no display and no platform chosen),
// or an empty text.
QString missingDisplayProblem(int argc, char *argv[]);
