#include "widgets/messagebox.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QMessageBox>
#include <QPushButton>

#include <memory>

namespace {

// The file list's dates and sizes as a German reader writes them; Qt's model writes them in
// the system locale, which may be C or English.
class GermanFileList : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    static constexpr int SizeColumn = 1;
    static constexpr int DateColumn = 3;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files
            || (index.column() != SizeColumn && index.column() != DateColumn))
            return QIdentityProxyModel::data(index, role);
        const QModelIndex file = mapToSource(index);
        const QLocale german(QLocale::German, QLocale::Germany);
        if (index.column() == DateColumn)
            return german.toString(files->lastModified(file), QStringLiteral("dd.MM.yyyy HH:mm"));
        if (files->isDir(file))
            return QString();
        return german.formattedDataSize(files->size(file), 1, QLocale::DataSizeTraditionalFormat);
    }
};

} // namespace

QFileDialog *FileDialogs::create(QWidget *parent, Purpose purpose, const QString &title,
                                 const QString &filter, const QString &file)
{
    auto *dialog = new QFileDialog(parent, title, QString(), filter);
    dialog->setObjectName(QStringLiteral("dlgDatei"));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setLocale(QLocale(QLocale::German, QLocale::Germany));
    dialog->setAcceptMode(purpose == Purpose::Save ? QFileDialog::AcceptSave
                                                   : QFileDialog::AcceptOpen);
    dialog->setFileMode(purpose == Purpose::Save ? QFileDialog::AnyFile
                                                 : QFileDialog::ExistingFile);
    dialog->setProxyModel(new GermanFileList(dialog));
    if (!file.isEmpty())
        dialog->selectFile(file);
    return dialog;
}

QString FileDialogs::choose(QWidget *parent, Purpose purpose, const QString &title,
                            const QString &filter, const QString &file)
{
    std::unique_ptr<QFileDialog> dialog(create(parent, purpose, title, filter, file));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().constFirst();
}

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
    return FileDialogs::choose(QApplication::activeWindow(), FileDialogs::Purpose::Open, title,
                               filter);
}
