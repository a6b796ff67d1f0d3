#include "settings/workstationheadline.h"

#include "core/app/host.h"
#include "core/engine/bonprinter.h"
#include "core/store/workstationtable.h"
#include "widgets/mainwindowcontext.h"

#include <QCoreApplication>

QString workstationHeadline(int rnr, const TBonPrinter *engine)
{
    const QString workstation =
            RVRTab::displayName(frmKassotypHaupt().host().workstations().GetRNrUmfang(rnr));
    const QString printer = engine ? engine->Kasso_Typ_Get_PrinterName() : QString();
    if (printer.isEmpty())
        return workstation;
    return QCoreApplication::translate("WorkstationHeadline", "%1 – Drucker: %2")
            .arg(workstation, printer);
}
