#include "sidebar/HistoryProperties.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

QList<std::pair<QString, QString>> HistoryProperties::rowsFor(const HistoryEntry& entry)
{
    return {
        {QStringLiteral("Title:"), entry.title.isEmpty() ? entry.url : entry.title},
        {QStringLiteral("Address:"), entry.url},
        {QStringLiteral("Last visited:"),
         QLocale().toString(entry.lastVisit, QLocale::LongFormat)},
        {QStringLiteral("Visits:"), QString::number(entry.visitCount)},
    };
}

HistoryProperties::HistoryProperties(const HistoryEntry& entry, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHistoryProperties"));
    setWindowTitle(QStringLiteral("Properties"));
    auto* form = new QFormLayout;
    for (const auto& [label, value] : rowsFor(entry)) {
        auto* text = new QLabel(value, this);
        text->setTextFormat(Qt::PlainText); // a page's title is the page's to choose
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        text->setWordWrap(true);
        form->addRow(label, text);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}
