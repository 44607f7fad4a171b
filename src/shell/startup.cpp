#include "shell/startup.h"

#include "accessories/card_files.h"
#include "accessories/exports.h"
#include "accessories/frm_copia_sicurezza.h"
#include "archives/archive_registry.h"
#include "contacts/frm_rubrica.h"
#include "groups/frm_gruppi.h"
#include "mail/frm_account_posta.h"
#include "mail/frm_esclusi.h"
#include "mail/frm_invia_email.h"
#include "mail/frm_storico_invii.h"
#include "messages/frm_importa_data.h"
#include "messages/frm_newsletter.h"
#include "shell/frm_avvio.h"
#include "shell/frm_cambia_password.h"
#include "shell/frm_help_form.h"
#include "shell/frm_info.h"
#include "shell/frm_password.h"
#include "shell/frm_splash.h"
#include "ui/error_display.h"
#include "ui/help.h"
#include "ui/modal.h"
#include "ui/search_forms.h"
#include "ui/wiring.h"

#include <QCoreApplication>
#include <QHash>
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

template <typename Form> Form* adopt(Form* form)
{
    created().append(Created { form, {} });
    return form;
}

// The searches of each archive, by kind, for the forms that pick from them.
QHash<int, SearchFormBase*>& quickSearches()
{
    static QHash<int, SearchFormBase*> searches;
    return searches;
}

SearchFormBase* quickSearch(ArchiveKind kind) { return quickSearches().value(int(kind)); }

// What every editor gets from its archive's definition: its two searches,
// created right after it, and the same tools.
void addArchiveForms(CardEditor* editor)
{
    const ArchiveDefinition& archive = editor->definition();
    auto* quick = adopt(new QuickSearchForm(archive));
    auto* advanced = adopt(new AdvancedSearchForm(archive));
    quickSearches().insert(int(archive.kind), quick);
    editor->setSearches(quick, advanced);
    Accessories::addCardFiles(*editor);
    Accessories::addExports(*editor);
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
    addArchiveForms(frmRubrica);
    create(frmGruppi);
    addArchiveForms(frmGruppi);
    create(frmNewsletter);
    create(frmImportaData);
    addArchiveForms(frmNewsletter);
    create(frmInviaEmail);
    create(frmCambiaPassword);
    create(frmCopiaSicurezza);
    for (const ArchiveDefinition* archive : Archives::all())
        if (!quickSearch(archive->kind))
            throw WiringError(QStringLiteral("no editor for the archive ") + archive->fileName);

    // Each form learns the forms it hands over to; none of them knows the
    // others' classes.
    frmAvvio->setSplashForm(frmSplash);
    frmAvvio->setAboutForm(frmInfo);
    frmAvvio->setMailAccountAction([] { TfrmAccountPosta::open(frmAvvio); });
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
    frmPassword->setChangeForm(frmCambiaPassword);
    frmCambiaPassword->setComeBack([] {
        if (frmPassword)
            frmPassword->comeBack();
    });
    frmNewsletter->setContactPicker(quickSearch(ArchiveKind::Contacts));
    frmNewsletter->setDatePicker(frmImportaData);
    frmInviaEmail->setContactPicker(quickSearch(ArchiveKind::Contacts));
    frmInviaEmail->setMessagePicker(quickSearch(ArchiveKind::Messages));
    frmGruppi->setContactPicker(quickSearch(ArchiveKind::Contacts));
    frmRubrica->setOptOutWindow([](QWidget* parent) { TfrmEsclusi::open(parent); });
    frmNewsletter->setGroupPicker(quickSearch(ArchiveKind::Groups));
    frmInviaEmail->setGroupPicker(quickSearch(ArchiveKind::Groups));
    frmNewsletter->setHistoryOpener([] { TfrmStoricoInvii::open(frmNewsletter); });
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
    quickSearches().clear();
    while (!created().isEmpty()) {
        const Created c = created().takeLast();
        if (c.clearHandle)
            c.clearHandle();
        delete c.form;
    }
}
