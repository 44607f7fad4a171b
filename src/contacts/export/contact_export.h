#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

class TSQLiteDatabase;

// Contacts of the archive written to a file another address book or a phone
// reads: all of them, or those a search found.
namespace ContactExport {

enum class Format { VCard4, VCard3, CsvSemicolon, CsvComma };
QString suffix(Format format);

// How many cards the conditions (likeCondition texts joined by AND; none:
// every card) select.
int count(TSQLiteDatabase& db, const QList<QByteArray>& conditions);

// Writes the selected cards, by card number, to the file at path (which
// exists). Cards are read a thousand at a time, so memory does not grow
// with the archive. Returns an empty text, or why the file could not be
// written; *written counts the cards.
QString write(TSQLiteDatabase& db, const QList<QByteArray>& conditions, Format format, const QString& path,
    int* written = nullptr, const std::function<void(int done, int total)>& progress = {});
} // namespace ContactExport
