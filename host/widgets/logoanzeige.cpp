#include "widgets/logoanzeige.h"

#include "core/app/host.h"
#include "core/model/logopicture.h"
#include "widgets/mainwindowcontext.h"
#include "widgets/tovoform.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

class TfrmLogoVollansicht : public TOVOForm
{
public:
    TfrmLogoVollansicht(const QImage &image, QWidget *parent)
        : TOVOForm(parent)
    {
        OVOFormInit(QStringLiteral("frmLogoVollansicht"));
        setWindowTitle(tr("Logo - Vollansicht"));
        auto *label = new QLabel(this);
        label->setPixmap(QPixmap::fromImage(image));
        auto *scroll = new QScrollArea(this);
        scroll->setWidget(label);
        scroll->setBackgroundRole(QPalette::Base);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(scroll);
        resize(qMin(image.width() + 40, 900), qMin(image.height() + 40, 700));
    }
};

} // namespace

Tlogoanzeige::Tlogoanzeige(QWidget *parent)
    : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setMinimumSize(60, 60);
}

Host &Tlogoanzeige::host() const
{
    return frmKassotypHaupt().host();
}

void Tlogoanzeige::Reset()
{
    m_key = LogoKey{};
    m_loaded.reset();
    m_stamp = BookingIdentity{};
    m_picture = QImage();
    m_changed = false;
    update();
}

bool Tlogoanzeige::LoadFromlogofile()
{
    const std::optional<StoredLogo> stored = host().logos().load(m_key);
    rememberLoaded(m_key, stored);
    return showStored(stored);
}

bool Tlogoanzeige::LoadWithFallback()
{
    const LogoKey own = m_key;
    const auto found = host().logos().loadFirst(Fallback::logo(m_key));
    // The chain starts with the workstation's own logo: found elsewhere, it had none.
    rememberLoaded(own, found && found->first == own ? std::optional(found->second) : std::nullopt);
    if (!found)
        return showStored(std::nullopt);
    m_key = found->first;
    return showStored(found->second);
}

void Tlogoanzeige::rememberLoaded(const LogoKey &key, const std::optional<StoredLogo> &stored)
{
    m_loaded = {key, RecordVersion{stored ? std::optional(stored->picture) : std::nullopt}};
}

bool Tlogoanzeige::showStored(const std::optional<StoredLogo> &stored)
{
    m_picture = QImage();
    m_changed = false;
    update();
    if (!stored)
        return false;
    QByteArray bytes = stored->picture;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const LogoPicture read = readLogoPicture(&buffer);
    if (read.image.isNull()) {
        throw StoreError(QStringLiteral("Das gespeicherte Logo %1\\%2\\%3 (Rechner %4) ist kein "
                                        "lesbares Bild: %5")
                                 .arg(m_key.kennung1, m_key.kennung2, m_key.logoName)
                                 .arg(m_key.filRech)
                                 .arg(read.problem));
    }
    m_picture = read.image;
    m_stamp = stored->stamp;
    update();
    return true;
}

void Tlogoanzeige::SaveTologofile()
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    m_picture.save(&buffer, "PNG");
    std::optional<RecordVersion> expected;
    if (m_loaded && m_loaded->first == m_key)
        expected = m_loaded->second;
    host().logos().save(m_key, StoredLogo{png, m_picture.width(), m_picture.height(), m_stamp},
                        expected);
    rememberLoaded(m_key, StoredLogo{png, m_picture.width(), m_picture.height(), m_stamp});
    m_changed = false;
}

void Tlogoanzeige::lamitFileImportClick()
{
    const QString path = host().info().ChooseOpenFile(
            tr("Logo laden"), tr("Bilder (*.png *.bmp *.jpg *.jpeg *.gif);;Alle Dateien (*)"));
    if (path.isEmpty())
        return;
    if (importFile(path))
        emit neuesBild();
}

bool Tlogoanzeige::importFile(const QString &path)
{
    const LogoPicture read = readLogoPicture(path);
    if (read.image.isNull()) {
        host().info().ShowMeldung(1034, KassotypProgramKey,
                                  {QFileInfo(path).fileName(), read.problem});
        return false;
    }
    importImage(read.image);
    return true;
}

void Tlogoanzeige::importImage(const QImage &image)
{
    m_picture = image;
    m_changed = true;
    update();
}

void Tlogoanzeige::setPictureRect(const QRect &rect)
{
    m_pictureRect = rect;
    update();
}

void Tlogoanzeige::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_picture.isNull())
        return;
    QPainter p(this);
    const QRect area = m_pictureRect.isValid() ? m_pictureRect : contentsRect();
    QSize scaled = m_picture.size().scaled(area.size(), Qt::KeepAspectRatio);
    const QRect target(area.x() + (area.width() - scaled.width()) / 2,
                       area.y() + (area.height() - scaled.height()) / 2, scaled.width(),
                       scaled.height());
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(target, m_picture);
}

void Tlogoanzeige::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    QAction *file = menu.addAction(tr("Aus Datei importieren..."));
    QAction *scanner = menu.addAction(tr("Vom Scanner importieren..."));
    scanner->setEnabled(false);
    scanner->setToolTip(tr("An diesem Rechner ist kein Scanner eingerichtet."));
    QAction *full = menu.addAction(tr("Vollansicht"));
    full->setEnabled(!m_picture.isNull());
    QAction *clip = menu.addAction(tr("Aus Zwischenablage einfügen"));
    clip->setEnabled(!QApplication::clipboard()->image().isNull());
    QAction *chosen = menu.exec(event->globalPos());
    auto *form = qobject_cast<TOVOForm *>(window());
    auto run = [&](const QString &operation, const std::function<void()> &fn) {
        if (form)
            form->guard(operation, fn);
        else
            fn();
    };
    if (chosen == file)
        run(QStringLiteral("lamitFileImportClick"), [this] { lamitFileImportClick(); });
    else if (chosen == full)
        run(QStringLiteral("LogoVollansicht"), [this] { showFullView(); });
    else if (chosen == clip)
        run(QStringLiteral("LogoAusZwischenablage"), [this] { importFromClipboard(); });
}

void Tlogoanzeige::showFullView()
{
    TfrmLogoVollansicht view(m_picture, window());
    view.exec();
}

void Tlogoanzeige::importFromClipboard()
{
    const QImage image = QApplication::clipboard()->image();
    if (image.isNull())
        return;
    importImage(image);
    emit neuesBild();
}
