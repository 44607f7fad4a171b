#include "storage/ini_file.h"

#include "storage/win1252.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

// Header-only use: the bytes go in and out untouched (no UTF-8 conversion),
// so Windows-1252 text survives.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <string>
#include <utility>

namespace {

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

[[noreturn]] void cannotWrite(const QString& path)
{
    throw IniFileError(QStringLiteral("Impossibile scrivere il file %1.").arg(shown(path)));
}

struct Loaded {
    bool exists = false;
    bool crlf = true; // the line ends to write back
    QByteArray data; // with LF line ends only
};

// Reads the file; CR LF become LF so that comments do not carry stray CRs
// through SimpleIni, whose writer ends every line with LF here.
bool load(const QString& path, Loaded& out)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    out.exists = true;
    out.data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    if (out.data.contains('\n'))
        out.crlf = out.data.contains("\r\n");
    out.data.replace("\r\n", "\n");
    return true;
}

bool hasLineBreak(const QByteArray& bytes) { return bytes.contains('\n') || bytes.contains('\r'); }

} // namespace

IniFile::IniFile(QString path)
    : path_(std::move(path))
{ }

QString IniFile::read(const QString& section, const QString& key, const QString& defaultValue) const
{
    QByteArray s, k;
    if (!Cp1252::tryEncode(section, s) || !Cp1252::tryEncode(key, k))
        return defaultValue; // no such name can be in the file
    Loaded loaded;
    if (!load(path_, loaded))
        throw IniFileError(QStringLiteral("Impossibile leggere il file %1.").arg(shown(path_)));
    if (!loaded.exists)
        return defaultValue;
    CSimpleIniA ini(false, false, false);
    if (ini.LoadData(loaded.data.constData(), size_t(loaded.data.size())) < 0)
        throw IniFileError(QStringLiteral("Impossibile leggere il file %1.").arg(shown(path_)));
    const char* value = ini.GetValue(s.constData(), k.constData(), nullptr);
    return value ? Cp1252::decode(QByteArray(value)) : defaultValue;
}

void IniFile::write(const QString& section, const QString& key, const QString& value) const
{
    QByteArray s, k, v;
    const auto encode = [this](const QString& text, QByteArray& bytes) {
        if (!Cp1252::tryEncode(text, bytes))
            throw IniFileError(QStringLiteral("Impossibile scrivere il file %1: il carattere \"%2\" non può "
                                              "esservi salvato.")
                                   .arg(shown(path_), Cp1252::firstUnencodable(text)));
    };
    encode(section, s);
    encode(key, k);
    encode(value, v);
    // A line break would start a new line of the file: another key, or a
    // section, nobody asked for.
    const QByteArray trimmedKey = k.trimmed();
    if (hasLineBreak(s) || hasLineBreak(k) || hasLineBreak(v) || s.contains(']') || trimmedKey.isEmpty()
        || k.contains('=') || trimmedKey.startsWith(';') || trimmedKey.startsWith('#') || trimmedKey.startsWith('['))
        throw IniFileError(QStringLiteral("Impossibile scrivere il file %1: testo non valido.").arg(shown(path_)));

    Loaded loaded;
    if (!load(path_, loaded))
        cannotWrite(path_);
    CSimpleIniA ini(false, false, false);
    ini.SetSpaces(false); // "key=value", as Windows writes it
    if (ini.LoadData(loaded.data.constData(), size_t(loaded.data.size())) < 0)
        cannotWrite(path_);
    if (ini.SetValue(s.trimmed().constData(), trimmedKey.constData(), v.trimmed().constData()) < 0)
        cannotWrite(path_);

    std::string text;
    if (ini.Save(text, ini.IsUnicode()) < 0)
        cannotWrite(path_);
    QByteArray bytes(text.data(), qsizetype(text.size()));
    // SimpleIni keeps no blank lines of its own and separates sections by
    // two; one is the usual look.
    while (bytes.contains("\n\n\n"))
        bytes.replace("\n\n\n", "\n\n");
    if (loaded.crlf)
        bytes.replace("\n", "\r\n");

    QSaveFile file(path_);
    // A writable file in a folder that is not writable is still written.
    file.setDirectWriteFallback(true);
    // Unbuffered: a write that fails while a buffer is flushed at commit is
    // not noticed by QSaveFile, which then puts a cut file in place of the
    // old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        cannotWrite(path_);
    // Before any byte is written, so the secret is never readable by others.
    if (ownerOnly_ && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        cannotWrite(path_);
    if (file.write(bytes) != bytes.size() || !file.commit())
        cannotWrite(path_);
}
