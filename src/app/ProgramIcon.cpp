#include "app/ProgramIcon.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

namespace {

// A picture of each size is built into the program.
QList<QImage> readPictures()
{
    QList<QImage> pictures;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QImage picture(QStringLiteral(":/icons/%1.png").arg(size));
        if (!picture.isNull())
            pictures << picture;
    }
    return pictures;
}

} // namespace

ProgramIcon::ProgramIcon()
    : m_pictures(std::async(std::launch::async, readPictures))
{}

void ProgramIcon::apply()
{
    if (!m_pictures.valid())
        return;
    QIcon icon;
    const QList<QImage> pictures = m_pictures.get();
    for (const QImage& picture : pictures)
        icon.addPixmap(QPixmap::fromImage(picture));
    QApplication::setWindowIcon(icon);
}
