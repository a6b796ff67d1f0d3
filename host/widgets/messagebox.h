#pragma once

#include "core/app/messages.h"

class QWidget;

// Shows the message service's messages in message boxes and asks for files with the
// platform's file dialog.
class MessageBoxPresenter : public MessagePresenter
{
public:
    Answer present(MessageKind kind, const QString &title, const QString &text) override;
    QString chooseOpenFile(const QString &title, const QString &filter) override;
};
