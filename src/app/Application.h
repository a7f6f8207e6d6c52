#pragma once

#include <QApplication>

// The application object. Besides the toolkit's work it is the program's last line of
// error handling: a failure that no handler caught (a registry or file write that failed)
// is shown to the user in a message box and the program goes on, rather than ending.
class PelvaneApplication final : public QApplication
{
    Q_OBJECT

public:
    PelvaneApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows an uncaught error's message; tests replace it to see what would be shown.
    std::function<void(const QString&)> showError;
};
