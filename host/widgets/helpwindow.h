#pragma once

#include <QDialog>
#include <QString>

class QTextBrowser;

// The user guide inside the program, opened at the chapter of the window it was asked from.
// The guide is the Markdown file the package installs (or the source tree's, in a build), with
// its pictures.
class HelpWindow : public QDialog
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // Shows the chapter numbered so ("3. The receipt header ..."); false when the guide or
    // the chapter cannot be found (the window then says so).
    bool showChapter(int chapter);
    // The chapter of the guide that describes the window of this object name.
    static int chapterOf(const QString &windowName);
    // Where the guide is read from; empty when it is installed nowhere this program looks.
    static QString guidePath();
    QTextBrowser *browser() const { return m_browser; }

    // Opens the guide at the chapter of the window (one help window for the whole program).
    static void showFor(QWidget *window);

private:
    QTextBrowser *m_browser;
};
