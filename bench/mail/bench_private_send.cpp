// Private sending to N addresses with a 1 MB attachment, one message per
// address, handed to a stand-in sendmail that reads and discards its input;
// side by side with piping one prebuilt message N times to the same program
// (the floor: what the processes alone cost). Also the peak memory after
// each N, which should not grow with N: the attachment is encoded once.
// Usage: bench_private_send [N ...]   (default: 1000 10000)
#include "../bench_util.h"
#include "mail/mail_backend.h"
#include "mail/mapi_mail.h"
#include "mail/mime_message.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

namespace {
long peakRssKb()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QByteArray(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes = { 1000, 10000 };
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;

    const QString sendmail = writeScript(dir.filePath(QStringLiteral("sendmail")), "cat > /dev/null\n");
    qputenv("VELMARO_SENDMAIL", QFile::encodeName(sendmail));
    const QString attachment = dir.filePath(QStringLiteral("catalogo.pdf"));
    {
        QByteArray bytes(1024 * 1024, '\0');
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        QFile f(attachment);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }

    for (int n : sizes) {
        QStringList list;
        for (int i = 0; i < n; ++i)
            list << QStringLiteral("iscritto.%1@esempio-newsletter.it").arg(i);
        MapiRecipDesc to;
        to.ulRecipClass = MAPI_TO;
        to.lpszName = to.lpszAddress = list.join(QLatin1Char(','));
        MapiRecipDesc from;
        from.lpszName = QStringLiteral("Ufficio Vendite");
        from.lpszAddress = QStringLiteral("SMTP:vendite@velmaro.it");
        MapiFileDesc file;
        file.nPosition = 0xFFFFFFFF;
        file.lpszPathName = attachment;
        MapiMessage message;
        message.lpszSubject = QStringLiteral("Catalogo di primavera");
        message.lpszNoteText = QStringLiteral("Gentile cliente,\nin allegato il catalogo di primavera.\n");
        message.lpOriginator = &from;
        message.nRecipCount = 1;
        message.lpRecips = &to;
        message.nFileCount = 1;
        message.lpFiles = &file;

        // The floor: one prebuilt single-recipient message, piped n times.
        MapiRecipDesc one = to;
        one.lpszName = one.lpszAddress = list.first();
        MapiMessage single = message;
        single.lpRecips = &one;
        QByteArray built;
        if (MimeMail::build(single, built) != 0)
            return 1;
        const double floor = medianMs(1, [&] {
            for (int i = 0; i < n; ++i)
                SystemMail::pipeToSendmail(sendmail, built);
        });

        SystemMailSubmission backend;
        quint32 result = 0;
        const double privately = medianMs(1, [&] { result = backend.send(message, MAIL_PRIVATE); });
        if (result != 0 || backend.privateReport().handedOver != n) {
            std::fprintf(stderr, "private sending failed: %u, %d handed over\n", result,
                backend.privateReport().handedOver);
            return 1;
        }
        std::printf("%d addresses, 1 MB attachment (message of %lld bytes)\n", n, static_cast<long long>(built.size()));
        report("  pipe one prebuilt message n times", floor);
        report("  private sending", privately, floor);
        std::printf("  per message: %.2f ms private, %.2f ms floor; peak memory so far %ld kB\n", privately / n,
            floor / n, peakRssKb());
    }
    return 0;
}
