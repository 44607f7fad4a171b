#include "accessories/card_files.h"

#include "accessories/archive_compaction.h"
#include "accessories/frm_card_paths.h"
#include "storage/card_text.h"
#include "ui/card_accessory.h"
#include "ui/card_editor.h"
#include "ui/dialogs.h"
#include "ui/form_look.h"
#include "ui/modal.h"

#include <QPointer>

#include <functional>

namespace {

// Opens a fresh form on the editor's hidden labels and, when the user
// applies, writes the form's values back into them. Nothing is stored: the
// editor's next Save does that.
class CardPathsAccessory final : public CardAccessory {
public:
    using Factory = std::function<CardPathsForm*(ArchiveKind, QWidget*)>;
    CardPathsAccessory(QString button, QStringList labels, Factory create)
        : button_(std::move(button))
        , labels_(std::move(labels))
        , create_(std::move(create))
    { }

    QString button() const override { return button_; }

    void run(CardEditor& editor) override
    {
        const QPointer<CardPathsForm> form = create_(editor.archive().kind(), &editor);
        QStringList values;
        for (const QString& l : labels_)
            values << CardText::trimmed(editor.fieldText(l));
        form->setValues(values);
        const int result = Modal::run(form);
        if (form && result == QDialog::Accepted) {
            values = form->values();
            for (int i = 0; i < labels_.size(); ++i)
                editor.setFieldText(labels_[i], values[i]);
        }
        delete form.data();
    }

private:
    QString button_;
    QStringList labels_;
    Factory create_;
};

class CompactionAccessory final : public CardAccessory {
public:
    QString button() const override { return QStringLiteral("cmdOttimizza"); }

    void run(CardEditor& editor) override
    {
        if (!Dialogs::confirm(QStringLiteral("Conferma ottimizzazione archivio"),
                QStringLiteral("Questa funzione provvederà a rimuovere lo spazio inutilizzato dall'archivio corrente "
                               "per ottimizzare le sue dimensioni.\n\nSi consiglia di effettuare una copia di "
                               "sicurezza dell'archivio prima di procedere.\n\nSi vuole ottimizzare l'archivio "
                               "corrente?")))
            return;
        {
            BusyCursor busy;
            // VACUUM is refused inside a transaction: it runs on a connection
            // opened anew, and is a transaction of its own, undone whole when
            // it fails. The card on screen is not touched.
            editor.reopenArchive();
            ArchiveCompaction::vacuum(editor.connection());
        }
        Dialogs::information(QStringLiteral("Operazione terminata"),
            QStringLiteral("Ottimizzazione dell'archivio completata con successo."));
    }
};

} // namespace

void Accessories::addCardFiles(CardEditor& editor)
{
    editor.addAccessory(std::make_shared<CardPathsAccessory>(QStringLiteral("cmdAllega"),
        QStringList { QStringLiteral("lblFile01"), QStringLiteral("lblFile02"), QStringLiteral("lblFile03"),
            QStringLiteral("lblDesc01"), QStringLiteral("lblDesc02"), QStringLiteral("lblDesc03") },
        [](ArchiveKind kind, QWidget* owner) -> CardPathsForm* { return AttachedFilesForm::create(kind, owner); }));
    editor.addAccessory(std::make_shared<CardPathsAccessory>(QStringLiteral("cmdAssocia"),
        QStringList { QStringLiteral("lblCartella"), QStringLiteral("lblCartellaDesc") },
        [](ArchiveKind kind, QWidget* owner) -> CardPathsForm* { return FolderForm::create(kind, owner); }));
    editor.addAccessory(std::make_shared<CompactionAccessory>());
}
