#pragma once

class TBonPrinter;

// What the main window needs of the general settings window, which it creates on first use
// and keeps: the selection handed over, and whether the user closed it.
class GeneralSettingsWindow
{
public:
    virtual ~GeneralSettingsWindow() = default;
    virtual void setWorkstation(int rnr) = 0;
    virtual void setEngine(TBonPrinter *engine) = 0;
    virtual void setStartMode(int startMode) = 0;
    virtual bool closedByUser() const = 0;
    virtual void setClosedByUser(bool closed) = 0;
    virtual void showNonModal() = 0;
};
