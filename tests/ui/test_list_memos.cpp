// Every list memo of the program (a group's names and addresses, a message
// card's recipients, both lists of the send form) takes pasted lines the same
// way: one line, entries kept apart.
#include "groups/frm_gruppi.h"
#include "mail/frm_invia_email.h"
#include "mail/mail_recorder.h"
#include "messages/frm_newsletter.h"
#include "support/test_seams.h"
#include "ui/list_paste.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {
QWidget* focused() { return QApplication::focusWidget(); }
} // namespace

class TestListMemos : public QObject {
    Q_OBJECT

private slots:
    void insertion_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("inserted");
        QTest::newRow("one line unchanged") << "anna@x.it"
                                            << " uno@e.it "
                                            << ""
                                            << ","
                                            << " uno@e.it ";
        QTest::newRow("lines after an address") << "anna1@esposito.it"
                                                << "uno@example.it\r\ndue@example.it\r\n"
                                                << ""
                                                << ","
                                                << ",uno@example.it,due@example.it";
        QTest::newRow("lines after a name") << "Esposito Anna"
                                            << "Mario Uno\n"
                                            << ""
                                            << ", "
                                            << ", Mario Uno";
        QTest::newRow("text already ends with one") << "a@x.it,"
                                                    << "b@y.it\nc@z.it"
                                                    << ""
                                                    << ","
                                                    << "b@y.it,c@z.it";
        QTest::newRow("names ending with the separator") << "Anna, "
                                                         << "Mario\nLuca"
                                                         << ""
                                                         << ", "
                                                         << "Mario, Luca";
        QTest::newRow("before an entry") << ""
                                         << "b@y.it\nc@z.it\n"
                                         << "a@x.it"
                                         << ","
                                         << "b@y.it,c@z.it,";
        QTest::newRow("between two entries") << "a@x.it,"
                                             << "b@y.it\nc@z.it"
                                             << ",d@w.it"
                                             << ","
                                             << "b@y.it,c@z.it";
        QTest::newRow("lines ending with separators") << ""
                                                      << "a@x.it,\r\nb@y.it,\r\n"
                                                      << ""
                                                      << ","
                                                      << "a@x.it,b@y.it";
        QTest::newRow("names, blanks and empty lines") << ""
                                                       << " Rossi Mario \n\n\tBianchi Anna\r"
                                                       << ""
                                                       << ", "
                                                       << "Rossi Mario, Bianchi Anna";
        QTest::newRow("paragraph separator") << "" << QString("a@x") + QChar(0x2029) + "b@y"
                                             << ""
                                             << ","
                                             << "a@x,b@y";
        QTest::newRow("only line breaks") << "a@x.it"
                                          << "\r\n\n"
                                          << ""
                                          << ","
                                          << "";
    }

    void insertion()
    {
        QFETCH(QString, before);
        QFETCH(QString, pasted);
        QFETCH(QString, after);
        QFETCH(QString, separator);
        QFETCH(QString, inserted);
        QCOMPARE(ListPaste::insertion(before, pasted, after, separator), inserted);
    }

    // Typed and pasted as a user does, into whatever has the focus.
    void pasteIntoEveryList_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("shown");
        const QString addresses = QStringLiteral("uno@example.it\r\ndue@example.it\r\n");
        QTest::newRow("group names") << "groups"
                                     << "txtDestinatari"
                                     << "Esposito Anna"
                                     << "Mario Uno\r\nLuca Due\r\n"
                                     << "Esposito Anna, Mario Uno, Luca Due";
        QTest::newRow("group addresses") << "groups"
                                         << "txtEmail"
                                         << "anna1@esposito.it" << addresses
                                         << "anna1@esposito.it,uno@example.it,due@example.it";
        QTest::newRow("message recipients")
            << "messages"
            << "txtEmail"
            << "anna1@esposito.it" << addresses << "anna1@esposito.it,uno@example.it,due@example.it";
        QTest::newRow("send form names") << "send"
                                         << "txtDestinatari"
                                         << "Esposito Anna"
                                         << "Mario Uno\n"
                                         << "Esposito Anna,Mario Uno";
        QTest::newRow("send form addresses")
            << "send"
            << "txtEmail"
            << "anna1@esposito.it," << addresses << "anna1@esposito.it,uno@example.it,due@example.it";
    }

    void pasteIntoEveryList()
    {
        QFETCH(QString, form);
        QFETCH(QString, memo);
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QFETCH(QString, shown);
        TempDataDir dir;
        ScriptedDialogs dialogs;
        MailRecorder mail;
        std::unique_ptr<QWidget> window;
        if (form == "groups")
            window = std::make_unique<TfrmGruppi>();
        else if (form == "messages")
            window = std::make_unique<TfrmNewsletter>();
        else
            window = std::make_unique<TfrmInviaEmail>();
        QVERIFY(showActive(window.get()));
        auto* m = window->findChild<QPlainTextEdit*>(memo);
        QVERIFY(m);
        m->setFocus();
        QTest::keyClicks(focused(), typed);
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(focused(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m->toPlainText(), shown);

        // What the list is for gets it as one line: the stored card, the sent
        // message.
        auto set = [&](const char* name, const QString& text) {
            auto* w = window->findChild<QWidget*>(QLatin1String(name));
            if (auto* e = qobject_cast<QLineEdit*>(w))
                e->setText(text);
            else
                qobject_cast<QPlainTextEdit*>(w)->setPlainText(text);
        };
        if (form == "messages") {
            set("txtEmailMitt", "m@x.it");
            set("txtTesto", "Testo");
            window->findChild<QToolButton*>("cmdSalva")->click();
            const qint32 id = window->findChild<QLabel*>("lblPosizione")->text().toInt();
            QCOMPARE(TestCards::stored(ArchiveKind::Messages, id, "varEmail"), shown.toLatin1());
        } else if (form == "send") {
            set("txtEmailMitt", "m@x.it");
            set("txtTesto", "Testo");
            if (memo == "txtDestinatari")
                set("txtEmail", "a@x.it");
            QTest::mouseClick(window->findChild<QWidget*>("btnEmail"), Qt::LeftButton);
            QCOMPARE(mail.count(), 1);
            const MapiRecipDesc& to = mail.last().recipients.value(0);
            QCOMPARE(memo == "txtEmail" ? to.lpszAddress : to.lpszName, shown);
        }
    }
};

QTEST_MAIN(TestListMemos)
#include "test_list_memos.moc"
