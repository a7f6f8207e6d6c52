#pragma once

#include <QList>
#include <QString>
#include <QTreeWidget>
#include <QWidget>

class QLineEdit;
class QPushButton;

// One row of a find's result list: what it shows and the address it opens.
struct FoundRow
{
    QString caption;
    QString address;
    friend bool operator==(const FoundRow&, const FoundRow&) = default;
};

// The find panel of the favorites and history panes: "F&ind:", the edit, "Go" and the
// result list (one column as wide as the list, no header, rows hot-tracked like links).
// Go, or Enter in the edit (which goes no further), asks for a find; a click on a row, or
// Enter or Space in the list, opens the row's address (the "No items found." row has none).
class FindPanel final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FindPanel)

public:
    static QString noItemsFound() { return QStringLiteral("No items found."); }

    explicit FindPanel(const QString& namePrefix, QWidget* parent = nullptr);

    QString text() const;
    QLineEdit* edit() const { return m_edit; }
    QPushButton* goButton() const { return m_go; }
    QTreeWidget* results() const { return m_list; }

    // Replaces the rows at once; no rows shows the single row "No items found.".
    void showRows(const QList<FoundRow>& rows);
    // Adds rows after those shown (a find that reports in parts).
    void appendRows(const QList<FoundRow>& rows);
    QList<FoundRow> rows() const;
    void clearRows() { m_list->clear(); }

Q_SIGNALS:
    void findRequested(const QString& text);
    void rowOpened(const QString& address, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openCurrent(Qt::KeyboardModifiers modifiers);

    QLineEdit* m_edit = nullptr;
    QPushButton* m_go = nullptr;
    QTreeWidget* m_list = nullptr;
};
