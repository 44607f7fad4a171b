#include "mail/smtp_session.h"

#include <QElapsedTimer>
#include <QFile>

#include <curl/curl.h>
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <algorithm>
#include <cstring>

namespace Smtp {

namespace {

void ensureCurl()
{
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)ready;
}

QString nameText(X509_NAME* name)
{
    BIO* bio = BIO_new(BIO_s_mem());
    // "CN=..., O=...": most specific first, as people read it; UTF-8 kept.
    const unsigned long flags
        = (XN_FLAG_RFC2253 & ~XN_FLAG_DN_REV & ~XN_FLAG_SEP_MASK & ~ASN1_STRFLGS_ESC_MSB) | XN_FLAG_SEP_CPLUS_SPC;
    X509_NAME_print_ex(bio, name, 0, flags);
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    const QString text = QString::fromUtf8(data, qsizetype(size));
    BIO_free(bio);
    return text;
}

QString fingerprintOf(X509* cert)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!X509_digest(cert, EVP_sha256(), digest, &length))
        return {};
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest), int(length)).toHex(':').toUpper());
}

int exIndex()
{
    static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return index;
}

struct Pending {
    Step step;
    int recipient = -1;
};

// Follows the conversation libcurl reports line by line, pairing every
// answer with the command it answers. Login lines are never kept: only
// that they were login steps.
struct Conversation {
    Outcome* out = nullptr;
    QList<Pending> pending;
    bool awaitingEnd = false; // DATA got 354: the next answer ends the data
    bool loginContinues = false; // the last answer was 334
    int recipients = 0;
    int greetings = 0;
    bool transaction = false; // MAIL was sent
    QByteArray text;
    Step lastStep = Step::Connect;
    bool lastAnswered = true;

    void reset(Outcome* o)
    {
        out = o;
        pending.clear();
        awaitingEnd = loginContinues = false;
        recipients = greetings = 0;
        transaction = false;
        text.clear();
        lastStep = Step::Connect;
        lastAnswered = true;
    }

    static bool verb(const QByteArray& line, const char* word)
    {
        const qsizetype n = qsizetype(std::strlen(word));
        return line.size() >= n && qstrnicmp(line.constData(), word, n) == 0
            && (line.size() == n || line.at(n) == ' ' || line.at(n) == '\r' || line.at(n) == '\n');
    }

    void command(const char* data, size_t size)
    {
        const QByteArray line(data, qsizetype(size));
        Pending p { Step::Command };
        if (loginContinues)
            p.step = Step::Login;
        else if (verb(line, "EHLO") || verb(line, "HELO"))
            p.step = Step::Hello;
        else if (verb(line, "STARTTLS"))
            p.step = Step::StartTls;
        else if (verb(line, "AUTH"))
            p.step = Step::Login;
        else if (verb(line, "MAIL")) {
            p.step = Step::Mail;
            transaction = true;
        }
        else if (verb(line, "RCPT"))
            p = { Step::Recipient, recipients++ };
        else if (verb(line, "DATA"))
            p.step = Step::Data;
        else if (verb(line, "QUIT"))
            p.step = Step::Done;
        loginContinues = false;
        pending.append(p);
        if (p.step == Step::Done)
            return; // the goodbye of a connection closed after a transaction
        lastStep = p.step;
        lastAnswered = false;
    }

    void line(const char* data, size_t size)
    {
        QByteArray l(data, qsizetype(size));
        while (l.endsWith('\n') || l.endsWith('\r'))
            l.chop(1);
        if (l.size() < 3)
            return;
        const bool more = l.size() > 3 && l.at(3) == '-';
        const QByteArray rest = l.mid(4).trimmed();
        if (text.isEmpty())
            text = l.left(3);
        if (!rest.isEmpty())
            text += ' ' + rest;
        if (more)
            return;
        Reply reply;
        reply.code = l.left(3).toInt();
        reply.text = QString::fromUtf8(text);
        text.clear();
        answered(reply);
    }

    void answered(const Reply& reply)
    {
        if (!out)
            return; // the goodbye of a connection closed between transactions
        Pending p { Step::Greeting };
        if (!pending.isEmpty())
            p = pending.takeFirst();
        else if (awaitingEnd)
            p.step = Step::EndOfData;
        else
            ++greetings;
        if (p.step == Step::Done)
            return;
        awaitingEnd = p.step == Step::Data && reply.code == 354;
        loginContinues = p.step == Step::Login && reply.code == 334;
        if (p.step == Step::Recipient && p.recipient < out->recipients.size())
            out->recipients[p.recipient] = reply;
        if (p.step == Step::EndOfData)
            out->endOfData = reply;
        out->reply = reply;
        lastStep = p.step;
        lastAnswered = true;
    }
};

struct Upload {
    const QByteArray* head = nullptr;
    const QByteArray* body = nullptr;
    qsizetype at = 0;
};

} // namespace

struct Session::Private {
    CURL* curl = nullptr;
    Server server;
    Timeouts timeouts;
    QByteArray url;
    Conversation conversation;
    Upload upload;
    curl_slist* recipients = nullptr;
    Certificate certificate;
    bool certificateMismatch = false;
    bool certificateHook = false;
    const std::function<bool()>* idle = nullptr;
    QElapsedTimer idleClock;

    static int debug(CURL*, curl_infotype type, char* data, size_t size, void* self)
    {
        auto* d = static_cast<Private*>(self);
        if (type == CURLINFO_HEADER_OUT)
            d->conversation.command(data, size);
        else if (type == CURLINFO_HEADER_IN)
            d->conversation.line(data, size);
        return 0;
    }

    static size_t read(char* buffer, size_t size, size_t count, void* self)
    {
        Upload& u = static_cast<Private*>(self)->upload;
        const qsizetype room = qsizetype(size * count);
        qsizetype written = 0;
        for (const QByteArray* part : { u.head, u.body }) {
            const qsizetype before = part == u.head ? 0 : u.head->size();
            const qsizetype offset = u.at - before;
            if (offset < 0 || offset >= part->size() || written == room)
                continue;
            const qsizetype n = std::min(room - written, part->size() - offset);
            std::memcpy(buffer + written, part->constData() + offset, size_t(n));
            written += n;
            u.at += n;
        }
        return size_t(written);
    }

    static size_t discard(char*, size_t size, size_t count, void*) { return size * count; }

    static int progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        auto* d = static_cast<Private*>(self);
        if (!d->idle || !*d->idle)
            return 0;
        // Often enough to keep a window alive, rarely enough to cost nothing.
        if (d->idleClock.isValid() && d->idleClock.elapsed() < 40)
            return 0;
        d->idleClock.start();
        const bool goOn = (*d->idle)();
        return goOn || d->conversation.transaction ? 0 : 1;
    }

    // Every certificate check of a connection passes here: the leaf is
    // noted for the user, and a certificate the user trusted is accepted
    // only if it is exactly that one.
    static int verify(int ok, X509_STORE_CTX* store)
    {
        SSL* ssl = static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
        auto* d = ssl ? static_cast<Private*>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(ssl), exIndex())) : nullptr;
        X509* leaf = X509_STORE_CTX_get0_cert(store);
        if (!d || !leaf)
            return ok;
        if (d->certificate.isNull()) {
            d->certificate.fingerprint = fingerprintOf(leaf);
            d->certificate.owner = nameText(X509_get_subject_name(leaf));
            d->certificate.issuer = nameText(X509_get_issuer_name(leaf));
        }
        if (d->server.trustedFingerprint.isEmpty())
            return ok;
        if (d->certificate.fingerprint.compare(d->server.trustedFingerprint, Qt::CaseInsensitive) == 0) {
            X509_STORE_CTX_set_error(store, X509_V_OK);
            return 1;
        }
        d->certificateMismatch = true;
        return 0;
    }

    static CURLcode sslContext(CURL*, void* context, void* self)
    {
        auto* ctx = static_cast<SSL_CTX*>(context);
        SSL_CTX_set_ex_data(ctx, exIndex(), self);
        SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, verify);
        return CURLE_OK;
    }
};

namespace {

long seconds(int ms) { return std::max(1L, long((ms + 999) / 1000)); }

QByteArray urlOf(const Server& s)
{
    QByteArray host = s.host.trimmed().toUtf8();
    if (host.contains(':') && !host.startsWith('['))
        host = '[' + host + ']';
    const char* scheme = s.security == Security::Tls ? "smtps://" : "smtp://";
    return scheme + host + ':' + QByteArray::number(s.port);
}

} // namespace

Session::Session(const Server& server, const Timeouts& timeouts)
    : d(std::make_unique<Private>())
{
    ensureCurl();
    d->server = server;
    d->timeouts = timeouts;
    d->url = urlOf(server);
    CURL* c = d->curl = curl_easy_init();
    if (!c)
        return;
    curl_easy_setopt(c, CURLOPT_URL, d->url.constData());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, long(timeouts.connectMs));
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, seconds(timeouts.stepMs));
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, seconds(timeouts.stepMs));
    // Libcurl's SMTP answers are read through the debug hook only, and the
    // password never reaches any output from there.
    curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, &Private::debug);
    curl_easy_setopt(c, CURLOPT_DEBUGDATA, d.get());
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Private::discard);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, &Private::read);
    curl_easy_setopt(c, CURLOPT_READDATA, d.get());
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &Private::progress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, d.get());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT_ALLLOWFAILS, 1L);
    if (server.security == Security::StartTls)
        curl_easy_setopt(c, CURLOPT_USE_SSL, long(CURLUSESSL_ALL)); // never clear text instead
    if (!server.user.isEmpty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, server.user.toUtf8().constData());
        curl_easy_setopt(c, CURLOPT_PASSWORD, server.password.toUtf8().constData());
    }
    if (server.security != Security::None) {
        // A resumed session skips the certificate check: every connection
        // shows its certificate anew.
        curl_easy_setopt(c, CURLOPT_SSL_SESSIONID_CACHE, 0L);
        if (!server.caFile.isEmpty())
            curl_easy_setopt(c, CURLOPT_CAINFO, QFile::encodeName(server.caFile).constData());
        const bool trusted = !server.trustedFingerprint.isEmpty();
        curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, trusted ? 0L : 1L);
        curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, trusted ? 0L : 2L);
        d->certificateHook = curl_easy_setopt(c, CURLOPT_SSL_CTX_FUNCTION, &Private::sslContext) == CURLE_OK
            && curl_easy_setopt(c, CURLOPT_SSL_CTX_DATA, d.get()) == CURLE_OK;
    }
}

Session::~Session()
{
    if (d->curl)
        curl_easy_cleanup(d->curl);
    curl_slist_free_all(d->recipients);
}

Outcome Session::perform(qsizetype recipientCount)
{
    Outcome out;
    out.recipients.resize(recipientCount);
    CURL* c = d->curl;
    if (!c) {
        out.failure = Failure::Other;
        return out;
    }
    if (!d->server.trustedFingerprint.isEmpty() && d->server.security != Security::None && !d->certificateHook) {
        // Without the hook nothing would check the trusted certificate.
        out.failure = Failure::Tls;
        out.detail = QStringLiteral("certificate hook not available");
        return out;
    }
    d->conversation.reset(&out);
    d->certificate = {};
    d->certificateMismatch = false;
    d->idle = &idle_;
    d->idleClock.invalidate();
    curl_easy_setopt(c, CURLOPT_FORBID_REUSE, closeAfterNext_ ? 1L : 0L);
    closeAfterNext_ = false;

    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    const CURLcode rc = curl_easy_perform(c);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, nullptr);
    d->idle = nullptr;
    d->conversation.out = nullptr;

    const Conversation& conv = d->conversation;
    connections_ += conv.greetings;
    out.certificate = d->certificate;
    out.step = conv.lastStep;
    out.detail = QString::fromUtf8(error[0] ? error : curl_easy_strerror(rc));
    const bool refusal = conv.lastAnswered && !out.reply.positive() && out.reply.code != 0;
    switch (rc) {
    case CURLE_OK:
        out.failure = Failure::None;
        out.step = Step::Done;
        break;
    case CURLE_ABORTED_BY_CALLBACK:
        out.failure = Failure::Aborted;
        break;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
        out.failure = Failure::Unreachable;
        break;
    case CURLE_OPERATION_TIMEDOUT:
        out.failure = Failure::NoAnswer;
        break;
    case CURLE_USE_SSL_FAILED:
        out.failure = Failure::NoStartTls;
        break;
    case CURLE_LOGIN_DENIED:
        out.failure = Failure::LoginRefused;
        break;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
        out.failure = d->certificateMismatch ? Failure::CertificateChanged : Failure::Untrusted;
        break;
    case CURLE_SSL_CONNECT_ERROR:
        out.failure = d->certificateMismatch ? Failure::CertificateChanged : Failure::Tls;
        break;
    default:
        out.failure = refusal ? Failure::Answer : Failure::Dropped;
        break;
    }
    // A server that answers the login step with a refusal libcurl does not
    // name as such (a 4xx, say) is still a refused login.
    if (out.failure == Failure::Answer && out.step == Step::Login)
        out.failure = Failure::LoginRefused;
    if (out.failure == Failure::Answer && out.step == Step::StartTls)
        out.failure = Failure::NoStartTls;
    return out;
}

Outcome Session::open()
{
    if (!d->curl)
        return perform(0);
    curl_easy_setopt(d->curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(d->curl, CURLOPT_MAIL_FROM, nullptr);
    curl_easy_setopt(d->curl, CURLOPT_MAIL_RCPT, nullptr);
    curl_easy_setopt(d->curl, CURLOPT_CUSTOMREQUEST, "NOOP");
    curl_easy_setopt(d->curl, CURLOPT_NOBODY, 0L);
    Outcome out = perform(0);
    curl_easy_setopt(d->curl, CURLOPT_CUSTOMREQUEST, nullptr);
    return out;
}

Outcome Session::send(
    const QString& sender, const QStringList& recipients, const QByteArray& head, const QByteArray& body)
{
    if (!d->curl)
        return perform(recipients.size());
    curl_slist_free_all(d->recipients);
    d->recipients = nullptr;
    for (const QString& r : recipients)
        d->recipients = curl_slist_append(d->recipients, r.toUtf8().constData());
    d->upload = { &head, &body, 0 };
    curl_easy_setopt(d->curl, CURLOPT_MAIL_FROM, sender.toUtf8().constData());
    curl_easy_setopt(d->curl, CURLOPT_MAIL_RCPT, d->recipients);
    curl_easy_setopt(d->curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(d->curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(head.size() + body.size()));
    return perform(recipients.size());
}

QByteArray withCrLf(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size() + text.count('\n') + 2);
    char previous = 0;
    for (const char c : text) {
        if (c == '\n' && previous != '\r')
            out += '\r';
        out += c;
        previous = c;
    }
    return out;
}

} // namespace Smtp
