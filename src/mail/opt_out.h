#pragma once

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// The addresses that asked not to receive the office's mailings. They live in
// a file of their own beside the archives (UTF-8 text), never in the
// archives, whose layout other installations rely on. Addresses are kept in
// their compare form (trimmed, lower case).
class OptOutList {
public:
    struct Entry {
        QString address;
        QDateTime added; // local time, to the second
        QString note; // how the request came
    };

    static QString fileName();
    // The list beside the archives.
    OptOutList();
    explicit OptOutList(QString path);
    const QString& path() const { return path_; }

    // Every entry whose address or note holds filter (without regard to
    // case), by address. Reading creates nothing. Throws ESQLiteException.
    QList<Entry> entries(const QString& filter = QString()) const;
    int count() const;
    // Adds the addresses not listed yet, all with the same note and time;
    // those listed keep their date and note. The number added.
    int add(const QStringList& addresses, const QString& note, const QDateTime& when = QDateTime::currentDateTime());
    // The number removed.
    int remove(const QStringList& addresses);
    // Which of the addresses are listed, as given.
    QStringList listed(const QStringList& addresses) const;
    // Which of these compare forms are listed. Looked up one by one, so the
    // cost follows the sending, not the length of the list; empty, without
    // creating anything, when the file does not exist.
    QSet<QString> listedKeys(const QSet<QString>& keys) const;

    // The compare form of every listed address; empty, without creating
    // anything, when the file does not exist.
    QSet<QString> keys() const;

private:
    QString path_;
};

namespace OptOut {

// What a user typed or pasted into the list: addresses separated by commas,
// semicolons, line breaks, tabs or blanks ("Name <a@b.it>" entries too).
struct Parsed {
    QStringList addresses; // compare form, each once, in order
    QStringList rejected; // entries that are no address, as written
};
Parsed parse(const QString& text);

// A recipient list without its listed addresses; the back end's own address
// splitting decides what an entry is.
struct Filtered {
    QString list; // the remaining entries, comma-separated
    QStringList excluded; // the entries taken out, as written
    int kept = 0;
};
Filtered filter(const QString& list, const QSet<QString>& keys);
// The compare forms of a recipient list's entries.
QSet<QString> keysOf(const QString& list);

} // namespace OptOut
