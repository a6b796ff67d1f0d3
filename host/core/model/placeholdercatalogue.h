#pragma once

#include <QList>
#include <QString>

struct PlaceholderEntry
{
    QString description; // column "Bezeichnung"
    QString token;       // column "Platzhalter", including both '#'
};

// The fixed catalogue of every placeholder a layout line may contain, in display order.
const QList<PlaceholderEntry> &placeholderCatalogue();
