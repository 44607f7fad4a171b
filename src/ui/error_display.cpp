#include "ui/error_display.h"

#include "storage/error_summary.h"
#include "storage/sqlite_table3.h"
#include "ui/dialogs.h"

#include <exception>

void ErrorDisplay::showCurrentException()
{
    QString text;
    QString details;
    try {
        throw;
    } catch (const ESQLiteException& e) {
        const ErrorSummary::Text summary = ErrorSummary::of(e.message(), e.code());
        text = summary.shown;
        details = summary.details;
    } catch (const AppError& e) {
        text = e.message();
        details = e.details();
    } catch (const std::exception& e) {
        text = QString::fromUtf8(e.what()); // every exception of ours carries UTF-8
    } catch (...) {
        text = QStringLiteral("Errore imprevisto.");
    }
    try {
        Dialogs::error(text, details);
    } catch (...) {
        // A failing error box must not take the program down.
    }
}

bool ErrorDisplay::guard(const std::function<void()>& body)
{
    try {
        body();
        return true;
    } catch (...) {
        showCurrentException();
        return false;
    }
}

bool ErrorDisplay::swallow(const std::function<void()>& body)
{
    try {
        body();
        return true;
    } catch (...) {
        return false;
    }
}

VelmaroApplication::VelmaroApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{ }

bool VelmaroApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ErrorDisplay::showCurrentException();
        return false;
    }
}
