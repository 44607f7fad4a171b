#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// The base of the program's own failures (storage, INI files, mail, the
// password store): an Italian message for the user; what() is it in UTF-8.
class AppError : public std::exception {
public:
    explicit AppError(QString message)
        : message_(std::move(message))
        , utf8_(message_.toUtf8())
    { }
    const QString& message() const { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};
