#include "core/output/virtualprinter.h"
#include "fuzz/fuzzcheck.h"

#include <QGuiApplication>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startApplication<QGuiApplication>(argc, argv);
    return 0;
}

// Raw bytes into the on-screen receipt printer, in two parts so that a command may be split
// between two writes as a device would receive it. The first byte chooses the split.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes = fuzzBytes(data + 1, size - 1);
    const qsizetype split = bytes.isEmpty() ? 0 : data[0] % (bytes.size() + 1);
    VirtualEscPosPrinter printer(data[0] & 1 ? 576 : 384);
    printer.feed(bytes.left(split));
    printer.feed(bytes.mid(split));
    const QImage picture = printer.picture();
    fuzzCheck(!picture.isNull(), "the paper strip is drawn");
    return 0;
}
