#include "shell/frm_avvio.h"
#include "shell/frm_help_form.h"
#include "shell/frm_info.h"
#include "shell/help_topics.h"
#include "ui/help.h"
#include "support/test_seams.h"
#include "ui/modal.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMovie>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

QWidget* part(TfrmAvvio& f, const QString& name) { return f.findChild<QWidget*>(name); }

} // namespace

class TestLauncher : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void tileOpensItsForm_data();
    void tileOpensItsForm();
    void tileWithoutFormDoesNothing_data();
    void tileWithoutFormDoesNothing();
    void captionBarOpensFromKeyboard();
    void helpShowsOverview();
    void infoRunsAboutWindow();
    void copyrightNeedsSplash();
    void webLinkOpensMakerPage();
    void showingStartsStripAndTilesBackground();
    void containerCentred_data();
    void containerCentred();

private:
    std::unique_ptr<TfrmAvvio> launcher_;
    QList<QDialog*> modals_;
};

void TestLauncher::init()
{
    launcher_ = std::make_unique<TfrmAvvio>();
    launcher_->setWindowState(Qt::WindowNoState);
    launcher_->show();
    modals_.clear();
    Modal::install([this](QDialog* d) {
        modals_ << d;
        return int(QDialog::Accepted);
    });
}

void TestLauncher::cleanup()
{
    Modal::install({});
    launcher_.reset();
}

void TestLauncher::tileOpensItsForm_data()
{
    QTest::addColumn<int>("tile");
    QTest::addColumn<QString>("control");
    QTest::addColumn<Qt::MouseButton>("button");
    const struct {
        TfrmAvvio::Tile tile;
        const char* picture;
        const char* caption;
    } tiles[] = { { TfrmAvvio::Tile::Contatti, "imgPazienti", "btnPazienti" },
        { TfrmAvvio::Tile::Gruppi, "imgAppuntamenti", "btnAppuntamenti" },
        { TfrmAvvio::Tile::Messaggi, "imgInterventi", "btnInterventi" },
        { TfrmAvvio::Tile::InvioEmail, "imgRicevute", "btnRicevute" } };
    for (const auto& t : tiles) {
        for (const char* control : { t.picture, t.caption }) {
            QTest::addRow("%s left", control) << int(t.tile) << QString::fromLatin1(control) << Qt::LeftButton;
            QTest::addRow("%s right", control) << int(t.tile) << QString::fromLatin1(control) << Qt::RightButton;
        }
    }
    QTest::addRow("imgPazienti middle") << int(TfrmAvvio::Tile::Contatti) << QStringLiteral("imgPazienti")
                                        << Qt::MiddleButton;
}

void TestLauncher::tileOpensItsForm()
{
    QFETCH(int, tile);
    QFETCH(QString, control);
    QFETCH(Qt::MouseButton, button);

    QWidget editor;
    launcher_->setTileForm(TfrmAvvio::Tile(tile), &editor);
    QWidget* w = part(*launcher_, control);
    QVERIFY(w && w->isEnabled());

    QTest::mousePress(w, button);
    QTest::mouseRelease(w, button);

    QVERIFY(editor.isVisible());
    QVERIFY(!launcher_->isVisible());
}

void TestLauncher::tileWithoutFormDoesNothing_data()
{
    QTest::addColumn<QString>("control");
    for (const char* name :
        { "imgAppuntamenti", "btnAppuntamenti", "imgInterventi", "btnInterventi", "imgRicevute", "btnRicevute" })
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestLauncher::tileWithoutFormDoesNothing()
{
    QFETCH(QString, control);
    QWidget editor;
    launcher_->setTileForm(TfrmAvvio::Tile::Contatti, &editor);
    QWidget* w = part(*launcher_, control);
    QVERIFY(!w->isEnabled());
    QVERIFY(!w->toolTip().isEmpty()); // the hint stays for a tile still to come

    QTest::mouseClick(w, Qt::LeftButton);
    QTest::mouseClick(w, Qt::RightButton);
    QVERIFY(launcher_->isVisible());
    QVERIFY(!editor.isVisible());
}

void TestLauncher::captionBarOpensFromKeyboard()
{
    QWidget editor;
    launcher_->setTileForm(TfrmAvvio::Tile::Contatti, &editor);
    launcher_->btnPazienti->click();
    QVERIFY(editor.isVisible());
    QVERIFY(!launcher_->isVisible());

    // A mouse click opens it once, not once for the release and once more
    // for the button's own click.
    int shows = 0;
    QWidget other;
    struct Counter : QObject {
        int* n;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Show)
                ++*n;
            return false;
        }
    } counter;
    counter.n = &shows;
    other.installEventFilter(&counter);
    launcher_->setTileForm(TfrmAvvio::Tile::Gruppi, &other);
    launcher_->show();
    QSignalSpy clicked(launcher_->btnAppuntamenti, &QPushButton::clicked);
    QTest::mouseClick(launcher_->btnAppuntamenti, Qt::LeftButton);
    QCOMPARE(shows, 1);
    QCOMPARE(clicked.count(), 0);
}

void TestLauncher::helpShowsOverview()
{
    TfrmHelpForm help;
    Help::install([&help](const HelpTopic& t) { help.showTopic(t.title, t.text); });
    QTest::mouseClick(launcher_->imgGuida, Qt::RightButton);
    Help::install({});

    QCOMPARE(modals_, QList<QDialog*> { &help });
    QCOMPARE(help.panTitle->text(), QStringLiteral("Uno sguardo a Velmaro"));
    QCOMPARE(help.memTopic->toPlainText(), HelpTopics::launcher().text.replace(QStringLiteral("\r\n"), "\n"));
    QVERIFY(launcher_->isVisible());
}

void TestLauncher::infoRunsAboutWindow()
{
    TfrmInfo info;
    launcher_->setAboutForm(&info);
    QTest::mouseClick(launcher_->imgInfo, Qt::LeftButton);
    launcher_->setAboutForm(nullptr);
    QCOMPARE(modals_, QList<QDialog*> { &info });
}

void TestLauncher::copyrightNeedsSplash()
{
    QVERIFY(!launcher_->imgCopyright->isEnabled());
    QVERIFY(!launcher_->imgCopyright->toolTip().isEmpty());
    QTest::mouseClick(launcher_->imgCopyright, Qt::LeftButton);
    QVERIFY(modals_.isEmpty());

    QDialog splash;
    launcher_->setSplashForm(&splash);
    QTest::mouseClick(launcher_->imgCopyright, Qt::RightButton);
    QCOMPARE(modals_, QList<QDialog*> { &splash });
}

void TestLauncher::webLinkOpensMakerPage()
{
    RecordingDesktop desktop;
    ScriptedDialogs dialogs;
    desktop.openResult = false; // the answer is not looked at
    QTest::mouseClick(launcher_->lblWeb, Qt::LeftButton);
    QCOMPARE(desktop.opened, QStringList { QStringLiteral("https://www.velmaro.example") });
    QCOMPARE(dialogs.count(), 0);
    QVERIFY(!QApplication::overrideCursor());
}

void TestLauncher::showingStartsStripAndTilesBackground()
{
    QMovie* first = launcher_->imgAnimata->movie();
    QVERIFY(first);
    QVERIFY(first->isValid());
    QVERIFY(first->frameCount() > 1);
    QCOMPARE(first->state(), QMovie::Running);
    QVERIFY(!launcher_->palette().brush(QPalette::Window).texture().isNull());

    launcher_->hide();
    launcher_->show();
    QMovie* second = launcher_->imgAnimata->movie();
    QVERIFY(second && second != first);
    QCOMPARE(second->state(), QMovie::Running);
    QCOMPARE(second->currentFrameNumber(), 0);
}

void TestLauncher::containerCentred_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("minimum") << QSize(800, 582);
    QTest::newRow("odd") << QSize(1001, 701);
    QTest::newRow("wide") << QSize(1920, 1040);
}

void TestLauncher::containerCentred()
{
    QFETCH(QSize, size);
    launcher_->resize(size);
    QCoreApplication::processEvents();
    const QWidget* box = launcher_->grpContainer;
    QCOMPARE(box->pos(), QPoint(size.width() / 2 - box->width() / 2 - 4, size.height() / 2 - box->height() / 2 - 18));
    // At the smallest size the whole container is still in the window.
    QVERIFY(launcher_->rect().contains(box->geometry()));
}

QTEST_MAIN(TestLauncher)
#include "test_launcher.moc"
