#include "sectionformats.h"

const SectionPrinter *bonPosPrinter(const QString &)
{
    return nullptr;
}
