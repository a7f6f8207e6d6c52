#include "settings/dialogs/PagesPage.h"

#include "settings/SpellLanguages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

PagesPage::PagesPage(const QStringList& languages, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("tsPages"));
    auto* spelling = new QGroupBox(QStringLiteral("Spelling"), this);
    m_chkSpellCheck =
        new QCheckBox(QStringLiteral("&Check spelling as I type in text fields"), spelling);
    m_chkSpellCheck->setObjectName(QStringLiteral("chkSpellCheck"));
    m_cmbLanguage = new QComboBox(spelling);
    m_cmbLanguage->setObjectName(QStringLiteral("cmbSpellLanguage"));
    m_cmbLanguage->addItem(QStringLiteral("The language of my system"), QString());
    for (const QString& language : languages)
        m_cmbLanguage->addItem(SpellLanguages::displayName(language), language);
    auto* label = new QLabel(QStringLiteral("&Language:"), spelling);
    label->setBuddy(m_cmbLanguage);
    auto* languageRow = new QHBoxLayout;
    languageRow->addWidget(label);
    languageRow->addWidget(m_cmbLanguage, 1);
    auto* spellingLayout = new QVBoxLayout(spelling);
    spellingLayout->addWidget(m_chkSpellCheck);
    spellingLayout->addLayout(languageRow);
    if (languages.isEmpty()) {
        auto* none = new QLabel(
            QStringLiteral("No dictionaries were installed with Pelvane: spelling cannot be "
                           "checked."),
            spelling);
        none->setObjectName(QStringLiteral("lblNoDictionaries"));
        none->setWordWrap(true);
        spellingLayout->addWidget(none);
        m_chkSpellCheck->setEnabled(false);
        m_cmbLanguage->setEnabled(false);
    } else {
        connect(m_chkSpellCheck, &QCheckBox::toggled, m_cmbLanguage, &QWidget::setEnabled);
    }

    auto* documents = new QGroupBox(QStringLiteral("Documents"), this);
    m_chkPdfViewer = new QCheckBox(
        QStringLiteral("Show &PDF documents in the browser tab instead of downloading them"),
        documents);
    m_chkPdfViewer->setObjectName(QStringLiteral("chkPdfViewer"));
    auto* documentsLayout = new QVBoxLayout(documents);
    documentsLayout->addWidget(m_chkPdfViewer);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(spelling);
    layout->addWidget(documents);
    layout->addStretch();
}

void PagesPage::set(bool spellCheck, const QString& language, bool pdfViewer)
{
    m_chkSpellCheck->setChecked(spellCheck);
    const int index = m_cmbLanguage->findData(language);
    m_cmbLanguage->setCurrentIndex(index < 0 ? 0 : index);
    m_cmbLanguage->setEnabled(m_chkSpellCheck->isEnabled() && spellCheck);
    m_chkPdfViewer->setChecked(pdfViewer);
}

bool PagesPage::spellCheck() const
{
    return m_chkSpellCheck->isChecked();
}

QString PagesPage::language() const
{
    return m_cmbLanguage->currentData().toString();
}

bool PagesPage::pdfViewer() const
{
    return m_chkPdfViewer->isChecked();
}
