#include "widgets/helpwindow.h"

#include <QAbstractTextDocumentLayout>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

struct WindowChapter
{
    const char *window;
    int chapter;
};

// Windows by object name and the chapter of the guide that explains them. The editors without
// a chapter of their own are explained by the header's, which describes every editor's shape.
constexpr WindowChapter Chapters[] = {
        {"frmKassotypHaupt", 2},     {"frmLayBonkopf", 3},       {"frmLayBonende", 3},
        {"frmLayRechEnde", 3},       {"frmLayBonStornoEnde", 3}, {"frmLayNullbonEnde", 3},
        {"frmLayKassenbericht", 3},  {"frmLayBonueber", 3},      {"LayEASY", 3},
        {"frmBuchenAlle", 3},        {"frmPlatzhalter", 3},      {"frmLogoVollansicht", 3},
        {"frmLayBonPos", 4},         {"frmLayBonSum", 4},        {"frmLayRechPos", 4},
        {"frmLayRechSum", 4},        {"frmLayReklPos", 4},       {"frmLayReklReg", 4},
        {"frmPreview", 6},           {"frmTestdruckAnzeige", 7}, {"frmSettings", 8},
        {"frmAllgEinstellungen", 8}, {"frmBreiteRaender", 9},    {"frmAllgTreiber", 10},
        {"frmCopyOptions", 12},      {"frmVerlauf", 14},
};

} // namespace

HelpWindow::HelpWindow(QWidget *parent)
    : QDialog(parent)
    , m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("frmHilfe"));
    setWindowTitle(tr("Hilfe - Benutzerhandbuch"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    m_browser->setObjectName(QStringLiteral("txtHandbuch"));
    m_browser->setOpenExternalLinks(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *close = buttons->addButton(tr("Schließen"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("btnSchliessen"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(buttons);
    resize(820, 680);
}

QString HelpWindow::guidePath()
{
    // A build runs with the source tree's guide; an installed program with the package's.
    for (const char *candidate : {KASSOTYP_GUIDE_SOURCE, KASSOTYP_GUIDE_INSTALLED}) {
        const QString path = QString::fromUtf8(candidate);
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

int HelpWindow::chapterOf(const QString &windowName)
{
    for (const WindowChapter &entry : Chapters) {
        if (windowName == QLatin1String(entry.window))
            return entry.chapter;
    }
    return 1;
}

bool HelpWindow::showChapter(int chapter)
{
    const QString path = guidePath();
    if (path.isEmpty()) {
        m_browser->setPlainText(
                tr("Das Benutzerhandbuch ist nicht installiert (erwartet unter %1).")
                        .arg(QString::fromUtf8(KASSOTYP_GUIDE_INSTALLED)));
        return false;
    }
    if (m_browser->source().toLocalFile() != path)
        m_browser->setSource(QUrl::fromLocalFile(path), QTextDocument::MarkdownResource);
    // Chapters are the headings of the second level: "## 3. The receipt header ...".
    const QString number = QString::number(chapter) + u'.';
    for (QTextBlock block = m_browser->document()->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() != 2 || !block.text().startsWith(number + u' '))
            continue;
        m_browser->setTextCursor(QTextCursor(block));
        const QRectF where = m_browser->document()->documentLayout()->blockBoundingRect(block);
        m_browser->verticalScrollBar()->setValue(int(where.top()));
        return true;
    }
    return false;
}

void HelpWindow::showFor(QWidget *window)
{
    // One guide for the whole program, owned by the window it was first asked from (so that it
    // never outlives the windows), gone when closed.
    static QPointer<HelpWindow> help;
    if (!help) {
        help = new HelpWindow(window ? window->window() : nullptr);
        help->setAttribute(Qt::WA_DeleteOnClose);
    }
    help->show();
    help->showChapter(chapterOf(window ? window->objectName() : QString()));
    help->raise();
    help->activateWindow();
}
