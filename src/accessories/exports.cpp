#include "accessories/exports.h"

#include "accessories/document_writer.h"
#include "accessories/export_profile.h"
#include "accessories/frm_export.h"
#include "storage/card_text.h"
#include "ui/card_accessory.h"
#include "ui/card_editor.h"
#include "ui/desktop.h"
#include "ui/dialogs.h"
#include "ui/form_look.h"
#include "ui/modal.h"

#include <QDir>
#include <QProgressDialog>

namespace {

const QString kRefusalCaption = QStringLiteral("Esportazione dati non applicabile");

// cmdExcel: the archive's export window, made on first use and kept.
class SpreadsheetExport final : public CardAccessory {
public:
    QString button() const override { return QStringLiteral("cmdExcel"); }
    void run(CardEditor& editor) override
    {
        if (!window_)
            window_ = new TfrmExport(editor.definition(), &editor);
        Modal::run(window_);
    }

private:
    TfrmExport* window_ = nullptr; // owned by the editor
};

// cmdWord: the card on screen, saved or not, as a document.
class DocumentExport final : public CardAccessory {
public:
    QString button() const override { return QStringLiteral("cmdWord"); }
    void run(CardEditor& editor) override
    {
        const ExportProfile profile = ExportProfile::of(editor.definition());
        if (!profile.requiredControl.isEmpty()
            && CardText::trimmed(editor.fieldText(profile.requiredControl)).isEmpty()) {
            Dialogs::warning(kRefusalCaption, profile.requiredText);
            editor.field(profile.requiredControl)->setFocus(Qt::OtherFocusReason);
            return;
        }
        DocumentWriter::Rows rows;
        for (const auto& row : profile.rows)
            rows.append({ CardText::trimmed(row.label), CardText::trimmed(editor.fieldText(row.control)) });

        BusyCursor busy;
        Exports::Messages messages;
        messages.show = [](const QString& text) { Dialogs::warning(kRefusalCaption, text); };
        messages.writeFailed = QStringLiteral(
            "Si è verificato un errore imprevisto durante l'esportazione della scheda in Microsoft Word.");
        messages.openFailed = QStringLiteral(
            "Il documento \u00ab%1\u00bb è stato salvato, ma non è stato possibile aprirlo: nessun programma di "
            "videoscrittura risulta associato ai file .docx.");
        const QString title = profile.documentTitle;
        Exports::publishAndOpen(
            profile.documentFileTitle, QStringLiteral("docx"),
            [&](const QString& temp) { return DocumentWriter::write(temp, title, rows); }, messages);
    }
};

} // namespace

void Accessories::addExports(CardEditor& editor)
{
    // Every control the document names must be the editor's: a misspelt one
    // would export an empty cell without a word.
    const ExportProfile profile = ExportProfile::of(editor.definition());
    for (const auto& row : profile.rows)
        editor.field(row.control);
    if (!profile.requiredControl.isEmpty())
        editor.field(profile.requiredControl);
    editor.addAccessory(std::make_shared<SpreadsheetExport>());
    editor.addAccessory(std::make_shared<DocumentExport>());
}

QString Exports::publishAndOpen(
    const QString& title, const QString& suffix, const ExportFile::Writer& writer, const Messages& messages)
{
    const ExportFile::Result result = ExportFile::publish(ExportFile::folder(), title, suffix, writer);
    if (!result.ok()) {
        messages.show(messages.writeFailed + QStringLiteral("\n\n") + result.error);
        return {};
    }
    if (!Desktop::open(result.path))
        messages.show(messages.openFailed.arg(QDir::toNativeSeparators(result.path)));
    return result.path;
}

Exports::Progress::Progress(QWidget* parent, const QString& label)
{
    dialog_ = std::make_unique<QProgressDialog>(label, QString(), 0, 0, parent);
    dialog_->setObjectName(QStringLiteral("dlgProgress"));
    dialog_->setWindowTitle(Dialogs::applicationTitle());
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setCancelButton(nullptr);
    // Quick work finishes without the window ever appearing.
    dialog_->setMinimumDuration(600);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setValue(0);
}

Exports::Progress::~Progress() = default;

void Exports::Progress::step(qint64 done, qint64 total)
{
    // Values are ints; counts of cards fit.
    if (dialog_->maximum() != int(total))
        dialog_->setMaximum(int(total));
    // A modal progress window lets the event loop paint in setValue().
    dialog_->setValue(int(std::min(done, total)));
}
