#pragma once

#include "sidebar/SideBarHost.h"

class QWidget;

// The side bar's questions as message boxes and input boxes over `parent`.
class SideBarDialogs final : public SideBarQuestions
{
public:
    explicit SideBarDialogs(QWidget* parent)
        : m_parent(parent)
    {}
    bool confirm(const QString& title, const QString& text) override;
    std::optional<QString> askText(const QString& title, const QString& prompt,
                                   const QString& proposed) override;
    void tell(const QString& text) override;

private:
    QWidget* m_parent;
};
