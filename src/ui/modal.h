#pragma once

#include <functional>

class QDialog;

// Every modal showing of a form goes through here, so tests can look at the
// prepared form and close it instead of blocking in exec().
namespace Modal {
int run(QDialog* dialog);
// Installs a replacement runner (tests); an empty function restores exec().
void install(std::function<int(QDialog*)> runner);
} // namespace Modal

// The editors and the send form return to the launcher when they close; the
// shell tells them how, so they need not know the launcher's class.
namespace LauncherLink {
void show();
void install(std::function<void()> showLauncher);
} // namespace LauncherLink
