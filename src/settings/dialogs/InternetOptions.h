#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;
class QSpinBox;
class RegistryHive;

// The system browser's settings that our Internet Options edit, in the hive at the places
// the engine reads them: "Start Page" and "Search Page" under
// "Software\Microsoft\Internet Explorer\Main", and the DWORD "DaysToKeep" under
// "Software\Microsoft\Windows\CurrentVersion\Internet Settings\Url History". An empty
// page means the shipped default (the value is then removed).
struct InternetOptionValues
{
    QString startPage;
    QString searchPage;
    int daysToKeep = DefaultDaysToKeep;

    static constexpr int DefaultDaysToKeep = 20;
    static constexpr int MaxDaysToKeep = 999;

    static InternetOptionValues load(RegistryHive& hive);
    // Throws RegistryError when a value cannot be written.
    void save(RegistryHive& hive) const;

    friend bool operator==(const InternetOptionValues&, const InternetOptionValues&) = default;
};

// "Internet Options": home page, search page, how long the history keeps pages, clearing
// the history, and clearing the cache and cookies of the web profile.
class TfrmInternetOptions final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmInternetOptions)

public:
    // What the dialog cannot do itself. An absent action leaves its button disabled.
    struct Actions
    {
        QString currentPage;                // "Use &Current"
        std::function<bool()> clearHistory; // false: it failed
        // Asks the user before a clearing (true: go on); empty: a message box asks.
        std::function<bool(const QString& question)> confirm;
        std::function<void()> clearCacheAndCookies;
    };

    TfrmInternetOptions(RegistryHive& hive, Actions actions, QWidget* parent = nullptr);

    // The values as the dialog shows them now.
    InternetOptionValues values() const;
    void setValues(const InternetOptionValues& values);

    QLineEdit* startPageEdit() const { return m_edtStart; }
    QPushButton* clearHistoryButton() const { return m_cmdClearHistory; }
    QPushButton* clearCacheButton() const { return m_cmdClearCache; }

    // Writes the values and closes; a value that cannot be written is reported and the
    // dialog stays open.
    void accept() override;

private:
    bool confirm(const QString& question);
    void clearHistory();
    void clearCacheAndCookies();

    RegistryHive& m_hive;
    Actions m_actions;
    QLineEdit* m_edtStart = nullptr;
    QLineEdit* m_edtSearch = nullptr;
    QSpinBox* m_spnDays = nullptr;
    QPushButton* m_cmdClearHistory = nullptr;
    QPushButton* m_cmdClearCache = nullptr;
};
