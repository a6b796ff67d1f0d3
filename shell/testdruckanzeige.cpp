#include "shell/testdruckanzeige.h"

#include "core/app/host.h"
#include "core/output/pngencoder.h"
#include "widgets/mainwindowcontext.h"
#include "widgets/messagebox.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollArea>
#include <QUrl>
#include <QVBoxLayout>

TfrmTestdruckAnzeige::TfrmTestdruckAnzeige(const QString &documentName, const QImage &picture,
                                           const OutputResult &output, QWidget *parent)
    : TOVOForm(parent)
    , m_picture(picture)
{
    OVOFormInit(QStringLiteral("frmTestdruckAnzeige"), true);
    setWindowTitle(tr("Testdruck - %1").arg(documentName));

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("imgTestdruck"));
    image->setPixmap(QPixmap::fromImage(picture));
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scbTestdruck"));
    scroll->setWidget(image);
    scroll->setAlignment(Qt::AlignHCenter);
    scroll->setBackgroundRole(QPalette::Dark);

    auto *target = new QLabel(this);
    target->setObjectName(QStringLiteral("lblAusgabe"));
    target->setWordWrap(true);
    target->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QStringList said;
    if (!output.target.isEmpty())
        said << tr("Ausgegeben auf: %1").arg(QDir::toNativeSeparators(output.target));
    if (!output.warning.isEmpty())
        said << output.warning;
    target->setText(said.join(u'\n'));
    target->setVisible(!said.isEmpty());
    const QFileInfo file(output.target);
    if (output.ok && file.isAbsolute() && file.isFile())
        m_outputFolder = file.absolutePath();
    auto *btnOrdner = new QPushButton(tr("Ordner öffnen"), this);
    btnOrdner->setObjectName(QStringLiteral("btnOrdnerOeffnen"));
    btnOrdner->setAutoDefault(false);
    btnOrdner->setVisible(!m_outputFolder.isEmpty());

    auto *btnSpeichern = new QPushButton(tr("Bild speichern..."), this);
    btnSpeichern->setObjectName(QStringLiteral("btnBildSpeichern"));
    btnSpeichern->setAutoDefault(false);
    auto *btnSchliessen = new QPushButton(tr("Schließen"), this);
    btnSchliessen->setObjectName(QStringLiteral("btnSchliessen"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnSpeichern);
    buttons->addWidget(btnOrdner);
    buttons->addStretch();
    buttons->addWidget(btnSchliessen);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(target);
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);
    resize(qMin(picture.width() + 60, 700), qMin(picture.height() + 90, 800));

    connect(btnSchliessen, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnOrdner, &QPushButton::clicked, this, [this] {
        guard(QStringLiteral("btnOrdnerOeffnenClick"), [this] {
            if (!QDesktopServices::openUrl(QUrl::fromLocalFile(m_outputFolder)))
                frmKassotypHaupt().host().info().ShowText(
                        MessageKind::Warning,
                        tr("Der Ordner %1 konnte nicht geöffnet werden.")
                                .arg(QDir::toNativeSeparators(m_outputFolder)));
        });
    });
    connect(btnSpeichern, &QPushButton::clicked, this, [this] {
        guard(QStringLiteral("btnBildSpeichernClick"), [this] {
            const QString path =
                    FileDialogs::choose(this, FileDialogs::Purpose::Save, tr("Bild speichern"),
                                        tr("PNG-Bilder (*.png)"), QStringLiteral("testdruck.png"));
            if (!path.isEmpty())
                savePicture(path);
        });
    });
}

bool TfrmTestdruckAnzeige::savePicture(const QString &path)
{
    QSaveFile file(path);
    QString problem;
    const QByteArray png = encodePrintPng(m_picture, &problem);
    if (png.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(png) != png.size()
        || !file.commit()) {
        frmKassotypHaupt().host().info().ShowText(
                MessageKind::Error,
                tr("Das Bild konnte nicht nach %1 geschrieben werden: %2")
                        .arg(path, problem.isEmpty() ? file.errorString() : problem));
        return false;
    }
    return true;
}
