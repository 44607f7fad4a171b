#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// The base of the program's own failures (storage, INI files, mail, the
// password store): an Italian message for the user; what() is it in UTF-8.
// details: what the error box keeps behind its details button (another
// program's own words, for instance), empty when there is nothing more.
class AppError : public std::exception {
public:
    explicit AppError(QString message, QString details = {})
        : message_(std::move(message))
        , details_(std::move(details))
        , utf8_(message_.toUtf8())
    { }
    const QString& message() const { return message_; }
    const QString& details() const { return details_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QString details_;
    QByteArray utf8_;
};
