#include "contacts/card_opt_out.h"

#include "mail/opt_out.h"
#include "ui/card_editor.h"
#include "ui/dialogs.h"
#include "ui/editor_chrome.h"
#include "ui/error_display.h"
#include "ui/form_look.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QToolButton>

namespace {
const QString kExcludeHint = QStringLiteral(" Esclude dagli invii l'indirizzo e-mail della scheda corrente.");
const QString kReadmitHint = QStringLiteral(" Riammette agli invii l'indirizzo e-mail della scheda corrente.");

QToolButton* toolButton(QGroupBox* box, const char* name, const char* glyph, const QString& text)
{
    auto* b = new QToolButton(box);
    b->setObjectName(QLatin1String(name));
    b->setAutoRaise(true);
    EditorChrome::dress(b, QLatin1String(glyph), text);
    box->layout()->addWidget(b);
    return b;
}
} // namespace

CardOptOut::CardOptOut(CardEditor* editor, QGroupBox* toolbar, QLabel* infoBar, HintBar* hints)
    : QObject(editor)
    , editor_(editor)
    , hints_(hints)
{
    cmdEscludi_ = toolButton(toolbar, "cmdEscludi", "escludi", QStringLiteral("Escludi"));
    cmdEsclusi_ = toolButton(toolbar, "cmdEsclusi", "esclusi", QStringLiteral("Esclusi"));
    cmdEsclusi_->setEnabled(false);
    hints->add(cmdEscludi_, kExcludeHint);
    hints->add(cmdEsclusi_, QStringLiteral(" Elenco degli indirizzi esclusi dagli invii."));
    FormLook::onRelease(cmdEscludi_, [this] { cmdEscludiMouseUp(); });
    FormLook::onRelease(cmdEsclusi_, [this] { cmdEsclusiMouseUp(); });

    // The note sits at the right end of the bar, so the hints keep their
    // place and their behaviour.
    lblEscluso_ = new QLabel(infoBar);
    lblEscluso_->setObjectName(QStringLiteral("lblEscluso"));
    lblEscluso_->setStyleSheet(
        QStringLiteral("QLabel { background: #c0392b; color: white; font-weight: bold; padding: 0 8px; }"));
    lblEscluso_->hide();
    auto* row = new QHBoxLayout(infoBar);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch(1);
    row->addWidget(lblEscluso_);

    connect(editor, &CardEditor::cardLoaded, this, &CardOptOut::refresh);
    connect(editor, &CardEditor::cardCleared, this, &CardOptOut::refresh);
    if (auto* email = qobject_cast<QLineEdit*>(editor->field(QStringLiteral("txtEmail"))))
        connect(email, &QLineEdit::textChanged, this, &CardOptOut::refresh);
}

QString CardOptOut::cardAddresses() const { return editor_->fieldText(QStringLiteral("txtEmail")); }

void CardOptOut::refresh()
{
    excluded_.clear();
    QStringList addresses;
    // A list that cannot be read shows no note here; sending reports it.
    ErrorDisplay::swallow([&] {
        addresses = OptOut::parse(cardAddresses()).addresses;
        excluded_ = OptOutList().listed(addresses);
    });
    const bool any = !excluded_.isEmpty();
    if (lblEscluso_) {
        // Short enough to leave the hints their room; which addresses only
        // when the card has several.
        lblEscluso_->setText(addresses.size() == 1
                ? QStringLiteral("Escluso dagli invii: ha chiesto di non ricevere comunicazioni")
                : (excluded_.size() == 1 ? QStringLiteral("Escluso dagli invii: %1")
                                         : QStringLiteral("Esclusi dagli invii: %1"))
                      .arg(excluded_.join(QStringLiteral(", "))));
        lblEscluso_->setVisible(any);
    }
    if (cmdEscludi_) {
        EditorChrome::dress(cmdEscludi_, any ? QStringLiteral("riammetti") : QStringLiteral("escludi"),
            any ? QStringLiteral("Riammetti") : QStringLiteral("Escludi"));
        const QString hint = any ? kReadmitHint : kExcludeHint;
        // The pointer may still rest on the button: its hint follows at once.
        if (QLabel* bar = hints_->bar(); bar && bar->text() == (any ? kExcludeHint : kReadmitHint))
            bar->setText(hint);
        hints_->add(cmdEscludi_, hint);
    }
}

void CardOptOut::cmdEscludiMouseUp()
{
    ErrorDisplay::guard([this] {
        const QStringList addresses = OptOut::parse(cardAddresses()).addresses;
        if (addresses.isEmpty()) {
            Dialogs::warning(QStringLiteral("Esclusione non applicabile"),
                QStringLiteral("Attenzione: la scheda corrente non ha un indirizzo e-mail da escludere dagli invii."));
            return;
        }
        OptOutList list;
        const QStringList listed = list.listed(addresses);
        if (listed.isEmpty()) {
            const QString name = editor_->fieldText(QStringLiteral("txtContatto")).trimmed();
            list.add(addresses,
                name.isEmpty() ? QStringLiteral("Dalla rubrica") : QStringLiteral("Dalla rubrica: %1").arg(name));
        } else {
            // They asked not to be written to: letting them in again is asked.
            const QString who = listed.join(QStringLiteral(", "));
            if (!Dialogs::confirm(QStringLiteral("Conferma riammissione"),
                    QStringLiteral("%1 aveva chiesto di non ricevere comunicazioni.\n\nRiammettere agli invii?")
                        .arg(who),
                    true))
                return;
            list.remove(listed);
        }
        refresh();
    });
}

void CardOptOut::setListWindow(std::function<void(QWidget*)> open)
{
    openList_ = std::move(open);
    if (cmdEsclusi_)
        cmdEsclusi_->setEnabled(bool(openList_));
}

void CardOptOut::cmdEsclusiMouseUp()
{
    if (!openList_)
        return;
    ErrorDisplay::guard([this] { openList_(editor_); });
    refresh();
}
