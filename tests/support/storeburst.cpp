#include "tests/support/storeburst.h"

#include "core/app/host.h"
#include "core/app/workstationsetup.h"

const QString StoreBurst::Printer = QStringLiteral("BURST");

QByteArray StoreBurst::blob(int writer, int round)
{
    // Long enough to span several database pages, so a torn write would show.
    QByteArray bytes;
    const QByteArray line = QByteArray::number(writer) + '/' + QByteArray::number(round) + '\n';
    for (int i = 0; i < 600; ++i)
        bytes += line;
    return bytes;
}

std::pair<int, int> StoreBurst::parse(const QByteArray &bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    const QList<QByteArray> first = lines.value(0).split('/');
    bool okWriter = false;
    bool okRound = false;
    const int writer = first.value(0).toInt(&okWriter);
    const int round = first.value(1).toInt(&okRound);
    if (!okWriter || !okRound || first.size() != 2 || bytes != blob(writer, round))
        return {-1, -1};
    return {writer, round};
}

LayoutKey StoreBurst::sharedKey()
{
    return {QStringLiteral("GEMEINS"), 1, Printer};
}

LayoutKey StoreBurst::ownKey(int writer)
{
    return {QStringLiteral("EIGEN"), 100 + writer, Printer};
}

QList<LayoutKey> StoreBurst::groupKeys(int rnr, const QString &kennungPrefix)
{
    QList<LayoutKey> keys;
    for (int i = 0; i < GroupSize; ++i)
        keys.append({kennungPrefix + QString::number(i), rnr, Printer});
    return keys;
}

void StoreBurst::saveRound(Host &host, int writer, int round)
{
    LayoutStore &layouts = host.layouts();
    const QByteArray bytes = blob(writer, round);
    layouts.upsert(sharedKey(), bytes);
    layouts.upsert(ownKey(writer), bytes);
    host.store().write([&] {
        for (const LayoutKey &key : groupKeys(2, QStringLiteral("GRUPPE")))
            layouts.upsert(key, bytes);
    });
}

void StoreBurst::setupRound(Host &host, int round)
{
    LayoutStore &layouts = host.layouts();
    const QByteArray bytes = blob(0, round);
    host.store().write([&] {
        for (const LayoutKey &key : groupKeys(2, QStringLiteral("GRUPPE")))
            layouts.upsert(key, bytes);
    });
    host.store().write([&] {
        for (const LayoutKey &key : groupKeys(0, QStringLiteral("VORLAGE")))
            layouts.upsert(key, bytes);
        host.parameters().StringParamWrite(QStringLiteral("BURST"), QString::number(round),
                                           SetupTarget);
    });
    SaetzeAnlegen(host, SetupTarget, Printer, SetupDefault);
    Copy_Rechner_Einstellungen(host, SetupTarget, {CopyTarget}, false);
}

QString StoreBurst::checkGroup(Host &host, const QList<LayoutKey> &keys, bool expectPresent,
                               int *round)
{
    // The group is read in one transaction: it waits for a writer that is still committing
    // (on PostgreSQL a killed program's last transaction may end only now) and sees all
    // records of one version, not some before and some after that commit.
    QList<std::pair<int, int>> found;
    QString damaged;
    host.store().write([&] {
        found.clear();
        damaged.clear();
        for (const LayoutKey &key : keys) {
            const std::optional<LayoutRecord> record = host.layouts().find(key);
            if (!record)
                found.append({-2, -2});
            else if (parse(record->blob).first < 0)
                damaged = QStringLiteral("%1 ist kein ganzer Satz").arg(key.display());
            else
                found.append(parse(record->blob));
        }
    });
    if (!damaged.isEmpty())
        return damaged;
    if (!expectPresent && found.count({-2, -2}) == found.size())
        return {};
    if (found.count(found.value(0)) != found.size() || found.value(0).first == -2)
        return QStringLiteral("Gruppe %1 gemischt oder unvollständig").arg(keys.value(0).display());
    if (round)
        *round = found.value(0).second;
    return {};
}
