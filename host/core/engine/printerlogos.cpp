#include "core/engine/printerlogos.h"

#include "core/app/host.h"
#include "core/engine/bonprinter.h"
#include "core/engine/testprints.h"
#include "core/store/logostore.h"

#include <QScopeGuard>

#include <algorithm>

namespace PrinterLogos {

namespace {

// Keys of two characters, and the numbers of FS q, go that far.
constexpr int MaxPictures = 35;

} // namespace

QList<MonoPicture> designedLogos(TBonPrinter &engine)
{
    // The documents as the till prints them, kept from the devices: their logos are exactly
    // the pictures, at the size, a document would send.
    const bool wasEnabled = engine.outputEnabled();
    engine.setOutputEnabled(false);
    const auto restore = qScopeGuard([&] { engine.setOutputEnabled(wasEnabled); });
    QList<int> types = engine.documentTypes().values();
    std::sort(types.begin(), types.end());
    QList<MonoPicture> logos;
    QStringList hashes;
    for (const int type : types) {
        runTestPrint(engine, type);
        // At the dots the document is laid out on, as the print encodes it.
        const EscPosEncoder encoder(engine.printerRecord(),
                                    engine.output().escPosSettings(engine.lastJob()));
        for (const JobItem &item : engine.lastJob().items) {
            if (item.kind != JobItem::Kind::Picture || !item.logo)
                continue;
            const MonoPicture picture = encoder.printedPicture(item);
            const QString hash = EscPosEncoder::pictureHash(picture);
            if (picture.isNull() || hashes.contains(hash))
                continue;
            hashes << hash;
            logos << picture;
        }
    }
    return logos;
}

QString targetOf(TBonPrinter &engine, const QString &device, LinkOptions *link)
{
    const QString own = engine.output().printerTarget(engine.printerRecord(), link);
    return device.isEmpty() ? own : device;
}

PrintOutput::HeldPictures held(TBonPrinter &engine, const QString &target)
{
    PrintOutput::HeldPictures pictures;
    try {
        const QList<HeldPicture> recorded =
                PrinterLogoStore(engine.host().store())
                        .held(engine.workstation(), engine.Kasso_Typ_Get_LayoutPrinterKey(),
                              target);
        for (const HeldPicture &p : recorded)
            pictures.insert(p.pictureHash, p.logoKey);
    } catch (const StoreError &) {
        // A store that cannot say what the printer holds: the logos are sent whole, which
        // prints the same, only slower.
    }
    return pictures;
}

OutputResult load(TBonPrinter &engine, const QString &device)
{
    OutputResult r;
    const PrinterCapabilities printer = engine.capabilities();
    if (engine.Kasso_Typ_Get_Modus() != QString(TBonPrinter::TextMode)) {
        r.error = QStringLiteral("Der Drucker \"%1\" ist nicht im Textmodus eingerichtet: im "
                                 "Grafikmodus druckt der Treiber des Systems die Logos. Es wurde "
                                 "nichts geladen.")
                          .arg(engine.Kasso_Typ_Get_PrinterName());
        return r;
    }
    if (printer.memory() == PrinterCapabilities::Memory::None) {
        r.error = QStringLiteral("Der Drucker \"%1\" hat laut seinem Druckersatz keinen "
                                 "Grafikspeicher (\"Grafikspeicher\" und seine Befehle in den "
                                 "Fähigkeiten des Druckers); es wurde nichts geladen.")
                          .arg(engine.Kasso_Typ_Get_PrinterName());
        return r;
    }
    LinkOptions link;
    const QString target = targetOf(engine, device, &link);
    r.target = target;
    if (target.isEmpty()) {
        r.error = QStringLiteral("Für den Drucker ist auf diesem Rechner kein Gerät eingerichtet "
                                 "(--printer-device= oder die Schnittstelle des direkten "
                                 "Textmodus); es wurde nichts geladen.");
        return r;
    }
    const QList<MonoPicture> logos = designedLogos(engine);
    if (logos.isEmpty()) {
        r.error = QStringLiteral("Die Layouts des Rechners %1 drucken kein Logo; es wurde nichts "
                                 "geladen.")
                          .arg(engine.workstation());
        return r;
    }
    if (logos.size() > MaxPictures) {
        r.error = QStringLiteral("Die Layouts drucken %1 verschiedene Logos; der Drucker kann "
                                 "höchstens %2 unter eigenen Schlüsseln halten. Es wurde nichts "
                                 "geladen.")
                          .arg(logos.size())
                          .arg(MaxPictures);
        return r;
    }
    const QByteArray bytes = EscPosEncoder::defineAll(printer.memory(), logos);
    link.jobName = QStringLiteral("Logos");
    // Writing the printer's memory takes it a while per picture.
    link.writeTimeoutMs += 5000 * int(logos.size());
    r = engine.output().writeTo(target, bytes, link);
    r.bytes = bytes;
    if (!r.ok)
        return r;
    QList<HeldPicture> recorded;
    for (qsizetype n = 0; n < logos.size(); ++n) {
        const MonoPicture &p = logos.at(n);
        recorded << HeldPicture{EscPosEncoder::memoryKey(printer.memory(), int(n)),
                                EscPosEncoder::pictureHash(p), p.width, p.height};
    }
    PrinterLogoStore(engine.host().store())
            .replace(engine.workstation(), engine.Kasso_Typ_Get_LayoutPrinterKey(), target,
                     recorded);
    QStringList keys;
    for (const HeldPicture &p : recorded)
        keys << p.logoKey;
    r.warning = QStringLiteral("%1 Logo(s) in den Drucker geladen (%2 Bytes), Schlüssel %3.")
                        .arg(logos.size())
                        .arg(bytes.size())
                        .arg(keys.join(QStringLiteral(", ")));
    return r;
}

} // namespace PrinterLogos
