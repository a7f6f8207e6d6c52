#pragma once

#include <QObject>

#include <memory>

class FormFillerQuestions;
class RegistryHive;
class TfrmMain;
enum class ProfileKind;

// The form filler's commands: the active tab's page filled from the user's card, and the
// card edited in My Profile.
class WindowFormFiller final : public QObject
{
public:
    // `questions` null: the form filler's own dialogs.
    WindowFormFiller(TfrmMain& window, RegistryHive& hive, FormFillerQuestions* questions);
    ~WindowFormFiller() override;

    // Fills the active tab's form with the user's personal or business profile.
    void FillForm(ProfileKind mode);
    void ShowMyProfile();

private:
    TfrmMain& m_window;
    RegistryHive& m_hive;
    std::unique_ptr<FormFillerQuestions> m_ownQuestions;
    FormFillerQuestions* m_questions = nullptr;
};
