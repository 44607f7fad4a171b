// Personalised private sending and the opt-out list.
//  1. 10,000 private messages (10 KB body) with placeholders in subject and
//     body, side by side with the same sending without placeholders: once
//     to a stand-in sendmail that reads and discards each message (the
//     whole route), once to an in-process sink (the back end's own work:
//     checks, template, each recipient's headers and personalised parts).
//  2. The checks before a 10,000-address sending with a list of 100,000
//     excluded addresses, against the same without a list; and adding the
//     100,000 addresses to the list as a paste would.
// Usage: bench_personalised [N]   (default 10000). Medians; the two sides of
// each comparison run in turns.
#include "../bench_util.h"
#include "archives/archive_registry.h"
#include "mail/mail_backend.h"
#include "mail/mapi_mail.h"
#include "mail/mime_message.h"
#include "mail/opt_out.h"
#include "mail/personalisation.h"
#include "mail/private_send.h"
#include "mail/send_checks.h"
#include "storage/app_paths.h"
#include "storage/card_archive.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

struct Sending {
    MapiRecipDesc to;
    MapiRecipDesc from;
    MapiMessage message;
    Sending(const QString& list, const QString& subject, const QString& body)
    {
        to.ulRecipClass = MAPI_TO;
        to.lpszName = to.lpszAddress = list;
        from.lpszName = QStringLiteral("Ufficio Vendite");
        from.lpszAddress = QStringLiteral("SMTP:vendite@velmaro.it");
        message.lpszSubject = subject;
        message.lpszNoteText = body;
        message.lpOriginator = &from;
        message.nRecipCount = 1;
        message.lpRecips = &to;
    }
};

// The back end's work for one private sending (the route's own loop),
// every message written to a file that discards it.
bool inProcess(const MapiMessage& message, QFile& sink)
{
    SendChecks::Prepared prepared;
    if (SendChecks::prepare(message, MAIL_PRIVATE, prepared) != SUCCESS_SUCCESS)
        return false;
    QStringList addresses;
    QString bad;
    PrivateSend::recipients(prepared.message().lpRecips[0].lpszAddress, addresses, bad);
    PrivateBody body;
    if (body.build(prepared))
        return false;
    for (const QString& a : addresses) {
        sink.write(MimeMail::recipientHeaders({ QString(), a }, QStringLiteral("vendite@velmaro.it")));
        for (const QByteArrayView piece : body.pieces(a))
            sink.write(piece.data(), piece.size());
    }
    return true;
}

// Medians of a and b, run in turns so that a busy machine weighs on both
// alike. A body returning a time reports that time instead of its own.
template <typename A, typename B> std::pair<double, double> alternating(int runs, A a, B b)
{
    const auto time = [](auto& body) {
        QElapsedTimer t;
        t.start();
        if constexpr (std::is_same_v<decltype(body()), double>)
            return body();
        else {
            body();
            return double(t.nsecsElapsed()) / 1e6;
        }
    };
    std::vector<double> ta, tb;
    for (int i = 0; i < runs; ++i) {
        ta.push_back(time(a));
        tb.push_back(time(b));
    }
    std::sort(ta.begin(), ta.end());
    std::sort(tb.begin(), tb.end());
    return { ta[ta.size() / 2], tb[tb.size() / 2] };
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    AppPaths::setDataDir(dir.path());

    // A contacts archive holding every recipient.
    QStringList list;
    {
        const ArchiveDefinition& d = Archives::get(ArchiveKind::Contacts);
        const CardArchive& a = d.card;
        auto db = a.open();
        db->StartTransaction();
        for (int i = 0; i < n; ++i) {
            const QString address = QStringLiteral("iscritto.%1@esempio-newsletter.it").arg(i);
            list << address;
            QList<QByteArray> v(a.valueCount());
            v[d.indexOf(QStringLiteral("txtContatto"))] = "Cliente Numero " + QByteArray::number(i);
            v[d.indexOf(QStringLiteral("txtAzienda"))] = "Azienda " + QByteArray::number(i) + " Srl";
            v[d.indexOf(QStringLiteral("txtEmail"))] = address.toLatin1();
            v[d.indexOf(QStringLiteral("txtCitta"))] = i % 2 ? "Forl\xEC" : "";
            db->Execute(a.insert(v));
        }
        db->CommitTransaction();
    }
    const QString sendmail = dir.filePath(QStringLiteral("sendmail"));
    {
        QFile f(sendmail);
        f.open(QIODevice::WriteOnly);
        f.write("#!/bin/sh\ncat > /dev/null\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    qputenv("VELMARO_SENDMAIL", QFile::encodeName(sendmail));

    QString filler;
    while (filler.size() < 10000)
        filler += QStringLiteral("Le novità di primavera sono arrivate: sconti su tutto il catalogo. ");
    const Sending personal(list.join(QLatin1Char(',')), QStringLiteral("Novità per {Azienda|voi}"),
        QStringLiteral("Gentile {Cognome e nome},\n") + filler + QStringLiteral("\nA presto a {Città|casa vostra}."));
    const Sending plain(list.join(QLatin1Char(',')), QStringLiteral("Novità per voi, amici"),
        QStringLiteral("Gentile cliente, ciao\n") + filler + QStringLiteral("\nA presto a casa vostra, cari."));

    std::printf("%d private messages, 10 KB body\n", n);
    QFile sink(QStringLiteral("/dev/null"));
    sink.open(QIODevice::WriteOnly);
    bool ok = true;
    const auto [plainIn, personalIn] = alternating(
        7, [&] { ok = ok && inProcess(plain.message, sink); }, [&] { ok = ok && inProcess(personal.message, sink); });
    if (!ok)
        return 1;
    report("  in-process sink, without placeholders", plainIn);
    report("  in-process sink, personalised", personalIn, plainIn);

    SystemMailSubmission backend;
    quint32 result = 0;
    const auto [plainRoute, personalRoute] = alternating(
        3, [&] { result |= backend.send(plain.message, MAIL_PRIVATE); },
        [&] { result |= backend.send(personal.message, MAIL_PRIVATE); });
    if (result != 0 || backend.privateReport().handedOver != n)
        return 1;
    report("  sendmail sink, without placeholders", plainRoute);
    report("  sendmail sink, personalised", personalRoute, plainRoute);

    // The opt-out list.
    QStringList excluded;
    for (int i = 0; i < 100000; ++i)
        excluded << QStringLiteral("Escluso.%1@Altro-Dominio.it").arg(i * 7);
    // A few of the recipients are on it too.
    for (int i = 0; i < n; i += 100)
        excluded << list[i];
    OptOutList optOut;
    const double adding = medianMs(1, [&] { optOut.add(excluded, QStringLiteral("elenco incollato")); });
    const Sending news(list.join(QLatin1Char(',')), QStringLiteral("Notizie"), QStringLiteral("Testo"));
    const auto checks = [&] {
        SendChecks::Prepared prepared;
        result |= SendChecks::prepare(news.message, 0, prepared);
        ok = ok && prepared.excluded().size() == (n + 99) / 100;
    };
    const QString away = optOut.path() + QStringLiteral(".via");
    const auto [withList, without] = alternating(
        9, [&] { checks(); },
        [&] {
            QFile::rename(optOut.path(), away);
            const double t = medianMs(1, [&] {
                SendChecks::Prepared prepared;
                result |= SendChecks::prepare(news.message, 0, prepared);
            });
            QFile::rename(away, optOut.path());
            return t;
        });
    if (result != 0 || !ok)
        return 1;
    std::printf("checks before a plain sending to %d addresses\n", n);
    report("  adding 100,000 addresses to the list", adding);
    report("  without a list", without);
    report("  with 100,000 excluded addresses", withList);
    std::printf("  the list adds %.2f ms\n", withList - without);
    return 0;
}
