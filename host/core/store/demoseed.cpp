#include "core/store/demoseed.h"

#include "core/format/deviceformats.h"
#include "core/format/devicepresets.h"
#include "core/store/currency.h"
#include "core/store/layoutstore.h"
#include "core/store/userrights.h"
#include "core/store/workstationtable.h"

void seedDemoInstallation(Store &store, const QString &userName)
{
    RVRTab workstations(store);
    const QList<TRVRInfoUmfang> entries = {
            {1, 1, QStringLiteral("Haupt-PC")},     {2, 2, QStringLiteral("Backoffice")},
            {3, 3, QStringLiteral("Kasse 1")},      {4, 3, QStringLiteral("Kasse 2")},
            {5, 4, QStringLiteral("Mobile Kasse")}, {90, 7, QStringLiteral("Zentrale")},
    };
    for (const TRVRInfoUmfang &e : entries)
        workstations.put(e);

    // The template workstation's printer: one record under the preset name and the active one.
    LayoutStore layouts(store);
    const QString printer = QStringLiteral("TM-T88");
    const QStringList printerRecord = printerRecordFromPreset(printer);
    layouts.writeList({PrinterRecordKennung, 0, printer}, printerRecord);
    layouts.writeList({PrinterRecordKennung, 0, ActivePrinterKey}, printerRecord);
    layouts.writeList({QStringLiteral("SEITEEIN"), 0, printer}, pageSetupFromPreset(printer));
    layouts.writeList({QStringLiteral("DISPLAY"), 0, QStringLiteral("DISPLAY")},
                      findPreset(displayPresets(), QStringLiteral("KEIN"))->values);

    UserRights rights(store, userName);
    for (int function : {70, 71, 72, 73, 91})
        rights.grant(userName, 69, function);

    WHRechner currency(store);
    currency.setRate(QStringLiteral("EUR"), 1.0);
    currency.setRate(QStringLiteral("CHF"), 0.94);
}
