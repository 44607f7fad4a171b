#include "shell/startup.h"

#include "accessories/card_files.h"
#include "accessories/exports.h"
#include "accessories/frm_copia_sicurezza.h"
#include "contacts/contact_search.h"
#include "contacts/frm_rubrica.h"
#include "groups/frm_gruppi.h"
#include "groups/group_search.h"
#include "mail/frm_invia_email.h"
#include "messages/frm_importa_data.h"
#include "messages/frm_newsletter.h"
#include "messages/message_search.h"
#include "shell/frm_avvio.h"
#include "shell/frm_cambia_password.h"
#include "shell/frm_help_form.h"
#include "shell/frm_info.h"
#include "shell/frm_password.h"
#include "shell/frm_splash.h"
#include "ui/error_display.h"
#include "ui/help.h"
#include "ui/modal.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>
#include <QWidget>

#include <functional>

#ifndef VELMARO_VERSION
#define VELMARO_VERSION ""
#endif

namespace {

struct Created {
    QPointer<QWidget> form;
    std::function<void()> clearHandle;
};

QList<Created>& created()
{
    static QList<Created> list;
    return list;
}

template <typename Form> void create(Form*& handle)
{
    handle = new Form;
    created().append({ handle, [&handle] { handle = nullptr; } });
}

} // namespace

void Startup::installTranslations()
{
    auto* qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(QStringLiteral("qtbase_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
}

void Startup::createForms()
{
    create(frmPassword);
    create(frmAvvio);
    create(frmHelpForm);
    create(frmInfo);
    create(frmSplash);
    create(frmRubrica);
    create(frmRicercaRub);
    create(frmAvanzateRub);
    create(frmGruppi);
    create(frmRicercaGru);
    create(frmAvanzateGru);
    create(frmNewsletter);
    create(frmImportaData);
    create(frmRicercaMes);
    create(frmAvanzateMes);
    create(frmInviaEmail);
    create(frmCambiaPassword);
    create(frmCopiaSicurezza);
    frmAvvio->setSplashForm(frmSplash);
    frmAvvio->setBackupForm(frmCopiaSicurezza, &TfrmCopiaSicurezza::reminder);
    frmCopiaSicurezza->setVersion(QStringLiteral(VELMARO_VERSION));
    // After a restore no editor keeps a card of the replaced data on screen.
    frmCopiaSicurezza->setAfterRestore([] {
        for (CardEditor* editor : std::initializer_list<CardEditor*> { frmRubrica, frmGruppi, frmNewsletter }) {
            if (!editor)
                continue;
            editor->clearCard();
            ErrorDisplay::swallow([editor] { editor->reopenArchive(); });
        }
    });

    // The same tools on every editor.
    for (CardEditor* editor : std::initializer_list<CardEditor*> { frmRubrica, frmGruppi, frmNewsletter }) {
        Accessories::addCardFiles(*editor);
        Accessories::addExports(*editor);
    }

    // Each form learns the forms it hands over to; none of them knows the
    // others' classes.
    frmNewsletter->setContactPicker(frmRicercaRub);
    frmNewsletter->setDatePicker(frmImportaData);
    frmInviaEmail->setContactPicker(frmRicercaRub);
    frmInviaEmail->setMessagePicker(frmRicercaMes);
    frmGruppi->setContactPicker(frmRicercaRub);
    frmNewsletter->setGroupPicker(frmRicercaGru);
    frmInviaEmail->setGroupPicker(frmRicercaGru);
    Help::install([](const HelpTopic& topic) {
        if (frmHelpForm)
            frmHelpForm->showTopic(topic.title, topic.text);
    });

    frmAvvio->setTileForm(TfrmAvvio::Tile::Contatti, frmRubrica);
    frmAvvio->setTileForm(TfrmAvvio::Tile::Gruppi, frmGruppi);
    frmAvvio->setTileForm(TfrmAvvio::Tile::Messaggi, frmNewsletter);
    frmAvvio->setTileForm(TfrmAvvio::Tile::InvioEmail, frmInviaEmail);
    LauncherLink::install([] {
        if (frmAvvio)
            frmAvvio->bringBack();
    });
}

QList<QWidget*> Startup::forms()
{
    QList<QWidget*> list;
    for (const auto& c : created())
        if (c.form)
            list << c.form;
    return list;
}

void Startup::showFirstForm()
{
    if (frmPassword)
        frmPassword->show();
}

void Startup::destroyForms()
{
    LauncherLink::install({});
    Help::install({});
    while (!created().isEmpty()) {
        const Created c = created().takeLast();
        c.clearHandle();
        delete c.form;
    }
}
