#include "shell/frm_avvio.h"

#include "shell/help_topics.h"
#include "shell/maker.h"
#include "ui/error_display.h"
#include "ui/form_look.h"
#include "ui/modal.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

TfrmAvvio* frmAvvio = nullptr;

namespace {

const QColor navy(0, 0, 128);

const char* tileStyle = "QPushButton { background: #1d3461; color: white; font-weight: bold;"
                        " border: none; border-radius: 6px; padding: 7px; }"
                        "QPushButton:hover { background: #2f6fd0; }"
                        "QPushButton:focus { border: 2px solid #f5c04a; padding: 5px; }"
                        "QPushButton:disabled { background: #b9c3d4; color: #eef1f6; }";

QLabel* glyph(QWidget* parent, const char* name, const QString& resource, const QString& hint)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setPixmap(QPixmap(resource));
    l->setToolTip(hint);
    return l;
}

int index(TfrmAvvio::Tile tile) { return static_cast<int>(tile); }

} // namespace

TfrmAvvio::TfrmAvvio(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmAvvio"));
    setWindowTitle(QStringLiteral(" Velmaro"));
    setMinimumSize(800, 582);
    setWindowState(Qt::WindowMaximized);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    btnSfondo = new QPushButton(this);
    btnSfondo->setObjectName(QStringLiteral("btnSfondo"));
    btnSfondo->setIcon(QIcon(QStringLiteral(":/img/sfondo.png")));
    btnSfondo->hide();

    grpContainer = new QGroupBox(this);
    grpContainer->setObjectName(QStringLiteral("grpContainer"));
    grpContainer->setFixedSize(780, 540);
    grpContainer->setAutoFillBackground(true);
    grpContainer->setPalette(white);

    auto* layout = new QVBoxLayout(grpContainer);
    layout->setContentsMargins(10, 10, 10, 8);
    layout->setSpacing(10);

    imgAnimata = new QLabel(grpContainer);
    imgAnimata->setObjectName(QStringLiteral("imgAnimata"));
    imgAnimata->setFixedSize(760, 64);
    layout->addWidget(imgAnimata, 0, Qt::AlignHCenter);
    layout->addStretch(1);

    titUtente = new QLabel(QStringLiteral("Archiviazione di contatti, gruppi di destinatari e messaggi con ricerche "
                                          "avanzate delle schede in archivio."),
        grpContainer);
    titUtente->setObjectName(QStringLiteral("titUtente"));
    titUtente->setAlignment(Qt::AlignCenter);
    titUtente->setWordWrap(true);
    QFont titleFont = titUtente->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    titUtente->setFont(titleFont);
    QPalette navyText = titUtente->palette();
    navyText.setColor(QPalette::WindowText, navy);
    titUtente->setPalette(navyText);
    layout->addWidget(titUtente);

    auto* tiles = new QHBoxLayout;
    tiles->setSpacing(14);
    tiles->addStretch(1);
    tiles->addWidget(makeTile(Tile::Contatti, imgPazienti, btnPazienti, "imgPazienti", "btnPazienti",
        QStringLiteral("Rubrica contatti"), QStringLiteral("avvio_rubrica"),
        QStringLiteral(" Gestione rubrica contatti ")));
    tiles->addWidget(makeTile(Tile::Gruppi, imgAppuntamenti, btnAppuntamenti, "imgAppuntamenti", "btnAppuntamenti",
        QStringLiteral("Gruppi destinatari"), QStringLiteral("avvio_gruppi"),
        QStringLiteral(" Gestione gruppi destinatari ")));
    tiles->addWidget(makeTile(Tile::Messaggi, imgInterventi, btnInterventi, "imgInterventi", "btnInterventi",
        QStringLiteral("Archivio messaggi"), QStringLiteral("avvio_messaggi"),
        QStringLiteral(" Gestione archivio messaggi ")));
    tiles->addWidget(makeTile(Tile::InvioEmail, imgRicevute, btnRicevute, "imgRicevute", "btnRicevute",
        QStringLiteral("Invia e-mail"), QStringLiteral("avvio_invia"), QStringLiteral(" Gestione invio e-mail ")));
    tiles->addStretch(1);
    layout->addLayout(tiles);

    lblSlogan = new QLabel(QStringLiteral("Invio veloce di newsletter ed e-mail a più destinatari usando il proprio "
                                          "software di posta elettronica."),
        grpContainer);
    lblSlogan->setObjectName(QStringLiteral("lblSlogan"));
    lblSlogan->setAlignment(Qt::AlignCenter);
    lblSlogan->setWordWrap(true);
    QFont sloganFont = lblSlogan->font();
    sloganFont.setItalic(true);
    sloganFont.setPointSizeF(sloganFont.pointSizeF() * 1.1);
    lblSlogan->setFont(sloganFont);
    lblSlogan->setPalette(navyText);
    layout->addSpacing(4);
    layout->addWidget(lblSlogan);
    layout->addStretch(1);

    // A backup is due: a line to click, never a box in the way.
    lblPromemoria = new QLabel(grpContainer);
    lblPromemoria->setObjectName(QStringLiteral("lblPromemoria"));
    lblPromemoria->setAlignment(Qt::AlignCenter);
    lblPromemoria->setWordWrap(true);
    lblPromemoria->setStyleSheet(QStringLiteral(
        "QLabel { background: #fff4d6; color: #5a3d00; border: 1px solid #f5c04a; border-radius: 4px; padding: 4px; }"));
    lblPromemoria->setCursor(Qt::PointingHandCursor);
    lblPromemoria->hide();
    layout->addWidget(lblPromemoria);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(12);
    lblWeb = new QLabel(QUrl(Maker::webAddress()).host(), grpContainer);
    lblWeb->setObjectName(QStringLiteral("lblWeb"));
    lblWeb->setToolTip(QStringLiteral("  Visita il sito Internet dell'autore "));
    QFont linkFont = lblWeb->font();
    linkFont.setUnderline(true);
    lblWeb->setFont(linkFont);
    lblWeb->setPalette(navyText);
    bottom->addWidget(glyph(grpContainer, "imgWebLink", QStringLiteral(":/img/web.png"), lblWeb->toolTip()));
    bottom->addWidget(lblWeb);
    bottom->addStretch(1);
    imgCopyright = glyph(grpContainer, "imgCopyright", QStringLiteral(":/img/logo_piccolo.png"),
        QStringLiteral(" Copyright e presentazione "));
    imgGuida = glyph(grpContainer, "imgGuida", QStringLiteral(":/img/guida.png"), QStringLiteral(" Guida "));
    imgInfo = glyph(grpContainer, "imgInfo", QStringLiteral(":/img/info.png"), QStringLiteral(" Informazioni su... "));
    imgEsci = glyph(grpContainer, "imgEsci", QStringLiteral(":/img/esci.png"), QStringLiteral(" Esci "));
    imgAccount = glyph(grpContainer, "imgAccount", QStringLiteral(":/img/email.png"),
        QStringLiteral(" Account di posta per l'invio diretto "));
    imgCopia = glyph(grpContainer, "imgCopia", QStringLiteral(":/img/copia.png"),
        QStringLiteral(" Copia di sicurezza e ripristino dei dati "));
    for (QLabel* l : { imgAccount, imgCopia, imgCopyright, imgGuida, imgInfo, imgEsci })
        bottom->addWidget(l);
    layout->addLayout(bottom);

    FormLook::onRelease(imgGuida, [this] { imgGuidaMouseUp(); });
    FormLook::onRelease(imgInfo, [this] { imgInfoMouseUp(); });
    FormLook::onRelease(imgCopyright, [this] { imgCopyrightMouseUp(); });
    FormLook::onRelease(imgEsci, [this] { imgEsciMouseUp(); });
    FormLook::onRelease(imgAccount, [this] { imgAccountMouseUp(); });
    FormLook::onRelease(imgCopia, [this] { imgCopiaMouseUp(); });
    FormLook::onRelease(lblPromemoria, [this] { imgCopiaMouseUp(); });
    FormLook::onRelease(lblWeb, [this] { lblWebMouseUp(); });
    // The web glyph beside the address is part of the same link.
    FormLook::onRelease(findChild<QLabel*>(QStringLiteral("imgWebLink")), [this] { lblWebMouseUp(); });
    // The tiles' caption bars are buttons already; these links only the
    // mouse reached.
    for (QLabel* l : { lblWeb, imgAccount, imgCopia, imgCopyright, imgGuida, imgInfo, imgEsci })
        FormLook::keyboardLink(l);

    for (Tile t : { Tile::Contatti, Tile::Gruppi, Tile::Messaggi, Tile::InvioEmail })
        updateTile(t);
    setSplashForm(nullptr);
    setMailAccountAction({});
    setBackupForm(nullptr, {});

    FormLook::centreOnResize(this, grpContainer);
}

QWidget* TfrmAvvio::makeTile(Tile tile, QLabel*& picture, QPushButton*& caption, const char* pictureName,
    const char* captionName, const QString& text, const QString& glyphName, const QString& hint)
{
    auto* column = new QWidget(grpContainer);
    auto* l = new QVBoxLayout(column);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(4);
    picture = glyph(column, pictureName, QStringLiteral(":/img/") + glyphName + QStringLiteral(".png"), hint);
    picture->setFixedSize(176, 150);
    l->addWidget(picture);
    caption = new QPushButton(text, column);
    caption->setObjectName(QLatin1String(captionName));
    caption->setToolTip(hint);
    caption->setStyleSheet(QLatin1String(tileStyle));
    caption->setFixedWidth(176);
    l->addWidget(caption);

    FormLook::onRelease(picture, [this, tile] { open(tile); });
    FormLook::onRelease(caption, [this, tile] { open(tile); });
    // The keyboard reaches the caption bars too; a mouse release never
    // emits clicked, as it is taken before the button sees it.
    connect(caption, &QPushButton::clicked, this, [this, tile] { open(tile); });
    return column;
}

void TfrmAvvio::setTileForm(Tile tile, QWidget* form)
{
    forms_[index(tile)] = form;
    updateTile(tile);
}

QWidget* TfrmAvvio::tileForm(Tile tile) const { return forms_[index(tile)]; }

void TfrmAvvio::updateTile(Tile tile)
{
    const auto parts = [](TfrmAvvio* f, Tile t) -> std::pair<QWidget*, QWidget*> {
        switch (t) {
        case Tile::Contatti:
            return { f->imgPazienti, f->btnPazienti };
        case Tile::Gruppi:
            return { f->imgAppuntamenti, f->btnAppuntamenti };
        case Tile::Messaggi:
            return { f->imgInterventi, f->btnInterventi };
        case Tile::InvioEmail:
            return { f->imgRicevute, f->btnRicevute };
        }
        return { nullptr, nullptr };
    };
    const bool enabled = forms_[index(tile)] != nullptr;
    const auto [picture, caption] = parts(this, tile);
    for (QWidget* w : { picture, caption }) {
        if (!w)
            continue;
        w->setEnabled(enabled);
        // A hand over a tile that cannot open promises what it cannot keep.
        w->setCursor(enabled ? Qt::PointingHandCursor : Qt::ArrowCursor);
    }
}

void TfrmAvvio::setSplashForm(QDialog* splash)
{
    splash_ = splash;
    imgCopyright->setEnabled(splash != nullptr);
    imgCopyright->setCursor(splash ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TfrmAvvio::setMailAccountAction(std::function<void()> action)
{
    mailAccount_ = std::move(action);
    imgAccount->setVisible(bool(mailAccount_));
    imgAccount->setCursor(Qt::PointingHandCursor);
}

void TfrmAvvio::setBackupForm(QDialog* backup, std::function<QString()> reminder)
{
    backup_ = backup;
    reminder_ = std::move(reminder);
    imgCopia->setEnabled(backup != nullptr);
    imgCopia->setCursor(backup ? Qt::PointingHandCursor : Qt::ArrowCursor);
    updateReminder();
}

void TfrmAvvio::updateReminder()
{
    const QString text = backup_ && reminder_ ? reminder_() : QString();
    lblPromemoria->setText(text);
    lblPromemoria->setVisible(!text.isEmpty());
}

void TfrmAvvio::bringBack()
{
    show();
    raise();
    activateWindow();
}

void TfrmAvvio::open(Tile tile)
{
    QWidget* form = forms_[index(tile)];
    if (!form)
        return;
    // A form that fails while showing leaves the launcher where it is.
    ErrorDisplay::guard([&] {
        form->show();
        form->raise();
        form->activateWindow();
        hide();
    });
}

void TfrmAvvio::imgPazientiMouseUp() { open(Tile::Contatti); }
void TfrmAvvio::imgAppuntamentiMouseUp() { open(Tile::Gruppi); }
void TfrmAvvio::imgInterventiMouseUp() { open(Tile::Messaggi); }
void TfrmAvvio::imgRicevuteMouseUp() { open(Tile::InvioEmail); }

void TfrmAvvio::imgGuidaMouseUp()
{
    Help::show(HelpTopics::launcher());
}

void TfrmAvvio::imgInfoMouseUp()
{
    if (about_)
        Modal::run(about_);
}

void TfrmAvvio::imgCopyrightMouseUp()
{
    if (splash_)
        Modal::run(splash_);
}

void TfrmAvvio::imgEsciMouseUp() { terminate(); }

void TfrmAvvio::imgAccountMouseUp()
{
    if (mailAccount_)
        ErrorDisplay::guard(mailAccount_);
}

void TfrmAvvio::imgCopiaMouseUp()
{
    if (!backup_)
        return;
    Modal::run(backup_);
    updateReminder();
}

void TfrmAvvio::lblWebMouseUp() { Maker::openWebPage(); }

void TfrmAvvio::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TfrmAvvio::FormShow()
{
    const QIcon sfondo = btnSfondo->icon();
    const QList<QSize> sizes = sfondo.availableSizes();
    FormLook::tileBackground(this, sfondo.pixmap(sizes.isEmpty() ? QSize(48, 48) : sizes.first()));

    // The strip starts afresh at every showing.
    QMovie* previous = movie_;
    imgAnimata->clear();
    movie_ = new QMovie(QStringLiteral(":/img/striscia.gif"), QByteArray(), this);
    movie_->setCacheMode(QMovie::CacheAll);
    imgAnimata->setMovie(movie_);
    delete previous;
    movie_->start();
    updateReminder();
}

void TfrmAvvio::hideEvent(QHideEvent* event)
{
    // Nobody sees the strip while the launcher is hidden.
    if (movie_)
        movie_->stop();
    QWidget::hideEvent(event);
}

void TfrmAvvio::closeEvent(QCloseEvent* event)
{
    event->accept();
    terminate();
}

void TfrmAvvio::terminate()
{
    // Ends the event loop as it is: hidden forms are not asked to close,
    // so the editors do not bring the launcher back on their way out.
    QCoreApplication::exit(0);
}
