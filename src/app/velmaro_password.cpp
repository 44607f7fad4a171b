// velmaro-password: sets the access password of the Velmaro installation it
// is installed in (the file beside it), from the terminal or, without one,
// from the environment variable VELMARO_PASSWORD.

#include "shell/password_store.h"
#include "storage/card_text.h"
#include "storage/ini_file.h"
#include "storage/win1252.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <exception>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int maxLength = 230; // the login's box takes no more

void say(const QString& text) { std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData()); }

// One line from the terminal with the echo off.
QString askHidden(const char* prompt)
{
    std::fprintf(stderr, "%s", prompt);
    std::fflush(stderr);
    termios old {};
    const bool tty = tcgetattr(STDIN_FILENO, &old) == 0;
    if (tty) {
        termios quiet = old;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string line;
    for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar())
        line.push_back(char(c));
    if (tty)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &old);
    std::fprintf(stderr, "\n");
    return QString::fromLocal8Bit(line.data(), qsizetype(line.size()));
}

int usage(const QString& path)
{
    say(QStringLiteral("Nessuna password impostata per Velmaro (%1).").arg(QDir::toNativeSeparators(path)));
    say(QStringLiteral("Per impostarla, eseguire da un terminale:\n  %1\n"
                       "oppure, senza terminale:\n  VELMARO_PASSWORD='...' %1")
            .arg(QDir::toNativeSeparators(QCoreApplication::applicationFilePath())));
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const PasswordStore store;
    if (app.arguments().size() > 1) {
        say(QStringLiteral("Uso: velmaro-password\n"
                           "Imposta la password di accesso di Velmaro, nel file %1.\n"
                           "Chiede la password due volte dal terminale; senza terminale la prende "
                           "dalla variabile d'ambiente VELMARO_PASSWORD.")
                .arg(QDir::toNativeSeparators(store.path())));
        return app.arguments().at(1) == QLatin1String("--help") ? 0 : 2;
    }

    QString password;
    if (isatty(STDIN_FILENO)) {
        password = askHidden("Nuova password di Velmaro: ");
        // Checked as the change-of-password form does: case counts here.
        if (CardText::trimmed(password) != CardText::trimmed(askHidden("Conferma nuova password: "))) {
            say(QStringLiteral("Le due password non coincidono: nessuna modifica."));
            return 1;
        }
    } else {
        password = qEnvironmentVariable("VELMARO_PASSWORD");
        if (password.isEmpty())
            return usage(store.path());
    }

    const QString form = PasswordStore::comparisonForm(password);
    if (form.isEmpty()) {
        say(QStringLiteral("La password non può essere vuota: nessuna modifica."));
        return 1;
    }
    if (CardText::trimmed(password).size() > maxLength) {
        say(QStringLiteral("La password può avere al massimo %1 caratteri: nessuna modifica.").arg(maxLength));
        return 1;
    }
    if (const QString bad = Cp1252::firstUnencodable(form); !bad.isEmpty()) {
        say(QStringLiteral("Il carattere \"%1\" non può essere usato in una password: nessuna modifica.").arg(bad));
        return 1;
    }
    try {
        store.store(password);
    } catch (const std::exception& e) {
        say(QStringLiteral("Password non impostata: %1").arg(QString::fromUtf8(e.what())));
        return 1;
    }
    say(QStringLiteral("Password impostata (%1).").arg(QDir::toNativeSeparators(store.path())));
    return 0;
}
