#include "shell/frm_info.h"

#include "ui/link_hover.h"
#include "shell/maker.h"
#include "storage/app_paths.h"
#include "ui/desktop.h"
#include "ui/dialogs.h"
#include "ui/form_look.h"

#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

#ifndef VELMARO_VERSION
#define VELMARO_VERSION ""
#endif

TfrmInfo* frmInfo = nullptr;

namespace {

const QColor navy(0, 0, 128);
const QSize boxSize(480, 340);

QLabel* picture(QWidget* parent, const char* name, const QString& resource)
{
    auto* l = new QLabel(parent);
    if (name)
        l->setObjectName(QLatin1String(name));
    l->setPixmap(QPixmap(resource));
    return l;
}

QLabel* link(QWidget* parent, const char* name, const QString& caption)
{
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    QFont f = l->font();
    f.setBold(true);
    f.setUnderline(true);
    l->setFont(f);
    LinkHover::setColour(l, navy);
    return l;
}

} // namespace

TfrmInfo::TfrmInfo(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(QStringLiteral(" Informazioni su Velmaro"));
    setFixedSize(boxSize);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);

    grpInfo = new QGroupBox(this);
    grpInfo->setObjectName(QStringLiteral("grpInfo"));
    auto* info = new QHBoxLayout(grpInfo);
    info->setContentsMargins(14, 14, 14, 14);
    info->setSpacing(18);
    info->addWidget(picture(grpInfo, "imgLogo", QStringLiteral(":/img/logo.png")), 0, Qt::AlignTop);

    auto* texts = new QVBoxLayout;
    auto* name = new QLabel(QStringLiteral("Velmaro"), grpInfo);
    QFont big = name->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 2);
    name->setFont(big);
    LinkHover::setColour(name, navy);
    texts->addWidget(name);
    const QString version = QStringLiteral(VELMARO_VERSION);
    if (!version.isEmpty()) {
        auto* lblVersione = new QLabel(QStringLiteral("Versione ") + version, grpInfo);
        lblVersione->setObjectName(QStringLiteral("lblVersione"));
        texts->addWidget(lblVersione);
    }
    auto* about = new QLabel(QStringLiteral("Archiviazione di contatti, gruppi di destinatari e messaggi; "
                                            "invio di newsletter ed e-mail a più destinatari con il "
                                            "proprio programma di posta elettronica."),
        grpInfo);
    about->setWordWrap(true);
    texts->addWidget(about);
    texts->addWidget(new QLabel(QStringLiteral("Per informazioni: ") + Maker::infoAddress(), grpInfo));
    lblDati = new QLabel(grpInfo);
    lblDati->setObjectName(QStringLiteral("lblDati"));
    lblDati->setWordWrap(true); // a long path breaks after a '/'
    lblDati->setTextFormat(Qt::PlainText);
    lblDati->setTextInteractionFlags(Qt::TextSelectableByMouse);
    texts->addWidget(lblDati);
    texts->addStretch(1);

    auto* links = new QGridLayout;
    links->setHorizontalSpacing(6);
    imgEmail = picture(grpInfo, "imgEmail", QStringLiteral(":/img/email.png"));
    lblEmail = link(grpInfo, "lblEmail", QStringLiteral("Invia e-mail"));
    imgWeb = picture(grpInfo, "imgWeb", QStringLiteral(":/img/web.png"));
    lblWeb = link(grpInfo, "lblWeb", QStringLiteral("Visita sito Internet"));
    links->addWidget(imgEmail, 0, 0);
    links->addWidget(lblEmail, 0, 1);
    links->addWidget(imgWeb, 1, 0);
    links->addWidget(lblWeb, 1, 1);
    links->setColumnStretch(2, 1);
    texts->addLayout(links);
    info->addLayout(texts, 1);
    layout->addWidget(grpInfo, 1);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setMinimumWidth(90);
    layout->addWidget(cmdOK, 0, Qt::AlignRight);

    connect(cmdOK, &QPushButton::clicked, this, &TfrmInfo::cmdOKClick);
    for (QLabel* l : { lblEmail, imgEmail })
        FormLook::onRelease(l, [this] { lblEmailClick(); });
    for (QLabel* l : { lblWeb, imgWeb })
        FormLook::onRelease(l, [this] { lblWebClick(); });

    auto* hover = new LinkHover(this);
    hover->addLink(lblEmail);
    hover->addLink(lblWeb);
    hover->addArea(lblEmail, { Qt::red, navy });
    hover->addArea(imgEmail, { Qt::red, navy });
    hover->addArea(lblWeb, { navy, Qt::red });
    hover->addArea(imgWeb, { navy, Qt::red });
    hover->addArea(this, { navy, navy });
    hover->addArea(grpInfo, { navy, navy });
}

QString TfrmInfo::mailText()
{
    // Handed over as written: the shell, not this window, decides on encoding.
    return QStringLiteral("mailto:") + Maker::infoAddress() + QStringLiteral("?subject=")
        + QStringLiteral("Software Velmaro") + QStringLiteral("&body=")
        + QStringLiteral("Salve, desidererei avere le seguenti informazioni sul software in oggetto:");
}

void TfrmInfo::lblEmailClick()
{
    std::optional<BusyCursor> busy(std::in_place);
    const bool opened = Desktop::open(mailText());
    busy.reset();
    if (!opened)
        Dialogs::message(QStringLiteral("Invio e-mail non riuscito."));
}

void TfrmInfo::lblWebClick() { Maker::openWebPage(); }

void TfrmInfo::cmdOKClick() { accept(); }

void TfrmInfo::showEvent(QShowEvent* event)
{
    lblDati->setText(QStringLiteral("Dati in: ") + QDir::toNativeSeparators(AppPaths::dataDir()));
    // Taller rather than cut a long path or the texts above it.
    setFixedSize(boxSize.width(), std::max(boxSize.height(), layout()->totalHeightForWidth(boxSize.width())));
    QDialog::showEvent(event);
}
