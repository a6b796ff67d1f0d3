#pragma once

// The heading editor on a test installation, with the stored lines it reads and writes, for the
// tests of the heading editor.

#include "core/store/formstore.h"
#include "core/store/layoutstore.h"
#include "editors/LayBonueber.h"
#include "tests/support/editorsession.h"
#include "tests/support/guisupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

const QString Printer = QStringLiteral("TM-T88");
const QString Receipt = QStringLiteral("BONUEBER");
constexpr int OwnRnr = 3;

// One line of a heading settings list.
inline QStringList line(const QString &text, const QString &font = QStringLiteral("Arial"),
                        const QString &size = QStringLiteral("10"),
                        const QString &style = QStringLiteral("normal"),
                        const QString &alignment = QStringLiteral("mitte"))
{
    return {text, font, size, style, alignment};
}

inline QStringList lines(int count, const QString &prefix = QStringLiteral("Zeile "))
{
    QStringList list{QString::number(count)};
    for (int i = 1; i <= count; ++i)
        list += line(prefix + QString::number(i));
    return list;
}

// An installation, a main window and the heading editor, torn down in that reverse order.
class Session : public EditorSession<TfrmLayBonueber>
{
public:
    using EditorSession::EditorSession;

    TfrmLayBonueber &open(int code)
    {
        auto window = std::make_unique<TfrmLayBonueber>();
        window->setSectionCode(code);
        return show(std::move(window));
    }

    QLineEdit *count() const { return find<QLineEdit>("edtTextAnzahlZeilen"); }
    QLineEdit *text(int i) const { return find<QLineEdit>("edtTxtZeile", i); }
    QLabel *preview(int i) const { return find<QLabel>("lblPreview", i); }
    void click(const QString &button) const
    {
        QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
    }
    bool shows(const QWidget *w) const { return w->isVisibleTo(editor.get()); }

    void putOwn(const QStringList &list) { installation.putList(Receipt, OwnRnr, Printer, list); }
    QStringList own(const QString &kennung = Receipt)
    {
        return installation.list(kennung, OwnRnr, Printer).value_or(QStringList{"<kein Satz>"});
    }
    QByteArray blob(const LayoutKey &key)
    {
        return installation.host().layouts().find(key).value_or(LayoutRecord{}).blob;
    }
    QStringList preset(bool flag)
    {
        TOVOFormStore presets(installation.host().store());
        presets.SetMaske("LAYBONUE");
        return presets.restore(QString::number(OwnRnr), flag) ? presets.LayOutListe
                                                              : QStringList{"<keine>"};
    }
    void removePrinter()
    {
        for (const QString &key : {QStringLiteral("AKTIV"), Printer})
            installation.host().layouts().remove({QStringLiteral("AKTBONDR"), 0, key});
        main.setWorkstation(OwnRnr);
    }
    // Every write of a layout record fails from now on; reading still works.
    void refuseLayoutWrites()
    {
        TestStore::refuseWrites(installation.host().store(), QStringLiteral("layout_records"), {},
                                QStringLiteral("Speicher gesperrt"));
    }
};
