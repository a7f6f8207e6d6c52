#include "platform/web/PagePropertiesDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

QList<QPair<QString, QString>> PagePropertiesDialog::rows(const QString& title, const QUrl& url,
                                                          const QString& contentType)
{
    const QString scheme = url.scheme().toLower();
    QString connection;
    if (scheme == QLatin1String("https") || scheme == QLatin1String("wss"))
        connection = QStringLiteral("Encrypted (HTTPS)");
    else if (scheme == QLatin1String("http"))
        connection = QStringLiteral("Not encrypted");
    else
        connection = QStringLiteral("Not applicable");
    return {
        {QStringLiteral("Title:"), title.isEmpty() ? QStringLiteral("(none)") : title},
        {QStringLiteral("Address:"), url.toDisplayString()},
        {QStringLiteral("Type:"), contentType.isEmpty() ? QStringLiteral("Unknown") : contentType},
        {QStringLiteral("Connection:"), connection},
    };
}

PagePropertiesDialog::PagePropertiesDialog(const QString& title, const QUrl& url,
                                           const QString& contentType, QWidget* parent)
    : QDialog(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Properties"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    const QList<QPair<QString, QString>> shown = rows(title, url, contentType);
    for (const auto& [label, value] : shown) {
        // Page texts are shown as plain text: a title must not become markup.
        auto* text = new QLabel(value);
        text->setTextFormat(Qt::PlainText);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        text->setWordWrap(true);
        form->addRow(label, text);
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}
