#include "address/dialogs/OpenDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TfrmOpen::TfrmOpen(const QStringList& typedAddresses, QWidget* parent)
    : QDialog(parent)
    , m_chooser(&TfrmOpen::chooseWebDocument)
{
    setObjectName(QStringLiteral("frmOpen"));
    setWindowTitle(QStringLiteral("Open"));

    auto* text = new QLabel(QStringLiteral("Type the Internet address of a document or folder, "
                                           "and Pelvane will open it for you."),
                            this);
    text->setWordWrap(true);
    auto* label = new QLabel(QStringLiteral("&Open:"), this);
    m_cboOpen = new QComboBox(this);
    m_cboOpen->setObjectName(QStringLiteral("cboOpen"));
    m_cboOpen->setEditable(true);
    m_cboOpen->setInsertPolicy(QComboBox::NoInsert);
    m_cboOpen->lineEdit()->setCompleter(nullptr);
    m_cboOpen->addItems(typedAddresses);
    m_cboOpen->setCurrentIndex(-1);
    m_cboOpen->setEditText(QString());
    m_cboOpen->setMinimumWidth(320);
    label->setBuddy(m_cboOpen);

    m_chkNewTab = new QCheckBox(QStringLiteral("Open on new browser tab"), this);
    m_chkNewTab->setObjectName(QStringLiteral("chkNewTab"));
    m_chkNewTab->setChecked(true);

    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdBrowse = new QPushButton(QStringLiteral("&Browse..."), this);
    m_cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    m_cmdBrowse->setAutoDefault(false);
    m_cmdCancel->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(text, 0, 0, 1, 2);
    grid->addWidget(label, 1, 0);
    grid->addWidget(m_cboOpen, 1, 1);
    grid->addWidget(m_chkNewTab, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    buttons->addWidget(m_cmdBrowse);
    grid->addLayout(buttons, 3, 0, 1, 2);

    connect(m_cboOpen, &QComboBox::editTextChanged, this, &TfrmOpen::updateOk);
    connect(m_cmdOK, &QPushButton::clicked, this, &TfrmOpen::accept);
    connect(m_cmdCancel, &QPushButton::clicked, this, &TfrmOpen::reject);
    connect(m_cmdBrowse, &QPushButton::clicked, this, &TfrmOpen::browse);
    m_cboOpen->setFocus(Qt::OtherFocusReason);
    updateOk();
}

void TfrmOpen::setNewTabOptionVisible(bool visible)
{
    m_chkNewTab->setVisible(visible);
}

QString TfrmOpen::chooseWebDocument(QWidget* parent)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), QString(),
                                        QStringLiteral("Web Documents (*.htm *.html);;"
                                                       "Any file (*)"));
}

void TfrmOpen::updateOk()
{
    m_cmdOK->setEnabled(!m_cboOpen->currentText().isEmpty());
}

void TfrmOpen::browse()
{
    const QString file = m_chooser ? m_chooser(this) : QString();
    if (!file.isEmpty())
        m_cboOpen->setEditText(file);
    updateOk();
}

void TfrmOpen::accept()
{
    // Enter reaches the default button even while OK is disabled; an empty text opens
    // nothing.
    if (m_cboOpen->currentText().isEmpty())
        return;
    m_address = m_cboOpen->currentText();
    m_newTab = m_chkNewTab->isChecked();
    QDialog::accept();
}
