#pragma once

#include "core/store/booking.h"
#include "core/store/logostore.h"

#include <QFrame>
#include <QImage>

#include <optional>
#include <utility>

class Host;

// Shows a logo picture and keeps its identity in the logo store: two identifiers (program
// key and section identifier), a logo name and a workstation number. Pictures come from a
// file or the clipboard; a new picture sets the picture-changed flag until it is saved.
class Tlogoanzeige : public QFrame
{
    Q_OBJECT
public:
    explicit Tlogoanzeige(QWidget *parent = nullptr);

    void Reset(); // forgets picture and identity
    void SetKennung1(const QString &value) { m_key.kennung1 = value; }
    void SetKennung2(const QString &value) { m_key.kennung2 = value; }
    void SetLogoName(const QString &value) { m_key.logoName = value; }
    void SetFil_Rech(qint16 value) { m_key.filRech = value; }
    void SetRNr(int value) { m_stamp.rnr = value; }
    void SetLfdNr(int value) { m_stamp.lfdnr = value; }

    QString Kennung1() const { return m_key.kennung1; }
    QString Kennung2() const { return m_key.kennung2; }
    qint16 Fil_Rech() const { return qint16(m_key.filRech); }
    BookingIdentity stamp() const { return m_stamp; }

    // Loads the picture of the current identity; false (and an empty picture) when none is
    // stored. A stored picture that cannot be decoded is reported, never shown half.
    bool LoadFromlogofile();
    // Loads the logo the print engine prints for the identity set: the workstation's own, else
    // the template workstation's; the identity then names the logo found.
    bool LoadWithFallback();
    // Saves the picture under the current identity with the current stamp; clears the flag.
    void SaveTologofile();

    // Asks for a picture file and imports it.
    void lamitFileImportClick();
    // Imports a picture file; false (with a message) when it is not a readable picture.
    bool importFile(const QString &path);
    void importImage(const QImage &image);

    const QImage &picture() const { return m_picture; }
    int pictureWidth() const { return m_picture.width(); }
    int pictureHeight() const { return m_picture.height(); }
    bool pictureChanged() const { return m_changed; }
    void setPictureChanged(bool changed) { m_changed = changed; }

    // The area inside the component where the picture is drawn (stretched, aspect kept).
    void setPictureRect(const QRect &rect);

signals:
    void neuesBild(); // after a picture was imported through the component's menu

protected:
    void paintEvent(QPaintEvent *event) override;
    // Shows a stored logo; false when there is none.
    bool showStored(const std::optional<StoredLogo> &stored);
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void showFullView();
    void importFromClipboard();
    Host &host() const;

    // The logo as it was when this window loaded it, under the key it saves to (absent when
    // the workstation had none of its own): a save that finds another picture there asks first.
    void rememberLoaded(const LogoKey &key, const std::optional<StoredLogo> &stored);

    LogoKey m_key;
    std::optional<std::pair<LogoKey, RecordVersion>> m_loaded;
    BookingIdentity m_stamp;
    QImage m_picture;
    bool m_changed = false;
    QRect m_pictureRect;
};
