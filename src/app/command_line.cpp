#include "app/command_line.h"

#include "storage/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>

#ifndef VELMARO_VERSION
#define VELMARO_VERSION ""
#endif

CommandLine::CommandLine(const QStringList& arguments)
    : data_({ QStringLiteral("d"), QStringLiteral("dati") },
          QStringLiteral("Tiene archivi, password e mittenti ricordati in <cartella> (per esempio una cartella "
                         "condivisa dell'ufficio), invece che nella solita."),
          QStringLiteral("cartella"))
    , help_({ QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Mostra questo aiuto ed esce."))
    , version_({ QStringLiteral("v"), QStringLiteral("version") }, QStringLiteral("Mostra la versione ed esce."))
{
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser_.addOption(data_);
    parser_.addOption(help_);
    parser_.addOption(version_);
    if (!parser_.parse(arguments)) {
        error_ = parser_.errorText();
        return;
    }
    if (const QStringList extra = parser_.positionalArguments(); !extra.isEmpty()) {
        error_ = QStringLiteral("Argomento non previsto: %1").arg(extra.constFirst());
        return;
    }
    if (!parser_.isSet(data_))
        return;
    const QString given = parser_.value(data_);
    if (given.isEmpty()) {
        error_ = QStringLiteral("Manca il nome della cartella dopo --dati.");
        return;
    }
    const QString folder = QDir::cleanPath(QFileInfo(given).absoluteFilePath());
    if (!QFileInfo(folder).isDir())
        error_ = QStringLiteral("La cartella dei dati non esiste: %1").arg(QDir::toNativeSeparators(folder));
    else if (!AppPaths::isWritableFolder(folder))
        error_ = QStringLiteral("Nella cartella dei dati non si può scrivere: %1").arg(QDir::toNativeSeparators(folder));
    else
        dataDir_ = folder;
}

bool CommandLine::asksToPrint(const QStringList& arguments)
{
    const CommandLine line(arguments);
    return line.parser_.isSet(line.help_) || line.parser_.isSet(line.version_);
}

void CommandLine::prepare(const QString& program)
{
    QCoreApplication::setApplicationName(program);
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMARO_VERSION));
    // Qt's own texts (the help's headings, the parser's errors, standard
    // buttons) in Italian, whatever the system's language.
    auto* qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(QStringLiteral("qtbase_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
}

std::optional<int> CommandLine::printRequested(const QString& description) const
{
    const auto print = [](std::FILE* to, const QString& text) {
        std::fputs(text.toUtf8().constData(), to);
        std::fflush(to);
    };
    if (parser_.isSet(help_)) {
        parser_.setApplicationDescription(description);
        print(stdout, parser_.helpText());
        return 0;
    }
    if (parser_.isSet(version_)) {
        print(stdout, QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n');
        return 0;
    }
    if (failed()) {
        print(stderr,
            QStringLiteral("%1: %2\nUsare --help per l'elenco delle opzioni.\n")
                .arg(QCoreApplication::applicationName(), error_));
        return 2;
    }
    return std::nullopt;
}
