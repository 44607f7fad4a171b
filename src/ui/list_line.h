#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class TSQLiteTable;

// The fixed-width one-line summary of a card in a result list: columns
// trimmed, padded with blanks and cut to their widths, between fixed texts.
class ListLineSpec {
public:
    struct Piece {
        QByteArray column; // empty for a fixed text
        QString text; // the fixed text
        int width = -1; // -1: the whole value, not cut
    };
    explicit ListLineSpec(QList<Piece> pieces);

    // The line of the table's current row.
    QString build(const TSQLiteTable& row) const;
    // The same from already decoded column values, in piece order.
    QString build(const QList<QString>& values) const;
    const QList<Piece>& pieces() const { return pieces_; }
    // The columns the line shows, each once, in piece order.
    QList<QByteArray> columns() const;

    // s followed by width blanks, cut to width characters.
    static QString fit(const QString& s, int width);

private:
    QList<Piece> pieces_;
};
