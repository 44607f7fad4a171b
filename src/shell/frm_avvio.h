#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

class QDialog;
class QGroupBox;
class QLabel;
class QMovie;
class QPushButton;

// The launcher: opens the archive editors and the send form, the help
// topic, the about window and the maker's web page. Closing it ends the
// program.
class TfrmAvvio : public QWidget {
    Q_OBJECT
public:
    // The four tiles, each a picture and a caption bar under it.
    enum class Tile { Contatti, Gruppi, Messaggi, InvioEmail };

    explicit TfrmAvvio(QWidget* parent = nullptr);

    // The form a tile opens. A tile without a form is shown disabled.
    void setTileForm(Tile tile, QWidget* form);
    QWidget* tileForm(Tile tile) const;
    // The splash window imgCopyright shows modally; disabled without one.
    void setSplashForm(QDialog* splash);
    // The about window imgInfo shows modally.
    void setAboutForm(QDialog* about) { about_ = about; }
    // What imgAccount does (the mail account window); hidden without it.
    void setMailAccountAction(std::function<void()> action);
    // The backup window imgCopia (and the reminder under the tiles) shows
    // modally; reminder() says whether a backup is due. Without a window the
    // icon is disabled and no reminder shows.
    void setBackupForm(QDialog* backup, std::function<QString()> reminder);

    // Shows the launcher again (visible, in front).
    void bringBack();

    QGroupBox* grpContainer = nullptr;
    QLabel* imgAnimata = nullptr;
    QLabel* titUtente = nullptr;
    QLabel* lblSlogan = nullptr;
    QLabel* imgPazienti = nullptr;
    QPushButton* btnPazienti = nullptr;
    QLabel* imgAppuntamenti = nullptr;
    QPushButton* btnAppuntamenti = nullptr;
    QLabel* imgInterventi = nullptr;
    QPushButton* btnInterventi = nullptr;
    QLabel* imgRicevute = nullptr;
    QPushButton* btnRicevute = nullptr;
    QLabel* imgGuida = nullptr;
    QLabel* imgInfo = nullptr;
    QLabel* imgCopyright = nullptr;
    QLabel* imgEsci = nullptr;
    QLabel* imgAccount = nullptr;
    QLabel* imgCopia = nullptr;
    QLabel* lblPromemoria = nullptr;
    QLabel* lblWeb = nullptr;
    QPushButton* btnSfondo = nullptr;

public slots:
    void imgPazientiMouseUp();
    void imgAppuntamentiMouseUp();
    void imgInterventiMouseUp();
    void imgRicevuteMouseUp();
    void imgGuidaMouseUp();
    void imgInfoMouseUp();
    void imgCopyrightMouseUp();
    void imgEsciMouseUp();
    void imgAccountMouseUp();
    void imgCopiaMouseUp();
    void lblWebMouseUp();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();
    void open(Tile tile);
    QWidget* makeTile(Tile tile, QLabel*& picture, QPushButton*& caption, const char* pictureName,
        const char* captionName, const QString& text, const QString& glyph, const QString& hint);
    void updateTile(Tile tile);
    static void terminate();

    QPointer<QWidget> forms_[4];
    void updateReminder();

    QPointer<QDialog> splash_;
    QPointer<QDialog> about_;
    std::function<void()> mailAccount_;
    QPointer<QDialog> backup_;
    std::function<QString()> reminder_;
    QMovie* movie_ = nullptr;
};

extern TfrmAvvio* frmAvvio;
