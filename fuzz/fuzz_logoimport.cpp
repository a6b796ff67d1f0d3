#include "core/model/logopicture.h"
#include "fuzz/fuzzcheck.h"

#include <QBuffer>
#include <QGuiApplication>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startApplication<QGuiApplication>(argc, argv);
    return 0;
}

// Any file offered as a logo: either a picture within the logo bound or a reason for the user.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes = fuzzBytes(data, size);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const LogoPicture read = readLogoPicture(&buffer);
    if (read.image.isNull()) {
        fuzzCheck(!read.problem.isEmpty(), "a refused picture says why");
    } else {
        fuzzCheck(read.image.width() <= MaxLogoSide && read.image.height() <= MaxLogoSide,
                  "an accepted picture is within the logo bound");
    }
    return 0;
}
