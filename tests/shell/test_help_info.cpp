#include "archives/archive_registry.h"
#include "mail/frm_invia_email.h"
#include "shell/frm_help_form.h"
#include "shell/frm_info.h"
#include "shell/help_topics.h"
#include "storage/app_paths.h"
#include "support/test_seams.h"
#include "ui/modal.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QtTest>

namespace {

const QColor navy(0, 0, 128);

// The help topic of an archive's editor.
HelpTopic editorHelp(ArchiveKind kind)
{
    const ArchiveDefinition& d = Archives::get(kind);
    return { d.helpTitle, Help::paragraphs(d.helpParagraphs) };
}

QColor colourOf(const QLabel* l) { return l->palette().color(QPalette::WindowText); }

// A plain mouse move over w, delivered as the system would: what w ignores
// goes on to its parents. Windows are entered at a corner their children
// leave free; other widgets in the middle.
void moveOver(QWidget* w)
{
    const QPointF pos = w->isWindow() ? QPointF(2, w->height() - 2) : QPointF(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent move(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

} // namespace

class TestHelpInfo : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void topicsAreParagraphs_data();
    void topicsAreParagraphs();
    void showTopicFillsAndRunsModally();
    void pdfLinkOpensManual_data();
    void pdfLinkOpensManual();
    void pdfLinkHover_data();
    void pdfLinkHover();

    void versionShown();
    void dataFolderShown();
    void mailTextUnencoded();
    void mailLink_data();
    void mailLink();
    void webLinkIgnoresAnswer();
    void infoHover_data();
    void infoHover();

private:
    QList<QDialog*> modals_;
};

void TestHelpInfo::init()
{
    modals_.clear();
    Modal::install([this](QDialog* d) {
        modals_ << d;
        return int(QDialog::Accepted);
    });
}

void TestHelpInfo::cleanup()
{
    Modal::install({});
    AppPaths::setInstallFolders({}, {});
}

void TestHelpInfo::topicsAreParagraphs_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QList<HelpTopic> topics { HelpTopics::launcher(), TfrmInviaEmail::helpTopic() };
    for (const ArchiveDefinition* d : Archives::all())
        topics << editorHelp(d->kind);
    for (const HelpTopic& t : topics)
        QTest::newRow(qPrintable(t.title)) << t.title << t.text;
}

void TestHelpInfo::topicsAreParagraphs()
{
    QFETCH(QString, title);
    QFETCH(QString, text);
    QVERIFY(!title.contains(QLatin1Char('\n')));
    const QStringList paragraphs = text.split(QStringLiteral("\r\n\r\n"));
    QVERIFY(paragraphs.size() >= 5);
    for (const QString& p : paragraphs) {
        QVERIFY2(!p.isEmpty() && p == p.trimmed(), qPrintable(p));
        QVERIFY2(!p.contains(QLatin1Char('\n')) && !p.contains(QLatin1Char('\r')), qPrintable(p));
    }
}

void TestHelpInfo::showTopicFillsAndRunsModally()
{
    TfrmHelpForm help;
    help.showTopic(QStringLiteral("Titolo"), QStringLiteral("Primo.\r\n\r\nSecondo, con \"virgolette\"."));
    QCOMPARE(modals_, QList<QDialog*> { &help });
    QCOMPARE(help.panTitle->text(), QStringLiteral("Titolo"));
    QCOMPARE(help.memTopic->toPlainText(), QStringLiteral("Primo.\n\nSecondo, con \"virgolette\"."));
    QVERIFY(help.memTopic->isReadOnly());

    const HelpTopic contacts = editorHelp(ArchiveKind::Contacts);
    help.showTopic(contacts.title, contacts.text);
    QCOMPARE(help.panTitle->text(), QStringLiteral("Gestione rubrica contatti"));
    QCOMPARE(help.memTopic->document()->blockCount(), 2 * contacts.text.count(QStringLiteral("\r\n\r\n")) + 1);
}

void TestHelpInfo::pdfLinkOpensManual_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("present");
    QTest::addColumn<bool>("shellAnswer");
    QTest::addColumn<QString>("message"); // empty: none
    QTest::newRow("label") << "lblPDF" << Qt::LeftButton << true << true << "";
    QTest::newRow("picture") << "imgPDF" << Qt::LeftButton << true << true << "";
    QTest::newRow("right button") << "lblPDF" << Qt::RightButton << true << true << "";
    QTest::newRow("no viewer") << "imgPDF" << Qt::LeftButton << true << false
                               << "Impossibile aprire il manuale Guida.pdf: nessun programma per visualizzare i "
                                  "file PDF \u00e8 installato.";
    QTest::newRow("file missing") << "lblPDF" << Qt::LeftButton << false << true
                                  << "Il manuale Guida.pdf non si trova nella cartella del programma n\u00e9 in "
                                     "quella della documentazione:\n%1\n%2";
}

void TestHelpInfo::pdfLinkOpensManual()
{
    QFETCH(QString, control);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, present);
    QFETCH(bool, shellAnswer);
    QFETCH(QString, message);
    // The manual beside the program; the documentation folder has none.
    TempDataDir dir;
    const QString docs = dir.file(QStringLiteral("doc"));
    AppPaths::setInstallFolders(dir.path(), docs);
    const QString manual = dir.file(QStringLiteral("Guida.pdf"));
    if (present) {
        QFile f(manual);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("%PDF-1.4\n");
    }
    RecordingDesktop desktop;
    ScriptedDialogs dialogs;
    desktop.openResult = shellAnswer;
    TfrmHelpForm help;
    QTest::mouseClick(help.findChild<QWidget*>(control), button);
    QCOMPARE(desktop.opened, present ? QStringList { manual } : QStringList {});
    if (message.isEmpty()) {
        QCOMPARE(dialogs.count(), 0);
    } else {
        QCOMPARE(dialogs.kinds(), QStringList { "message" });
        QCOMPARE(dialogs.last().text, message.contains("%1") ? message.arg(dir.path(), docs) : message);
    }
    QVERIFY(!QApplication::overrideCursor());
}

void TestHelpInfo::pdfLinkHover_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("idle") << QStringList {} << QColor(Qt::white);
    QTest::newRow("label") << QStringList { "lblPDF" } << QColor(Qt::red);
    QTest::newRow("picture") << QStringList { "imgPDF" } << QColor(Qt::red);
    QTest::newRow("label then memo") << QStringList { "lblPDF", "memTopic" } << QColor(Qt::white);
    QTest::newRow("picture then title") << QStringList { "imgPDF", "panTitle" } << QColor(Qt::white);
    QTest::newRow("title then label") << QStringList { "panTitle", "lblPDF" } << QColor(Qt::red);
}

void TestHelpInfo::pdfLinkHover()
{
    QFETCH(QStringList, path);
    QFETCH(QColor, colour);
    TfrmHelpForm help;
    help.show();
    for (const QString& name : path) {
        QWidget* w = help.findChild<QWidget*>(name);
        if (auto* memo = qobject_cast<QPlainTextEdit*>(w))
            w = memo->viewport();
        moveOver(w);
    }
    QCOMPARE(colourOf(help.lblPDF), colour);
}

void TestHelpInfo::versionShown()
{
    TfrmInfo info;
    auto* version = info.findChild<QLabel*>(QStringLiteral("lblVersione"));
    QVERIFY(version);
    QCOMPARE(version->text(), QStringLiteral("Versione " VELMARO_EXPECTED_VERSION));
}

void TestHelpInfo::dataFolderShown()
{
    TfrmInfo info;
    TempDataDir first;
    info.show();
    QCOMPARE(info.lblDati->text(), QStringLiteral("Dati in: ") + first.path());
    info.hide();
    TempDataDir second;
    info.show();
    QCOMPARE(info.lblDati->text(), QStringLiteral("Dati in: ") + second.path());
    info.hide();
    // A long path wraps, and the box grows instead of cutting the texts.
    const int shortHeight = info.height();
    const QString deep = second.path() + QString(QStringLiteral("/cartella condivisa dell'ufficio")).repeated(4);
    AppPaths::setDataDir(deep);
    info.show();
    QCOMPARE(info.lblDati->text(), QStringLiteral("Dati in: ") + deep);
    QVERIFY(info.height() > shortHeight);
    QVERIFY(info.height() >= info.layout()->totalHeightForWidth(info.width()));
}

void TestHelpInfo::mailTextUnencoded()
{
    QCOMPARE(TfrmInfo::mailText(),
        QStringLiteral("mailto:info@velmaro.example?subject=Software Velmaro&body=Salve, desidererei avere "
                       "le seguenti informazioni sul software in oggetto:"));
}

void TestHelpInfo::mailLink_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("shellAnswer");
    QTest::newRow("label, opened") << "lblEmail" << true;
    QTest::newRow("picture, opened") << "imgEmail" << true;
    QTest::newRow("label, refused") << "lblEmail" << false;
    QTest::newRow("picture, refused") << "imgEmail" << false;
}

void TestHelpInfo::mailLink()
{
    QFETCH(QString, control);
    QFETCH(bool, shellAnswer);
    RecordingDesktop desktop;
    ScriptedDialogs dialogs;
    desktop.openResult = shellAnswer;
    TfrmInfo info;
    info.show();
    QTest::mouseClick(info.findChild<QWidget*>(control), Qt::LeftButton);

    QCOMPARE(desktop.opened, QStringList { TfrmInfo::mailText() });
    if (shellAnswer) {
        QCOMPARE(dialogs.count(), 0);
    } else {
        QCOMPARE(dialogs.kinds(), QStringList { "message" });
        QCOMPARE(dialogs.last().text, QStringLiteral("Invio e-mail non riuscito."));
    }
    QVERIFY(info.isVisible());
    QVERIFY(!QApplication::overrideCursor());
}

void TestHelpInfo::webLinkIgnoresAnswer()
{
    RecordingDesktop desktop;
    ScriptedDialogs dialogs;
    desktop.openResult = false;
    TfrmInfo info;
    QTest::mouseClick(info.lblWeb, Qt::LeftButton);
    QTest::mouseClick(info.imgWeb, Qt::RightButton);
    QCOMPARE(desktop.opened, QStringList(2, QStringLiteral("https://www.velmaro.example")));
    QCOMPARE(dialogs.count(), 0);
}

void TestHelpInfo::infoHover_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QColor>("email");
    QTest::addColumn<QColor>("web");
    QTest::newRow("idle") << QStringList {} << navy << navy;
    QTest::newRow("mail label") << QStringList { "lblEmail" } << QColor(Qt::red) << navy;
    QTest::newRow("mail picture") << QStringList { "imgEmail" } << QColor(Qt::red) << navy;
    QTest::newRow("web label") << QStringList { "lblWeb" } << navy << QColor(Qt::red);
    QTest::newRow("mail then web") << QStringList { "imgEmail", "imgWeb" } << navy << QColor(Qt::red);
    QTest::newRow("web then box") << QStringList { "lblWeb", "grpInfo" } << navy << navy;
    QTest::newRow("mail then form") << QStringList { "lblEmail", "frmInfo" } << navy << navy;
}

void TestHelpInfo::infoHover()
{
    QFETCH(QStringList, path);
    QFETCH(QColor, email);
    QFETCH(QColor, web);
    TfrmInfo info;
    info.show();
    for (const QString& name : path)
        moveOver(name == info.objectName() ? &info : info.findChild<QWidget*>(name));
    QCOMPARE(colourOf(info.lblEmail), email);
    QCOMPARE(colourOf(info.lblWeb), web);
}

QTEST_MAIN(TestHelpInfo)
#include "test_help_info.moc"
