#pragma once

#include <QString>

#include <functional>

namespace meridell::data {

// What a grid does when the database cannot be read while it paints: the cell shows nothing, and
// the failure is told to the user once, after the paint, through the reporter the program sets.
// Further failures are not told again until the rows are read anew, and for a short rest after
// each failure cells are painted empty at once, instead of each waiting for the lock again.
class ReadFailures {
public:
    static ReadFailures& instance();

    // The program's way of telling the user (a message box); empty: nothing is told.
    void setReporter(std::function<void(const QString&)> reporter);

    // A read for a paint failed with the engine's `text`.
    void failed(const QString& text);
    // An error has just been shown to the user: a failure of the same moment (the command met
    // it too) is not told a second time.
    void shown();
    // The rows are read anew: the next failure is told again.
    void rearm();
    // Whether a paint should not try the database just now.
    bool resting() const;
    // How long a paint leaves the database alone after a failed read (tests shorten it).
    void setRestMilliseconds(qint64 ms) { rest_ = ms; }

private:
    void deliver(const QString& text);

    std::function<void(const QString&)> reporter_;
    bool told_ = false;
    bool pending_ = false;
    qint64 rest_ = 3000;
    qint64 restUntil_ = 0;
    qint64 shownUntil_ = 0;
};

// The message of a failed read: a Chinese sentence, then the engine's text on a line of its own.
QString readFailureText(const QString& engineText);

}  // namespace meridell::data
