#include "core/format/deviceformats.h"
#include "editors/LayBonStornoEnde.h"
#include "editors/LayBonende.h"
#include "editors/LayBonkopf.h"
#include "editors/LayBonpos.h"
#include "editors/LayBonsumme.h"
#include "editors/LayBonueber.h"
#include "editors/LayKassenbericht.h"
#include "editors/LayNullbonEnde.h"
#include "editors/LayRechEnde.h"
#include "editors/LayRechPos.h"
#include "editors/LayRechSumme.h"
#include "editors/LayReklPos.h"
#include "editors/LayReklReg.h"
#include "editors/layEASYU.h"
#include "fuzz/fuzzcheck.h"
#include "settings/SeiteEinr.h"
#include "settings/allgtreiber.h"
#include "tests/support/guisupport.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

// A stored record as any blob, read into the window that edits it the way the program loads a
// stored record: put into the record store, then loaded by the window's own load operation
// and, for the section editors, drawn into the live preview. The first byte picks the window;
// each window is created and shown once and reused.
namespace {

constexpr int OwnRnr = 3;
// The device records go to another workstation, so that the engine keeps its printer key.
constexpr int DeviceRnr = 5;
const QString PageSetupKennung = QStringLiteral("SEITEEIN");

using Loader = std::function<void(const QByteArray &)>;

class WindowRun
{
public:
    WindowRun()
        : main(installation, OwnRnr)
    {
        editor<TfrmLayBonueber>([](auto &w) { w.setSectionCode(3); });
        editor<TfrmLayBonueber>([](auto &w) { w.setSectionCode(37); }); // per-account flag
        editor<TfrmLayBonkopf>([](auto &w) { w.setDocumentType(1); });
        editor<TfrmLayBonPos>();
        editor<TfrmLayBonSum>();
        editor<TfrmLayBonende>();
        editor<TfrmLayBonStornoEnde>();
        editor<TfrmLayNullbonEnde>();
        editor<TfrmLayKassenbericht>();
        editor<TfrmLayRechPos>();
        editor<TfrmLayRechSum>();
        editor<TfrmLayRechEnde>();
        editor<TfrmLayReklPos>();
        editor<TfrmLayReklReg>();
        window<TLayEASY>([this](TLayEASY &w, const QByteArray &blob) {
            installation.putBlob(w.Kennung(), OwnRnr, printerKey(), blob);
            w.FormShow();
        });
        window<TfrmAllgTreiber>([this](TfrmAllgTreiber &w, const QByteArray &blob) {
            installation.putBlob(PrinterRecordKennung, DeviceRnr, ActivePrinterKey, blob);
            w.Druckereinstellung_Laden(DeviceRnr, ActivePrinterKey);
        });
        window<TfrmAllgTreiber>([this](TfrmAllgTreiber &w, const QByteArray &blob) {
            installation.putBlob(DisplayRecordKennung, DeviceRnr, DisplayRecordKennung, blob);
            w.Kundenanzeige_Laden(DeviceRnr);
        });
        window<TfrmBreiteRaender>([this](TfrmBreiteRaender &w, const QByteArray &blob) {
            installation.putBlob(PageSetupKennung, OwnRnr, printerKey(), blob);
            w.FormShow();
        });
    }

    QString storeFolder() const { return QFileInfo(installation.storePath()).absolutePath(); }

    void load(const std::uint8_t *data, std::size_t size)
    {
        if (size == 0)
            return;
        loaders.at(data[0] % loaders.size())(fuzzBytes(data + 1, size - 1));
        // Damaged records are reported, not shown: forget the reports of this input.
        installation.messages().clear();
    }

private:
    QString printerKey() { return main.engine().Kasso_Typ_Get_LayoutPrinterKey(); }

    // A window created and shown on first use; load runs inside its exception guard, as a
    // handler of the program would.
    template<class Window>
    void window(std::function<void(Window &, const QByteArray &)> load,
                std::function<void(Window &)> setup = {})
    {
        loaders.push_back(
                [load, setup, w = std::shared_ptr<Window>()](const QByteArray &blob) mutable {
                    if (!w) {
                        w = std::make_shared<Window>();
                        if (setup)
                            setup(*w);
                        w->show();
                    }
                    w->guard(QStringLiteral("Fuzz"), [&] { load(*w, blob); });
                });
    }

    template<class Editor>
    void editor(std::function<void(Editor &)> setup = {})
    {
        window<Editor>(
                [this](Editor &e, const QByteArray &blob) {
                    installation.putBlob(e.Kennung(), OwnRnr, printerKey(), blob);
                    e.Einstellungen_Laden();
                    e.btnPreviewClick();
                },
                setup);
    }

    TestInstallation installation;
    FakeMainWindow main;
    std::vector<Loader> loaders;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startApplication<QApplication>(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Never freed: at exit, statics that Qt created while the windows were in use are gone
    // before a static run would be, and freeing the windows would reach into them. Only the
    // store's folder is removed then.
    static WindowRun *run = [] {
        auto *created = new WindowRun;
        static const std::string folder = created->storeFolder().toStdString();
        std::atexit([] { std::filesystem::remove_all(folder); });
        return created;
    }();
    run->load(data, size);
    return 0;
}
