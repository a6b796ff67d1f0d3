#include "core/app/demoseed.h"

#include "core/app/messages.h"
#include "core/format/deviceformats.h"
#include "core/format/devicepresets.h"
#include "core/sections/bonkopfformat.h"
#include "core/sections/demoshop.h"
#include "core/store/currency.h"
#include "core/store/layoutstore.h"
#include "core/store/logostore.h"
#include "core/store/userrights.h"
#include "core/store/workstationtable.h"

void seedDemoInstallation(Store &store, const QString &userName)
{
    RVRTab workstations(store);
    // Named as the main window's list shows them, kind and number, so that every window and
    // the guide speak of the same "Kasse 3".
    const QList<TRVRInfoUmfang> entries = {
            {1, 1, QStringLiteral("Haupt-PC 1")},     {2, 2, QStringLiteral("Backoffice-PC 2")},
            {3, 3, QStringLiteral("Kasse 3")},        {4, 3, QStringLiteral("Kasse 4")},
            {5, 4, QStringLiteral("Mobile Kasse 5")}, {90, 7, QStringLiteral("Zentrale 90")},
    };
    for (const TRVRInfoUmfang &e : entries)
        workstations.put(e);

    // The template workstation's printer is the graphic one: its record under the preset name
    // and as the active one. "Kasse 4" prints in text mode on a printer of its own.
    LayoutStore layouts(store);
    for (const DemoPrinter &printer : demoPrinters()) {
        const QStringList record = printerRecordFromPreset(printer.key);
        layouts.writeList({PrinterRecordKennung, 0, printer.key}, record);
        if (printer.mode == DemoPrinterMode::Graphic)
            layouts.writeList({PrinterRecordKennung, 0, ActivePrinterKey}, record);
        else
            layouts.writeList({PrinterRecordKennung, 4, ActivePrinterKey}, record);
        layouts.writeList({QStringLiteral("SEITEEIN"), 0, printer.key},
                          pageSetupFromPreset(printer.key));
        // The shop's designs, as template records for every till with this printer.
        for (const DemoRecord &design : demoShopRecords(printer.mode))
            layouts.writeList({design.kennung, 0, printer.key}, design.list);
    }
    const QImage logo = demoShopLogo();
    const StoredLogo stored{demoShopLogoPng(), logo.width(), logo.height(), {}};
    LogoStore logos(store);
    for (const QString &header : demoShopLogoSections())
        logos.save({KassotypProgramKey, header, CurrentLogoName, 0}, stored);
    layouts.writeList({QStringLiteral("DISPLAY"), 0, QStringLiteral("DISPLAY")},
                      findPreset(displayPresets(), QStringLiteral("KEIN"))->values);

    UserRights rights(store, userName);
    for (int function : {70, 71, 72, 73, 91})
        rights.grant(userName, 69, function);

    WHRechner currency(store);
    currency.setRate(QStringLiteral("EUR"), 1.0);
    currency.setRate(QStringLiteral("CHF"), 0.94);
}
