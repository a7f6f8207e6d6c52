#pragma once

#include <QDialog>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

// The page's title, address, type and whether its connection is encrypted.
class PagePropertiesDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PagePropertiesDialog)

public:
    PagePropertiesDialog(const QString& title, const QUrl& url, const QString& contentType,
                         QWidget* parent = nullptr);

    // The rows the dialog shows (label, value).
    static QList<QPair<QString, QString>> rows(const QString& title, const QUrl& url,
                                               const QString& contentType);
};
