#include "ui/list_line.h"

#include "storage/card_text.h"
#include "storage/sqlite_table3.h"
#include "storage/win1252.h"

#include <QRegularExpression>

ListLineSpec::ListLineSpec(QList<Piece> pieces)
    : pieces_(std::move(pieces))
{ }

QString ListLineSpec::fit(const QString& s, int width)
{
    if (width < 0)
        return s;
    if (s.size() >= width)
        return s.left(width);
    return s + QString(width - s.size(), QLatin1Char(' '));
}

QString ListLineSpec::build(const TSQLiteTable& row) const
{
    QList<QString> values;
    for (const Piece& p : pieces_)
        if (!p.column.isEmpty())
            values << Cp1252::decode(row.BlobTextAt(row.ColumnIndex(QString::fromLatin1(p.column))));
    return build(values);
}

namespace {
// A multi-line value (a note) would make its list line two.
QString oneLine(QString value)
{
    static const QRegularExpression lineBreak(QStringLiteral("\\r\\n|[\\r\\n\\x{2028}\\x{2029}]"));
    return value.replace(lineBreak, QStringLiteral(" "));
}
} // namespace

QString ListLineSpec::build(const QList<QString>& values) const
{
    QString line;
    int next = 0;
    for (const Piece& p : pieces_) {
        if (p.column.isEmpty())
            line += fit(p.text, p.width);
        else
            line += fit(oneLine(CardText::trimmed(values.value(next++))), p.width);
    }
    return line;
}

QList<QByteArray> ListLineSpec::columns() const
{
    QList<QByteArray> list;
    for (const auto& p : pieces_)
        if (!p.column.isEmpty() && !list.contains(p.column))
            list << p.column;
    return list;
}
