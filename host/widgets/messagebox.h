#pragma once

#include "core/app/messages.h"

class QFileDialog;
class QWidget;

// Qt's own file dialog, in German with German dates and sizes whatever the locale the program
// was started in (a native dialog, and Qt's with the system locale, would follow that).
namespace FileDialogs {
enum class Purpose { Open, Save };
// The dialog, not yet shown: in `folder` (the working folder when empty), choosing `file`.
QFileDialog *create(QWidget *parent, Purpose purpose, const QString &title, const QString &filter,
                    const QString &file = {});
// Shows it and answers the chosen file, or nothing when cancelled.
QString choose(QWidget *parent, Purpose purpose, const QString &title, const QString &filter,
               const QString &file = {});
} // namespace FileDialogs

// Shows the message service's messages in message boxes and asks for files with Qt's file
// dialog.
class MessageBoxPresenter : public MessagePresenter
{
public:
    Answer present(MessageKind kind, const QString &title, const QString &text) override;
    QString chooseOpenFile(const QString &title, const QString &filter) override;
};
