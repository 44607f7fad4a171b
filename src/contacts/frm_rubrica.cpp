#include "contacts/frm_rubrica.h"

#include "archives/archive_registry.h"
#include "contacts/card_opt_out.h"
#include "contacts/frm_esporta_contatti.h"
#include "contacts/frm_importa_contatti.h"
#include "contacts/province_codes.h"
#include "storage/ascii.h"
#include "storage/card_text.h"
#include "ui/desktop.h"
#include "ui/dialogs.h"
#include "ui/editor_chrome.h"
#include "ui/error_display.h"
#include "ui/form_look.h"
#include "ui/modal.h"
#include "ui/wiring.h"
#include "validators/check_launch.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

#include <algorithm>

TfrmRubrica* frmRubrica = nullptr;

TfrmRubrica::TfrmRubrica(QWidget* parent)
    : CardEditor(Archives::get(ArchiveKind::Contacts), parent)
{
    setObjectName(QStringLiteral("frmRubrica"));
    setWindowTitle(QStringLiteral(" Velmaro - Rubrica contatti"));
    buildFields(chrome().body, chrome().hints);
    addImportButton();
    addExportButton();
    finishSetup();
    optOut_ = new CardOptOut(this, Wiring::child<QGroupBox>(chrome().container, QStringLiteral("grpControlli")),
        chrome().info, chrome().hints);
}

void TfrmRubrica::setOptOutWindow(std::function<void(QWidget*)> open) { optOut_->setListWindow(std::move(open)); }

void TfrmRubrica::addImportButton()
{
    // The contacts editor's own tool, beside the shared ones.
    auto* box = Wiring::child<QGroupBox>(chrome().container, QStringLiteral("grpControlli"));
    auto* button = new QToolButton(box);
    button->setObjectName(QStringLiteral("cmdImportaContatti"));
    button->setAutoRaise(true);
    EditorChrome::dress(button, QStringLiteral("rubrica"), QStringLiteral("Importa"));
    chrome().hints->add(button, QStringLiteral(" Importa contatti da un file vCard o CSV."));
    box->layout()->addWidget(button);
    FormLook::onRelease(button, [this] { cmdImportaContattiMouseUp(); });
}

void TfrmRubrica::addExportButton()
{
    auto* box = Wiring::child<QGroupBox>(chrome().container, QStringLiteral("grpControlli"));
    auto* button = new QToolButton(box);
    button->setObjectName(QStringLiteral("cmdEsportaContatti"));
    button->setAutoRaise(true);
    EditorChrome::dress(button, QStringLiteral("esporta"), QStringLiteral("Esporta"));
    chrome().hints->add(button, QStringLiteral(" Esporta i contatti in un file vCard o CSV per un'altra rubrica o un telefono."));
    box->layout()->addWidget(button);
    FormLook::onRelease(button, [this] { cmdEsportaContattiMouseUp(); });
}

void TfrmRubrica::cmdEsportaContattiMouseUp()
{
    TfrmEsportaContatti window(lastSearch(), this);
    Modal::run(&window);
}

void TfrmRubrica::cmdImportaContattiMouseUp()
{
    ErrorDisplay::guard([this] {
        const QString file = Desktop::get().openFileName(this, QStringLiteral("Importa contatti"), QString(),
            QStringLiteral("File di contatti (*.vcf *.csv);;Tutti i file (*)"));
        if (file.isEmpty())
            return;
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) {
            Dialogs::warning(QStringLiteral("Importa contatti"),
                QStringLiteral("Attenzione: impossibile leggere il file \u00ab%1\u00bb (%2).").arg(file, f.errorString()));
            return;
        }
        QString refusal = ImportSession::sizeRefusal(file, f.size());
        if (!refusal.isEmpty()) {
            Dialogs::warning(QStringLiteral("Importa contatti"), refusal);
            return;
        }
        QByteArray bytes = f.readAll();
        f.close();
        std::unique_ptr<ImportSession> session = ImportSession::open(file, std::move(bytes), &refusal);
        if (!session) {
            Dialogs::warning(QStringLiteral("Importa contatti"), refusal);
            return;
        }
        TfrmImportaContatti preview(file, std::move(session), connection(), this);
        if (Modal::run(&preview) == QDialog::Accepted && preview.outcome().firstId > 0)
            loadCardById(preview.outcome().firstId);
    });
}

void TfrmRubrica::buildFields(QBoxLayout* body, HintBar* hints)
{
    QWidget* host = body->parentWidget() ? body->parentWidget() : this;
    hints->clearOn(host);

    // Row: caption, field (and an optional check button beside it).
    auto addRow
        = [&](QGridLayout* grid, int row, int col, const char* caption, QWidget* field, QWidget* button = nullptr) {
              auto* label = new QLabel(QString::fromUtf8(caption), field->parentWidget());
              label->setBuddy(field);
              grid->addWidget(label, row, col);
              if (button) {
                  auto* h = new QHBoxLayout;
                  h->setSpacing(2);
                  h->addWidget(field, 1);
                  h->addWidget(button);
                  grid->addLayout(h, row, col + 1);
              } else {
                  grid->addWidget(field, row, col + 1);
              }
          };

    // Personal data.
    QFrame* panContatto = EditorChrome::whitePanel(host, "panContatto", hints);
    auto* g1 = new QGridLayout(panContatto);
    QWidget* txtContatto = EditorChrome::lineEdit(panContatto, "txtContatto");
    QWidget* txtCodice = EditorChrome::lineEdit(panContatto, "txtCodice");
    QWidget* txtAzienda = EditorChrome::lineEdit(panContatto, "txtAzienda");
    QWidget* txtQualifica = EditorChrome::lineEdit(panContatto, "txtQualifica");
    QWidget* txtEmail = EditorChrome::lineEdit(panContatto, "txtEmail");
    QWidget* txtGruppo = EditorChrome::lineEdit(panContatto, "txtGruppo");
    QToolButton* imgEmail = EditorChrome::imageButton(panContatto, "imgEmail", "email", "@");
    hints->add(imgEmail, QStringLiteral(" Invia un messaggio e-mail all'indirizzo indicato."));
    addRow(g1, 0, 0, "Cognome e nome:", txtContatto);
    addRow(g1, 0, 2, "Codice ID:", txtCodice);
    addRow(g1, 1, 0, "Azienda:", txtAzienda);
    addRow(g1, 1, 2, "Qualifica:", txtQualifica);
    addRow(g1, 2, 0, "E-mail:", txtEmail, imgEmail);
    addRow(g1, 2, 2, "Gruppo:", txtGruppo);
    body->addWidget(panContatto);

    // Address and telephones.
    QFrame* panCitta = EditorChrome::whitePanel(host, "panCitta", hints);
    auto* g2 = new QGridLayout(panCitta);
    QWidget* txtIndirizzo = EditorChrome::lineEdit(panCitta, "txtIndirizzo");
    QWidget* txtCitta = EditorChrome::lineEdit(panCitta, "txtCitta");
    QWidget* txtCap = EditorChrome::lineEdit(panCitta, "txtCap");
    txtProv_ = new QComboBox(panCitta);
    txtProv_->setObjectName(QStringLiteral("txtProv"));
    txtProv_->setEditable(true);
    txtProv_->setInsertPolicy(QComboBox::NoInsert);
    txtProv_->addItems(ProvinceCodes::all());
    txtProv_->setCurrentIndex(-1);
    txtProv_->lineEdit()->setMaxLength(2);
    // Keys reach the combo first, which hands them to its line edit without
    // passing that edit's filters: upper-case on the combo itself.
    txtProv_->installEventFilter(this);
    txtProv_->lineEdit()->installEventFilter(this);
    QWidget* txtCel = EditorChrome::lineEdit(panCitta, "txtCel");
    QWidget* txtCasa = EditorChrome::lineEdit(panCitta, "txtCasa");
    QWidget* txtUff = EditorChrome::lineEdit(panCitta, "txtUff");
    QWidget* txtFax = EditorChrome::lineEdit(panCitta, "txtFax");
    addRow(g2, 0, 0, "Indirizzo:", txtIndirizzo);
    addRow(g2, 0, 2, "Città:", txtCitta);
    addRow(g2, 1, 0, "CAP:", txtCap);
    addRow(g2, 1, 2, "Prov.", txtProv_);
    addRow(g2, 2, 0, "Cellulare:", txtCel);
    addRow(g2, 2, 2, "Tel. casa:", txtCasa);
    addRow(g2, 3, 0, "Tel. uff.", txtUff);
    addRow(g2, 3, 2, "Fax:", txtFax);
    body->addWidget(panCitta);

    // Fiscal data, payments and notes.
    QFrame* panNote = EditorChrome::whitePanel(host, "panNote", hints);
    auto* g3 = new QGridLayout(panNote);
    auto* txtCodFisc = EditorChrome::lineEdit(panNote, "txtCodFisc");
    txtCodFisc->setMaxLength(16);
    txtIva_ = EditorChrome::lineEdit(panNote, "txtIva");
    txtIva_->setMaxLength(11);
    txtIva_->installEventFilter(this);
    auto* txtIban = EditorChrome::lineEdit(panNote, "txtIban");
    QWidget* txtPagamenti = EditorChrome::lineEdit(panNote, "txtPagamenti");
    auto* txtNote = new QPlainTextEdit(panNote);
    txtNote->setObjectName(QStringLiteral("txtNote"));
    txtNote->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtNote->setTabChangesFocus(true);
    QToolButton* imgCodFisc = EditorChrome::imageButton(panNote, "imgCodFisc", "controlla", "?");
    QToolButton* imgIva = EditorChrome::imageButton(panNote, "imgIva", "controlla", "?");
    QToolButton* imgIban = EditorChrome::imageButton(panNote, "imgIban", "controlla", "?");
    hints->add(imgCodFisc, QStringLiteral(" Controlla il codice fiscale."));
    hints->add(imgIva, QStringLiteral(" Controlla il numero di partita IVA."));
    hints->add(imgIban, QStringLiteral(" Controlla le coordinate bancarie IBAN."));
    FormLook::onRelease(imgEmail, [this] { imgEmailMouseUp(); });
    FormLook::onRelease(imgCodFisc, [this] { imgCodFiscMouseUp(); });
    FormLook::onRelease(imgIva, [this] { imgIvaMouseUp(); });
    FormLook::onRelease(imgIban, [this] { imgIbanMouseUp(); });
    addRow(g3, 0, 0, "Cod. fiscale:", txtCodFisc, imgCodFisc);
    addRow(g3, 0, 2, "Partita Iva:", txtIva_, imgIva);
    addRow(g3, 1, 0, "IBAN:", txtIban, imgIban);
    addRow(g3, 1, 2, "Pagamenti:", txtPagamenti);
    g3->addWidget(new QLabel(QStringLiteral("Note:"), panNote), 2, 0, Qt::AlignTop);
    g3->addWidget(txtNote, 2, 1, 1, 3);
    body->addWidget(panNote, 1);
    upperCaseOnChange(txtCodFisc);
    upperCaseOnChange(txtIban);

    // The three sections' captions and fields line up in one set of columns.
    int captions[2] = { 0, 0 };
    for (QGridLayout* g : { g1, g2, g3 })
        for (int i = 0; i < g->count(); ++i) {
            int row = 0, col = 0, rows = 0, cols = 0;
            g->getItemPosition(i, &row, &col, &rows, &cols);
            if ((col == 0 || col == 2) && g->itemAt(i)->widget())
                captions[col / 2] = std::max(captions[col / 2], g->itemAt(i)->widget()->sizeHint().width());
        }
    for (QGridLayout* g : { g1, g2, g3 }) {
        g->setColumnMinimumWidth(0, captions[0]);
        g->setColumnMinimumWidth(2, captions[1]);
        g->setColumnStretch(1, 1);
        g->setColumnStretch(3, 1);
    }

    const QList<QWidget*> chain
        = { txtContatto, txtCodice, txtAzienda, txtQualifica, txtEmail, txtGruppo, txtIndirizzo, txtCitta, txtCap,
              txtProv_, txtCel, txtCasa, txtUff, txtFax, txtCodFisc, txtIva_, txtIban, txtPagamenti, txtNote };
    FormLook::setUpFieldChain({ chain, { txtNote }, {}, nullptr });
}

void TfrmRubrica::upperCaseOnChange(QLineEdit* edit)
{
    // Rewriting the text would fire the handler again: block it meanwhile.
    connect(edit, &QLineEdit::textChanged, this, [edit](const QString& text) {
        if (text.isEmpty())
            return;
        const QString upper = Ascii::upper(text);
        if (upper == text)
            return;
        const int caret = edit->cursorPosition();
        const QSignalBlocker block(edit);
        edit->setText(upper);
        edit->setCursorPosition(caret);
    });
}

bool TfrmRubrica::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return CardEditor::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        return CardEditor::eventFilter(watched, event);
    const QString text = key->text();

    if (txtProv_ && (watched == txtProv_ || watched == txtProv_->lineEdit()) && text.size() == 1
        && Ascii::isLower(text[0].unicode())) {
        // Capitals as typed; accented letters are left alone.
        QKeyEvent upper(QEvent::KeyPress, key->key(), key->modifiers(), Ascii::upper(text), key->isAutoRepeat(),
            ushort(key->count()));
        QCoreApplication::sendEvent(watched, &upper);
        return true;
    }

    if (watched == txtIva_ && insertsText(key)) {
        const QChar c = text[0];
        if (Ascii::isDigit(c.unicode()))
            return false;
        Dialogs::warning(QStringLiteral("Carattere non valido"),
            QStringLiteral("Attenzione: indicare il numero di partita IVA digitando solo valori numerici."));
        return true;
    }
    return CardEditor::eventFilter(watched, event);
}

bool TfrmRubrica::insertsText(const QKeyEvent* key)
{
    // Tab, Delete, Backspace, Escape and the other keys that write no
    // character move or edit as usual; a paste shortcut writes text.
    if (key->matches(QKeySequence::Paste))
        return true;
    const QString text = key->text();
    return !text.isEmpty() && text[0].unicode() >= 0x20 && text[0].unicode() != 0x7F;
}

void TfrmRubrica::imgEmailMouseUp()
{
    BusyCursor busy;
    Desktop::open(QStringLiteral("mailto:") + fieldText(QStringLiteral("txtEmail")).trimmed());
}

void TfrmRubrica::imgCodFiscMouseUp() { runFiscalCodeCheck(this, fieldText(QStringLiteral("txtCodFisc"))); }
void TfrmRubrica::imgIvaMouseUp() { runVatCheck(this, fieldText(QStringLiteral("txtIva"))); }
void TfrmRubrica::imgIbanMouseUp() { runIbanCheck(this, fieldText(QStringLiteral("txtIban"))); }
