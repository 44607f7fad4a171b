#pragma once

#include <QString>

// The installation's one access password, kept scrambled in an INI file
// beside the executable: section [Accesso], key Valore.
class PasswordStore {
public:
    // The password file of this installation.
    static QString defaultPath();
    explicit PasswordStore(QString path = defaultPath());
    const QString& path() const { return path_; }

    // The stored password, unscrambled and trimmed; empty when the file, the
    // section or the key is missing (no password matches it). Throws
    // IniFileError when the file cannot be read and CryptError when the
    // value is damaged.
    QString stored() const;
    // Whether a typed password's comparison form equals the stored one;
    // never when nothing is stored. Throws as stored() does.
    bool matches(const QString& typed) const;
    // Stores the comparison form of a new password. The file keeps every
    // other line and is readable by its owner only. Throws IniFileError or
    // CryptError; on a failure the old value stays.
    void store(const QString& newPassword) const;

    // Upper-cased within Windows-1252 (the length never changes), then
    // trimmed: passwords compare without regard to case or surrounding
    // blanks.
    static QString comparisonForm(const QString& typed);
    static QString upperCase(const QString& text);

private:
    QString path_;
};
