#pragma once

#include <QStringList>
#include <QWidget>

class QListWidget;
class QPushButton;

// The pop-up address list of the options dialog: a plain list edited in place. Insert adds
// "New Item" at the end and opens it for typing, Edit (or Enter, Space, F2 or a double
// click on the list) opens the selected item, Delete removes it.
class PopupListEditor final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PopupListEditor)

public:
    explicit PopupListEditor(QWidget* parent = nullptr);

    void setItems(const QStringList& items);
    QStringList items() const;
    QListWidget* list() const { return m_list; }

    void insertItem();
    void editSelected();
    void deleteSelected();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateButtons();

    QListWidget* m_list = nullptr;
    QPushButton* m_insert = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_delete = nullptr;
};
