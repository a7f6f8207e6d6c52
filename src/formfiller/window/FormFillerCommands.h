#pragma once

#include <QObject>

#include <memory>

class FormFillerQuestions;
class MainActions;
class QWidget;
class RegistryHive;
class TabSet;
enum class ProfileKind;

// The form filler's commands: the active tab's page filled from the user's card, and the
// card edited in My Profile.
class FormFillerCommands final : public QObject
{
    Q_DISABLE_COPY_MOVE(FormFillerCommands)

public:
    // `questions` null: the form filler's own dialogs, over `window`.
    FormFillerCommands(TabSet& tabs, const MainActions& actions, RegistryHive& hive,
                       FormFillerQuestions* questions, QWidget* window);
    ~FormFillerCommands() override;

    // Fills the active tab's form with the user's personal or business profile.
    void FillForm(ProfileKind mode);
    void ShowMyProfile();

private:
    TabSet& m_tabs;
    RegistryHive& m_hive;
    std::unique_ptr<FormFillerQuestions> m_ownQuestions;
    FormFillerQuestions* m_questions = nullptr;
};
