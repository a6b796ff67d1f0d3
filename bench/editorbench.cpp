#include "editorbench.h"

#include "LayBonende.h"
#include "LayBonkopf.h"
#include "LayBonpos.h"
#include "LayBonsumme.h"
#include "LayBonueber.h"
#include "host.h"
#include "kassotypu.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

double medianMs(const std::function<void()> &run, int runs)
{
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        times << double(t.nsecsElapsed()) / 1e6;
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

void openAndClose(QDialog &dialog)
{
    dialog.show();
    QApplication::processEvents();
    dialog.hide();
}

} // namespace

void benchEditorOpening(QTextStream &out, const QString &folder)
{
    const ComputerConfig config = ComputerConfig::load(
            {QStringLiteral("--store=") + folder + QStringLiteral("/editors.sqlite"),
             QStringLiteral("--config=") + folder + QStringLiteral("/none.ini"),
             QStringLiteral("--log=") + folder + QStringLiteral("/editors.log"),
             QStringLiteral("--workstation=3")});
    std::unique_ptr<Host> host = Host::open(config);
    TfrmKassotypHaupt mainWindow(*host, {});

    struct Editor
    {
        const char *name;
        std::function<std::unique_ptr<QDialog>()> make;
    };
    const Editor editors[] = {
            {"Überschrift (TfrmLayBonueber, Code 3)",
             [] {
                 auto e = std::make_unique<TfrmLayBonueber>();
                 e->setSectionCode(3);
                 return std::unique_ptr<QDialog>(std::move(e));
             }},
            {"Kopf (TfrmLayBonkopf, Bon)",
             [] {
                 auto e = std::make_unique<TfrmLayBonkopf>();
                 e->setDocumentType(13);
                 return std::unique_ptr<QDialog>(std::move(e));
             }},
            {"Positionen (TfrmLayBonPos)",
             [] {
                 return std::unique_ptr<QDialog>(new TfrmLayBonPos);
             }},
            {"Summen (TfrmLayBonSum)",
             [] {
                 return std::unique_ptr<QDialog>(new TfrmLayBonSum);
             }},
            {"Ende (TfrmLayBonende)",
             [] {
                 return std::unique_ptr<QDialog>(new TfrmLayBonende);
             }},
    };
    constexpr int runs = 9;
    for (const Editor &e : editors) {
        int controls = 0;
        const double editorMs = medianMs(
                [&] {
                    std::unique_ptr<QDialog> dialog = e.make();
                    openAndClose(*dialog);
                    controls = int(dialog->findChildren<QWidget *>().size());
                },
                runs);
        const double plainMs = medianMs(
                [&] {
                    QDialog dialog;
                    auto *layout = new QVBoxLayout(&dialog);
                    for (int i = 0; i < controls; ++i)
                        layout->addWidget(new QLineEdit(&dialog));
                    openAndClose(dialog);
                },
                runs);
        out << "| opening the editor " << QString::fromUtf8(e.name) << " (create, show, load, "
            << "preview) | " << QString::number(editorMs, 'f', 1) << " ms | "
            << QString::number(plainMs, 'f', 1) << " ms (plain dialog with " << controls
            << " controls) | " << QString::number(editorMs / plainMs, 'f', 2) << " | at most 2.0"
            << (editorMs / plainMs <= 2.0 ? " (met)" : " (MISSED)") << " |\n";
    }
}
