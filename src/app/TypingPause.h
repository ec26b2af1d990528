#pragma once
// TTypingPause: the pause in the user's typing after which the window acts on what was typed
// (live runs, change marks): a single-shot timer that each change starts anew.

#include <QTimer>

namespace kestrim {

class TTypingPause : public QTimer {
public:
    explicit TTypingPause(QObject* Parent = nullptr) : QTimer(Parent)
    {
        setSingleShot(true);
        // The pause is the user's: a coarse timer would end it up to 5% early.
        setTimerType(Qt::PreciseTimer);
    }
};

} // namespace kestrim
