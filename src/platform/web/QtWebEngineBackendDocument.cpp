// The backend's document commands: editing, finding, zoom, the page's source and scripts,
// printing and saving. The rest of the backend is in QtWebEngineBackend.cpp.
#include "platform/web/QtWebEngineBackend.h"

#include "platform/web/PagePropertiesDialog.h"
#include "platform/web/WebEngineContext.h"
#include "platform/web/WebEnginePage.h"
#include "platform/web/WebQuestions.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <memory>

// Document commands -----------------------------------------------------------------

void QtWebEngineBackend::execCommand(DocumentCommand command)
{
    if (!wakePage())
        return;
    switch (command) {
    case DocumentCommand::SelectAll:
        m_page->triggerAction(QWebEnginePage::SelectAll);
        break;
    case DocumentCommand::Copy:
        m_page->triggerAction(QWebEnginePage::Copy);
        break;
    case DocumentCommand::Cut:
        m_page->triggerAction(QWebEnginePage::Cut);
        break;
    case DocumentCommand::Paste:
        m_page->triggerAction(QWebEnginePage::Paste);
        break;
    case DocumentCommand::Find:
        find();
        break;
    case DocumentCommand::ViewSource:
        viewSource();
        break;
    case DocumentCommand::Properties:
        showProperties();
        break;
    }
}

void QtWebEngineBackend::find()
{
    if (!m_context)
        return;
    const QString text = m_context->questions()->findText(m_view, m_findText);
    if (text.isEmpty() || !m_page)
        return;
    // Asking again with the same text goes on to the next match.
    m_findText = text;
    m_page->findText(text);
}

void QtWebEngineBackend::showProperties()
{
    if (!m_page || !m_hasDocument)
        return;
    const QPointer<QtWebEngineBackend> self(this);
    runJavaScript(QStringLiteral("return document.contentType || '';"), {},
                  [self](const QVariant& type) {
                      if (!self || !self->m_page)
                          return;
                      auto* dialog = new PagePropertiesDialog(
                          self->m_page->title(), self->m_page->url(), type.toString(),
                          self->m_view ? self->m_view->window() : nullptr);
                      dialog->show();
                  });
}

qreal QtWebEngineBackend::zoomFactor() const
{
    if (m_released)
        return m_saved.zoom;
    return m_page ? m_page->zoomFactor() : 1.0;
}

void QtWebEngineBackend::setZoomFactor(qreal factor)
{
    // A sleeping page takes its zoom when it wakes: waking it for that would load it.
    if (m_released)
        m_saved.zoom = factor;
    else if (m_page)
        m_page->setZoomFactor(factor);
}

void QtWebEngineBackend::toHtml(std::function<void(const QString&)> done)
{
    if (!wakePage()) {
        if (done)
            done(QString());
        return;
    }
    m_page->toHtml([done](const QString& html) {
        if (done)
            done(html);
    });
}

void QtWebEngineBackend::setHtml(const QString& html, const QString& baseUrl)
{
    if (!wakePage())
        return;
    m_htmlPending = true;
    m_page->setHtml(html, QUrl(baseUrl));
}

QString QtWebEngineBackend::scriptSource(const QString& script, const QVariantList& arguments)
{
    // The arguments travel as one JSON array literal, which is valid script source: no
    // text of theirs can end the literal and become code.
    const QByteArray json =
        QJsonDocument(QJsonArray::fromVariantList(arguments)).toJson(QJsonDocument::Compact);
    return QStringLiteral("(function(args) {\n%1\n})(%2)").arg(script, QString::fromUtf8(json));
}

void QtWebEngineBackend::runJavaScript(const QString& script, const QVariantList& arguments,
                                       std::function<void(const QVariant&)> done)
{
    if (!wakePage()) {
        if (done)
            done(QVariant());
        return;
    }
    // The program's own world: the page's scripts cannot see or replace what ours use.
    m_page->runJavaScript(scriptSource(script, arguments), QWebEngineScript::ApplicationWorld,
                          [done](const QVariant& result) {
                              if (done)
                                  done(result);
                          });
}

void QtWebEngineBackend::runPageJavaScript(const QString& script,
                                           std::function<void(const QVariant&)> done)
{
    if (m_released || !m_page) {
        if (done)
            done(QVariant());
        return;
    }
    m_page->runJavaScript(script, QWebEngineScript::MainWorld, [done](const QVariant& result) {
        if (done)
            done(result);
    });
}

void QtWebEngineBackend::print(QPrinter* printer, std::function<void(bool)> done)
{
    if (!wakePage() || !m_view || !printer || m_printing) {
        if (done)
            done(false);
        return;
    }
    m_printing = true;
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection =
        connect(m_view, &QWebEngineView::printFinished, this, [this, done, connection](bool ok) {
            disconnect(*connection);
            m_printing = false;
            if (done)
                done(ok);
        });
    m_view->print(printer);
}

void QtWebEngineBackend::savePage(const QString& filePath, bool complete)
{
    if (!wakePage())
        return;
    QWebEngineDownloadRequest::SavePageFormat format =
        QWebEngineDownloadRequest::SingleHtmlSaveFormat;
    if (complete)
        format = QWebEngineDownloadRequest::CompleteHtmlSaveFormat;
    else if (filePath.endsWith(QLatin1String(".mht"), Qt::CaseInsensitive) ||
             filePath.endsWith(QLatin1String(".mhtml"), Qt::CaseInsensitive))
        format = QWebEngineDownloadRequest::MimeHtmlSaveFormat;
    m_page->save(filePath, format);
}

