#pragma once

#include "core/output/printoutput.h"
#include "widgets/tovoform.h"

#include <QImage>

class QLabel;

// Shows the picture of a printed test document, for a user who is not standing at the printer,
// and where the document went: the printer, the device or the file (with its folder a click
// away).
class TfrmTestdruckAnzeige : public TOVOForm
{
    Q_OBJECT
public:
    TfrmTestdruckAnzeige(const QString &documentName, const QImage &picture,
                         const OutputResult &output = {}, QWidget *parent = nullptr);

    // The folder of the file the document was written to; empty when it went to a device.
    QString outputFolder() const { return m_outputFolder; }

    const QImage &picture() const { return m_picture; }
    // Saves the picture as PNG; false with a message when the file cannot be written.
    bool savePicture(const QString &path);

private:
    QImage m_picture;
    QString m_outputFolder;
};
