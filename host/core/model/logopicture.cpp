#include "core/model/logopicture.h"

#include "core/base/safefiles.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("LogoPicture", text);
}

QString readerProblem(const QImageReader &reader)
{
    switch (reader.error()) {
    case QImageReader::FileNotFoundError:
        return tr("die Datei wurde nicht gefunden");
    case QImageReader::DeviceError:
        return tr("die Datei kann nicht gelesen werden");
    case QImageReader::UnsupportedFormatError:
        return tr("die Datei ist kein Bild in einem bekannten Format");
    case QImageReader::InvalidDataError:
    case QImageReader::UnknownError:
        break;
    }
    return tr("die Bilddaten sind beschädigt oder unvollständig");
}

QString tooLarge(QSize size)
{
    if (size.width() <= MaxLogoSide && size.height() <= MaxLogoSide)
        return {};
    return tr("das Bild ist mit %1 x %2 Punkten zu groß (höchstens %3 Punkte je Seite)")
            .arg(size.width())
            .arg(size.height())
            .arg(MaxLogoSide);
}

// The header tells the size before anything is decoded; a handler that cannot tell it still
// decodes within Qt's allocation limit.
LogoPicture readBounded(QImageReader &reader)
{
    const QSize size = reader.size();
    if (size.isValid()) {
        if (const QString problem = tooLarge(size); !problem.isEmpty())
            return {QImage(), problem};
    }
    const QImage image = reader.read();
    if (image.isNull())
        return {QImage(), readerProblem(reader)};
    if (const QString problem = tooLarge(image.size()); !problem.isEmpty())
        return {QImage(), problem};
    return {image, QString()};
}

} // namespace

LogoPicture readLogoPicture(QIODevice *device)
{
    QImageReader reader(device);
    return readBounded(reader);
}

LogoPicture readLogoPicture(const QString &path)
{
    // Through a bounded read: a named pipe chosen as the picture would hold the window up, a
    // device would be read without end.
    if (!QFileInfo::exists(path))
        return {QImage(), tr("die Datei wurde nicht gefunden")};
    if (const QString kind = SafeFiles::fileKind(path); !kind.isEmpty())
        return {QImage(), tr("das ist %1, keine Bilddatei").arg(kind)};
    if (QFileInfo(path).size() > SafeFiles::MaxPictureBytes)
        return {QImage(), tr("die Datei ist größer als %1")
                                  .arg(SafeFiles::sizeText(SafeFiles::MaxPictureBytes))};
    SafeFiles::ReadResult file = SafeFiles::readRegular(path, SafeFiles::MaxPictureBytes);
    if (!file.error.isEmpty())
        return {QImage(), tr("die Datei kann nicht gelesen werden")};
    QBuffer buffer(&file.bytes);
    buffer.open(QIODevice::ReadOnly);
    return readLogoPicture(&buffer);
}
