#include "archives/card_rules.h"

#include "storage/card_text.h"
#include "storage/win1252.h"

CardRules::CardRules(const ArchiveDefinition& definition)
    : definition_(definition)
{ }

QString CardRules::scrubbed(const QString& text) { return CardText::scrubbed(text); }

QString CardRules::stored(const QString& text) { return CardText::trimmed(CardText::scrubbed(text)); }

int CardRules::missingRequired(const QStringList& texts) const
{
    for (int r = 0; r < definition_.required.size(); ++r)
        if (CardText::trimmed(texts.value(definition_.indexOf(definition_.required[r].control))).isEmpty())
            return r;
    return -1;
}

std::optional<CardRules::Refusal> CardRules::encode(const QStringList& texts, QList<QByteArray>& values) const
{
    values.clear();
    values.reserve(texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        const QString text = CardText::trimmed(texts[i]);
        QByteArray bytes;
        const bool nul = text.contains(QChar(0));
        if (!nul && Cp1252::tryEncode(text, bytes)) {
            values << bytes;
            continue;
        }
        // Only now the character is looked for: that search costs an
        // encoder per character, too much for a long text that is fine.
        values.clear();
        return Refusal { i, nul ? QStringLiteral("\u2400") : Cp1252::firstUnencodable(text) };
    }
    return std::nullopt;
}

QString CardRules::reason(const Refusal& refusal) const
{
    return QStringLiteral("il carattere \u00ab%1\u00bb del campo \u00ab%2\u00bb non può essere salvato in archivio")
        .arg(refusal.character, definition_.columns.value(refusal.column).label);
}
