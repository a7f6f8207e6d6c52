#pragma once

class QDialog;
class QString;

// What every part may tell or ask the user, whichever part it is: the program answers with
// its own message boxes and dialogs, tests from a script. Parts that ask more take an
// interface of their own area besides this one.
class Questions
{
public:
    // A failure the user must know about; returns when the user has seen it.
    virtual void tell(const QString& text) = 0;
    // Runs one of the program's own dialogs (options, wizards) and answers its result.
    virtual int runDialog(QDialog& dialog) = 0;

protected:
    Questions() = default;
    Questions(const Questions&) = default;
    Questions& operator=(const Questions&) = default;
    ~Questions() = default;
};
