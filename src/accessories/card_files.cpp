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


namespace {

// Opens a fresh form on the editor's hidden labels and, when the user
// applies, writes the form's values back into them. Nothing is stored: the
// editor's next Save does that.
class CardPathsAccessory final : public CardAccessory {
public:
    using Factory = CardPathsForm* (*)(const ArchiveDefinition&, QWidget*);
    CardPathsAccessory(QString button, const QList<ArchiveDefinition::Column>& columns, Factory create)
        : button_(std::move(button))
        , create_(create)
    {
        for (const auto& c : columns)
            labels_ << c.control;
    }

    // The hidden labels the form's values go to must be the editor's.
    void check(const CardEditor& editor) const
    {
        for (const QString& l : labels_)
            editor.field(l);
    }

    QString button() const override { return button_; }

    void run(CardEditor& editor) override
    {
        const QPointer<CardPathsForm> form = create_(editor.definition(), &editor);
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
            // A failed save can leave the connection inside its transaction,
            // where VACUUM is refused; opening anew rolls that back. The card
            // on screen is not touched.
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
    auto files = std::make_shared<CardPathsAccessory>(
        QStringLiteral("cmdAllega"), ArchiveDefinition::attachedFileColumns(), &CardPathsForm::attachedFiles);
    auto folder = std::make_shared<CardPathsAccessory>(
        QStringLiteral("cmdAssocia"), ArchiveDefinition::folderColumns(), &CardPathsForm::folder);
    files->check(editor);
    folder->check(editor);
    editor.addAccessory(std::move(files));
    editor.addAccessory(std::move(folder));
    editor.addAccessory(std::make_shared<CompactionAccessory>());
}
