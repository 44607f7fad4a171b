#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

// Personalised fields in a subject or body: "{Azienda}" stands for that field
// of the recipient's contact card, "{Azienda|gentile cliente}" gives the text
// used when the field is empty or there is no card.
namespace Placeholders {

// One run of a text: literal text, or one placeholder.
struct Piece {
    QString text; // as written; for a placeholder, braces included
    bool field = false;
    QString name; // the placeholder's field name, trimmed
    QString fallback; // trimmed; meaningful when hasFallback
    bool hasFallback = false;
};

// The text cut into pieces, in order; their texts joined give the text back.
// A placeholder is "{" name ["|" fallback] "}" on one line, without other
// braces inside, whose name is not blank; any other brace is literal text.
QList<Piece> parse(QStringView text);

// Whether text holds at least one placeholder.
bool any(QStringView text);

// The pieces with each placeholder replaced by value(placeholder), or by its
// fallback when that value is blank. Values go in as they are: braces in a
// value are never read as placeholders.
QString expand(const QList<Piece>& pieces, const std::function<QString(const Piece& placeholder)>& value);

} // namespace Placeholders
