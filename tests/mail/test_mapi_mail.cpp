#include "mail/mail_recorder.h"
#include "mail/mapi_mail.h"

#include <QtTest>

namespace {
const QString kThree = QStringLiteral("anna@esempio.it,bruno@esempio.it,carla@esempio.it");

QString failureOf(const std::function<void()>& body)
{
    try {
        body();
    } catch (const tMailFileException& e) {
        return e.message();
    }
    return QStringLiteral("<no failure>");
}

QString full(const QString& problem)
{
    return QStringLiteral("Il messaggio e-mail corrente non è stato inviato.\n\n"
                          "Problema riscontrato: ")
        + problem + QLatin1Char('.');
}
} // namespace

class TestMapiMail : public QObject {
    Q_OBJECT

private slots:
    void records_data()
    {
        QTest::addColumn<QStringList>(
            "args"); // names, addresses, sender name, sender address, subject, body, attachment
        QTest::addColumn<bool>("preview");
        QTest::addColumn<QStringList>("expected"); // recip name, recip address, orig name, orig address, subject, body

        QTest::newRow("three addresses, no names")
            << QStringList { "", kThree, "Ufficio", "info@velmaro.it", "Notizie", "Testo", "" } << false
            << QStringList { kThree, kThree, "Ufficio", "SMTP:info@velmaro.it", "Notizie", "Testo" };
        QTest::newRow("names kept apart from addresses")
            << QStringList { "Anna,Bruno", "a@x.it,b@x.it", "Ufficio", "info@velmaro.it", "S", "T", "" } << true
            << QStringList { "Anna,Bruno", "a@x.it,b@x.it", "Ufficio", "SMTP:info@velmaro.it", "S", "T" };
        QTest::newRow("sender name falls back to the address")
            << QStringList { "", "a@x.it", "", "info@velmaro.it", "S", "T", "" } << false
            << QStringList { "a@x.it", "a@x.it", "info@velmaro.it", "SMTP:info@velmaro.it", "S", "T" };
        QTest::newRow("empty subject") << QStringList { "", "a@x.it", "", "m@x.it", "", "T",
            "" } << false << QStringList { "a@x.it", "a@x.it", "m@x.it", "SMTP:m@x.it", "<Nessun oggetto>", "T" };
        QTest::newRow("blank subject and untrimmed texts pass unchanged")
            << QStringList { " N ", " a@x.it ", " S ", " m@x.it", "   ", " T\r\n", "" } << false
            << QStringList { " N ", " a@x.it ", " S ", "SMTP: m@x.it", "   ", " T\r\n" };
        QTest::newRow("attachment only") << QStringList { "", "a@x.it", "", "m@x.it", "S", "",
            "/tmp/listino prezzi.pdf " } << true
                                         << QStringList { "a@x.it", "a@x.it", "m@x.it", "SMTP:m@x.it", "S",
                                                "Si prega di visualizzare il file allegato." };
    }

    void records()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, preview);
        QFETCH(QStringList, expected);
        MailRecorder mail;
        QCOMPARE(SendMapiMessage(args[0], args[1], args[2], args[3], args[4], args[5], args[6], preview), 0);
        QCOMPARE(mail.count(), 1);
        const auto& s = mail.last();

        QCOMPARE(s.flags, preview ? MAPI_DIALOG : 0u);
        QCOMPARE(s.message.ulReserved, 0u);
        QCOMPARE(s.message.flFlags, 0u);
        QVERIFY(s.message.lpszMessageType.isNull());
        QVERIFY(s.message.lpszDateReceived.isNull());
        QVERIFY(s.message.lpszConversationID.isNull());
        QCOMPARE(s.message.lpszSubject, expected[4]);
        QCOMPARE(s.message.lpszNoteText, expected[5]);

        QCOMPARE(s.message.nRecipCount, 1u);
        QCOMPARE(s.recipients.size(), 1);
        const MapiRecipDesc& to = s.recipients.first();
        QCOMPARE(to.ulRecipClass, MAPI_TO);
        QCOMPARE(to.lpszName, expected[0]);
        QCOMPARE(to.lpszAddress, expected[1]);
        QCOMPARE(to.ulEIDSize, 0u);
        QVERIFY(!to.lpEntryID);

        QVERIFY(s.hasOriginator);
        QCOMPARE(s.originator.ulRecipClass, MAPI_ORIG);
        QCOMPARE(s.originator.lpszName, expected[2]);
        QCOMPARE(s.originator.lpszAddress, expected[3]);

        if (args[6].isEmpty()) {
            QCOMPARE(s.message.nFileCount, 0u);
            QVERIFY(s.files.isEmpty());
        } else {
            QCOMPARE(s.message.nFileCount, 1u);
            QCOMPARE(s.files.size(), 1);
            const MapiFileDesc& f = s.files.first();
            QCOMPARE(f.lpszPathName, args[6]);
            QCOMPARE(f.nPosition, 0xFFFFFFFFu);
            QCOMPARE(f.flFlags, 0u);
            QVERIFY(f.lpszFileName.isNull());
            QVERIFY(!f.lpFileType);
        }
    }

    void checks_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("problem");
        const QString noRecipient = QStringLiteral("Non è stato indicato l'indirizzo e-mail del destinatario");
        const QString noSender = QStringLiteral("Non è stato indicato l'indirizzo e-mail del mittente");
        const QString empty
            = QStringLiteral("Si è cercato di inviare un messaggio e-mail vuoto (senza contenuti o allegati)");
        QTest::newRow("no recipient") << QStringList { "N", "", "S", "m@x.it", "O", "T", "" } << noRecipient;
        QTest::newRow("recipient checked before sender") << QStringList { "", "", "", "", "", "", "" } << noRecipient;
        QTest::newRow("no sender") << QStringList { "", "a@x.it", "S", "", "O", "T", "/f" } << noSender;
        QTest::newRow("sender checked before content") << QStringList { "", "a@x.it", "", "", "", "", "" } << noSender;
        QTest::newRow("neither body nor attachment")
            << QStringList { "", "a@x.it", "", "m@x.it", "O", "", "" } << empty;
    }

    void checks()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, problem);
        MailRecorder mail;
        QCOMPARE(
            failureOf([&] { SendMapiMessage(args[0], args[1], args[2], args[3], args[4], args[5], args[6], true); }),
            full(problem));
        QCOMPARE(mail.count(), 0);
    }

    void resultReported_data()
    {
        QTest::addColumn<quint32>("result");
        QTest::addColumn<QString>("problem");
        QTest::newRow("cancelled") << MAPI_USER_ABORT << "l'utente ha annullato la richiesta";
        QTest::newRow("attachment missing") << MAPI_E_ATTACHMENT_NOT_FOUND << "file allegato non trovato";
        QTest::newRow("7") << 7u << "Codice errore: 7";
        QTest::newRow("no mail program") << MAIL_E_NO_MAIL_PROGRAM
                                         << "nessun programma di posta elettronica disponibile";
    }

    void resultReported()
    {
        QFETCH(quint32, result);
        QFETCH(QString, problem);
        MailRecorder mail;
        mail.result = result;
        try {
            SendMapiMessage("", "a@x.it", "", "m@x.it", "O", "T", "", false);
            QFAIL("no exception");
        } catch (const std::exception& e) {
            // The application-wide display reads what(): UTF-8 of the message.
            QCOMPARE(QString::fromUtf8(e.what()), full(problem));
            QCOMPARE(dynamic_cast<const tMailFileException&>(e).message(), full(problem));
        }
        QCOMPARE(mail.count(), 1);
    }

    void errorText_data()
    {
        QTest::addColumn<quint32>("code");
        QTest::addColumn<QString>("text");
        const char* texts[] = { "l'utente ha annullato la richiesta", "errore generico MAPI",
            "collegamento non riuscito", "spazio su disco insufficiente", "memoria insufficiente", "accesso negato",
            "Codice errore: 7", "numero eccessivo di sessioni aperte", "numero eccessivo di file aperti",
            "numero eccessivo di destinatari", "file allegato non trovato", "impossibile aprire il file allegato",
            "impossibile allegare il file", "destinatario sconosciuto", "tipo di destinatario non valido",
            "nessun messaggio", "messaggio non valido", "testo del messaggio troppo lungo", "sessione non valida",
            "tipo non supportato", "destinatario non riconosciuto", "messaggio già in uso", "errore di rete",
            "campi di testo non validi", "destinatari non validi", "non supportato" };
        for (quint32 code = 1; code <= 26; ++code)
            QTest::addRow("%u", code) << code << QString::fromUtf8(texts[code - 1]);
        QTest::newRow("27") << 27u << "Codice errore: 27";
        QTest::newRow("large") << 100000u << "Codice errore: 100000";
    }

    void errorText()
    {
        QFETCH(quint32, code);
        QFETCH(QString, text);
        QCOMPARE(MapiErrorText(code), text);
    }
};

QTEST_GUILESS_MAIN(TestMapiMail)
#include "test_mapi_mail.moc"
