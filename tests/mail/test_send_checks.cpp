#include "parsed_message.h"

#include "mail/mail_backend.h"
#include "mail/mapi_mail.h"
#include "mail/opt_out.h"
#include "mail/private_send.h"
#include "mail/send_checks.h"
#include "mail/unsubscribe.h"
#include "storage/win1252.h"
#include "support/test_seams.h"

#include <QMap>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

// What every sending goes through in the back end: the opt-out list, the
// placeholders, the closing line and List-Unsubscribe header, on the routes
// a message can take (a sendmail stand-in keeping each message it gets, and
// the real xdg-email handing its URI to a recording hook).
namespace {

// Answers the back end's questions from a script and records them.
struct RecordingQuestions final : SendChecks::IQuestions {
    RecordingQuestions() { SendChecks::install(this); }
    ~RecordingQuestions() override { SendChecks::install(nullptr); }
    void refuseUnknownFields(const QStringList& p) override { asked << QStringLiteral("unknown: ") + p.join(','); }
    bool sendPrivatelyInstead(const QStringList& p) override
    {
        asked << QStringLiteral("plain: ") + p.join(',');
        return privatelyInstead;
    }
    void allExcluded(const QStringList& e) override { asked << QStringLiteral("all excluded: ") + e.join(','); }
    bool goAhead(const SendChecks::Outline& o) override
    {
        outline = o;
        asked << QStringLiteral("go ahead");
        return goOn;
    }
    QStringList asked;
    SendChecks::Outline outline;
    bool privatelyInstead = true;
    bool goOn = true;
};

// Keeps the private sending's summary.
struct RecordingProgress final : PrivateSend::IProgress {
    RecordingProgress() { PrivateSend::installProgress(this); }
    ~RecordingProgress() override { PrivateSend::installProgress(nullptr); }
    void start(int) override { }
    bool advance(int, int) override { return true; }
    void finish(const PrivateSend::Report& r) override { report = r; }
    PrivateSend::Report report;
};

enum class Route { Sendmail, Private, MailClient };

} // namespace

Q_DECLARE_METATYPE(Route)

class TestSendChecks : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString file(const QString& name) const { return dir_.filePath(name); }

    void writeScript(const QString& path, const QByteArray& body)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nD='" + QFile::encodeName(dir_.path()) + "'\n" + body);
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Sends through the system back end on a route; the result as
    // SendMapiMessage gives it, or -99 when it threw.
    int send(Route route, const QString& list, const QString& subject, const QString& body,
        const QString& attachment = QString())
    {
        try {
            return SendMapiMessage(QString(), list, QStringLiteral("Nicolò Bianchi"),
                QStringLiteral("nicolo@velmaro.it"), subject, body, attachment, route == Route::MailClient,
                route == Route::Private);
        } catch (const tMailFileException& e) {
            failure = e.message();
            return -99;
        }
    }

    // Who got what: one entry per message handed over, by its To.
    QMap<QString, ParsedMail::Message> received(Route route, QList<QByteArray>* raw = nullptr) const
    {
        QMap<QString, ParsedMail::Message> out;
        if (route == Route::MailClient) {
            QFile f(file("hook-uri"));
            if (!f.open(QIODevice::ReadOnly))
                return out;
            const QByteArray uri = f.readAll();
            const qsizetype query = uri.indexOf('?');
            ParsedMail::Message m;
            for (const QByteArray& pair : uri.mid(query + 1).split('&')) {
                const QString value = QUrl::fromPercentEncoding(pair.mid(pair.indexOf('=') + 1));
                if (pair.startsWith("subject="))
                    m.subject = value;
                else if (pair.startsWith("body="))
                    m.text = value;
            }
            for (const QByteArray& a : uri.mid(7, query - 7).split(','))
                m.to << QUrl::fromPercentEncoding(a);
            out.insert(m.to.join(','), m);
            return out;
        }
        for (const ParsedMail::Message& m : ParsedMail::allIn(file("out"), raw))
            out.insert(m.to.join(','), m);
        return out;
    }

    void storeCards()
    {
        TestCards::store(ArchiveKind::Contacts,
            { { "varContatto", "Anna Bianchi" }, { "varAzienda", "Studio Bianchi & C. {srl}" },
                { "varEmail", "anna@x.it" }, { "varCitta", Cp1252::encode(QStringLiteral("Forlì")) },
                { "varNote", Cp1252::encode(QStringLiteral("Sconto 10 €\r\nsu tutto")) } });
        TestCards::store(ArchiveKind::Contacts, { { "varContatto", "Mario Rossi" }, { "varEmail", "MARIO@x.it" } });
        TestCards::store(ArchiveKind::Contacts, { { "varContatto", "Mario Verdi" }, { "varEmail", "mario@x.it" } });
    }

    QString failure;
    std::unique_ptr<TempDataDir> data_;
    QByteArray path_;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QDir().mkpath(file("bin"));
        QDir().mkpath(file("hook"));
        // One file per message, as the private route hands them over.
        writeScript(file("bin/sendmail"), "m=$(mktemp \"$D/out/XXXXXX\")\ncat > \"$m\"\n");
        writeScript(file("hook/xdg-email-hook.sh"), "printf '%s' \"$1\" > \"$D/hook-uri\"\n");
        path_ = qgetenv("PATH");
    }

    void init()
    {
        failure.clear();
        data_ = std::make_unique<TempDataDir>();
        QDir(file("out")).removeRecursively();
        QDir().mkpath(file("out"));
        QFile::remove(file("hook-uri"));
        qputenv("VELMARO_SENDMAIL", QFile::encodeName(file("bin/sendmail")));
        const QString xdgEmail = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
        QVERIFY2(!xdgEmail.isEmpty(), "xdg-email (xdg-utils) is not installed");
        qputenv("VELMARO_XDG_EMAIL", QFile::encodeName(xdgEmail));
        qputenv("PATH", QFile::encodeName(file("hook")) + ':' + path_);
        // The closing line and header are looked at on their own below.
        Unsubscribe::save({ false, false, QString(), false });
    }

    void cleanup()
    {
        qputenv("PATH", path_);
        data_.reset();
    }

    void routes_data()
    {
        QTest::addColumn<Route>("route");
        QTest::newRow("sendmail") << Route::Sendmail;
        QTest::newRow("private") << Route::Private;
        QTest::newRow("mail client") << Route::MailClient;
    }

    void excludedNeverHandedOver_data() { routes_data(); }
    void excludedNeverHandedOver()
    {
        QFETCH(Route, route);
        OptOutList().add({ "Anna@X.it", "dario@x.it", "zeno@x.it" }, QStringLiteral("telefonata"));
        RecordingQuestions questions;
        RecordingProgress progress;
        QCOMPARE(send(route, " anna@x.it,bruno@x.it, ANNA@X.IT ,Carla <carla@x.it>,  Dario@X.it ", "S", "T"), 0);
        const QMap<QString, ParsedMail::Message> got = received(route);
        const QStringList expected = { "bruno@x.it", "carla@x.it" };
        if (route == Route::Private)
            QCOMPARE(got.keys(), expected);
        else
            QCOMPARE(got.keys(), QStringList { expected.join(',') });
        QCOMPARE(questions.asked, QStringList { "go ahead" });
        QCOMPARE(questions.outline.excluded, QStringList({ "anna@x.it", "Dario@X.it" }));
        QCOMPARE(questions.outline.recipients, 2);
        if (route == Route::Private)
            QVERIFY(PrivateSend::summary(progress.report)
                        .endsWith(QStringLiteral("\n\n2 indirizzi esclusi perché hanno chiesto di non ricevere "
                                                 "comunicazioni.")));
        QVERIFY(SendChecks::outlineText(questions.outline)
                    .startsWith(QStringLiteral("2 indirizzi sono esclusi perché hanno chiesto di non ricevere "
                                               "comunicazioni. Il messaggio sarà inviato agli altri 2 indirizzi.")));
    }

    void stoppedAtTheQuestion_data() { routes_data(); }
    void stoppedAtTheQuestion()
    {
        QFETCH(Route, route);
        OptOutList().add({ "anna@x.it" }, QString());
        RecordingQuestions questions;
        questions.goOn = false;
        // Nothing handed over, and no error box after the user's own No.
        QCOMPARE(send(route, "anna@x.it,bruno@x.it", "S", "T"), int(MAPI_USER_ABORT));
        QVERIFY(received(route).isEmpty());
    }

    void allExcluded_data() { routes_data(); }
    void allExcluded()
    {
        QFETCH(Route, route);
        OptOutList().add({ "anna@x.it", "bruno@x.it" }, QString());
        RecordingQuestions questions;
        QCOMPARE(send(route, "ANNA@x.it, bruno@x.it ,", "S", "T"), int(MAPI_USER_ABORT));
        QVERIFY(received(route).isEmpty());
        QCOMPARE(questions.asked, QStringList { "all excluded: ANNA@x.it,bruno@x.it" });
        QCOMPARE(SendChecks::allExcludedText(2),
            QStringLiteral("Tutti i 2 indirizzi del messaggio sono esclusi perché hanno chiesto di non ricevere "
                           "comunicazioni: il messaggio non è stato inviato."));
    }

    void noListSendsAsBefore_data() { routes_data(); }
    void noListSendsAsBefore()
    {
        QFETCH(Route, route);
        RecordingQuestions questions;
        QCOMPARE(send(route, "anna@x.it,bruno@x.it", "Prezzi {dal 1° maggio", "Gentile cliente, {}"), 0);
        QCOMPARE(received(route).size(), route == Route::Private ? 2 : 1);
        QVERIFY(questions.asked.isEmpty());
        QVERIFY(!QFile::exists(data_->file(OptOutList::fileName())));
    }

    void damagedListStopsTheSending()
    {
        QFile f(data_->file(OptOutList::fileName()));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(2048, 'x'));
        f.close();
        QCOMPARE(send(Route::Sendmail, "anna@x.it", "S", "T"), -99);
        QCOMPARE(failure,
            QStringLiteral("Il messaggio e-mail corrente non è stato inviato.\n\nProblema riscontrato: impossibile "
                           "leggere l'elenco degli indirizzi esclusi dagli invii."));
        QVERIFY(received(Route::Sendmail).isEmpty());
    }

    void unsubscribe_data()
    {
        QTest::addColumn<Route>("route");
        QTest::addColumn<bool>("header");
        QTest::addColumn<bool>("line");
        QTest::addColumn<bool>("plainToo");
        QTest::addColumn<bool>("expectHeader");
        QTest::addColumn<bool>("expectLine");
        QTest::newRow("private, both") << Route::Private << true << true << false << true << true;
        QTest::newRow("private, header only") << Route::Private << true << false << false << true << false;
        QTest::newRow("private, line only") << Route::Private << false << true << false << false << true;
        QTest::newRow("private, neither") << Route::Private << false << false << false << false << false;
        QTest::newRow("plain, not chosen") << Route::Sendmail << true << true << false << false << false;
        QTest::newRow("plain, chosen") << Route::Sendmail << true << true << true << true << true;
        QTest::newRow("client, not chosen") << Route::MailClient << true << true << false << false << false;
        // A compose window takes the body, not our headers.
        QTest::newRow("client, chosen") << Route::MailClient << true << true << true << false << true;
    }

    void unsubscribe()
    {
        QFETCH(Route, route);
        QFETCH(bool, header);
        QFETCH(bool, line);
        QFETCH(bool, plainToo);
        QFETCH(bool, expectHeader);
        QFETCH(bool, expectLine);
        Unsubscribe::save({ header, line, QString(), plainToo });
        QCOMPARE(send(route, "anna@x.it", "S", "Saluti.\n\n"), 0);
        const ParsedMail::Message m = received(route).value(QStringLiteral("anna@x.it"));
        QCOMPARE(m.header("List-Unsubscribe"),
            expectHeader ? QByteArray("<mailto:nicolo@velmaro.it?subject=Cancellazione>") : QByteArray());
        // Line ends as the route writes them; a quoted-printable part reads
        // back with a final one.
        QString text = m.text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        while (text.endsWith(QLatin1Char('\n')))
            text.chop(1);
        QCOMPARE(text,
            expectLine ? QStringLiteral("Saluti.\n\nPer non ricevere più queste comunicazioni, rispondere a questo "
                                        "messaggio con oggetto «Cancellazione».")
                       : QStringLiteral("Saluti."));
    }

    void closingLineTextEditable()
    {
        Unsubscribe::save({ false, true, QStringLiteral("Per cancellarsi: {Azienda|scrivere a noi}."), false });
        RecordingQuestions questions;
        QCOMPARE(send(Route::Private, "anna@x.it", "S", "Saluti"), 0);
        QCOMPARE(received(Route::Private).value("anna@x.it").text,
            QStringLiteral("Saluti\n\nPer cancellarsi: scrivere a noi."));
        QCOMPARE(Unsubscribe::load().text, QStringLiteral("Per cancellarsi: {Azienda|scrivere a noi}."));
    }

    void headerValue_data()
    {
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("plain") << "info@studio.it" << QByteArray("<mailto:info@studio.it?subject=Cancellazione>");
        QTest::newRow("reserved characters")
            << "a&b?c%d@x.it" << QByteArray("<mailto:a%26b%3Fc%25d@x.it?subject=Cancellazione>");
        QTest::newRow("international domain")
            << "info@città.it" << QByteArray("<mailto:info@xn--citt-3na.it?subject=Cancellazione>");
    }

    void headerValue()
    {
        QFETCH(QString, sender);
        QFETCH(QByteArray, value);
        QCOMPARE(Unsubscribe::headerValue(sender), value);
    }

    // Each recipient's own subject and body, through the private route.
    void personalised_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("subjects"); // anna, mario, nessuno
        QTest::addColumn<QStringList>("bodies");
        QTest::newRow("name and fallback")
            << "Novità per {Azienda|i nostri clienti}"
            << "Gentile {Cognome e nome|cliente},\nciao."
            << QStringList { "Novità per Studio Bianchi & C. {srl}", "Novità per i nostri clienti",
                   "Novità per i nostri clienti" }
            << QStringList { "Gentile Anna Bianchi,\nciao.", "Gentile Mario Rossi,\nciao.", "Gentile cliente,\nciao." };
        QTest::newRow("line breaks and euro")
            << "{Note}: {Città|altrove}"
            << "{Note}" << QStringList { "Sconto 10 € su tutto: Forlì", ": altrove", ": altrove" }
            << QStringList { "Sconto 10 €\nsu tutto", "", "" };
        QTest::newRow("subject only") << "{Cognome e nome|Gentile cliente}, le novità"
                                      << "Uguale per tutti."
                                      << QStringList { "Anna Bianchi, le novità", "Mario Rossi, le novità",
                                             "Gentile cliente, le novità" }
                                      << QStringList { "Uguale per tutti.", "Uguale per tutti.", "Uguale per tutti." };
        // Long lines take soft breaks, blanks at a line's end are kept.
        const QString tail = QString(300, QLatin1Char('x')) + QStringLiteral(" è=€ fine  ");
        QTest::newRow("long lines") << "S"
                                    << "{Cognome e nome|Cliente} " + tail + "\nriga fissa " + tail + "\n\t "
                                    << QStringList { "S", "S", "S" }
                                    << QStringList { "Anna Bianchi " + tail + "\nriga fissa " + tail + "\n\t ",
                                           "Mario Rossi " + tail + "\nriga fissa " + tail + "\n\t ",
                                           "Cliente " + tail + "\nriga fissa " + tail + "\n\t " };
        QTest::newRow("plain ASCII, long")
            << "S"
            << "{Cognome e nome|Cliente}: " + QString(1200, QLatin1Char('a')) << QStringList { "S", "S", "S" }
            << QStringList { "Anna Bianchi: " + QString(1200, QLatin1Char('a')),
                   "Mario Rossi: " + QString(1200, QLatin1Char('a')), "Cliente: " + QString(1200, QLatin1Char('a')) };
        QTest::newRow("body only") << "Le novità"
                                   << "Per {Azienda|voi}: {Città}"
                                   << QStringList { "Le novità", "Le novità", "Le novità" }
                                   << QStringList { "Per Studio Bianchi & C. {srl}: Forlì", "Per voi: ", "Per voi: " };
    }

    void personalised()
    {
        QFETCH(QString, subject);
        QFETCH(QString, body);
        QFETCH(QStringList, subjects);
        QFETCH(QStringList, bodies);
        storeCards();
        QFile attachment(file("listino.bin"));
        QVERIFY(attachment.open(QIODevice::WriteOnly));
        const QByteArray bytes(3000, '\xA7');
        attachment.write(bytes);
        attachment.close();
        RecordingQuestions questions;
        QCOMPARE(send(Route::Private, "anna@x.it,Mario@X.it,nessuno@x.it", subject, body, file("listino.bin")), 0);
        QCOMPARE(questions.outline.recipients, 3);
        QVERIFY(questions.outline.personal);
        QCOMPARE(questions.outline.withoutCard, 1);
        QList<QByteArray> raw;
        const QMap<QString, ParsedMail::Message> got = received(Route::Private, &raw);
        const QStringList to = { "anna@x.it", "Mario@X.it", "nessuno@x.it" };
        QCOMPARE(got.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const ParsedMail::Message m = got.value(to[i]);
            QCOMPARE(m.subject, subjects[i]); // decoded back from RFC 2047
            QString text = m.text;
            QCOMPARE(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")), bodies[i]);
            QCOMPARE(m.attachment, bytes);
            QCOMPARE(m.from, QStringLiteral("nicolo@velmaro.it"));
            QVERIFY(m.hasDate);
        }
        for (const QByteArray& message : raw) {
            // Every line fits what mail carries.
            for (const QByteArray& line : message.split('\n'))
                QVERIFY2(line.size() <= 998, line.left(80).constData());
            const QByteArray head = message.left(message.indexOf("\n\n"));
            // Headers stay ASCII, nothing injected by a value's line break.
            for (char c : head)
                QVERIFY2(uchar(c) < 0x80, head.constData());
            QCOMPARE(head.count("\nSubject:") + int(head.startsWith("Subject:")), 1);
            QCOMPARE(head.count("\nTo:") + int(head.startsWith("To:")), 1);
        }
    }

    void unknownPlaceholderRefused_data() { routes_data(); }
    void unknownPlaceholderRefused()
    {
        QFETCH(Route, route);
        RecordingQuestions questions;
        QCOMPARE(send(route, "anna@x.it", "Per {Aziend}", "Gentile {Cognome e nome}, {Foo|x}"), int(MAPI_USER_ABORT));
        QVERIFY(received(route).isEmpty());
        QCOMPARE(questions.asked, QStringList { "unknown: {Aziend},{Foo|x}" });
        QCOMPARE(SendChecks::unknownFieldsText({ "{Aziend}" }),
            QStringLiteral("Attenzione: il campo personalizzato {Aziend} non corrisponde a nessun campo della scheda "
                           "contatto: il messaggio non è stato inviato.\n\nIl pulsante «Campi» inserisce i nomi dei "
                           "campi disponibili."));
    }

    void placeholdersInAPlainSending_data()
    {
        QTest::addColumn<Route>("route");
        QTest::addColumn<bool>("answer");
        QTest::newRow("sendmail, private instead") << Route::Sendmail << true;
        QTest::newRow("sendmail, cancelled") << Route::Sendmail << false;
        QTest::newRow("preview, private instead") << Route::MailClient << true;
        QTest::newRow("preview, cancelled") << Route::MailClient << false;
    }

    void placeholdersInAPlainSending()
    {
        QFETCH(Route, route);
        QFETCH(bool, answer);
        storeCards();
        RecordingQuestions questions;
        questions.privatelyInstead = answer;
        QCOMPARE(send(route, "anna@x.it,nessuno@x.it", "Per {Azienda|voi}", "Ciao"), answer ? 0 : int(MAPI_USER_ABORT));
        QCOMPARE(questions.asked.first(), QStringLiteral("plain: {Azienda|voi}"));
        // Never the braces to everyone: either each their own message, or none.
        QVERIFY(received(Route::MailClient).isEmpty());
        const QMap<QString, ParsedMail::Message> got = received(Route::Private);
        QCOMPARE(got.size(), answer ? 2 : 0);
        if (answer) {
            QCOMPARE(got.value("anna@x.it").subject, QStringLiteral("Per Studio Bianchi & C. {srl}"));
            QCOMPARE(got.value("nessuno@x.it").subject, QStringLiteral("Per voi"));
        }
    }

    void withoutQuestionsNothingPersonalGoesPlain()
    {
        QCOMPARE(send(Route::Sendmail, "anna@x.it", "Per {Azienda}", "Ciao"), int(MAPI_USER_ABORT));
        QVERIFY(received(Route::Sendmail).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSendChecks)
#include "test_send_checks.moc"
