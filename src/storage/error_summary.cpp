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

ErrorSummary::Text ErrorSummary::of(const QString& message)
{
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
