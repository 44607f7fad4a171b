#include "ui/dialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace {

class QtDialogs final : public IDialogs {
public:
    void message(const QString& text) override
    {
        QMessageBox::information(QApplication::activeWindow(), Dialogs::applicationTitle(), text);
    }
    void warning(const QString& caption, const QString& text) override
    {
        ownerless(QMessageBox::Warning, caption, text);
    }
    void information(const QString& caption, const QString& text) override
    {
        ownerless(QMessageBox::Information, caption, text);
    }
    bool confirm(const QString& caption, const QString& text, bool questionIcon) override
    {
        QMessageBox box(questionIcon ? QMessageBox::Question : QMessageBox::NoIcon, caption, text,
            QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() != QMessageBox::No;
    }
    void error(const QString& text, const QString& details) override
    {
        QMessageBox box(QMessageBox::Critical, Dialogs::applicationTitle(), text, QMessageBox::Ok,
            QApplication::activeWindow());
        if (!details.isEmpty())
            box.setDetailedText(details);
        box.exec();
    }

private:
    static void ownerless(QMessageBox::Icon icon, const QString& caption, const QString& text)
    {
        QMessageBox box(icon, caption, text, QMessageBox::Ok);
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
    }
};

IDialogs* installed = nullptr;

} // namespace

IDialogs& Dialogs::get()
{
    static QtDialogs real;
    return installed ? *installed : real;
}

void Dialogs::install(IDialogs* dialogs) { installed = dialogs; }

QString Dialogs::applicationTitle() { return QStringLiteral("Velmaro"); }
