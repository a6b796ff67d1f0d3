// The baseline of the start-up benchmark: a bare Qt program that shows one empty dialog and
// ends as soon as it is shown, exactly as the designer does with --exit-when-shown.
#include <QApplication>
#include <QDialog>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.resize(604, 562);
    dialog.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return QApplication::exec();
}
