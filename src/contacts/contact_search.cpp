#include "contacts/contact_search.h"

#include "contacts/frm_rubrica.h"
#include "mail/frm_invia_email.h"
#include "messages/frm_newsletter.h"
#include "storage/card_text.h"
#include "storage/win1252.h"

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
        // The advanced search loads cards into the editor only.
        c.apply = [](const QString& mode, const TSQLiteTable& row) {
            if (mode == QLatin1String("rubrica"))
                applyPick(mode, row);
        };
    } else {
        c.printRule = QString(24, QLatin1Char('-'));
        c.printTitle = QStringLiteral("Rubrica contatti");
        c.printQuestion = QStringLiteral("Si vuole stampare il presente elenco di voci?");
        c.apply = &applyPick;
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

void ContactSearch::applyPick(const QString& mode, const TSQLiteTable& row)
{
    const auto text = [&row](const char* column) {
        return CardText::trimmed(Cp1252::decode(row.BlobTextAt(row.ColumnIndex(QLatin1String(column)))));
    };
    const QString name = text("varContatto");
    const QString address = text("varEmail");
    if (mode == QLatin1String("rubrica")) {
        if (frmRubrica)
            frmRubrica->showStoredCard(row);
    } else if (mode == QLatin1String("newsletter")) {
        if (frmNewsletter)
            frmNewsletter->appendRecipient(address);
    } else if (mode == QLatin1String("mitt_newsletter")) {
        if (frmNewsletter)
            frmNewsletter->setSender(name, address);
    } else if (mode == QLatin1String("invia")) {
        if (frmInviaEmail)
            frmInviaEmail->appendRecipient(name, address);
    } else if (mode == QLatin1String("mitt_invia")) {
        if (frmInviaEmail)
            frmInviaEmail->setSender(name, address);
    }
    // "gruppi" reaches the groups editor once it is part of the program.
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
