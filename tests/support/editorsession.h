#pragma once

#include "editors/layouteditor.h"
#include "tests/support/guisupport.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <algorithm>
#include <memory>

// One editor window on its own test installation: shown, searched by control name and read
// back as the settings list it would store. The installation starts without the demo shop's
// designs unless told otherwise, so that a window shows what the test stores.
template<class Editor>
class EditorSession
{
public:
    explicit EditorSession(const TestInstallation::Options &options = withoutDemoShop())
        : installation(options)
        , main(installation)
    {
    }
    static TestInstallation::Options withoutDemoShop()
    {
        TestInstallation::Options options;
        options.demoShop = false;
        return options;
    }
    ~EditorSession()
    {
        if (editor)
            editor->close();
    }

    Editor &show(std::unique_ptr<Editor> window)
    {
        if (editor)
            editor->close();
        editor = std::move(window);
        editor->show();
        // Active, so that keys and focus changes reach it as they reach the user's window.
        editor->activateWindow();
        if (!QTest::qWaitForWindowActive(editor.get()))
            qWarning("editor did not become active");
        return *editor;
    }

    // The control `name`, or `name` followed by `number` ("edtTxtZeile", 3).
    template<class T = QWidget>
    T *find(const QString &name, int number = 0) const
    {
        const QString full = number > 0 ? name + QString::number(number) : name;
        T *w = editor->template findChild<T *>(full);
        if (!w)
            qFatal("no control %s", qPrintable(full));
        return w;
    }

    // What the window would store right now.
    QStringList shown() const
    {
        QStringList list;
        editor->Einstellungen_MaskeLesen(list);
        return list;
    }

    // Which lists of line n take input: "Art Groesse Stil", "-" for one that does not; and
    // whether the font list offers exactly the engine's fonts of a text-mode printer.
    QString enabledSelectors(int line = 1) const
    {
        QStringList states;
        for (const char *name : {"cmbSchriftArt", "cmbSchriftGroesse", "cmbSchriftStil"}) {
            const QWidget *list = find(QString::fromLatin1(name), line);
            states << (list->isEnabled() ? QString::fromLatin1(name).mid(10) : QStringLiteral("-"));
        }
        return states.join(u' ');
    }
    bool fontListHoldsThePrinterFonts(int line = 1)
    {
        const auto *fonts = find<QComboBox>(QStringLiteral("cmbSchriftArt"), line);
        const QStringList printerFonts = main.engine().Kasso_Typ_Get_PrinterFonts();
        for (const QString &font : printerFonts) {
            if (fonts->findText(font) < 0)
                return false;
        }
        return !printerFonts.isEmpty() && fonts->count() >= printerFonts.size();
    }

    // The preview labels shown, top to bottom.
    QList<const QLabel *> shownPreviewLabels() const
    {
        QList<const QLabel *> labels;
        for (int n = 1; n <= editor->previewLabelCount(); ++n) {
            if (!editor->previewLabel(n)->isHidden())
                labels << editor->previewLabel(n);
        }
        std::sort(labels.begin(), labels.end(),
                  [](const QLabel *a, const QLabel *b) { return a->y() < b->y(); });
        return labels;
    }

    // Line numbers of the preview labels shown (their texts are "#<line>"), top to bottom;
    // {-1} when they do not follow each other without gaps from the top of the preview.
    QList<int> previewedWithoutGaps() const
    {
        QList<int> lines;
        int top = 14;
        for (const QLabel *label : shownPreviewLabels()) {
            if (label->y() != top)
                return {-1};
            top = label->y() + label->height() + 4;
            lines << label->text().mid(1).toInt();
        }
        return lines;
    }

    TestInstallation installation;
    FakeMainWindow main;
    std::unique_ptr<Editor> editor;
};
