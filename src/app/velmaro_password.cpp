// velmaro-password: sets the access password of Velmaro, in the data folder
// the program beside it uses (or the one named with --dati), from the
// terminal or, without one, from the environment variable VELMARO_PASSWORD.

#include "app/command_line.h"
#include "shell/password_store.h"
#include "storage/app_paths.h"
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

int usage(const QString& path, const QString& dataDir)
{
    QString command = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
    if (!dataDir.isEmpty())
        command += QStringLiteral(" --dati '%1'").arg(QDir::toNativeSeparators(dataDir));
    say(QStringLiteral("Nessuna password impostata per Velmaro (%1).").arg(QDir::toNativeSeparators(path)));
    say(QStringLiteral("Per impostarla, eseguire da un terminale:\n  %1\n"
                       "oppure, senza terminale:\n  VELMARO_PASSWORD='...' %1")
            .arg(command));
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CommandLine::prepare(QStringLiteral("velmaro-password"));
    const CommandLine line(app.arguments());
    // Where the program will look, without creating anything yet.
    const QString target = AppPaths::choose(line.dataDir(), AppPaths::programDir(), AppPaths::userDataDir()).path
        + QStringLiteral("/unins000.dll");
    const auto status = line.printRequested(
        QStringLiteral("Imposta la password di accesso di Velmaro, nel file\n  %1\n"
                       "Chiede la password due volte dal terminale; senza terminale la prende\n"
                       "dalla variabile d'ambiente VELMARO_PASSWORD. Con --dati vale per il\n"
                       "programma avviato con la stessa cartella.")
            .arg(QDir::toNativeSeparators(target)));
    if (status)
        return *status;
    if (!line.dataDir().isEmpty())
        AppPaths::setDataDir(line.dataDir());

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
            return usage(target, line.dataDir());
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
    const PasswordStore store; // creates the user's data folder when it is the one
    try {
        store.store(password);
    } catch (const std::exception& e) {
        say(QStringLiteral("Password non impostata: %1").arg(QString::fromUtf8(e.what())));
        return 1;
    }
    say(QStringLiteral("Password impostata (%1).").arg(QDir::toNativeSeparators(store.path())));
    return 0;
}
