#include "mail/mail_backend.h"
#include "mail/mapi_mail.h"
#include "mail/private_send.h"
#include "mail/unsubscribe.h"
#include "support/test_seams.h"
#include "ui/error_display.h"
#include "parsed_message.h"
#include "mail_test_helpers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

// The system back end against fake sendmail and xdg-email programs written
// here: each saves what it was given and exits with a status read from a
// file, so no test ever reaches a real mail program.
namespace {

using ParsedMail::Message;
using ParsedMail::parse;

const QString kProblem = QStringLiteral("Il messaggio e-mail corrente non è stato inviato.\n\n"
                                        "Problema riscontrato: %1.");

} // namespace

class TestMailBackend : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    TempDataDir data_; // settings and lists of the run, not beside the test program
    QString bin(const QString& name) const { return dir_.filePath(QStringLiteral("bin/") + name); }
    QString file(const QString& name) const { return dir_.filePath(name); }

    void writeScript(const QString& path, const QByteArray& body)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nD='" + QFile::encodeName(dir_.path()) + "'\n" + body);
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void setStatus(const char* name, int status)
    {
        QFile f(file(QString::fromLatin1(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::number(status));
    }

    QByteArray saved(const char* name) const
    {
        QFile f(file(QString::fromLatin1(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QStringList clientArgs() const
    {
        QStringList out;
        for (const QByteArray& a : saved("client-args").split('\0'))
            out << QString::fromUtf8(a);
        if (!out.isEmpty())
            out.removeLast(); // after the final NUL
        return out;
    }

    QByteArray writeAttachment(const QString& name, int size)
    {
        QByteArray bytes(size, '\0');
        for (int i = 0; i < size; ++i)
            bytes[i] = char(i < 256 ? i : int(QRandomGenerator::global()->bounded(256)));
        QFile f(file(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return bytes;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QDir().mkpath(dir_.filePath("bin"));
        writeScript(bin("sendmail"),
            "printf '%s\\n' \"$@\" > \"$D/args\"\n"
            "cat > \"$D/message\"\n"
            "exit $(cat \"$D/status\")\n");
        // Exits at once without reading its input.
        writeScript(bin("sendmail-early"), "exit $(cat \"$D/status\")\n");
        writeScript(bin("sendmail-crash"), "kill -SEGV $$\n");
        writeScript(bin("xdg-email"),
            "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$D/client-args\"\n"
            "exit $(cat \"$D/client-status\")\n");
        // Lets go of the test's output at once, so that nothing waits for it.
        writeScript(bin("xdg-email-slow"), "exec >/dev/null 2>&1\nsleep 1\n");
        // One file per message; refuses (67) the address written in "fail".
        writeScript(bin("sendmail-each"),
            "m=$(mktemp \"$D/out/XXXXXX\")\n"
            "cat > \"$m\"\n"
            "f=$(cat \"$D/fail\" 2>/dev/null)\n"
            "if [ -n \"$f\" ] && grep -qx \"To: $f\" \"$m\"; then rm \"$m\"; exit 67; fi\n");
        writeScript(bin("sendmail-stuck"), "exec 2>/dev/null\ncat > /dev/null\nexec sleep 30\n");
        // Says why it fails where only a terminal would show it, as msmtp
        // does without a sender in its account.
        writeScript(bin("sendmail-noisy"),
            "cat > /dev/null\n"
            "echo 'sendmail: envelope-from address is missing' >&2\n"
            "exit 78\n");
    }

    void init()
    {
        qputenv("VELMARO_SENDMAIL", bin("sendmail").toLocal8Bit());
        qputenv("VELMARO_XDG_EMAIL", bin("xdg-email").toLocal8Bit());
        setStatus("status", 0);
        setStatus("client-status", 0);
        QFile::remove(file("message"));
        QFile::remove(file("args"));
        QFile::remove(file("client-args"));
        QFile::remove(file("fail"));
        QDir(file("out")).removeRecursively();
        QDir().mkpath(file("out"));
    }

    void messageReadsBack()
    {
        const QByteArray bytes = writeAttachment(QStringLiteral("listino è.bin"), 70000);
        const QString body = QStringLiteral("Gentile cliente,\r\nil listino è allegato.\n\n. \n.\nSaluti");
        QCOMPARE(SendMapiMessage("", "anna@esempio.it,bruno@esempio.it, carla@esempio.it,", "Nicolò Bianchi",
                     "nicolo@velmaro.it", "Novità di primavera: perché aspettare?", body,
                     file(QStringLiteral("listino è.bin")), false),
            0);
        QCOMPARE(saved("args"), QByteArray("-t\n-i\n"));
        const Message m = parse(saved("message"));
        QCOMPARE(m.to, QStringList({ "anna@esempio.it", "bruno@esempio.it", "carla@esempio.it" }));
        QCOMPARE(m.from, QStringLiteral("nicolo@velmaro.it"));
        QCOMPARE(m.fromName, QStringLiteral("Nicolò Bianchi"));
        QCOMPARE(m.subject, QStringLiteral("Novità di primavera: perché aspettare?"));
        QCOMPARE(m.text, QStringLiteral("Gentile cliente,\nil listino è allegato.\n\n. \n.\nSaluti"));
        QCOMPARE(m.attachmentName, QStringLiteral("listino è.bin"));
        QCOMPARE(m.attachment, bytes);
        QVERIFY(m.hasDate);
        QVERIFY(m.hasMessageId);
        QVERIFY(saved("message").contains("Content-Type: text/plain; charset=utf-8"));
    }

    void fallbacksReadBack()
    {
        writeAttachment(QStringLiteral("a.txt"), 10);
        QCOMPARE(SendMapiMessage("", "a@x.it", "", "m@x.it", "", "", file("a.txt"), false), 0);
        const Message m = parse(saved("message"));
        QCOMPARE(m.subject, QStringLiteral("<Nessun oggetto>"));
        QCOMPARE(m.text, QStringLiteral("Si prega di visualizzare il file allegato."));
        QCOMPARE(m.from, QStringLiteral("m@x.it"));
        QCOMPARE(m.fromName, QString()); // the bare address, not repeated as a name
    }

    void namedAndInternationalEntries()
    {
        QCOMPARE(SendMapiMessage("", "Bruno Rossì <bruno@x.it>,\"Carla\" <c@x.it>,luca@città.it", "", "m@x.it", "S",
                     "T", "", false),
            0);
        const QByteArray raw = saved("message");
        QVERIFY(raw.contains("luca@xn--citt-3na.it"));
        QVERIFY(!raw.left(raw.indexOf("\n\n")).contains("\xC3")); // headers stay 7-bit
        const Message m = parse(raw);
        QCOMPARE(m.to.size(), 3);
        QCOMPARE(m.to.first(), QStringLiteral("bruno@x.it"));
    }

    void longListIsFolded()
    {
        QStringList addresses;
        for (int i = 0; i < 3000; ++i)
            addresses << QStringLiteral("iscritto.numero%1@esempio-newsletter.it").arg(i);
        QCOMPARE(SendMapiMessage("", addresses.join(','), "", "m@x.it", "S", "T", "", false), 0);
        const QByteArray raw = saved("message");
        const Message m = parse(raw);
        QCOMPARE(m.to, addresses);
        for (const QByteArray& line : m.headers.split('\n'))
            QVERIFY2(line.size() <= 78, line.constData());
    }

    void headerInjection_data()
    {
        QTest::addColumn<QString>("senderName");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("addresses");
        QTest::addColumn<QString>("problem"); // empty: sent
        QTest::newRow("subject") << ""
                                 << "Saldi\r\nBcc: spia@evil.it"
                                 << "a@x.it"
                                 << "";
        QTest::newRow("sender name") << "Mario\nBcc: spia@evil.it"
                                     << "S"
                                     << "a@x.it"
                                     << "";
        QTest::newRow("address list") << ""
                                      << "S"
                                      << "a@x.it\r\nBcc: spia@evil.it"
                                      << "destinatari non validi";
        QTest::newRow("blank inside an address") << ""
                                                 << "S"
                                                 << "a@x.it,mario rossi@x.it"
                                                 << "destinatari non validi";
        QTest::newRow("only commas") << ""
                                     << "S"
                                     << ",,"
                                     << "destinatari non validi";
    }

    void headerInjection()
    {
        QFETCH(QString, senderName);
        QFETCH(QString, subject);
        QFETCH(QString, addresses);
        QFETCH(QString, problem);
        const QString failure
            = failureOf([&] { SendMapiMessage("", addresses, senderName, "m@x.it", subject, "T", "", false); });
        if (!problem.isEmpty()) {
            QCOMPARE(failure, kProblem.arg(problem));
            QVERIFY(!QFile::exists(file("message"))); // nothing reached sendmail
            return;
        }
        QCOMPARE(failure, QString());
        const Message m = parse(saved("message"));
        QVERIFY(!m.hasBcc);
        QVERIFY(!m.headers.contains("\nBcc:"));
        QCOMPARE(m.to, QStringList { "a@x.it" });
        QVERIFY(m.subject.contains("Bcc: spia@evil.it") || m.fromName.contains("Bcc: spia@evil.it"));
    }

    void sendmailExitStatus_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<quint32>("result");
        const QList<QPair<int, quint32>> table
            = { { 0, 0 }, { 64, 2 }, { 65, 17 }, { 66, 2 }, { 67, 14 }, { 68, 25 }, { 69, 2 }, { 70, 2 }, { 71, 5 },
                  { 72, 2 }, { 73, 4 }, { 74, 2 }, { 75, 23 }, { 76, 23 }, { 77, 6 }, { 78, 3 }, { 1, 2 }, { 255, 2 } };
        for (const auto& [status, result] : table)
            QTest::addRow("exit %d", status) << status << result;
    }

    void sendmailExitStatus()
    {
        QFETCH(int, status);
        QFETCH(quint32, result);
        QCOMPARE(MailExitCodes::fromSendmail(status), result);
        setStatus("status", status);
        const QString failure = failureOf([] { SendMapiMessage("", "a@x.it", "", "m@x.it", "S", "T", "", false); });
        QCOMPARE(failure, result ? kProblem.arg(MapiErrorText(result)) : QString());
    }

    // The box says the result code's words; the mail program's own reason
    // is in its details, and only for the send it belongs to.
    void sendmailReasonInDetails()
    {
        qputenv("VELMARO_SENDMAIL", bin("sendmail-noisy").toLocal8Bit());
        ScriptedDialogs dialogs;
        auto send = [](bool preview) {
            ErrorDisplay::guard([&] { SendMapiMessage("", "a@x.it", "", "m@x.it", "S", "T", "", preview); });
        };
        send(false);
        QCOMPARE(dialogs.kinds(), QStringList { "error" });
        QCOMPARE(dialogs.last().text, kProblem.arg(QStringLiteral("collegamento non riuscito")));
        QCOMPARE(dialogs.last().details, QStringLiteral("sendmail: envelope-from address is missing"));

        setStatus("client-status", 3);
        send(true);
        QCOMPARE(dialogs.count(), 2);
        QCOMPARE(dialogs.last().text, kProblem.arg(QStringLiteral("nessun programma di posta elettronica disponibile")));
        QCOMPARE(dialogs.last().details, QString());
    }

    void sendmailStopsEarlyOrCrashes_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("problem");
        QTest::newRow("exits without reading") << "sendmail-early"
                                               << "destinatario sconosciuto";
        QTest::newRow("crashes") << "sendmail-crash"
                                 << "errore generico MAPI";
    }

    void sendmailStopsEarlyOrCrashes()
    {
        QFETCH(QString, program);
        QFETCH(QString, problem);
        qputenv("VELMARO_SENDMAIL", bin(program).toLocal8Bit());
        setStatus("status", 67);
        writeAttachment(QStringLiteral("big.bin"), 2 * 1024 * 1024); // more than a pipe holds
        QCOMPARE(failureOf([&] { SendMapiMessage("", "a@x.it", "", "m@x.it", "S", "T", file("big.bin"), false); }),
            kProblem.arg(problem));
    }

    void attachmentChecked_data()
    {
        QTest::addColumn<bool>("preview");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("problem");
        for (bool preview : { false, true }) {
            const char* mode = preview ? "client" : "sendmail";
            QTest::addRow("%s: missing", mode) << preview << "manca.pdf"
                                               << "file allegato non trovato";
            QTest::addRow("%s: folder", mode) << preview << "bin"
                                              << "impossibile aprire il file allegato";
        }
    }

    void attachmentChecked()
    {
        QFETCH(bool, preview);
        QFETCH(QString, name);
        QFETCH(QString, problem);
        QCOMPARE(failureOf([&] { SendMapiMessage("", "a@x.it", "", "m@x.it", "S", "T", file(name), preview); }),
            kProblem.arg(problem));
        QVERIFY(!QFile::exists(file("message")));
        QVERIFY(!QFile::exists(file("client-args")));
    }

    void composeWindow()
    {
        writeAttachment(QStringLiteral("a.txt"), 10);
        QCOMPARE(SendMapiMessage("Anna,Bruno", "anna@x.it, -bruno@x.it,", "", "m@x.it", "Oggetto\ncon a capo",
                     "Riga 1\nRiga 2", file("a.txt"), true),
            0);
        QCOMPARE(clientArgs(),
            QStringList { "mailto:anna@x.it,-bruno@x.it?subject=Oggetto%20con%20a%20capo&body=Riga%201%0D%0ARiga%202"
                          "&attach="
                + QString::fromLatin1(QUrl::toPercentEncoding(file("a.txt"), "/")) });
        QVERIFY(!QFile::exists(file("message")));
    }

    void composeWhenNoSendmail()
    {
        qputenv("VELMARO_SENDMAIL", file("nessuno").toLocal8Bit());
        QCOMPARE(SendMapiMessage("", "a@x.it", "", "m@x.it", "", "T", "", false), 0);
        QCOMPARE(clientArgs(), QStringList { "mailto:a@x.it?subject=%3CNessun%20oggetto%3E&body=T" });
    }

    // Through Debian's own xdg-email, to a recording hook that stands where
    // the mail client would: what arrives must read back as what was typed.
    void mailClientGetsTheTextIntact_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        QTest::newRow("backslashes") << "Cartella C:\\nuovi\\clienti"
                                     << "Percorso: C:\\nuovi\\clienti\\c tutto il resto\\\\ e \\t fine";
        QTest::newRow("percent") << "Sconto 100% %41"
                                 << "50%20 di %0D%0A sconto, %%";
        QTest::newRow("URI delimiters") << "a&b?c#d+e=f"
                                        << "x=1&body=2?subject=3#frammento + più";
        QTest::newRow("accents and euro") << "Novità: perché è così"
                                          << "Città: Forlì, prezzo € 10,00 «ok» ÀÈÌ";
        QTest::newRow("multi-line") << "Una riga"
                                    << "Gentile cliente,\r\n\r\nriga 2\nriga 3\rriga 4\r\n-- \r\nFirma\r\n";
        QTest::newRow("shell quoting") << "'$HOME' `id` \"x\""
                                       << "$(id) ; echo 'a' \"b\" | cat > /dev/null";
    }

    void mailClientGetsTheTextIntact()
    {
        QFETCH(QString, subject);
        QFETCH(QString, body);
        const QString xdgEmail = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
        QVERIFY2(!xdgEmail.isEmpty(), "xdg-email (xdg-utils) is not installed");
        const QString hookDir = file(QStringLiteral("hook"));
        QDir().mkpath(hookDir);
        writeScript(hookDir + QStringLiteral("/xdg-email-hook.sh"), "printf '%s' \"$1\" > \"$D/hook-uri\"\n");
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(hookDir) + ':' + path);
        qputenv("VELMARO_XDG_EMAIL", xdgEmail.toLocal8Bit());
        QFile::remove(file("hook-uri"));
        const QString attachment = QStringLiteral("listino è & co #1 50%.txt");
        writeAttachment(attachment, 10);

        const QString failure = failureOf([&] {
            SendMapiMessage("", "anna@x.it,bruno+news@x.it", "", "m@x.it", subject, body, file(attachment), true);
        });
        qputenv("PATH", path);
        QCOMPARE(failure, QString());

        const QByteArray uri = saved("hook-uri");
        QVERIFY2(uri.startsWith("mailto:"), uri.constData());
        for (char c : uri) // nothing left for a shell or a URI parser to read
            QVERIFY2(c > ' ' && c < 0x7F && c != '\\' && c != '#', uri.constData());
        const qsizetype query = uri.indexOf('?');
        QStringList to;
        for (const QByteArray& a : uri.mid(7, query - 7).split(','))
            to << QUrl::fromPercentEncoding(a);
        QCOMPARE(to, QStringList({ "anna@x.it", "bruno+news@x.it" }));
        QMap<QString, QStringList> fields;
        for (const QByteArray& pair : uri.mid(query + 1).split('&')) {
            const qsizetype eq = pair.indexOf('=');
            fields[QString::fromLatin1(pair.left(eq))] << QUrl::fromPercentEncoding(pair.mid(eq + 1));
        }
        QCOMPARE(fields.value("subject"), QStringList { subject });
        QString crlf = body;
        crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\r', '\n');
        crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        QCOMPARE(fields.value("body"), QStringList { crlf });
        QCOMPARE(fields.value("attach"), QStringList { file(attachment) });
        QCOMPARE(fields.size(), 3);
    }

    void clientExitStatus_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("problem");
        QTest::newRow("0") << 0 << "";
        QTest::newRow("1") << 1 << "errore generico MAPI";
        QTest::newRow("2") << 2 << "file allegato non trovato";
        QTest::newRow("3") << 3 << "nessun programma di posta elettronica disponibile";
        QTest::newRow("4") << 4 << "errore generico MAPI";
        QTest::newRow("5") << 5 << "impossibile aprire il file allegato";
    }

    void clientExitStatus()
    {
        QFETCH(int, status);
        QFETCH(QString, problem);
        setStatus("client-status", status);
        const QString failure = failureOf([] { SendMapiMessage("", "a@x.it", "", "m@x.it", "S", "T", "", true); });
        QCOMPARE(failure, problem.isEmpty() ? QString() : kProblem.arg(problem));
    }

    void noMailProgram_data()
    {
        QTest::addColumn<bool>("preview");
        QTest::addColumn<bool>("sendmail");
        QTest::newRow("neither program") << false << false;
        QTest::newRow("preview without a client") << true << true;
    }

    void noMailProgram()
    {
        QFETCH(bool, preview);
        QFETCH(bool, sendmail);
        if (!sendmail)
            qputenv("VELMARO_SENDMAIL", file("nessuno").toLocal8Bit());
        qputenv("VELMARO_XDG_EMAIL", file("nessuno").toLocal8Bit());
        QCOMPARE(failureOf([&] { SendMapiMessage("", "a@x.it", "", "m@x.it", "S", "T", "", preview); }),
            kProblem.arg("nessun programma di posta elettronica disponibile"));
        QVERIFY(!QFile::exists(file("message")));
    }

    void tooLongForComposeWindow_data()
    {
        QTest::addColumn<int>("addresses");
        QTest::addColumn<int>("bodySize");
        QTest::addColumn<QString>("problem");
        QTest::newRow("body") << 1 << 60000 << "testo del messaggio troppo lungo";
        QTest::newRow("recipients") << 10000 << 10 << "numero eccessivo di destinatari";
    }

    void tooLongForComposeWindow()
    {
        QFETCH(int, addresses);
        QFETCH(int, bodySize);
        QFETCH(QString, problem);
        QStringList list;
        for (int i = 0; i < addresses; ++i)
            list << QStringLiteral("utente%1@esempio.it").arg(i);
        const QString body(bodySize, QChar(0x00E8)); // "è": 6 bytes once percent-encoded
        QCOMPARE(failureOf([&] { SendMapiMessage("", list.join(','), "", "m@x.it", "S", body, "", true); }),
            kProblem.arg(problem));
        QVERIFY(!QFile::exists(file("client-args")));
    }

    // Private sending: one message per address, through sendmail.

    QList<Message> privateMessages(QList<QByteArray>* raw = nullptr) const
    {
        QList<Message> out;
        for (const QFileInfo& f : QDir(file("out")).entryInfoList(QDir::Files)) {
            QFile in(f.filePath());
            in.open(QIODevice::ReadOnly);
            const QByteArray bytes = in.readAll();
            if (raw)
                *raw << bytes;
            out << parse(bytes);
        }
        return out;
    }

    quint32 sendPrivately(SystemMailSubmission& backend, const QString& list, const QString& attachment = {})
    {
        MapiRecipDesc to;
        to.ulRecipClass = MAPI_TO;
        to.lpszName = to.lpszAddress = list;
        MapiRecipDesc from;
        from.lpszName = QStringLiteral("Nicolò");
        from.lpszAddress = QStringLiteral("SMTP:nicolo@velmaro.it");
        MapiFileDesc f;
        f.lpszPathName = attachment;
        MapiMessage m;
        m.lpszSubject = QStringLiteral("Novità");
        m.lpszNoteText = QStringLiteral("Gentile cliente,\r\nil listino è allegato.");
        m.lpOriginator = &from;
        m.nRecipCount = 1;
        m.lpRecips = &to;
        m.nFileCount = attachment.isEmpty() ? 0 : 1;
        m.lpFiles = &f;
        return backend.send(m, MAIL_PRIVATE);
    }

    void privateOneMessagePerAddress()
    {
        qputenv("VELMARO_SENDMAIL", bin("sendmail-each").toLocal8Bit());
        const QByteArray bytes = writeAttachment(QStringLiteral("listino.bin"), 5000);
        RecordingProgress progress;
        SystemMailSubmission backend;
        QCOMPARE(sendPrivately(backend, " anna@x.it,bruno@x.it,, ANNA@X.IT ,Carla Neri <carla@x.it>,bruno@x.it,",
                     file("listino.bin")),
            0u);
        QList<QByteArray> raw;
        const QList<Message> sent = privateMessages(&raw);
        QCOMPARE(sent.size(), 3);
        QStringList to;
        QSet<QByteArray> ids;
        for (int i = 0; i < sent.size(); ++i) {
            QCOMPARE(sent[i].to.size(), 1);
            to << sent[i].to.first();
            QCOMPARE(sent[i].from, QStringLiteral("nicolo@velmaro.it"));
            QCOMPARE(sent[i].subject, QStringLiteral("Novità"));
            // A private sending says by default how to ask not to receive more.
            QCOMPARE(sent[i].text,
                QStringLiteral("Gentile cliente,\nil listino è allegato.\n\n") + Unsubscribe::defaultText());
            QCOMPARE(sent[i].attachment, bytes);
            QVERIFY(!sent[i].hasBcc);
            const QByteArray head = raw[i].left(raw[i].indexOf("\n\n"));
            QCOMPARE(head.count("\nTo:") + int(head.startsWith("To:")), 1);
            QCOMPARE(head.count("Message-ID:") + head.count("Message-Id:"), 1);
            const QByteArray id = head.mid(head.indexOf("Message-ID:")).split('\n').first();
            ids.insert(id);
            // Only the headers differ: everything after them is the same.
            QCOMPARE(raw[i].mid(raw[i].indexOf("\n\n")), raw[0].mid(raw[0].indexOf("\n\n")));
        }
        to.sort();
        QCOMPARE(to, QStringList({ "anna@x.it", "bruno@x.it", "carla@x.it" }));
        QCOMPARE(ids.size(), 3);
        QCOMPARE(progress.started, 3);
        QCOMPARE(progress.steps, QList<int>({ 1, 2, 3 }));
        QCOMPARE(progress.finished, 1);
        QCOMPARE(progress.report.handedOver, 3);
        // Two entries repeated an address: the user is told why 3 and not 5.
        QCOMPARE(PrivateSend::summary(progress.report),
            QStringLiteral("Invio riservato: 3 messaggi su 3 consegnati al programma di posta.\n\n"
                           "2 indirizzi comparivano più volte nell'elenco: ognuno ha ricevuto un solo messaggio."));
    }

    void privateRefusalsAndCancel_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("fail");
        QTest::addColumn<int>("cancelAfter");
        QTest::addColumn<int>("handedOver");
        QTest::addColumn<QString>("summary");
        QTest::newRow("one refused") << "sendmail-each"
                                     << "bruno@x.it" << -1 << 3
                                     << "Invio riservato: 3 messaggi su 4 consegnati al programma di posta.\n\n"
                                        "Indirizzi rifiutati (1):\nbruno@x.it: destinatario sconosciuto";
        QTest::newRow("cancel after 1") << "sendmail-each"
                                        << "" << 1 << 1
                                        << "Invio riservato: 1 messaggio su 4 consegnato al programma di posta.\n\n"
                                           "Invio annullato: 3 messaggi non sono stati inviati.";
        QTest::newRow("cancel after 3") << "sendmail-each"
                                        << "" << 3 << 3
                                        << "Invio riservato: 3 messaggi su 4 consegnati al programma di posta.\n\n"
                                           "Invio annullato: 1 messaggio non è stato inviato.";
        QTest::newRow("cancel at the end")
            << "sendmail-each"
            << "" << 4 << 4 << "Invio riservato: 4 messaggi su 4 consegnati al programma di posta.";
        QTest::newRow("stuck") << "sendmail-stuck"
                               << "" << 2 << 0
                               << "Invio riservato: 0 messaggi su 4 consegnati al programma di posta.\n\n"
                                  "Indirizzi rifiutati (2):\n"
                                  "anna@x.it: nessuna risposta dal programma di posta entro 1 secondo\n"
                                  "bruno@x.it: nessuna risposta dal programma di posta entro 1 secondo\n\n"
                                  "Invio annullato: 2 messaggi non sono stati inviati.";
    }

    void privateRefusalsAndCancel()
    {
        QFETCH(QString, program);
        QFETCH(QString, fail);
        QFETCH(int, cancelAfter);
        QFETCH(int, handedOver);
        QFETCH(QString, summary);
        qputenv("VELMARO_SENDMAIL", bin(program).toLocal8Bit());
        if (!fail.isEmpty()) {
            QFile f(file("fail"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(fail.toUtf8());
        }
        RecordingProgress progress;
        progress.cancelAfter = cancelAfter;
        SystemMailSubmission backend;
        backend.setSendmailTimeout(300);
        QElapsedTimer t;
        t.start();
        QCOMPARE(sendPrivately(backend, "anna@x.it,bruno@x.it,carla@x.it,dario@x.it"), 0u);
        QVERIFY(t.elapsed() < 10000);
        QCOMPARE(privateMessages().size(), handedOver);
        QCOMPARE(progress.report.handedOver, handedOver);
        QCOMPARE(PrivateSend::summary(progress.report), summary);
        QCOMPARE(backend.privateReport().handedOver, handedOver);
    }

    void privateRefusedBeforeAnythingGoes_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<bool>("preview");
        QTest::addColumn<quint32>("result");
        QTest::newRow("an entry is no address") << "anna@x.it,mario rossi@x.it" << false << MAPI_E_INVALID_RECIPS;
        QTest::newRow("only commas") << ", ,," << false << MAPI_E_INVALID_RECIPS;
        QTest::newRow("with preview") << "anna@x.it" << true << MAPI_E_NOT_SUPPORTED;
    }

    void privateRefusedBeforeAnythingGoes()
    {
        QFETCH(QString, list);
        QFETCH(bool, preview);
        QFETCH(quint32, result);
        qputenv("VELMARO_SENDMAIL", bin("sendmail-each").toLocal8Bit());
        RecordingProgress progress;
        QCOMPARE(failureOf([&] { SendMapiMessage("", list, "", "m@x.it", "S", "T", "", preview, true); }),
            kProblem.arg(MapiErrorText(result)));
        QCOMPARE(privateMessages().size(), 0);
        QCOMPARE(progress.started, -1);
        QVERIFY(!QFile::exists(file("client-args")));
    }

    void slowClientCountsAsHandedOver()
    {
        qputenv("VELMARO_XDG_EMAIL", bin("xdg-email-slow").toLocal8Bit());
        SystemMailSubmission backend;
        backend.setClientWait(200);
        MapiRecipDesc to;
        to.ulRecipClass = MAPI_TO;
        to.lpszName = to.lpszAddress = QStringLiteral("a@x.it");
        MapiMessage m;
        m.lpszSubject = m.lpszNoteText = QStringLiteral("S");
        m.nRecipCount = 1;
        m.lpRecips = &to;
        QElapsedTimer t;
        t.start();
        QCOMPARE(backend.send(m, MAPI_DIALOG), 0u);
        QVERIFY(t.elapsed() < 2500);
        // The launcher left running deletes itself when it ends; let it, so
        // the leak checker sees nothing left over.
        QTest::qWait(2000);
    }
};

QTEST_GUILESS_MAIN(TestMailBackend)
#include "test_mail_backend.moc"
