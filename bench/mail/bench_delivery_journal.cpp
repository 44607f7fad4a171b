// The delivery journal.
// 1. Recording overhead: a private sending of N recipients (default 10,000)
//    to a sendmail stand-in that reads and discards, with the journal and
//    without; runs alternate, medians compared. Also what recording alone
//    costs per recipient (the same calls with nothing handed over).
// 2. The "Storico invii" window on a journal of 1,000 sendings of 1,000
//    recipients (and one more of 100,000): opening it (journal opened, both
//    lists filled) and filtering by one address, medians of several runs.
// Usage: bench_delivery_journal [N [runs [record|window]]]  (both parts by default)
#include "../bench_util.h"
#include "mail/delivery.h"
#include "mail/delivery_journal.h"
#include "mail/frm_storico_invii.h"
#include "mail/journal_recorder.h"
#include "mail/mail_backend.h"
#include "mail/mapi_mail.h"
#include "storage/app_paths.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

MapiMessage message(const QStringList& list, MapiRecipDesc& to, MapiRecipDesc& from)
{
    to.ulRecipClass = MAPI_TO;
    to.lpszName = to.lpszAddress = list.join(QLatin1Char(','));
    from.lpszName = QStringLiteral("Ufficio Vendite");
    from.lpszAddress = QStringLiteral("SMTP:vendite@velmaro.it");
    MapiMessage m;
    m.lpszSubject = QStringLiteral("Catalogo di primavera");
    m.lpszNoteText = QString(10 * 1024, QLatin1Char('x'));
    m.lpOriginator = &from;
    m.nRecipCount = 1;
    m.lpRecips = &to;
    return m;
}

QStringList addresses(int n, int offset = 0)
{
    QStringList list;
    for (int i = 0; i < n; ++i)
        list << QStringLiteral("iscritto.%1@esempio-newsletter.it").arg(offset + i);
    return list;
}

// Passes every report on to the recorder and adds up the time it takes:
// the recording's own share of a sending, whatever the machine's load does
// to the sink.
class Timed final : public Delivery::IObserver {
public:
    explicit Timed(Delivery::IObserver& inner)
        : inner_(inner)
    { }
    bool begin(const Delivery::Plan& plan) override
    {
        return timed([&] { return inner_.begin(plan); });
    }
    bool handingOver(const QList<qsizetype>& recipients) override
    {
        return timed([&] { return inner_.handingOver(recipients); });
    }
    void handedOver(const QList<Delivery::Result>& results) override
    {
        timed([&] {
            inner_.handedOver(results);
            return true;
        });
    }
    void end() override
    {
        timed([&] {
            inner_.end();
            return true;
        });
    }
    double ms = 0;

private:
    template <typename F> bool timed(F f)
    {
        QElapsedTimer t;
        t.start();
        const bool r = f();
        ms += double(t.nsecsElapsed()) / 1e6;
        return r;
    }
    Delivery::IObserver& inner_;
};

void recordingOverhead(const QString& dir, int n, int runs)
{
    const QString sendmail = dir + QStringLiteral("/sendmail");
    {
        QFile f(sendmail);
        f.open(QIODevice::WriteOnly);
        f.write("#!/bin/sh\ncat > /dev/null\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    qputenv("VELMARO_SENDMAIL", QFile::encodeName(sendmail));
    const QStringList list = addresses(n);
    MapiRecipDesc to, from;
    const MapiMessage m = message(list, to, from);
    JournalRecorder recorder([](const QString& problem, bool) {
        std::fprintf(stderr, "journal failed: %s\n", qPrintable(problem));
        return false;
    });
    SystemMailSubmission backend;
    std::vector<double> with, without, share;
    for (int r = 0; r < runs; ++r) {
        for (bool journal : { false, true }) {
            Timed timed(recorder);
            Delivery::installObserver(journal ? &timed : nullptr);
            const double ms = medianMs(1, [&] { backend.send(m, MAIL_PRIVATE); });
            (journal ? with : without).push_back(ms);
            if (journal)
                share.push_back(timed.ms / ms * 100.0);
            if (backend.privateReport().handedOver != n)
                std::fprintf(stderr, "only %d of %d handed over\n", backend.privateReport().handedOver, n);
        }
    }
    Delivery::installObserver(nullptr);
    std::sort(with.begin(), with.end());
    std::sort(without.begin(), without.end());
    std::sort(share.begin(), share.end());
    const double a = without[without.size() / 2], b = with[with.size() / 2];
    std::printf("private sending of %d messages (10 KB body) to a sendmail sink, median of %d runs each\n", n, runs);
    report("  without the journal", a);
    report("  with the journal", b);
    std::printf("  overhead %.1f %%  (runs without:", (b - a) / a * 100.0);
    for (double ms : without)
        std::printf(" %.0f", ms);
    std::printf(" ms; with:");
    for (double ms : with)
        std::printf(" %.0f", ms);
    std::printf(" ms)\n");
    std::printf(
        "  time spent recording within the sendings with the journal: %.1f %% (median)\n", share[share.size() / 2]);

    // Recording alone: every call the back end makes, nothing handed over.
    const double alone = medianMs(3, [&] {
        Delivery::installObserver(&recorder);
        Delivery::Sending recorded(Delivery::Route::Sendmail, true, m, list);
        recorded.begin(false);
        for (qsizetype i = 0; i < n; ++i) {
            recorded.inFlight({ i });
            recorded.handedOver({ i });
        }
        recorded.finish();
        Delivery::installObserver(nullptr);
    });
    std::printf("  recording alone: %.2f ms for %d recipients, %.1f us each\n", alone, n, alone * 1000.0 / n);
}

void fill(int sendings, int each, int big)
{
    DeliveryJournal journal;
    const QStringList everybody = addresses(5000);
    QList<qint64> rows;
    const auto add = [&](const QStringList& list, int number) {
        const qint64 id = journal.addSending(
            { QDateTime::currentDateTime().addSecs(number - sendings), number % 50, QString(),
                QStringLiteral("vendite@velmaro.it"), QStringLiteral("Notiziario n. %1").arg(number),
                QStringLiteral("Testo"), QString(), Journal::Route::Sendmail, true },
            list, rows);
        QList<DeliveryJournal::RowOutcome> outcomes;
        for (qint64 row : rows)
            outcomes.append({ row, Journal::Outcome::AcceptedByMailProgram, {} });
        journal.setOutcomes(outcomes);
        journal.finishSending(id);
    };
    for (int s = 0; s < sendings; ++s) {
        // Each sending a different slice of 5,000 subscribers.
        QStringList list;
        for (int i = 0; i < each; ++i)
            list << everybody[(s * 37 + i) % everybody.size()];
        add(list, s);
    }
    if (big > 0)
        add(addresses(big, 100000), sendings);
}

void window(const char* what, int runs)
{
    std::vector<double> open, filter;
    const QStringList probes = { "iscritto.4321@", "iscritto.17@esempio", "iscritto.100050@", "iscritto.999" };
    int shown = 0, found = 0;
    for (int r = 0; r < runs; ++r) {
        TfrmStoricoInvii form;
        open.push_back(medianMs(1, [&] {
            form.show();
            QCoreApplication::processEvents();
        }));
        shown = form.findChild<QTableView*>("lstInvii")->model()->rowCount();
        auto* text = form.findChild<QLineEdit*>("txtFiltro");
        filter.push_back(medianMs(1, [&] {
            text->setText(probes[r % probes.size()]);
            form.txtFiltroChange();
            QCoreApplication::processEvents();
        }));
        found = form.findChild<QTableView*>("lstInvii")->model()->rowCount();
        form.hide();
    }
    std::sort(open.begin(), open.end());
    std::sort(filter.begin(), filter.end());
    std::printf("%s, median of %d runs\n", what, runs);
    report("  open Storico invii (both lists filled)", open[open.size() / 2]);
    report("  filter by one address", filter[filter.size() / 2]);
    std::printf("  (%d sendings listed on opening, %d after the last filter)\n", shown, found);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int n = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    const int runs = argc > 2 ? QByteArray(argv[2]).toInt() : 3;
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    AppPaths::setDataDir(dir.path());

    const QByteArray part = argc > 3 ? QByteArray(argv[3]) : QByteArray();
    if (part != "window")
        recordingOverhead(dir.path(), n, runs);
    if (part == "record")
        return 0;

    for (const char* f : { "", "-wal", "-shm" })
        QFile::remove(DeliveryJournal::defaultPath() + QLatin1String(f));
    QElapsedTimer t;
    t.start();
    fill(1000, 1000, 0);
    std::printf("journal of 1,000 sendings x 1,000 recipients written in %.1f s (%.0f MB)\n", t.elapsed() / 1000.0,
        QFileInfo(DeliveryJournal::defaultPath()).size() / 1e6);
    window("1,000 sendings x 1,000 recipients", 7);
    fill(0, 0, 100000);
    window("the same and a newest sending of 100,000 recipients", 7);
    return 0;
}
