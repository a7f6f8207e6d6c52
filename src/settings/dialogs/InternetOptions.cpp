#include "settings/dialogs/InternetOptions.h"

#include "platform/Registry.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const QString MainKey = QStringLiteral("\\Software\\Microsoft\\Internet Explorer\\Main");
const QString HistoryKey = QStringLiteral(
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Url History");

QString readText(TRegistry& reg, const QString& key, const QString& name)
{
    try {
        return reg.openKeyReadOnly(key) ? reg.readString(name) : QString();
    } catch (const RegistryError&) {
        return {};
    }
}

void writeText(TRegistry& reg, const QString& name, const QString& text)
{
    if (text.isEmpty())
        reg.deleteValue(name);
    else
        reg.writeString(name, text);
}

QPushButton* addButton(QHBoxLayout* row, const QString& caption, const char* name)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    row->addWidget(button);
    return button;
}

} // namespace

InternetOptionValues InternetOptionValues::load(RegistryHive& hive)
{
    InternetOptionValues values;
    TRegistry reg(hive);
    values.startPage = readText(reg, MainKey, QStringLiteral("Start Page"));
    values.searchPage = readText(reg, MainKey, QStringLiteral("Search Page"));
    try {
        if (reg.openKeyReadOnly(HistoryKey) && reg.valueExists(QStringLiteral("DaysToKeep")))
            values.daysToKeep =
                qBound(0, reg.readInteger(QStringLiteral("DaysToKeep")), MaxDaysToKeep);
    } catch (const RegistryError&) {
        // A value of another type: the default.
    }
    return values;
}

void InternetOptionValues::save(RegistryHive& hive) const
{
    HiveTransaction transaction(hive);
    TRegistry reg(hive);
    if (!reg.openKey(MainKey, true))
        throw RegistryError::failedToCreateKey(MainKey);
    writeText(reg, QStringLiteral("Start Page"), startPage.trimmed());
    writeText(reg, QStringLiteral("Search Page"), searchPage.trimmed());
    if (!reg.openKey(HistoryKey, true))
        throw RegistryError::failedToCreateKey(HistoryKey);
    reg.writeInteger(QStringLiteral("DaysToKeep"), qBound(0, daysToKeep, MaxDaysToKeep));
    transaction.commit();
}

TfrmInternetOptions::TfrmInternetOptions(RegistryHive& hive, Actions actions, QWidget* parent)
    : QDialog(parent)
    , m_hive(hive)
    , m_actions(std::move(actions))
{
    setObjectName(QStringLiteral("frmInternetOptions"));
    setWindowTitle(QStringLiteral("Internet Options"));

    auto* home = new QGroupBox(QStringLiteral("Home page"), this);
    auto* homeLayout = new QVBoxLayout(home);
    auto* homeForm = new QFormLayout;
    m_edtStart = new QLineEdit(home);
    m_edtStart->setObjectName(QStringLiteral("edtStartPage"));
    m_edtStart->setPlaceholderText(QStringLiteral("(the page that comes with Pelvane)"));
    homeForm->addRow(QStringLiteral("Add&ress:"), m_edtStart);
    homeLayout->addLayout(homeForm);
    auto* homeButtons = new QHBoxLayout;
    homeButtons->addStretch();
    QPushButton* useCurrent =
        addButton(homeButtons, QStringLiteral("Use &Current"), "cmdUseCurrent");
    QPushButton* useDefault =
        addButton(homeButtons, QStringLiteral("Use &Default"), "cmdUseDefault");
    QPushButton* useBlank = addButton(homeButtons, QStringLiteral("Use &Blank"), "cmdUseBlank");
    homeLayout->addLayout(homeButtons);
    useCurrent->setEnabled(!m_actions.currentPage.isEmpty());
    connect(useCurrent, &QPushButton::clicked, this,
            [this] { m_edtStart->setText(m_actions.currentPage); });
    connect(useDefault, &QPushButton::clicked, m_edtStart, &QLineEdit::clear);
    connect(useBlank, &QPushButton::clicked, this,
            [this] { m_edtStart->setText(QStringLiteral("about:blank")); });

    auto* search = new QGroupBox(QStringLiteral("Search page"), this);
    auto* searchForm = new QFormLayout(search);
    m_edtSearch = new QLineEdit(search);
    m_edtSearch->setObjectName(QStringLiteral("edtSearchPage"));
    m_edtSearch->setPlaceholderText(QStringLiteral("(the search page that comes with Pelvane)"));
    searchForm->addRow(QStringLiteral("&Search page:"), m_edtSearch);

    auto* history = new QGroupBox(QStringLiteral("History"), this);
    auto* historyLayout = new QHBoxLayout(history);
    auto* daysLabel = new QLabel(QStringLiteral("Days to &keep pages in history:"), history);
    m_spnDays = new QSpinBox(history);
    m_spnDays->setObjectName(QStringLiteral("spnDaysToKeep"));
    m_spnDays->setRange(0, InternetOptionValues::MaxDaysToKeep);
    daysLabel->setBuddy(m_spnDays);
    historyLayout->addWidget(daysLabel);
    historyLayout->addWidget(m_spnDays);
    historyLayout->addStretch();
    m_cmdClearHistory =
        addButton(historyLayout, QStringLiteral("Clear &History"), "cmdClearHistory");
    m_cmdClearHistory->setEnabled(bool(m_actions.clearHistory));
    connect(m_cmdClearHistory, &QPushButton::clicked, this, &TfrmInternetOptions::clearHistory);

    auto* files = new QGroupBox(QStringLiteral("Temporary files and cookies"), this);
    auto* filesLayout = new QHBoxLayout(files);
    filesLayout->addWidget(new QLabel(
        QStringLiteral("Pages kept for quick viewing, and what sites stored about you."), files));
    filesLayout->addStretch();
    m_cmdClearCache =
        addButton(filesLayout, QStringLiteral("Delete &Files and Cookies"), "cmdClearCache");
    m_cmdClearCache->setEnabled(bool(m_actions.clearCacheAndCookies));
    connect(m_cmdClearCache, &QPushButton::clicked, this,
            &TfrmInternetOptions::clearCacheAndCookies);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmInternetOptions::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfrmInternetOptions::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(home);
    layout->addWidget(search);
    layout->addWidget(history);
    layout->addWidget(files);
    layout->addWidget(buttons);

    setValues(InternetOptionValues::load(m_hive));
}

InternetOptionValues TfrmInternetOptions::values() const
{
    return {m_edtStart->text().trimmed(), m_edtSearch->text().trimmed(), m_spnDays->value()};
}

void TfrmInternetOptions::setValues(const InternetOptionValues& values)
{
    m_edtStart->setText(values.startPage);
    m_edtSearch->setText(values.searchPage);
    m_spnDays->setValue(values.daysToKeep);
}

void TfrmInternetOptions::accept()
{
    try {
        values().save(m_hive);
    } catch (const RegistryError& error) {
        QMessageBox::warning(this, windowTitle(), error.message());
        return;
    }
    QDialog::accept();
}

bool TfrmInternetOptions::confirm(const QString& question)
{
    if (m_actions.confirm)
        return m_actions.confirm(question);
    return QMessageBox::question(this, windowTitle(), question,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void TfrmInternetOptions::clearHistory()
{
    if (!confirm(QStringLiteral("Delete all the pages in your history folder?")))
        return;
    if (!m_actions.clearHistory())
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("The history could not be cleared."));
}

void TfrmInternetOptions::clearCacheAndCookies()
{
    if (!confirm(QStringLiteral("Delete all temporary files and all cookies?")))
        return;
    m_actions.clearCacheAndCookies();
}
