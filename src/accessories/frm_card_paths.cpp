#include "accessories/frm_card_paths.h"

#include "storage/card_text.h"
#include "storage/wiring_error.h"
#include "ui/form_look.h"
#include "ui/path_chooser.h"

#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QPushButton* button(QWidget* parent, const QString& name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    // Enter in a description must not press a button.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QLabel* label(QWidget* parent, const QString& name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

} // namespace

CardPathsForm::CardPathsForm(const Dress& dress, const PathChoice& choice, QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
            | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(dress.objectName);
    setWindowTitle(dress.caption);
    setFixedSize(616, dress.height);

    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    auto* imgGuida = label(this, QStringLiteral("imgGuida"), QString());
    const QString picture = QStringLiteral(":/img/guida.png");
    if (QFile::exists(picture))
        imgGuida->setPixmap(QPixmap(picture).scaled(40, 40, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    top->addWidget(imgGuida, 0, Qt::AlignTop);
    auto* lines = new QVBoxLayout;
    for (int i = 0; i < dress.info.size(); ++i)
        lines->addWidget(label(this, QStringLiteral("lblInfo%1").arg(i + 1, 2, 10, QLatin1Char('0')), dress.info[i]));
    top->addLayout(lines, 1);
    layout->addLayout(top);

    QList<QWidget*> chain;
    for (int i = 0; i < dress.pathLabels.size(); ++i) {
        const QString nn = QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        auto* grp = new QGroupBox(this);
        grp->setObjectName(QStringLiteral("grpAllegato") + nn);
        auto* g = new QGridLayout(grp);

        auto* path = new QLineEdit(grp);
        path->setObjectName(QStringLiteral("txtFile") + nn);
        auto* browse = button(grp, QStringLiteral("cmdSfoglia") + nn, QStringLiteral("Sfoglia..."));
        auto* open = button(grp, QStringLiteral("cmdApri") + nn, QStringLiteral("Apri"));
        open->setEnabled(false);
        auto* desc = new QLineEdit(grp);
        desc->setObjectName(QStringLiteral("txtDesc") + nn);

        g->addWidget(label(grp, QStringLiteral("lblFile") + nn, dress.pathLabels[i]), 0, 0, 1, 3);
        g->addWidget(path, 1, 0);
        g->addWidget(browse, 1, 1);
        g->addWidget(open, 1, 2);
        g->addWidget(label(grp, QStringLiteral("lblDesc") + nn, QStringLiteral("Descrizione")), 2, 0, 1, 3);
        g->addWidget(desc, 3, 0, 1, 3);
        g->setColumnStretch(0, 1);
        layout->addWidget(grp);

        new PathChooser(path, browse, open, choice);
        FormLook::styleField(path);
        FormLook::styleField(desc);
        paths_ << path;
        descriptions_ << desc;
        chain << path << desc;
    }

    layout->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    auto* cmdApplica = button(this, QStringLiteral("cmdApplica"), QStringLiteral("Applica e chiudi"));
    bottom->addWidget(cmdApplica);
    layout->addLayout(bottom);
    connect(cmdApplica, &QPushButton::clicked, this, &QDialog::accept);

    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void CardPathsForm::setValues(const QStringList& values)
{
    const int n = slotCount();
    if (values.size() != 2 * n)
        throw WiringError(objectName() + QStringLiteral(": %1 values for %2 slots").arg(values.size()).arg(n));
    for (int i = 0; i < n; ++i) {
        paths_[i]->setText(values.value(i));
        descriptions_[i]->setText(values.value(n + i));
    }
}

QStringList CardPathsForm::values() const
{
    QStringList v;
    for (const QLineEdit* p : paths_)
        v << CardText::trimmed(p->text());
    for (const QLineEdit* d : descriptions_)
        v << CardText::trimmed(d->text());
    return v;
}

void CardPathsForm::setVisible(bool visible)
{
    // Centred on the desktop rather than over the editor.
    if (visible && !centred_) {
        centred_ = true;
        if (const QScreen* desktop = screen())
            move(desktop->availableGeometry().center() - rect().center());
    }
    QDialog::setVisible(visible);
}

// ---------------------------------------------------------------------------

CardPathsForm* CardPathsForm::attachedFiles(const ArchiveDefinition& definition, QWidget* parent)
{
    return new CardPathsForm(
        { definition.filesForm, QStringLiteral(" File allegati"),
            { QStringLiteral("Selezionare i file da allegare alla scheda corrente servendosi del pulsante Sfoglia."),
                QStringLiteral("Quindi fare clic su Applica e chiudi e poi sull'icona del floppy per salvare la "
                               "scheda."),
                QStringLiteral("Per visualizzare un file è sufficiente premere il pulsante Apri.") },
            { QStringLiteral("File allegato 1"), QStringLiteral("File allegato 2"), QStringLiteral("File allegato 3") },
            470 },
        PathChoice::attachedFile(), parent);
}

CardPathsForm* CardPathsForm::folder(const ArchiveDefinition& definition, QWidget* parent)
{
    return new CardPathsForm({ definition.folderForm, QStringLiteral(" Associa cartella"),
                                 { QStringLiteral("Selezionare la cartella da associare alla scheda corrente "
                                                  "servendosi del pulsante Sfoglia."),
                                     QStringLiteral("Quindi fare clic su Applica e chiudi e poi sul pulsante Salva "
                                                    "per salvare le modifiche."),
                                     QStringLiteral("Per aprire la cartella è sufficiente premere il pulsante Apri.") },
                                 { QStringLiteral("Cartella associata") }, 254 },
        PathChoice::folder(), parent);
}
