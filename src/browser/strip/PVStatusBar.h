#pragma once

#include <QStatusBar>

#include <optional>

class QLabel;
class QProgressBar;

// The main window's status bar: five panels side by side. Panel 0 holds the status text and
// takes the room the others leave; panel 1 (19 pixels) the secure-connection padlock,
// panel 2 (152) the progress bar, panel 3 (35) the progress in percent, panel 4 (36) is
// free. The padlock and the progress bar are hidden at start.
class TPVStatusBar final : public QStatusBar
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TPVStatusBar)

public:
    static constexpr int PanelCount = 5;
    static constexpr int PanelWidths[PanelCount] = {0, 19, 152, 35, 36};

    explicit TPVStatusBar(QWidget* parent = nullptr);

    QString text() const { return panelText(0); }
    void setText(const QString& text) { setPanelText(0, text); }
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);

    // Progress of a page load: the bar is shown exactly when maximum is above 0; with both
    // above 0 it and panel 3 show the percent, otherwise panel 3 is emptied.
    void setProgress(int progress, int maximum);
    // Moves the bar without touching its visibility or panel 3.
    void setProgressPosition(int position);
    int progressPosition() const;
    // Shows or hides the progress bar; hiding also empties panel 3.
    void setBusy(bool visible);
    bool isProgressShown() const;

    void setSecure(bool secure);
    bool isSecureShown() const;

    QLabel* secureIcon() const { return m_secure; }
    QProgressBar* progressBar() const { return m_progress; }

    // The percent of a progress report, capped at 100; none unless both are above 0.
    static std::optional<int> progressPercent(int progress, int maximum);

private:
    QLabel* m_panels[PanelCount] = {};
    QLabel* m_secure = nullptr;
    QProgressBar* m_progress = nullptr;
};
