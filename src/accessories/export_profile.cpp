#include "accessories/export_profile.h"

#include "storage/card_text.h"

namespace {

// The four paragraphs are the same for the three archives; only the title
// and the name of the archive differ.
QString helpText(const QString& archive, const QString& cards)
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

ExportProfile contacts()
{
    ExportProfile p;
    p.kind = ArchiveKind::Contacts;
    p.objectName = QStringLiteral("frmExpRubrica");
    p.caption = QStringLiteral(" Esportazione rubrica contatti");
    p.sheetName = QStringLiteral("Rubrica contatti");
    p.numberHeading = QStringLiteral(" N.");
    p.columns = {
        { QStringLiteral(" Cognome e nome contatto"), "varContatto", 250 },
        { QStringLiteral(" Codice ID"), "varCodice", 200 },
        { QStringLiteral(" Azienda"), "varAzienda", 250 },
        { QStringLiteral(" Qualifica"), "varQualifica", 250 },
        { QStringLiteral(" E-mail"), "varEmail", 300 },
        { QStringLiteral(" Gruppo"), "varGruppo", 250 },
        { QStringLiteral(" Indirizzo"), "varIndirizzo", 400 },
        { QStringLiteral(" Città"), "varCitta", 250 },
        { QStringLiteral(" CAP"), "varCap", 150 },
        { QStringLiteral(" Prov."), "varProv", 150 },
        { QStringLiteral(" Cellulare"), "varCel", 200 },
        { QStringLiteral(" Tel. casa"), "varCasa", 200 },
        { QStringLiteral(" Tel. ufficio"), "varUff", 200 },
        { QStringLiteral(" Fax"), "varFax", 200 },
        { QStringLiteral(" Codice fiscale"), "varCodFisc", 200 },
        { QStringLiteral(" Partita Iva"), "varIva", 200 },
        { QStringLiteral(" Codice IBAN"), "varIban", 200 },
        { QStringLiteral(" Pagamenti"), "varPagamenti", 400 },
    };
    p.lastBoldColumn = 18; // S1
    p.helpTitle = QStringLiteral("Esportazione rubrica contatti");
    p.helpText = helpText(QStringLiteral("della rubrica"), QStringLiteral("schede dei contatti"));
    p.documentTitle = QStringLiteral("SCHEDA CONTATTO");
    p.documentFileTitle = QStringLiteral("Scheda contatto");
    p.rows = {
        { QStringLiteral("Cognome e nome contatto:"), QStringLiteral("txtContatto") },
        { QStringLiteral("Codice ID:"), QStringLiteral("txtCodice") },
        { QStringLiteral("Azienda:"), QStringLiteral("txtAzienda") },
        { QStringLiteral("Qualifica:"), QStringLiteral("txtQualifica") },
        { QStringLiteral("E-mail:"), QStringLiteral("txtEmail") },
        { QStringLiteral("Gruppo:"), QStringLiteral("txtGruppo") },
        { QStringLiteral("Indirizzo:"), QStringLiteral("txtIndirizzo") },
        { QStringLiteral("Città:"), QStringLiteral("txtCitta") },
        { QStringLiteral("CAP:"), QStringLiteral("txtCap") },
        { QStringLiteral("Provincia:"), QStringLiteral("txtProv") },
        { QStringLiteral("Cellulare:"), QStringLiteral("txtCel") },
        { QStringLiteral("Tel. casa:"), QStringLiteral("txtCasa") },
        { QStringLiteral("Tel. ufficio:"), QStringLiteral("txtUff") },
        { QStringLiteral("Fax:"), QStringLiteral("txtFax") },
        { QStringLiteral("Codice fiscale:"), QStringLiteral("txtCodFisc") },
        { QStringLiteral("Partita Iva:"), QStringLiteral("txtIva") },
        { QStringLiteral("Codice IBAN:"), QStringLiteral("txtIban") },
        { QStringLiteral("Pagamenti:"), QStringLiteral("txtPagamenti") },
        { QStringLiteral("Note:"), QStringLiteral("txtNote") },
    };
    p.requiredControl = QStringLiteral("txtContatto");
    p.requiredText = QStringLiteral("Attenzione: per poter esportare la scheda corrente in Microsoft Word è necessario "
                                    "indicare il nome del contatto.");
    return p;
}

ExportProfile groups()
{
    ExportProfile p;
    p.kind = ArchiveKind::Groups;
    p.objectName = QStringLiteral("frmExpGruppi");
    p.caption = QStringLiteral(" Esportazione archivio gruppi destinatari");
    p.sheetName = QStringLiteral("Gruppi destinatari");
    p.numberHeading = QStringLiteral(" N.");
    p.columns = {
        { QStringLiteral(" Nome gruppo"), "varGruppo", 250 },
        { QStringLiteral(" Tipologia"), "varTipologia", 250 },
        { QStringLiteral(" Descrizione"), "varDescrizione", 300 },
        { QStringLiteral(" Interessi principali"), "varInteressi", 300 },
        { QStringLiteral(" Persona di riferimento"), "varPersona", 250 },
        { QStringLiteral(" Valutazione"), "varValutazione", 250 },
        { QStringLiteral(" Note"), "varNote", 400 },
    };
    p.lastBoldColumn = 10; // K1, past the last filled column
    p.helpTitle = QStringLiteral("Esportazione archivio gruppi destinatari");
    p.helpText = helpText(QStringLiteral("dell'archivio"), QStringLiteral("schede dei gruppi di destinatari"));
    p.documentTitle = QStringLiteral("SCHEDA GRUPPO DESTINATARI");
    p.documentFileTitle = QStringLiteral("Scheda gruppo destinatari");
    p.rows = {
        { QStringLiteral("Nome gruppo:"), QStringLiteral("txtGruppo") },
        { QStringLiteral("Tipologia:"), QStringLiteral("txtTipologia") },
        { QStringLiteral("Descrizione:"), QStringLiteral("txtDescrizione") },
        { QStringLiteral("Destinatari:"), QStringLiteral("txtDestinatari") },
        { QStringLiteral("Indirizzi e-mail:"), QStringLiteral("txtEmail") },
        { QStringLiteral("Interessi principali:"), QStringLiteral("txtInteressi") },
        { QStringLiteral("Persona di riferimento:"), QStringLiteral("txtPersona") },
        { QStringLiteral("Valutazione:"), QStringLiteral("txtValutazione") },
        { QStringLiteral("Note:"), QStringLiteral("txtNote") },
    };
    p.requiredControl = QStringLiteral("txtGruppo");
    p.requiredText = QStringLiteral("Attenzione: per poter esportare la scheda corrente in Microsoft Word è necessario "
                                    "indicare il nome del gruppo.");
    return p;
}

ExportProfile messages()
{
    ExportProfile p;
    p.kind = ArchiveKind::Messages;
    p.objectName = QStringLiteral("frmExpMessaggi");
    p.caption = QStringLiteral(" Esportazione archivio messaggi");
    p.sheetName = QStringLiteral("Archivio messaggi");
    p.numberHeading = QStringLiteral(" N.");
    p.columns = {
        { QStringLiteral(" Nome mittente"), "varMittente", 250 },
        { QStringLiteral(" E-mail mittente"), "varEmailMitt", 300 },
        { QStringLiteral(" Tipologia messaggio"), "varTipologia", 250 },
        { QStringLiteral(" Data creazione"), "varCreazione", 200 },
        { QStringLiteral(" Note"), "varNote", 400 },
        { QStringLiteral(" Oggetto"), "varOggetto", 400 },
        { QStringLiteral(" File allegato"), "varAllegato", 400 },
    };
    p.lastBoldColumn = 10; // K1, past the last filled column
    p.helpTitle = QStringLiteral("Esportazione archivio messaggi");
    p.helpText = helpText(QStringLiteral("dell'archivio"), QStringLiteral("schede dei messaggi"));
    p.documentTitle = QStringLiteral("SCHEDA MESSAGGIO");
    p.documentFileTitle = QStringLiteral("Scheda messaggio");
    p.rows = {
        { QStringLiteral("Nome mittente:"), QStringLiteral("txtMittente") },
        { QStringLiteral("E-mail mittente:"), QStringLiteral("txtEmailMitt") },
        { QStringLiteral("Tipologia messaggio:"), QStringLiteral("txtTipologia") },
        { QStringLiteral("Data creazione:"), QStringLiteral("txtCreazione") },
        { QStringLiteral("Note:"), QStringLiteral("txtNote") },
        { QStringLiteral("Indirizzi e-mail destinatari:"), QStringLiteral("txtEmail") },
        { QStringLiteral("Oggetto:"), QStringLiteral("txtOggetto") },
        { QStringLiteral("Testo:"), QStringLiteral("txtTesto") },
        { QStringLiteral("File allegato:"), QStringLiteral("txtAllegato") },
    };
    return p;
}

} // namespace

const ExportProfile& ExportProfile::of(ArchiveKind kind)
{
    static const ExportProfile c = contacts();
    static const ExportProfile g = groups();
    static const ExportProfile m = messages();
    switch (kind) {
    case ArchiveKind::Contacts:
        return c;
    case ArchiveKind::Groups:
        return g;
    case ArchiveKind::Messages:
        break;
    }
    return m;
}

QByteArray ExportProfile::gridQuery() const
{
    QByteArray sql = "SELECT ";
    for (int i = 0; i < columns.size(); ++i) {
        if (i > 0)
            sql += ',';
        sql += columns[i].column;
    }
    return sql + " FROM " + CardArchive::of(kind).table();
}

QByteArray ExportText::cellText(const QByteArray& field)
{
    // Windows-1252 has one byte per character, so the cut counts characters.
    if (field.size() <= kCellLimit)
        return CardText::trimmed(field);
    return field.left(kCellLimit) + "...";
}
