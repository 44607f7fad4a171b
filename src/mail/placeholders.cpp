#include "mail/placeholders.h"

namespace {

// Longer runs between braces are text that happens to hold braces, not a
// field a user typed.
constexpr qsizetype kMaxPlaceholder = 200;

bool breaksPlaceholder(char16_t c)
{
    return c == u'{' || c == u'}' || c < 0x20 || c == 0x7F || c == 0x2028 || c == 0x2029;
}

// Reads the placeholder opening at text[open]; its length, or 0 when the
// brace is literal text.
qsizetype placeholderAt(QStringView text, qsizetype open, Placeholders::Piece& out)
{
    const qsizetype end = std::min(text.size(), open + kMaxPlaceholder);
    for (qsizetype i = open + 1; i < end; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'}') {
            const QStringView inner = text.mid(open + 1, i - open - 1);
            const qsizetype bar = inner.indexOf(u'|');
            const QStringView name = (bar < 0 ? inner : inner.left(bar)).trimmed();
            if (name.isEmpty())
                return 0;
            out.field = true;
            out.text = text.mid(open, i - open + 1).toString();
            out.name = name.toString();
            out.hasFallback = bar >= 0;
            out.fallback = bar >= 0 ? inner.mid(bar + 1).trimmed().toString() : QString();
            return i - open + 1;
        }
        if (breaksPlaceholder(c))
            return 0;
    }
    return 0;
}

Placeholders::Piece literal(QStringView text)
{
    Placeholders::Piece p;
    p.text = text.toString();
    return p;
}

} // namespace

QList<Placeholders::Piece> Placeholders::parse(QStringView text)
{
    QList<Piece> pieces;
    qsizetype literalStart = 0;
    qsizetype i = text.indexOf(u'{');
    while (i >= 0) {
        Piece field;
        const qsizetype length = placeholderAt(text, i, field);
        if (length == 0) {
            i = text.indexOf(u'{', i + 1);
            continue;
        }
        if (i > literalStart)
            pieces.append(literal(text.mid(literalStart, i - literalStart)));
        pieces.append(std::move(field));
        literalStart = i + length;
        i = text.indexOf(u'{', literalStart);
    }
    if (literalStart < text.size())
        pieces.append(literal(text.mid(literalStart)));
    return pieces;
}

bool Placeholders::any(QStringView text)
{
    for (qsizetype i = text.indexOf(u'{'); i >= 0; i = text.indexOf(u'{', i + 1)) {
        Piece ignored;
        if (placeholderAt(text, i, ignored) > 0)
            return true;
    }
    return false;
}

QString Placeholders::expand(const QList<Piece>& pieces, const std::function<QString(const Piece& placeholder)>& value)
{
    QString out;
    for (const Piece& piece : pieces) {
        if (!piece.field) {
            out += piece.text;
            continue;
        }
        const QString v = value(piece);
        out += (piece.hasFallback && v.trimmed().isEmpty()) ? piece.fallback : v;
    }
    return out;
}
