#pragma once

#include <QString>

#include <functional>
#include <stdexcept>

class Host;

// Program service: identity of the program and of this computer, currencies, and the way
// the program ends.
class OVOProgramm
{
public:
    explicit OVOProgramm(Host &host)
        : m_host(host)
    {
    }

    void Init(const QString &programName, int processType, int instanceCount, int a, int b,
              bool flag);
    QString programName() const { return m_programName; }

    int GetRId() const;  // this computer's workstation number
    int GetRTyp() const; // this computer's workstation type (0 when not in the table)
    QString GetWaehrung() const;
    QString GetWaehrung2() const;

    void ShowException(const std::exception &e);

    // Ends the application; tests install their own handler.
    void Terminate();
    void setTerminateHandler(std::function<void()> handler) { m_terminate = std::move(handler); }
    bool terminateRequested() const { return m_terminateRequested; }

private:
    Host &m_host;
    QString m_programName;
    std::function<void()> m_terminate;
    bool m_terminateRequested = false;
};
