#include "platform/web/WebBrowser.h"

#include "platform/Paths.h"
#include "platform/Registry.h"

#include <QDir>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString MainKey = QStringLiteral("\\Software\\Microsoft\\Internet Explorer\\Main");

QString hiveText(RegistryHive* hive, const QString& name, const QString& fallback)
{
    if (!hive)
        return fallback;
    TRegistry reg(*hive);
    if (reg.openKeyReadOnly(MainKey) && reg.valueExists(name)) {
        const QString text = reg.readString(name);
        if (!text.isEmpty())
            return text;
    }
    return fallback;
}

QString shippedPage(const QString& name)
{
    return QUrl::fromLocalFile(QDir(Paths::sharedDataFolder()).filePath(name)).toString();
}

} // namespace

TWebBrowser::TWebBrowser(WebBackend* backend, RegistryHive* hive, QWidget* parent)
    : QWidget(parent)
    , m_backend(backend)
    , m_hive(hive)
{
    Q_ASSERT(m_backend);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_backend->attach(this, this);
    if (QWidget* view = m_backend->view())
        layout->addWidget(view);
    setFocusProxy(m_backend->view());
}

void TWebBrowser::viewReplaced(QWidget* view)
{
    layout()->addWidget(view);
    setFocusProxy(view);
}

TWebBrowser::~TWebBrowser()
{
    // The handlers may point into an owner that is being destroyed with us.
    OnBeforeNavigate2 = nullptr;
    OnNewWindow2 = nullptr;
    OnNavigateComplete2 = nullptr;
    OnDocumentComplete = nullptr;
    OnTitleChange = nullptr;
    OnStatusTextChange = nullptr;
    OnProgressChange = nullptr;
    OnCommandStateChange = nullptr;
    OnDownloadBegin = nullptr;
    OnDownloadComplete = nullptr;
}

QString TWebBrowser::startPage() const
{
    return hiveText(m_hive, QStringLiteral("Start Page"),
                    shippedPage(QStringLiteral("pages/start.html")));
}

QString TWebBrowser::searchPage() const
{
    return hiveText(m_hive, QStringLiteral("Search Page"),
                    QStringLiteral("https://duckduckgo.com/"));
}

void TWebBrowser::Navigate(const QString& url)
{
    m_backend->navigate(url);
}

void TWebBrowser::GoBack()
{
    m_backend->goBack();
}

void TWebBrowser::GoForward()
{
    m_backend->goForward();
}

void TWebBrowser::GoHome()
{
    m_backend->navigate(startPage());
}

void TWebBrowser::GoSearch()
{
    m_backend->navigate(searchPage());
}

void TWebBrowser::Refresh()
{
    m_backend->refresh();
}

void TWebBrowser::Refresh2(int level)
{
    if (level == REFRESH_COMPLETELY)
        m_backend->refreshCompletely();
    else
        m_backend->refresh();
}

void TWebBrowser::Stop()
{
    m_backend->stop();
}

QString TWebBrowser::LocationURL() const
{
    return m_backend->locationUrl();
}

QString TWebBrowser::LocationName() const
{
    return m_backend->locationName();
}

bool TWebBrowser::Busy() const
{
    return m_backend->busy();
}

bool TWebBrowser::HasDocument() const
{
    return m_backend->hasDocument();
}

WebFrame TWebBrowser::Application() const
{
    return m_backend->topFrame();
}

void TWebBrowser::beforeNavigate(WebFrame frame, const QString& url, bool* cancel)
{
    if (OnBeforeNavigate2)
        OnBeforeNavigate2(frame, url, *cancel);
}

void TWebBrowser::newWindow(TWebBrowser** target, bool* cancel)
{
    if (OnNewWindow2)
        OnNewWindow2(*target, *cancel);
}

void TWebBrowser::navigateComplete(WebFrame frame, const QString& url)
{
    if (OnNavigateComplete2)
        OnNavigateComplete2(frame, url);
}

void TWebBrowser::documentComplete(WebFrame frame, const QString& url)
{
    if (OnDocumentComplete)
        OnDocumentComplete(frame, url);
}

void TWebBrowser::titleChange(const QString& title)
{
    if (OnTitleChange)
        OnTitleChange(title);
}

void TWebBrowser::statusTextChange(const QString& text)
{
    if (OnStatusTextChange)
        OnStatusTextChange(text);
}

void TWebBrowser::progressChange(int progress, int maximum)
{
    if (OnProgressChange)
        OnProgressChange(progress, maximum);
}

void TWebBrowser::commandStateChange(int command, bool enabled)
{
    if (OnCommandStateChange)
        OnCommandStateChange(command, enabled);
}

void TWebBrowser::downloadBegin()
{
    if (OnDownloadBegin)
        OnDownloadBegin();
}

void TWebBrowser::downloadComplete()
{
    if (OnDownloadComplete)
        OnDownloadComplete();
}

void TWebBrowser::windowClosing()
{
    if (OnWindowClosing)
        OnWindowClosing();
}
