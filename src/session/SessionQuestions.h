#pragma once

// What bringing a session back asks the user.
class SessionQuestions
{
public:
    // The tabs brought back after an abnormal end ended the program again within a minute:
    // true to bring the `tabCount` tabs back once more, false to start afresh.
    virtual bool askRestoreAfterRepeatedCrash(int tabCount) = 0;

protected:
    SessionQuestions() = default;
    SessionQuestions(const SessionQuestions&) = default;
    SessionQuestions& operator=(const SessionQuestions&) = default;
    ~SessionQuestions() = default;
};
