#pragma once

#include "history/HistoryCompletionWorker.h"

#include <QObject>
#include <QPointer>
#include <QThread>

class QTreeWidget;
class TPVComboBox;

// The completion style "IE5" on this platform: as the user types into the address box, a
// list under the box offers the pages of the history whose address or title matches,
// most visited first. The look-ups run on a worker thread; only the answer for the text
// still in the box is shown, so typing never waits.
//
// While the list is open it has the keyboard: Up and Down walk its rows (the box shows the
// row's address), Esc closes it and puts back what was typed, Enter goes to the box as
// any Enter does, every other key goes on to the box. A click on a row chooses it.
class AddressCompleter final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddressCompleter)

public:
    static constexpr int MaxRows = 12;

    // Completes for `box` from the history store in `historyFile`.
    AddressCompleter(TPVComboBox* box, const QString& historyFile, QObject* parent = nullptr);
    ~AddressCompleter() override;

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    QTreeWidget* popup() const { return m_popup; }
    bool isPopupVisible() const;
    // The addresses the list shows, top first.
    QStringList shownAddresses() const;

    // Asks for the completions of `text` (what typing it does).
    void complete(const QString& text);
    // Closes the list and forgets the answers still on their way.
    void dismiss();

Q_SIGNALS:
    // A row was clicked: its address is in the box and should be opened.
    void chosen(const QString& address);
    // The answer for the box's current text arrived and is shown (0 rows: the list closed).
    void answered(int rows);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onFound(quint64 generation, const QString& text, const QList<HistoryEntry>& entries);
    void showRows(const QList<HistoryEntry>& entries);
    void placePopup();
    void moveCurrent(int step);
    void ensureWorker();

    QPointer<TPVComboBox> m_box;
    QString m_historyFile;
    QTreeWidget* m_popup = nullptr;
    QThread m_thread;
    HistoryCompletionWorker* m_worker = nullptr;
    HistoryCompletionWorker::Generation m_latest;
    QString m_typed; // what the user typed, put back when Esc leaves the list
    bool m_enabled = false;
};
