#include "widgets/messagebox.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

Answer MessageBoxPresenter::present(MessageKind kind, const QString &title, const QString &text)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(text);
    switch (kind) {
    case MessageKind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageKind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageKind::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MessageKind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    if (kind == MessageKind::Question) {
        QPushButton *yes = box.addButton(QObject::tr("Ja"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(QObject::tr("Nein"), QMessageBox::NoRole);
        box.setDefaultButton(no);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? Answer::Yes : Answer::No;
    }
    box.addButton(QObject::tr("OK"), QMessageBox::AcceptRole);
    box.exec();
    return Answer::Ok;
}

QString MessageBoxPresenter::chooseOpenFile(const QString &title, const QString &filter)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, QString(), filter);
}
