#include "shell/frm_help_form.h"

#include "ui/link_hover.h"
#include "storage/app_paths.h"
#include "ui/desktop.h"
#include "ui/dialogs.h"
#include "ui/form_look.h"
#include "ui/modal.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

TfrmHelpForm* frmHelpForm = nullptr;

namespace {

const QColor navy(0, 0, 128);

QWidget* navyPanel(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    panel->setAutoFillBackground(true);
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, navy);
    p.setColor(QPalette::WindowText, Qt::white);
    panel->setPalette(p);
    return panel;
}

} // namespace

TfrmHelpForm::TfrmHelpForm(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHelpForm"));
    setWindowTitle(QStringLiteral(" Guida in linea"));
    setFixedSize(600, 460);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* top = navyPanel(this);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(12, 8, 12, 8);
    auto* icon = new QLabel(top);
    icon->setPixmap(QPixmap(QStringLiteral(":/img/guida.png")));
    topLayout->addWidget(icon);
    panTitle = new QLabel(top);
    panTitle->setObjectName(QStringLiteral("panTitle"));
    QFont titleFont = panTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.35);
    panTitle->setFont(titleFont);
    topLayout->addWidget(panTitle, 1);
    layout->addWidget(top);

    memTopic = new QPlainTextEdit(this);
    memTopic->setObjectName(QStringLiteral("memTopic"));
    memTopic->setReadOnly(true);
    memTopic->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memTopic->setFrameShape(QFrame::NoFrame);
    memTopic->document()->setDocumentMargin(12);
    layout->addWidget(memTopic, 1);

    auto* bottom = navyPanel(this);
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(12, 6, 12, 6);
    imgPDF = new QLabel(bottom);
    imgPDF->setObjectName(QStringLiteral("imgPDF"));
    imgPDF->setPixmap(QPixmap(QStringLiteral(":/img/pdf.png")));
    bottomLayout->addWidget(imgPDF);
    lblPDF = new QLabel(QStringLiteral("Visualizza guida in formato PDF"), bottom);
    lblPDF->setObjectName(QStringLiteral("lblPDF"));
    QFont linkFont = lblPDF->font();
    linkFont.setBold(true);
    linkFont.setUnderline(true);
    lblPDF->setFont(linkFont);
    bottomLayout->addWidget(lblPDF);
    bottomLayout->addStretch(1);
    cmdOK = new QPushButton(QStringLiteral("OK"), bottom);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setMinimumWidth(90);
    bottomLayout->addWidget(cmdOK);
    layout->addWidget(bottom);

    connect(cmdOK, &QPushButton::clicked, this, &TfrmHelpForm::cmdOKClick);
    FormLook::onRelease(lblPDF, [this] { lblPDFClick(); });
    FormLook::onRelease(imgPDF, [this] { lblPDFClick(); });

    auto* hover = new LinkHover(this);
    hover->addLink(lblPDF);
    LinkHover::setColour(lblPDF, Qt::white);
    hover->addArea(lblPDF, { Qt::red });
    hover->addArea(imgPDF, { Qt::red });
    const QList<QWidget*> plainAreas { this, top, panTitle, bottom, memTopic, memTopic->viewport() };
    for (QWidget* area : plainAreas)
        hover->addArea(area, { Qt::white });
}

int TfrmHelpForm::showTopic(const QString& title, const QString& text)
{
    panTitle->setText(title);
    memTopic->setPlainText(text);
    return Modal::run(this);
}

void TfrmHelpForm::cmdOKClick() { accept(); }

void TfrmHelpForm::lblPDFClick()
{
    // The shell answers true for a file that is not there (it only reports
    // that the opener started), so the file is looked for first.
    const QString manual = AppPaths::manual();
    if (manual.isEmpty()) {
        Dialogs::message(QStringLiteral("Il manuale Guida.pdf non si trova nella cartella del programma né in "
                                        "quella della documentazione:\n%1")
                             .arg(AppPaths::manualFolders().join(u'\n')));
        return;
    }
    bool opened = false;
    {
        BusyCursor busy;
        opened = Desktop::open(manual);
    }
    if (!opened)
        Dialogs::message(QStringLiteral("Impossibile aprire il manuale Guida.pdf: nessun programma per "
                                        "visualizzare i file PDF è installato."));
}
