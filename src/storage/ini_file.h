#pragma once

#include "storage/app_error.h"

#include <QByteArray>
#include <QString>

#include <exception>

// The failure of an INI file that exists but cannot be read, or cannot be
// written. what() is the message in UTF-8.
class IniFileError : public AppError {
public:
    using AppError::AppError;
};

// A classic Windows INI file (Messaggi.ini, the password file): section and
// key names without regard to case, Windows-1252 bytes, CR LF line ends. The
// file is opened anew for every read and write and never kept open.
class IniFile {
public:
    explicit IniFile(QString path);
    const QString& path() const { return path_; }

    // The value, trimmed of surrounding blanks; defaultValue when the file,
    // the section or the key is missing. Throws IniFileError when the file
    // exists but cannot be read.
    QString read(const QString& section, const QString& key, const QString& defaultValue = QString()) const;

    // Sets one key, creating the file, section and key when missing; every
    // other section, key and comment keeps its content, in the usual layout
    // ("key=value", one blank line between sections). The file keeps its
    // line ends (a new file gets CR LF). Throws IniFileError when the file cannot be
    // written, when a text has no Windows-1252 form or holds a line break,
    // or when a name could not be read back as written.
    void write(const QString& section, const QString& key, const QString& value) const;

    // Files holding a secret are written readable and writable by their
    // owner only (0600), whatever the umask.
    void setOwnerOnly(bool ownerOnly) { ownerOnly_ = ownerOnly; }

private:
    QString path_;
    bool ownerOnly_ = false;
};
