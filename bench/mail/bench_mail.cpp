// One message to 10,000 addresses with a 1 MB attachment, submitted to a fake
// sendmail that reads everything, side by side with piping the same message,
// built beforehand, to the same program. Median of 5 runs each.
#include "mail/mail_backend.h"
#include "mail/mapi_mail.h"
#include "mail/mime_message.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 5;

double medianMs(const std::function<void()>& body)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        body();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[kRuns / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;

    const QString sendmail = dir.filePath(QStringLiteral("sendmail"));
    {
        QFile f(sendmail);
        f.open(QIODevice::WriteOnly);
        f.write("#!/bin/sh\ncat > /dev/null\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    qputenv("VELMARO_SENDMAIL", QFile::encodeName(sendmail));

    const QString attachment = dir.filePath(QStringLiteral("catalogo.pdf"));
    {
        QByteArray bytes(1024 * 1024, '\0');
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(bytes.data()),
                                              bytes.size() / 4);
        QFile f(attachment);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }

    QStringList list;
    for (int i = 0; i < 10000; ++i)
        list << QStringLiteral("iscritto.%1@esempio-newsletter.it").arg(i);
    const QString addresses = list.join(QLatin1Char(','));
    const QString body = QStringLiteral("Gentile cliente,\nin allegato il catalogo di primavera.\n");

    const auto submit = [&] {
        SendMapiMessage(QString(), addresses, QStringLiteral("Ufficio Vendite"),
                        QStringLiteral("vendite@velmaro.it"), QStringLiteral("Catalogo di primavera"),
                        body, attachment, false);
    };

    // The same message, built once.
    MapiRecipDesc to;
    to.ulRecipClass = MAPI_TO;
    to.lpszName = to.lpszAddress = addresses;
    MapiRecipDesc from;
    from.lpszName = QStringLiteral("Ufficio Vendite");
    from.lpszAddress = QStringLiteral("SMTP:vendite@velmaro.it");
    MapiFileDesc file;
    file.nPosition = 0xFFFFFFFF;
    file.lpszPathName = attachment;
    MapiMessage message;
    message.lpszSubject = QStringLiteral("Catalogo di primavera");
    message.lpszNoteText = body;
    message.lpOriginator = &from;
    message.nRecipCount = 1;
    message.lpRecips = &to;
    message.nFileCount = 1;
    message.lpFiles = &file;
    QByteArray built;
    if (MimeMail::build(message, built) != 0)
        return 1;

    submit(); // warm-up: GMime initialisation, page cache
    const double full = medianMs(submit);
    const double buildOnly = medianMs([&] {
        QByteArray b;
        MimeMail::build(message, b);
    });
    const double pipeOnly = medianMs([&] { SystemMail::pipeToSendmail(sendmail, built); });

    std::printf("message size:                 %lld bytes\n", static_cast<long long>(built.size()));
    std::printf("SendMapiMessage (build+pipe): %8.1f ms (median of %d)\n", full, kRuns);
    std::printf("  of which building:          %8.1f ms\n", buildOnly);
    std::printf("pipe of the built bytes:      %8.1f ms\n", pipeOnly);
    std::printf("ratio:                        %8.2f (target: within 2)\n", full / pipeOnly);
    return 0;
}
