#include "app/AboutBox.h"

#include "platform/Paths.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QtWebEngineCore/qtwebenginecoreversion.h>

TfrmSplash::TfrmSplash(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("About"));
    auto* layout = new QVBoxLayout(this);

    auto* icon = new QLabel(this);
    icon->setPixmap(windowIcon().pixmap(48, 48));
    layout->addWidget(icon, 0, Qt::AlignHCenter);
    auto* name = new QLabel(QStringLiteral("<b>Pelvane</b>"), this);
    layout->addWidget(name, 0, Qt::AlignHCenter);
    layout->addWidget(new QLabel(VersionLine(), this), 0, Qt::AlignHCenter);

    auto* engine = new QGroupBox(QStringLiteral("Web engine"), this);
    auto* engineLayout = new QVBoxLayout(engine);
    engineLayout->addWidget(new QLabel(
        QStringLiteral("Version: Qt WebEngine %1").arg(QStringLiteral(QTWEBENGINECORE_VERSION_STR)),
        engine));
    layout->addWidget(engine);

    auto* link = new QLabel(QStringLiteral("<a href=\"home\">The Pelvane home page</a>"), this);
    link->setObjectName(QStringLiteral("lblLink"));
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(link, &QLabel::linkActivated, this, [this] {
        Q_EMIT linkClicked(HomePage());
        accept();
    });
    layout->addWidget(link, 0, Qt::AlignHCenter);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

QString TfrmSplash::HomePage()
{
    return QUrl::fromLocalFile(
               QDir(Paths::sharedDataFolder()).filePath(QStringLiteral("pages/start.html")))
        .toString();
}
