#include "storage/error_summary.h"

#include <QChar>

namespace {

// Beyond these lengths a statement or SQLite's text is cut in the box.
constexpr qsizetype kStatementShown = 100;
constexpr qsizetype kDetailShown = 300;
const QChar kEllipsis(0x2026);

// The first line of text, cut to at most limit characters; whether
// anything was left out.
QString opening(const QString& text, qsizetype limit, bool& cut)
{
    qsizetype end = text.indexOf(QLatin1Char('\n'));
    if (end < 0)
        end = text.size();
    if (end > 0 && text.at(end - 1) == QLatin1Char('\r'))
        --end;
    end = qMin(end, limit);
    cut = end < text.size();
    return cut ? text.left(end).trimmed() + kEllipsis : text;
}

} // namespace

QString ErrorSummary::leadFor(int code)
{
    // Primary codes (the low byte of an extended code), as sqlite3.h numbers
    // them.
    switch (code & 0xFF) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return QStringLiteral("L'archivio è in uso da un'altra postazione o da un'altra copia del programma: "
                              "attendere qualche istante e riprovare.");
    case 8: // SQLITE_READONLY
        return QStringLiteral("L'archivio è di sola lettura: non è possibile modificare il file o la sua "
                              "cartella. Controllare i permessi del file e della cartella.");
    case 13: // SQLITE_FULL
        return QStringLiteral("Il disco è pieno: liberare spazio sul disco che contiene l'archivio e riprovare.");
    case 10: // SQLITE_IOERR
        return QStringLiteral("Errore di lettura o scrittura sul disco che contiene l'archivio: controllare il "
                              "disco (o la connessione alla cartella condivisa) e riprovare.");
    case 11: // SQLITE_CORRUPT
    case 26: // SQLITE_NOTADB
        return QStringLiteral("Il file dell'archivio è danneggiato o non è un archivio del programma: "
                              "ripristinare una copia di sicurezza.");
    case 14: // SQLITE_CANTOPEN
        return QStringLiteral("Impossibile aprire il file dell'archivio: controllare che la cartella del "
                              "programma esista e sia accessibile.");
    default:
        return {};
    }
}

ErrorSummary::Text ErrorSummary::of(const QString& message, int code)
{
    const QString lead = leadFor(code);
    if (!lead.isEmpty()) {
        // SQLite's own words stay in view below the sentence, and whole in
        // the details for whoever looks after the program.
        const Text technical = of(message);
        return { lead + QStringLiteral("\n\n") + technical.shown, message };
    }

    // The access layer's shape: prefix, blank, the statement in double
    // quotes, " : ", SQLite's text. The statement's own double quotes are
    // literals, so its end is the last '" : '.
    const qsizetype open = message.indexOf(QStringLiteral(" \""));
    const qsizetype close = message.lastIndexOf(QStringLiteral("\" : "));
    if (open < 0 || close <= open) {
        if (message.size() <= kDetailShown)
            return { message, {} };
        return { message.left(kDetailShown).trimmed() + kEllipsis, message };
    }
    const QString prefix = message.left(open);
    const QString statement = message.mid(open + 2, close - open - 2);
    const QString detail = message.mid(close + 4);
    bool statementCut = false;
    bool detailCut = false;
    const QString shown = prefix + QStringLiteral(" \"") + opening(statement, kStatementShown, statementCut)
        + QStringLiteral("\" : ") + opening(detail, kDetailShown, detailCut);
    return { shown, statementCut || detailCut ? message : QString() };
}
