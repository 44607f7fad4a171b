#include "ui/path_chooser.h"

#include "storage/card_text.h"
#include "ui/desktop.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/form_look.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

PathChoice PathChoice::attachedFile()
{
    PathChoice c;
    c.kind = CardPaths::Kind::File;
    c.caption = QStringLiteral("Selezionare un file e premere Apri:");
    // "*.*" would hide every file without a dot in its name.
    c.filter = QStringLiteral("Tutti i file (*)");
    c.textColour = Qt::red;
    c.refusal = [](const QString& p) { return CardPaths::refusal(p, CardPaths::Kind::File); };
    return c;
}

PathChoice PathChoice::folder()
{
    PathChoice c;
    c.kind = CardPaths::Kind::Folder;
    c.caption = QStringLiteral("Selezionare una cartella:");
    c.textColour = Qt::red;
    c.refusal = [](const QString& p) { return CardPaths::refusal(p, CardPaths::Kind::Folder); };
    return c;
}

PathChoice PathChoice::mailAttachment()
{
    PathChoice c;
    c.kind = CardPaths::Kind::File;
    c.caption = QStringLiteral("Selezionare il file da allegare al messaggio");
    c.textColour = Qt::gray;
    c.refusal = [](const QString& p) { return CardPaths::refusal(p, CardPaths::Kind::File); };
    return c;
}

PathChooser::PathChooser(QLineEdit* path, QPushButton* browse, QPushButton* open, PathChoice choice)
    : QObject(path)
    , path_(path)
    , open_(open)
    , choice_(std::move(choice))
{
    path_->setReadOnly(true);
    QPalette text = path_->palette();
    text.setColor(QPalette::Text, choice_.textColour);
    path_->setPalette(text);
    path_->installEventFilter(this);
    open_->setEnabled(!CardText::trimmed(path_->text()).isEmpty());
    connect(path_, &QLineEdit::textChanged, open_,
        [this](const QString& t) { open_->setEnabled(!CardText::trimmed(t).isEmpty()); });
    connect(browse, &QPushButton::clicked, this, &PathChooser::browse);
    connect(open, &QPushButton::clicked, this, &PathChooser::openPath);
}

QString PathChooser::fileDialogStart() const
{
    // The folder of the file already chosen, so a neighbour is one click
    // away; otherwise never the program's working directory.
    const QFileInfo current(CardText::trimmed(path_->text()));
    if (current.isAbsolute() && current.absoluteDir().exists())
        return current.absolutePath();
    return CardPaths::startFolder();
}

void PathChooser::browse()
{
    QString chosen;
    // A failure of the dialog leaves the path as it was.
    ErrorDisplay::swallow([this, &chosen] {
        IDesktop& desktop = Desktop::get();
        chosen = choice_.kind == CardPaths::Kind::File
            ? desktop.openFileName(path_->window(), choice_.caption, fileDialogStart(), choice_.filter)
            : desktop.existingDirectory(path_->window(), choice_.caption, CardPaths::startFolder());
    });
    if (chosen.isEmpty())
        return;
    if (choice_.refusal) {
        const QString why = choice_.refusal(chosen);
        if (!why.isEmpty()) {
            Dialogs::warning(choice_.kind == CardPaths::Kind::File
                    ? QStringLiteral("Selezione file non applicabile")
                    : QStringLiteral("Selezione cartella non applicabile"),
                why);
            return;
        }
    }
    BusyCursor busy;
    path_->setText(chosen);
}

void PathChooser::openPath()
{
    const QString target = CardText::trimmed(path_->text());
    const bool file = choice_.kind == CardPaths::Kind::File;
    const QString caption
        = file ? QStringLiteral("Apertura file non applicabile") : QStringLiteral("Apertura cartella non applicabile");
    // The desktop reports success for a missing file and then shows nothing.
    if (CardPaths::isMissing(target, choice_.kind)) {
        Dialogs::warning(caption,
            (file ? QStringLiteral("Attenzione: il file \u00ab%1\u00bb non esiste o non è raggiungibile.")
                  : QStringLiteral("Attenzione: la cartella \u00ab%1\u00bb non esiste o non è raggiungibile."))
                .arg(target));
        return;
    }
    bool opened = false;
    {
        BusyCursor busy;
        opened = Desktop::open(target);
    }
    if (!opened)
        Dialogs::warning(caption, Desktop::cannotOpenText(target));
}

bool PathChooser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == path_ && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Backspace) {
        path_->clear();
        return true;
    }
    return false;
}
