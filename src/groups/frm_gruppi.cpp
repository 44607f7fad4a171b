#include "groups/frm_gruppi.h"

#include "archives/archive_registry.h"
#include "groups/group_lists.h"
#include "ui/desktop.h"
#include "ui/dialogs.h"
#include "ui/editor_chrome.h"
#include "ui/error_display.h"
#include "ui/form_look.h"
#include "ui/search_forms.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QToolButton>

TfrmGruppi* frmGruppi = nullptr;

namespace {

// A list memo: Enter never reaches it (the field chain takes it), and a
// pasted or dropped line break becomes the list's separator, so the list
// stays one line.
class ListMemo final : public QPlainTextEdit {
public:
    ListMemo(QWidget* parent, const char* name, QString separator)
        : QPlainTextEdit(parent)
        , separator_(std::move(separator))
    {
        setObjectName(QLatin1String(name));
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        setTabChangesFocus(true);
    }

protected:
    void insertFromMimeData(const QMimeData* source) override
    {
        if (source && source->hasText())
            insertPlainText(GroupLists::joinPastedLines(source->text(), separator_));
    }

private:
    QString separator_;
};

} // namespace

TfrmGruppi::TfrmGruppi(QWidget* parent)
    : CardEditor(Archives::get(ArchiveKind::Groups), parent)
    , contactName_(Archives::get(ArchiveKind::Contacts).columnOf(QStringLiteral("txtContatto")).name)
    , contactAddress_(Archives::get(ArchiveKind::Contacts).columnOf(QStringLiteral("txtEmail")).name)
{
    setObjectName(QStringLiteral("frmGruppi"));
    setWindowTitle(QStringLiteral(" Velmaro - Gruppi destinatari"));
    buildFields();
    finishSetup();
}

void TfrmGruppi::buildFields()
{
    QBoxLayout* body = chrome().body;
    HintBar* hints = chrome().hints;
    QWidget* host = body->parentWidget() ? body->parentWidget() : this;
    hints->clearOn(host);

    auto caption = [](const char* text, QWidget* parent) { return new QLabel(QString::fromUtf8(text), parent); };

    // Name, type and description.
    QFrame* panGruppo = EditorChrome::whitePanel(host, "panGruppo", hints);
    auto* g1 = new QGridLayout(panGruppo);
    QLineEdit* txtGruppo = EditorChrome::lineEdit(panGruppo, "txtGruppo");
    QLineEdit* txtTipologia = EditorChrome::lineEdit(panGruppo, "txtTipologia");
    QLineEdit* txtDescrizione = EditorChrome::lineEdit(panGruppo, "txtDescrizione");
    g1->addWidget(caption("Nome gruppo:", panGruppo), 0, 0);
    g1->addWidget(txtGruppo, 0, 1);
    g1->addWidget(caption("Tipologia:", panGruppo), 0, 2);
    g1->addWidget(txtTipologia, 0, 3);
    g1->addWidget(caption("Descrizione:", panGruppo), 1, 0);
    g1->addWidget(txtDescrizione, 1, 1, 1, 3);
    body->addWidget(panGruppo);

    // The members and their addresses.
    QFrame* panDestinatari = EditorChrome::whitePanel(host, "panDestinatari", hints);
    auto* g2 = new QGridLayout(panDestinatari);
    auto* txtDestinatari = new ListMemo(panDestinatari, "txtDestinatari", GroupLists::kNameSeparator);
    auto* txtEmail = new ListMemo(panDestinatari, "txtEmail", GroupLists::kAddressSeparator);
    QToolButton* imgImporta = EditorChrome::imageButton(panDestinatari, "imgImporta", "rubrica", "Rubrica");
    QToolButton* imgEmail = EditorChrome::imageButton(panDestinatari, "imgEmail", "email", "@");
    hints->add(imgImporta, QStringLiteral(" Importa dati dalla rubrica dei contatti."));
    hints->add(imgEmail, QStringLiteral(" Invia un messaggio e-mail agli indirizzi indicati."));
    g2->addWidget(caption("Destinatari:", panDestinatari), 0, 0, 1, 2);
    g2->addWidget(txtDestinatari, 1, 0);
    g2->addWidget(imgImporta, 1, 1, Qt::AlignTop);
    g2->addWidget(caption("Indirizzi e-mail (separati da virgola):", panDestinatari), 2, 0, 1, 2);
    g2->addWidget(txtEmail, 3, 0);
    g2->addWidget(imgEmail, 3, 1, Qt::AlignTop);
    body->addWidget(panDestinatari, 1);

    // Interests, contact person, rating, notes.
    QFrame* panNote = EditorChrome::whitePanel(host, "panNote", hints);
    auto* g3 = new QGridLayout(panNote);
    QLineEdit* txtInteressi = EditorChrome::lineEdit(panNote, "txtInteressi");
    QLineEdit* txtPersona = EditorChrome::lineEdit(panNote, "txtPersona");
    QLineEdit* txtValutazione = EditorChrome::lineEdit(panNote, "txtValutazione");
    QLineEdit* txtNote = EditorChrome::lineEdit(panNote, "txtNote");
    g3->addWidget(caption("Interessi principali:", panNote), 0, 0);
    g3->addWidget(txtInteressi, 0, 1, 1, 3);
    g3->addWidget(caption("Persona di riferimento:", panNote), 1, 0);
    g3->addWidget(txtPersona, 1, 1);
    g3->addWidget(caption("Valutazione:", panNote), 1, 2);
    g3->addWidget(txtValutazione, 1, 3);
    g3->addWidget(caption("Note:", panNote), 2, 0);
    g3->addWidget(txtNote, 2, 1, 1, 3);
    body->addWidget(panNote);

    // This archive's spreadsheet button has no hint of its own: over it the
    // bar is empty, as over the background.
    hints->add(field(QStringLiteral("cmdExcel")), QString());

    FormLook::onRelease(imgEmail, [this] { imgEmailMouseUp(); });
    FormLook::onRelease(imgImporta, [this] { imgImportaMouseUp(); });

    // Enter moves on everywhere, the two list memos included: no line break
    // can be typed into a list.
    const QList<QWidget*> chain = { txtGruppo, txtTipologia, txtDescrizione, txtDestinatari, txtEmail,
        txtInteressi, txtPersona, txtValutazione, txtNote };
    FormLook::setUpFieldChain({ chain, {}, {}, txtGruppo });
}

void TfrmGruppi::appendMember(const QString& name, const QString& address)
{
    setFieldText(QStringLiteral("txtDestinatari"),
        PickerText::appended(fieldText(QStringLiteral("txtDestinatari")), name.trimmed(), GroupLists::kNameSeparator));
    setFieldText(QStringLiteral("txtEmail"),
        PickerText::appended(fieldText(QStringLiteral("txtEmail")), address.trimmed(), GroupLists::kAddressSeparator));
}

void TfrmGruppi::imgImportaMouseUp()
{
    ErrorDisplay::guard([this] {
        SearchFormBase::openAs(contactPicker_, QStringLiteral("gruppi"), [this](const TSQLiteTable& row) {
            appendMember(PickerText::column(row, contactName_), PickerText::column(row, contactAddress_));
        });
    });
}

void TfrmGruppi::imgEmailMouseUp()
{
    const QString list = fieldText(QStringLiteral("txtEmail")).trimmed();
    // Past this length no program can be started with the list: say so rather
    // than let the mail program silently not appear.
    if (!GroupLists::mailtoFits(list)) {
        Dialogs::message(QStringLiteral(
            "L'elenco degli indirizzi del gruppo è troppo lungo per essere passato al programma di posta "
            "elettronica. Per scrivere a questo gruppo utilizzare l'archivio dei messaggi."));
        return;
    }
    bool opened = false;
    {
        BusyCursor busy;
        opened = Desktop::open(QStringLiteral("mailto:") + list);
    }
    if (!opened)
        Dialogs::message(QStringLiteral(
            "Non è stato possibile aprire il programma di posta elettronica con gli indirizzi del gruppo. Per "
            "scrivere a questo gruppo utilizzare l'archivio dei messaggi."));
}
