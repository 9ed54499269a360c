#include "form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("coning-rate"));
    QApplication::setDesktopFileName(QStringLiteral("coning-rate"));

    coning::Form1 form;
    form.show();
    return QApplication::exec();
}
