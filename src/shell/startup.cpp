#include "shell/startup.h"

#include "contacts/contact_search.h"
#include "contacts/frm_rubrica.h"
#include "mail/frm_invia_email.h"
#include "messages/frm_importa_data.h"
#include "messages/frm_newsletter.h"
#include "shell/frm_avvio.h"
#include "shell/frm_cambia_password.h"
#include "shell/frm_help_form.h"
#include "shell/frm_info.h"
#include "shell/frm_password.h"
#include "shell/frm_splash.h"
#include "ui/modal.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>
#include <QWidget>

#include <functional>

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
    create(frmNewsletter);
    create(frmImportaData);
    create(frmInviaEmail);
    create(frmCambiaPassword);
    frmAvvio->setSplashForm(frmSplash);

    frmAvvio->setTileForm(TfrmAvvio::Tile::Contatti, frmRubrica);
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
    while (!created().isEmpty()) {
        const Created c = created().takeLast();
        c.clearHandle();
        delete c.form;
    }
}
