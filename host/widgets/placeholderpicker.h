#pragma once

#include <QObject>
#include <QString>

#include <functional>

// The program's one placeholder picker as the editors see it: opening it beside an editor
// makes that editor the receiver of the next chosen token.
class PlaceholderPicker
{
public:
    virtual ~PlaceholderPicker() = default;
    // A window marks the part of itself the picker may cover, where the screen has no room
    // beside it, with this property set to true: the preview, never the lines that take the
    // token.
    static constexpr const char *DockProperty = "placeholderPickerDock";
    // Shows the picker without blocking; the token chosen next goes to insert, as long as
    // receiver exists.
    virtual void openFor(QObject *receiver, std::function<void(const QString &)> insert) = 0;
};
