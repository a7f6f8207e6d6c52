#pragma once

#include <QObject>

class TBrowserTab;

// Tells a browser tab when the user presses a key or a mouse button anywhere inside it, its
// page included: the sign that the next window its page opens may be the user's wish (a
// link opened in a new window) rather than a script's. Watches the whole application for as
// long as it lives.
class UserInputWatch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UserInputWatch)

public:
    explicit UserInputWatch(QObject* parent = nullptr);
    ~UserInputWatch() override;

    // The tab an object is part of, or null.
    static TBrowserTab* tabOf(QObject* object);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
