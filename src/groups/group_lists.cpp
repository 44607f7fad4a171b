#include "groups/group_lists.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

QString GroupLists::joinPastedLines(const QString& text, const QString& separator)
{
    static const QRegularExpression lineBreak(QStringLiteral("[\\r\\n\\x{2028}\\x{2029}\\x{0085}\\f\\v]"));
    if (!text.contains(lineBreak))
        return text;
    QStringList entries;
    for (const QString& line : text.split(lineBreak)) {
        const QString entry = line.trimmed();
        if (!entry.isEmpty())
            entries << entry;
    }
    return entries.join(separator);
}

qsizetype GroupLists::mailtoLength(const QString& list)
{
    return QUrl(QStringLiteral("mailto:") + list.trimmed(), QUrl::TolerantMode).toEncoded().size();
}

bool GroupLists::mailtoFits(const QString& list) { return mailtoLength(list) <= kLongestMailto; }
