#include "accessories/export_profile.h"

#include "storage/card_text.h"
#include "storage/wiring_error.h"

namespace {

// The four paragraphs are the same for the three archives; only the title
// and the name of the archive differ.
QString exportHelp(const QString& archive, const QString& cards)
{
    return QStringLiteral(
               "La finestra di esportazione elenca in una griglia tutte le %2 %1, una per riga, "
               "nell'ordine in cui sono state inserite in archivio. La prima colonna riporta il numero "
               "progressivo della riga, non il numero della scheda.")
               .arg(archive, cards)
        + QStringLiteral("\r\n\r\n")
        + QStringLiteral(
            "Vengono esportati soltanto i campi di una sola riga: le note su più righe, gli elenchi di "
            "destinatari e i testi dei messaggi restano nella scheda. Per portare in un documento una scheda "
            "completa usare il pulsante Word della scheda stessa.")
        + QStringLiteral("\r\n\r\n")
        + QStringLiteral(
            "Un valore più lungo di 250 caratteri viene troncato: la griglia ne mostra i primi 250 caratteri "
            "seguiti da tre puntini. Spostando il mouse sulla griglia, la barra informativa in basso riporta il "
            "testo della cella selezionata.")
        + QStringLiteral("\r\n\r\n")
        + QStringLiteral(
            "L'icona \"Esporta in Excel\" salva ciò che la griglia mostra in una nuova cartella di lavoro "
            "(file .xlsx) nella cartella Documenti e la apre con il foglio di calcolo del computer. Ogni "
            "valore è scritto come testo, quindi codici postali e numeri di telefono conservano gli zeri "
            "iniziali. Il file non sostituisce mai un file esistente: ogni esportazione ne crea uno nuovo con "
            "la data e l'ora nel nome.");
}

} // namespace

ExportProfile ExportProfile::of(const ArchiveDefinition& d)
{
    d.check();
    ExportProfile p;
    p.archive = d.card;
    p.objectName = d.exports.objectName;
    p.caption = d.exports.caption;
    p.sheetName = d.exports.sheetName;
    p.lastBoldColumn = d.exports.lastBoldColumn;
    p.helpTitle = d.exports.helpTitle;
    p.helpText = exportHelp(d.exports.helpArchive, d.exports.helpCards);
    p.documentTitle = d.exports.documentTitle;
    p.documentFileTitle = d.exports.documentFileTitle;
    p.requiredControl = d.exports.requiredControl;
    p.requiredText = d.exports.requiredText;
    for (const auto& c : d.columns) {
        if (!c.exportHeading.isEmpty()) {
            // A column the archive lacks would export an empty grid column.
            if (!d.card.hasColumn(c.name))
                throw WiringError(p.objectName + QStringLiteral(": table %1 has no column %2")
                                      .arg(QString::fromLatin1(d.card.table()), QString::fromLatin1(c.name)));
            p.columns.append({ c.exportHeading, c.name, c.exportWidth });
        }
        if (!c.document.isEmpty())
            p.rows.append({ c.document, c.control });
    }
    return p;
}

QByteArray ExportProfile::gridQuery() const
{
    QByteArray sql = "SELECT ";
    for (int i = 0; i < columns.size(); ++i) {
        if (i > 0)
            sql += ',';
        sql += columns[i].column;
    }
    return sql + " FROM " + archive.table();
}

QByteArray ExportText::cellText(const QByteArray& field)
{
    // Windows-1252 has one byte per character, so the cut counts characters.
    if (field.size() <= kCellLimit)
        return CardText::trimmed(field);
    return field.left(kCellLimit) + "...";
}
