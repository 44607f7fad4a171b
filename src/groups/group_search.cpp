#include "groups/group_search.h"

TfrmRicercaGru* frmRicercaGru = nullptr;
TfrmAvanzateGru* frmAvanzateGru = nullptr;

const ListLineSpec& GroupSearch::listLine()
{
    static const ListLineSpec line({
        { "varGruppo", {}, 35 },
        { {}, QStringLiteral("  Tipo: "), -1 },
        { "varTipologia", {}, 25 },
        { {}, QStringLiteral("  "), -1 },
        { "varDescrizione", {}, 35 },
        { {}, QStringLiteral("  Rif. "), -1 },
        { "varPersona", {}, 25 },
        { {}, QStringLiteral("  Val. "), -1 },
        { "varValutazione", {}, 25 },
    });
    return line;
}

SearchConfig GroupSearch::config(bool advanced)
{
    SearchConfig c;
    c.kind = ArchiveKind::Groups;
    c.line = listLine();
    // The member lists make a card many times larger than its line.
    c.listColumnsOnly = true;
    if (advanced) {
        c.printRule = QString(17, QLatin1Char('-'));
        c.printTitle = QStringLiteral("Elenco gruppi destinatari");
        c.printQuestion = QStringLiteral("Si vuole stampare il presente elenco gruppi destinatari?");
        c.printQuestionIcon = true;
    } else {
        c.printRule = QString(24, QLatin1Char('-'));
        c.printTitle = QStringLiteral("Gruppi destinatari");
        c.printQuestion = QStringLiteral("Si vuole stampare il presente elenco di voci?");
    }
    return c;
}

QList<QuickSearchForm::Criterion> GroupSearch::criteria()
{
    QList<QuickSearchForm::Criterion> list;
    for (const auto& f : advancedFields())
        list << QuickSearchForm::Criterion { f.caption, f.column };
    return list;
}

QList<AdvancedSearchForm::Field> GroupSearch::advancedFields()
{
    // The same nine fields, captions and order in both searches.
    return {
        { QStringLiteral("txtGruppo"), QStringLiteral("Nome gruppo"), "varGruppo" },
        { QStringLiteral("txtTipologia"), QStringLiteral("Tipologia"), "varTipologia" },
        { QStringLiteral("txtDescrizione"), QStringLiteral("Descrizione"), "varDescrizione" },
        { QStringLiteral("txtDestinatari"), QStringLiteral("Destinatari"), "varDestinatari" },
        { QStringLiteral("txtEmail"), QStringLiteral("Indirizzi e-mail"), "varEmail" },
        { QStringLiteral("txtInteressi"), QStringLiteral("Interessi principali"), "varInteressi" },
        { QStringLiteral("txtPersona"), QStringLiteral("Persona di riferimento"), "varPersona" },
        { QStringLiteral("txtValutazione"), QStringLiteral("Valutazione"), "varValutazione" },
        { QStringLiteral("txtNote"), QStringLiteral("Note"), "varNote" },
    };
}

TfrmRicercaGru::TfrmRicercaGru(QWidget* parent)
    : QuickSearchForm(GroupSearch::config(false), GroupSearch::criteria(), parent)
{
    setObjectName(QStringLiteral("frmRicercaGru"));
}

TfrmAvanzateGru::TfrmAvanzateGru(QWidget* parent)
    : AdvancedSearchForm(GroupSearch::config(true), GroupSearch::advancedFields(),
        QStringLiteral("Ricerca gruppi destinatari in archivio"),
        { QStringLiteral("Immettere nei campi prescelti una o più parole consecutive presenti nella scheda"),
            QStringLiteral("(o nelle schede) dei gruppi da cercare e premere il pulsante Trova."),
            QStringLiteral("Lasciare in bianco gli altri campi."),
            QStringLiteral("Per ogni ricerca è possibile utilizzare uno o più campi contemporaneamente.") },
        parent)
{
    setObjectName(QStringLiteral("frmAvanzateGru"));
}
