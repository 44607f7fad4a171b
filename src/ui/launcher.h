#pragma once

#include <QString>

class QObject;

// Starting a program that hands work on to another (the desktop's file
// opener, a mail client's launcher) and waiting a while for its verdict.
// Some such programs return at once, others stay as long as what they
// started: one still running after the wait has done its job and is left
// to finish on its own.
namespace Launcher {

struct Result {
    enum class Kind { NotStarted, StillRunning, Exited, Crashed };
    Kind kind = Kind::NotStarted;
    int exitCode = 0; // when Exited
};

// A program still running after waitMs is left to owner (deleted when it
// ends; with the owner at the latest).
Result run(const QString& program, const QString& argument, int waitMs, QObject* owner = nullptr);

} // namespace Launcher
