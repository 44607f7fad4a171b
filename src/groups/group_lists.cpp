#include "groups/group_lists.h"

#include <QUrl>

qsizetype GroupLists::mailtoLength(const QString& list)
{
    return QUrl(QStringLiteral("mailto:") + list.trimmed(), QUrl::TolerantMode).toEncoded().size();
}

bool GroupLists::mailtoFits(const QString& list) { return mailtoLength(list) <= kLongestMailto; }
