#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

// The command line of the program and of velmaro-password:
//   -d, --dati <cartella>   the data folder, instead of the usual place
//   -h, --help              this help, in Italian, then end
//   -v, --version           the version, then end
// Single-dash words count as long options, so Qt's own (-platform, -style)
// never read as a row of one-letter ones.
class CommandLine {
public:
    explicit CommandLine(const QStringList& arguments);

    // --help or --version somewhere among the arguments: the program prints
    // and ends, needing no display. Decided before any application object.
    static bool asksToPrint(const QStringList& arguments);
    // Names and translations an application object of either program needs
    // before it reads its command line.
    static void prepare(const QString& program);

    // An unknown option, a missing or unusable folder, a stray argument.
    bool failed() const { return !error_.isEmpty(); }
    const QString& errorText() const { return error_; }
    // Absolute, without a trailing separator; empty when not given.
    const QString& dataDir() const { return dataDir_; }

    // Prints what was asked for (help or version on standard output, an
    // error on standard error) and returns the exit status; nothing when the
    // program goes on. description: the lines under the usage line.
    std::optional<int> printRequested(const QString& description) const;

private:
    mutable QCommandLineParser parser_; // the description is set when printing
    QCommandLineOption data_;
    QCommandLineOption help_;
    QCommandLineOption version_;
    QString error_;
    QString dataDir_;
};
