#include "archives/archive_registry.h"

#include "contacts/contact_archive.h"
#include "groups/group_archive.h"
#include "messages/message_archive.h"
#include "storage/wiring_error.h"

#include <vector>

namespace {

// Every archive keeps the attachment and folder columns after its own.
ArchiveDefinition completed(ArchiveDefinition d)
{
    d.columns += ArchiveDefinition::accessoryColumns();
    d.check();
    d.card = CardArchive(d.kind, d.fileName, d.table, d.columnNames());
    return d;
}

} // namespace

const QList<const ArchiveDefinition*>& Archives::all()
{
    // A definition that does not add up stops the program at its first use
    // of the archives, before any form shows.
    static const std::vector<ArchiveDefinition> definitions = {
        completed(ContactArchive::definition()),
        completed(GroupArchive::definition()),
        completed(MessageArchive::definition()),
    };
    static const QList<const ArchiveDefinition*> list = [] {
        QList<const ArchiveDefinition*> l;
        for (const ArchiveDefinition& d : definitions)
            l << &d;
        return l;
    }();
    return list;
}

const ArchiveDefinition& Archives::get(ArchiveKind kind)
{
    for (const ArchiveDefinition* d : all())
        if (d->kind == kind)
            return *d;
    throw WiringError(QStringLiteral("no archive of kind %1").arg(int(kind)));
}

const CardArchive& Archives::card(ArchiveKind kind) { return get(kind).card; }
