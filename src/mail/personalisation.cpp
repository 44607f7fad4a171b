#include "mail/personalisation.h"

#include "archives/archive_registry.h"
#include "mail/mime_message.h"
#include "storage/card_archive.h"
#include "storage/win1252.h"

#include <QFile>

QList<PersonalFields::Field> PersonalFields::all()
{
    // The attached files and the folder are no field of the card a letter
    // would quote.
    QList<QByteArray> hidden;
    for (const ArchiveDefinition::Column& c : ArchiveDefinition::accessoryColumns())
        hidden << c.name;
    QList<Field> fields;
    for (const ArchiveDefinition::Column& c : Archives::get(ArchiveKind::Contacts).columns)
        if (!hidden.contains(c.name))
            fields.append({ c.label, c.name });
    return fields;
}

namespace {
// A name as typed compares with a caption without regard to case or accents:
// "{citta}" is "{Città}" on a keyboard without accented letters.
QString foldedName(const QString& name)
{
    QString out;
    for (const QChar c : name.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            out += c;
    return out.toCaseFolded();
}
} // namespace

const PersonalFields::Field* PersonalFields::find(const QList<Field>& fields, const QString& name)
{
    const QString wanted = foldedName(name);
    for (const Field& f : fields)
        if (foldedName(f.caption) == wanted)
            return &f;
    return nullptr;
}

ContactDirectory ContactDirectory::load(const QList<QByteArray>& columns)
{
    ContactDirectory directory;
    const ArchiveDefinition& contacts = Archives::get(ArchiveKind::Contacts);
    const CardArchive& archive = contacts.card;
    // Reading must not leave an archive behind where there was none.
    if (!QFile::exists(archive.path()))
        return directory;
    TSQLiteDatabase db(archive.path());
    if (!db.HasTable(archive.table()))
        return directory;
    QByteArray sql = "SELECT " + contacts.columnOf(QStringLiteral("txtEmail")).name;
    for (const QByteArray& c : columns)
        sql += ", " + c;
    sql += " FROM " + archive.table() + " ORDER BY ID";
    const auto rows = db.Query(sql);
    QStringList values;
    for (bool more = rows->First(); more && !rows->AtEnd(); more = rows->Next()) {
        values.clear();
        for (int c = 1; c <= columns.size(); ++c)
            values << Cp1252::decode(rows->BlobTextAt(c));
        directory.add(Cp1252::decode(rows->BlobTextAt(0)), values);
    }
    return directory;
}

void ContactDirectory::add(const QString& addressField, const QStringList& values)
{
    for (const QString& entry : MimeMail::splitAddresses(addressField)) {
        const QString key = MimeMail::addressKey(entry);
        if (!byAddress_.contains(key))
            byAddress_.insert(key, values);
    }
}

const QStringList* ContactDirectory::find(const QString& address) const
{
    const auto it = byAddress_.constFind(MimeMail::addressKey(address));
    return it == byAddress_.cend() ? nullptr : &it.value();
}

Personalisation::Personalisation(const QString& subject, const QString& body, QList<PersonalFields::Field> fields)
    : bodyText_(body)
    , fields_(std::move(fields))
    , subject_(Placeholders::parse(subject))
    , body_(Placeholders::parse(body))
{
    for (const QList<Placeholders::Piece>* pieces : { &subject_, &body_ }) {
        for (const Placeholders::Piece& piece : *pieces) {
            if (!piece.field)
                continue;
            (pieces == &subject_ ? subjectFields_ : bodyFields_) = true;
            const PersonalFields::Field* field = PersonalFields::find(fields_, piece.name);
            if (!field) {
                if (!unknown_.contains(piece.text))
                    unknown_ << piece.text;
                columnOf_.insert(piece.name, -1);
                continue;
            }
            qsizetype column = columns_.indexOf(field->column);
            if (column < 0) {
                column = columns_.size();
                columns_ << field->column;
            }
            columnOf_.insert(piece.name, int(column));
        }
    }
}

QString Personalisation::expand(const QList<Placeholders::Piece>& pieces, const QStringList* card) const
{
    return Placeholders::expand(pieces, [&](const Placeholders::Piece& placeholder) {
        const int column = columnOf_.value(placeholder.name, -1);
        // An unknown one stays as written (a sending refuses it anyway).
        if (column < 0)
            return placeholder.text;
        return card ? card->value(column) : QString();
    });
}

QString Personalisation::subjectFor(const QString& address) const
{
    return MimeMail::headerText(expand(subject_, cardOf(address)));
}

QString Personalisation::bodyFor(const QString& address) const { return expand(body_, cardOf(address)); }
