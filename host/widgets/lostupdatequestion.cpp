#include "widgets/lostupdatequestion.h"

#include "core/sections/recordchange.h"
#include "widgets/fieldlabels.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

void showDifferences(QWidget *parent, const LostUpdateError &error)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmUnterschiede"));
    dialog.setWindowTitle(QStringLiteral("Unterschiede"));
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("%1: was gespeichert ist → was dieses Fenster "
                                                "speichern würde")
                                         .arg(error.record().display()),
                                 &dialog));
    QStringList lines = describeChange(error.record(), error.stored(), error.attempted(),
                                       windowFieldLabels(parent ? parent->window() : nullptr));
    if (lines.isEmpty())
        lines << QStringLiteral("Keine Unterschiede: das Gespeicherte ist das, was dieses Fenster "
                                "speichern würde.");
    auto *text = new QPlainTextEdit(lines.join(u'\n'), &dialog);
    text->setObjectName(QStringLiteral("memUnterschiede"));
    text->setReadOnly(true);
    layout->addWidget(text);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Schließen"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(640, 360);
    dialog.exec();
}

} // namespace

LostUpdateChoice askAboutLostUpdate(QWidget *parent, const LostUpdateError &error)
{
    for (;;) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Inzwischen geändert"),
                        error.text() + QStringLiteral("\n\nWas soll geschehen?"),
                        QMessageBox::NoButton, parent);
        box.setObjectName(QStringLiteral("frmInzwischenGeaendert"));
        QPushButton *differences =
                box.addButton(QStringLiteral("Unterschiede anzeigen"), QMessageBox::ActionRole);
        differences->setObjectName(QStringLiteral("btnUnterschiede"));
        QPushButton *overwrite =
                box.addButton(QStringLiteral("Überschreiben"), QMessageBox::DestructiveRole);
        overwrite->setObjectName(QStringLiteral("btnUeberschreiben"));
        QPushButton *back =
                box.addButton(QStringLiteral("Zurück zur Bearbeitung"), QMessageBox::RejectRole);
        back->setObjectName(QStringLiteral("btnZurueck"));
        box.setDefaultButton(back);
        box.setEscapeButton(back);
        box.exec();
        if (box.clickedButton() == overwrite)
            return LostUpdateChoice::Overwrite;
        if (box.clickedButton() != differences)
            return LostUpdateChoice::BackToEditing;
        showDifferences(&box, error);
    }
}
