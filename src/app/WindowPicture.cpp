#include "app/WindowPicture.h"

#include "browser/BrowserTab.h"
#include "browser/TabSet.h"

#include <QDeadlineTimer>
#include <QImageWriter>
#include <QTimer>
#include <QWidget>

#include <memory>

WindowPicture::WindowPicture(QWidget& window, const TabSet& tabs, QString file,
                             std::function<void(bool)> taken)
    : QObject(&window)
{
    auto* poll = new QTimer(this);
    poll->setInterval(250);
    const auto deadline = std::make_shared<QDeadlineTimer>(30000);
    const auto settled = std::make_shared<int>(0);
    connect(poll, &QTimer::timeout, this,
            [&window, &tabs, poll, deadline, settled, file = std::move(file), taken = std::move(taken)] {
                bool busy = false;
                const auto all = tabs.tabs();
                for (const TBrowserTab* tab : all)
                    busy = busy || tab->Busy() || (tab->Browser() && tab->Browser()->Busy());
                // A load may start a moment after the tab was told to go: wait for quiet
                // three times in a row.
                *settled = busy ? 0 : *settled + 1;
                if (*settled < 3 && !deadline->hasExpired())
                    return;
                poll->stop();
                QImageWriter writer(file, "png");
                taken(writer.write(window.grab().toImage()));
            });
    poll->start();
}
