#include "settings/dialogs/DefaultBrowser.h"

#include "settings/PVOptions.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

TfrmDefaultBrowser::TfrmDefaultBrowser(RegistryHive& hive, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint)
    , m_hive(hive)
{
    setObjectName(QStringLiteral("frmDefaultBrowser"));
    setWindowTitle(QStringLiteral("Pelvane"));

    auto* icon = new QLabel(this);
    QIcon programIcon = QApplication::windowIcon();
    if (programIcon.isNull())
        programIcon = style()->standardIcon(QStyle::SP_MessageBoxQuestion);
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(programIcon.pixmap(iconSize, iconSize));
    icon->setAlignment(Qt::AlignTop);

    m_label1 = new QLabel(QStringLiteral("Pelvane is not currently your default browser."), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label2 = new QLabel(QStringLiteral("Would you like to make it your default browser?"), this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_checkBox1 =
        new QCheckBox(QStringLiteral("&Always perfom this check when starting Pelvane"), this);
    m_checkBox1->setObjectName(QStringLiteral("CheckBox1"));
    m_checkBox1->setChecked(true);
    m_button1 = new QPushButton(QStringLiteral("&Yes"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setDefault(true);
    m_button2 = new QPushButton(QStringLiteral("&No"), this);
    m_button2->setObjectName(QStringLiteral("Button2"));

    auto* texts = new QVBoxLayout;
    texts->addWidget(m_label1);
    texts->addWidget(m_label2);
    texts->addSpacing(8);
    texts->addWidget(m_checkBox1);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(8);
    top->addLayout(texts);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_button1);
    buttons->addWidget(m_button2);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_checkBox1, &QCheckBox::clicked, this, &TfrmDefaultBrowser::CheckBox1Click);

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmDefaultBrowser::CheckBox1Click(bool checked)
{
    // Written at once, so that unchecking holds even when the answer is No.
    TPVOptions(m_hive).SetAskDefaultBrowser(checked);
}

bool TfrmDefaultBrowser::askUser(RegistryHive& hive)
{
    TfrmDefaultBrowser dialog(hive);
    return dialog.exec() == QDialog::Accepted;
}
