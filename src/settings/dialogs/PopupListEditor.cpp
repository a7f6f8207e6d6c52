#include "settings/dialogs/PopupListEditor.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QListWidgetItem* makeItem(const QString& text)
{
    auto* item = new QListWidgetItem(text);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    return item;
}

} // namespace

PopupListEditor::PopupListEditor(QWidget* parent)
    : QWidget(parent)
{
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lvPopupSorvel"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    m_list->installEventFilter(this);

    m_insert = new QPushButton(QStringLiteral("&Insert"), this);
    m_insert->setObjectName(QStringLiteral("btnInsert"));
    m_edit = new QPushButton(QStringLiteral("E&dit"), this);
    m_edit->setObjectName(QStringLiteral("btnEdit"));
    m_delete = new QPushButton(QStringLiteral("De&lete"), this);
    m_delete->setObjectName(QStringLiteral("btnDelete"));
    // Enter on a button presses that button, not the dialog's OK.
    for (QPushButton* button : {m_insert, m_edit, m_delete})
        button->setAutoDefault(false);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_insert);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_delete);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_insert, &QPushButton::clicked, this, &PopupListEditor::insertItem);
    connect(m_edit, &QPushButton::clicked, this, &PopupListEditor::editSelected);
    connect(m_delete, &QPushButton::clicked, this, &PopupListEditor::deleteSelected);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &PopupListEditor::updateButtons);
    updateButtons();
}

void PopupListEditor::setItems(const QStringList& items)
{
    m_list->clear();
    for (const QString& text : items)
        m_list->addItem(makeItem(text));
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    updateButtons();
}

QStringList PopupListEditor::items() const
{
    QStringList result;
    for (int row = 0; row < m_list->count(); ++row)
        result << m_list->item(row)->text();
    return result;
}

void PopupListEditor::insertItem()
{
    QListWidgetItem* item = makeItem(QStringLiteral("New Item"));
    m_list->addItem(item);
    m_list->setCurrentItem(item);
    m_list->setFocus();
    m_list->editItem(item);
}

void PopupListEditor::editSelected()
{
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return;
    m_list->setFocus();
    m_list->editItem(selected.first());
}

void PopupListEditor::deleteSelected()
{
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = m_list->row(selected.first());
    delete m_list->takeItem(row);
    // The neighbour takes the selection, so that Delete can be pressed again.
    if (m_list->count() > 0)
        m_list->setCurrentRow(qMin(row, m_list->count() - 1));
    updateButtons();
}

bool PopupListEditor::eventFilter(QObject* watched, QEvent* event)
{
    // Enter and Space open the selected item; without this, Enter would press the
    // dialog's OK and Space would only select.
    // Keys the open editor leaves unused come here too; only the list's own count.
    if (watched == m_list && event->type() == QEvent::KeyPress && m_list->hasFocus()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                      key->key() == Qt::Key_Space)) {
            if (m_list->selectedItems().isEmpty())
                return false;
            editSelected();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PopupListEditor::updateButtons()
{
    const bool selected = !m_list->selectedItems().isEmpty();
    m_edit->setEnabled(selected);
    m_delete->setEnabled(selected);
}
