#include "ui/list_paste.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

const QRegularExpression& lineBreak()
{
    static const QRegularExpression re(QStringLiteral("[\\r\\n\\x{2028}\\x{2029}\\x{0085}\\f\\v]"));
    return re;
}

// The separator without its blanks: "," for both ", " and ",".
QString mark(const QString& separator) { return separator.trimmed(); }

QString withoutMarksAtEnds(QString entry, const QString& m)
{
    entry = entry.trimmed();
    if (m.isEmpty())
        return entry;
    while (entry.startsWith(m))
        entry = entry.mid(m.size()).trimmed();
    while (entry.endsWith(m))
        entry = entry.chopped(m.size()).trimmed();
    return entry;
}

} // namespace

QString ListPaste::joinLines(const QString& text, const QString& separator)
{
    if (!text.contains(lineBreak()))
        return text;
    QStringList entries;
    for (const QString& line : text.split(lineBreak())) {
        const QString entry = withoutMarksAtEnds(line, mark(separator));
        if (!entry.isEmpty())
            entries << entry;
    }
    return entries.join(separator);
}

QString ListPaste::insertion(
    const QString& before, const QString& pasted, const QString& after, const QString& separator)
{
    if (!pasted.contains(lineBreak()))
        return pasted;
    const QString joined = joinLines(pasted, separator);
    if (joined.isEmpty())
        return joined;
    const QString m = mark(separator);
    const QString left = before.trimmed();
    const QString right = after.trimmed();
    QString out = joined;
    if (!left.isEmpty() && !left.endsWith(m))
        out.prepend(separator);
    if (!right.isEmpty() && !right.startsWith(m))
        out.append(separator);
    return out;
}
