#include "search/dialogs/SearchEngine.h"

#include "platform/Registry.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QPushButton* button(const QString& name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TfrmSearchEngine::TfrmSearchEngine(RegistryHive& hive, int mode, QWidget* parent)
    : QDialog(parent)
    , m_hive(hive)
    , m_mode(mode == SearchBarMode ? SearchBarMode : EnginesMode)
    , m_tell([](QWidget* over, const QString& message) {
        QMessageBox::warning(over, QStringLiteral("Pelvane"), message);
    })
{
    setObjectName(QStringLiteral("frmSearchEngine"));
    setWindowTitle(m_mode == SearchBarMode ? QStringLiteral("Organize Search Bar")
                                           : QStringLiteral("Organize Search Engines"));

    auto* lblTitle = new QLabel(
        QStringLiteral("The first search engine listed will be the default search engine for "
                       "Pelvane."),
        this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setWordWrap(true);

    m_lstEngines = new QTreeWidget(this);
    m_lstEngines->setObjectName(QStringLiteral("lstEngines"));
    m_lstEngines->setColumnCount(2);
    m_lstEngines->setHeaderLabels({QStringLiteral("Title"), QStringLiteral("Location")});
    m_lstEngines->setRootIsDecorated(false);
    m_lstEngines->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lstEngines->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lstEngines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lstEngines->setColumnWidth(0, 100);
    m_lstEngines->setColumnWidth(1, 360);
    m_lstEngines->setMinimumWidth(100 + 360 + 8);
    connect(m_lstEngines, &QTreeWidget::itemSelectionChanged, this,
            &TfrmSearchEngine::updateButtons);

    m_cmdUp = new QToolButton(this);
    m_cmdUp->setObjectName(QStringLiteral("cmdUp"));
    m_cmdUp->setArrowType(Qt::UpArrow);
    connect(m_cmdUp, &QToolButton::clicked, this, [this] { moveSelected(-1); });
    m_cmdDown = new QToolButton(this);
    m_cmdDown->setObjectName(QStringLiteral("cmdDown"));
    m_cmdDown->setArrowType(Qt::DownArrow);
    connect(m_cmdDown, &QToolButton::clicked, this, [this] { moveSelected(1); });

    m_cmdOk = button(QStringLiteral("cmdOk"), QStringLiteral("OK"), this);
    m_cmdInsert = button(QStringLiteral("cmdInsert"), QStringLiteral("Insert"), this);
    m_cmdUpdate = button(QStringLiteral("cmdUpdate"), QStringLiteral("Update"), this);
    m_cmdDelete = button(QStringLiteral("cmdDelete"), QStringLiteral("Delete"), this);
    m_cmdCancel = button(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), this);
    connect(m_cmdOk, &QPushButton::clicked, this, &TfrmSearchEngine::accept);
    connect(m_cmdInsert, &QPushButton::clicked, this, &TfrmSearchEngine::insertClicked);
    connect(m_cmdUpdate, &QPushButton::clicked, this, &TfrmSearchEngine::updateClicked);
    connect(m_cmdDelete, &QPushButton::clicked, this, &TfrmSearchEngine::deleteClicked);
    connect(m_cmdCancel, &QPushButton::clicked, this, &TfrmSearchEngine::reject);

    m_editArea = new QGroupBox(this);
    m_editArea->setObjectName(QStringLiteral("GroupBox1"));
    m_edtTitle = new QLineEdit(m_editArea);
    m_edtTitle->setObjectName(QStringLiteral("edtTitle"));
    m_edtLocation = new QLineEdit(m_editArea);
    m_edtLocation->setObjectName(QStringLiteral("edtLocation"));
    m_cmdUrlInsert = button(QStringLiteral("cmdUrlInsert"), QStringLiteral("Insert"), m_editArea);
    m_cmdUrlCancel = button(QStringLiteral("cmdUrlCancel"), QStringLiteral("Cancel"), m_editArea);
    connect(m_cmdUrlInsert, &QPushButton::clicked, this, &TfrmSearchEngine::commitClicked);
    connect(m_cmdUrlCancel, &QPushButton::clicked, this, &TfrmSearchEngine::cancelEditing);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Title:"), m_edtTitle);
    form->addRow(QStringLiteral("Location:"), m_edtLocation);
    auto* editButtons = new QVBoxLayout;
    editButtons->addWidget(m_cmdUrlInsert);
    editButtons->addWidget(m_cmdUrlCancel);
    editButtons->addStretch(1);
    auto* editLayout = new QHBoxLayout(m_editArea);
    editLayout->addLayout(form, 1);
    editLayout->addLayout(editButtons);

    auto* arrows = new QVBoxLayout;
    arrows->addStretch(1);
    arrows->addWidget(m_cmdUp);
    arrows->addWidget(m_cmdDown);
    arrows->addStretch(1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {m_cmdOk, m_cmdInsert, m_cmdUpdate, m_cmdDelete, m_cmdCancel})
        buttons->addWidget(b);
    buttons->addStretch(1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(m_lstEngines, 1);
    middle->addLayout(arrows);
    middle->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addLayout(middle, 1);
    layout->addWidget(m_editArea);

    const auto list =
        m_mode == SearchBarMode ? SearchEngines::List::SearchBar : SearchEngines::List::Engines;
    for (const SearchEngines::Entry& entry : SearchEngines::read(m_hive, list))
        addRow(entry);
    showEditArea(false);
    updateButtons();
}

QList<SearchEngines::Entry> TfrmSearchEngine::entries() const
{
    QList<SearchEngines::Entry> rows;
    for (int i = 0; i < m_lstEngines->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_lstEngines->topLevelItem(i);
        rows.append({item->text(0), item->text(1)});
    }
    return rows;
}

bool TfrmSearchEngine::editing() const
{
    return !m_editArea->isHidden();
}

void TfrmSearchEngine::addRow(const SearchEngines::Entry& entry, int at)
{
    auto* item = new QTreeWidgetItem({entry.title, entry.address});
    if (at < 0)
        m_lstEngines->addTopLevelItem(item);
    else
        m_lstEngines->insertTopLevelItem(at, item);
}

void TfrmSearchEngine::updateButtons()
{
    const bool selected = !m_lstEngines->selectedItems().isEmpty();
    m_cmdUpdate->setEnabled(selected);
    m_cmdDelete->setEnabled(selected);
    m_cmdUp->setEnabled(selected);
    m_cmdDown->setEnabled(selected);
    m_cmdInsert->setEnabled(true);
}

void TfrmSearchEngine::showEditArea(bool show)
{
    // Enter commits the row while one is edited (an empty or wrong row stays for the
    // user), and the dialog only otherwise.
    m_cmdUrlInsert->setDefault(show);
    m_cmdOk->setDefault(!show);
    m_editArea->setVisible(show);
    adjustSize();
}

void TfrmSearchEngine::insertClicked()
{
    EditIndex = -1;
    showEditArea(true);
    m_edtTitle->clear();
    m_edtLocation->clear();
    m_edtTitle->setFocus();
    m_cmdUrlInsert->setText(QStringLiteral("Insert"));
    m_cmdInsert->setEnabled(false);
    m_cmdUpdate->setEnabled(false);
    m_cmdDelete->setEnabled(false);
}

void TfrmSearchEngine::updateClicked()
{
    const QList<QTreeWidgetItem*> selected = m_lstEngines->selectedItems();
    if (selected.size() != 1)
        return;
    EditIndex = m_lstEngines->indexOfTopLevelItem(selected.first());
    showEditArea(true);
    m_edtTitle->setText(selected.first()->text(0));
    m_edtLocation->setText(selected.first()->text(1));
    m_edtTitle->setFocus();
    m_cmdUrlInsert->setText(QStringLiteral("Update"));
    m_cmdInsert->setEnabled(false);
    m_cmdUpdate->setEnabled(false);
    m_cmdDelete->setEnabled(false);
}

void TfrmSearchEngine::commitClicked()
{
    if (!editing())
        return;
    const QString title = m_edtTitle->text();
    const QString location = m_edtLocation->text().trimmed();
    if (title.isEmpty() || location.isEmpty())
        return; // the edit area stays for the missing part
    if (!SearchEngines::isUsableAddress(location)) {
        m_tell(this, QStringLiteral("\"%1\" is not a valid address. Type a full address such "
                                    "as https://example.com/search?q=%s")
                         .arg(location));
        m_edtLocation->setFocus();
        return;
    }
    const bool update = m_cmdUrlInsert->text() == QLatin1String("Update");
    if (update && EditIndex >= 0 && EditIndex < m_lstEngines->topLevelItemCount()) {
        QTreeWidgetItem* item = m_lstEngines->topLevelItem(EditIndex);
        item->setText(0, title);
        item->setText(1, location);
    } else if (!update) {
        addRow({title, location});
    }
    cancelEditing();
}

void TfrmSearchEngine::cancelEditing()
{
    showEditArea(false);
    m_lstEngines->setFocus();
    updateButtons();
}

void TfrmSearchEngine::deleteClicked()
{
    QTreeWidgetItem* current = m_lstEngines->selectedItems().value(0);
    if (!current)
        return;
    delete current;
    updateButtons();
}

void TfrmSearchEngine::moveSelected(int by)
{
    QTreeWidgetItem* item = m_lstEngines->selectedItems().value(0);
    if (!item)
        return;
    const int from = m_lstEngines->indexOfTopLevelItem(item);
    const int to = from + by;
    if (to < 0 || to >= m_lstEngines->topLevelItemCount())
        return;
    m_lstEngines->setUpdatesEnabled(false);
    m_lstEngines->takeTopLevelItem(from);
    m_lstEngines->insertTopLevelItem(to, item);
    m_lstEngines->clearSelection();
    item->setSelected(true);
    m_lstEngines->setCurrentItem(item);
    m_lstEngines->setUpdatesEnabled(true);
}

void TfrmSearchEngine::accept()
{
    const auto list =
        m_mode == SearchBarMode ? SearchEngines::List::SearchBar : SearchEngines::List::Engines;
    try {
        SearchEngines::write(m_hive, list, entries());
    } catch (const RegistryError& error) {
        m_tell(this, error.message()); // nothing was written; the rows stay for another try
        return;
    }
    QDialog::accept();
}
