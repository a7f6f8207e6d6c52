#include "platform/Registry.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Pelvane"));
    label.show();
    return app.exec();
}
