#pragma once

#include <QImage>
#include <QString>

class QIODevice;

// Logo pictures are printed a few centimetres wide: larger ones are refused before they are
// decoded, so that a picture file or a damaged stored logo never costs more than one bounded
// picture in memory.
constexpr int MaxLogoSide = 4000;

struct LogoPicture
{
    QImage image;    // null when the picture cannot be used
    QString problem; // why not, in words for the user
};

// Reads a picture for use as a logo from a device (a stored logo's bytes) or a file.
LogoPicture readLogoPicture(QIODevice *device);
LogoPicture readLogoPicture(const QString &path);
