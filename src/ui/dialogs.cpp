#include "ui/dialogs.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace {

class QtDialogs final : public IDialogs {
public:
    void message(const QString& text) override
    {
        // Results come in a plain box: no icon.
        QMessageBox box(QMessageBox::NoIcon, Dialogs::applicationTitle(), text, QMessageBox::Ok,
            QApplication::activeWindow());
        box.exec();
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
        fitCaption(box);
        return box.exec() != QMessageBox::No;
    }
    void warningDetailed(const QString& caption, const QString& text, const QString& details) override
    {
        QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok);
        box.setWindowModality(Qt::ApplicationModal);
        if (!details.isEmpty())
            box.setDetailedText(details);
        box.exec();
    }
    bool confirmDetailed(const QString& caption, const QString& text, const QString& details) override
    {
        QMessageBox box(
            QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
        box.setDefaultButton(QMessageBox::Yes);
        if (!details.isEmpty())
            box.setDetailedText(details);
        fitCaption(box);
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
    // A short question under a long caption would leave the title bar too
    // narrow and the caption elided. QMessageBox ignores a minimum width
    // but keeps a spacer of its grid.
    static void fitCaption(QMessageBox& box)
    {
        QFont title = box.font();
        title.setBold(true);
        constexpr int kTitleBarButtons = 140;
        const int needed = QFontMetrics(title).horizontalAdvance(box.windowTitle()) + kTitleBarButtons;
        if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
            grid->addItem(new QSpacerItem(needed, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0,
                1, grid->columnCount());
    }

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
