#pragma once

#include "tests/support/testinstallation.h"
#include "widgets/mainwindowcontext.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <functional>

class QComboBox;

// Stands in for the main window: the host, an engine of its own and the chosen workstation.
class FakeMainWindow : public MainWindowContext
{
public:
    explicit FakeMainWindow(TestInstallation &installation, int rnr = 3, int startMode = 1);
    ~FakeMainWindow() override;

    Host &host() override { return m_installation.host(); }
    TBonPrinter &engine() override { return *m_engine; }
    int workstationNumber() const override { return m_rnr; }
    int startMode() const override { return m_startMode; }
    void paperWidthPrompt(const QString &printerKey) override { paperPrompts << printerKey; }
    void selectByText(QComboBox *combo, const QString &text) override;
    PlaceholderPicker *placeholderPicker() override { return picker; }
    void showStatus(const QString &text) override { statusTexts << text; }

    void setWorkstation(int rnr);
    void setStartMode(int mode) { m_startMode = mode; }

    QStringList paperPrompts;
    QStringList statusTexts; // what the main window's status line was told, in order
    PlaceholderPicker *picker = nullptr;

private:
    TestInstallation &m_installation;
    std::unique_ptr<TBonPrinter> m_engine;
    int m_rnr;
    int m_startMode;
};

// Saves a picture of the widget (or of an area of it) under the build tree's screenshots
// folder; returns its path.
QString saveScreenshot(QWidget *widget, const QString &name, const QRect &area = {});

// Runs fn on the modal window of type T as soon as it is shown (a dialog's exec() runs its own
// event loop, so the interaction is scheduled before the call that opens it). The window is
// rejected afterwards unless fn closed it (and closed regardless of unsaved edits). A window that
// never appears fails the test, unless it may not appear at all: then only the first turn of the
// event loop is watched.
enum class ModalExpected { Surely, Maybe };

template<typename T>
void whenModal(const std::function<void(T *)> &fn, ModalExpected expected = ModalExpected::Surely,
               int timeoutMs = 5000)
{
    // A timer of the application polls for the window and deletes itself when done.
    auto *timer = new QTimer(qApp);
    const QDeadlineTimer deadline(expected == ModalExpected::Surely ? timeoutMs : 0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, fn, deadline, expected] {
        auto *window = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!window && !deadline.hasExpired())
            return;
        timer->stop();
        timer->deleteLater();
        if (!window) {
            if (expected == ModalExpected::Surely)
                QTest::qFail("Das erwartete Fenster wurde nicht geöffnet.", __FILE__, __LINE__);
            return;
        }
        fn(window);
        // Closed as the user closes it; one that asks to keep its edits is closed anyway, so
        // that the test goes on.
        if (window->isVisible())
            window->reject();
        if (window->isVisible())
            window->QDialog::done(QDialog::Rejected);
    });
    timer->start(0);
}
