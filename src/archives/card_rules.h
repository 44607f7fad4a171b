#pragma once

#include "archives/archive_definition.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The rules every card follows on its way into an archive, the same for the
// editors' Save and for an import: ';' and '"' scrubbed, blanks trimmed at
// both ends, Windows-1252 only (a NUL neither), the required fields filled.
// Texts are one per column of the definition, in field order.
class CardRules {
public:
    explicit CardRules(const ArchiveDefinition& definition);

    // Each ';' and each double quote becomes one blank; nothing is trimmed.
    static QString scrubbed(const QString& text);
    // The text as the archive keeps it: scrubbed and trimmed.
    static QString stored(const QString& text);

    // The first required field (its place in the definition's list) whose
    // trimmed text is empty; -1 when they are all filled.
    int missingRequired(const QStringList& texts) const;

    // A character the archive cannot keep, in the field of that column.
    struct Refusal {
        int column = -1;
        QString character; // as the user is shown it
    };
    // The trimmed texts as archive bytes; the first refusal instead, when a
    // text holds a character Windows-1252 has no form for (refused, never
    // replaced) or a NUL (which would end the statement).
    std::optional<Refusal> encode(const QStringList& texts, QList<QByteArray>& values) const;
    // "il carattere «x» del campo «y» non può essere salvato in archivio"
    QString reason(const Refusal& refusal) const;

private:
    const ArchiveDefinition& definition_;
};
