#include "bench/editorbench.h"

#include "core/app/host.h"
#include "core/engine/bonprinter.h"
#include "core/sections/sectiondispatch.h"
#include "core/store/layoutstore.h"
#include "editors/LayBonueber.h"
#include "editors/layEASYU.h"
#include "shell/editorregistry.h"
#include "shell/kassotypu.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QVBoxLayout>

#include <algorithm>

namespace {

struct EditorEntry
{
    QString name;
    std::function<std::unique_ptr<TOVOForm>(QWidget *owner)> make;
};

// Every editor window of the program: the heading and card editors, the header editor and
// whatever the main window's registry holds.
QList<EditorEntry> everyEditor(TfrmKassotypHaupt &mainWindow)
{
    QList<EditorEntry> list;
    list << EditorEntry{QStringLiteral("TfrmLayBonueber"), [](QWidget *owner) {
                            auto e = std::make_unique<TfrmLayBonueber>(owner);
                            e->setSectionCode(3);
                            return std::unique_ptr<TOVOForm>(std::move(e));
                        }};
    const EditorRegistry::HeaderFactory header = mainWindow.editors().headerEditor();
    list << EditorEntry{QStringLiteral("TfrmLayBonkopf"), [header](QWidget *owner) {
                            return header(owner, 13);
                        }};
    QStringList names = mainWindow.editors().classNames();
    std::sort(names.begin(), names.end());
    for (const QString &name : names)
        list << EditorEntry{name, mainWindow.editors().editor(name)};
    for (int operation = 0; operation < 1000; ++operation) {
        if (const auto card = SectionDispatch::cardSection(0, operation)) {
            list << EditorEntry{QStringLiteral("TLayEASY"), [card](QWidget *owner) {
                                    auto e = std::make_unique<TLayEASY>(owner);
                                    e->setSection(card->kennung, card->caption);
                                    return std::unique_ptr<TOVOForm>(std::move(e));
                                }};
            break;
        }
    }
    return list;
}

void openAndClose(QWidget &window)
{
    window.show();
    QApplication::processEvents();
    window.hide();
}

int controlCount(const QWidget &window)
{
    return int(window.findChildren<QWidget *>().size());
}

// What the editor's "Speichern" writes, against the same bytes written by one plain upsert. The
// two are timed by turns, so that the disk's moods fall on both alike.
void benchSave(BudgetTable &table, Host &host, LayoutEditor &editor, int runs)
{
    // Every save changes one line: SQLite skips writing a row that stays byte for byte the same,
    // and such a save would measure nothing.
    int change = 0;
    QLineEdit *firstLine = editor.line(1)->text();
    const auto saveOnce = [&] {
        firstLine->setText(QStringLiteral("Summe %1").arg(++change % 10));
        return elapsedMsOf([&] { editor.Einstellungen_Speichern(); });
    };
    saveOnce(); // the record exists from here on, as it does for every later save
    const int rnr = host.config().workstationId;
    std::optional<LayoutRecord> saved;
    for (const LayoutRecord &r : host.layouts().keys(LayoutFilter{rnr, rnr, std::nullopt})) {
        if (r.key.kennung == editor.Kennung())
            saved = host.layouts().find(r.key);
    }
    if (!saved)
        benchFailure(
                QStringLiteral("the record %1 of the editor was not saved").arg(editor.Kennung()));
    const LayoutKey &key = saved->key;

    QSqlDatabase db = host.store().database();
    const auto upsertOnce = [&] {
        return elapsedMsOf([&] {
            QSqlQuery q(db);
            q.prepare(QStringLiteral("INSERT INTO layout_records (kennung, rnr, printer_key, "
                                     "blob) VALUES (?, ?, ?, ?) ON CONFLICT (rnr, printer_key, "
                                     "kennung) DO UPDATE SET blob = excluded.blob"));
            q.addBindValue(QStringLiteral("BENCHRAW"));
            q.addBindValue(key.rnr);
            q.addBindValue(key.printerKey);
            QByteArray bytes = saved->blob;
            bytes[bytes.size() / 2] = char('0' + ++change % 10);
            q.addBindValue(bytes);
            if (!q.exec())
                benchFailure(QStringLiteral("plain upsert failed"));
        });
    };
    upsertOnce();
    Figure save;
    Figure upsert;
    for (int i = 0; i < runs; ++i) {
        save.samples << saveOnce();
        upsert.samples << upsertOnce();
    }
    table.add(QStringLiteral("saving a layout record (%1, %2 bytes)")
                      .arg(editor.metaObject()->className())
                      .arg(saved->blob.size()),
              save, QStringLiteral("one SQLite upsert of the same bytes"), upsert,
              QStringLiteral("at most 2x"), atMost(2.0));
}

// The demo's till whose printer works in text mode.
constexpr int TextModeTill = 4;

// "Vorschau": the preview lines rebuilt and painted, against a repaint of the whole window.
void benchPreviewRefresh(BudgetTable &table, LayoutEditor &editor, int runs, const QString &mode)
{
    editor.show();
    QApplication::processEvents();
    QLabel *first = editor.previewLabel(1);
    if (!first || !first->parentWidget() || !first->parentWidget()->parentWidget())
        benchFailure(QStringLiteral("the editor has no preview"));
    QWidget *viewport = first->parentWidget()->parentWidget();
    // Warm both paths once.
    editor.btnPreviewClick();
    viewport->repaint();
    editor.repaint();
    const Figure refresh = timeMs(runs * 3, [&] {
        editor.btnPreviewClick();
        viewport->repaint();
    });
    const Figure repaint = timeMs(runs * 3, [&] { editor.repaint(); });
    editor.hide();
    table.add(QStringLiteral("live preview refresh of the largest editor (%1 in %2: preview "
                             "lines rebuilt and painted)")
                      .arg(editor.metaObject()->className(), mode),
              refresh, QStringLiteral("one repaint of that editor"), repaint,
              QStringLiteral("at most 1x"), atMost(1.0));
}

} // namespace

void benchEditors(BudgetTable &table, const QString &folder, int runs)
{
    std::unique_ptr<Host> host = openBenchHost(folder, QStringLiteral("editors"));
    TfrmKassotypHaupt mainWindow(*host, {});

    QString largestName;
    int largestControls = 0;
    for (const EditorEntry &entry : everyEditor(mainWindow)) {
        int controls = 0;
        entry.make(&mainWindow); // the first window of a kind pays for its fonts and styles
        const Figure editor = timeMs(runs, [&] {
            std::unique_ptr<TOVOForm> window = entry.make(&mainWindow);
            openAndClose(*window);
            controls = controlCount(*window);
        });
        const Figure plain = timeMs(runs, [&] {
            QDialog dialog(&mainWindow);
            auto *layout = new QVBoxLayout(&dialog);
            for (int i = 0; i < controls; ++i)
                layout->addWidget(new QLineEdit(&dialog));
            openAndClose(dialog);
        });
        table.add(QStringLiteral("opening the editor %1 (create, show, load, live preview)")
                          .arg(entry.name),
                  editor, QStringLiteral("plain dialog with the same %1 controls").arg(controls),
                  plain, QStringLiteral("at most 1.5x"), atMost(1.5));
        if (controls > largestControls && entry.name != QLatin1String("TLayEASY")) {
            largestControls = controls;
            largestName = entry.name;
        }
    }

    for (const EditorEntry &entry : everyEditor(mainWindow)) {
        if (entry.name != largestName)
            continue;
        std::unique_ptr<TOVOForm> window = entry.make(&mainWindow);
        auto *editor = qobject_cast<LayoutEditor *>(window.get());
        if (!editor)
            benchFailure(QStringLiteral("%1 is no layout editor").arg(largestName));
        benchPreviewRefresh(table, *editor, runs, QStringLiteral("graphic mode"));
        benchSave(table, *host, *editor, runs);
    }

    // A text-mode till: the preview shows each line as the printer's cells.
    std::unique_ptr<Host> till =
            openBenchHost(folder, QStringLiteral("editors-text"), TextModeTill);
    TfrmKassotypHaupt tillWindow(*till, {});
    if (tillWindow.engine().Kasso_Typ_Get_Modus() != QLatin1String("T"))
        benchFailure(
                QStringLiteral("workstation %1 of the demo is not in text mode").arg(TextModeTill));
    for (const EditorEntry &entry : everyEditor(tillWindow)) {
        if (entry.name != largestName)
            continue;
        std::unique_ptr<TOVOForm> window = entry.make(&tillWindow);
        if (auto *editor = qobject_cast<LayoutEditor *>(window.get()))
            benchPreviewRefresh(table, *editor, runs, QStringLiteral("text mode"));
    }
}

Figure timeEditorOpening(Host &host, const QString &name, int runs)
{
    TfrmKassotypHaupt mainWindow(host, {});
    for (const EditorEntry &entry : everyEditor(mainWindow)) {
        if (entry.name != name)
            continue;
        entry.make(&mainWindow); // the first window of a kind pays for its fonts and styles
        return timeMs(runs, [&] {
            std::unique_ptr<TOVOForm> window = entry.make(&mainWindow);
            openAndClose(*window);
        });
    }
    benchFailure(QStringLiteral("no editor %1").arg(name));
}

void openEveryEditorOnce(const QString &folder)
{
    std::unique_ptr<Host> host = openBenchHost(folder, QStringLiteral("memory"));
    TfrmKassotypHaupt mainWindow(*host, {});
    mainWindow.show();
    QApplication::processEvents();
    for (const EditorEntry &entry : everyEditor(mainWindow)) {
        std::unique_ptr<TOVOForm> window = entry.make(&mainWindow);
        openAndClose(*window);
    }
}
