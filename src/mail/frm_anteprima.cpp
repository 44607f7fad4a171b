#include "mail/frm_anteprima.h"

#include "mail/mime_message.h"
#include "mail/opt_out.h"
#include "mail/personalisation.h"
#include "mail/private_send.h"
#include "mail/unsubscribe.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/form_look.h"
#include "ui/modal.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kRefusal = QStringLiteral("Anteprima non applicabile");
}

TfrmAnteprima::TfrmAnteprima(const Message& message, QWidget* parent)
    : QDialog(parent)
    , message_(message)
{
    setObjectName(QStringLiteral("frmAnteprima"));
    setWindowTitle(QStringLiteral(" Velmaro - Anteprima personalizzata"));
    resize(700, 520);

    // Placeholders make any sending private, and a private one gets the
    // closing line: the preview shows what will go.
    const bool personal = Placeholders::any(message.subject) || Placeholders::any(message.body);
    Unsubscribe::Options options;
    ErrorDisplay::swallow([&] { options = Unsubscribe::load(); });
    texts_ = std::make_unique<Personalisation>(
        message.subject, Unsubscribe::bodyWith(message.body, options, message.privately || personal));
    texts_->loadContacts();
    const QList<PersonalFields::Field> fields = PersonalFields::all();
    name_ = std::make_unique<Personalisation>(
        fields.isEmpty() ? QString() : QLatin1Char('{') + fields.first().caption + QLatin1Char('}'), QString(), fields);
    name_->loadContacts();

    QString bad;
    if (!PrivateSend::recipients(message.recipients, addresses_, bad))
        addresses_ = MimeMail::splitAddresses(message.recipients);
    excluded_ = OptOutList().listed(addresses_);

    auto* outer = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    cboDestinatario_ = new QComboBox(this);
    cboDestinatario_->setObjectName(QStringLiteral("cboDestinatario"));
    for (const QString& a : addresses_)
        cboDestinatario_->addItem(excluded_.contains(a) ? a + QStringLiteral("  (escluso dagli invii)") : a);
    form->addRow(QStringLiteral("Destinatario:"), cboDestinatario_);
    lblScheda_ = new QLabel(this);
    lblScheda_->setObjectName(QStringLiteral("lblScheda"));
    lblScheda_->setWordWrap(true);
    form->addRow(QString(), lblScheda_);
    txtOggetto_ = new QLineEdit(this);
    txtOggetto_->setObjectName(QStringLiteral("txtOggetto"));
    txtOggetto_->setReadOnly(true);
    form->addRow(QStringLiteral("Oggetto:"), txtOggetto_);
    outer->addLayout(form);
    txtTesto_ = new QPlainTextEdit(this);
    txtTesto_->setObjectName(QStringLiteral("txtTesto"));
    txtTesto_->setReadOnly(true);
    outer->addWidget(txtTesto_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    buttons->addWidget(cmdChiudi);
    outer->addLayout(buttons);

    connect(cboDestinatario_, &QComboBox::currentIndexChanged, this,
        [this](int index) { ErrorDisplay::guard([&] { showRecipient(index); }); });
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::accept);
    showRecipient(0);
}

TfrmAnteprima::~TfrmAnteprima() = default;

void TfrmAnteprima::showRecipient(int index)
{
    if (index < 0 || index >= addresses_.size())
        return;
    const QString address = addresses_[index];
    txtOggetto_->setText(texts_->subjectFor(address));
    txtTesto_->setPlainText(texts_->bodyFor(address));

    QString note;
    if (excluded_.contains(address))
        note = QStringLiteral("Questo indirizzo è escluso dagli invii: non riceverà il messaggio.");
    else if (!texts_->unknown().isEmpty())
        note = QStringLiteral("Campi sconosciuti, che fanno rifiutare l'invio: %1.")
                   .arg(texts_->unknown().join(QStringLiteral(", ")));
    else if (!texts_->any())
        note = QStringLiteral("Il messaggio non contiene campi personalizzati: tutti lo ricevono così.");
    else if (!texts_->hasCard(address))
        note = QStringLiteral("Nessuna scheda in rubrica con questo indirizzo: i campi prendono il testo "
                              "alternativo, o restano vuoti.");
    else
        note = QStringLiteral("Campi dalla scheda in rubrica di %1.").arg(name_->subjectFor(address));
    lblScheda_->setText(note);
}

void TfrmAnteprima::open(const Message& message, QWidget* parent)
{
    if (MimeMail::splitAddresses(message.recipients).isEmpty()) {
        Dialogs::warning(kRefusal,
            QStringLiteral("Attenzione: per vedere l'anteprima personalizzata è necessario indicare l'indirizzo "
                           "e-mail di almeno un destinatario."));
        return;
    }
    std::unique_ptr<TfrmAnteprima> window;
    {
        BusyCursor busy;
        window = std::make_unique<TfrmAnteprima>(message, parent);
    }
    Modal::run(window.get());
}
