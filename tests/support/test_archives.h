#pragma once

#include "archives/archive_registry.h"

#include <QList>
#include <QPair>
#include <QString>

#include <functional>

class CardEditor;

// The archives of the registry as the contract tests walk them: each with
// the one thing the registry cannot say, how to build its editor. A test
// written against this list runs once per archive.
struct TestArchive {
    const ArchiveDefinition* definition = nullptr;
    std::function<CardEditor*()> makeEditor;

    ArchiveKind kind() const { return definition->kind; }
    QString name() const { return QString::fromLatin1(definition->table); }
    // A value for every required field: enough for Save to accept a card.
    QList<QPair<QString, QString>> requiredValues() const;
};

namespace TestArchives {
// One per archive of the registry, in its order; an archive without an
// editor here fails the test that asks.
const QList<TestArchive>& all();
// Adds the int column "archive" and one row per archive (named after its
// table), with each case of cases when there are some.
void addRows(const QStringList& cases = {});
// The archive of the current row.
const TestArchive& fetch();
} // namespace TestArchives
