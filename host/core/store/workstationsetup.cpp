#include "core/store/workstationsetup.h"

#include "core/app/host.h"

#include <QSet>

IllegalParameterError::IllegalParameterError(const QString &place, const QString &parameter)
    : std::invalid_argument(
            QStringLiteral("Unzulässiger Parameter %1 in %2").arg(parameter, place).toStdString())
    , m_place(place)
    , m_text(QStringLiteral("Unzulässiger Parameter %1 in %2").arg(parameter, place))
{
}

OperationCancelled::OperationCancelled()
    : std::runtime_error("Der Vorgang wurde abgebrochen.")
{
}

QString GetFiller(int mode)
{
    switch (mode) {
    case SetupDefault:
        return QStringLiteral("Default");
    case SetupAutomatic:
        return QStringLiteral("AutoWert");
    }
    throw IllegalParameterError(QStringLiteral("GetFiller"),
                                QStringLiteral("Modus = %1").arg(mode));
}

namespace {

// The workstation's own device records; a setup from the template must never overwrite them.
bool isOwnDeviceRecord(const QString &kennung)
{
    return kennung.compare(QLatin1String("AKTBONDR"), Qt::CaseInsensitive) == 0
           || kennung.compare(QLatin1String("DISPLAY"), Qt::CaseInsensitive) == 0;
}

LayoutFilter onWorkstation(int rnr, const std::optional<QString> &printerKey = std::nullopt)
{
    return LayoutFilter{rnr, rnr, printerKey};
}

} // namespace

int SaetzeAnlegen(Host &host, int workstation, const QString &printerKey, int mode,
                  const std::function<bool(int done, int total)> &progress)
{
    if (mode != SetupDefault && mode != SetupAutomatic)
        throw IllegalParameterError(QStringLiteral("TfrmAllgEinstellungen.SaetzeAnlegen"),
                                    QStringLiteral("Modus = %1").arg(mode));
    const QString filler = GetFiller(mode);
    if (workstation == 0)
        return 0;

    LayoutStore &layouts = host.layouts();
    int written = 0;
    AuditEvent event{
            AuditAction::WorkstationSetUp, workstation, QString(),
            QStringLiteral("Drucker %1, Modus %2 (%3)").arg(printerKey).arg(mode).arg(filler)};
    host.audit().recordFailure(event, [&] {
        host.store().write([&] {
            written = 0; // the store runs this again after a collision with another program
            // Both walks run inside the transaction: a record another program writes meanwhile
            // is either seen here or waits for the end, never overwritten unseen in mode 2.
            QList<LayoutRecord> sources = layouts.records(onWorkstation(0, printerKey));
            sources.removeIf(
                    [](const LayoutRecord &r) { return isOwnDeviceRecord(r.key.kennung); });
            const int total = int(sources.size());
            QSet<QString> existing;
            if (mode == SetupAutomatic) {
                for (const LayoutRecord &r : layouts.keys(onWorkstation(workstation, printerKey)))
                    existing.insert(r.key.kennung);
            }
            if (progress && !progress(0, total))
                throw OperationCancelled();
            for (int i = 0; i < total; ++i) {
                const LayoutRecord &source = sources.at(i);
                if (!existing.contains(source.key.kennung)) {
                    layouts.upsert({source.key.kennung, workstation, printerKey}, source.blob,
                                   filler);
                    ++written;
                }
                if (progress && !progress(i + 1, total))
                    throw OperationCancelled();
            }
        });
    });
    event.detail += QStringLiteral(", %1 Layoutsätze").arg(written);
    host.audit().record(event);
    return written;
}

void Copy_Rechner_Einstellungen(Host &host, int source, const QList<int> &targets, bool)
{
    if (source <= 0)
        return;
    QList<int> chosen;
    for (int target : targets) {
        if (target != source && target != 0 && !chosen.contains(target))
            chosen << target;
    }
    if (chosen.isEmpty())
        return;

    Store &store = host.store();
    LayoutStore &layouts = host.layouts();
    QStringList names;
    for (int target : chosen)
        names << QString::number(target);
    const AuditEvent event{AuditAction::SettingsCopied, source, QString(),
                           QStringLiteral("nach Rechner %1").arg(names.join(QStringLiteral(", ")))};
    host.audit().track(event, [&] {
        store.write([&] {
            const QList<LayoutRecord> records = layouts.records(onWorkstation(source));
            // The parameter service reads and writes one key at a time; listing a workstation's
            // parameters is the one thing it has no call for.
            QList<std::pair<QString, QString>> parameters;
            QSqlQuery q = store.run(
                    QStringLiteral("SELECT param_key, value FROM parameters WHERE rnr = ? ORDER BY "
                                   "param_key"),
                    {source}, QStringLiteral("Lesen der Parameter von Rechner %1").arg(source));
            while (q.next())
                parameters.append({q.value(0).toString(), q.value(1).toString()});

            for (int target : chosen) {
                for (const LayoutRecord &r : records)
                    layouts.upsert({r.key.kennung, target, r.key.printerKey}, r.blob, r.filler);
                for (const auto &[key, value] : parameters)
                    host.parameters().StringParamWrite(key, value, target);
            }
        });
    });
}
