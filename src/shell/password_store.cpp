#include "shell/password_store.h"

#include "shell/crypt.h"
#include "storage/app_paths.h"
#include "storage/card_text.h"
#include "storage/ini_file.h"

#include <QDir>

#include <utility>

namespace {
const QString section = QStringLiteral("Accesso");
const QString key = QStringLiteral("Valore");
} // namespace

QString PasswordStore::defaultPath() { return AppPaths::beside(QStringLiteral("unins000.dll")); }

PasswordStore::PasswordStore(QString path)
    : path_(std::move(path))
{ }

QString PasswordStore::stored() const
{
    const QString value = CardText::trimmed(IniFile(path_).read(section, key));
    // Every value written has two digits per character. An odd length means a
    // digit was lost, and unscrambling the rest would admit a shorter
    // password; beyond 255 characters the one-byte count has wrapped.
    if (value.size() % 2 != 0 || value.size() > 2 * Crypt::maxLength)
        throw CryptError(QStringLiteral("Valore della password danneggiato (%1 cifre).").arg(value.size()));
    return CardText::trimmed(Crypt::Unscramble(value));
}

bool PasswordStore::matches(const QString& typed) const
{
    // Without a stored password nobody gets in, not even with an empty one.
    const QString value = stored();
    return !value.isEmpty() && comparisonForm(typed) == value;
}

void PasswordStore::store(const QString& newPassword) const
{
    const QString value = CardText::trimmed(Crypt::Scramble(comparisonForm(newPassword)));
    IniFile file(path_);
    file.setOwnerOnly(true);
    file.write(section, key, value);
}

QString PasswordStore::upperCase(const QString& text)
{
    // QString::toUpper would make "ß" "SS" and "µ" a Greek capital the file
    // cannot hold; Windows-1252 has a capital for these letters only.
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if ((u >= u'a' && u <= u'z') || (u >= 0x00E0 && u <= 0x00FE && u != 0x00F7))
            c = QChar(char16_t(u - 0x20));
        else if (u == 0x0161) // š
            c = QChar(char16_t(0x0160));
        else if (u == 0x0153) // œ
            c = QChar(char16_t(0x0152));
        else if (u == 0x017E) // ž
            c = QChar(char16_t(0x017D));
        else if (u == 0x00FF) // ÿ
            c = QChar(char16_t(0x0178));
    }
    return out;
}

QString PasswordStore::comparisonForm(const QString& typed) { return CardText::trimmed(upperCase(typed)); }

QString PasswordStore::toolPath()
{
    return QDir::toNativeSeparators(AppPaths::programDir() + QStringLiteral("/velmaro-password"));
}

QString PasswordStore::notSetMessage()
{
    // The tool must set the password of the data folder this run uses.
    QString command = toolPath();
    const AppPaths::DataFolder data = AppPaths::dataFolder();
    if (data.place == AppPaths::DataPlace::Chosen)
        command += QStringLiteral(" --dati '%1'").arg(QDir::toNativeSeparators(data.path));
    return QStringLiteral("Attenzione: non è ancora stata impostata nessuna password di accesso, quindi non è "
                          "possibile entrare nel programma né cambiare la password.\n\n"
                          "Per impostarla, eseguire da un terminale il programma\n%1\n"
                          "oppure, senza terminale:\nVELMARO_PASSWORD='...' %1")
        .arg(command);
}
