#pragma once

#include "mail/placeholders.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The contact card fields a placeholder may name, by their captions.
namespace PersonalFields {
struct Field {
    QString caption; // "Azienda", "Cognome e nome", ...
    QByteArray column; // its archive column
};
// Every field the contacts editor shows, in card order, as the contacts
// archive's definition states them.
QList<Field> all();
// The field a placeholder names (captions compared without regard to case
// and accents), or nullptr.
const Field* find(const QList<Field>& fields, const QString& name);
} // namespace PersonalFields

// The contacts archive read by e-mail address: for each address the first
// card (lowest number) holding it, among the addresses of its address field.
class ContactDirectory {
public:
    // Reads only the given columns of every card. A missing archive is an
    // empty directory; a failing one throws ESQLiteException.
    static ContactDirectory load(const QList<QByteArray>& columns);

    // The card's values in the order of the columns asked for, or nullptr.
    const QStringList* find(const QString& address) const;
    int size() const { return int(byAddress_.size()); }

    // Adds one card's values under every address of its address field,
    // unless an earlier card holds that address already.
    void add(const QString& addressField, const QStringList& values);

private:
    QHash<QString, QStringList> byAddress_;
};

// One sending's subject and body with their placeholders, and how they read
// for each recipient.
class Personalisation {
public:
    Personalisation(const QString& subject, const QString& body, QList<PersonalFields::Field> fields);
    explicit Personalisation(const QString& subject, const QString& body)
        : Personalisation(subject, body, PersonalFields::all())
    { }

    bool subjectPersonal() const { return subjectFields_; }
    bool bodyPersonal() const { return bodyFields_; }
    bool any() const { return subjectFields_ || bodyFields_; }
    // Placeholders naming no card field, as written, each once, in order.
    const QStringList& unknown() const { return unknown_; }

    // Reads the cards the recipients' values come from.
    void loadContacts() { directory_ = ContactDirectory::load(columns_); }
    void setDirectory(ContactDirectory directory) { directory_ = std::move(directory); }
    bool hasCard(const QString& address) const { return directory_.find(address) != nullptr; }

    // The texts as this recipient receives them. A value's line breaks
    // become blanks in the subject only; unknown placeholders stay as
    // written.
    QString subjectFor(const QString& address) const;
    QString bodyFor(const QString& address) const;

    // The same piece by piece, for a sending that builds the body line by
    // line: the card of an address (nullptr: none), and pieces filled from it.
    const QStringList* cardOf(const QString& address) const { return directory_.find(address); }
    QString expand(const QList<Placeholders::Piece>& pieces, const QStringList* card) const;
    const QString& body() const { return bodyText_; }

private:
    QString bodyText_;

    QList<PersonalFields::Field> fields_;
    QList<Placeholders::Piece> subject_;
    QList<Placeholders::Piece> body_;
    bool subjectFields_ = false;
    bool bodyFields_ = false;
    QStringList unknown_;
    QList<QByteArray> columns_; // the columns the placeholders use
    QHash<QString, int> columnOf_; // a placeholder's name as written -> index in columns_, -1 unknown
    ContactDirectory directory_;
};
