#include "core/model/logopicture.h"

#include <QCoreApplication>
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
    QImageReader reader(path);
    return readBounded(reader);
}
