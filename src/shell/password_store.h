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
    // value is damaged: not hexadecimal, of odd length (a digit lost) or
    // longer than the scrambling's 255 characters.
    QString stored() const;
    // Whether a password has been set at all. Throws as stored() does.
    bool isSet() const { return !stored().isEmpty(); }
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

    // The tool that sets the password: installed beside the program.
    static QString toolPath();
    // What the login says when no password is set: that none is, and how
    // to set one.
    static QString notSetMessage();

private:
    QString path_;
};
