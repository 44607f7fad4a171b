#pragma once

#include <QApplication>
#include <functional>

// The application's default handler: a failure nobody else handles is shown
// in the error box and the program goes on. Nothing may unwind through Qt's
// event loop, so every slot that can fail runs its body through guard().
namespace ErrorDisplay {
// Runs body; any exception ends in the error box. Returns false if one did.
bool guard(const std::function<void()>& body);
// Runs body and swallows any failure silently (closing forms, hand-overs).
bool swallow(const std::function<void()>& body);
// Shows the text of the exception currently being handled.
void showCurrentException();
} // namespace ErrorDisplay

// Last line of defence for event handlers that are not wrapped in guard().
class VelmaroApplication : public QApplication {
    Q_OBJECT
public:
    VelmaroApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
