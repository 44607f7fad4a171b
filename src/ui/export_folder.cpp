#include "ui/export_folder.h"

#include "storage/export_file.h"
#include "ui/desktop.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

ExportFolder::Choice ExportFolder::choose(QWidget* parent)
{
    Choice choice;
    choice.folder = ExportFile::folder();
    if (!choice.folder.isEmpty()) {
        choice.elsewhere = choice.folder != ExportFile::documentsFolder();
        return choice;
    }
    QString text = QStringLiteral(
        "Non è possibile salvare il file nella cartella Documenti, nella cartella personale né nella cartella "
        "dei file temporanei: nessuna esiste o può essere scritta.\n\nScegliere la cartella in cui salvarlo.");
    for (;;) {
        Dialogs::message(text);
        const QString chosen = Desktop::get().existingDirectory(parent ? parent : QApplication::activeWindow(),
            QStringLiteral("Cartella in cui salvare il file"), QDir::rootPath());
        if (chosen.isEmpty())
            return {};
        const QString found = ExportFile::firstWritable({ chosen });
        if (!found.isEmpty()) {
            choice.folder = found;
            return choice;
        }
        text = QStringLiteral("Non è possibile scrivere nella cartella \u00ab%1\u00bb.\n\nScegliere un'altra cartella.")
                   .arg(QDir::toNativeSeparators(chosen));
    }
}

QString ExportFolder::elsewhereText(const QString& file)
{
    return QStringLiteral("La cartella Documenti (%1) non esiste o non può essere scritta: il file è stato salvato "
                          "in\n%2")
        .arg(QDir::toNativeSeparators(ExportFile::documentsFolder()), QDir::toNativeSeparators(file));
}
