// Private sending through the mail account: N messages (a 10 KB body, then
// a 1 MB attachment) to a local SMTP server that takes and discards them,
// side by side with
//   - the floor: a bare libcurl loop sending the same prebuilt messages over
//     one connection with one easy handle and nothing else;
//   - the sendmail route: one sendmail process per message, both a stand-in
//     that reads and discards its input (the least a process costs) and,
//     when msmtp is installed ("apt-get install msmtp", not msmtp-mta),
//     msmtp delivering to the same sink, as a desktop set up with msmtp does;
// and the memory the sending adds at its peak for each N, which should not
// grow with N beyond the recipient list itself.
//
// Usage: bench_smtp [--runs R] [--sendmail-max M] [--aiosmtpd SCRIPT] [--body-only] [N ...]
//   default N: 1000 10000; R: 3; M: 500 (the sendmail route is timed once
//   per kind of message, on at most M messages, and compared per message). --aiosmtpd SCRIPT also times
//   the route against the test server (tests/mail/smtp_test_server.py --sink);
//   --body-only leaves out the messages with an attachment.
#include "../bench_util.h"
#include "mail/mail_backend.h"
#include "mail/mapi_mail.h"
#include "mail/mime_message.h"
#include "mail/smtp_route.h"
#include "mail/smtp_session.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <curl/curl.h>

#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <vector>
#include <unistd.h>

namespace {

// A minimal SMTP server that answers yes to everything and throws the data
// away: fast enough never to be what is measured.
class Sink {
public:
    Sink()
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        int on = 1;
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in a {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(fd_, 8);
        socklen_t len = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { run(); });
    }
    ~Sink()
    {
        stop_ = true;
        ::shutdown(fd_, SHUT_RDWR);
        ::close(fd_);
        thread_.join();
    }
    int port() const { return port_; }

private:
    static void say(int c, const char* text) { (void)!::write(c, text, std::strlen(text)); }

    void run()
    {
        while (!stop_) {
            const int c = ::accept(fd_, nullptr, nullptr);
            if (c < 0)
                return;
            serve(c);
            ::close(c);
        }
    }

    static void serve(int c)
    {
        say(c, "220 sink ESMTP\r\n");
        std::string in;
        std::vector<char> chunk(1 << 16);
        bool data = false;
        for (;;) {
            const ssize_t n = ::read(c, chunk.data(), chunk.size());
            if (n <= 0)
                return;
            in.append(chunk.data(), size_t(n));
            size_t at = 0;
            for (;;) {
                if (data) {
                    const size_t end = in.find("\r\n.\r\n", at);
                    if (end == std::string::npos) {
                        at = in.size() > at + 4 ? in.size() - 4 : at;
                        break;
                    }
                    at = end + 5;
                    data = false;
                    say(c, "250 2.0.0 OK\r\n");
                    continue;
                }
                const size_t nl = in.find("\r\n", at);
                if (nl == std::string::npos)
                    break;
                const std::string verb = in.substr(at, std::min<size_t>(4, nl - at));
                at = nl + 2;
                if (verb == "EHLO")
                    say(c, "250-sink\r\n250 8BITMIME\r\n");
                else if (verb == "DATA") {
                    say(c, "354 go on\r\n");
                    data = true;
                    at -= 2; // the terminator's first CR LF is this one
                } else if (verb == "QUIT") {
                    say(c, "221 bye\r\n");
                    return;
                } else
                    say(c, "250 OK\r\n");
            }
            in.erase(0, at);
        }
    }

    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_ { false };
    std::thread thread_;
};

void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

struct Upload {
    const QByteArray* head;
    const QByteArray* body;
    qsizetype at;
};

size_t readUpload(char* buffer, size_t size, size_t count, void* p)
{
    auto* u = static_cast<Upload*>(p);
    size_t written = 0;
    const size_t room = size * count;
    while (written < room) {
        const QByteArray* part = u->at < u->head->size() ? u->head : u->body;
        const qsizetype offset = part == u->head ? u->at : u->at - u->head->size();
        if (offset >= part->size())
            break;
        const size_t n = std::min(room - written, size_t(part->size() - offset));
        std::memcpy(buffer + written, part->constData() + offset, n);
        written += n;
        u->at += qsizetype(n);
    }
    return written;
}

// The floor: the same messages (shared part and one head each, already in
// CR LF), one easy handle, one connection, nothing else.
bool bareLoop(int port, const QList<QByteArray>& heads, const QStringList& to, const QByteArray& body)
{
    CURL* c = curl_easy_init();
    const QByteArray url = "smtp://127.0.0.1:" + QByteArray::number(port);
    curl_easy_setopt(c, CURLOPT_URL, url.constData());
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, "<vendite@velmaro.it>");
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, readUpload);
    bool ok = true;
    for (qsizetype i = 0; i < heads.size() && ok; ++i) {
        curl_slist* rcpt = curl_slist_append(nullptr, to[i].toUtf8().constData());
        Upload u { &heads[i], &body, 0 };
        curl_easy_setopt(c, CURLOPT_MAIL_RCPT, rcpt);
        curl_easy_setopt(c, CURLOPT_READDATA, &u);
        curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, curl_off_t(heads[i].size() + body.size()));
        ok = curl_easy_perform(c) == CURLE_OK;
        curl_slist_free_all(rcpt);
    }
    curl_easy_cleanup(c);
    return ok;
}

struct Fixture {
    QStringList to;
    QString list;
    MapiRecipDesc from, rcpt;
    MapiFileDesc file;
    MapiMessage message;

    Fixture(int n, const QString& body, const QString& attachment)
    {
        for (int i = 0; i < n; ++i)
            to << QStringLiteral("iscritto.%1@esempio-newsletter.it").arg(i);
        list = to.join(QLatin1Char(','));
        from.lpszName = QStringLiteral("Ufficio Vendite");
        from.lpszAddress = QStringLiteral("SMTP:vendite@velmaro.it");
        rcpt.ulRecipClass = MAPI_TO;
        rcpt.lpszName = rcpt.lpszAddress = list;
        message.lpszSubject = QStringLiteral("Catalogo di primavera");
        message.lpszNoteText = body;
        message.lpOriginator = &from;
        message.nRecipCount = 1;
        message.lpRecips = &rcpt;
        if (!attachment.isEmpty()) {
            file.nPosition = 0xFFFFFFFF;
            file.lpszPathName = attachment;
            message.nFileCount = 1;
            message.lpFiles = &file;
        }
    }
};

bool throughAccount(int port, const Fixture& f, int& handedOver)
{
    MailAccount account;
    account.server = QStringLiteral("127.0.0.1");
    account.port = port;
    account.security = Smtp::Security::None;
    account.useForDirect = true;
    PrivateSend::Report report;
    QString problem;
    const quint32 r = SmtpRoute::send({ account, QString(), f.message, true, false, {} }, report, problem);
    handedOver = report.handedOver;
    if (r)
        std::fprintf(stderr, "sending failed: %s\n", qPrintable(problem));
    return r == 0 && report.handedOver == f.to.size();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int runs = 3;
    int sendmailMax = 500;
    QString aiosmtpd;
    bool bodyOnly = false;
    QList<int> sizes;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = args[++i].toInt();
        else if (args[i] == QLatin1String("--sendmail-max") && i + 1 < args.size())
            sendmailMax = args[++i].toInt();
        else if (args[i] == QLatin1String("--aiosmtpd") && i + 1 < args.size())
            aiosmtpd = args[++i];
        else if (args[i] == QLatin1String("--body-only"))
            bodyOnly = true;
        else
            sizes << args[i].toInt();
    }
    if (sizes.isEmpty())
        sizes = { 1000, 10000 };
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QString sendmail = writeScript(dir.filePath(QStringLiteral("sendmail")), "cat > /dev/null\n");
    const QString attachment = dir.filePath(QStringLiteral("catalogo.pdf"));
    {
        QByteArray bytes(1024 * 1024, '\0');
        QRandomGenerator(1).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        QFile f(attachment);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    QString text;
    while (text.size() < 10 * 1024)
        text += QStringLiteral("Gentile cliente, le presentiamo le novità della stagione: prezzi e condizioni nel "
                               "catalogo allegato o sul nostro sito.\n");
    text.truncate(10 * 1024);

    Sink sink;
    // msmtp as sendmail, sending to the sink: what a desktop set up as the
    // README's msmtp route does per message.
    QString msmtp;
    if (const QString found = QStandardPaths::findExecutable(QStringLiteral("msmtp")); !found.isEmpty()) {
        msmtp = writeScript(dir.filePath(QStringLiteral("msmtp-sendmail")),
            "exec '" + QFile::encodeName(found) + "' --file=/dev/null --host=127.0.0.1 --port="
                + QByteArray::number(sink.port()) + " --auth=off --tls=off --from=vendite@velmaro.it \"$@\"\n");
    }
    std::printf("%d runs each, medians; local sink on port %d\n", runs, sink.port());
    const struct {
        const char* name;
        QString attachment;
    } kinds[] = { { "10 KB body", QString() }, { "10 KB body + 1 MB attachment", attachment } };
    for (const auto& kind : kinds) {
        if (bodyOnly && !kind.attachment.isEmpty())
            continue;
        for (int n : sizes) {
            Fixture f(n, text, kind.attachment);
            QByteArray shared;
            if (MimeMail::buildShared(f.message, shared))
                return 1;
            shared = Smtp::withCrLf(shared);
            QList<QByteArray> heads;
            for (const QString& a : f.to)
                heads << Smtp::withCrLf(MimeMail::recipientHeaders({ QString(), a }, f.from.lpszAddress));

            // The two alternate, so both see the same load on the machine.
            bool ok = true;
            int handed = 0;
            std::vector<double> floors, routes;
            double added = 0;
            for (int r = 0; r < runs && ok; ++r) {
                floors.push_back(medianMs(1, [&] { ok = ok && bareLoop(sink.port(), heads, f.to, shared); }));
                // The sending's own peak: the process's peak is reset to its
                // present size first (Linux: 5 into clear_refs).
                resetPeak();
                const double before = procStatusMiB("VmRSS");
                routes.push_back(medianMs(1, [&] { ok = ok && throughAccount(sink.port(), f, handed); }));
                added = std::max(added, procStatusMiB("VmHWM") - before);
            }
            std::sort(floors.begin(), floors.end());
            std::sort(routes.begin(), routes.end());
            const double floor = floors[floors.size() / 2];
            const double route = routes[routes.size() / 2];
            if (!ok) {
                std::fprintf(stderr, "a sending failed\n");
                return 1;
            }
            std::printf("\n%d messages, %s (%lld bytes each)\n", n, kind.name,
                static_cast<long long>(shared.size() + heads.first().size()));
            report("  bare libcurl loop, one connection", floor);
            report("  private sending through the account", route, floor);
            std::printf("  per message: %.3f ms through the account, %.3f ms bare loop\n", route / n, floor / n);
            // Per message, so once for each kind of message.
            const int m = std::min(n, sendmailMax);
            Fixture few(m, text, kind.attachment);
            for (const QString& program : { sendmail, msmtp }) {
                if (program.isEmpty() || n != sizes.first())
                    continue;
                qputenv("VELMARO_SENDMAIL", QFile::encodeName(program));
                SystemMailSubmission backend;
                const double piped = medianMs(1, [&] { backend.send(few.message, MAIL_PRIVATE); });
                if (backend.privateReport().handedOver != m) {
                    std::fprintf(stderr, "sendmail route failed\n");
                    return 1;
                }
                std::printf("  sendmail route, %s: %.3f ms per message (%d messages); the account is %.1fx faster\n",
                    program == sendmail ? "stand-in that discards" : "msmtp to the same sink", piped / m, m,
                    (piped / m) / (route / n));
            }
            std::printf("  memory the sending adds at its peak: %.1f MiB\n", added);
            if (!aiosmtpd.isEmpty()) {
                QProcess server;
                server.start(QStringLiteral("/usr/bin/python3"), { aiosmtpd, QStringLiteral("--sink") });
                server.waitForReadyRead(15000);
                const int port = server.readAllStandardOutput().mid(5).trimmed().toInt();
                const double slow = medianMs(1, [&] { throughAccount(port, f, handed); });
                report("  the same to the aiosmtpd test server", slow, floor);
                server.closeWriteChannel();
                server.waitForFinished(10000);
            }
        }
    }
    return 0;
}
