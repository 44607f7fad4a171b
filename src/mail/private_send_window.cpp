#include "mail/private_send_window.h"

#include "storage/app_paths.h"
#include "storage/ini_file.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"

#include <QApplication>
#include <QCheckBox>
#include <QProgressDialog>

namespace {
const QString kPrivateKey = QStringLiteral("Invio riservato");

QString iniPath() { return AppPaths::beside(QStringLiteral("Messaggi.ini")); }
} // namespace

void PrivateSendWindow::start(int total)
{
    delete dialog_;
    dialog_ = new QProgressDialog(QStringLiteral("0 di %1").arg(total), QStringLiteral("Annulla"), 0, total,
        QApplication::activeWindow());
    dialog_->setObjectName(QStringLiteral("frmInvioRiservato"));
    dialog_->setWindowTitle(Dialogs::applicationTitle());
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(400);
    dialog_->setValue(0);
    // The hourglass of the send button would hide that the window answers.
    liftedCursors_ = 0;
    while (QApplication::overrideCursor()) {
        QApplication::restoreOverrideCursor();
        ++liftedCursors_;
    }
}

bool PrivateSendWindow::advance(int done, int total)
{
    if (!dialog_)
        return true;
    dialog_->setLabelText(QStringLiteral("%1 di %2").arg(done).arg(total));
    dialog_->setValue(done);
    // The window stays responsive, and a press on Annulla is seen, between
    // two messages.
    QCoreApplication::processEvents();
    return !dialog_->wasCanceled();
}

void PrivateSendWindow::finish(const PrivateSend::Report& report)
{
    delete dialog_;
    for (; liftedCursors_ > 0; --liftedCursors_)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    Dialogs::message(PrivateSend::summary(report));
}

void PrivateSendWindow::install()
{
    static PrivateSendWindow window;
    PrivateSend::installProgress(&window);
}

QString PrivateSendChoice::caption()
{
    return QStringLiteral(" Invio riservato (ogni destinatario vede solo il proprio indirizzo) ");
}

bool PrivateSendChoice::remembered(const QString& section)
{
    return IniFile(iniPath()).read(section, kPrivateKey) == QLatin1String("1");
}

void PrivateSendChoice::remember(const QString& section, bool privately)
{
    IniFile(iniPath()).write(section, kPrivateKey, privately ? QStringLiteral("1") : QStringLiteral("0"));
}

void PrivateSendChoice::bind(QCheckBox* box, const QString& section)
{
    ErrorDisplay::swallow([&] { box->setChecked(remembered(section)); });
    QObject::connect(box, &QCheckBox::toggled, box,
        [section](bool on) { ErrorDisplay::swallow([&] { remember(section, on); }); });
}

bool PrivateSendChoice::settle(bool privately, bool& preview)
{
    if (!privately || !preview)
        return true;
    if (!Dialogs::confirm(QStringLiteral("Invio riservato"),
            QStringLiteral("L'invio riservato spedisce un messaggio a ciascun destinatario e non può passare "
                           "dall'anteprima del programma di posta.\n\n"
                           "Inviare in modo riservato senza anteprima?")))
        return false;
    preview = false;
    return true;
}
