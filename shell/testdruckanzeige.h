#pragma once

#include "widgets/tovoform.h"

#include <QImage>

class QLabel;

// Shows the picture of a printed test document, for a user who is not standing at the printer.
class TfrmTestdruckAnzeige : public TOVOForm
{
    Q_OBJECT
public:
    TfrmTestdruckAnzeige(const QString &documentName, const QImage &picture,
                         QWidget *parent = nullptr);

    const QImage &picture() const { return m_picture; }
    // Saves the picture as PNG; false with a message when the file cannot be written.
    bool savePicture(const QString &path);

private:
    QImage m_picture;
};
