#pragma once

#include "storage/card_archive.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Everything the program knows of one archive, stated once: its file and
// table, its columns with what each editor, search, export and document does
// with them, and the names and texts of its forms. The card archive, the
// editor's profile, the searches' configurations and the export profile are
// all computed from it. Each archive folder states its own; the registry
// (archives/archive_registry.h) completes it with the attachment and folder
// columns every archive has.
struct ArchiveDefinition {
    // Where a column sits in the one-line summary of a search result list.
    struct ListPart {
        int at = -1; // place among the listed columns, from 0; -1: not listed
        QString lead {}; // fixed text before the value
        int leadWidth = -1; // -1: the whole text
        int width = -1; // -1: the whole value, not cut
    };
    struct Column {
        QByteArray name {}; // archive column
        QString control {}; // the editor's control holding the value
        QString label {}; // how a message names the field
        QString search {}; // caption as a search criterion; empty: not searched
        bool advanced = false; // also a field of the advanced search
        ListPart line {};
        QString exportHeading {}; // spreadsheet grid heading; empty: not exported
        int exportWidth = 0; // grid column width in pixels
        QString document {}; // label of its row in the document; empty: no row
    };
    struct Required {
        QString control {};
        QString insertText {}; // refusal when saving a new card
        QString updateText {}; // refusal when saving a stored card
        QString missing {}; // the short reason an import gives; empty: no import
    };
    struct SearchForm {
        QString objectName {};
        int printRule = 0; // dashes under the printed title
        QString printTitle {};
        QString printQuestion {};
        bool printQuestionIcon = false;
    };

    ArchiveKind kind = ArchiveKind::Contacts;
    QString fileName {};
    QByteArray table {};
    // In field order; completed, it ends with the attachment and folder
    // columns.
    QList<Column> columns {};
    QList<Required> required {}; // checked in this order
    QStringList keptOnClear {}; // controls that a cleared card keeps
    QString firstField {}; // focus after clearing
    QString helpTitle {};
    QStringList helpParagraphs {};

    // The searches. mode is the word the editor opens its own with ("rubrica").
    QString searchMode {};
    SearchForm quick {};
    SearchForm advanced {};
    QString advancedTitle {}; // the band over the criteria
    QString advancedCards {}; // "dei contatti": whose cards the instructions speak of

    // The spreadsheet export window and the document export.
    struct Export {
        QString objectName {};
        QString caption {};
        QString sheetName {};
        int lastBoldColumn = 0; // header cells B1 up to this column (0-based) are bold
        QString helpTitle {};
        QString helpArchive {}; // "della rubrica"
        QString helpCards {}; // "schede dei contatti"
        QString documentTitle {};
        QString documentFileTitle {}; // file names: this text and a timestamp
        QString requiredControl {}; // empty: no field is required
        QString requiredText {};
    } exports {};

    // The attached files and associated folder forms.
    QString filesForm {};
    QString folderForm {};

    // Set when the registry completes the definition.
    CardArchive card {};

    // The hidden labels every editor keeps the attached files and the folder
    // in, with their columns: three files, three descriptions, then the
    // folder and its description.
    static const QList<Column>& accessoryColumns();
    static QList<Column> attachedFileColumns(); // the first six
    static QList<Column> folderColumns(); // the last two

    QList<QByteArray> columnNames() const;
    // The column of an editor control; throws WiringError when there is none.
    const Column& columnOf(const QString& control) const;
    // Its place in columns, with the same check.
    int indexOf(const QString& control) const;
    // The listed columns in list order.
    QList<Column> listed() const;

    // Throws WiringError when a table names a control no column has, a
    // column or control comes twice or the list places are not 0, 1, 2 ...
    void check() const;
};
