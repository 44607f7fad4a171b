#include "archives/archive_definition.h"

#include "storage/wiring_error.h"

#include <QSet>

#include <algorithm>

namespace {

[[noreturn]] void refuse(const ArchiveDefinition& d, const QString& what)
{
    throw WiringError(QString::fromLatin1(d.table) + QStringLiteral(": ") + what);
}

} // namespace

const QList<ArchiveDefinition::Column>& ArchiveDefinition::accessoryColumns()
{
    static const QList<Column> columns = {
        { .name = "varFile01", .control = QStringLiteral("lblFile01"), .label = QStringLiteral("File allegato 1") },
        { .name = "varFile02", .control = QStringLiteral("lblFile02"), .label = QStringLiteral("File allegato 2") },
        { .name = "varFile03", .control = QStringLiteral("lblFile03"), .label = QStringLiteral("File allegato 3") },
        { .name = "varDesc01", .control = QStringLiteral("lblDesc01"), .label = QStringLiteral("Descrizione file 1") },
        { .name = "varDesc02", .control = QStringLiteral("lblDesc02"), .label = QStringLiteral("Descrizione file 2") },
        { .name = "varDesc03", .control = QStringLiteral("lblDesc03"), .label = QStringLiteral("Descrizione file 3") },
        { .name = "varCartella", .control = QStringLiteral("lblCartella"), .label = QStringLiteral("Cartella associata") },
        { .name = "varCartellaDesc", .control = QStringLiteral("lblCartellaDesc"),
            .label = QStringLiteral("Descrizione cartella") },
    };
    return columns;
}

QList<ArchiveDefinition::Column> ArchiveDefinition::attachedFileColumns() { return accessoryColumns().mid(0, 6); }

QList<ArchiveDefinition::Column> ArchiveDefinition::folderColumns() { return accessoryColumns().mid(6); }

QList<QByteArray> ArchiveDefinition::columnNames() const
{
    QList<QByteArray> names;
    for (const Column& c : columns)
        names << c.name;
    return names;
}

int ArchiveDefinition::indexOf(const QString& control) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].control == control)
            return i;
    refuse(*this, QStringLiteral("no column is held by the control ") + control);
}

const ArchiveDefinition::Column& ArchiveDefinition::columnOf(const QString& control) const
{
    return columns[indexOf(control)];
}

QList<ArchiveDefinition::Column> ArchiveDefinition::listed() const
{
    QList<Column> list;
    for (const Column& c : columns)
        if (c.line.at >= 0)
            list << c;
    std::sort(list.begin(), list.end(), [](const Column& a, const Column& b) { return a.line.at < b.line.at; });
    return list;
}

void ArchiveDefinition::check() const
{
    QSet<QByteArray> names;
    QSet<QString> controls;
    for (const Column& c : columns) {
        if (c.name.isEmpty() || c.control.isEmpty())
            refuse(*this, QStringLiteral("a column without a name or a control"));
        if (names.contains(c.name) || controls.contains(c.control))
            refuse(*this, QStringLiteral("the column %1 or the control %2 comes twice")
                              .arg(QString::fromLatin1(c.name), c.control));
        if (c.advanced && c.search.isEmpty())
            refuse(*this, QStringLiteral("the advanced search field ") + c.control + QStringLiteral(" has no caption"));
        if (!c.exportHeading.isEmpty() && c.exportWidth <= 0)
            refuse(*this, QStringLiteral("the exported column %1 has no width").arg(QString::fromLatin1(c.name)));
        names.insert(c.name);
        controls.insert(c.control);
    }
    const auto named = [&](const QString& control, const QString& table) {
        if (!controls.contains(control))
            refuse(*this, table + QStringLiteral(" names the control ") + control + QStringLiteral(", which no column has"));
    };
    for (const Required& r : required)
        named(r.control, QStringLiteral("the required fields"));
    for (const QString& kept : keptOnClear)
        named(kept, QStringLiteral("the fields kept on clearing"));
    named(firstField, QStringLiteral("the first field"));
    if (!exports.requiredControl.isEmpty())
        named(exports.requiredControl, QStringLiteral("the document export"));
    const QList<Column> line = listed();
    if (line.isEmpty())
        refuse(*this, QStringLiteral("the result list shows no column"));
    for (int i = 0; i < line.size(); ++i)
        if (line[i].line.at != i)
            refuse(*this, QStringLiteral("the result list has no place %1 (column %2 is at %3)")
                              .arg(i)
                              .arg(QString::fromLatin1(line[i].name))
                              .arg(line[i].line.at));
}
