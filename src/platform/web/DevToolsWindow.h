#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

class QWebEnginePage;
class RegistryHive;

// The engine's developer tools for one page, in a window of their own. The page's backend
// owns it: it goes with the page (its tab closed, or the page dropped while asleep).
class DevToolsWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DevToolsWindow)

public:
    // Where the window's size is kept between uses; a null size is no size kept yet.
    struct SizeStore
    {
        std::function<QSize()> read;
        std::function<void(const QSize&)> keep;
    };

    // The size kept in the settings, under "DevTools".
    static SizeStore keptIn(RegistryHive& hive);

    DevToolsWindow(QWebEnginePage* inspected, SizeStore sizes);
    ~DevToolsWindow() override;

    QWebEnginePage* toolsPage() const { return m_tools; }
    // The window's title follows the inspected page's.
    void setInspectedTitle(const QString& title);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void keepSize();

    QPointer<QWebEnginePage> m_inspected;
    QWebEnginePage* m_tools = nullptr;
    SizeStore m_sizes;
};
