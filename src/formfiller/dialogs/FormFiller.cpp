#include "formfiller/dialogs/FormFiller.h"

#include "platform/Registry.h"
#include "settings/PVOptions.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmFormFiller::TfrmFormFiller(TPVOptions& options, QWidget* parent)
    : QDialog(parent)
    , m_options(options)
{
    setObjectName(QStringLiteral("frmFormFiller"));
    setWindowTitle(QStringLiteral("FormFiller"));

    // The profile is the program's own card, made in My Profile, where the system's
    // profile assistant and its control panel once were.
    m_label1 = new QLabel(QStringLiteral("FormFiller uses information from your Pelvane profile to "
                                         "assist you in filling in HTML forms. Please create your "
                                         "profile."),
                          this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setWordWrap(true);
    m_checkBox1 = new QCheckBox(QStringLiteral("Don't show me this message again."), this);
    m_checkBox1->setObjectName(QStringLiteral("CheckBox1"));
    m_cmdClose = new QPushButton(QStringLiteral("Close"), this);
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    m_cmdClose->setDefault(true);
    m_cmdCreateProfile = new QPushButton(QStringLiteral("Create Profile"), this);
    m_cmdCreateProfile->setObjectName(QStringLiteral("cmdCreateProfile"));

    m_groupBox1 = new QGroupBox(this);
    m_groupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* label2 =
        new QLabel(QStringLiteral("Click the 'Proceed' button below to create your "
                                  "profile. When the My Profile dialog opens, enter your "
                                  "personal and business details and click OK."),
                   m_groupBox1);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setWordWrap(true);
    m_button1 = new QPushButton(QStringLiteral("Proceed..."), m_groupBox1);
    m_button1->setObjectName(QStringLiteral("Button1"));
    auto* lower = new QVBoxLayout(m_groupBox1);
    lower->addWidget(label2);
    auto* proceedRow = new QHBoxLayout;
    proceedRow->addStretch();
    proceedRow->addWidget(m_button1);
    lower->addLayout(proceedRow);
    m_groupBox1->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_checkBox1);
    buttons->addStretch();
    buttons->addWidget(m_cmdCreateProfile);
    buttons->addWidget(m_cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(11, 11, 11, 7); // the lower part ends 7 above the border
    layout->addWidget(m_label1);
    layout->addLayout(buttons);
    layout->addWidget(m_groupBox1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_label1->setFixedWidth(420);

    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_cmdCreateProfile, &QPushButton::clicked, this, &TfrmFormFiller::showLowerPart);
    connect(m_button1, &QPushButton::clicked, this, [this] {
        m_proceed = true;
        accept();
    });
}

void TfrmFormFiller::showLowerPart()
{
    m_groupBox1->show();
    m_cmdCreateProfile->setEnabled(false);
    m_button1->setFocus();
}

void TfrmFormFiller::done(int result)
{
    // Every way out passes here: Close, Proceed, Esc and the title bar's close. A hive that
    // cannot keep the answer does not keep the notice open.
    if (m_checkBox1->isChecked()) {
        try {
            m_options.SetAskProfile(false);
        } catch (const RegistryError& error) {
            m_error = error.message();
        }
    }
    QDialog::done(result);
}
