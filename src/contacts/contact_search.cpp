#include "contacts/contact_search.h"


TfrmRicercaRub* frmRicercaRub = nullptr;
TfrmAvanzateRub* frmAvanzateRub = nullptr;

const ListLineSpec& ContactSearch::listLine()
{
    static const ListLineSpec line({
        { "varContatto", {}, 35 },
        { {}, QStringLiteral("  Cod. ID: "), 11 },
        { "varCodice", {}, 20 },
        { {}, QStringLiteral("  "), 2 },
        { "varAzienda", {}, 35 },
        { {}, QStringLiteral("  E-mail: "), 10 },
        { "varEmail", {}, 30 },
        { {}, QStringLiteral("  Gruppo: "), 10 },
        { "varGruppo", {}, 25 },
    });
    return line;
}

SearchConfig ContactSearch::config(bool advanced)
{
    SearchConfig c;
    c.kind = ArchiveKind::Contacts;
    c.line = listLine();
    if (advanced) {
        c.printRule = QString(17, QLatin1Char('-'));
        c.printTitle = QStringLiteral("Elenco contatti");
        c.printQuestion = QStringLiteral("Si vuole stampare il presente elenco contatti?");
        c.printQuestionIcon = true;
    } else {
        c.printRule = QString(24, QLatin1Char('-'));
        c.printTitle = QStringLiteral("Rubrica contatti");
        c.printQuestion = QStringLiteral("Si vuole stampare il presente elenco di voci?");
        // Name and address, all a pick needs, are on the list; a card chosen
        // for the editor is loaded by its number.
        c.listColumnsOnly = true;
    }
    return c;
}

QList<QuickSearchForm::Criterion> ContactSearch::criteria()
{
    return {
        { QStringLiteral("Cognome e nome contatto"), "varContatto" },
        { QStringLiteral("Codice ID"), "varCodice" },
        { QStringLiteral("Azienda"), "varAzienda" },
        { QStringLiteral("Qualifica"), "varQualifica" },
        { QStringLiteral("E-mail"), "varEmail" },
        { QStringLiteral("Gruppo"), "varGruppo" },
        { QStringLiteral("Indirizzo"), "varIndirizzo" },
        { QStringLiteral("Città"), "varCitta" },
        { QStringLiteral("CAP"), "varCap" },
        { QStringLiteral("Sigla provincia"), "varProv" },
        { QStringLiteral("Cellulare"), "varCel" },
        { QStringLiteral("Tel. casa"), "varCasa" },
        { QStringLiteral("Tel. ufficio"), "varUff" },
        { QStringLiteral("Fax"), "varFax" },
        { QStringLiteral("Codice fiscale"), "varCodFisc" },
        { QStringLiteral("Partita Iva"), "varIva" },
        { QStringLiteral("Codice IBAN"), "varIban" },
        { QStringLiteral("Pagamenti"), "varPagamenti" },
        { QStringLiteral("Note"), "varNote" },
    };
}

QList<AdvancedSearchForm::Field> ContactSearch::advancedFields()
{
    return {
        { QStringLiteral("txtContatto"), QStringLiteral("Cognome e nome contatto"), "varContatto" },
        { QStringLiteral("txtCodice"), QStringLiteral("Codice ID"), "varCodice" },
        { QStringLiteral("txtAzienda"), QStringLiteral("Azienda"), "varAzienda" },
        { QStringLiteral("txtQualifica"), QStringLiteral("Qualifica"), "varQualifica" },
        { QStringLiteral("txtGruppo"), QStringLiteral("Gruppo"), "varGruppo" },
        { QStringLiteral("txtCitta"), QStringLiteral("Città"), "varCitta" },
        { QStringLiteral("txtCodFisc"), QStringLiteral("Codice fiscale"), "varCodFisc" },
        { QStringLiteral("txtPagamenti"), QStringLiteral("Pagamenti"), "varPagamenti" },
        { QStringLiteral("txtNote"), QStringLiteral("Note"), "varNote" },
    };
}

TfrmRicercaRub::TfrmRicercaRub(QWidget* parent)
    : QuickSearchForm(ContactSearch::config(false), ContactSearch::criteria(), parent)
{
    setObjectName(QStringLiteral("frmRicercaRub"));
}

TfrmAvanzateRub::TfrmAvanzateRub(QWidget* parent)
    : AdvancedSearchForm(ContactSearch::config(true), ContactSearch::advancedFields(),
        QStringLiteral("Ricerca contatti in archivio"),
        { QStringLiteral("Immettere nei campi prescelti una o più parole consecutive presenti nella "
                         "scheda"),
            QStringLiteral("(o nelle schede) dei contatti da cercare e premere il pulsante Trova."),
            QStringLiteral("Lasciare in bianco gli altri campi."),
            QStringLiteral("Per ogni ricerca è possibile utilizzare uno o più campi "
                           "contemporaneamente.") },
        parent)
{
    setObjectName(QStringLiteral("frmAvanzateRub"));
}
