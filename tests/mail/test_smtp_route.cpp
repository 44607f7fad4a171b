#include "mail/delivery.h"
#include "mail/delivery_journal.h"
#include "mail/journal_recorder.h"
#include "mail/mail_account.h"
#include "mail/mail_backend.h"
#include "mail/mail_password.h"
#include "mail/mapi_mail.h"
#include "mail/opt_out.h"
#include "mail/smtp_route.h"
#include "mail/unsubscribe.h"
#include "parsed_message.h"
#include "mail_test_helpers.h"
#include "smtp_test_server.h"
#include "support/test_seams.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

// Sending through the mail account, against a real SMTP server (aiosmtpd)
// started here on 127.0.0.1 with certificates made for the run.
namespace {

const QString kUser = QStringLiteral("ufficio@velmaro.it");
const QString kPassword = QStringLiteral("segreta è €");

QStringList addresses(int n)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << QStringLiteral("iscritto%1@esempio.it").arg(i);
    return out;
}

SmtpRoute::Timing quick()
{
    SmtpRoute::Timing t;
    t.timeouts.connectMs = 5000;
    t.timeouts.stepMs = 1000;
    t.retryPauseMs = 20;
    t.reconnects = 1;
    return t;
}

} // namespace

class TestSmtpRoute : public QObject {
    Q_OBJECT

    TempDataDir data_;
    QTemporaryDir dir_;
    SystemMailSubmission backend_;
    QByteArray attachment_;

    QString file(const QString& name) const { return dir_.filePath(name); }

    // The account in use for direct sending, pointed at server.
    MailAccount account(int port, Smtp::Security security)
    {
        MailAccount a;
        a.senderName = QStringLiteral("Ufficio Vendite");
        a.senderAddress = kUser;
        a.server = QStringLiteral("127.0.0.1");
        a.port = port;
        a.security = security;
        a.user = kUser;
        a.useForDirect = true;
        a.rememberPassword = false;
        return a;
    }

    void use(const MailAccount& a)
    {
        MailAccountStore::save(a);
        MailPassword::forgetAll();
        MailPassword::keep(a, kPassword);
    }

    static void sendTo(const QStringList& to, bool privately, const QString& attachment)
    {
        SendMapiMessage(QString(), to.join(QLatin1Char(',')), QStringLiteral("Ufficio Vendite"), kUser,
            QStringLiteral("Novità di primavera: perché aspettare?"),
            QStringLiteral("Gentile cliente,\r\nil listino è allegato.\n.\n. \nSaluti, 100 €"), attachment, false,
            privately);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QVERIFY(TestCertificates::selfSigned(dir_.path(), QStringLiteral("server"), QStringLiteral("/CN=velmaro-test")));
        QVERIFY(TestCertificates::selfSigned(dir_.path(), QStringLiteral("server2"), QStringLiteral("/CN=velmaro-test")));
        QVERIFY(TestCertificates::signedBy(dir_.path(), QStringLiteral("ca"), QStringLiteral("ip"), "IP:127.0.0.1"));
        QVERIFY(TestCertificates::signedBy(dir_.path(), QStringLiteral("ca"), QStringLiteral("other"),
            "DNS:altro.esempio.it"));
        attachment_.resize(70000);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(attachment_.data()), attachment_.size() / 4);
        QFile f(file(QStringLiteral("listino è.pdf")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(attachment_);
        f.close();
        // A sendmail that keeps what it is given, for the other route.
        QFile sendmail(file("sendmail"));
        QVERIFY(sendmail.open(QIODevice::WriteOnly));
        sendmail.write("#!/bin/sh\ncat > '" + QFile::encodeName(file("piped.eml")) + "'\n");
        sendmail.close();
        sendmail.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("VELMARO_SENDMAIL", QFile::encodeName(file("sendmail")));
        backend_.setSmtpTiming(quick());
        MailSubmission::install(&backend_);
        // Cards for the personalised sending.
        TestCards::store(ArchiveKind::Contacts,
            { { "varContatto", "Anna Bianchi" }, { "varAzienda", "Studio Bianchi" },
                { "varEmail", "anna@esempio.it" } });
        TestCards::store(
            ArchiveKind::Contacts, { { "varContatto", "Mario Rossi" }, { "varEmail", "mario@esempio.it" } });
        TestCards::store(ArchiveKind::Contacts,
            { { "varContatto", "Zeno Neri" }, { "varAzienda", "Neri srl" }, { "varEmail", "zeno@esempio.it" } });
    }

    void cleanupTestCase() { MailSubmission::install(nullptr); }

    void deliversToFifty_data()
    {
        QTest::addColumn<bool>("privately");
        QTest::addColumn<QString>("security");
        QTest::newRow("private, STARTTLS") << true << "starttls";
        QTest::newRow("plain, SSL/TLS") << false << "tls";
        QTest::newRow("private, SSL/TLS") << true << "tls";
        QTest::newRow("plain, no security") << false << "none";
    }

    // Every recipient gets the message the sendmail route would pipe, over
    // one connection; private: one message each, only their own address.
    void deliversToFifty()
    {
        QFETCH(bool, privately);
        QFETCH(QString, security);
        SmtpTestServer server({ security, file("server.crt"), file("server.key"), kUser, kPassword });
        QVERIFY2(server.port(), qPrintable(server.errors()));
        const Smtp::Security sec = MailAccountStore::securityFromName(security == "none"
                ? QStringLiteral("Nessuna")
                : (security == "tls" ? QStringLiteral("SSL/TLS") : QStringLiteral("STARTTLS")));
        use(account(server.port(), sec));
        if (sec != Smtp::Security::None)
            MailAccountStore::trust(
                QStringLiteral("127.0.0.1"), server.port(), TestCertificates::fingerprint(file("server.crt")));
        RecordingProgress progress;
        const QStringList to = addresses(50);
        const QString attachment = file(QStringLiteral("listino è.pdf"));
        QCOMPARE(failureOf([&] { sendTo(to, privately, attachment); }), QString());
        const PrivateSend::Report report = progress.report;

        // What the sendmail route pipes for the same message (privately,
        // the last recipient's).
        MailAccount off = account(server.port(), sec);
        off.useForDirect = false;
        MailAccountStore::save(off);
        QCOMPARE(failureOf([&] { sendTo(to, privately, attachment); }), QString());
        QFile pipedFile(file("piped.eml"));
        QVERIFY(pipedFile.open(QIODevice::ReadOnly));
        const QByteArray piped = pipedFile.readAll();
        const ParsedMail::Message expected = ParsedMail::parse(piped);

        const auto received = server.received();
        QCOMPARE(received.size(), privately ? 50 : 1);
        for (int i = 0; i < received.size(); ++i) {
            const ParsedMail::Message got = ParsedMail::parse(received[i].data);
            QCOMPARE(received[i].recipients, privately ? QStringList { to[i] } : to);
            QCOMPARE(got.to, privately ? QStringList { to[i] } : to);
            QCOMPARE(got.from, kUser);
            QCOMPARE(got.subject, expected.subject);
            QCOMPARE(QString(got.text).replace(QLatin1String("\r\n"), QLatin1String("\n")), expected.text); // CR LF on the wire
            QCOMPARE(got.attachmentName, QStringLiteral("listino è.pdf"));
            QCOMPARE(got.attachment, attachment_);
            QVERIFY(!got.hasBcc);
            QVERIFY(got.hasMessageId);
            // Private sendings carry the opt-out header here as on the other routes.
            QCOMPARE(received[i].data.contains("\nList-Unsubscribe: <mailto:"), privately);
        }
        QCOMPARE(server.count("CONNECT"), 1);
        const QStringList logins = server.events().filter(QRegularExpression(QStringLiteral("^AUTH ")));
        QCOMPARE(logins.size(), 1);
        QVERIFY(logins.first().contains(QLatin1String(" ok ")));
        if (security == "starttls") // logged in only once the channel was secure
            QVERIFY(logins.first().endsWith(QLatin1String("tls=1")));
        QCOMPARE(PrivateSend::summary(report),
            privately ? QStringLiteral("Invio riservato: 50 messaggi su 50 consegnati al server di posta.")
                      : QStringLiteral("Messaggio consegnato al server di posta per tutti i 50 destinatari."));
    }

    void serverAnswers_data()
    {
        QTest::addColumn<bool>("privately");
        QTest::addColumn<QStringList>("serverSetting"); // what the server is told, "name=value"
        QTest::addColumn<int>("recipientLimit");
        QTest::addColumn<int>("perConnection");
        QTest::addColumn<int>("messages");
        QTest::addColumn<int>("connections");
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QString>("reason");
        const QString unknown = "550 5.1.1 <iscritto3@esempio.it>: Recipient address rejected: User unknown";
        // Libcurl closes a connection whose transaction had every recipient
        // refused: a private sending reconnects after each refusal.
        QTest::newRow("550 for one, private") << true << QStringList { "refuse=iscritto3@esempio.it" } << 0 << 0 << 19
                                              << 2 << "iscritto3@esempio.it" << unknown;
        QTest::newRow("550 for one, plain") << false << QStringList { "refuse=iscritto3@esempio.it" } << 0 << 0 << 1
                                            << 1 << "iscritto3@esempio.it" << unknown;
        QTest::newRow("452 after 7, plain") << false << QStringList { "limit=7" } << 0 << 0 << 3 << 1 << "" << "";
        QTest::newRow("a limit the user sets") << false << QStringList {} << 6 << 0 << 4 << 1 << "" << "";
        QTest::newRow("450 twice, then taken")
            << true << QStringList { "temp=iscritto5@esempio.it:2" } << 0 << 0 << 20 << 3 << "" << "";
        QTest::newRow("450 for good") << false << QStringList { "temp=iscritto5@esempio.it:9" } << 0 << 0 << 1 << 3
                                      << "iscritto5@esempio.it"
                                      << "450 4.2.1 <iscritto5@esempio.it>: Mailbox busy, try again later (rifiuto "
                                         "temporaneo, riprovato 3 volte)";
        QTest::newRow("421 in the middle, private") << true << QStringList { "421=5" } << 0 << 0 << 20 << 2 << "" << "";
        QTest::newRow("dropped in the middle, private")
            << true << QStringList { "drop=8" } << 0 << 0 << 20 << 2 << "" << "";
        QTest::newRow("dropped in the middle, plain")
            << false << QStringList { "drop=8" } << 0 << 0 << 1 << 2 << "" << "";
        QTest::newRow("messages per connection") << true << QStringList {} << 0 << 8 << 20 << 3 << "" << "";
    }

    // Whatever the server answers, every recipient it takes gets exactly
    // one message, and the summary gives the server's own words.
    void serverAnswers()
    {
        QFETCH(bool, privately);
        QFETCH(QStringList, serverSetting);
        QFETCH(int, recipientLimit);
        QFETCH(int, perConnection);
        QFETCH(int, messages);
        QFETCH(int, connections);
        QFETCH(QString, refused);
        QFETCH(QString, reason);
        SmtpTestServer::Options options;
        options.user = kUser;
        options.password = kPassword;
        for (const QString& s : serverSetting) {
            const QString name = s.section('=', 0, 0), value = s.section('=', 1);
            if (name == "refuse")
                options.refuse << value;
            else if (name == "temp")
                options.tempFail << value;
            else if (name == "limit")
                options.limit = value.toInt();
            else if (name == "421")
                options.close421At = value.toInt();
            else if (name == "drop")
                options.dropAt = value.toInt();
        }
        SmtpTestServer server(options);
        QVERIFY(server.port());
        MailAccount a = account(server.port(), Smtp::Security::None);
        a.recipientsPerMessage = recipientLimit;
        a.messagesPerConnection = perConnection;
        use(a);
        RecordingProgress progress;
        const QStringList to = addresses(20);
        QCOMPARE(failureOf([&] { sendTo(to, privately, QString()); }), QString());

        QStringList expected = to;
        expected.removeOne(refused);
        QStringList got = server.deliveredTo();
        QCOMPARE(got.size(), expected.size()); // nobody twice
        got.sort();
        expected.sort();
        QCOMPARE(got, expected);
        QCOMPARE(server.received().size(), messages);
        QCOMPARE(server.count("CONNECT"), connections);
        if (recipientLimit) // never asked beyond the limit
            QCOMPARE(server.events().filter(QStringLiteral(" 452")).size(), 0);
        const QString head = privately
            ? QStringLiteral("Invio riservato: %1 messaggi su 20 consegnati al server di posta.").arg(expected.size())
            : (expected.size() == 20 ? QStringLiteral("Messaggio consegnato al server di posta per tutti i 20 destinatari.")
                                     : QStringLiteral("Messaggio consegnato al server di posta per 19 destinatari su 20."));
        const QString refusals = refused.isEmpty()
            ? QString()
            : QStringLiteral("\n\nIndirizzi rifiutati (1):\n%1: %2").arg(refused, reason);
        QCOMPARE(PrivateSend::summary(progress.report), head + refusals);
    }

    void withChecksAndJournal_data()
    {
        QTest::addColumn<bool>("privately");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("subjects"); // anna, mario, nessuno
        QTest::addColumn<QStringList>("texts");
        const QString closing = QStringLiteral("\n\n") + Unsubscribe::defaultText();
        QTest::newRow("private, personalised")
            << true << "Novità per {Azienda|gentile cliente}" << "Buongiorno {Cognome e nome},\nil listino è pronto."
            << QStringList { "Novità per Studio Bianchi", "Novità per gentile cliente", "Novità per gentile cliente" }
            << QStringList { "Buongiorno Anna Bianchi,\nil listino è pronto." + closing,
                   "Buongiorno Mario Rossi,\nil listino è pronto." + closing,
                   "Buongiorno ,\nil listino è pronto." + closing };
        QTest::newRow("plain") << false << "Novità di primavera" << "Il listino è pronto."
                               << QStringList(3, "Novità di primavera") << QStringList(3, "Il listino è pronto.");
    }

    // The checks and the journal on this route: the address on the opt-out
    // list never reaches the server, each recipient gets its own texts, the
    // envelope names the sender (not the login), and the journal holds every
    // recipient's outcome.
    void withChecksAndJournal()
    {
        QFETCH(bool, privately);
        QFETCH(QString, subject);
        QFETCH(QString, body);
        QFETCH(QStringList, subjects);
        QFETCH(QStringList, texts);
        OptOutList().add({ QStringLiteral("zeno@esempio.it") }, QStringLiteral("telefonata"));
        QStringList journalAsked;
        JournalRecorder recorder([&journalAsked](const QString& problem, bool) {
            journalAsked << problem;
            return false;
        });
        Delivery::installObserver(&recorder);
        const auto uninstall = qScopeGuard([] { Delivery::installObserver(nullptr); });
        SmtpTestServer::Options options { "none", {}, {}, kUser, kPassword };
        options.refuse << QStringLiteral("rifiuta@esempio.it");
        SmtpTestServer server(options);
        QVERIFY(server.port());
        use(account(server.port(), Smtp::Security::None));
        RecordingProgress progress;
        const QString sender = QStringLiteral("vendite@velmaro.it");
        QCOMPARE(failureOf([&] {
            SendMapiMessage(QString(),
                "anna@esempio.it, Zeno@Esempio.it, mario@esempio.it, nessuno@esempio.it, rifiuta@esempio.it",
                QStringLiteral("Ufficio Vendite"), sender, subject, body, QString(), false, privately);
        }),
            QString());
        QVERIFY(journalAsked.isEmpty());

        const QStringList delivered = { "anna@esempio.it", "mario@esempio.it", "nessuno@esempio.it" };
        QStringList got;
        const auto received = server.received();
        QCOMPARE(received.size(), privately ? 3 : 1);
        for (const SmtpTestServer::Received& r : received) {
            QCOMPARE(r.sender, sender);
            QVERIFY(!r.data.toLower().contains("zeno@"));
            QCOMPARE(r.data.contains("\nList-Unsubscribe: " + Unsubscribe::headerValue(sender) + "\r\n"), privately);
            const ParsedMail::Message m = ParsedMail::parse(r.data);
            QCOMPARE(m.from, sender);
            for (const QString& to : r.recipients) {
                const int i = int(delivered.indexOf(to));
                QVERIFY2(i >= 0, qPrintable(to));
                QCOMPARE(m.subject, subjects[i]);
                // Its last line ends, as every line on the wire.
                QCOMPARE(QString(m.text).replace(QLatin1String("\r\n"), QLatin1String("\n")), texts[i] + "\n");
                got << to;
            }
        }
        QCOMPARE(got, delivered);
        QVERIFY(server.events().filter(QStringLiteral("zeno@"), Qt::CaseInsensitive).isEmpty()); // no RCPT either

        DeliveryJournal journal;
        const auto sendings = journal.sendings(0, 1);
        QCOMPARE(sendings.size(), 1);
        const DeliveryJournal::Sending s = sendings.first();
        QCOMPARE(s.route, Journal::Route::Smtp);
        QCOMPARE(s.privately, privately);
        QCOMPARE(s.senderAddress, sender);
        QStringList rows;
        for (const DeliveryJournal::Recipient& r : journal.recipients(s.id, 0, 100))
            rows << r.address + ": " + Journal::outcomeText(r.outcome)
                    + (r.reason.isEmpty() ? "" : " (" + r.reason + ")");
        // The excluded row stays "escluso" though rows ahead of the
        // hand-overs are reserved.
        QCOMPARE(rows,
            QStringList({ "anna@esempio.it: consegnato al server", "mario@esempio.it: consegnato al server",
                "nessuno@esempio.it: consegnato al server",
                "rifiuta@esempio.it: rifiutato (550 5.1.1 <rifiuta@esempio.it>: Recipient address rejected: User "
                "unknown)",
                "Zeno@Esempio.it: escluso" }));
        QCOMPARE(QList<int>({ s.recipients, s.delivered, s.refused, s.notSent, s.uncertain, s.excluded }),
            QList<int>({ 5, 3, 1, 0, 0, 1 }));
    }

    void nothingSent_data()
    {
        QTest::addColumn<QString>("serverSecurity");
        QTest::addColumn<QString>("accountSecurity");
        QTest::addColumn<QString>("serverSetting");
        QTest::addColumn<QString>("problem");
        QTest::newRow("wrong password") << "starttls" << "STARTTLS" << "password"
                                        << "il server di posta ha rifiutato l'accesso: controllare nome utente e "
                                           "password nella finestra «Account di posta» (risposta del server: 535 "
                                           "5.7.8 Authentication credentials invalid)";
        QTest::newRow("STARTTLS not offered")
            << "none" << "STARTTLS" << ""
            << "il server di posta 127.0.0.1 non offre STARTTLS, e password e messaggi non vengono inviati in "
               "chiaro: scegliere SSL/TLS (di solito porta 465) o controllare la porta";
        QTest::newRow("certificate not trusted") << "tls" << "SSL/TLS" << ""
                                                 << "il certificato del server di posta 127.0.0.1 non è riconosciuto "
                                                    "come affidabile (intestato a CN=velmaro-test, impronta SHA-256 ";
        QTest::newRow("SSL/TLS on a clear port")
            << "none" << "SSL/TLS" << ""
            << "il collegamento sicuro con il server di posta 127.0.0.1 non è riuscito: controllare che la sicurezza "
               "scelta corrisponda alla porta (di solito SSL/TLS sulla porta 465, STARTTLS sulla 587)";
        QTest::newRow("message too big") << "none" << "Nessuna" << "size"
                                         << "il server di posta ha rifiutato il messaggio (risposta del server: 552 "
                                            "Error: message size exceeds fixed maximum message size)";
        QTest::newRow("nobody listening") << "" << "Nessuna" << ""
                                          << "il server di posta 127.0.0.1 (porta %1) non è raggiungibile: "
                                             "controllare il nome del server, la porta e la connessione a Internet";
    }

    // Refused before anything is handed over: the user reads why, the
    // server received nothing and never saw the password in clear.
    void nothingSent()
    {
        QFETCH(QString, serverSecurity);
        QFETCH(QString, accountSecurity);
        QFETCH(QString, serverSetting);
        QFETCH(QString, problem);
        SmtpTestServer::Options options { serverSecurity.isEmpty() ? "none" : serverSecurity, file("server.crt"),
            file("server.key"), kUser, serverSetting == "password" ? QStringLiteral("altra") : kPassword };
        if (serverSetting == "size")
            options.sizeLimit = 20000;
        SmtpTestServer server(options);
        QVERIFY(server.port());
        int port = server.port();
        if (serverSecurity.isEmpty()) {
            // A port nobody listens on: this server's, once it is gone.
            SmtpTestServer gone({});
            port = gone.port();
        }
        use(account(port, MailAccountStore::securityFromName(accountSecurity)));
        if (!problem.startsWith(QLatin1String("il certificato")))
            MailAccountStore::trust(QStringLiteral("127.0.0.1"), port, TestCertificates::fingerprint(file("server.crt")));
        RecordingProgress progress;
        const QString failure
            = failureOf([&] { sendTo(addresses(3), true, file(QStringLiteral("listino è.pdf"))); });
        if (problem.contains(QLatin1String("%1")))
            problem = problem.arg(port);
        QVERIFY2(failure.startsWith(QStringLiteral("Il messaggio e-mail corrente non è stato inviato.\n\n"
                                                   "Problema riscontrato: ")
                     + problem),
            qPrintable(failure));
        QVERIFY(server.received().isEmpty());
        QCOMPARE(server.count("MAIL "), 0);
        QCOMPARE(progress.finished, 0); // an error, not a summary
        if (accountSecurity == "STARTTLS" && serverSecurity == "none")
            QCOMPARE(server.count("AUTH"), 0);
    }

    // A server that stops answering ends the sending in bounded time.
    void serverStopsAnswering()
    {
        SmtpTestServer::Options options;
        options.hang = true;
        SmtpTestServer server(options);
        MailAccount a = account(server.port(), Smtp::Security::None);
        a.user.clear();
        use(a);
        RecordingProgress progress;
        QElapsedTimer t;
        t.start();
        QCOMPARE(failureOf([&] { sendTo(addresses(3), true, QString()); }),
            QStringLiteral("Il messaggio e-mail corrente non è stato inviato.\n\nProblema riscontrato: il server di "
                           "posta 127.0.0.1 non risponde (nessuna risposta entro 1 secondo)."));
        QVERIFY(t.elapsed() < 15000);
        QVERIFY(server.received().isEmpty());
        QCOMPARE(progress.abandoned, 1);
    }

    void cancel()
    {
        SmtpTestServer server({});
        MailAccount a = account(server.port(), Smtp::Security::None);
        a.user.clear();
        use(a);
        {
            RecordingProgress progress;
            progress.cancelAfter = 3;
            QCOMPARE(failureOf([&] { sendTo(addresses(10), true, QString()); }), QString());
            QCOMPARE(server.received().size(), 3);
            QCOMPARE(PrivateSend::summary(progress.report),
                QStringLiteral("Invio riservato: 3 messaggi su 10 consegnati al server di posta.\n\n"
                               "Invio annullato: 7 messaggi non sono stati inviati."));
        }
        // Annulla while the server is being reached: nothing goes.
        RecordingProgress progress;
        progress.stopWhileWaiting = true;
        QCOMPARE(failureOf([&] { sendTo(addresses(10), true, QString()); }),
            QStringLiteral("Il messaggio e-mail corrente non è stato inviato.\n\n"
                           "Problema riscontrato: l'utente ha annullato la richiesta."));
        QCOMPARE(server.received().size(), 3);
        QCOMPARE(progress.abandoned, 1);
    }

    // Untrusted, then trusted by its fingerprint, then refused once the
    // server shows another certificate.
    void trustByFingerprint()
    {
        const SmtpRoute::Timing timing = quick();
        Smtp::Server s;
        s.host = QStringLiteral("127.0.0.1");
        s.user = kUser;
        s.password = kPassword;
        const QString first = TestCertificates::fingerprint(file("server.crt"));
        {
            SmtpTestServer server({ "tls", file("server.crt"), file("server.key"), kUser, kPassword });
            s.port = server.port();
            Smtp::Outcome o = SmtpRoute::probe(s, timing);
            QCOMPARE(o.failure, Smtp::Failure::Untrusted);
            QCOMPARE(o.certificate.fingerprint, first);
            QCOMPARE(o.certificate.owner, QStringLiteral("CN=velmaro-test"));
            QCOMPARE(server.count("AUTH"), 0); // the password stayed here
            s.trustedFingerprint = o.certificate.fingerprint;
            o = SmtpRoute::probe(s, timing);
            QCOMPARE(o.failure, Smtp::Failure::None);
            QCOMPARE(server.count("AUTH PLAIN ok") + server.count("AUTH LOGIN ok"), 1);
        }
        SmtpTestServer changed({ "tls", file("server2.crt"), file("server2.key"), kUser, kPassword });
        s.port = changed.port();
        const Smtp::Outcome o = SmtpRoute::probe(s, timing);
        QCOMPARE(o.failure, Smtp::Failure::CertificateChanged);
        QCOMPARE(o.certificate.fingerprint, TestCertificates::fingerprint(file("server2.crt")));
        QCOMPARE(changed.count("AUTH"), 0);
        const QString text = SmtpRoute::problemText(o, s, timing);
        QVERIFY(text.contains(first));
        QVERIFY(text.contains(o.certificate.fingerprint));
    }

    void hostNameChecked_data()
    {
        QTest::addColumn<QString>("cert");
        QTest::addColumn<int>("failure");
        QTest::newRow("issued for 127.0.0.1") << "ip" << int(Smtp::Failure::None);
        QTest::newRow("issued for another name") << "other" << int(Smtp::Failure::Untrusted);
    }

    void hostNameChecked()
    {
        QFETCH(QString, cert);
        QFETCH(int, failure);
        SmtpTestServer server({ "starttls", file(cert + ".crt"), file(cert + ".key") });
        Smtp::Server s;
        s.host = QStringLiteral("127.0.0.1");
        s.port = server.port();
        s.security = Smtp::Security::StartTls;
        s.caFile = file("ca.crt");
        QCOMPARE(int(SmtpRoute::probe(s, quick()).failure), failure);
    }

    // A password typed wrong is asked again at the next sending, not kept.
    void wrongPasswordAskedAgain()
    {
        SmtpTestServer server({ "none", {}, {}, kUser, kPassword });
        const MailAccount a = account(server.port(), Smtp::Security::None);
        MailAccountStore::save(a);
        MailPassword::forgetAll();
        ScriptedPasswordPrompt prompt(QStringLiteral("sbagliata"));
        QVERIFY(!failureOf([&] { sendTo(addresses(1), false, QString()); }).isEmpty());
        prompt.answer = kPassword;
        RecordingProgress progress;
        QCOMPARE(failureOf([&] { sendTo(addresses(1), false, QString()); }), QString());
        QCOMPARE(failureOf([&] { sendTo(addresses(1), false, QString()); }), QString());
        QCOMPARE(prompt.asked, 2);
        QCOMPARE(server.received().size(), 2);
        prompt.answer.clear(); // the user declines
        MailPassword::forgetAll();
        QCOMPARE(failureOf([&] { sendTo(addresses(1), false, QString()); }),
            QStringLiteral("Il messaggio e-mail corrente non è stato inviato.\n\n"
                           "Problema riscontrato: l'utente ha annullato la richiesta."));
    }
};

QTEST_GUILESS_MAIN(TestSmtpRoute)
#include "test_smtp_route.moc"
