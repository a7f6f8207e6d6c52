// The floor: a bare web view that opens each argument in a tab of a QTabWidget.
#include <QApplication>
#include <QTabWidget>
#include <QWebEngineProfile>
#include <QWebEngineView>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTabWidget tabs;
    const QStringList urls = app.arguments().mid(1);
    for (const QString& url : urls) {
        auto* view = new QWebEngineView(&tabs);
        view->load(QUrl(url));
        tabs.addTab(view, url);
    }
    tabs.resize(1000, 700);
    tabs.show();
    return app.exec();
}
