#pragma once

#include "groups/GroupCommands.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

// The page-group commands' questions as the user sees them: file dialogs and message
// boxes owned by a window.
class GroupDialogs final : public QObject, public GroupCommandQuestions
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GroupDialogs)

public:
    explicit GroupDialogs(QWidget* owner);

    QString askFileName(const QString& startFolder) override;
    Answer askOverwrite(const QString& path) override;
    QString askExistingGroup(const QString& title, const QString& startFolder) override;
    void tell(const QString& text) override;
    void organize(const QString& fileName) override;
    bool askOpenManyTabs(const QString& fileName, int count) override;

private:
    QPointer<QWidget> m_owner;
};
