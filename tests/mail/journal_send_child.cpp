// Runs one private sending for the kill test, in a process of its own that
// the test kills: "send FILE" sends to the addresses listed in FILE (one a
// line), "resume ID" resumes that sending without the uncertain recipients.
// The data folder and the sendmail program come from the environment.
#include "mail/delivery_journal.h"
#include "mail/journal_recorder.h"
#include "mail/mapi_mail.h"
#include "storage/app_paths.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    AppPaths::setDataDir(qEnvironmentVariable("VELMARO_TEST_DATA"));
    // Never asked in the test: the journal is writable.
    JournalRecorder::install([](const QString&, bool) { return false; });
    try {
        if (args[1] == QLatin1String("send")) {
            QFile list(args[2]);
            if (!list.open(QIODevice::ReadOnly))
                return 2;
            const QString addresses = QString::fromUtf8(list.readAll()).trimmed().replace(QLatin1Char('\n'), ',');
            std::puts("go");
            std::fflush(stdout);
            SendMapiMessage(QString(), addresses, QStringLiteral("Ufficio"), QStringLiteral("ufficio@esempio.it"),
                QStringLiteral("Notizie"), QStringLiteral("Gentile cliente,\r\nle novità del mese."), QString(), false,
                true);
        } else {
            const qint64 id = args[2].toLongLong();
            QStringList recipients;
            {
                DeliveryJournal journal;
                recipients = ResumeSending::recipients(journal, id, false);
            }
            std::puts("go");
            std::fflush(stdout);
            ResumeSending::send(id, recipients);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
