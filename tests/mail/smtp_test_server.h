#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The real SMTP server of smtp_test_server.py (aiosmtpd), started on
// 127.0.0.1 on a free port for as long as this object lives; it records
// what it accepts. Certificates come from openssl, made for the run.
class SmtpTestServer {
public:
    struct Options {
        // security: "none", "starttls" or "tls"; no user: no login.
        Options(QString security_ = QStringLiteral("none"), QString cert_ = {}, QString key_ = {}, QString user_ = {},
            QString password_ = {})
            : security(std::move(security_))
            , cert(std::move(cert_))
            , key(std::move(key_))
            , user(std::move(user_))
            , password(std::move(password_))
        { }
        QString security;
        QString cert, key;
        QString user, password;
        QStringList refuse;
        QStringList tempFail; // "address:count"
        int limit = 0;
        int close421At = 0;
        int dropAt = 0;
        bool hang = false;
        int sizeLimit = 0;
        bool sink = false;
    };

    explicit SmtpTestServer(const Options& options)
    {
        record_ = dir_.filePath(QStringLiteral("record"));
        QStringList args { QStringLiteral(VELMARO_SMTP_TEST_SERVER), QStringLiteral("--security"), options.security };
        const auto add = [&args](const char* name, const QString& value) {
            if (!value.isEmpty())
                args << QLatin1String(name) << value;
        };
        const auto number = [&add](const char* name, int value) {
            if (value)
                add(name, QString::number(value));
        };
        add("--cert", options.cert);
        add("--key", options.key);
        if (!options.user.isNull()) {
            args << QStringLiteral("--user") << options.user << QStringLiteral("--password") << options.password;
        }
        for (const QString& r : options.refuse)
            add("--refuse", r);
        for (const QString& t : options.tempFail)
            add("--temp-fail", t);
        number("--limit", options.limit);
        number("--close-421-at", options.close421At);
        number("--drop-at", options.dropAt);
        number("--size-limit", options.sizeLimit);
        if (options.hang)
            args << QStringLiteral("--hang");
        if (options.sink)
            args << QStringLiteral("--sink");
        else
            add("--record", record_);
        // Debian's aiosmtpd imports only into the system's own Python.
        process_.setProgram(QStringLiteral("/usr/bin/python3"));
        process_.setArguments(args);
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.setStandardErrorFile(dir_.filePath(QStringLiteral("stderr.txt")));
        process_.start();
        if (!process_.waitForStarted(10000))
            return;
        QByteArray line;
        while (!line.contains('\n') && process_.waitForReadyRead(15000))
            line += process_.readAllStandardOutput();
        if (line.startsWith("PORT "))
            port_ = line.mid(5).trimmed().toInt();
    }

    ~SmtpTestServer()
    {
        // Closing its input ends it.
        process_.closeWriteChannel();
        if (!process_.waitForFinished(10000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    SmtpTestServer(const SmtpTestServer&) = delete;
    SmtpTestServer& operator=(const SmtpTestServer&) = delete;

    int port() const { return port_; }
    QString errors() const { return QString::fromUtf8(read(dir_.filePath(QStringLiteral("stderr.txt")))); }

    struct Received {
        QByteArray data;
        QStringList recipients;
        QString sender; // MAIL FROM
    };
    // Every accepted message, in order.
    QList<Received> received() const
    {
        QList<Received> out;
        for (int n = 1;; ++n) {
            const QString base = QDir(record_).filePath(QStringLiteral("%1").arg(n, 6, 10, QLatin1Char('0')));
            if (!QFile::exists(base + QStringLiteral(".eml")))
                return out;
            Received r;
            r.data = read(base + QStringLiteral(".eml"));
            for (const QByteArray& a : read(base + QStringLiteral(".rcpt")).split('\n'))
                if (!a.isEmpty())
                    r.recipients << QString::fromUtf8(a);
            r.sender = QString::fromUtf8(read(base + QStringLiteral(".from")));
            out << r;
        }
    }
    // Every envelope recipient of every accepted message.
    QStringList deliveredTo() const
    {
        QStringList all;
        for (const Received& r : received())
            all << r.recipients;
        return all;
    }
    QStringList events() const
    {
        QStringList out;
        for (const QByteArray& l : read(QDir(record_).filePath(QStringLiteral("events.log"))).split('\n'))
            if (!l.isEmpty())
                out << QString::fromUtf8(l);
        return out;
    }
    int count(const QString& eventStart) const
    {
        int n = 0;
        for (const QString& e : events())
            n += e.startsWith(eventStart);
        return n;
    }

private:
    static QByteArray read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
    QString record_;
    QProcess process_;
    int port_ = 0;
};

// Certificates for the test servers, made with openssl in a folder.
namespace TestCertificates {

inline bool openssl(const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(QStringLiteral("openssl"), args);
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A certificate of its own for name (subject CN), valid for the run.
inline bool selfSigned(const QString& dir, const QString& name, const QString& subject)
{
    const QString base = QDir(dir).filePath(name);
    return openssl({ "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-keyout",
        base + ".key", "-out", base + ".crt", "-days", "2", "-subj", subject });
}

// An authority, and a certificate it signs for the given subjectAltName.
inline bool signedBy(const QString& dir, const QString& ca, const QString& name, const QString& altName)
{
    const QString base = QDir(dir).filePath(name);
    const QString caBase = QDir(dir).filePath(ca);
    if (!QFile::exists(caBase + ".crt")
        && !openssl({ "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
            "-keyout", caBase + ".key", "-out", caBase + ".crt", "-days", "2", "-subj", "/CN=Velmaro Test CA" }))
        return false;
    QFile ext(base + ".ext");
    if (!ext.open(QIODevice::WriteOnly))
        return false;
    ext.write("subjectAltName=" + altName.toUtf8() + "\n");
    ext.close();
    return openssl({ "req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-keyout",
               base + ".key", "-out", base + ".csr", "-subj", "/CN=" + name })
        && openssl({ "x509", "-req", "-in", base + ".csr", "-CA", caBase + ".crt", "-CAkey", caBase + ".key",
            "-CAcreateserial", "-out", base + ".crt", "-days", "2", "-extfile", base + ".ext" });
}

// "AB:CD:..." as openssl prints it.
inline QString fingerprint(const QString& certFile)
{
    QProcess p;
    p.start(QStringLiteral("openssl"), { "x509", "-in", certFile, "-noout", "-fingerprint", "-sha256" });
    p.waitForFinished(30000);
    return QString::fromLatin1(p.readAllStandardOutput()).section(QLatin1Char('='), 1).trimmed();
}

} // namespace TestCertificates
