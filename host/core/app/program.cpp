#include "core/app/program.h"

#include "core/app/host.h"

#include <QCoreApplication>

void OVOProgramm::Init(const QString &programName, int, int, int, int, bool)
{
    m_programName = programName;
    m_host.info().log(QStringLiteral("%1 gestartet auf Rechner %2 mit Datenspeicher %3")
                              .arg(programName)
                              .arg(GetRId())
                              .arg(m_host.store().location().displayName()));
}

int OVOProgramm::GetRId() const
{
    return m_host.config().workstationId;
}

int OVOProgramm::GetRTyp() const
{
    return m_host.workstations().GetRNrUmfang(GetRId()).RTyp;
}

QString OVOProgramm::GetWaehrung() const
{
    const QString c = m_host.parameters().StringParamRead(QStringLiteral("WAEHRUNG"), 0);
    return c.isEmpty() ? QStringLiteral("EUR") : c;
}

QString OVOProgramm::GetWaehrung2() const
{
    const QString c = m_host.parameters().StringParamRead(QStringLiteral("WAEHRUN2"), 0);
    return c.isEmpty() ? QStringLiteral("CHF") : c;
}

void OVOProgramm::ShowException(const std::exception &e)
{
    m_host.info().RegisterException(
            m_programName.isEmpty() ? QStringLiteral("Kassotyp") : m_programName, e, true);
}

void OVOProgramm::Terminate()
{
    m_terminateRequested = true;
    if (m_terminate)
        m_terminate();
    else
        QCoreApplication::exit(0);
}
