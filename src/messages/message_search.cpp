#include "messages/message_search.h"

TfrmRicercaMes* frmRicercaMes = nullptr;
TfrmAvanzateMes* frmAvanzateMes = nullptr;

const ListLineSpec& MessageSearch::listLine()
{
    // Subject first, so the sorted list is ordered by subject; the note is
    // shown whole.
    static const ListLineSpec line({
        { "varOggetto", {}, 45 },
        { {}, QStringLiteral("  Tipo: "), 8 },
        { "varTipologia", {}, 20 },
        { {}, QStringLiteral("  Mitt. "), 8 },
        { "varMittente", {}, 25 },
        { {}, QStringLiteral("  Data: "), 8 },
        { "varCreazione", {}, 20 },
        { {}, QStringLiteral("  Note: "), 8 },
        { "varNote", {}, -1 },
    });
    return line;
}

SearchConfig MessageSearch::config(bool advanced)
{
    SearchConfig c;
    c.kind = ArchiveKind::Messages;
    c.line = listLine();
    // Bodies can be large: the list reads only what it shows, and a chosen
    // card is read again by its number.
    c.listColumnsOnly = true;
    c.printTitle = QStringLiteral("Archivio messaggi");
    c.printQuestion = QStringLiteral("Si vuole stampare il presente elenco di voci?");
    c.printRule = QString(advanced ? 17 : 24, QLatin1Char('-'));
    c.printQuestionIcon = advanced;
    return c;
}

QList<QuickSearchForm::Criterion> MessageSearch::criteria()
{
    return {
        { QStringLiteral("Nome mittente"), "varMittente" },
        { QStringLiteral("E-mail mittente"), "varEmailMitt" },
        { QStringLiteral("Tipologia messaggio"), "varTipologia" },
        { QStringLiteral("Data creazione"), "varCreazione" },
        { QStringLiteral("Note"), "varNote" },
        { QStringLiteral("Indirizzi e-mail destinatari"), "varEmail" },
        { QStringLiteral("Oggetto"), "varOggetto" },
        { QStringLiteral("Testo"), "varTesto" },
        { QStringLiteral("File allegato"), "varAllegato" },
    };
}

QList<AdvancedSearchForm::Field> MessageSearch::advancedFields()
{
    return {
        { QStringLiteral("txtMittente"), QStringLiteral("Nome mittente"), "varMittente" },
        { QStringLiteral("txtEmailMitt"), QStringLiteral("E-mail mittente"), "varEmailMitt" },
        { QStringLiteral("txtTipologia"), QStringLiteral("Tipologia messaggio"), "varTipologia" },
        { QStringLiteral("txtCreazione"), QStringLiteral("Data creazione"), "varCreazione" },
        { QStringLiteral("txtNote"), QStringLiteral("Note"), "varNote" },
        { QStringLiteral("txtEmail"), QStringLiteral("Indirizzi e-mail destinatari"), "varEmail" },
        { QStringLiteral("txtOggetto"), QStringLiteral("Oggetto"), "varOggetto" },
        { QStringLiteral("txtTesto"), QStringLiteral("Testo"), "varTesto" },
        { QStringLiteral("txtAllegato"), QStringLiteral("File allegato"), "varAllegato" },
    };
}

TfrmRicercaMes::TfrmRicercaMes(QWidget* parent)
    : QuickSearchForm(MessageSearch::config(false), MessageSearch::criteria(), parent)
{
    setObjectName(QStringLiteral("frmRicercaMes"));
}

TfrmAvanzateMes::TfrmAvanzateMes(QWidget* parent)
    : AdvancedSearchForm(MessageSearch::config(true), MessageSearch::advancedFields(),
        QStringLiteral("Ricerca messaggi in archivio"),
        { QStringLiteral("Immettere nei campi prescelti una o più parole consecutive presenti nella "
                         "scheda"),
            QStringLiteral("(o nelle schede) dei messaggi da cercare e premere il pulsante Trova."),
            QStringLiteral("Lasciare in bianco gli altri campi."),
            QStringLiteral("Per ogni ricerca è possibile utilizzare uno o più campi "
                           "contemporaneamente.") },
        parent)
{
    setObjectName(QStringLiteral("frmAvanzateMes"));
}
